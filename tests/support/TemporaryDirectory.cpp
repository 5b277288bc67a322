#include "tests/support/TemporaryDirectory.h"

#include "platform/ProgramLocation.h"

#include <atomic>
#include <random>

namespace qbv::test {

namespace {

std::filesystem::path uniqueTemporaryPath() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto name = "qbv-test-" + std::to_string(random()) + "-" + std::to_string(counter++);
    return std::filesystem::temp_directory_path() / name;
}

} // namespace

std::filesystem::path pathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TemporaryDirectory::TemporaryDirectory(const std::string& name)
    : root_(uniqueTemporaryPath()), path_(name.empty() ? root_ : root_ / pathFromUtf8(name)) {
    std::filesystem::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TemporaryDirectory::directory() const {
    return utf8Of(path_) + platform::pathSeparator();
}

} // namespace qbv::test
