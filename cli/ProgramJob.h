#pragma once

#include "BoardLink.h"
#include "Output.h"

#include <cstdint>

namespace qbv::cli {

// qbv's own programming job, the way its own link programs: the core's steps with their statuses as lines,
// the programmer given timeoutMs. Done once the MAX II is programmed, the board not asked yet; a failure
// as qbv reports it; Ctrl+C reported the moment it came.
Outcome runProgrammingJob(uint32_t timeoutMs, Reporter& reporter);

// A failed job as a script reads it, whoever ran it: not programmed, and whether the programmer ran out of
// time.
Json failedJobFields(bool timedOut);

} // namespace qbv::cli
