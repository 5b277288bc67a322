#include "Terminal.h"

#include <unistd.h>

namespace qbv::platform {

bool standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

} // namespace qbv::platform
