#include "BoardService.h"

#include "ControlSession.h"
#include "LinkSession.h"

#include "platform/LocalChannel.h"
#include "sim/core/Frame.h"
#include "sim/core/Hex.h"
#include "sim/core/SocketIo.h"
#include "sim/core/SocketPath.h"

#include <QLocalSocket>

#include <cstdio>

using namespace qbv::sim;

namespace {

// Each client holds a handle: beyond these, a new one is refused at once, so that a flood of clients
// cannot use up the process's handles. The link serves one client at a time anyway (and times out idle
// ones), the control socket a few tools and tests.
constexpr qsizetype kMaxLinkSessions = wire::kMaxLinkClients;
constexpr qsizetype kMaxControlSessions = 64;
// QLocalServer closes itself without a word when one accept fails (out of handles, say); this often
// the servers are checked for it.
constexpr int kListeningWatchMs = 250;

bool listenAt(QLocalServer& server, const std::string& path, QString& error) {
    const QString shownPath = QString::fromStdString(path);
    // A board already answers there: its name is taken, and its socket must not be pulled away from it.
    Connection connection = qbv::platform::kNoConnection;
    const Opened found = connectLocal(path, connection);
    closeSocket(connection);
    if (found == Opened::Yes)
        error = QStringLiteral("a virtual board already serves %1").arg(shownPath);
    else if (found == Opened::Busy)
        error = QStringLiteral("a program at %1 takes no connection (a stopped board, perhaps): end it, or "
                               "give this board another name")
                    .arg(shownPath);
    else if (found == Opened::NotOurs)
        error = QStringLiteral("another user's program serves %1").arg(shownPath);
    if (found != Opened::NoServer)
        return false;
    // Nobody answers there: what is left is the socket of a board that died, or something that is no
    // board's (a file the name was pointed at by mistake, say), which stays.
    if (std::string refusal; !qbv::platform::clearServerLeftover(path, refusal)) {
        error = QString::fromStdString(refusal + " Give this board another name.");
        return false;
    }
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (server.listen(shownPath))
        return true;
    error = QStringLiteral("cannot serve %1: %2").arg(shownPath, server.errorString());
    return false;
}

void tell(const QString& message) {
    std::fprintf(stderr, "qbv-virtual-board: %s\n", qPrintable(message));
}

// Why a client is refused as it connects.
enum class Refused { Full, OtherUser };

// A link client hears why before it is hung up on, so that it reports a busy board (or another user's)
// rather than none. The answer goes before the request is read: a link client asks to open the link first.
void refuseLinkClient(QLocalSocket& socket, Refused why) {
    const uint8_t status = why == Refused::Full ? wire::kStatusBusy : wire::kStatusOtherUser;
    const std::vector<uint8_t> reply =
        encodeFrame(Frame{wire::kOpenLinkReply, wire::kOpenLinkSequence, {status}});
    socket.write(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()));
    socket.flush();
}

// Another user's control client hears why, in the control protocol's words; a full board hangs up on one
// without a word.
void refuseControlClient(QLocalSocket& socket, Refused why) {
    if (why == Refused::Full)
        return;
    socket.write("error the board serves its own user's clients only\n");
    socket.flush();
}

// Sessions are the service's children until they end. A client of another user's, whatever the modes of
// the socket and its folder let through, or one beyond the cap is refused at once, its handle freed before
// the next is accepted.
template <typename Session, typename MakeSession>
void acceptClients(QLocalServer& server, const QObject& service, qsizetype cap, MakeSession makeSession,
                   void (*refuse)(QLocalSocket&, Refused)) {
    while (QLocalSocket* socket = server.nextPendingConnection()) {
        const bool ours = qbv::platform::peerIsOwnUser(socket->socketDescriptor());
        if (ours && service.findChildren<Session*>(Qt::FindDirectChildrenOnly).size() < cap) {
            makeSession(socket);
        } else {
            refuse(*socket, ours ? Refused::Full : Refused::OtherUser);
            delete socket;
        }
    }
}

} // namespace

// A server that closed itself has removed its socket too: the board lives on, serving nobody, until it
// listens again, which takes handles that may be short for a while.
void BoardService::Endpoint::serveAgainIfStopped() {
    if (server.isListening())
        return;
    const QString shownPath = QString::fromStdString(path);
    if (!down) {
        // Qt gives no reason when the accept failed with EAGAIN.
        const QString reason = server.errorString();
        tell(QStringLiteral("stopped serving %1: %2")
                 .arg(shownPath, reason.isEmpty() ? QStringLiteral("no reason given") : reason));
    }
    down = true;
    QString error;
    if (!listenAt(server, path, error))
        return;
    down = false;
    tell(QStringLiteral("serving %1 again").arg(shownPath));
}

BoardService::BoardService(QObject* parent) : QObject(parent) {
    clock_.start();
    shown_ = visible();
    connect(&link_.server, &QLocalServer::newConnection, this, &BoardService::acceptLinkClients);
    connect(&control_.server, &QLocalServer::newConnection, this, &BoardService::acceptControlClients);
    listeningWatch_.setInterval(kListeningWatchMs);
    connect(&listeningWatch_, &QTimer::timeout, this, &BoardService::serveAgainWhereStopped);
}

bool BoardService::listen(const std::string& name, QString& error) {
    std::string refusal;
    link_.path = linkSocketPath(name, &refusal);
    control_.path = controlSocketPath(name);
    if (link_.path.empty()) {
        error = QString::fromStdString(refusal + " A board may also be given a path as its name.");
        return false;
    }
    if (!listenAt(link_.server, link_.path, error) || !listenAt(control_.server, control_.path, error))
        return false;
    listeningWatch_.start();
    return true;
}

void BoardService::serveAgainWhereStopped() {
    link_.serveAgainIfStopped();
    control_.serveAgainIfStopped();
}

void BoardService::acceptLinkClients() {
    acceptClients<LinkSession>(
        link_.server, *this, kMaxLinkSessions,
        [this](QLocalSocket* socket) { new LinkSession(socket, nextSession_++, idleLimits_, this); },
        refuseLinkClient);
}

void BoardService::acceptControlClients() {
    acceptClients<ControlSession>(
        control_.server, *this, kMaxControlSessions,
        [this](QLocalSocket* socket) { new ControlSession(socket, this); }, refuseControlClient);
}

HostAnswer BoardService::handleLink(int session, const Frame& request) {
    HostAnswer answer = host_.handle(session, request, nowMs());
    notifyIfChanged();
    return answer;
}

void BoardService::linkSessionEnded(int session) {
    host_.sessionEnded(session);
    notifyIfChanged();
}

ControlAnswer BoardService::handleControl(const std::string& line) {
    ControlAnswer answer = runControlLine(host_, line);
    notifyIfChanged();
    if (answer.quit)
        emit quitRequested();
    return answer;
}

void BoardService::setKey(int key, bool pressed) {
    host_.board().setKey(key, pressed);
    notifyIfChanged();
}

void BoardService::setPlugged(bool plugged) {
    host_.setPlugged(plugged);
    notifyIfChanged();
}

void BoardService::erase() {
    host_.board().erase();
    notifyIfChanged();
}

bool BoardService::program(const QByteArray& designFile) {
    const std::vector<uint8_t> content(designFile.begin(), designFile.end());
    return handleControl("program " + toHex(content)).reply.rfind("ok", 0) == 0;
}

BoardService::Visible BoardService::visible() const {
    const VirtualBoard& board = host_.board();
    return {board.programmed(), host_.plugged(), host_.linkOpen(),
            board.ledMask(),    board.keys(),    board.activePins()};
}

void BoardService::notifyIfChanged() {
    Visible now = visible();
    if (now == shown_)
        return;
    shown_ = std::move(now);
    emit changed();
}
