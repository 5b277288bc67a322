#pragma once

#include "session/ScriptProtocol.h"
#include "session/Session.h"

#include <QObject>

class QLocalServer;
class QLocalSocket;

// Serves the same user's qbv while the panel holds the board: each request is an action at the session's
// gate, carried out as the panel's own (shown, logged, latched) and answered on its connection, or refused
// with the reason the state gives. A request that is no request, too long or too slow in coming ends its
// connection; the panel goes on.
class ScriptServer : public QObject {
    Q_OBJECT
public:
    ScriptServer(qbv::session::Session& session, QObject* parent);

    // Listens for this panel's library and board; false, with the reason, when another panel already serves
    // them or the user has nowhere to put the socket.
    bool listen(QString& error);

    // What the session tells the window, which passes it on: the keys of every poll, each new state, and
    // the answer to a script's request.
    void keysRead(uint8_t keys);
    void stateChanged(qbv::session::State state);
    void answer(qbv::session::RequestId id, const qbv::session::ScriptReply& reply);
    // A line before the answer, to the script still waiting for it.
    void tell(qbv::session::RequestId id, const qbv::session::ScriptReply& event);

private:
    class Client;

    void accept();
    QList<Client*> clients() const;

    qbv::session::Session& session_;
    QLocalServer* server_;
    qbv::session::RequestId lastId_ = 0;
};
