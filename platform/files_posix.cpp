#include "Files.h"

#include "Environment.h"

#include <cerrno>
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

namespace {

// Makes each missing folder of the path, for the user alone; true when it is a folder in the end.
bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0700);
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string homeFolder() {
    const std::string home = environmentVariable("HOME");
    if (!home.empty())
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

} // namespace

std::string userCacheFolder() {
    std::string base = environmentVariable("XDG_CACHE_HOME");
    if (base.empty() || base.front() != '/') { // a relative one is to be ignored
        const std::string home = homeFolder();
        if (home.empty())
            return {};
        base = home + "/.cache";
    }
    const std::string folder = base + "/qbv-control-panel/";
    return makeFolders(folder) ? folder : std::string();
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
