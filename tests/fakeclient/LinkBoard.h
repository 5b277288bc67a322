#pragma once

// What the fake JTAG-UART client library has behind an open link.

#include "jtagvendor/JtagAtlantic.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qbv::fakeclient {

// Each call returns a negative number when the link broke.
class LinkBoard {
public:
    virtual ~LinkBoard() = default;
    // The bytes the board took of count.
    virtual int write(const uint8_t* bytes, int count) = 0;
    // The bytes handed out, at most room; 0 when none are waiting.
    virtual int read(uint8_t* space, int room) = 0;
    // The bytes waiting to be read.
    virtual int available() = 0;
};

struct OpenFailure {
    JATL_ERROR code = kJatlSuccess;
    std::string detail;
};

// The board inside the library: it answers each read-keys command with the next of keys, the last one
// repeating.
std::unique_ptr<LinkBoard> makeKeyBoard(std::vector<uint8_t> keys);

// A link to the virtual board that QBV_VIRTUAL_BOARD names; nullptr with the failure filled in when the
// board is not there or refuses the link. Built only where the virtual board is.
std::unique_ptr<LinkBoard> openVirtualBoard(OpenFailure& failure);

} // namespace qbv::fakeclient
