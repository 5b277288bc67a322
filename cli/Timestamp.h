#pragma once

#include <string>

namespace qbv::cli {

// The wall-clock time now in UTC, to the millisecond: "2024-05-01T12:34:56.789Z".
std::string timestampNow();

} // namespace qbv::cli
