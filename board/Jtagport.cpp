#include "board/Jtagport.h"

#include "board/Invariant.h"
#include "common/EnumTable.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/ProgramLocation.h"

#include <algorithm>

namespace {

// Pause after a write attempt that the library accepted nothing of, so a full channel is not hammered.
constexpr uint32_t kWriteRetryPauseMs = 150;
// Pause after a read call that failed. An empty read that succeeded is asked again at once, so a reply
// is taken the moment it arrives.
constexpr uint32_t kFailedReadPauseMs = 1;

struct EditionWords {
    qbv::jtag::Edition edition;
    const char* words;
};
constexpr EditionWords kEditionWords[] = {
    {qbv::jtag::Edition::Makers, "the board maker's"},
    {qbv::jtag::Edition::VirtualBoard, "ours, for the virtual board"},
    {qbv::jtag::Edition::RealBoards, "ours, for real boards (over the FPGA vendor's JTAG-UART client)"},
};
static_assert(qbv::rowsInEnumOrder(kEditionWords, &EditionWords::edition, qbv::jtag::kEditionCount));

} // namespace

TJtagPort::TJtagPort(const std::string& folder)
    : FLibraryPath(folder + qbv::platform::jtagLibraryFileName()) {
    LoadJtagLibrary();
}

TJtagPort::~TJtagPort() {
    FreeJtagLibrary();
}

TJtagPort::CommandInFlight::CommandInFlight(TJtagPort& port) : port_(port) {
    QBV_INVARIANT(!port.FCommandInFlight, "a board command was started while another is in flight");
    port.FCommandInFlight = true;
}

TJtagPort::CommandInFlight::~CommandInFlight() {
    port_.FCommandInFlight = false;
}

void TJtagPort::LoadJtagLibrary() {
    qbv::platform::JtagLoad load = qbv::platform::loadJtagLibrary(FLibraryPath);
    FLibrary = std::move(load.library);
    FErrorDetail = std::move(load.detail);
    switch (load.error) {
    case qbv::platform::JtagLoadError::NoError:
        break;
    case qbv::platform::JtagLoadError::NotLoaded:
        setError(JtagPortError::LibraryNotLoaded,
                 qbv::formatText(qbv::text::kFailLoadDll, FLibraryPath.c_str()));
        break;
    case qbv::platform::JtagLoadError::FunctionMissing:
        setError(JtagPortError::FunctionMissing, qbv::text::kFailFindApi);
        break;
    }
}

void TJtagPort::setError(JtagPortError error, std::string text) {
    FError = error;
    FErrorString = std::move(text);
}

void TJtagPort::FreeJtagLibrary() {
    FLibrary.reset();
}

bool TJtagPort::Open() {
    if (!IsLoaded())
        return false;
    Close();
    using namespace qbv::jtag;
    FLinkError = qbv::jtag::LinkError::None;
    FLinkErrorString.clear();
    if (FLibrary->init(kInitArgs[0], kInitArgs[1], kInitArgs[2], kInitArgs[3], kInitArgs[4], kInitArgs[5],
                       kInitTerm, kInitLast, FContext) != 0)
        return openFailed();
    if (FLibrary->atlanticInit(FContext) != 0) {
        // The link itself is up: end it, or the library keeps a half-open link until it is unloaded.
        FLibrary->close(FContext);
        return openFailed();
    }
    FOpened = true;
    return true;
}

std::optional<qbv::jtag::Edition> TJtagPort::libraryEdition() const {
    if (!IsLoaded())
        return std::nullopt;
    return FLibrary->edition();
}

std::string TJtagPort::edition() const {
    if (!IsLoaded())
        return {};
    const std::string words = qbv::rowOf(kEditionWords, FLibrary->edition()).words;
    const std::string how = FLibrary->runsThrough();
    return how.empty() ? words : words + " (" + how + ")";
}

bool TJtagPort::openFailed() {
    FLinkError = FLibrary->errorText(FContext, FLinkErrorString);
    return false;
}

void TJtagPort::Close() {
    if (!FOpened)
        return;
    FOpened = false;
    FLibrary->close(FContext);
}

// One write or read call, given where to put the count it moved and the stall: the bytes it moved, at most
// those asked, or -1 when the call failed (a failed call moved nothing, whatever count it reports). A stall
// it reports is cleared at once.
template <typename Call> int32_t TJtagPort::Transfer(int32_t asked, Call call) {
    int32_t moved = 0;
    int32_t stall = -1;
    const int32_t result = call(&moved, &stall);
    if (stall >= 0)
        FLibrary->clearStall(FContext);
    return result == 0 ? std::clamp(moved, 0, asked) : -1;
}

bool TJtagPort::Write(const uint8_t* data, int32_t count, uint32_t timeoutMs, bool pump) {
    if (!FOpened)
        return false;
    if (count <= 0)
        return true;
    const uint32_t start = qbv::platform::tickCount();
    int32_t accepted = 0;
    bool success = false;
    bool timedOut = false;
    do {
        // Only what the board has not taken yet goes again: a resent byte would enter its command stream.
        const int32_t remaining = count - accepted;
        const int32_t moved = Transfer(remaining, [&](int32_t* written, int32_t* stall) {
            return FLibrary->write(FContext, data + accepted, remaining, written, stall);
        });
        const int32_t taken = std::max(moved, 0); // a failed call's bytes go again
        if (taken == 0)
            qbv::platform::sleep(kWriteRetryPauseMs);
        accepted += taken;
        success = accepted == count;
        if (qbv::platform::elapsedSince(start) > timeoutMs) {
            timedOut = true;
            success = false;
        }
        if (pump)
            qbv::platform::pumpMessages();
    } while (!success && !timedOut);
    return success;
}

int32_t TJtagPort::Read(uint8_t* buffer, int32_t count, uint32_t timeoutMs, bool pump) {
    if (!FOpened || count <= 0)
        return 0;
    const uint32_t start = qbv::platform::tickCount();
    int32_t received = 0;
    bool finished = false;
    do {
        const int32_t room = count - received;
        const int32_t got = Transfer(room, [&](int32_t* delivered, int32_t* stall) {
            return FLibrary->read(FContext, buffer + received, room, delivered, stall);
        });
        if (got > 0) {
            received += got;
            finished = received >= count;
        } else if (qbv::platform::elapsedSince(start) > timeoutMs) {
            finished = true;
        } else if (got < 0) {
            // A failing library answers at once: asking again at full speed would only burn the thread.
            qbv::platform::sleep(kFailedReadPauseMs);
        }
        if (pump)
            qbv::platform::pumpMessages();
    } while (!finished);
    return received;
}
