#pragma once

#include "sim/control/BoardControl.h"

#include <QProcess>
#include <QStringList>

#include <memory>
#include <string>

namespace qbv::test {

// A headless qbv-virtual-board of the test's own, under a name no other test uses; it is asked to quit
// (or killed) when the test ends.
class BoardProcess {
public:
    // openFilesLimit, when above 0, caps the handles the board may hold (RLIMIT_NOFILE).
    explicit BoardProcess(const QStringList& extraArguments = {}, int openFilesLimit = 0,
                          std::string name = uniqueName());
    ~BoardProcess();
    BoardProcess(const BoardProcess&) = delete;
    BoardProcess& operator=(const BoardProcess&) = delete;

    // True once the board answers on its control socket.
    bool ready() const { return ready_; }
    const std::string& name() const { return name_; }
    sim::BoardControl& control() { return control_; }
    QProcess& process() { return *process_; }
    qint64 pid() const { return process_->processId(); }

    // Starts another board process under this one's name and returns its exit code (-1 if it stayed).
    int startRival();

    static std::string uniqueName();
    // The qbv-virtual-board that these boards run.
    static QString program();

private:
    std::string name_;
    std::unique_ptr<QProcess> process_;
    sim::BoardControl control_;
    bool ready_ = false;
};

} // namespace qbv::test
