#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

// A timer that calls its handler every Interval milliseconds while Enabled. Enabling it, or changing the
// interval while it runs, starts the interval anew. Precise to well under a millisecond: the event loop
// rounds a timer's remaining time up to a whole millisecond whenever it wakes for something else, so the
// timer wakes a millisecond early and waits out the rest itself.
class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent, int interval = 1000);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int interval);

signals:
    void timer(QObject* sender);

private:
    void restart();
    void arm();
    void fire();

    QTimer timer_;
    bool enabled_ = false;
    int interval_;
    std::chrono::steady_clock::time_point due_;
};
