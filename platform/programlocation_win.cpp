#include "ProgramLocation.h"

#include <windows.h>

namespace qbv::platform {

std::string executableDirectory() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    const std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.dll";
}

char pathSeparator() {
    return '\\';
}

} // namespace qbv::platform
