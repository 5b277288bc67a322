#pragma once

#include "sim/core/FrameDecoder.h"
#include "sim/core/WireProtocol.h"

#include <QObject>
#include <QPointer>

class BoardService;
class QLocalSocket;
class QTimer;

// How long a link client may stay quiet: tests shorten them, as they cannot wait half a minute.
struct LinkIdleLimits {
    int openWithinMs = qbv::sim::wire::kOpenLinkWithinMs;
    int linkIdleMs = qbv::sim::wire::kLinkIdleMs;
};

// One client of the link socket: cuts its bytes into frames and answers each. It ends itself when the
// client goes, sends a frame that cannot be trusted, stops collecting its replies, or stays quiet beyond
// its limits: it has not opened the link in time, or holds it and has asked for nothing for too long.
class LinkSession : public QObject {
    Q_OBJECT

public:
    LinkSession(QLocalSocket* socket, int session, const LinkIdleLimits& limits, BoardService* service);
    ~LinkSession() override;

private:
    void receive();
    void end();

    QPointer<QLocalSocket> socket_;
    BoardService* service_;
    int session_;
    int linkIdleMs_;
    // Runs from the connection until the link opens, then from each request while the session holds it.
    QTimer* quiet_;
    qbv::sim::FrameDecoder decoder_;
    bool ended_ = false;
};
