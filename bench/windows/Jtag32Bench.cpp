// One key read (command 06 and its reply) with the library in the program, and with the library built
// 32-bit and run by qbv-jtag32.exe: the helper's cost is the difference. The fake library answers at once
// in both, so what is measured is the way to it. Aim: under 0.3 ms more through the helper.

#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "tests/fakejtag/FakeJtagScript.h"
#include "tests/support/FakeJtag.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWarmUp = 50;
constexpr int kReads = 2000;

struct Figures {
    double median = 0;
    double mean = 0;
};

// Microseconds a key read takes over a port on the library in the directory.
Figures timeKeyReads() {
    TJtagPort port{qbv::test::programFolder()};
    uint8_t keys = 0;
    if (!port.Open())
        return {};
    std::vector<double> times;
    for (int i = 0; i < kWarmUp + kReads; ++i) {
        const auto start = std::chrono::steady_clock::now();
        qbv::board::SendCommand(port, qbv::board::kReadKeys, &keys);
        const auto end = std::chrono::steady_clock::now();
        if (i >= kWarmUp)
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    port.Close();
    double sum = 0;
    for (double time : times)
        sum += time;
    std::nth_element(times.begin(), times.begin() + kReads / 2, times.end());
    return {times[kReads / 2], sum / kReads};
}

} // namespace

int main() {
    // The fake answers every read with this key state, in either process.
    qbv::platform::setEnvironmentVariable(kFakeKeysVariable, "0");
    Figures direct;
    Figures helper;
    {
        qbv::test::FakeLibraryDirectory directory;
        direct = timeKeyReads();
    }
    {
        qbv::test::FakeLibraryDirectory directory;
        directory.useThirtyTwoBitLibrary();
        helper = timeKeyReads();
    }
    std::printf("key read, %d reads after %d to warm up\n", kReads, kWarmUp);
    std::printf("  library in the program:       median %8.1f us, mean %8.1f us\n", direct.median,
                direct.mean);
    std::printf("  32-bit library, qbv-jtag32:   median %8.1f us, mean %8.1f us\n", helper.median,
                helper.mean);
    std::printf("  the helper's cost:            median %8.1f us, mean %8.1f us\n",
                helper.median - direct.median, helper.mean - direct.mean);
    return direct.median > 0 && helper.median > 0 ? 0 : 1;
}
