#include "DynamicLibrary.h"

#include <windows.h>

namespace qbv::platform {

bool isAbsolutePath(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

LibraryHandle loadLibrary(const std::string& fullPath) {
    if (!isAbsolutePath(fullPath))
        return nullptr;
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fullPath.c_str()));
}

void* findSymbol(LibraryHandle library, const char* name) {
    if (!library)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void pinLibraryContaining(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       static_cast<LPCSTR>(address), &module);
}

void freeLibrary(LibraryHandle library) {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace qbv::platform
