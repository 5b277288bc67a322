#pragma once

// The test programmer takes its orders from the environment it inherits, as the real programmer would
// take it from the panel: how long to run, how to end, and where to note what it was given.
namespace qbv::test {

constexpr const char* kProgrammerExitVariable = "QBV_TEST_PROGRAMMER_EXIT";  // exit code, decimal or 0x hex
constexpr const char* kProgrammerRunVariable = "QBV_TEST_PROGRAMMER_RUN_MS"; // milliseconds before the end
constexpr const char* kProgrammerSignalVariable = "QBV_TEST_PROGRAMMER_SIGNAL"; // POSIX: end by this signal
constexpr const char* kProgrammerRecordVariable = "QBV_TEST_PROGRAMMER_RECORD"; // file the record is added to

// Record lines, "key=value": module, cwd, one argv per argument, and on Windows commandline.
// "end" follows once the run time is over.

} // namespace qbv::test
