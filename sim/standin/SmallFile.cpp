#include "SmallFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qbv::standin {

bool readSmallFile(const std::string& path, size_t maxBytes, std::string& content, std::string& error) {
    // The path is UTF-8, which a plain string is taken for on POSIX only: Windows would read its code page.
    const std::filesystem::path where(std::u8string(path.begin(), path.end()));
    std::error_code failure;
    if (!std::filesystem::is_regular_file(where, failure)) {
        error = "no file " + path;
        return false;
    }
    std::ifstream file(where, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    content.clear();
    std::istreambuf_iterator<char> next(file);
    const std::istreambuf_iterator<char> end;
    while (next != end && content.size() <= maxBytes)
        content.push_back(*next++);
    if (file.bad()) {
        error = "cannot read " + path;
        return false;
    }
    if (content.size() > maxBytes) {
        error = path + " is longer than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    return true;
}

} // namespace qbv::standin
