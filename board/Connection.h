#pragma once

#include <cstdint>

class TJtagPort;

namespace qbv::board {

// How a connection attempt ended, for every front end to put in its own words.
enum class ConnectOutcome {
    LibraryNotLoaded, // the JTAG access library is missing or incomplete (the port says which)
    LinkNotOpened,    // the library could not open the link: cable, driver, board
    NoResponse,       // the link opened but the controller answered neither ping nor read keys
    Connected,        // the controller answered; keyState holds the keys as they were read
};

// The board link as the panel and qbv both make it, on a freshly made port (which has loaded the
// library): the link opened, then ping and read keys to see whether the controller answers. The port is
// left as it ends, open only when connected, for the caller to report from and to tear down.
ConnectOutcome ConnectPort(TJtagPort& port, uint8_t& keyState);

} // namespace qbv::board
