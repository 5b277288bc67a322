// A stand-in for the JTAG access library, for tests: it does what the test's script says and records
// every call. Built once whole and once per export left out (FAKE_OMIT = the export's index).

#include "FakeJtagScript.h"
#include "board/JtagApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifndef FAKE_OMIT
#define FAKE_OMIT -1
#endif

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

FakeJtagScript* script() {
    static FakeJtagScript unscripted;
    const char* address = std::getenv(kFakeScriptVariable);
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

int32_t simpleCall(int32_t function, void* context) {
    record(function, context);
    return nextStep(function).result;
}

void reportOutValues(const FakeStep& step, int32_t count, int32_t* reported, int32_t* stall) {
    if (step.leaveOutValues)
        return;
    *reported = step.reportedCount == kFakeTruthful ? count : step.reportedCount;
    *stall = step.stall;
}

__attribute__((constructor)) void loaded() {
    record(kFakeLoad, nullptr);
}
__attribute__((destructor)) void unloaded() {
    record(kFakeUnload, nullptr);
}

} // namespace

#if FAKE_OMIT != 0
FAKE_EXPORT int32_t jtag_init(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                              const char* term, int32_t g, void* context) {
    FakeCall& call = record(kFakeInit, context);
    const int32_t ints[8] = {a, b, c, d, e, f, g, 0};
    std::copy(ints, ints + 8, call.ints);
    if (term)
        std::snprintf(call.text, sizeof call.text, "%s", term);
    return nextStep(kFakeInit).result;
}
#endif

#if FAKE_OMIT != 1
FAKE_EXPORT int32_t jtag_close(void* context) {
    return simpleCall(kFakeClose, context);
}
#endif

#if FAKE_OMIT != 2
FAKE_EXPORT int32_t jtag_command(void* context, int32_t, int32_t) {
    return simpleCall(kFakeCommand, context);
}
#endif

#if FAKE_OMIT != 3
FAKE_EXPORT int32_t jtag_atlantic_init(void* context) {
    return simpleCall(kFakeAtlanticInit, context);
}
#endif

#if FAKE_OMIT != 4
FAKE_EXPORT int32_t jtag_atlantic_get_offset(void* context) {
    return simpleCall(kFakeGetOffset, context);
}
#endif

#if FAKE_OMIT != 5
FAKE_EXPORT int32_t jtag_atlantic_status(void* context) {
    return simpleCall(kFakeStatus, context);
}
#endif

#if FAKE_OMIT != 6
FAKE_EXPORT int32_t jtag_atlantic_write(void* context, const uint8_t* bytes, int32_t count, int32_t* written,
                                        int32_t* stall) {
    FakeCall& call = record(kFakeWrite, context);
    call.offered = count;
    std::memcpy(call.bytes, bytes, static_cast<size_t>(std::clamp(count, 0, 16)));
    const FakeStep step = nextStep(kFakeWrite);
    call.accepted = step.count == kFakeAcceptAll ? count : std::min(step.count, count);
    reportOutValues(step, call.accepted, written, stall);
    return step.result;
}
#endif

#if FAKE_OMIT != 7
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
    return step.result;
}
#endif

#if FAKE_OMIT != 8
FAKE_EXPORT int32_t jtag_atlantic_transfer(void* context, const uint8_t*, int32_t, uint8_t*, int32_t) {
    return simpleCall(kFakeTransfer, context);
}
#endif

#if FAKE_OMIT != 9
FAKE_EXPORT int32_t jtag_atlantic_clearstall(void* context) {
    return simpleCall(kFakeClearStall, context);
}
#endif
