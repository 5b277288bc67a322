#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::sim {

// Splits at every separator, leaving out empty pieces.
std::vector<std::string> splitText(const std::string& text, char separator);
// A whole decimal or 0x-hex integer, optionally negative; false on anything else or overflow.
bool parseInteger(const std::string& text, int64_t& value);

} // namespace qbv::sim
