#include "Files.h"

#include "DynamicLibrary.h"
#include "Environment.h"
#include "WindowsText.h"

#include <windows.h>

namespace qbv::platform {

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool deleteFile(const std::string& path) {
    return DeleteFileW(wide(path).c_str()) != 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// The folder's owner and access control list are not read: that check is not done on Windows, where a
// folder named in full is used as before.
std::string folderDistrust(const std::string& folder, FolderOwner) {
    if (isAbsolutePath(folder))
        return {};
    return "its name is relative, so it would be looked for from the working folder: name it in full, "
           "from its drive (C:\\...)";
}

// The system sets LOCALAPPDATA, in full, and folderDistrust has nothing else to say here: no refusal.
std::string userCacheFolder(std::string*) {
    const std::string base = environmentVariable("LOCALAPPDATA");
    if (base.empty())
        return {};
    const std::string folder = base + "\\QB-vela Control Panel\\";
    const std::wstring wideFolder = wide(folder);
    CreateDirectoryW(wideFolder.c_str(), nullptr); // it may be there already
    const DWORD attributes = GetFileAttributesW(wideFolder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder
                                                                                            : std::string();
}

ExclusiveFile::~ExclusiveFile() {
    close();
}

bool ExclusiveFile::create(const std::string& path) {
    close();
    // CREATE_NEW fails on any existing entry, so a file or link that survived the delete is never
    // written through; share mode 0 keeps other programs out while it is open.
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    handle_ = file;
    return true;
}

bool ExclusiveFile::write(const std::string& bytes) {
    if (!handle_)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(static_cast<HANDLE>(handle_), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr);
    return ok && written == bytes.size();
}

bool ExclusiveFile::close() {
    if (!handle_)
        return true;
    const BOOL ok = CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
    return ok != 0;
}

bool ExclusiveFile::isOpen() const {
    return handle_ != nullptr;
}

} // namespace qbv::platform
