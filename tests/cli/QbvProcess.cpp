#include "QbvProcess.h"

#include "sim/core/WireProtocol.h"

#include <QProcessEnvironment>

#include <csignal>

namespace qbv::test {

namespace {
constexpr int kStartTimeoutMs = 10000;
constexpr int kRunTimeoutMs = 20000;
} // namespace

QbvProcess::QbvProcess(const std::string& boardName, const QStringList& arguments, bool childEndsIgnored) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(sim::wire::kBoardNameVariable), QString::fromStdString(boardName));
    process_.setProcessEnvironment(environment);
    if (childEndsIgnored) // an ignored signal stays ignored across exec
        process_.setChildProcessModifier([] { ::signal(SIGCHLD, SIG_IGN); });
    process_.start(QStringLiteral(QBV_QBV_EXE), arguments);
    started_ = process_.waitForStarted(kStartTimeoutMs);
}

QbvProcess::~QbvProcess() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(kStartTimeoutMs);
}

bool QbvProcess::readLine(std::string& line, int timeoutMs) {
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(timeoutMs))
            return false;
    line = process_.readLine().trimmed().toStdString();
    return true;
}

void QbvProcess::interrupt() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGINT);
}

int QbvProcess::waitForExit(int timeoutMs) {
    if (!process_.waitForFinished(timeoutMs) || process_.exitStatus() != QProcess::NormalExit)
        return -1;
    return process_.exitCode();
}

std::string QbvProcess::standardError() {
    return process_.readAllStandardError().toStdString();
}

int QbvProcess::run(const std::string& boardName, const QStringList& arguments, std::string& out,
                    bool childEndsIgnored) {
    QbvProcess qbv(boardName, arguments, childEndsIgnored);
    const int code = qbv.waitForExit(kRunTimeoutMs);
    out = qbv.process_.readAllStandardOutput().toStdString();
    return code;
}

} // namespace qbv::test
