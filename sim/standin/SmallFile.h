#pragma once

#include <cstddef>
#include <string>

namespace qbv::standin {

// Reads a whole regular file of at most maxBytes. False, with the reason, when there is no such file (a
// directory, a pipe or a device does not count: reading one could block or never end), it cannot be
// read, or it is longer.
bool readSmallFile(const std::string& path, size_t maxBytes, std::string& content, std::string& error);

} // namespace qbv::standin
