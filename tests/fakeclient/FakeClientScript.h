#pragma once

// How a test scripts the fake JTAG-UART client library (fakeclient/linux64/libjtag_atlantic.so, or
// fakeclient/bin64/jtag_atlantic.dll): environment variables, read afresh at each jtagatlantic_open, so a
// test may change them between opens, also for a program it starts. Unset or empty means the default. A
// value the fake cannot read makes the open fail with kJatlOther and a detail naming the variable.
// The same fake without jtagatlantic_get_error lies in fakeclient/without-get-error/ (linux64/ or bin64/).

// What the open does: kFakeOpenOk (the default) or one of the failures below, each making the open return
// nullptr and jtagatlantic_get_error report its code with a short detail text.
constexpr const char* kFakeClientOpenVariable = "QBV_FAKE_CLIENT_OPEN";
constexpr const char* kFakeOpenOk = "ok";
constexpr const char* kFakeOpenCableNotUnique = "not-unique";     // kJatlCableNotUnique
constexpr const char* kFakeOpenNoCable = "no-cable";              // kJatlNoCable
constexpr const char* kFakeOpenCableNotOnHost = "not-on-host";    // kJatlCableNotOnHost
constexpr const char* kFakeOpenCableNotOnBoard = "not-on-board";  // kJatlCableNotOnBoard
constexpr const char* kFakeOpenInUse = "in-use";                  // kJatlInUse
constexpr const char* kFakeOpenNodeNotUnique = "node-not-unique"; // kJatlNodeNotUnique
constexpr const char* kFakeOpenNoNode = "no-node";                // kJatlNoNode: no JTAG UART
constexpr const char* kFakeOpenHardware = "hardware";             // kJatlHardware
constexpr const char* kFakeOpenOther = "other";                   // kJatlOther: no JTAG server

// The link breaks once this many bytes were written over it in all: the write that reaches the count
// accepts only what fits, and every later call on the link returns a negative number. 0 breaks it at once.
constexpr const char* kFakeClientBreakAfterVariable = "QBV_FAKE_CLIENT_BREAK_AFTER";
// At most this many bytes accepted per write call; 0 makes every write accept nothing.
constexpr const char* kFakeClientAcceptVariable = "QBV_FAKE_CLIENT_ACCEPT";
// Milliseconds each read and write call takes.
constexpr const char* kFakeClientDelayVariable = "QBV_FAKE_CLIENT_DELAY_MS";
// Milliseconds jtagatlantic_wait_open blocks before it returns 0.
constexpr const char* kFakeClientWaitOpenVariable = "QBV_FAKE_CLIENT_WAIT_OPEN_MS";

// A file each call is appended to as one line, for tests that watch another process:
//   jtagatlantic_open chain="USB-Blaster [USB-0]" device=-1 instance=-1 app="qbv" link=1
//   jtagatlantic_write link=1 result=2 count=2 data=01 80
//   jtagatlantic_read link=1 result=1 size=16 data=05
//   jtagatlantic_bytes_available link=1 result=0      (so flush, wait_open and cable_warning)
//   jtagatlantic_close link=1
//   jtagatlantic_get_error result=-6
// Links are numbered from 1 in the order they opened in the process; a null text or link shows as null,
// and a failed open ends in error=-6 (its code) instead of link=N. data= lists in hex the bytes offered to
// a write or handed out by a read.
constexpr const char* kFakeClientLogVariable = "QBV_FAKE_CLIENT_LOG";

// What is behind the link. By default a board in the library itself: it takes every byte and answers each
// read-keys command (0x06) with one key byte (the byte after an LED or pin command is its data, not a
// command). kFakeBoardVirtual (Linux only) forwards the link to the
// virtual board named by QBV_VIRTUAL_BOARD, as the virtual edition of our JTAG library does; a board that
// is not running makes the open fail with kJatlNoCable, a link held by another client with kJatlInUse, an
// unplugged cable with kJatlCableNotOnHost, and a broken connection breaks the link.
constexpr const char* kFakeClientBoardVariable = "QBV_FAKE_CLIENT_BOARD";
constexpr const char* kFakeBoardVirtual = "virtual";

// The in-library board's key bytes, comma-separated, one per read-keys command; the last one repeats.
// Default 0x00. Decimal, or hexadecimal after 0x.
constexpr const char* kFakeClientKeysVariable = "QBV_FAKE_CLIENT_KEYS";
