// A stand-in for the JTAG access library, for tests: it does what the test's script says and records
// every call. Built once whole and once per export left out, whose definition tests/CMakeLists.txt
// renames.

#include "FakeJtagScript.h"
#include "platform/JtagApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// In another process than its test, reads deliver the key state the environment gives.
bool answerReadsFromEnvironment(FakeJtagScript& unscripted) {
    if (!std::getenv(kFakeRecordVariable) && !std::getenv(kFakeKeysVariable))
        return false;
    const char* keys = std::getenv(kFakeKeysVariable);
    FakeStep& read = unscripted.fallback[kFakeRead];
    read.count = 1;
    read.bytes[0] = static_cast<uint8_t>(keys ? std::strtoul(keys, nullptr, 0) : 0);
    return true;
}

FakeJtagScript* script() {
    static FakeJtagScript unscripted;
    static const bool answering = answerReadsFromEnvironment(unscripted);
    // Another process's address (the 32-bit helper inherits its test's environment) is none of this one's.
    const char* address = answering ? nullptr : std::getenv(kFakeScriptVariable);
    void* pointer = nullptr;
    if (address && std::sscanf(address, "%p", &pointer) == 1 && pointer)
        return static_cast<FakeJtagScript*>(pointer);
    return &unscripted;
}

FakeCall& record(int32_t function, void* context) {
    FakeJtagScript* s = script();
    static FakeCall overflow;
    if (s->callCount >= FakeJtagScript::kCallCapacity) {
        ++s->droppedCalls;
        overflow = FakeCall{};
        overflow.function = function;
        return overflow;
    }
    FakeCall& call = s->calls[s->callCount++];
    call = FakeCall{};
    call.function = function;
    call.context = context;
    return call;
}

FakeStep nextStep(int32_t function) {
    FakeJtagScript* s = script();
    const FakeStep step = s->taken[function] < s->queued[function] ? s->queue[function][s->taken[function]++]
                                                                   : s->fallback[function];
    if (step.delayMs > 0) {
        if (s->delay)
            s->delay(step.delayMs, s->delayUser);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(step.delayMs));
    }
    return step;
}

// Where the library itself was loaded from, for the record file's load line.
void ownPath(char* path, size_t size) {
    path[0] = '\0';
#if defined(_WIN32)
    // In UTF-8, as the tests write the folder's name.
    HMODULE module = nullptr;
    wchar_t wide[1024] = {};
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ownPath), &module) &&
        GetModuleFileNameW(module, wide, 1024) > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, path, static_cast<int>(size), nullptr, nullptr);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownPath), &info) && info.dli_fname)
        std::snprintf(path, size, "%s", info.dli_fname);
#endif
}

// The call's line in the record file, when there is one. Opened and closed per line, so that the file is
// whole at every moment the test reads it and after the program ends in any way.
void note(const FakeCall& call) {
    const char* file = std::getenv(kFakeRecordVariable);
    if (!file || !*file)
        return;
    static const char* const names[kFakeFunctionCount] = {
        "init",   "close", "command", "atlantic_init", "get_offset",
        "status", "write", "read",    "transfer",      "clearstall"};
    std::FILE* out = std::fopen(file, "ab"); // binary: the same bytes on every system
    if (!out)
        return;
    if (call.function == kFakeLoad) {
        char path[1024];
        ownPath(path, sizeof path);
        std::fprintf(out, "load %s", path);
    } else if (call.function == kFakeUnload) {
        std::fprintf(out, "unload");
    } else {
        std::fprintf(out, "%s", names[call.function]);
    }
    if (call.function == kFakeInit) {
        for (int i = 0; i < 6; ++i)
            std::fprintf(out, " %d", static_cast<int>(call.ints[i]));
        std::fprintf(out, " %s %d", call.text, static_cast<int>(call.ints[6]));
    }
    if (call.function == kFakeWrite || call.function == kFakeRead)
        for (int i = 0; i < std::min(call.accepted, 16); ++i)
            std::fprintf(out, " %02x", call.bytes[i]);
    std::fprintf(out, "\n");
    std::fclose(out);
}

int32_t simpleCall(int32_t function, void* context) {
    const FakeCall& call = record(function, context);
    const int32_t result = nextStep(function).result;
    note(call);
    return result;
}

void reportOutValues(const FakeStep& step, int32_t count, int32_t* reported, int32_t* stall) {
    if (step.leaveOutValues)
        return;
    *reported = step.reportedCount == kFakeTruthful ? count : step.reportedCount;
    *stall = step.stall;
}

__attribute__((constructor)) void loaded() {
    note(record(kFakeLoad, nullptr));
}
__attribute__((destructor)) void unloaded() {
    note(record(kFakeUnload, nullptr));
}

} // namespace

FAKE_EXPORT int32_t jtag_init(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                              const char* term, int32_t g, void* context) {
    FakeCall& call = record(kFakeInit, context);
    const int32_t ints[8] = {a, b, c, d, e, f, g, 0};
    std::copy(ints, ints + 8, call.ints);
    if (term)
        std::snprintf(call.text, sizeof call.text, "%s", term);
    const int32_t result = nextStep(kFakeInit).result;
    note(call);
    return result;
}

FAKE_EXPORT int32_t jtag_close(void* context) {
    return simpleCall(kFakeClose, context);
}

FAKE_EXPORT int32_t jtag_command(void* context, int32_t, int32_t) {
    return simpleCall(kFakeCommand, context);
}

FAKE_EXPORT int32_t jtag_atlantic_init(void* context) {
    return simpleCall(kFakeAtlanticInit, context);
}

FAKE_EXPORT int32_t jtag_atlantic_get_offset(void* context) {
    return simpleCall(kFakeGetOffset, context);
}

FAKE_EXPORT int32_t jtag_atlantic_status(void* context) {
    return simpleCall(kFakeStatus, context);
}

FAKE_EXPORT int32_t jtag_atlantic_write(void* context, const uint8_t* bytes, int32_t count, int32_t* written,
                                        int32_t* stall) {
    FakeCall& call = record(kFakeWrite, context);
    call.offered = count;
    std::memcpy(call.bytes, bytes, static_cast<size_t>(std::clamp(count, 0, 16)));
    const FakeStep step = nextStep(kFakeWrite);
    call.accepted = step.count == kFakeAcceptAll ? count : std::min(step.count, count);
    reportOutValues(step, call.accepted, written, stall);
    note(call);
    return step.result;
}

FAKE_EXPORT int32_t jtag_atlantic_read(void* context, uint8_t* space, int32_t room, int32_t* received,
                                       int32_t* stall) {
    FakeCall& call = record(kFakeRead, context);
    call.offered = room;
    const FakeStep step = nextStep(kFakeRead);
    const int32_t delivered = std::clamp(step.count == kFakeAcceptAll ? 0 : step.count, 0, std::min(room, 8));
    std::memcpy(space, step.bytes, static_cast<size_t>(delivered));
    std::memcpy(call.bytes, step.bytes, static_cast<size_t>(delivered));
    call.accepted = delivered;
    reportOutValues(step, delivered, received, stall);
    note(call);
    return step.result;
}

FAKE_EXPORT int32_t jtag_atlantic_transfer(void* context, const uint8_t*, int32_t, uint8_t*, int32_t) {
    return simpleCall(kFakeTransfer, context);
}

FAKE_EXPORT int32_t jtag_atlantic_clearstall(void* context) {
    return simpleCall(kFakeClearStall, context);
}
