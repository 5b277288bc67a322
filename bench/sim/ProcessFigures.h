#pragma once

#include <QtGlobal>

namespace qbv::bench {

// What Linux tells of another process in /proc.

// Its resident memory (VmRSS) in kilobytes; -1 when it cannot be read.
qint64 residentKilobytes(qint64 pid);

// The processor time it has used so far, user and system together, in seconds; -1 when it cannot be
// read.
double cpuSeconds(qint64 pid);

} // namespace qbv::bench
