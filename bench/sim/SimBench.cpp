// The virtual board's figures, each against a headless board process of its own:
// - a key read's round trip, panel -> library -> board -> library, through TJtagPort: with the virtual
//   board's edition of the library (target: median at most 100 us), and with the edition for real boards
//   over the fake of the vendor's client library, which hands the link on to the board (target: median at
//   most 150 us);
// - the resident memory of the real panel while connected (target: at most 60 MB);
// - the board server's CPU use while the panel polls (target: at most 2 % of one core).

#include "PanelProcess.h"
#include "ProcessFigures.h"
#include "tests/cli/QbvProcess.h"

#include "BoardProcess.h"
#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "sim/core/WireProtocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

constexpr int kConnectTimeoutMs = 20000;
// The panel's memory after its first polls, once start-up allocations have settled.
constexpr int kSettleMs = 2000;
constexpr int kCpuWindowMs = 5000;

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

bool boardReady(benchmark::State& state, const qbv::test::BoardProcess& board) {
    if (board.ready())
        return true;
    state.SkipWithError("the board process did not come up");
    return false;
}

bool startPanel(benchmark::State& state, qbv::test::BoardProcess& board, qbv::bench::PanelProcess& panel) {
    if (!panel.started()) {
        state.SkipWithError("the panel did not start");
        return false;
    }
    if (!qbv::bench::PanelProcess::waitUntilPolling(board.control(), kConnectTimeoutMs)) {
        state.SkipWithError("the panel did not connect");
        return false;
    }
    return true;
}

// Which edition of the JTAG library the port loads: the virtual board's beside this program, or the one
// for real boards from its own folder, over the fake vendor client. The folder it lies in.
std::string chooseEdition(bool vendor) {
    qbv::platform::setEnvironmentVariable("QBV_JTAG_CLIENT_DIR", vendor ? QBV_FAKE_CLIENT_DIR "/" : "");
    qbv::platform::setEnvironmentVariable("QBV_FAKE_CLIENT_BOARD", vendor ? "virtual" : "");
    return vendor ? QBV_VENDOR_EDITION_DIR "/" : qbv::platform::executableDirectory();
}

void CommandRoundTrip(benchmark::State& state) {
    qbv::test::BoardProcess board;
    if (!boardReady(state, board))
        return;
    // The library that this process loads finds the board by this name.
    qbv::platform::setEnvironmentVariable(qbv::sim::wire::kBoardNameVariable, board.name());
    TJtagPort port{chooseEdition(state.range(0) == 1)};
    if (!port.Open()) {
        state.SkipWithError("the link did not open");
        return;
    }
    uint8_t keys = 0;
    std::vector<double> microseconds;
    microseconds.reserve(static_cast<size_t>(state.max_iterations));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool answered = qbv::board::SendCommand(port, qbv::board::kReadKeys, &keys);
        const auto took = std::chrono::steady_clock::now() - start;
        if (!answered) {
            state.SkipWithError("a key read went unanswered");
            break;
        }
        microseconds.push_back(std::chrono::duration<double, std::micro>(took).count());
    }
    port.Close();
    state.counters["median_us"] = percentile(microseconds, 0.5);
    state.counters["p95_us"] = percentile(microseconds, 0.95);
    state.counters["max_us"] = percentile(microseconds, 1.0);
}
BENCHMARK(CommandRoundTrip)
    ->ArgName("vendor_edition")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(5000);

// The panel's memory, settled, and against a bare window that shows the same picture.
void PanelResidentMemory(benchmark::State& state) {
    qbv::test::BoardProcess board;
    qbv::bench::PanelProcess panel(board.name());
    qbv::bench::PanelProcess bare(board.name(), QStringLiteral(QBV_BARE_WINDOW_EXE));
    if (!boardReady(state, board) || !startPanel(state, board, panel))
        return;
    QThread::msleep(kSettleMs);
    qint64 panelKb = -1;
    qint64 bareKb = -1;
    for (auto _ : state) {
        panelKb = qbv::bench::residentKilobytes(panel.pid());
        bareKb = qbv::bench::residentKilobytes(bare.pid());
    }
    if (panelKb < 0 || bareKb <= 0) {
        state.SkipWithError("VmRSS could not be read");
        return;
    }
    state.counters["rss_mb"] = static_cast<double>(panelKb) / 1024.0;
    state.counters["bare_mb"] = static_cast<double>(bareKb) / 1024.0;
    state.counters["ratio"] = static_cast<double>(panelKb) / static_cast<double>(bareKb);
}
BENCHMARK(PanelResidentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// bin/qbv led from its start to its exit: on its own (0), and through a running panel that holds the
// board (1).
void QbvLed(benchmark::State& state) {
    qbv::test::BoardProcess board;
    std::unique_ptr<qbv::bench::PanelProcess> panel;
    if (!boardReady(state, board))
        return;
    if (state.range(0)) {
        panel = std::make_unique<qbv::bench::PanelProcess>(board.name());
        if (!startPanel(state, board, *panel))
            return;
    }
    std::vector<double> runs;
    uint8_t mask = 0;
    for (auto _ : state) {
        QElapsedTimer took;
        took.start();
        std::string out;
        const int exitCode = qbv::test::QbvProcess::run(board.name(), {"led", QString::number(++mask)}, out);
        runs.push_back(static_cast<double>(took.nsecsElapsed()) / 1e6);
        state.SetIterationTime(runs.back() / 1000);
        if (exitCode != 0) {
            state.SkipWithError("qbv led failed");
            return;
        }
    }
    state.counters["median_ms"] = percentile(runs, 0.5);
}
BENCHMARK(QbvLed)
    ->ArgName("through_panel")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

void BoardCpuWhilePolling(benchmark::State& state) {
    qbv::test::BoardProcess board;
    qbv::bench::PanelProcess panel(board.name());
    if (!boardReady(state, board) || !startPanel(state, board, panel))
        return;
    qbv::sim::BoardState before;
    qbv::sim::BoardState after;
    double boardCpu = 0;
    double panelCpu = 0;
    double seconds = 0;
    for (auto _ : state) {
        board.control().state(before);
        const double boardStart = qbv::bench::cpuSeconds(board.pid());
        const double panelStart = qbv::bench::cpuSeconds(panel.pid());
        QElapsedTimer wall;
        wall.start();
        QThread::msleep(kCpuWindowMs);
        boardCpu = qbv::bench::cpuSeconds(board.pid()) - boardStart;
        panelCpu = qbv::bench::cpuSeconds(panel.pid()) - panelStart;
        seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        board.control().state(after);
    }
    state.counters["board_cpu_percent_of_one_core"] = 100.0 * boardCpu / seconds;
    state.counters["panel_cpu_percent_of_one_core"] = 100.0 * panelCpu / seconds;
    state.counters["polls_per_s"] = static_cast<double>(after.sent - before.sent) / seconds;
}
BENCHMARK(BoardCpuWhilePolling)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    // The board and the panel run as processes, which QProcess starts; it wants an application object.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
