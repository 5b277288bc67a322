#include "sim/core/BoardHost.h"

#include <algorithm>

namespace qbv::sim {

namespace {

Frame answer(uint8_t type, const Frame& request, uint8_t status) {
    return Frame{type, request.sequence, {status}};
}

} // namespace

BoardHost::BoardHost() {
    board_.setReplyGate([this] {
        ReplyFate fate;
        fate.dropped = faults_.strike(Fault::Drop);
        if (!fate.dropped && faults_.strike(Fault::Delay))
            fate.delayMs = faults_.delayMs();
        return fate;
    });
}

void BoardHost::setPlugged(bool plugged) {
    plugged_ = plugged;
    if (!plugged)
        linkOwner_ = 0;
}

void BoardHost::resetCounters() {
    board_.resetCounters();
    stallsCleared_ = 0;
}

uint8_t BoardHost::linkStatus(int session) const {
    if (!plugged_)
        return wire::kStatusUnplugged;
    return session != 0 && session == linkOwner_ ? wire::kStatusOk : wire::kStatusNoLink;
}

uint8_t BoardHost::stallByte() {
    return faults_.strike(Fault::Stall) ? wire::kStallReported : wire::kNoStall;
}

HostAnswer BoardHost::handle(int session, const Frame& request, uint64_t nowMs) {
    switch (request.type) {
    case wire::kOpenLink:
        return {openLink(session, request)};
    case wire::kCloseLink:
        sessionEnded(session);
        return {std::nullopt, true};
    case wire::kChannelInit:
        return {answer(wire::kChannelInitReply, request, linkStatus(session))};
    case wire::kClearStall: {
        const uint8_t status = linkStatus(session);
        if (status == wire::kStatusOk)
            ++stallsCleared_;
        return {answer(wire::kClearStallReply, request, status)};
    }
    case wire::kWrite:
        return {
            linkStatus(session) == wire::kStatusOk
                ? write(request, nowMs)
                : Frame{wire::kWriteReply, request.sequence, {linkStatus(session), wire::kNoStall, 0, 0}}};
    case wire::kRead:
        return {linkStatus(session) == wire::kStatusOk
                    ? read(request, nowMs)
                    : Frame{wire::kReadReply, request.sequence, {linkStatus(session), wire::kNoStall}}};
    case wire::kWriteCollect:
        return {linkStatus(session) == wire::kStatusOk ? writeAndCollect(request, nowMs)
                                                       : Frame{wire::kWriteCollectReply,
                                                               request.sequence,
                                                               {linkStatus(session), wire::kNoStall, 0, 0}}};
    default:
        return {std::nullopt, true};
    }
}

Frame BoardHost::openLink(int session, const Frame& request) {
    uint8_t status = wire::kStatusOk;
    if (request.payload.size() != 1 || request.payload[0] != wire::kProtocolVersion)
        status = wire::kStatusBadVersion;
    else if (!plugged_)
        status = wire::kStatusUnplugged;
    else if (linkOwner_ != 0 && linkOwner_ != session)
        status = wire::kStatusBusy;
    if (status == wire::kStatusOk && session != 0) {
        linkOwner_ = session;
        board_.resetChannel();
    }
    return answer(wire::kOpenLinkReply, request, session == 0 ? uint8_t{wire::kStatusBadRequest} : status);
}

Frame BoardHost::write(const Frame& request, uint64_t nowMs) {
    return takeWrite(wire::kWriteReply, request.sequence, request.payload.data(),
                     static_cast<int>(request.payload.size()), nowMs);
}

Frame BoardHost::writeAndCollect(const Frame& request, uint64_t nowMs) {
    if (request.payload.empty() || request.payload[0] > wire::kMaxCollected)
        return Frame{
            wire::kWriteCollectReply, request.sequence, {wire::kStatusBadRequest, wire::kNoStall, 0, 0}};
    Frame reply = takeWrite(wire::kWriteCollectReply, request.sequence, request.payload.data() + 1,
                            static_cast<int>(request.payload.size()) - 1, nowMs);
    const int room = request.payload[0];
    const size_t header = reply.payload.size();
    reply.payload.resize(header + static_cast<size_t>(room));
    const int ready = board_.take(reply.payload.data() + header, room, nowMs);
    reply.payload.resize(header + static_cast<size_t>(ready));
    return reply;
}

Frame BoardHost::takeWrite(uint8_t replyType, uint16_t sequence, const uint8_t* bytes, int count,
                           uint64_t nowMs) {
    const uint8_t stall = stallByte();
    int offered = count;
    if (faults_.strike(Fault::Zero))
        offered = 0;
    else if (faults_.strike(Fault::Partial))
        offered = std::min(offered, 1);
    const int accepted = board_.accept(bytes, offered, nowMs);
    Frame reply{replyType, sequence, {wire::kStatusOk, stall}};
    appendLittle16(reply.payload, static_cast<uint16_t>(accepted));
    return reply;
}

Frame BoardHost::read(const Frame& request, uint64_t nowMs) {
    if (request.payload.size() != 2)
        return Frame{wire::kReadReply, request.sequence, {wire::kStatusBadRequest, wire::kNoStall}};
    const uint8_t stall = stallByte();
    const int room = std::min<int>(readLittle16(request.payload.data()), wire::kMaxReadRoom);
    Frame reply{wire::kReadReply, request.sequence, {wire::kStatusOk, stall}};
    reply.payload.resize(2 + static_cast<size_t>(room));
    const int given = board_.take(reply.payload.data() + 2, room, nowMs);
    reply.payload.resize(2 + static_cast<size_t>(given));
    return reply;
}

void BoardHost::sessionEnded(int session) {
    if (session != 0 && session == linkOwner_)
        linkOwner_ = 0;
}

} // namespace qbv::sim
