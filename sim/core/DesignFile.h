#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::sim {

// The controller design in our own file format (described with the protocols). The board takes only an
// intact file for its own device.
struct Design {
    std::string name;
    std::vector<uint8_t> data;
};

std::string writeDesignFile(const Design& design);
// False when the content is damaged, too large or for another device.
bool readDesignFile(const std::string& content, Design& design);

// The design the build ships beside the panel.
Design controllerDesign();

uint32_t crc32(const uint8_t* bytes, size_t count);

} // namespace qbv::sim
