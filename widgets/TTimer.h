#pragma once

#include <QObject>
#include <QTimer>

// A timer that calls its handler every Interval milliseconds while Enabled. Enabling it, or changing the
// interval while it runs, starts the interval anew. Precise to the millisecond.
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

    QTimer timer_;
    bool enabled_ = false;
    int interval_;
};
