#pragma once

#include <string>

namespace qbv::platform {

// True when an entry of that name exists and is not a directory.
bool fileExists(const std::string& path);

// Removes the file (a link itself, never what it points to). The result is there for callers that care;
// a missing file is a failure too.
bool deleteFile(const std::string& path);

// The user's own folder for files the program makes and may make again, with its trailing separator,
// created when missing: $XDG_CACHE_HOME/qbv-control-panel/ (else ~/.cache/qbv-control-panel/) on Linux,
// %LOCALAPPDATA%\QB-vela Control Panel\ on Windows. Empty when there is no such folder and it cannot be
// made.
std::string userCacheFolder();

// A file made anew for writing: creation fails when anything, a link included, already sits at the
// path, so the bytes can never land in a file that someone planted there. Closed on destruction.
class ExclusiveFile {
public:
    ExclusiveFile() = default;
    ~ExclusiveFile();
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    // Creates the file empty, open for reading and writing. On Windows no other program may open it
    // while it is open here.
    bool create(const std::string& path);

    // Hands all the bytes to the file in one write; false when the file took fewer.
    bool write(const std::string& bytes);

    // False when closing reported an error (the file system may only report a failed write then).
    bool close();

    bool isOpen() const;

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
};

} // namespace qbv::platform
