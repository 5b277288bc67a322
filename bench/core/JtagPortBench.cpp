// CPU of one 3 s read on a library whose every read call fails: the read waits out its time-out on the
// panel's GUI thread, and must not spin a core meanwhile. Target: at most 5 % of one core.

#include "bench/support/ProcessCpu.h"
#include "board/Jtagport.h"
#include "tests/support/FakeJtag.h"

#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void FailingReadForItsTimeOut(benchmark::State& state) {
    qbv::test::FakeJtag fake;
    qbv::test::FakeLibraryDirectory directory;
    fake.setFallback(kFakeRead, qbv::test::FakeJtag::step(-1));
    TJtagPort port{qbv::test::programFolder()};
    if (!port.Open()) {
        state.SkipWithError("the fake library did not open");
        return;
    }
    double cpu = 0;
    double wall = 0;
    long calls = 0;
    for (auto _ : state) {
        fake.clearRecord();
        const double cpuBefore = qbv::bench::processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        uint8_t byte = 0;
        benchmark::DoNotOptimize(port.Read(&byte, 1, 3000, false));
        cpu += qbv::bench::processCpuSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        calls += fake.count(kFakeRead);
    }
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
    state.counters["library_calls_per_read"] =
        static_cast<double>(calls) / static_cast<double>(state.iterations());
}
BENCHMARK(FailingReadForItsTimeOut)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
