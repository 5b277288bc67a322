#include "Terminal.h"

#include <cstdio>
#include <io.h>

namespace qbv::platform {

bool standardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace qbv::platform
