#pragma once

#include <cstddef>
#include <string>

namespace qbv::standin {

// Far more than the panel ever writes (a fixed 320 bytes and the design file's path).
constexpr size_t kMaxChainFileSize = 64 * 1024;

// The design file that a chain definition file names, from its Path("...") and File("...") values.
// False, with the reason, unless the file holds exactly, byte for byte, the text the panel writes for
// that design file: one MAX II on a JTAG chain, configured from it.
bool checkChainFile(const std::string& chainFilePath, std::string& designFilePath, std::string& error);

// The same for the file's content.
bool checkChainText(const std::string& content, std::string& designFilePath, std::string& error);

} // namespace qbv::standin
