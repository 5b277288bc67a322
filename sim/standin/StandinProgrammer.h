#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::standin {

// One run of quartus_pgm, given the arguments after its own name: reads its test settings (and sleeps
// if told to), checks the command line, ends at once with the test exit code if one is set, checks the
// chain definition file and the design file it names, then programs the virtual board. Returns the code
// to end with (ProgrammerExitCodes.h, or the test setting's, which may be Ctrl+C's status).
uint32_t runStandinProgrammer(const std::vector<std::string>& arguments);

} // namespace qbv::standin
