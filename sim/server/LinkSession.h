#pragma once

#include "sim/core/FrameDecoder.h"

#include <QObject>
#include <QPointer>

class BoardService;
class QLocalSocket;

// One client of the link socket: cuts its bytes into frames and answers each. It ends itself when the
// client goes, sends a frame that cannot be trusted, or stops collecting its replies.
class LinkSession : public QObject {
    Q_OBJECT

public:
    LinkSession(QLocalSocket* socket, int session, BoardService* service);
    ~LinkSession() override;

private:
    void receive();
    void end();

    QPointer<QLocalSocket> socket_;
    BoardService* service_;
    int session_;
    qbv::sim::FrameDecoder decoder_;
    bool ended_ = false;
};
