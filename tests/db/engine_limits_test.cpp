// What the embedded engine does with work it must not finish: statements
// that run past the connection's time limit.

#include "db/DbError.h"
#include "db/Engine.h"
#include "db/sqlite/SqliteEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using db::sqlite::SqliteEngine;

QString errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const db::DbError& e) {
        return e.message();
    }
    return QString();
}

class QueryTimeLimit : public ::testing::Test {
protected:
    void SetUp() override { db::sqlite::createDatabase(dir.path(), QStringLiteral("SHOP")); }
    QStringList params(const QString& seconds) const
    {
        return {QStringLiteral("SERVER NAME=sqlite:") + dir.path(), QStringLiteral("DATABASE NAME=SHOP"),
                QStringLiteral("MAX QUERY TIME=") + seconds};
    }
    QTemporaryDir dir;
};

TEST_F(QueryTimeLimit, EndlessLoopsAndRunawayQueriesStopAtTheLimitAndTheSessionGoesOn)
{
    const auto engine = db::openEngine(params(QStringLiteral("1")));
    engine->execute(QStringLiteral("CREATE PROCEDURE Spin AS\nDECLARE @i int\nSET @i = 0\nWHILE 1 = 1\n"
                                   "  SET @i = @i + 1"),
                    {});
    engine->execute(QStringLiteral("CREATE TABLE n (v int)\nDECLARE @i int\nSET @i = 0\n"
                                   "WHILE @i < 300 BEGIN INSERT INTO n VALUES (@i) SET @i = @i + 1 END"),
                    {});

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(errorOf([&] { engine->execute(QStringLiteral("EXEC Spin"), {}); }),
              QStringLiteral("Query timeout expired"));
    std::vector<db::ProcParam> none;
    EXPECT_EQ(errorOf([&] { engine->callProcedure(QStringLiteral("Spin"), none); }),
              QStringLiteral("Query timeout expired"));
    // One statement that would run for hours: SQLite itself is interrupted.
    EXPECT_EQ(errorOf([&] {
                  engine->execute(QStringLiteral("SELECT COUNT(*) FROM n a, n b, n c, n d WHERE a.v + b.v <> c.v"), {});
              }),
              QStringLiteral("Query timeout expired"));
    EXPECT_LT(clock.elapsed(), 15000);

    // Each call has its own time: the next one runs normally.
    EXPECT_EQ(engine->execute(QStringLiteral("SELECT COUNT(*) FROM n"), {}).rows.at(0).at(0).toInt(), 300);
}

} // namespace
