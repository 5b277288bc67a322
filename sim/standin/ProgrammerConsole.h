#pragma once

#include <string>

namespace qbv::standin {

// The programmer's messages as the vendor's tools print them, one line each, sent at once so that a
// reader of a pipe sees progress as it happens: "Info: ..." on standard output, "Error: ..." on standard
// error.
void info(const std::string& text);
void error(const std::string& text);

} // namespace qbv::standin
