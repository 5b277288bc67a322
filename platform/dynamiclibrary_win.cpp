#include "DynamicLibrary.h"

#include "WindowsText.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace qbv::platform {

namespace {

// Set before main in every program that loads a library by path (each links this file): whatever the
// system then loads by name, a library's imports or a plugin's, comes from the program's folder and the
// system's only. The working folder and PATH, where anyone may leave a library of a well-known name, are
// never searched.
struct SafeLibrarySearch {
    SafeLibrarySearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS); }
} const kSafeLibrarySearch;

// A library loaded by path finds its own imports beside it (the vendor's client in its bin64 folder
// imports its neighbours), then in the program's and the system's folders.
constexpr DWORD kLoadFlags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;

} // namespace

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
    // The loader takes the library's folder from the path as written, which it reads with backslashes.
    std::wstring path = wide(fullPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, kLoadFlags);
    if (!library && failure)
        *failure = systemMessage(GetLastError(), narrow(std::filesystem::path(path).filename().wstring()));
    return reinterpret_cast<LibraryHandle>(library);
}

void* findSymbol(LibraryHandle library, const char* name) {
    if (!library)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void pinLibraryContaining(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       static_cast<LPCWSTR>(address), &module);
}

void freeLibrary(LibraryHandle library) {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace qbv::platform
