#include "app/LocalServer.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif
#include <utility>

using qbv::platform::Waitable;

namespace {

// The system signals an event handle on Windows, a descriptor that may be read or written elsewhere.
#ifdef _WIN32
using Notifier = QWinEventNotifier;
Notifier* notifierFor(Waitable waitable, bool) {
    return new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(waitable));
}
#else
using Notifier = QSocketNotifier;
Notifier* notifierFor(Waitable waitable, bool writing) {
    return new QSocketNotifier(static_cast<qintptr>(waitable),
                               writing ? QSocketNotifier::Write : QSocketNotifier::Read);
}
#endif

// Calls back on the receiver each time the system signals the handle, while enabled.
template <typename Slot>
std::unique_ptr<QObject> watch(Waitable waitable, bool writing, QObject* receiver, Slot slot) {
    Notifier* notifier = notifierFor(waitable, writing);
    QObject::connect(notifier, &Notifier::activated, receiver, slot);
    return std::unique_ptr<QObject>(notifier);
}

void enable(const std::unique_ptr<QObject>& watch, bool on) {
    static_cast<Notifier*>(watch.get())->setEnabled(on);
}

} // namespace

LocalSocket::LocalSocket(qbv::platform::LocalConnection connection, QObject* parent)
    : QObject(parent), connection_(std::make_unique<qbv::platform::ServedConnection>(connection)) {
    readWatch_ = watch(connection_->readable(), false, this, [this] { receive(); });
    writeWatch_ = watch(connection_->writable(), true, this, [this] { send(); });
    enable(writeWatch_, false);
}

LocalSocket::~LocalSocket() = default;

bool LocalSocket::connected() const {
    return connection_ && !closing_;
}

qbv::platform::LocalConnection LocalSocket::connection() const {
    return connection_ ? connection_->connection() : qbv::platform::kNoConnection;
}

QByteArray LocalSocket::readAll() {
    return std::exchange(received_, {});
}

void LocalSocket::write(const QByteArray& bytes) {
    outgoing_ += bytes;
    send();
}

void LocalSocket::disconnectFromServer() {
    closing_ = true;
    send();
}

// One step per signal: a client that sends without end cannot hold the loop.
void LocalSocket::receive() {
    std::string bytes;
    const long long got = connection_ ? connection_->receiveNow(bytes) : 0;
    if (got > 0) {
        received_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
        emit readyRead();
    }
    if (got < 0)
        end();
}

void LocalSocket::send() {
    if (!connection_)
        return;
    while (!outgoing_.isEmpty()) {
        const long long taken =
            connection_->sendNow(outgoing_.constData(), static_cast<size_t>(outgoing_.size()));
        if (taken < 0)
            return end();
        if (taken == 0)
            break;
        outgoing_.remove(0, static_cast<qsizetype>(taken));
    }
    const bool gone = outgoing_.isEmpty() && connection_->allSent();
    enable(writeWatch_, !gone);
    if (gone && closing_)
        end();
}

void LocalSocket::end() {
    if (!connection_)
        return;
    enable(readWatch_, false);
    enable(writeWatch_, false);
    connection_.reset();
    outgoing_.clear();
    emit disconnected();
}

LocalServer::LocalServer(QObject* parent) : QObject(parent) {}

LocalServer::~LocalServer() = default;

bool LocalServer::listen(const std::string& address, QString& error) {
    std::string refusal;
    if (!listener_.listen(address, refusal))
        return (error = QString::fromStdString(refusal)), false;
    for (const Waitable waitable : listener_.waitables())
        watches_.push_back(watch(waitable, false, this, [this] { acceptAll(); }));
    return true;
}

void LocalServer::acceptAll() {
    for (auto client = listener_.accept(); client != qbv::platform::kNoConnection;
         client = listener_.accept())
        emit accepted(new LocalSocket(client, this));
    if (!listener_.listening())
        for (const auto& watch : watches_)
            enable(watch, false);
}
