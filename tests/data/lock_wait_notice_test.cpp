// The program's waits for a database another program locked: one bound
// shared by every wait of start-up, and what the clerk is told meanwhile.

#include "support/DatabaseLock.h"
#include "support/EmbeddedDb.h"

#include "data/LockWaitNotice.h"
#include "db/DbError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(LockWaitNotice, StartUpWaitsShareOneBoundAndTheDisplaySaysWhatIsAwaited)
{
    EmbeddedDb db(QStringLiteral("LOCKED"), QStringLiteral("QEL_CONFIG"));
    db.exec("Create Table Item (Id Int)");
    DatabaseLock lock(QDir(db.folder()).filePath("QEL_CONFIG.sqlite"));

    LockWaitNotice notice;
    QStringList shown;
    notice.setDisplay([&shown](const QString& text) { shown << text; });
    notice.startSharedLimit(800ms);

    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(db.exec("Insert Into Item Values (1)"), db::DbError);
    const qint64 first = clock.restart();
    EXPECT_THROW(db.exec("Insert Into Item Values (2)"), db::DbError);
    const qint64 second = clock.elapsed();
    EXPECT_GE(first, 800);
    EXPECT_LT(first + second, 1500) << "the second wait had nothing left of the shared bound";

    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.first().contains("QEL_CONFIG")) << qPrintable(shown.first());
    EXPECT_EQ(shown.last(), QString()) << "the notice ends with the wait";
    EXPECT_EQ(notice.gaveUpOn(), "QEL_CONFIG");
    EXPECT_TRUE(notice.gaveUpText().startsWith("the database QEL_CONFIG is locked by another program; waited 1 "))
        << qPrintable(notice.gaveUpText());

    // After start-up each wait has its own bound again.
    notice.endSharedLimit();
    notice.setLimit(300ms);
    clock.restart();
    EXPECT_THROW(db.exec("Insert Into Item Values (3)"), db::DbError);
    EXPECT_GE(clock.elapsed(), 300);
}

TEST(LockWaitNotice, AWindowClosedDuringAWaitClosesAfterTheStatement)
{
    EmbeddedDb db(QStringLiteral("LOCKED"), QStringLiteral("QEL_CONFIG"));
    db.exec("Create Table Item (Id Int)");
    DatabaseLock lock(QDir(db.folder()).filePath("QEL_CONFIG.sqlite"));
    LockWaitNotice notice;
    notice.setLimit(600ms);

    // Closing the window would close its connection under the waiting statement.
    QWidget window;
    window.show();
    bool closedDuringTheStatement = false;
    bool inStatement = false;
    QTimer::singleShot(100, &window, [&] { window.close(); });
    class Watch : public QObject {
    public:
        Watch(bool& in, bool& during) : in_(in), during_(during) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide && in_)
                during_ = true;
            return false;
        }
        bool& in_;
        bool& during_;
    } watch(inStatement, closedDuringTheStatement);
    window.installEventFilter(&watch);

    inStatement = true;
    EXPECT_THROW(db.exec("Insert Into Item Values (1)"), db::DbError);
    inStatement = false;
    EXPECT_FALSE(closedDuringTheStatement);
    EXPECT_TRUE(window.isVisible()) << "still open when the statement ends";
    QTest::qWait(100);
    EXPECT_FALSE(window.isVisible()) << "and closed right after";
}

} // namespace
