#include "DynamicLibrary.h"

#include <windows.h>

namespace qbv::platform {

bool isAbsolutePath(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

LibraryHandle loadLibrary(const std::string& fullPath, std::string* failure) {
    if (!isAbsolutePath(fullPath)) {
        if (failure)
            *failure = "the path is not absolute";
        return nullptr;
    }
    HMODULE library = LoadLibraryA(fullPath.c_str());
    if (!library && failure) {
        const DWORD code = GetLastError();
        char text[512] = {};
        const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, code, 0, text, sizeof text, nullptr);
        std::string reason(text, length);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
            reason.pop_back();
        *failure = reason.empty() ? "system error " + std::to_string(code) : reason;
    }
    return reinterpret_cast<LibraryHandle>(library);
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
