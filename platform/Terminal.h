#pragma once

namespace qbv::platform {

// Whether the standard streams go to a terminal (a console on Windows) rather than a file or a pipe, so
// that a line may be redrawn in place.
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

} // namespace qbv::platform
