#include "ProgramLocation.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace qbv::platform {

// The real path: a program started through a link finds its own folder, not the link's.
std::string executableFile() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path)
        return std::string();
    return std::string(path, static_cast<size_t>(length));
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string canonicalFolder(const std::string& folder) {
    char* resolved = realpath(folder.c_str(), nullptr);
    if (!resolved)
        return folder;
    std::string canonical = resolved;
    free(resolved);
    return canonical.back() == '/' ? canonical : canonical + '/';
}

const char* jtagLibraryFileName() {
    return "alt_jtaglib.so";
}

char pathSeparator() {
    return '/';
}

const ProgramWords& programWords() {
    static constexpr ProgramWords kWords{"qbv-virtual-board, or qbv-control-panel-demo", "qbv-virtual-board",
                                         "qbv-board-ctl"};
    return kWords;
}

} // namespace qbv::platform
