// The fake of the FPGA vendor's JTAG-UART client library: its nine functions, scripted from the
// environment at each open (FakeClientScript.h), every call logged through the client library.

#include "jtagvendor/JtagAtlantic.h"
#include "tests/fakeclient/FakeClientScript.h"
#include "tests/fakeclient/FakeJtagClient.h"
#include "tests/fakeclient/LinkBoard.h"

#include "common/Numbers.h"
#include "platform/Environment.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Windows: exported under the vendor compiler's names by the .def file, and under no other.
#if defined(_WIN32)
#define QBV_ATLANTIC_API
#else
#define QBV_ATLANTIC_API __attribute__((visibility("default")))
#endif

using namespace qbv::fakeclient;

namespace {

struct Script {
    uint64_t breakAfter = UINT64_MAX;
    uint32_t accept = UINT32_MAX;
    uint32_t delayMs = 0;
    uint32_t waitOpenMs = 0;
};

} // namespace

struct JTAGATLANTIC {
    int number = 0;
    Script script;
    std::unique_ptr<LinkBoard> board;
    uint64_t written = 0;
    bool broken = false;
    std::mutex mutex; // one call at a time, as on a cable
};

namespace {

constexpr int kBroken = -1;

struct ScriptedFailure {
    const char* word;
    JATL_ERROR code;
    const char* detail;
};

constexpr ScriptedFailure kScriptedFailures[] = {
    {kFakeOpenCableNotUnique, kJatlCableNotUnique, "More than one JTAG cable is connected; name one"},
    {kFakeOpenNoCable, kJatlNoCable, "No JTAG cable of that name is connected"},
    {kFakeOpenCableNotOnHost, kJatlCableNotOnHost, "The JTAG cable is not connected to this computer"},
    {kFakeOpenCableNotOnBoard, kJatlCableNotOnBoard, "The JTAG cable is not connected to a board"},
    {kFakeOpenInUse, kJatlInUse, "Another program uses the JTAG UART"},
    {kFakeOpenNodeNotUnique, kJatlNodeNotUnique, "More than one JTAG UART on the chain; name one"},
    {kFakeOpenNoNode, kJatlNoNode, "No JTAG UART on the chain"},
    {kFakeOpenHardware, kJatlHardware, "The JTAG hardware does not respond"},
    {kFakeOpenOther, kJatlOther, "Unable to connect to the JTAG server"},
};

std::string setting(const char* variable) {
    return qbv::platform::environmentVariable(variable);
}

OpenFailure notUnderstood(const char* variable, const std::string& value) {
    return {kJatlOther, std::string(variable) + " not understood: " + value};
}

// Leaves value as it is when the variable is unset; false with the failure filled in for a malformed one.
template <typename Number> bool readNumber(const char* variable, Number& value, OpenFailure& failure) {
    const std::string text = setting(variable);
    if (text.empty() || qbv::parseNumber<Number>(text, std::numeric_limits<Number>::max(), value))
        return true;
    failure = notUnderstood(variable, text);
    return false;
}

bool readScript(Script& script, OpenFailure& failure) {
    return readNumber(kFakeClientBreakAfterVariable, script.breakAfter, failure) &&
           readNumber(kFakeClientAcceptVariable, script.accept, failure) &&
           readNumber(kFakeClientDelayVariable, script.delayMs, failure) &&
           readNumber(kFakeClientWaitOpenVariable, script.waitOpenMs, failure);
}

// False with the failure filled in when the script makes this open fail.
bool scriptedOpen(OpenFailure& failure) {
    const std::string word = setting(kFakeClientOpenVariable);
    if (word.empty() || word == kFakeOpenOk)
        return true;
    const auto* found = std::find_if(std::begin(kScriptedFailures), std::end(kScriptedFailures),
                                     [&](const ScriptedFailure& scripted) { return word == scripted.word; });
    failure = found == std::end(kScriptedFailures) ? notUnderstood(kFakeClientOpenVariable, word)
                                                   : OpenFailure{found->code, found->detail};
    return false;
}

bool readKeys(std::vector<uint8_t>& keys, OpenFailure& failure) {
    const std::string text = setting(kFakeClientKeysVariable);
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find(',', start), text.size());
        uint8_t key = 0;
        if (!qbv::parseNumber<uint8_t>(std::string_view(text).substr(start, end - start), 0xFF, key)) {
            failure = notUnderstood(kFakeClientKeysVariable, text);
            return false;
        }
        keys.push_back(key);
        start = end + 1;
    }
    return true;
}

std::unique_ptr<LinkBoard> openVirtual(OpenFailure& failure) {
#ifdef QBV_FAKE_CLIENT_VIRTUAL_BOARD
    return openVirtualBoard(failure);
#else
    failure = {kJatlOther, "This build of the fake has no virtual board"};
    return nullptr;
#endif
}

std::unique_ptr<LinkBoard> openBoard(OpenFailure& failure) {
    const std::string kind = setting(kFakeClientBoardVariable);
    if (kind == kFakeBoardVirtual)
        return openVirtual(failure);
    std::vector<uint8_t> keys;
    if (!kind.empty())
        failure = notUnderstood(kFakeClientBoardVariable, kind);
    else if (readKeys(keys, failure))
        return makeKeyBoard(std::move(keys));
    return nullptr;
}

JTAGATLANTIC* openLink(OpenFailure& failure) {
    static std::atomic<int> linksOpened{0};
    auto link = std::make_unique<JTAGATLANTIC>();
    if (!readScript(link->script, failure) || !scriptedOpen(failure))
        return nullptr;
    link->board = openBoard(failure);
    if (!link->board)
        return nullptr;
    link->number = ++linksOpened;
    return link.release();
}

// The last failed open's error; its detail stays valid until the next open fails.
struct LastError {
    std::mutex mutex;
    OpenFailure failure;
};

LastError& lastError() {
    static LastError error;
    return error;
}

void keepFailure(const OpenFailure& failure) {
    LastError& error = lastError();
    const std::lock_guard lock(error.mutex);
    error.failure = failure;
}

void sleepFor(uint32_t milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Runs one call on an open link: a negative result on a null link, on one that broke before, and when
// the board reports the link broken now.
template <typename Call> int onLink(JTAGATLANTIC* link, Call call) {
    if (link == nullptr)
        return kBroken;
    const std::lock_guard lock(link->mutex);
    link->broken = link->broken || link->written >= link->script.breakAfter;
    if (link->broken)
        return kBroken;
    const int result = call(*link);
    link->broken = result < 0;
    return link->broken ? kBroken : result;
}

// Offers the board what this write may still hand over: no more than the script accepts per call, nor
// past the byte after which the link breaks.
int writeToBoard(JTAGATLANTIC& link, const char* data, unsigned int count) {
    const uint64_t offered = std::min<uint64_t>(
        {data ? count : 0u, link.script.accept, link.script.breakAfter - link.written, INT_MAX});
    const int taken = link.board->write(reinterpret_cast<const uint8_t*>(data), static_cast<int>(offered));
    link.written += static_cast<uint64_t>(std::max(taken, 0));
    return taken;
}

int clampedSize(const char* buffer, unsigned int size) {
    return buffer ? static_cast<int>(std::min<unsigned int>(size, INT_MAX)) : 0;
}

std::string quoted(const char* text) {
    return text ? '"' + std::string(text) + '"' : std::string("null");
}

std::string hex(const char* bytes, int count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; bytes && i < count; ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        text += i > 0 ? " " : "";
        text += {kDigits[byte >> 4], kDigits[byte & 0x0F]};
    }
    return text;
}

std::string linkName(const JTAGATLANTIC* link) {
    return link ? std::to_string(link->number) : std::string("null");
}

void logLine(const std::string& line) {
    fakeClientAppendLog(line.c_str());
}

void logCall(const char* function, const JTAGATLANTIC* link, int result, const std::string& details = {}) {
    logLine(std::string(function) + " link=" + linkName(link) + " result=" + std::to_string(result) +
            (details.empty() ? "" : " " + details));
}

} // namespace

QBV_ATLANTIC_API JTAGATLANTIC* jtagatlantic_open(const char* chain, int device_index, int link_instance,
                                                 const char* app_name) {
    OpenFailure failure;
    JTAGATLANTIC* link = openLink(failure);
    if (link == nullptr)
        keepFailure(failure);
    logLine("jtagatlantic_open chain=" + quoted(chain) + " device=" + std::to_string(device_index) +
            " instance=" + std::to_string(link_instance) + " app=" + quoted(app_name) +
            (link ? " link=" + linkName(link) : " error=" + std::to_string(failure.code)));
    return link;
}

#ifndef QBV_FAKE_CLIENT_WITHOUT_GET_ERROR // a client library may come without it
QBV_ATLANTIC_API JATL_ERROR jtagatlantic_get_error(const char** otherInfo) {
    LastError& error = lastError();
    const std::lock_guard lock(error.mutex);
    const OpenFailure& failure = error.failure;
    if (otherInfo)
        *otherInfo = failure.code == kJatlSuccess ? nullptr : failure.detail.c_str();
    logLine("jtagatlantic_get_error result=" + std::to_string(failure.code));
    return failure.code;
}
#endif

QBV_ATLANTIC_API void jtagatlantic_close(JTAGATLANTIC* link) {
    logLine("jtagatlantic_close link=" + linkName(link));
    delete link;
}

QBV_ATLANTIC_API int jtagatlantic_write(JTAGATLANTIC* link, const char* data, unsigned int count) {
    sleepFor(link ? link->script.delayMs : 0);
    const int result = onLink(link, [&](JTAGATLANTIC& open) { return writeToBoard(open, data, count); });
    logCall("jtagatlantic_write", link, result,
            "count=" + std::to_string(count) + " data=" + hex(data, clampedSize(data, count)));
    return result;
}

QBV_ATLANTIC_API int jtagatlantic_flush(JTAGATLANTIC* link) {
    const int result = onLink(link, [](JTAGATLANTIC&) { return 0; });
    logCall("jtagatlantic_flush", link, result);
    return result;
}

QBV_ATLANTIC_API int jtagatlantic_read(JTAGATLANTIC* link, char* buffer, unsigned int size) {
    sleepFor(link ? link->script.delayMs : 0);
    const int result = onLink(link, [&](JTAGATLANTIC& open) {
        return open.board->read(reinterpret_cast<uint8_t*>(buffer), clampedSize(buffer, size));
    });
    logCall("jtagatlantic_read", link, result,
            "size=" + std::to_string(size) + " data=" + hex(buffer, result));
    return result;
}

QBV_ATLANTIC_API int jtagatlantic_bytes_available(JTAGATLANTIC* link) {
    const int result = onLink(link, [](JTAGATLANTIC& open) { return open.board->available(); });
    logCall("jtagatlantic_bytes_available", link, result);
    return result;
}

QBV_ATLANTIC_API int jtagatlantic_wait_open(JTAGATLANTIC* link) {
    sleepFor(link ? link->script.waitOpenMs : 0);
    const int result = onLink(link, [](JTAGATLANTIC&) { return 0; });
    logCall("jtagatlantic_wait_open", link, result);
    return result;
}

QBV_ATLANTIC_API int jtagatlantic_cable_warning(JTAGATLANTIC* link) {
    logCall("jtagatlantic_cable_warning", link, 0);
    return 0;
}
