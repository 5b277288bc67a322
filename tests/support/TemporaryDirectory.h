#pragma once

#include <filesystem>
#include <string>

namespace qbv::test {

// A path from UTF-8, the program's strings, and back. A plain string goes through the ANSI code page on
// Windows, which lacks most scripts' letters.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8Of(const std::filesystem::path& path);

// A fresh, empty directory of the test's own, under the system's temporary folder (with a name short
// enough for a socket path inside it), removed again with everything in it. Given a name, the directory
// is a folder of that name inside the fresh one.
class TemporaryDirectory {
public:
    explicit TemporaryDirectory(const std::string& name = "");
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string directory() const; // with its trailing separator
    std::string file(const std::string& name) const { return utf8Of(path_ / pathFromUtf8(name)); }

private:
    std::filesystem::path root_;
    std::filesystem::path path_;
};

} // namespace qbv::test
