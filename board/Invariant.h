#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant is a programming error that no user action can cause; the program stops at once,
// in release builds too, rather than go on with a board in an unknown state.
#define QBV_INVARIANT(condition, message)                                                                    \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, message);              \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
