// The virtual board's figures, each against a headless board process of its own:
// - a key read's round trip, panel -> library -> board -> library, through TJtagPort: with the virtual
//   board's edition of the library (target: median at most 100 us), and with the edition for real boards
//   over the fake of the vendor's client library, which hands the link on to the board (target: median at
//   most 150 us);
// - the real panel, connected, against a bare window with the same picture: start-up until the window is
//   mapped (target: no slower) and resident memory (target: at most 1.10 times), median of 9 rounds;
// - the board server's CPU use while the panel polls (target: at most 2 % of one core).

#include "PanelProcess.h"
#include "ProcessFigures.h"
#include "WindowMaps.h"
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
#include <memory>
#include <vector>

namespace {

constexpr int kConnectTimeoutMs = 20000;
// The panel's memory after its first polls, once start-up allocations have settled.
constexpr int kSettleMs = 2000;
constexpr int kCpuWindowMs = 5000;

// Each figure over its partner of the same round.
std::vector<double> ratios(const std::vector<double>& figures, const std::vector<double>& partners) {
    std::vector<double> result;
    for (size_t i = 0; i < std::min(figures.size(), partners.size()); ++i)
        result.push_back(figures[i] / partners[i]);
    return result;
}

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

// The panel against a bare window that shows the same picture, both on the X display as a user has them:
// each round starts one and then the other (which first alternates), times each from its start until its
// window is mapped, lets both settle (the panel connected and polling) and reads their memory side by side.
// The figures are the medians over the rounds.
struct WindowFigures {
    std::vector<double> startMs, residentMb;
};

// Starts the program and times it until its window is on the screen; false when it never got there.
bool startTimed(qbv::bench::WindowMaps& maps, const std::string& board, const QString& program,
                std::unique_ptr<qbv::bench::PanelProcess>& process, WindowFigures& figures) {
    QElapsedTimer took;
    took.start();
    process = std::make_unique<qbv::bench::PanelProcess>(board, program, QStringLiteral("xcb"));
    if (!process->started() || !maps.waitForWindowOf(process->pid(), kConnectTimeoutMs))
        return false;
    figures.startMs.push_back(static_cast<double>(took.nsecsElapsed()) / 1e6);
    return true;
}

void PanelAgainstBareWindow(benchmark::State& state) {
    qbv::bench::WindowMaps maps;
    if (!maps.ready()) {
        state.SkipWithError("no X display to show the windows on (run it under xvfb-run)");
        return;
    }
    qbv::test::BoardProcess board;
    if (!boardReady(state, board))
        return;
    WindowFigures panel, bare;
    for (auto _ : state) {
        for (int round = 0; round < state.range(0); ++round) {
            std::unique_ptr<qbv::bench::PanelProcess> panelProcess, bareProcess;
            const bool panelFirst = round % 2 == 0;
            const auto startPanel = [&] {
                return startTimed(maps, board.name(), QStringLiteral(QBV_PANEL_EXE), panelProcess, panel);
            };
            const auto startBare = [&] {
                return startTimed(maps, board.name(), QStringLiteral(QBV_BARE_WINDOW_EXE), bareProcess, bare);
            };
            if (!(panelFirst ? startPanel() && startBare() : startBare() && startPanel()) ||
                !qbv::bench::PanelProcess::waitUntilPolling(board.control(), kConnectTimeoutMs)) {
                state.SkipWithError("a window did not show, or the panel did not connect");
                return;
            }
            QThread::msleep(kSettleMs);
            panel.residentMb.push_back(qbv::bench::residentKilobytes(panelProcess->pid()) / 1024.0);
            bare.residentMb.push_back(qbv::bench::residentKilobytes(bareProcess->pid()) / 1024.0);
        }
    }
    state.counters["start_ms"] = percentile(panel.startMs, 0.5);
    state.counters["bare_start_ms"] = percentile(bare.startMs, 0.5);
    state.counters["start_ratio"] = percentile(ratios(panel.startMs, bare.startMs), 0.5);
    state.counters["rss_mb"] = percentile(panel.residentMb, 0.5);
    state.counters["bare_mb"] = percentile(bare.residentMb, 0.5);
    state.counters["rss_ratio"] = percentile(ratios(panel.residentMb, bare.residentMb), 0.5);
}
BENCHMARK(PanelAgainstBareWindow)->ArgName("rounds")->Arg(9)->Unit(benchmark::kSecond)->Iterations(1);

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
