#pragma once

// The script a test writes and the fake JTAG library follows, call by call, and the record of every call
// the library received. It lives in the test's memory; the library finds it through the environment
// variable QBV_FAKE_JTAG_SCRIPT, which holds its address. Plain data only: the test and the library are
// separate modules that share no heap.

#include <cstdint>

enum FakeFunction : int32_t {
    kFakeInit,
    kFakeClose,
    kFakeCommand,
    kFakeAtlanticInit,
    kFakeGetOffset,
    kFakeStatus,
    kFakeWrite,
    kFakeRead,
    kFakeTransfer,
    kFakeClearStall,
    kFakeFunctionCount,
    // Not functions: the library's load and unload, recorded among the calls.
    kFakeLoad = 100,
    kFakeUnload = 101,
};

constexpr int32_t kFakeAcceptAll = -1;
constexpr int32_t kFakeTruthful = -2;

// What one call does.
struct FakeStep {
    int32_t result = 0; // the call's return value
    int32_t count =
        kFakeAcceptAll;    // write: bytes accepted (kFakeAcceptAll = all offered); read: bytes delivered
    int32_t stall = -1;    // the stall out-value
    uint32_t delayMs = 0;  // how long the call takes
    uint8_t bytes[8] = {}; // read: the bytes delivered
    // A library that misbehaves: reports this count instead of what it really accepted or delivered
    // (kFakeTruthful: the real one), or leaves both out-values as the caller left them.
    int32_t reportedCount = kFakeTruthful;
    bool leaveOutValues = false;
};

// What one call received.
struct FakeCall {
    int32_t function = 0;
    void* context = nullptr;
    int32_t ints[8] = {}; // jtag_init: its eight integer arguments
    char text[16] = {};   // jtag_init: the terminal name
    int32_t offered = 0;  // write: bytes offered; read: room offered
    int32_t accepted = 0; // write: bytes accepted; read: bytes delivered
    uint8_t bytes[16] = {};
};

struct FakeJtagScript {
    static constexpr int kQueueLength = 64;
    static constexpr int kCallCapacity = 8192;

    FakeStep queue[kFakeFunctionCount][kQueueLength];
    int32_t queued[kFakeFunctionCount] = {};
    int32_t taken[kFakeFunctionCount] = {};
    FakeStep fallback[kFakeFunctionCount]; // used once a function's queue is empty

    FakeCall calls[kCallCapacity];
    int32_t callCount = 0;
    int32_t droppedCalls = 0;

    // Called for a step's delay; nullptr sleeps for real. Tests with a fake clock advance it here.
    void (*delay)(uint32_t milliseconds, void* user) = nullptr;
    void* delayUser = nullptr;
};

constexpr const char* kFakeScriptVariable = "QBV_FAKE_JTAG_SCRIPT";

// A program started as a process of its own (the panel under Wine) shares no memory with its test: there,
// where either variable below is set, the library writes its record to the file QBV_FAKE_JTAG_RECORD names
// (when it names one), one line per call as it returns
// ("load <the library's own path>", "init 0 0 0 0 128 -1 jtag_term 1", "write 01 80", "read 00", "close",
// ...), and answers every read with the key state QBV_FAKE_JTAG_KEYS gives (0 when unset).
constexpr const char* kFakeRecordVariable = "QBV_FAKE_JTAG_RECORD";
constexpr const char* kFakeKeysVariable = "QBV_FAKE_JTAG_KEYS";
