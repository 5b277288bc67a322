#include "BoardService.h"

#include "ControlSession.h"
#include "LinkSession.h"

#include "sim/core/Hex.h"
#include "sim/core/SocketIo.h"
#include "sim/core/SocketPath.h"

#include <QLocalSocket>

using namespace qbv::sim;

namespace {

// A board already answers there: its name is taken, and its socket must not be pulled away from it.
bool boardServes(const std::string& path) {
    const int fd = connectLocal(path);
    closeSocket(fd);
    return fd >= 0;
}

bool listenAt(QLocalServer& server, const std::string& path, QString& error) {
    if (boardServes(path)) {
        error = QStringLiteral("a virtual board already serves %1").arg(QString::fromStdString(path));
        return false;
    }
    // What is left is the socket of a board that died: nobody answers on it.
    QLocalServer::removeServer(QString::fromStdString(path));
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (server.listen(QString::fromStdString(path)))
        return true;
    error = QStringLiteral("cannot serve %1: %2").arg(QString::fromStdString(path), server.errorString());
    return false;
}

} // namespace

BoardService::BoardService(QObject* parent) : QObject(parent) {
    clock_.start();
    shown_ = visible();
    connect(&linkServer_, &QLocalServer::newConnection, this, &BoardService::acceptLinkClients);
    connect(&controlServer_, &QLocalServer::newConnection, this, &BoardService::acceptControlClients);
}

bool BoardService::listen(const std::string& name, QString& error) {
    return listenAt(linkServer_, linkSocketPath(name), error) &&
           listenAt(controlServer_, controlSocketPath(name), error);
}

void BoardService::acceptLinkClients() {
    while (QLocalSocket* socket = linkServer_.nextPendingConnection())
        new LinkSession(socket, nextSession_++, this);
}

void BoardService::acceptControlClients() {
    while (QLocalSocket* socket = controlServer_.nextPendingConnection())
        new ControlSession(socket, this);
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
