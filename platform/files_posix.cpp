#include "Files.h"

#include <cerrno>
#include <fcntl.h>
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
