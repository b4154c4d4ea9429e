#pragma once

#include <QString>

struct sqlite3;

// Another program holding an exclusive lock on an embedded database file:
// while this object lives (or until release()), no other connection, in
// this process or another, can write to the file (the files are in WAL
// mode, so reading goes on).
class DatabaseLock {
public:
    // Throws std::runtime_error when the lock cannot be taken.
    explicit DatabaseLock(const QString& file);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    void release();
    bool held() const { return handle_ != nullptr; }

private:
    sqlite3* handle_ = nullptr;
};
