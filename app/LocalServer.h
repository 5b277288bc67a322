#pragma once

#include "platform/LocalChannel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

// A client's connection to the panel's local server, as the panel's loop sees it: what comes is kept until
// read, what is written goes out in order as the client takes it, and a hang-up comes once all of it has
// gone. QtCore's notifiers wait on the system's handles for it.
class LocalSocket : public QObject {
    Q_OBJECT
public:
    LocalSocket(qbv::platform::LocalConnection connection, QObject* parent);
    ~LocalSocket() override;

    // Open, and not hanging up.
    bool connected() const;
    qbv::platform::LocalConnection connection() const;
    QByteArray readAll();
    // Handed to the system at once, as far as it takes them.
    void write(const QByteArray& bytes);
    void disconnectFromServer();

signals:
    void readyRead();
    void disconnected();

private:
    void receive();
    void send();
    void end();

    std::unique_ptr<qbv::platform::ServedConnection> connection_;
    QByteArray received_;
    QByteArray outgoing_;
    bool closing_ = false;
    // After the connection, so that they stop before its handles close.
    std::unique_ptr<QObject> readWatch_;
    std::unique_ptr<QObject> writeWatch_;
};

// Listens at a local address for clients of this user's and hands each on as it connects.
class LocalServer : public QObject {
    Q_OBJECT
public:
    explicit LocalServer(QObject* parent);
    ~LocalServer() override;

    // False, with the reason, when the system refuses.
    bool listen(const std::string& address, QString& error);

signals:
    // A child of the server's until its taker adopts it.
    void accepted(LocalSocket* socket);

private:
    void acceptAll();

    qbv::platform::LocalListener listener_;
    // After the listener, so that they stop before its handles close.
    std::vector<std::unique_ptr<QObject>> watches_;
};
