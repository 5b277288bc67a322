#pragma once

#include <string>

namespace qbv::programming {

// Turns every backslash of the text into a slash, in place; nothing else changes.
void BackslashesToSlashes(std::string& text);

// The chain definition file's bytes for a controller design file: one MAX II (EPM2210GF324) on a JTAG
// chain, configured from that file. 8-bit text, CR LF after every line, tabs for indentation.
std::string chainDefinitionText(const std::string& designFilePath);

// Writes the chain definition file at chainFilePath anew: a file of this process's own beside it is
// created exclusively (never through a link that appeared at its path), filled in one write, and then
// replaces whatever lay at chainFilePath (a link there is replaced, not followed). False when it cannot be
// created, does not take the whole text, or cannot take the place. Shows nothing to the user.
bool WriteChainDefinitionFile(const std::string& chainFilePath, const std::string& designFilePath);

} // namespace qbv::programming
