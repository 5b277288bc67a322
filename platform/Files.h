#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace qbv::platform {

// True when an entry of that name exists and is not a directory.
bool fileExists(const std::string& path);

// Removes the file (a link itself, never what it points to). The result is there for callers that care;
// a missing file is a failure too.
bool deleteFile(const std::string& path);

// Puts the file at `from` in the place of `to` in one step, so whoever opens `to` gets the file that was
// there or the new one whole, never a part. A link at `to` is replaced itself, never followed. False when
// `to` cannot be replaced: a folder sits there, or (on Windows) another program has it open.
bool replaceFile(const std::string& from, const std::string& to);

// Whose a folder must be for the program to use what lies in it.
enum class FolderOwner {
    UserOrAdministrator, // a tool chain's or client library's: the user's or root's, through links too
    User,                // the user's own folder for the program's files: the user's, and not a link
};

// Why the program must not load, run or write files in the folder, as a clause that follows "because"
// and says what to do; empty when nothing speaks against it. A folder that is not there holds nothing to
// refuse: the step that looks in it says what is missing. A relative name is always refused, as it would
// be looked for from the working folder. On POSIX the folder must also be a folder (for User, not a link
// to one), owned as above, and writable by neither its group nor others. On Windows the folder's access
// control list is not read: any folder named in full is used.
std::string folderDistrust(const std::string& folder, FolderOwner owner);

// Folders checked from the top down, as whoever may write in a folder may replace what lies under it: the
// first that may not be trusted, and why; both empty when all may.
struct FolderDistrust {
    std::string folder;
    std::string why;
};
inline FolderDistrust firstDistrusted(std::initializer_list<std::string> topDown, FolderOwner owner) {
    for (const std::string& folder : topDown)
        if (std::string why = folderDistrust(folder, owner); !why.empty())
            return {folder, std::move(why)};
    return {};
}

// The user's own folder for files the program makes and may make again, with its trailing separator,
// created when missing: $XDG_CACHE_HOME/qbv-control-panel/ (else ~/.cache/qbv-control-panel/, relative
// values of either variable ignored) on Linux, %LOCALAPPDATA%\QB-vela Control Panel\ on Windows. Empty
// when there is no such folder and it cannot be made, or when the one there may not be trusted as the
// user's own (folderDistrust), which refusal then says as a sentence.
std::string userCacheFolder(std::string* refusal = nullptr);

#ifndef _WIN32
// The user's own folder for the program's sockets, without a trailing slash: $XDG_RUNTIME_DIR when it is a
// folder of the user's that nobody else may enter, else ${TMPDIR:-/tmp}/qbv-<uid>, made with mode 0700 and
// checked the same way. Empty when neither will do, and refusal then says as a sentence which folder it
// is, who owns it and what to do. (Windows names its pipes without a folder.)
std::string userRuntimeFolder(std::string* refusal = nullptr);
#endif

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
