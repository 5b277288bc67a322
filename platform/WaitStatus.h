#pragma once

#include <cstdint>

namespace qbv::platform {

// POSIX only: a child's wait status as the programming job reads exit codes. The exit status itself;
// kControlCExit for an end by SIGINT, as Windows reports a console program ended by Ctrl+C; 128 + N for
// any other signal N, so no death by signal reads as success or as still running.
uint32_t exitCodeFromWaitStatus(int status);

} // namespace qbv::platform
