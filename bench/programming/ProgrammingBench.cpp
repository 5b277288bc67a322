// The panel's CPU use while the programmer runs: the window's own programming job, started by a click on
// Download, over the real alt_jtaglib beside it and a virtual board process, with the stand-in programmer
// set to take 10 s. The wait is measured for as long as the status says the programmer runs, sampled by a
// timer in the window's own event loop. Target: at most 2 % of one core.

#include "BoardProcess.h"
#include "app/UnitMain.h"
#include "bench/support/ProcessCpu.h"
#include "platform/Environment.h"
#include "tests/support/RecordingBoxes.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

constexpr const char* kProgrammerTakesMs = "10000";

// Samples the process's CPU time and the wall time while the status says the programmer runs; the first
// and the last sample bound the wait.
class WaitSampler {
public:
    explicit WaitSampler(TFormMain& form) : form_(form) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { sample(); });
        timer_.start(kSampleMs);
    }

    double cpuPercent() const {
        return waitSeconds() > 0 ? 100.0 * (lastCpu_ - firstCpu_) / waitSeconds() : -1;
    }
    double waitSeconds() const { return static_cast<double>(lastWallNs_) / 1e9; }

private:
    static constexpr int kSampleMs = 20;

    void sample() {
        if (form_.StatusBar->panelText(0) != QLatin1String("Download Max II Code..."))
            return;
        if (samples_++ == 0) {
            firstCpu_ = qbv::bench::processCpuSeconds();
            wall_.start();
        }
        lastCpu_ = qbv::bench::processCpuSeconds();
        lastWallNs_ = wall_.nsecsElapsed();
    }

    TFormMain& form_;
    QTimer timer_;
    long samples_ = 0;
    double firstCpu_ = 0;
    double lastCpu_ = 0;
    QElapsedTimer wall_;
    qint64 lastWallNs_ = 0;
};

void WaitForTenSecondProgrammer(benchmark::State& state) {
    qbv::test::BoardProcess board;
    qbv::platform::setEnvironmentVariable("QBV_VIRTUAL_BOARD", board.name());
    qbv::platform::setEnvironmentVariable("QUARTUS_ROOTDIR", QBV_STANDIN_QUARTUS_DIR);
    qbv::platform::setEnvironmentVariable("QBV_PGM_DURATION_MS", kProgrammerTakesMs);
    qbv::test::RecordingBoxes boxes;
    boxes.answers = {BoxAnswer::No};
    auto form = std::make_unique<TFormMain>(qbv::platform::executableDirectory(), &boxes);
    WaitSampler sampler(*form);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        state.SkipWithError("the window was never shown");
        return;
    }
    QElapsedTimer started;
    started.start();
    while (!form->findChild<TSpeedButton*>("SpeedButtonLed0")->isVisible() && started.elapsed() < 20000)
        QTest::qWait(10);
    for (auto _ : state) {
        const QRect download = form->SpeedButtonDownload->geometry();
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, download.center());
        // The program's own event loop until the job and the connection after it are over: no wake-ups
        // of a test's wait measured with the job.
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (started.elapsed() > 60000 || form->SpeedButtonDownload->isVisible())
                loop.quit();
        });
        check.start(500);
        loop.exec();
    }
    state.counters["cpu_percent_of_one_core"] = sampler.cpuPercent();
    state.counters["wait_s"] = sampler.waitSeconds();
    state.counters["programmed_and_connected"] =
        form->findChild<TSpeedButton*>("SpeedButtonLed0")->isVisible() && boxes.boxes.empty() ? 1 : 0;
    form.reset();
}
BENCHMARK(WaitForTenSecondProgrammer)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
