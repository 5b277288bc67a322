#include "LinkSession.h"

#include "BoardService.h"

#include <QLocalSocket>
#include <QTimer>

namespace {
// Replies a client leaves uncollected beyond this are its problem no more: it is cut off.
constexpr qint64 kMaxUnsentBytes = 1 << 20;
} // namespace

LinkSession::LinkSession(QLocalSocket* socket, int session, const LinkIdleLimits& limits,
                         BoardService* service)
    : QObject(service), socket_(socket), service_(service), session_(session), linkIdleMs_(limits.linkIdleMs),
      quiet_(new QTimer(this)) {
    socket->setParent(this);
    connect(socket, &QLocalSocket::readyRead, this, &LinkSession::receive);
    connect(socket, &QLocalSocket::disconnected, this, &LinkSession::end);
    quiet_->setSingleShot(true);
    connect(quiet_, &QTimer::timeout, this, &LinkSession::end);
    quiet_->start(limits.openWithinMs);
    receive(); // bytes may have come with the connection
}

// Only the service's own end destroys a session that has not ended: nothing must reach the service then.
LinkSession::~LinkSession() {
    if (socket_)
        socket_->disconnect(this);
}

void LinkSession::receive() {
    if (ended_ || !socket_)
        return;
    const QByteArray bytes = socket_->readAll();
    decoder_.feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    while (std::optional<qbv::sim::Frame> request = decoder_.next()) {
        const qbv::sim::HostAnswer answer = service_->handleLink(session_, *request);
        // Only the link's holder buys time by asking: a client refused the link cannot wait here for it.
        if (service_->host().linkOwner() == session_)
            quiet_->start(linkIdleMs_);
        if (answer.reply) {
            const std::vector<uint8_t> reply = qbv::sim::encodeFrame(*answer.reply);
            socket_->write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
        }
        if (answer.hangUp)
            return end();
    }
    if (decoder_.failed() || socket_->bytesToWrite() > kMaxUnsentBytes)
        end();
}

void LinkSession::end() {
    if (ended_)
        return;
    ended_ = true;
    quiet_->stop();
    service_->linkSessionEnded(session_);
    if (socket_) {
        socket_->disconnect(this);
        socket_->flush();
        socket_->disconnectFromServer();
    }
    deleteLater();
}
