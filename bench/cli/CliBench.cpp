// qbv as a script sees it, against a headless virtual board:
// - ping: from starting bin/qbv ping to its exit (target: median 30 ms or less);
// - watch: from a key pressed or released on the board (the control request included) to the line that
//   keys --watch prints for it (target: median 25 ms or less).
// Each reports its median over the runs as a counter, beside Google Benchmark's own mean.

#include "tests/cli/QbvProcess.h"
#include "tests/sim/BoardProcess.h"

#include <QCoreApplication>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void QbvPing(benchmark::State& state) {
    qbv::test::BoardProcess board;
    if (!board.ready()) {
        state.SkipWithError("the virtual board did not start");
        return;
    }
    std::vector<double> runs;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string out;
        const int exitCode = qbv::test::QbvProcess::run(board.name(), {"ping"}, out);
        const auto took = Clock::now() - start;
        if (exitCode != 0) {
            state.SkipWithError("qbv ping failed");
            return;
        }
        runs.push_back(milliseconds(took));
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    state.counters["median_ms"] = median(runs);
}
BENCHMARK(QbvPing)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

void WatchReaction(benchmark::State& state) {
    qbv::test::BoardProcess board;
    if (!board.ready()) {
        state.SkipWithError("the virtual board did not start");
        return;
    }
    qbv::test::QbvProcess watch(board.name(), {"keys", "--watch"});
    std::string line;
    if (!watch.started() || !watch.readLine(line, 5000)) {
        state.SkipWithError("keys --watch did not start");
        return;
    }
    std::vector<double> runs;
    bool pressed = false;
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> phase(0, 29);
    for (auto _ : state) {
        // A change at any moment of the poll cycle, not always just after a read, as a person's would be.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        state.ResumeTiming();
        const auto start = Clock::now();
        pressed = !pressed;
        const bool changed = pressed ? board.control().press(0) : board.control().release(0);
        if (!changed || !watch.readLine(line, 5000)) {
            state.SkipWithError("no line for a key change");
            return;
        }
        const auto took = Clock::now() - start;
        runs.push_back(milliseconds(took));
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    watch.interrupt();
    watch.waitForExit(5000);
    state.counters["median_ms"] = median(runs);
}
BENCHMARK(WatchReaction)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the board and the watch run under QProcess
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
