#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qbv::test {

// The built stand-in programmer run as the panel runs it (no shell, this process's environment), with its
// standard output and error caught in one file, in the order it wrote them.
class StandinRun {
public:
    StandinRun();
    ~StandinRun(); // a run still going is killed
    StandinRun(const StandinRun&) = delete;
    StandinRun& operator=(const StandinRun&) = delete;

    // Output::NobodyReads hands it a pipe whose reading end is already closed, as a panel started with its
    // output piped into a program that has ended would.
    enum class Output { Caught, NobodyReads };
    bool start(const std::vector<std::string>& arguments, Output output = Output::Caught);
    // Waits for the end; false when it did not come in time (the run is then killed). The exit code reads
    // as the panel reads it: the exit status, 0xC000013A for an end by SIGINT, 128 + N for signal N.
    bool wait(std::chrono::milliseconds limit = std::chrono::seconds(30));

    uint32_t exitCode() const { return exitCode_; }
    std::string output() const;
    std::chrono::milliseconds elapsed() const { return elapsed_; }

    static std::string programmerPath();

private:
    std::string outputPath_;
    int pid_ = 0;
    uint32_t exitCode_ = 0xFFFFFFFFu;
    std::chrono::steady_clock::time_point started_;
    std::chrono::milliseconds elapsed_{0};
};

// Starts, waits, and returns the exit code (0xFFFFFFFF when it did not end in time).
uint32_t runStandin(const std::vector<std::string>& arguments, std::string* output = nullptr);

} // namespace qbv::test
