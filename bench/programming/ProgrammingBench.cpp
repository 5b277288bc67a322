// The panel's CPU use while the programmer runs: the window's own programming job (ProgramMaxII) over the
// real alt_jtaglib beside it and a virtual board process, with the stand-in programmer set to take 10 s.
// The wait is measured from the job's first handling of the window's messages while the programmer runs
// to its last, through the UiHost that does that handling, as the panel's own host does. Target: at most
// 2 % of one core.

#include "BoardProcess.h"
#include "app/UnitMain.h"
#include "bench/support/ProcessCpu.h"
#include "platform/Environment.h"
#include "platform/UiHost.h"
#include "widgets/TStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

constexpr const char* kProgrammerTakesMs = "10000";

// Handles the window's messages as the panel's host does, and notes the process's CPU time and the wall
// time at every pass made while the status says the programmer runs.
class MeasuringUiHost final : public qbv::UiHost {
public:
    qbv::BoxAnswer messageBox(qbv::BoxKind, const std::string&, qbv::BoxButtons) override {
        ++boxes;
        return qbv::BoxAnswer::No;
    }

    void processMessages() override {
        if (form && form->StatusBar->panelText(0) == QLatin1String("Download Max II Code...")) {
            if (passes++ == 0) {
                firstCpu = qbv::bench::processCpuSeconds();
                wall.start();
            }
            lastCpu = qbv::bench::processCpuSeconds();
            lastWallNs = wall.nsecsElapsed();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    TFormMain* form = nullptr;
    int boxes = 0;
    long passes = 0;
    double firstCpu = 0;
    double lastCpu = 0;
    QElapsedTimer wall;
    qint64 lastWallNs = 0;
};

void WaitForTenSecondProgrammer(benchmark::State& state) {
    qbv::test::BoardProcess board;
    qbv::platform::setEnvironmentVariable("QBV_VIRTUAL_BOARD", board.name());
    qbv::platform::setEnvironmentVariable("QUARTUS_ROOTDIR", QBV_STANDIN_QUARTUS_DIR);
    qbv::platform::setEnvironmentVariable("QBV_PGM_DURATION_MS", kProgrammerTakesMs);
    MeasuringUiHost host;
    qbv::setUiHost(&host);
    auto form = std::make_unique<TFormMain>();
    host.form = form.get();
    form->show();
    QTest::qWaitForWindowExposed(form.get());
    QElapsedTimer started;
    started.start();
    while (!form->IsConnected() && started.elapsed() < 20000)
        QTest::qWait(10);
    for (auto _ : state)
        form->ProgramMaxII();
    const double waitSeconds = static_cast<double>(host.lastWallNs) / 1e9;
    state.counters["cpu_percent_of_one_core"] =
        waitSeconds > 0 ? 100.0 * (host.lastCpu - host.firstCpu) / waitSeconds : -1;
    state.counters["wait_s"] = waitSeconds;
    state.counters["passes_per_s"] = waitSeconds > 0 ? static_cast<double>(host.passes) / waitSeconds : 0;
    state.counters["programmed_and_connected"] = form->IsConnected() && host.boxes == 0 ? 1 : 0;
    form.reset();
    qbv::setUiHost(nullptr);
}
BENCHMARK(WaitForTenSecondProgrammer)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
