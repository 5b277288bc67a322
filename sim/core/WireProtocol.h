#pragma once

// How the virtual board is reached: the link protocol that alt_jtaglib speaks to qbv-virtual-board, the
// text control protocol for tests and demos, and the design file format the board can be programmed from.
//
// ---------------------------------------------------------------------------------------------------
// Sockets
//
// The board serves two Unix-domain stream sockets. The board's name comes from --name, else from the
// environment variable QBV_VIRTUAL_BOARD, else it is "qbv-virtual-board". A name starting with '/' is the
// link socket's path; any other name lies in the user's runtime folder: $XDG_RUNTIME_DIR when it is a
// folder of the user's alone, else ${TMPDIR:-/tmp}/qbv-<uid>, made with mode 0700 and checked to be the
// user's alone (platform::localServerAddress says where). The control socket's path is the link socket's
// path followed by ".control". Only one board serves a name: a second one refuses to start, and so does a
// board whose path holds anything but a socket of the user's (a file, a folder, a link, another user's
// socket), which it leaves as it is; a socket of the user's that nobody answers on is a board's that died,
// and is replaced. Each side asks the system who the other is (the peer's credentials), whatever the modes
// of the sockets and their folder: clients talk only to a board of their own user's (one of another
// user's, which could have taken a name given by a path first, is refused), and the board refuses a client
// of another user's at once, as each protocol says below, and hangs up on it.
//
// ---------------------------------------------------------------------------------------------------
// Link protocol (link socket, binary)
//
// One connection carries one JTAG link: jtag_init connects and opens the link, jtag_close sends Close and
// disconnects. The board holds at most kMaxLinkClients connections; a further one is answered at once,
// before it asks, with an open-link reply of sequence kOpenLinkSequence (that of the library's open-link
// request, its first) and kStatusBusy, and hung up on; so is a client of another user's, with
// kStatusOtherUser. The board also hangs up on a connection that has
// not opened the link within kOpenLinkWithinMs of connecting, and on one whose open link has had no
// request for kLinkIdleMs, so that clients that went quiet keep nobody else out. Every message is a frame:
//
//     offset 0  type      1 byte
//     offset 1  sequence  2 bytes, little-endian: the board echoes the request's sequence in its reply
//     offset 3  length    2 bytes, little-endian, the payload's size, 0 to kMaxPayload
//     offset 5  payload   length bytes
//
// Requests (library to board) and their replies; every reply payload starts with a status byte:
//
//     'H' open link    payload: protocol version (1 byte, kProtocolVersion)
//                      reply 'h': status
//     'I' channel init payload: none                     reply 'i': status
//     'W' write        payload: the bytes to send (0 to kMaxPayload)
//                      reply 'w': status, stall, accepted count (2 bytes LE)
//     'R' read         payload: room (2 bytes LE, at most kMaxReadRoom)
//                      reply 'r': status, stall, the bytes (at most room)
//     'X' write and collect
//                      payload: room (1 byte, at most kMaxCollected), then the bytes to send
//                      reply 'x': status, stall, accepted count (2 bytes LE), then at most room of the
//                      bytes the board has ready to send once it took the write
//                      (the library keeps those and hands them out on its next reads without asking the
//                      board again, so a command and its reply cost one round trip, not two)
//     'S' clear stall  payload: none                     reply 's': status
//     'Q' close link   payload: none                     no reply; the board ends the link and hangs up
//
// Status: kStatusOk, kStatusBusy (another client holds the link, or the board holds all the connections
// it takes), kStatusUnplugged (the cable is out), kStatusBadVersion, kStatusNoLink (no open link on this
// connection: never opened, or ended by an unplug), kStatusBadRequest (a payload of the wrong size),
// kStatusOtherUser (the client runs as another user than the board's).
// Stall: kStallReported or kNoStall.
// A blank controller accepts nothing and sends nothing: writes succeed with 0 accepted.
// A frame longer than kMaxPayload or of an unknown type makes the board hang up on that connection only.
//
// The library waits kOpenReplyTimeoutMs for the reply to 'H' and kReplyTimeoutMs, as long as a board
// command's own time-out, for every other reply, so a board process that stalls for a moment (a loaded
// machine, a laptop waking) only answers late. A reply that does not come in time fails that call; the
// next request's wait passes over it by its sequence when it comes. A broken connection (closed, an
// error, a malformed or half-received reply) fails the call and every later call on that link until
// jtag_close.
//
// The library's results: every function returns 0 for success and -1 for failure, except
// jtag_atlantic_transfer (below). jtag_atlantic_write and _read always set their count and stall
// out-values (0 and -1 on failure). jtag_atlantic_read sleeps 1 ms when nothing was waiting, so a caller
// polling it in a tight loop does not spin the board. jtag_command and jtag_atlantic_get_offset return 0;
// jtag_atlantic_status returns 0 while the link is usable; jtag_atlantic_transfer writes what the board
// accepts of out, then reads up to inRoom bytes, and returns the count read, or -1 on failure.
//
// ---------------------------------------------------------------------------------------------------
// Control protocol (control socket, text)
//
// Any number of control clients; one request line (at most kMaxControlLine bytes, ending in "\n" or
// "\r\n"), one reply line: "ok" with details after a space, or "error <reason>". A longer line makes the
// board hang up on that client. A client of another user's gets one "error <reason>" line before it asks,
// and is hung up on. Requests:
//
//     state               ok programmed=1 plugged=1 link=0 leds=0x81 pins=0,5,87 keys=0x1 received=12
//                         sent=3 stalls-cleared=0 stall=0 partial=0 zero=0 drop=0 delay=0 delay-ms=0
//                         (pins=- when none is active; a fault count of -1 means until cleared)
//     press K             key K held down, K = 0..3: key k is bit k of the key state, key 0 the rightmost
//     release K           (printed BUTTON1), key 3 the leftmost (BUTTON4)
//     keys MASK           all four keys at once, MASK 0..15, decimal or 0x-hex
//     unplug | plug       the cable; unplugging ends an open link
//     erase               the controller goes blank: LEDs off, pins inactive, no command accepted
//     program HEX         programs the controller from a design file's content, hex-encoded; a damaged
//                         file is refused ("error damaged design file") and leaves the controller as it was
//     fault KIND [N]      the next N operations of that kind are faulty; without N, until cleared:
//                           stall    writes and reads report a stall (and otherwise work)
//                           partial  writes accept only their first byte
//                           zero     writes accept nothing (and succeed)
//                           drop     read-keys commands get no reply
//     fault delay MS [N]  read-keys replies become readable MS milliseconds after the command
//     fault clear         ends every fault
//     counters reset      byte and stall counters back to 0
//     quit                the board replies ok and exits
//
// ---------------------------------------------------------------------------------------------------
// Design file (QBV_Control_Panel.pof): ASCII text, lines ending in "\n", at most kMaxDesignFile bytes:
//
//     QBV design file 1
//     device EPM2210GF324
//     design <name>
//     data <the configuration, hex, 2 to 2 * kMaxDesignData digits>
//     crc32 <8 hex digits>
//
// The crc32 is the CRC-32 (the zlib/IEEE polynomial) of every byte before the "crc32" line. Nothing may
// follow the crc32 line but its newline. A file for any other device, or with any line out of place, is
// damaged.

#include <cstddef>
#include <cstdint>

namespace qbv::sim::wire {

constexpr size_t kHeaderSize = 5;
constexpr size_t kMaxPayload = 4096;
constexpr size_t kMaxReadRoom = kMaxPayload - 2;
constexpr uint8_t kProtocolVersion = 1;
constexpr size_t kMaxCollected = 16;

enum FrameType : uint8_t {
    kOpenLink = 'H',
    kOpenLinkReply = 'h',
    kChannelInit = 'I',
    kChannelInitReply = 'i',
    kWrite = 'W',
    kWriteReply = 'w',
    kRead = 'R',
    kReadReply = 'r',
    kWriteCollect = 'X',
    kWriteCollectReply = 'x',
    kClearStall = 'S',
    kClearStallReply = 's',
    kCloseLink = 'Q',
};

enum Status : uint8_t {
    kStatusOk = 0,
    kStatusBusy = 1,
    kStatusUnplugged = 2,
    kStatusBadVersion = 3,
    kStatusNoLink = 4,
    kStatusBadRequest = 5,
    kStatusOtherUser = 6,
};

constexpr uint16_t kOpenLinkSequence = 0;
constexpr int kMaxLinkClients = 16;

constexpr uint8_t kStallReported = 0;
constexpr uint8_t kNoStall = 0xFF;

constexpr int kOpenReplyTimeoutMs = 1000;
constexpr int kReplyTimeoutMs = 3000;
// The library asks for the link as soon as it has connected. The connected panel and `qbv keys --watch`
// poll the keys every 20 ms, qbv's other commands hold the link only while they ask, and the library waits
// at most kReplyTimeoutMs for a reply: only a client that is stopped, stuck or not our library comes near
// these.
constexpr int kOpenLinkWithinMs = 5000;
constexpr int kLinkIdleMs = 30000;

constexpr size_t kMaxControlLine = 65536;
constexpr const char* kControlSuffix = ".control";

constexpr const char* kBoardNameVariable = "QBV_VIRTUAL_BOARD";

constexpr const char* kDesignMagic = "QBV design file 1";
constexpr const char* kDesignDevice = "EPM2210GF324";
constexpr size_t kMaxDesignFile = 65536;
constexpr size_t kMaxDesignData = 16384;

} // namespace qbv::sim::wire
