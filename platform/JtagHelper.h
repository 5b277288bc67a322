#pragma once

// How a 64-bit program on Windows and its 32-bit helper, qbv-jtag32.exe, talk over the pipe between them.
// The program starts the helper with the handle of the pipe's far end and the library's full path as its
// two arguments. The helper loads the library and answers first with a Reply that says how the load went,
// then with one Reply to each Request, in order, until the pipe closes, when it frees the library and
// ends. Each message is its fixed header followed by `length` bytes; both ends are x86, so the integers
// cross as they lie in memory.

#include <cstdint>

namespace qbv::platform::jtaghelper {

constexpr const char* kFileName = "qbv-jtag32.exe";

enum class Call : int32_t {
    Init = 1,     // ints: jtag_init's seven integer arguments in order; bytes: the terminal name
    Close,        //
    AtlanticInit, //
    Write,        // ints: count, then the caller's count and stall out-values as they were; bytes: the data
    Read,         // ints: room, then the out-values as for Write; the reply's bytes: the receive space
    ClearStall,   //
    ErrorText,    // ints: room; the reply's result: the kind, its bytes: the sentence
};

struct Request {
    int32_t call = 0;
    int32_t ints[7] = {};
    uint32_t length = 0;
};

struct Reply {
    int32_t result = 0;  // the call's result; the first reply: a JtagLoadError
    int32_t count = 0;   // write: the count out-value; read: the same; the first reply: the jtag::Edition
    int32_t stall = 0;   // write, read: the stall out-value
    uint32_t length = 0; // the first reply's bytes: why the library did not load, when it did not
};

// Beyond any write or read the port makes, and any sentence a library gives: a longer message is not ours.
constexpr uint32_t kMaxBytes = 4096;

} // namespace qbv::platform::jtaghelper
