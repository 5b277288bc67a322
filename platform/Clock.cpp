#include "Clock.h"

namespace qbv::platform {

namespace {
Clock* replacementClock = nullptr;
}

Clock& clock() {
    return replacementClock ? *replacementClock : systemClock();
}

void setClock(Clock* replacement) {
    replacementClock = replacement;
}

} // namespace qbv::platform
