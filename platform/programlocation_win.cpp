#include "ProgramLocation.h"

#include <windows.h>

namespace qbv::platform {

std::string executableFile() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(path, length);
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.dll";
}

char pathSeparator() {
    return '\\';
}

} // namespace qbv::platform
