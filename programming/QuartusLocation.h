#pragma once

#include <string>

namespace qbv::programming {

// The vendor tool chain's install directory, used exactly as read; empty when none is recorded.
std::string FindQuartusDirectory();

// The programmer inside an install directory. Nothing is trimmed from the directory: one that already
// ends with a separator gives two in a row.
std::string programmerPath(const std::string& installDirectory);

} // namespace qbv::programming
