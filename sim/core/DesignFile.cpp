#include "sim/core/DesignFile.h"

#include "sim/core/Hex.h"
#include "sim/core/WireProtocol.h"

#include <cstdio>
#include <zlib.h>

namespace qbv::sim {

namespace {

constexpr const char* kDevicePrefix = "device ";
constexpr const char* kNamePrefix = "design ";
constexpr const char* kDataPrefix = "data ";
constexpr const char* kCrcPrefix = "crc32 ";
constexpr size_t kCrcDigits = 8;

std::string crcText(uint32_t crc) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", crc);
    return text;
}

// Takes one line from content at position; false when there is no complete line.
bool takeLine(const std::string& content, size_t& position, std::string& line) {
    const size_t end = content.find('\n', position);
    if (end == std::string::npos)
        return false;
    line = content.substr(position, end - position);
    position = end + 1;
    return true;
}

bool takeField(const std::string& content, size_t& position, const std::string& prefix, std::string& value) {
    std::string line;
    if (!takeLine(content, position, line) || line.compare(0, prefix.size(), prefix) != 0)
        return false;
    value = line.substr(prefix.size());
    return true;
}

bool checksumMatches(const std::string& content, size_t crcLineStart, const std::string& crcField) {
    const uint32_t crc = crc32(reinterpret_cast<const uint8_t*>(content.data()), crcLineStart);
    std::vector<uint8_t> digits;
    return crcField.size() == kCrcDigits && fromHex(crcField, digits) && crcText(crc) == toHex(digits);
}

} // namespace

uint32_t crc32(const uint8_t* bytes, size_t count) {
    // A design file is at most kMaxDesignFile bytes, well within one call's length.
    return static_cast<uint32_t>(::crc32(::crc32(0L, Z_NULL, 0), bytes, static_cast<uInt>(count)));
}

std::string writeDesignFile(const Design& design) {
    std::string content = std::string(wire::kDesignMagic) + "\n";
    content += kDevicePrefix + std::string(wire::kDesignDevice) + "\n";
    content += kNamePrefix + design.name + "\n";
    content += kDataPrefix + toHex(design.data) + "\n";
    const uint32_t crc = crc32(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    return content + kCrcPrefix + crcText(crc) + "\n";
}

bool readDesignFile(const std::string& content, Design& design) {
    if (content.size() > wire::kMaxDesignFile)
        return false;
    size_t position = 0;
    std::string magic, device, name, dataHex, crcField;
    if (!takeLine(content, position, magic) || magic != wire::kDesignMagic)
        return false;
    if (!takeField(content, position, kDevicePrefix, device) || device != wire::kDesignDevice)
        return false;
    if (!takeField(content, position, kNamePrefix, name) ||
        !takeField(content, position, kDataPrefix, dataHex))
        return false;
    const size_t crcLineStart = position;
    if (!takeField(content, position, kCrcPrefix, crcField) || position != content.size())
        return false;
    if (!checksumMatches(content, crcLineStart, crcField))
        return false;
    std::vector<uint8_t> data;
    if (!fromHex(dataHex, data) || data.empty() || data.size() > wire::kMaxDesignData)
        return false;
    design.name = name;
    design.data = std::move(data);
    return true;
}

Design controllerDesign() {
    // A fixed pseudo-random configuration: what matters is that it is always the same.
    Design design{"QBV_Control_Panel", std::vector<uint8_t>(1024)};
    uint32_t state = 0x2210F324u;
    for (uint8_t& byte : design.data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return design;
}

} // namespace qbv::sim
