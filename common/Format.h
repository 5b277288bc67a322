#pragma once

#include <string>

namespace qbv {

// printf-style formatting into a string; the program's texts are printf formats ("%s", "%d", "%X").
std::string formatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace qbv
