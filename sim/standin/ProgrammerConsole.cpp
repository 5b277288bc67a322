#include "ProgrammerConsole.h"

#include <cstdio>

namespace qbv::standin {

void info(const std::string& text) {
    std::fprintf(stdout, "Info: %s\n", text.c_str());
    std::fflush(stdout);
}

void error(const std::string& text) {
    std::fprintf(stderr, "Error: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace qbv::standin
