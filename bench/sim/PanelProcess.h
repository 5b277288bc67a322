#pragma once

#include "sim/control/BoardControl.h"

#include <QProcess>
#include <memory>
#include <string>

namespace qbv::bench {

// The real QBV_Control_Panel (or another window program) against the board of the given name, offscreen
// or on the X display; ended with its owner.
class PanelProcess {
public:
    explicit PanelProcess(const std::string& boardName,
                          const QString& program = QStringLiteral(QBV_PANEL_EXE),
                          const QString& platform = QStringLiteral("offscreen"));
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    bool started() const { return process_->state() == QProcess::Running; }
    qint64 pid() const { return process_->processId(); }

    // True once the board has the panel's link open and key reads arriving, which the panel sends only
    // after it has connected.
    static bool waitUntilPolling(sim::BoardControl& board, int timeoutMs);

private:
    std::unique_ptr<QProcess> process_;
};

} // namespace qbv::bench
