#pragma once

#include "session/ScriptProtocol.h"
#include "session/Session.h"

#include <QObject>

class LocalServer;
class LocalSocket;

// Serves the same user's qbv while the panel holds the board: each request is an action at the session's
// gate, carried out as the panel's own (shown, logged, latched) and answered on its connection, or refused
// with the reason the state gives. A request that is no request, too long or too slow in coming ends its
// connection; the panel goes on. It hears the session itself: the answers, the keys of every poll for a
// watch, and the states that end one.
class ScriptServer : public QObject, private qbv::session::SessionListener {
    Q_OBJECT
public:
    ScriptServer(qbv::session::Session& session, QObject* parent);
    ~ScriptServer() override;

    // Listens for this panel's library and board; false, with the reason, when another panel already serves
    // them or the user has nowhere to put the socket.
    bool listen(QString& error);

private:
    void keysPolled(uint8_t keys) override;
    void entered(qbv::session::State state) override;
    void answered(qbv::session::RequestId id, const qbv::session::ScriptReply& reply) override;
    // A line before the answer, to the script still waiting for it.
    void told(qbv::session::RequestId id, const qbv::session::ScriptReply& event) override;

    class Client;

    void accept(LocalSocket* socket);
    QList<Client*> clients() const;

    qbv::session::Session& session_;
    LocalServer* server_;
    qbv::session::RequestId lastId_ = 0;
};
