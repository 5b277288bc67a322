#pragma once

#include <string>

namespace qbv::sim {

// "qbv-virtual-board": one board per user unless a name is given, since each user's sockets lie in a
// folder of their own.
std::string defaultBoardName();
// The name in QBV_VIRTUAL_BOARD, else the default.
std::string boardNameFromEnvironment();
// A name starting with '/' is already a path; any other lies in the user's runtime folder
// (platform::localServerAddress). Empty when the user has no such folder, and refusal then says why.
std::string linkSocketPath(const std::string& name, std::string* refusal = nullptr);
std::string controlSocketPath(const std::string& name, std::string* refusal = nullptr);

} // namespace qbv::sim
