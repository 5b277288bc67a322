#include "ProgramLocation.h"

#include "WindowsText.h"

#include <windows.h>

#include <shellapi.h> // after windows.h, which it needs

namespace qbv::platform {

std::string executableFile() {
    // Paths may be longer than MAX_PATH: the buffer grows until the name fits, up to the longest path.
    for (DWORD room = MAX_PATH; room <= 32768; room *= 2) {
        std::wstring path(room, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), room);
        if (length == 0)
            return std::string();
        if (length < room)
            return narrow(path.substr(0, length));
    }
    return std::string();
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wideArguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wideArguments)
        return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(narrow(wideArguments[i]));
    LocalFree(wideArguments);
    return arguments;
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.dll";
}

char pathSeparator() {
    return '\\';
}

} // namespace qbv::platform
