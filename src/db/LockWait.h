#pragma once

#include <QString>

#include <chrono>

namespace db {

// How a statement waits for a database that another program has locked.
// The embedded engine asks, between short pauses, whether to go on waiting;
// the program installs a waiter that bounds the wait, keeps its windows
// painted meanwhile and tells the clerk what it is waiting for. Without
// one, a statement waits kDefaultLockWait quietly.
class LockWaiter {
public:
    virtual ~LockWaiter() = default;

    // `database` is locked and the statement has waited `waited` so far.
    // True: pause a moment and try again; false: give up, the statement
    // then fails with the engine's "database is locked".
    virtual bool keepWaiting(const QString& database, std::chrono::milliseconds waited) = 0;
};

inline constexpr std::chrono::milliseconds kDefaultLockWait{10000};

// Installs `waiter` (nullptr: the quiet default) for this thread and
// returns the one it replaces.
LockWaiter* setLockWaiter(LockWaiter* waiter);

// For the engines: the statement found `database` locked for the
// `attempt`-th time in a row (0 the first). Pauses and returns true to try
// again, or returns false to give up.
bool waitForLock(const QString& database, int attempt);

} // namespace db
