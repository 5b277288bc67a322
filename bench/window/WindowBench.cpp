// The window's figures, offscreen, over the fake JTAG library answering at once:
// - first show: constructing the window and showing it, which runs its first-show set-up (all 101 glyphs);
// - the interval between successive key reads while connected;
// - the CPU time of one poll, including the redraw of the four key boxes, as the polling timer runs them;
// - the CPU use of the whole program while connected and idle.

#include "app/UnitMain.h"
#include "bench/support/ProcessCpu.h"
#include "platform/LocalChannel.h"
#include "resources/Artwork.h"
#include "session/ScriptProtocol.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/RecordingBoxes.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace {

// The program's own event loop, which sleeps in the system until a timer is due: QTest::qWait wakes
// every 10 ms and would be measured with the window.
void runEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Board {
    qbv::test::RecordingBoxes ui;
    qbv::test::FakeJtag fake;
    qbv::test::FakeLibraryDirectory library;
    Board() { fake.answerKeyReads(0x00); }
};

std::unique_ptr<TFormMain> connectedWindow(Board& board) {
    auto form = std::make_unique<TFormMain>(qbv::test::programFolder(), &board.ui);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return form; // not connected: the figures say so
    QElapsedTimer timer;
    timer.start();
    while (!form->findChild<TSpeedButton*>("SpeedButtonLed0")->isVisible() && timer.elapsed() < 10000)
        QTest::qWait(5);
    return form;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void FirstShow(benchmark::State& state) {
    Board board;
    for (auto _ : state) {
        TFormMain form(qbv::test::programFolder(), &board.ui);
        form.show();
        form.TimerBoot->SetEnabled(false);
        benchmark::DoNotOptimize(form.findChild<TSpeedButton*>("SpeedButtonPio87"));
    }
}
// From construction until the window system shows the window: the panel (1) against a bare window with the
// same picture (0).
void ShowUntilExposed(benchmark::State& state) {
    Board board;
    for (auto _ : state) {
        std::unique_ptr<QWidget> window;
        if (state.range(0)) {
            auto form = std::make_unique<TFormMain>(qbv::test::programFolder(), &board.ui);
            window = std::move(form);
        } else {
            auto label = std::make_unique<QLabel>();
            label->setPixmap(QPixmap::fromImage(QImage(QString::fromLatin1(qbv::artwork::kBoard))));
            window = std::move(label);
        }
        window->show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(window.get()));
    }
}
BENCHMARK(ShowUntilExposed)
    ->ArgName("panel")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

BENCHMARK(FirstShow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true);

// The intervals between the polls of three seconds in the program's own event loop: each tick of the
// polling timer starts a poll (the key boxes are drawn only when the keys change).
std::vector<double> pollIntervals(benchmark::State& state, TFormMain& form) {
    std::vector<qint64> polls;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(form.TimerButtonPolling, &TTimer::timer, [&] { polls.push_back(clock.nsecsElapsed()); });
    for (auto _ : state)
        runEventLoopFor(3000);
    QObject::disconnect(form.TimerButtonPolling, &TTimer::timer, nullptr, nullptr);
    std::vector<double> intervals;
    for (size_t i = 1; i < polls.size(); ++i)
        intervals.push_back(static_cast<double>(polls[i] - polls[i - 1]) / 1e6);
    return intervals;
}

// Their median and 95th percentile, in milliseconds.
void countIntervals(benchmark::State& state, const std::vector<double>& intervals) {
    state.counters["median_ms"] = percentile(intervals, 0.5);
    state.counters["p95_ms"] = percentile(intervals, 0.95);
}

void KeyPollInterval(benchmark::State& state) {
    Board board;
    auto form = connectedWindow(board);
    const std::vector<double> intervals = pollIntervals(state, *form);
    state.counters["polls"] = static_cast<double>(intervals.size() + 1);
    countIntervals(state, intervals);
}
BENCHMARK(KeyPollInterval)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same while a script sends the panel an LED command every 10 ms over its socket.
void KeyPollIntervalWhileAScriptSends100CommandsASecond(benchmark::State& state) {
    Board board;
    auto form = connectedWindow(board);
    std::atomic<bool> sending = true;
    std::atomic<bool> ended = false;
    std::atomic<int> taken = 0;
    std::thread script([&] {
        const struct End {
            std::atomic<bool>& ended;
            ~End() { ended = true; }
        } end{ended};
        qbv::platform::LocalChannel panel;
        if (panel.open(qbv::platform::localServerAddress(qbv::session::panelServerName(
                qbv::test::programFolder()))) != qbv::platform::LocalChannel::Opened::Yes)
            return;
        // On a clock of its own, as a script's loop runs, not paced by the panel's replies.
        auto next = std::chrono::steady_clock::now();
        for (uint8_t mask = 0; sending; ++mask) {
            std::string reply;
            if (panel.send(qbv::session::scriptRequestLine({qbv::session::ScriptVerb::Led, mask}), 1000) &&
                panel.receiveLine(reply, 1000) && reply.find("\"ok\":true") != std::string::npos)
                ++taken;
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
        }
    });
    const std::vector<double> intervals = pollIntervals(state, *form);
    sending = false;
    while (!ended)
        runEventLoopFor(5); // the last request is answered while the script ends
    script.join();
    state.counters["commands_per_s"] = taken / 3.0;
    countIntervals(state, intervals);
}
BENCHMARK(KeyPollIntervalWhileAScriptSends100CommandsASecond)->Unit(benchmark::kMillisecond)->Iterations(1);

void OnePoll(benchmark::State& state) {
    Board board;
    auto form = connectedWindow(board);
    uint8_t keys = 0;
    int polls = 0;
    // Bound after the window's own handler: each poll reads other keys than the last, so it redraws.
    QObject::connect(form->TimerButtonPolling, &TTimer::timer, [&] {
        board.fake.answerKeyReads(keys ^= 0x05);
        ++polls;
    });
    double cpu = 0;
    for (auto _ : state) {
        const double cpuStart = qbv::bench::processCpuSeconds();
        runEventLoopFor(3000);
        cpu += qbv::bench::processCpuSeconds() - cpuStart;
    }
    state.counters["polls"] = polls;
    state.counters["cpu_us_per_poll"] = polls > 0 ? 1e6 * cpu / polls : -1;
}
BENCHMARK(OnePoll)->Unit(benchmark::kMillisecond)->Iterations(1);

void IdleWhileConnected(benchmark::State& state) {
    Board board;
    auto form = connectedWindow(board);
    for (auto _ : state) {
        const double cpuStart = qbv::bench::processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(5000);
        const double cpu = qbv::bench::processCpuSeconds() - cpuStart;
        state.counters["cpu_percent_of_one_core"] =
            100.0 * cpu / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(IdleWhileConnected)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
