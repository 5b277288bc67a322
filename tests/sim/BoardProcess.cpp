#include "BoardProcess.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <sys/resource.h>
#include <unistd.h>

namespace qbv::test {

namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kQuitTimeoutMs = 10000;

QStringList boardArguments(const std::string& name, const QStringList& extra) {
    return QStringList{QStringLiteral("--headless"), QStringLiteral("--name"), QString::fromStdString(name)} +
           extra;
}

} // namespace

std::string BoardProcess::uniqueName() {
    static std::atomic<int> counter{0};
    return "qbv-sim-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

QString BoardProcess::program() {
    return QStringLiteral(QBV_VIRTUAL_BOARD_EXE);
}

BoardProcess::BoardProcess(const QStringList& extraArguments, int openFilesLimit, std::string name)
    : name_(std::move(name)), process_(std::make_unique<QProcess>()), control_(name_) {
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (openFilesLimit > 0) {
        // Runs in the child between fork and exec, where only async-signal-safe calls belong.
        process_->setChildProcessModifier([openFilesLimit] {
            const rlimit limit{static_cast<rlim_t>(openFilesLimit), static_cast<rlim_t>(openFilesLimit)};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        });
    }
    process_->start(program(), boardArguments(name_, extraArguments));
    if (!process_->waitForStarted(kStartTimeoutMs))
        return;
    QElapsedTimer waited;
    waited.start();
    while (!ready_ && waited.elapsed() < kStartTimeoutMs && process_->state() == QProcess::Running) {
        ready_ = control_.connect();
        if (!ready_)
            QThread::msleep(20);
    }
}

BoardProcess::~BoardProcess() {
    if (process_->state() == QProcess::NotRunning)
        return;
    control_.setTimeout(2000);
    control_.quit();
    if (!process_->waitForFinished(kQuitTimeoutMs)) {
        process_->kill();
        process_->waitForFinished(kQuitTimeoutMs);
    }
}

int BoardProcess::startRival() {
    QProcess rival;
    rival.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    rival.start(program(), boardArguments(name_, {}));
    if (rival.waitForFinished(kStartTimeoutMs))
        return rival.exitCode();
    rival.kill();
    rival.waitForFinished(kQuitTimeoutMs);
    return -1;
}

} // namespace qbv::test
