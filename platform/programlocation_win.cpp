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

std::string canonicalFolder(const std::string& folder) {
    // A folder opens only with backup semantics; no access is asked for, only its name.
    HANDLE handle =
        CreateFileW(wide(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return folder;
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    // Too small a buffer gets the room needed, its terminating zero counted.
    while ((length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                               FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) >= path.size())
        path.resize(length);
    CloseHandle(handle);
    if (length == 0)
        return folder;
    path.resize(length);
    // The name comes in its long form: "\\?\C:\..." or "\\?\UNC\server\share\...".
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    std::string canonical = narrow(path);
    return canonical.back() == '\\' ? canonical : canonical + '\\';
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.dll";
}

char pathSeparator() {
    return '\\';
}

const ProgramWords& programWords() {
    static constexpr ProgramWords kWords{
        "QB-vela Control Panel Demo in the Start menu (QBV_Control_Panel_Demo.exe), or qbv-virtual-board.exe "
        "in its folder",
        "qbv-virtual-board.exe", "qbv-board-ctl.exe"};
    return kWords;
}

} // namespace qbv::platform
