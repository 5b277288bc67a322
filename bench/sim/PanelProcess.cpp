#include "PanelProcess.h"

#include "sim/core/WireProtocol.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QThread>

namespace qbv::bench {

namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kEndTimeoutMs = 10000;
// The connection sequence's own key read, then two polls.
constexpr uint64_t kRepliesWhenPolling = 3;

} // namespace

PanelProcess::PanelProcess(const std::string& boardName, const QString& program, const QString& platform)
    : process_(std::make_unique<QProcess>()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QString::fromLatin1(sim::wire::kBoardNameVariable), QString::fromStdString(boardName));
    // No vendor tool chain: a board that does not answer must not start a programmer.
    environment.remove(QStringLiteral("QUARTUS_ROOTDIR"));
    process_->setProcessEnvironment(environment);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->start(program, {});
    process_->waitForStarted(kStartTimeoutMs);
}

PanelProcess::~PanelProcess() {
    if (process_->state() == QProcess::NotRunning)
        return;
    process_->terminate();
    if (!process_->waitForFinished(kEndTimeoutMs)) {
        process_->kill();
        process_->waitForFinished(kEndTimeoutMs);
    }
}

bool PanelProcess::waitUntilPolling(sim::BoardControl& board, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        sim::BoardState state;
        if (board.state(state) && state.linkOpen && state.sent >= kRepliesWhenPolling)
            return true;
        QThread::msleep(20);
    }
    return false;
}

} // namespace qbv::bench
