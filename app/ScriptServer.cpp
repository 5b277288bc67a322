#include "app/ScriptServer.h"

#include "board/BoardProtocol.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/LocalChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

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

ScriptReply refused(Refusal refusal, std::string text, std::string reason = {}) {
    return {refusal, std::nullopt, std::move(text), std::move(reason)};
}

} // namespace

// One script's connection: its unfinished line, its time, and whether it watches the keys.
class ScriptServer::Client : public QObject {
    Q_OBJECT
public:
    Client(QLocalSocket* socket, ScriptServer& server) : QObject(&server), socket_(socket) {
        socket->setParent(this);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (buffer_.isEmpty())
                return hangUp();
            hangUp(refused(Refusal::BadRequest, "the request did not end in time"));
        });
        connect(socket, &QLocalSocket::disconnected, this, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, &server] { read(server); });
        timer_.start(kSilenceMs);
    }

    void send(const ScriptReply& reply) {
        if (socket_)
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
        socket_->flush();
        socket_->disconnectFromServer();
        QTimer::singleShot(kFlushMs, this, &QObject::deleteLater);
    }
    void watch(uint8_t keys) {
        watching_ = true;
        keysSent_ = keys;
        timer_.stop(); // a watch lasts as long as the script wants it
    }
    bool watching() const { return watching_; }
    void keysRead(uint8_t keys) {
        if (!watching_ || keys == keysSent_)
            return;
        keysSent_ = keys;
        send({Refusal::None, keys, {}, {}, true});
    }

private:
    void read(ScriptServer& server) {
        // Requests are served one at a time, in order; a job asked for runs before the next is read.
        while (socket_ && socket_->state() == QLocalSocket::ConnectedState && !busy_) {
            buffer_ += socket_->readAll();
            const qsizetype end = buffer_.indexOf('\n');
            if (end < 0) {
                if (buffer_.size() > static_cast<qsizetype>(kMaxScriptLine))
                    return hangUp(refused(Refusal::BadRequest, "request too long"));
                if (!buffer_.isEmpty() && !watching_)
                    timer_.start(kLineMs);
                return;
            }
            const std::string line = buffer_.left(end).toStdString();
            buffer_.remove(0, end + 1);
            ScriptRequest request;
            std::string error;
            if (!parseScriptRequest(line, request, error))
                return hangUp(refused(Refusal::BadRequest, error));
            if (!watching_)
                timer_.start(kSilenceMs);
            const QPointer<Client> alive(this);
            busy_ = true;
            server.serve(this, request);
            if (!alive)
                return;
            busy_ = false;
        }
    }

    QPointer<QLocalSocket> socket_;
    QByteArray buffer_;
    QTimer timer_;
    bool watching_ = false;
    bool busy_ = false;
    uint8_t keysSent_ = 0;
};

ScriptServer::ScriptServer(Session& session, QObject* parent)
    : QObject(parent), session_(session), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &ScriptServer::accept);
}

bool ScriptServer::listen(QString& error) {
    const std::string address = qbv::platform::localServerAddress(panelServerName());
    if (address.empty())
        return (error = QStringLiteral("the user has no runtime folder for the panel's socket")), false;
    qbv::platform::LocalChannel probe;
    if (probe.open(address) != qbv::platform::LocalChannel::Opened::NoServer)
        return (error = QStringLiteral("another panel serves %1").arg(QString::fromStdString(address))),
               false;
    // What is left there is the socket of a panel that ended without removing it.
    QLocalServer::removeServer(QString::fromStdString(address));
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(QString::fromStdString(address)))
        return true;
    error = server_->errorString();
    return false;
}

QList<ScriptServer::Client*> ScriptServer::clients() const {
    return findChildren<Client*>(Qt::FindDirectChildrenOnly);
}

void ScriptServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto* client = new Client(socket, *this);
        if (clients().size() > kMaxClients)
            client->hangUp(refused(Refusal::Busy, "The control panel serves too many scripts at once."));
    }
}

void ScriptServer::serve(Client* client, const ScriptRequest& request) {
    static constexpr Action kActions[] = {Action::Ping,     Action::SetLeds,  Action::SetPin,
                                          Action::ReadKeys, Action::ReadKeys, Action::Program};
    const uint8_t data = request.verb == ScriptVerb::Led   ? request.mask
                         : request.verb == ScriptVerb::Pin ? board::pinByte(request.pin, request.on)
                                                           : 0;
    const QPointer<Client> alive(client);
    const Outcome done = session_.request(kActions[static_cast<int>(request.verb)], data, Source::Script);
    if (!alive) // the script left while its job ran
        return;
    if (done.verdict != Verdict::Run)
        return client->send(refusal());
    ScriptReply reply = outcome(request, done.succeeded);
    if (request.verb == ScriptVerb::Keys || request.verb == ScriptVerb::Watch)
        reply.keys = session_.keys();
    client->send(reply);
    if (request.verb == ScriptVerb::Watch)
        client->watch(session_.keys());
}

// Why the state drops a script's request, in words the script can act on.
ScriptReply ScriptServer::refusal() const {
    switch (session_.state()) {
    case State::Disconnected:
    case State::NoDriver:
    case State::Unanswered:
        return refused(Refusal::NotConnected,
                       "The control panel holds no link to the board: connect it there (Connect, F5).");
    case State::Closing:
    case State::Closed:
        return refused(Refusal::Closing, "The control panel is closing.");
    case State::Connecting:
        return refused(Refusal::Busy, "The control panel is connecting to the board.");
    case State::ProgramAsked:
    case State::Programming:
        return refused(Refusal::Busy, "The control panel is programming the MAX II.");
    default:
        return refused(Refusal::Busy, "The control panel is sending a command to the board.");
    }
}

ScriptReply ScriptServer::outcome(const ScriptRequest& request, bool succeeded) const {
    switch (request.verb) {
    case ScriptVerb::Led:
        return succeeded ? ScriptReply{}
                         : refused(Refusal::Failed, text::kUpdateLedFail, text::kLostConnection);
    case ScriptVerb::Pin:
        return succeeded ? ScriptReply{}
                         : refused(Refusal::Failed, text::kUpdateGpioFail, text::kLostConnection);
    case ScriptVerb::Ping:
        return succeeded ? ScriptReply{} : refused(Refusal::Failed, text::kLostConnection);
    case ScriptVerb::Program:
        if (!succeeded)
            return refused(session_.lastJob().error == programming::ProgrammingError::TimedOut
                               ? Refusal::TimedOut
                               : Refusal::Unprogrammed,
                           text::kDownloadFail, session_.lastJob().text);
        if (session_.state() != State::Connected)
            return refused(Refusal::Unanswered, formatText(text::kNoResponse, text::kBoardName));
        return {};
    case ScriptVerb::Keys:
    case ScriptVerb::Watch:
        break;
    }
    return {};
}

void ScriptServer::keysRead(uint8_t keys) {
    for (Client* client : clients())
        client->keysRead(keys);
}

void ScriptServer::stateChanged(State state) {
    if (state == State::Connected || state == State::Commanding)
        return;
    // A watch ends with the polls it was served from: with the link lost, or whatever took their place.
    const ScriptReply end =
        state == State::Disconnected ? refused(Refusal::Failed, text::kLostConnection) : refusal();
    for (Client* client : clients())
        if (client->watching())
            client->hangUp(end);
    if (session_.closing())
        server_->close();
}

#include "ScriptServer.moc"
