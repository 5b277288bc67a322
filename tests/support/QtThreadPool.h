#pragma once

#include <QThreadPool>

namespace qbv::test {

// Qt converts large images (the board picture, window grabs) on its global thread pool. Idle pool threads
// would linger past the end of a suite and could still be tearing down when the leak checker looks: so
// they end as soon as they are idle (call before the tests), and the suite waits for them (after).
inline void endIdlePoolThreadsAtOnce() {
    QThreadPool::globalInstance()->setExpiryTimeout(0);
}
inline void waitForPoolThreads() {
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace qbv::test
