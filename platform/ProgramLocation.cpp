#include "ProgramLocation.h"

#include <filesystem>

namespace qbv::platform {

namespace {

// The program's strings are UTF-8; a path's parts come back the same way.
std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

std::string executableDirectory() {
    std::string directory = utf8Of(pathOf(executableFile()).parent_path());
    // A drive's or the system's root ends with its separator already.
    if (directory.empty() || (directory.back() != '/' && directory.back() != '\\'))
        directory += pathSeparator();
    return directory;
}

std::string executableName() {
    const std::filesystem::path file = pathOf(executableFile());
    return utf8Of(file.extension() == ".exe" ? file.stem() : file.filename());
}

} // namespace qbv::platform
