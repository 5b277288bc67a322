#pragma once

#include "sim/core/DesignFile.h"

#include <string>

namespace qbv::standin {

// Reads the design file and checks that it is an intact design in the virtual board's format for its
// controller (device EPM2210GF324, checksum right). False, with the reason, otherwise.
bool checkDesignFile(const std::string& path, std::string& content, sim::Design& design, std::string& error);

} // namespace qbv::standin
