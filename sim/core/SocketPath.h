#pragma once

#include <string>

namespace qbv::sim {

// "qbv-virtual-board-<uid>": one board per user unless a name is given.
std::string defaultBoardName();
// The name in QBV_VIRTUAL_BOARD, else the default.
std::string boardNameFromEnvironment();
// A name starting with '/' is already a path; any other lies in the temporary directory.
std::string linkSocketPath(const std::string& name);
std::string controlSocketPath(const std::string& name);

} // namespace qbv::sim
