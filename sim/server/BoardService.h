#pragma once

#include "LinkSession.h"

#include "sim/core/BoardHost.h"
#include "sim/core/ControlInterpreter.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

// The virtual board as a service: one board behind a link socket and a control socket. The link serves
// one client at a time; the control socket several. Everything runs on the event loop's thread.
class BoardService : public QObject {
    Q_OBJECT

public:
    explicit BoardService(QObject* parent = nullptr);

    // Starts serving under the board name; false with the reason when another board serves it or the
    // sockets cannot be made. A socket that stops serving later is served again.
    bool listen(const std::string& name, QString& error);
    // For link clients accepted from now on.
    void setIdleLimits(const LinkIdleLimits& limits) { idleLimits_ = limits; }
    QString linkPath() const { return QString::fromStdString(link_.path); }

    const qbv::sim::BoardHost& host() const { return host_; }

    qbv::sim::HostAnswer handleLink(int session, const qbv::sim::Frame& request);
    void linkSessionEnded(int session);
    qbv::sim::ControlAnswer handleControl(const std::string& line);

    // What the window does to the board.
    void setKey(int key, bool pressed);
    void setPlugged(bool plugged);
    void erase();
    // Programs from the content of a design file; false when it is damaged.
    bool program(const QByteArray& designFile);

signals:
    // Something that the window shows has changed.
    void changed();
    void quitRequested();

private:
    struct Visible {
        bool programmed, plugged, linkOpen;
        uint8_t leds, keys;
        std::vector<int> pins;
        bool operator==(const Visible&) const = default;
    };

    // A server and its path, which QLocalServer forgets when it closes itself.
    struct Endpoint {
        QLocalServer server;
        std::string path;
        bool down = false; // its stop was told and it has not served since

        void serveAgainIfStopped();
    };

    Visible visible() const;
    void notifyIfChanged();
    void acceptLinkClients();
    void acceptControlClients();
    void serveAgainWhereStopped();
    uint64_t nowMs() const { return static_cast<uint64_t>(clock_.elapsed()); }

    qbv::sim::BoardHost host_;
    Endpoint link_;
    Endpoint control_;
    QTimer listeningWatch_;
    QElapsedTimer clock_;
    LinkIdleLimits idleLimits_;
    Visible shown_;
    int nextSession_ = 1;
};
