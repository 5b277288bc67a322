#include "ScratchDirectory.h"

#include <cstdlib>

namespace qbv::test {

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qbv-standin-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

} // namespace qbv::test
