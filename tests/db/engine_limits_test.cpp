// What the embedded engine does with work it must not finish: statements
// that run past the connection's time limit, and text nested too deeply to
// be read without exhausting the stack.

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

class EmbeddedEngineLimits : public ::testing::Test {
protected:
    void SetUp() override { db::sqlite::createDatabase(dir.path(), QStringLiteral("SHOP")); }
    QStringList params(const QString& seconds) const
    {
        return {QStringLiteral("SERVER NAME=sqlite:") + dir.path(), QStringLiteral("DATABASE NAME=SHOP"),
                QStringLiteral("MAX QUERY TIME=") + seconds};
    }
    QTemporaryDir dir;
};

TEST_F(EmbeddedEngineLimits, EndlessLoopsAndRunawayQueriesStopAtTheLimitAndTheSessionGoesOn)
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

QString repeated(const QString& part, int times, const QString& separator = QString())
{
    QStringList parts;
    for (int i = 0; i < times; ++i)
        parts.append(part);
    return parts.join(separator);
}

const QString kNestedTooDeeply = QStringLiteral(
    "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.");

TEST_F(EmbeddedEngineLimits, DeeplyNestedTextIsRefusedAndLongChainsOfOneOperatorStillRun)
{
    const auto engine = db::openEngine(params(QStringLiteral("0")));
    auto run = [&](const QString& sql) { return engine->execute(sql, {}); };
    for (const QString& sql : {
             QStringLiteral("SELECT ") + repeated(QStringLiteral("("), 10000) + QStringLiteral("1")
                 + repeated(QStringLiteral(")"), 10000),
             QStringLiteral("SELECT ") + repeated(QStringLiteral("ABS("), 5000) + QStringLiteral("-1")
                 + repeated(QStringLiteral(")"), 5000),
             QStringLiteral("SELECT ") + repeated(QStringLiteral("(SELECT "), 2000) + QStringLiteral("1")
                 + repeated(QStringLiteral(")"), 2000),
             repeated(QStringLiteral("BEGIN "), 50000) + QStringLiteral("SELECT 1") + repeated(QStringLiteral(" END"), 50000),
             repeated(QStringLiteral("IF 1 = 1 "), 50000) + QStringLiteral("SELECT 1"),
             QStringLiteral("SELECT ") + repeated(QStringLiteral("NOT "), 50000) + QStringLiteral("1 = 1"),
             // Regrouping a mixed chain would change its result; it is refused instead.
             QStringLiteral("SELECT 1") + repeated(QStringLiteral(" + 1 - 1"), 10000),
         }) {
        EXPECT_EQ(errorOf([&] { run(sql); }), kNestedTooDeeply) << sql.left(40).toStdString();
    }

    EXPECT_EQ(run(QStringLiteral("SELECT ") + repeated(QStringLiteral("1"), 20000, QStringLiteral(" + "))).rows.at(0).at(0),
              20000);
    EXPECT_EQ(run(QStringLiteral("SELECT 'x' AS hit WHERE ") + repeated(QStringLiteral("1 = 0"), 19999, QStringLiteral(" OR "))
                  + QStringLiteral(" OR 2 = 2"))
                  .rows.size(),
              1u);
    EXPECT_EQ(run(QStringLiteral("SELECT 'x' AS hit WHERE ") + repeated(QStringLiteral("1 = 1"), 19999, QStringLiteral(" AND "))
                  + QStringLiteral(" AND 1 = 0"))
                  .rows.size(),
              0u);
    // Text is joined in the order written, however the chain is grouped.
    EXPECT_EQ(run(QStringLiteral("SELECT 'a'") + repeated(QStringLiteral(" + 'b' + 'c'"), 100)).rows.at(0).at(0).toString(),
              QStringLiteral("a") + repeated(QStringLiteral("bc"), 100));
    // Deeper than SQLite reads but within the parser's limit: the same answer.
    EXPECT_EQ(errorOf([&] {
                  run(QStringLiteral("SELECT ") + repeated(QStringLiteral("ABS("), 200) + QStringLiteral("-1")
                      + repeated(QStringLiteral(")"), 200));
              }),
              kNestedTooDeeply);
    // Nesting within the limit, as programs write it, is untouched.
    EXPECT_EQ(run(QStringLiteral("SELECT ") + repeated(QStringLiteral("("), 50) + QStringLiteral("7")
                  + repeated(QStringLiteral(")"), 50))
                  .rows.at(0).at(0),
              7);
}

} // namespace
