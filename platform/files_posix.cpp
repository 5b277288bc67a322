#include "Files.h"

#include "DynamicLibrary.h"
#include "Environment.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qbv::platform {

bool fileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool deleteFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

// Makes each missing folder of the path, for the user alone; true when it is a folder in the end.
bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0700);
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A relative one is ignored, as the XDG rules ignore a relative XDG_CACHE_HOME.
std::string homeFolder() {
    const std::string home = environmentVariable("HOME");
    if (isAbsolutePath(home))
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

// lstat and stat look at a link's target when the name ends in a slash.
std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// A folder of this user's that nobody else may enter, and not a link to one.
bool privateFolder(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & 077) == 0;
}

// Who a user is, in words: their name and number, or the number alone.
std::string userInWords(uid_t user) {
    const passwd* entry = getpwuid(user);
    const std::string number = "uid " + std::to_string(user);
    return entry && entry->pw_name ? std::string(entry->pw_name) + " (" + number + ")" : number;
}

// Why the folder is not one of the user's that nobody else may enter (privateFolder), as a clause that
// names its owner and says what to do.
std::string privateFolderDistrust(const std::string& folder) {
    struct stat status {};
    if (lstat(folder.c_str(), &status) != 0)
        return "it cannot be made (" + std::string(strerror(errno)) + "): make it yourself (mkdir -m 700 " +
               folder + ")";
    const std::string owner = userInWords(status.st_uid);
    if (S_ISLNK(status.st_mode))
        return "it is a symbolic link, made by " + owner + ", which could lead anywhere: remove the link";
    if (!S_ISDIR(status.st_mode))
        return "it is a file of " + owner + ", not a folder: remove it";
    if (status.st_uid != geteuid())
        return "it belongs to another user, " + owner + ": have it removed (by them or an administrator)";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    return "others than you, its owner " + owner + ", may enter it (mode " + mode +
           "): take their access away (chmod 700 " + folder + "), or remove it";
}

std::string ownerDistrust(const struct stat& status, FolderOwner owner) {
    const bool ours = status.st_uid == geteuid();
    if (ours || (owner == FolderOwner::UserOrAdministrator && status.st_uid == 0))
        return {};
    const std::string whose = "it belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    return owner == FolderOwner::User ? whose + ": remove it, and it is made anew as yours"
                                      : whose + ", neither you nor root: use a folder that you or root own";
}

} // namespace

std::string folderDistrust(const std::string& folder, FolderOwner owner) {
    if (!isAbsolutePath(folder))
        return "its name is relative, so it would be looked for from the working folder: name it in full, "
               "from /";
    const std::string path = withoutTrailingSlashes(folder);
    struct stat status {};
    const int found = owner == FolderOwner::User ? lstat(path.c_str(), &status) : stat(path.c_str(), &status);
    if (found != 0)
        return errno == ENOENT || errno == ENOTDIR
                   ? std::string()
                   : "it cannot be examined (" + std::string(strerror(errno)) + ")";
    if (S_ISLNK(status.st_mode))
        return "it is a symbolic link, which could lead anywhere: remove the link, and the folder is made "
               "anew";
    if (!S_ISDIR(status.st_mode))
        return "it is not a folder";
    if (std::string why = ownerDistrust(status, owner); !why.empty())
        return why;
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return "others than its owner may write in it: take their write permission away (chmod go-w " + path +
               ")";
    return {};
}

std::string userRuntimeFolder(std::string* refusal) {
    const std::string runtime = withoutTrailingSlashes(environmentVariable("XDG_RUNTIME_DIR"));
    if (isAbsolutePath(runtime) && privateFolder(runtime))
        return runtime;
    std::string temporary = withoutTrailingSlashes(environmentVariable("TMPDIR"));
    if (!isAbsolutePath(temporary))
        temporary = "/tmp";
    const std::string folder = temporary + "/qbv-" + std::to_string(geteuid());
    mkdir(folder.c_str(), 0700); // there already, or made now: either way it is checked next
    if (privateFolder(folder))
        return folder;
    if (refusal) {
        *refusal = "The runtime folder " + folder + " is not used, because " + privateFolderDistrust(folder) +
                   ", or set XDG_RUNTIME_DIR to a folder of yours that nobody else may enter";
        *refusal += runtime.empty() ? "." : " (the one it names now, " + runtime + ", is not).";
    }
    return {};
}

std::string userCacheFolder(std::string* refusal) {
    std::string base = environmentVariable("XDG_CACHE_HOME");
    if (!isAbsolutePath(base)) { // a relative one is to be ignored
        const std::string home = homeFolder();
        if (home.empty())
            return {};
        base = home + "/.cache";
    }
    const std::string folder = base + "/qbv-control-panel/";
    if (!makeFolders(folder))
        return {};
    const std::string why = folderDistrust(folder, FolderOwner::User);
    if (why.empty())
        return folder;
    if (refusal)
        *refusal = "Your own folder " + folder + " is not used, because " + why + ".";
    return {};
}

ExclusiveFile::~ExclusiveFile() {
    close();
}

bool ExclusiveFile::create(const std::string& path) {
    close();
    // O_EXCL refuses an existing entry, a dangling link included; O_NOFOLLOW makes the refusal of links
    // explicit rather than a side effect.
    descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    return descriptor_ >= 0;
}

bool ExclusiveFile::write(const std::string& bytes) {
    if (descriptor_ < 0)
        return false;
    ssize_t written;
    do {
        written = ::write(descriptor_, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    return written >= 0 && static_cast<size_t>(written) == bytes.size();
}

bool ExclusiveFile::close() {
    if (descriptor_ < 0)
        return true;
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    return result == 0;
}

bool ExclusiveFile::isOpen() const {
    return descriptor_ >= 0;
}

} // namespace qbv::platform
