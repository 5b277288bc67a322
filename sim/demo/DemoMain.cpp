// QBV_Control_Panel_Demo: the demo's launcher on Windows, as qbv-control-panel-demo is on Linux. Starts
// the virtual board beside it unless one answers, then the panel beside it, which reaches the board
// through the virtual edition of the JTAG library and programs it with the stand-in programmer in
// quartus\. The board it started ends with the panel. Arguments go to the panel.

#include "sim/control/BoardControl.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>

namespace {

constexpr int kBoardStartMs = 10000;
constexpr int kPollMs = 100;

bool boardAnswers() {
    qbv::sim::BoardState state;
    return qbv::sim::BoardControl().state(state);
}

// Starts the board and waits until it answers; false, with the reason, when it ends or stays silent.
bool startBoard(QProcess& board, const QString& folder, QString& failure) {
    board.start(folder + QStringLiteral("qbv-virtual-board.exe"), {QStringLiteral("--beside-panel")});
    if (!board.waitForStarted()) {
        failure = board.errorString();
        return false;
    }
    for (int waited = 0; waited < kBoardStartMs; waited += kPollMs) {
        if (boardAnswers())
            return true;
        if (board.waitForFinished(kPollMs)) {
            failure = QStringLiteral("it ended with exit code %1").arg(board.exitCode());
            return false;
        }
    }
    failure = QStringLiteral("it did not answer within %1 s").arg(kBoardStartMs / 1000);
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QProcess board;
    QString failure;
    const bool started = !boardAnswers();
    if (started && !startBoard(board, folder, failure)) {
        QMessageBox::critical(nullptr, QStringLiteral("QB-vela Control Panel Demo"),
                              QStringLiteral("The virtual board did not start: %1.").arg(failure));
        return 1;
    }
    // The panel takes its place beside the board this launcher started.
    if (started)
        qputenv("QBV_BESIDE_BOARD", "1");
    const int status =
        QProcess::execute(folder + QStringLiteral("QBV_Control_Panel.exe"), application.arguments().mid(1));
    if (board.state() != QProcess::NotRunning) {
        qbv::sim::BoardControl().quit();
        board.waitForFinished();
    }
    return status;
}
