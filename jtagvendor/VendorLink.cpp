#include "jtagvendor/VendorLink.h"

#include "common/Format.h"
#include "common/Texts.h"
#include "jtagvendor/ClientLibrary.h"
#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace qbv::jtagvendor {

namespace {

// One open link. A wait for it to be ready that outlived its time keeps it alive, and closes it itself
// if the panel closed it meanwhile: the client library must not be left waiting on a closed link.
struct Link {
    const ClientFunctions* client = nullptr;
    JTAGATLANTIC* handle = nullptr;
    std::mutex mutex;
    std::condition_variable readyChanged;
    bool waiting = false;
    int readyResult = -1;
    bool closed = false;
};
using LinkRef = std::shared_ptr<Link>;

// What the library keeps in the caller's link context. Copied in and out, since nothing promises the
// block's alignment; the tag tells a link of ours from whatever the block held before.
struct ContextBlock {
    uint32_t tag = 0;
    LinkRef* link = nullptr;
};
constexpr uint32_t kTag = 0x51425632; // "QBV2"
static_assert(sizeof(ContextBlock) <= jtag::kLinkContextSize);

LinkRef* linkIn(const void* context) {
    ContextBlock block;
    if (!context)
        return nullptr;
    std::memcpy(&block, context, sizeof block);
    return block.tag == kTag ? block.link : nullptr;
}

void keep(void* context, LinkRef* link) {
    const ContextBlock block{link ? kTag : 0u, link};
    std::memcpy(context, &block, sizeof block);
}

std::mutex errorGuard;
jtag::LinkError errorKind = jtag::LinkError::None;
std::string errorSentence;

int32_t fail(jtag::LinkError kind, std::string sentence) {
    const std::lock_guard<std::mutex> lock(errorGuard);
    errorKind = kind;
    errorSentence = std::move(sentence);
    return -1;
}

int32_t succeed() {
    fail(jtag::LinkError::None, {});
    return 0;
}

// A sentence that names something this system words its own way holds one %s for it.
using SystemWords = const char* platform::ToolchainWords::*;

struct ErrorWords {
    int code;
    jtag::LinkError kind;
    const char* sentence;
    SystemWords words = nullptr;
};
constexpr const char* kCableNotPlugged = "The USB-Blaster cable is not plugged in: plug it in, and check %s.";
constexpr ErrorWords kErrorWords[] = {
    {kJatlOther, jtag::LinkError::Other,
     "The JTAG client library could not open the link and named no cause (JTAG client error -99, an "
     "unspecified failure): check that %s is running and that the cable is plugged in, then try again.",
     &platform::ToolchainWords::server},
    {kJatlNoCable, jtag::LinkError::NoCable, kCableNotPlugged, &platform::ToolchainWords::cable},
    {kJatlCableNotOnHost, jtag::LinkError::NoCable, kCableNotPlugged, &platform::ToolchainWords::cable},
    {kJatlCableNotOnBoard, jtag::LinkError::NoCable,
     "The cable is plugged in but does not reach the board: check the JTAG connector and the board's power."},
    {kJatlInUse, jtag::LinkError::InUse, text::kLinkInUse},
    {kJatlNoNode, jtag::LinkError::NoJtagUart,
     "No JTAG UART answers on the board: its MAX II controller is not programmed "
     "(Download .POF in the panel, or qbv program)."},
    {kJatlCableNotUnique, jtag::LinkError::CableNotUnique,
     "More than one cable is connected: name the one to use in QBV_JTAG_CABLE."},
};
constexpr const char* kOtherCode =
    "The link to the board did not open (JTAG client error %d): check the cable and the board's power, then "
    "try again.";
// Without get_error the client names no cause at all, and no code: "in use" cannot be told from the rest.
constexpr ErrorWords kNoCause = {
    kJatlOther, jtag::LinkError::Other,
    "The JTAG client library could not open the link and gives no cause: it has no jtagatlantic_get_error, "
    "so no error code can be read, and a link in use by another program cannot be told from other failures "
    "(qbv --wait does not wait for it). Check that no other program holds the link, that the cable is "
    "plugged in and that %s is running, then try again.",
    &platform::ToolchainWords::server};
constexpr const char* kNotReady =
    "The JTAG server opened the link, but the board's JTAG UART did not become ready %s: check the board's "
    "power and that its MAX II controller is programmed (Download .POF in the panel, or qbv program), then "
    "try again.";

std::string sentenceOf(const ErrorWords& words) {
    return words.words ? formatText(words.sentence, platform::toolchainWords().*words.words) : words.sentence;
}

int32_t failOpen(const ClientFunctions& client) {
    if (!client.getError)
        return fail(kNoCause.kind, sentenceOf(kNoCause));
    const char* detail = nullptr;
    const int code = static_cast<int>(client.getError(&detail));
    const auto words = std::find_if(std::begin(kErrorWords), std::end(kErrorWords),
                                    [code](const ErrorWords& entry) { return entry.code == code; });
    const bool known = words != std::end(kErrorWords);
    std::string sentence = known ? sentenceOf(*words) : formatText(kOtherCode, code);
    if (detail && *detail)
        sentence += formatText(" (%s)", detail);
    return fail(known ? words->kind : jtag::LinkError::Other, sentence);
}

int32_t failLoad(const ClientFolder& folder) {
    const platform::ToolchainWords& system = platform::toolchainWords();
    if (!folder.distrust.empty())
        return fail(
            jtag::LinkError::NoToolChain,
            formatText("The folder %s (from %s) is not used to load the JTAG client library, because %s.",
                       folder.path.c_str(), folder.namedBy.c_str(), folder.distrust.c_str()));
    if (!folder.unloaded.empty())
        return fail(
            jtag::LinkError::NoToolChain,
            formatText("The FPGA vendor's JTAG client library %s (from %s) is there but did not load: %s.",
                       folder.unloaded.c_str(), folder.namedBy.c_str(), folder.failure.c_str()));
    if (folder.path.empty())
        return fail(jtag::LinkError::NoToolChain,
                    formatText("No FPGA vendor tool chain was found: %s, nor is QBV_JTAG_CLIENT_DIR set. "
                               "To use one, %s, or point QBV_JTAG_CLIENT_DIR at the folder that holds its "
                               "JTAG client library.",
                               system.missing, system.install));
    return fail(jtag::LinkError::NoToolChain,
                formatText("No FPGA vendor tool chain was found: its JTAG client library is not in %s (from "
                           "%s). Point QBV_JTAG_CLIENT_DIR at the folder that holds it, or %s.",
                           folder.path.c_str(), folder.namedBy.c_str(), system.install));
}

void closeHandle(Link& link) {
    if (link.handle)
        link.client->close(link.handle);
    link.handle = nullptr;
}

} // namespace

int32_t openLink(void* context) {
    if (!context)
        return -1;
    keep(context, nullptr);
    ClientFolder folder;
    const ClientFunctions* client = loadClientLibrary(folder);
    if (!client)
        return failLoad(folder);
    const std::string cable = platform::environmentVariable("QBV_JTAG_CABLE");
    const std::string program = platform::executableName();
    JTAGATLANTIC* handle = client->open(cable.empty() ? nullptr : cable.c_str(), -1, -1, program.c_str());
    if (!handle)
        return failOpen(*client);
    auto link = std::make_shared<Link>();
    link->client = client;
    link->handle = handle;
    keep(context, new LinkRef(std::move(link)));
    return succeed();
}

int32_t closeLink(void* context) {
    LinkRef* link = linkIn(context);
    if (!link)
        return -1;
    {
        const std::lock_guard<std::mutex> lock((*link)->mutex);
        (*link)->closed = true;
        if (!(*link)->waiting)
            closeHandle(**link);
    }
    delete link;
    keep(context, nullptr);
    return 0;
}

int32_t waitLinkReady(void* context) {
    LinkRef* found = linkIn(context);
    if (!found)
        return -1;
    LinkRef link = *found;
    std::unique_lock<std::mutex> lock(link->mutex);
    if (!link->waiting) {
        link->waiting = true;
        // The thread may outlive the wait, and the panel frees this library after a failed open.
        platform::pinLibraryContaining(reinterpret_cast<const void*>(&waitLinkReady));
        std::thread([link] {
            const int result = link->client->waitOpen(link->handle);
            const std::lock_guard<std::mutex> done(link->mutex);
            link->waiting = false;
            link->readyResult = result;
            if (link->closed)
                closeHandle(*link);
            link->readyChanged.notify_all();
        }).detach();
    }
    if (!link->readyChanged.wait_for(lock, std::chrono::milliseconds(kReadyWaitMs),
                                     [&] { return !link->waiting; }))
        return fail(jtag::LinkError::ServerNotRunning,
                    formatText(kNotReady, formatText("within %u ms", kReadyWaitMs).c_str()));
    if (link->readyResult != 0)
        return fail(jtag::LinkError::Other,
                    formatText(kNotReady, formatText("(wait_open answered %d)", link->readyResult).c_str()));
    return 0;
}

int32_t writeLink(void* context, const uint8_t* bytes, int32_t count, int32_t& written) {
    written = 0;
    LinkRef* link = linkIn(context);
    if (!link || count < 0 || (!bytes && count > 0))
        return -1;
    Link& open = **link;
    const int accepted = open.client->write(open.handle, reinterpret_cast<const char*>(bytes),
                                            static_cast<unsigned int>(count));
    if (accepted < 0)
        return -1;
    open.client->flush(open.handle);
    written = std::min(accepted, count);
    return 0;
}

int32_t readLink(void* context, uint8_t* space, int32_t room, int32_t& received) {
    received = 0;
    LinkRef* link = linkIn(context);
    if (!link || room < 0 || (!space && room > 0))
        return -1;
    Link& open = **link;
    // Never more than is waiting, so a call never blocks.
    const int waiting = open.client->bytesAvailable(open.handle);
    if (waiting < 0)
        return -1;
    const int wanted = std::min(waiting, room);
    if (wanted == 0)
        return 0;
    const int got =
        open.client->read(open.handle, reinterpret_cast<char*>(space), static_cast<unsigned int>(wanted));
    if (got < 0)
        return -1;
    received = std::min(got, wanted);
    return 0;
}

jtag::LinkError lastError(std::string& sentence) {
    const std::lock_guard<std::mutex> lock(errorGuard);
    sentence = errorSentence;
    return errorKind;
}

} // namespace qbv::jtagvendor
