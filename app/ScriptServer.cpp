#include "app/ScriptServer.h"

#include "app/LocalServer.h"
#include "common/LineBuffer.h"

#include "platform/LocalChannel.h"

#include <QPointer>
#include <QTimer>
#include <optional>

using namespace qbv;
using namespace qbv::session;

namespace {

// A script sends its request at once: a line still unfinished after this long is a client gone wrong, and
// one that says nothing for a minute holds a connection for nothing. Beyond the cap a new one is refused,
// so that a flood of clients cannot use up the panel's handles.
constexpr int kLineMs = 5000;
constexpr int kSilenceMs = 60000;
constexpr int kMaxClients = 16;
constexpr int kFlushMs = 1000;

} // namespace

// One script's connection: its unfinished line, its time, the request it waits on, and whether it watches
// the keys.
class ScriptServer::Client : public QObject {
    Q_OBJECT
public:
    Client(LocalSocket* socket, ScriptServer& server) : QObject(&server), server_(server), socket_(socket) {
        socket->setParent(this);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (!lines_.pending() || turnedAway_)
                return hangUp();
            hangUp(refused(Refusal::BadRequest, "the request did not end in time"));
        });
        connect(socket, &LocalSocket::disconnected, this, &QObject::deleteLater);
        connect(socket, &LocalSocket::readyRead, this, &Client::read);
        timer_.start(kSilenceMs);
    }
    // A request still under way when its script leaves is answered to no one.
    ~Client() override {
        if (pending_)
            server_.session_.forget(pending_->id);
    }

    bool waitsFor(RequestId id) const { return pending_ && pending_->id == id; }
    void answered(const ScriptReply& reply) {
        const ScriptVerb verb = pending_->verb;
        pending_.reset();
        send(reply);
        if (verb == ScriptVerb::Watch && reply.refusal == Refusal::None)
            watch(reply.keys.value_or(0));
        else if (!watching_)
            timer_.start(kSilenceMs);
        // The next request is read once the step that answered this one is over.
        QMetaObject::invokeMethod(this, &Client::read, Qt::QueuedConnection);
    }

    // Handed to the system at once: the panel may end the moment after it answers (a job's outcome as
    // it closes), before its loop would write it.
    void send(const ScriptReply& reply) {
        if (!socket_)
            return;
        socket_->write(QByteArray::fromStdString(scriptReplyLine(reply)));
    }
    void hangUp(const ScriptReply& last) {
        send(last);
        hangUp();
    }
    // The last reply still goes out: the connection ends once it is written, or a moment later at most.
    void hangUp() {
        watching_ = false;
        timer_.stop();
        if (!socket_)
            return deleteLater();
        socket_->disconnectFromServer();
        QTimer::singleShot(kFlushMs, this, &QObject::deleteLater);
    }
    // Turned away: the reply waits for the script's request, which ends the connection, as does a moment's
    // silence. Hanging up at once would leave the script writing to a closed connection.
    void turnAway(const ScriptReply& reply) {
        send(reply);
        turnedAway_ = true;
        timer_.start(kFlushMs);
    }
    bool watching() const { return watching_; }
    void keysRead(uint8_t keys) {
        if (!watching_ || keys == keysSent_)
            return;
        keysSent_ = keys;
        send({Refusal::None, keys, {}, {}, true});
    }

private:
    void watch(uint8_t keys) {
        watching_ = true;
        keysSent_ = keys;
        timer_.stop(); // a watch lasts as long as the script wants it
    }

    // Requests are served one at a time, in order: the next is read once the last was answered.
    void read() {
        while (socket_ && socket_->connected() && !pending_) {
            const QByteArray bytes = socket_->readAll();
            lines_.append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
            std::string line;
            if (!lines_.takeLine(line)) {
                if (lines_.overflowed())
                    return hangUp(refused(Refusal::BadRequest, "request too long"));
                if (lines_.pending() && !watching_)
                    timer_.start(kLineMs);
                return;
            }
            if (turnedAway_)
                return hangUp();
            ScriptRequest request;
            std::string error;
            if (!parseScriptRequest(line, request, error))
                return hangUp(refused(Refusal::BadRequest, error));
            // The silence that ends a connection is counted between requests, not while one is served.
            timer_.stop();
            pending_ = Pending{++server_.lastId_, request.verb};
            server_.session_.request(pending_->id, request);
        }
    }

    struct Pending {
        RequestId id;
        ScriptVerb verb;
    };
    ScriptServer& server_;
    QPointer<LocalSocket> socket_;
    LineBuffer lines_{kMaxScriptLine};
    QTimer timer_;
    std::optional<Pending> pending_;
    bool watching_ = false;
    bool turnedAway_ = false;
    uint8_t keysSent_ = 0;
};

ScriptServer::ScriptServer(Session& session, QObject* parent)
    : QObject(parent), session_(session), server_(new LocalServer(this)) {
    connect(server_, &LocalServer::accepted, this, &ScriptServer::accept);
    session_.listen(*this);
}

ScriptServer::~ScriptServer() {
    session_.unlisten(*this);
}

bool ScriptServer::listen(QString& error) {
    std::string refusal;
    const std::string address =
        qbv::platform::localServerAddress(panelServerName(session_.folder()), &refusal);
    if (address.empty())
        return (error = QString::fromStdString(refusal)), false;
    qbv::platform::LocalChannel probe;
    if (probe.open(address) != qbv::platform::LocalChannel::Opened::NoServer)
        return (error = QStringLiteral("another panel serves %1").arg(QString::fromStdString(address))),
               false;
    // What is left there is the socket of a panel that ended without removing it, or something that is no
    // panel's, which stays.
    if (std::string leftover; !qbv::platform::clearServerLeftover(address, leftover))
        return (error = QString::fromStdString(leftover)), false;
    return server_->listen(address, error);
}

QList<ScriptServer::Client*> ScriptServer::clients() const {
    return findChildren<Client*>(Qt::FindDirectChildrenOnly);
}

void ScriptServer::accept(LocalSocket* socket) {
    auto* client = new Client(socket, *this);
    // The modes of the socket and its folder keep other users out only while nobody loosens them.
    if (!qbv::platform::peerIsOwnUser(socket->connection()))
        client->turnAway(refused(Refusal::OtherUser));
    else if (clients().size() > kMaxClients)
        client->turnAway(refused(Refusal::Busy, "The control panel serves too many scripts at once."));
}

void ScriptServer::answered(RequestId id, const ScriptReply& reply) {
    for (Client* client : clients())
        if (client->waitsFor(id))
            return client->answered(reply);
}

void ScriptServer::told(RequestId id, const ScriptReply& event) {
    for (Client* client : clients())
        if (client->waitsFor(id))
            return client->send(event);
}

void ScriptServer::keysPolled(uint8_t keys) {
    for (Client* client : clients())
        client->keysRead(keys);
}

void ScriptServer::entered(State state) {
    // A watch ends with the polls it was served from: with the link lost, or whatever took their place. A
    // state that only holds a poll back (a command, a check of the connection) keeps it.
    if (verdict(state, Action::PollKeys) != Verdict::Drop)
        return;
    const Refused why = refusalOf(state);
    const ScriptReply end =
        state == State::Disconnected ? refused(Refusal::Failed) : refused(why.refusal, why.text);
    for (Client* client : clients())
        if (client->watching())
            client->hangUp(end);
}

#include "ScriptServer.moc"
