#pragma once

#include <filesystem>
#include <string>

namespace qbv::test {

// A fresh, empty directory of the test's own, under the system's temporary folder (with a name short
// enough for a socket path inside it), removed again with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string directory() const; // with its trailing separator
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace qbv::test
