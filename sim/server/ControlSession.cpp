#include "ControlSession.h"

#include "BoardService.h"

#include "sim/core/WireProtocol.h"

#include <QLocalSocket>

namespace {
constexpr qint64 kMaxUnsentBytes = 1 << 20;
} // namespace

ControlSession::ControlSession(QLocalSocket* socket, BoardService* service)
    : QObject(service), socket_(socket), service_(service), lines_(qbv::sim::wire::kMaxControlLine) {
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
    const QByteArray received = socket_->readAll();
    lines_.append(std::string_view(received.constData(), static_cast<size_t>(received.size())));
    std::string line;
    while (!ended_ && lines_.takeLine(line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const qbv::sim::ControlAnswer answer = service_->handleControl(line);
        if (!socket_)
            return;
        socket_->write(QByteArray::fromStdString(answer.reply + "\n"));
        socket_->flush();
    }
    if (!ended_ && (lines_.overflowed() || socket_->bytesToWrite() > kMaxUnsentBytes))
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
