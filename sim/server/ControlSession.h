#pragma once

#include "common/LineBuffer.h"

#include <QObject>
#include <QPointer>

class BoardService;
class QLocalSocket;

// One client of the control socket: one reply line for each request line. A line over the limit, or a
// client that stops collecting its replies, ends the session.
class ControlSession : public QObject {
    Q_OBJECT

public:
    ControlSession(QLocalSocket* socket, BoardService* service);
    ~ControlSession() override;

private:
    void receive();
    void end();

    QPointer<QLocalSocket> socket_;
    BoardService* service_;
    qbv::LineBuffer lines_;
    bool ended_ = false;
};
