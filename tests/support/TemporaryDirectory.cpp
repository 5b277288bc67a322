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

TemporaryDirectory::TemporaryDirectory() : path_(uniqueTemporaryPath()) {
    std::filesystem::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryDirectory::directory() const {
    return path_.string() + platform::pathSeparator();
}

} // namespace qbv::test
