#include "Terminal.h"

#include <iostream>
#include <unistd.h>

namespace qbv::platform {

bool standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

std::ostream& standardOutput() {
    return std::cout;
}

std::ostream& standardError() {
    return std::cerr;
}

} // namespace qbv::platform
