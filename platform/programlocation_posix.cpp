#include "ProgramLocation.h"

#include <climits>
#include <unistd.h>

namespace qbv::platform {

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path)
        return std::string();
    const std::string file(path, static_cast<size_t>(length));
    return file.substr(0, file.rfind('/') + 1);
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.so";
}

char pathSeparator() {
    return '/';
}

} // namespace qbv::platform
