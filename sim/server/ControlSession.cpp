#include "ControlSession.h"

#include "BoardService.h"

#include "sim/core/WireProtocol.h"

#include <QLocalSocket>

namespace {
constexpr qint64 kMaxUnsentBytes = 1 << 20;
} // namespace

ControlSession::ControlSession(QLocalSocket* socket, BoardService* service)
    : QObject(service), socket_(socket), service_(service) {
    socket->setParent(this);
    connect(socket, &QLocalSocket::readyRead, this, &ControlSession::receive);
    connect(socket, &QLocalSocket::disconnected, this, &ControlSession::end);
    receive();
}

ControlSession::~ControlSession() {
    if (socket_)
        socket_->disconnect(this);
}

void ControlSession::receive() {
    if (ended_ || !socket_)
        return;
    pending_ += socket_->readAll();
    qsizetype lineEnd = 0;
    while (!ended_ && (lineEnd = pending_.indexOf('\n')) >= 0) {
        QByteArray line = pending_.left(lineEnd);
        pending_.remove(0, lineEnd + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const qbv::sim::ControlAnswer answer = service_->handleControl(line.toStdString());
        if (!socket_)
            return;
        socket_->write(QByteArray::fromStdString(answer.reply + "\n"));
        socket_->flush();
    }
    if (!ended_ && (pending_.size() > static_cast<qsizetype>(qbv::sim::wire::kMaxControlLine) ||
                    socket_->bytesToWrite() > kMaxUnsentBytes))
        end();
}

void ControlSession::end() {
    if (ended_)
        return;
    ended_ = true;
    if (socket_) {
        socket_->disconnect(this);
        socket_->disconnectFromServer();
    }
    deleteLater();
}
