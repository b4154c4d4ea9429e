// A statement that finds its database locked by another program: it waits
// as long as the installed waiter says, then fails as locked, or goes on
// once the lock is let go. The lock is a real one, taken through SQLite by
// a second connection.

#include "support/DatabaseLock.h"
#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/LockWait.h"

#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

class RecordingWaiter : public db::LockWaiter {
public:
    explicit RecordingWaiter(std::function<bool(std::chrono::milliseconds)> decide)
        : decide_(std::move(decide)), previous_(db::setLockWaiter(this))
    {
    }
    ~RecordingWaiter() override { db::setLockWaiter(previous_); }

    bool keepWaiting(const QString& database, std::chrono::milliseconds waited) override
    {
        databases << database;
        waits.push_back(waited);
        return decide_(waited);
    }

    QStringList databases;
    std::vector<std::chrono::milliseconds> waits;

private:
    std::function<bool(std::chrono::milliseconds)> decide_;
    db::LockWaiter* previous_;
};

class LockWait : public ::testing::Test {
protected:
    void SetUp() override { db.exec("Create Table Item (Id Int)"); }
    QString file() const { return QDir(db.folder()).filePath("TESTDB.sqlite"); }

    EmbeddedDb db;
};

TEST_F(LockWait, TheWaiterBoundsTheWaitAndTheStatementThenFailsAsLocked)
{
    DatabaseLock lock(file());
    RecordingWaiter waiter([](std::chrono::milliseconds waited) { return waited < 300ms; });
    QElapsedTimer clock;
    clock.start();
    try {
        db.exec("Insert Into Item Values (1)");
        FAIL() << "the insert went through a held lock";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("locked")) << qPrintable(e.message());
    }
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000) << "not the quiet ten seconds";
    ASSERT_GE(waiter.waits.size(), 3u) << "asked between short pauses";
    EXPECT_EQ(waiter.databases.first(), "TESTDB") << "told which database is locked";
    EXPECT_TRUE(std::is_sorted(waiter.waits.begin(), waiter.waits.end()));
    EXPECT_GE(waiter.waits.back(), 300ms);
}

TEST_F(LockWait, TheStatementGoesOnOnceTheLockIsLetGo)
{
    DatabaseLock lock(file());
    RecordingWaiter waiter([&lock](std::chrono::milliseconds waited) {
        if (waited > 200ms)
            lock.release();
        return waited < 5s;
    });
    db.exec("Insert Into Item Values (7)");
    EXPECT_FALSE(lock.held());
    EXPECT_EQ(db.rows("Select Id From Item"), QStringList{"7"});

    // A later wait is timed from its own start, not from the first one's.
    DatabaseLock again(file());
    waiter.waits.clear();
    RecordingWaiter second([&again](std::chrono::milliseconds waited) {
        if (waited > 100ms)
            again.release();
        return true;
    });
    db.exec("Insert Into Item Values (8)");
    EXPECT_LT(second.waits.front(), 100ms);
}

} // namespace
