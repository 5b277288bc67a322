#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::sim {

// Lower-case hex, two digits a byte.
std::string toHex(const std::vector<uint8_t>& bytes);
// Either case; false on an odd count or a character that is no hex digit.
bool fromHex(const std::string& text, std::vector<uint8_t>& bytes);

} // namespace qbv::sim
