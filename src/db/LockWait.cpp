#include "LockWait.h"

#include <QElapsedTimer>

#include <thread>

namespace db {

namespace {

// Short enough that a lock let go is noticed at once, long enough not to
// spin.
constexpr std::chrono::milliseconds kPause{20};

thread_local LockWaiter* installed = nullptr;
thread_local QElapsedTimer clock;

} // namespace

LockWaiter* setLockWaiter(LockWaiter* waiter)
{
    LockWaiter* previous = installed;
    installed = waiter;
    return previous;
}

bool waitForLock(const QString& database, int attempt)
{
    if (attempt == 0 || !clock.isValid())
        clock.start();
    const std::chrono::milliseconds waited{clock.elapsed()};
    const bool again = installed ? installed->keepWaiting(database, waited) : waited < kDefaultLockWait;
    if (again)
        std::this_thread::sleep_for(kPause);
    return again;
}

} // namespace db
