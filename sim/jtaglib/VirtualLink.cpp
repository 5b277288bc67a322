#include "sim/jtaglib/VirtualLink.h"

#include "common/Format.h"
#include "common/Texts.h"
#include "platform/ProgramLocation.h"
#include "sim/core/LinkExchange.h"
#include "sim/core/SocketPath.h"
#include "sim/jtaglib/LinkContext.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace qbv::sim {

namespace {

constexpr int32_t kFailure = -1;

// One request on an open link. Only a connection that broke ends the link: a board that answers late (a
// stalled process) has its reply skipped by the next request's wait, and the link goes on.
bool request(void* context, uint8_t type, std::vector<uint8_t> payload, uint8_t replyType, Frame& reply) {
    LinkState link;
    if (!loadLink(context, link) || link.broken)
        return false;
    const Frame frame{type, ++link.sequence, std::move(payload)};
    const Exchange outcome =
        exchangeFrames(link.connection, frame, replyType, reply, deadlineIn(wire::kReplyTimeoutMs));
    link.broken = outcome == Exchange::Broken ? 1 : 0;
    storeLink(context, link);
    return outcome == Exchange::Answered;
}

int32_t statusResult(bool answered, const Frame& reply) {
    return answered && reply.payload[0] == wire::kStatusOk ? 0 : kFailure;
}

int32_t stallValue(const Frame& reply) {
    return reply.payload[1] == wire::kStallReported ? 0 : -1;
}

jtag::LinkError lastFailure = jtag::LinkError::None;
std::string lastPath;    // the socket the last open tried
std::string lastRefusal; // why there was none to try
Opened lastOpened = Opened::Yes;

int32_t failOpen(jtag::LinkError why) {
    lastFailure = why;
    return kFailure;
}

jtag::LinkError openFailure(Opened opened) {
    return opened == Opened::NotOurs ? jtag::LinkError::NotOurs : jtag::LinkError::ServerNotRunning;
}

jtag::LinkError refusal(uint8_t status) {
    switch (status) {
    case wire::kStatusBusy:
        return jtag::LinkError::InUse;
    case wire::kStatusUnplugged:
        return jtag::LinkError::NoCable;
    default:
        return jtag::LinkError::Other;
    }
}

// A full board answers busy at once and hangs up, perhaps before the request got through: its answer is
// read all the same. The request is the connection's first, so no late reply can come before its own.
bool openLink(Connection connection, Frame& reply) {
    const Frame hello{wire::kOpenLink, wire::kOpenLinkSequence, {wire::kProtocolVersion}};
    const Deadline deadline = deadlineIn(wire::kOpenReplyTimeoutMs);
    sendFrame(connection, hello, deadline);
    return receiveFrame(connection, reply, deadline) == Received::All && reply.type == wire::kOpenLinkReply &&
           reply.sequence == hello.sequence && !reply.payload.empty();
}

} // namespace

jtag::LinkError lastOpenFailure(std::string& sentence) {
    switch (lastFailure) {
    case jtag::LinkError::None:
        sentence.clear();
        break;
    case jtag::LinkError::ServerNotRunning:
        if (lastPath.empty()) // no folder of the user's own to look in
            sentence = lastRefusal;
        else if (lastOpened == Opened::Busy)
            sentence = "The virtual board at " + lastPath +
                       " takes no connection: it may be stopped (end it and start it again).";
        else
            sentence = formatText("The virtual board is not running: start it (%s).",
                                  platform::programWords().startVirtualBoard);
        break;
    case jtag::LinkError::NotOurs:
        sentence = "The virtual board's socket " + lastPath +
                   " belongs to another user, so it is not used: start a board of your own (" +
                   platform::programWords().virtualBoard + "), or name yours with QBV_VIRTUAL_BOARD.";
        break;
    case jtag::LinkError::InUse:
        sentence = text::kLinkInUse;
        break;
    case jtag::LinkError::NoCable:
        sentence =
            formatText("The virtual board's cable is unplugged: plug it in on its window (or %s plug).",
                       platform::programWords().boardControl);
        break;
    default:
        sentence = "The virtual board refused the link.";
    }
    return lastFailure;
}

int32_t openVirtualLink(void* context) {
    if (context == nullptr)
        return kFailure;
    forgetLink(context);
    LinkState link;
    lastRefusal.clear();
    lastPath = linkSocketPath(boardNameFromEnvironment(), &lastRefusal);
    const Opened opened = connectLocal(lastPath, link.connection);
    lastOpened = opened;
    if (opened != Opened::Yes)
        return failOpen(openFailure(opened));
    Frame reply;
    const bool answered = openLink(link.connection, reply);
    if (!answered || reply.payload[0] != wire::kStatusOk) {
        closeSocket(link.connection);
        return failOpen(answered ? refusal(reply.payload[0]) : jtag::LinkError::ServerNotRunning);
    }
    link.sequence = wire::kOpenLinkSequence;
    link.tag = kLinkTag;
    storeLink(context, link);
    lastFailure = jtag::LinkError::None;
    return 0;
}

int32_t closeVirtualLink(void* context) {
    LinkState link;
    if (!loadLink(context, link))
        return kFailure;
    if (!link.broken)
        sendFrame(link.connection, Frame{wire::kCloseLink, ++link.sequence, {}},
                  deadlineIn(wire::kReplyTimeoutMs));
    closeSocket(link.connection);
    forgetLink(context);
    return 0;
}

int32_t initVirtualChannel(void* context) {
    Frame reply;
    const bool answered = request(context, wire::kChannelInit, {}, wire::kChannelInitReply, reply);
    return statusResult(answered, reply);
}

int32_t writeVirtualChannel(void* context, const uint8_t* bytes, int32_t count, int32_t& written,
                            int32_t& stall) {
    written = 0;
    stall = -1;
    LinkState link;
    if (count < 0 || (bytes == nullptr && count > 0) || !loadLink(context, link))
        return kFailure;
    // The board may send back what it has ready at once (a key reply, say), as much as there is room for.
    const uint8_t room = static_cast<uint8_t>(sizeof link.collected - link.collectedCount);
    const size_t offered = std::min(static_cast<size_t>(count), wire::kMaxPayload - 1);
    std::vector<uint8_t> payload{room};
    payload.insert(payload.end(), bytes, bytes + offered);
    Frame reply;
    const bool answered =
        request(context, wire::kWriteCollect, std::move(payload), wire::kWriteCollectReply, reply);
    if (!answered || reply.payload.size() < 4 || reply.payload.size() > 4u + room)
        return kFailure;
    stall = stallValue(reply);
    written = std::min<int32_t>(readLittle16(reply.payload.data() + 2), static_cast<int32_t>(offered));
    const size_t sentBack = reply.payload.size() - 4;
    if (sentBack > 0 && loadLink(context, link)) {
        std::memcpy(link.collected + link.collectedCount, reply.payload.data() + 4, sentBack);
        link.collectedCount = static_cast<uint8_t>(link.collectedCount + sentBack);
        link.collectedStall = reply.payload[1];
        storeLink(context, link);
    }
    return statusResult(answered, reply);
}

// Hands out bytes that came back with a write; false when there are none.
static bool readCollected(void* context, uint8_t* space, int32_t room, int32_t& received, int32_t& stall) {
    LinkState link;
    if (room <= 0 || !loadLink(context, link) || link.broken || link.collectedCount == 0)
        return false;
    const uint8_t given = static_cast<uint8_t>(std::min<int32_t>(room, link.collectedCount));
    std::memcpy(space, link.collected, given);
    std::memmove(link.collected, link.collected + given, link.collectedCount - given);
    link.collectedCount = static_cast<uint8_t>(link.collectedCount - given);
    storeLink(context, link);
    received = given;
    stall = link.collectedStall == wire::kStallReported ? 0 : -1;
    return true;
}

int32_t readVirtualChannel(void* context, uint8_t* space, int32_t room, int32_t& received, int32_t& stall) {
    received = 0;
    stall = -1;
    if (room < 0 || (space == nullptr && room > 0))
        return kFailure;
    if (readCollected(context, space, room, received, stall))
        return 0;
    std::vector<uint8_t> payload;
    appendLittle16(payload, static_cast<uint16_t>(std::min(static_cast<size_t>(room), wire::kMaxReadRoom)));
    Frame reply;
    if (!request(context, wire::kRead, std::move(payload), wire::kReadReply, reply) ||
        reply.payload.size() < 2)
        return kFailure;
    stall = stallValue(reply);
    const size_t got = std::min(reply.payload.size() - 2, static_cast<size_t>(room));
    if (got > 0)
        std::memcpy(space, reply.payload.data() + 2, got);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // nothing yet: do not spin the board
    received = static_cast<int32_t>(got);
    return reply.payload[0] == wire::kStatusOk ? 0 : kFailure;
}

int32_t clearVirtualStall(void* context) {
    Frame reply;
    const bool answered = request(context, wire::kClearStall, {}, wire::kClearStallReply, reply);
    return statusResult(answered, reply);
}

bool virtualLinkUsable(const void* context) {
    LinkState link;
    return loadLink(context, link) && !link.broken;
}

} // namespace qbv::sim
