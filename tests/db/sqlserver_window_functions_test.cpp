// Window functions on the embedded engine: the ranking functions, LAG, LEAD,
// FIRST_VALUE, LAST_VALUE and the aggregates with OVER, ordered and
// partitioned by the one collation, their ROWS and RANGE frames, with SQL
// Server's answers, types and refusals.

#include "ColumnTypeOf.h"
#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

class SqlServerWindowFunctions : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_.exec("CREATE TABLE T (Id int IDENTITY PRIMARY KEY, Code varchar(10) NOT NULL, Price money NULL, Qty int NULL)\n"
                 "INSERT INTO T (Code, Price, Qty) VALUES ('b', 1.10, 3)\n"
                 "INSERT INTO T (Code, Price, Qty) VALUES ('B ', 2.20, 5)\n"
                 "INSERT INTO T (Code, Price, Qty) VALUES ('a', 3.30, 7)\n"
                 "INSERT INTO T (Code, Price, Qty) VALUES ('c', 0.40, 2)");
    }
    EmbeddedDb db_;
};

TEST_F(SqlServerWindowFunctions, RankingFollowsTheCollationOfTheOrder)
{
    // 'b' and 'B ' are equal: they tie for RANK and DENSE_RANK.
    EXPECT_EQ(db_.rows("SELECT Id, ROW_NUMBER() OVER (ORDER BY Code, Id), RANK() OVER (ORDER BY Code),"
                       " DENSE_RANK() OVER (ORDER BY Code), NTILE(2) OVER (ORDER BY Id) FROM T ORDER BY Id"),
              (QStringList{"1|2|2|2|1", "2|3|2|2|1", "3|1|1|1|2", "4|4|4|3|2"}));
    // Thai dictionary order: the leading vowel is passed over (ช before ส).
    db_.exec(QString::fromUtf8("CREATE TABLE Th (N nvarchar(20) NOT NULL)\nINSERT INTO Th VALUES (N'ขายเชื่อ')\n"
                               "INSERT INTO Th VALUES (N'ขายสด')"));
    EXPECT_EQ(db_.rows("SELECT N, ROW_NUMBER() OVER (ORDER BY N + '') FROM Th ORDER BY 2"),
              (QStringList{QString::fromUtf8("ขายเชื่อ|1"), QString::fromUtf8("ขายสด|2")}));
    EXPECT_EQ(columnTypeOf(db_, "ROW_NUMBER() OVER (ORDER BY Id)", "FROM T"), "bigint");
    EXPECT_EQ(columnTypeOf(db_, "RANK() OVER (ORDER BY Id)", "FROM T"), "bigint");
}

TEST_F(SqlServerWindowFunctions, AggregatesOverPartitionsAndRunningFrames)
{
    // Partitions by text put 'b' and 'B ' together; money sums exactly.
    EXPECT_EQ(db_.rows("SELECT Id, SUM(Price) OVER (PARTITION BY Code), COUNT(*) OVER (), AVG(Qty) OVER (PARTITION BY Code),"
                       " MIN(Qty) OVER (ORDER BY Id), SUM(Qty) OVER (ORDER BY Id) FROM T ORDER BY Id"),
              (QStringList{"1|3.3|4|4|3|3", "2|3.3|4|4|3|8", "3|3.3|4|7|3|15", "4|0.4|4|2|2|17"}));
    // AVG of money keeps four decimals: (1.10 + 2.20 + 0.40) / 3.
    EXPECT_EQ(db_.scalar("SELECT CONVERT(varchar(20), AVG(Price) OVER (PARTITION BY Qty - Qty)) FROM T WHERE Code <> 'a'"),
              "1.23");
    EXPECT_EQ(columnTypeOf(db_, "SUM(Qty) OVER ()", "FROM T"), "int");
    EXPECT_EQ(columnTypeOf(db_, "SUM(Price) OVER ()", "FROM T"), "money");
    // A parameter inside and outside the window binds in its place.
    EXPECT_EQ(db_.scalar("SELECT SUM(Qty * :K) OVER (PARTITION BY Qty - :J) + :L FROM T WHERE Id = 1",
                         {{"K", 10}, {"J", 1}, {"L", 5}}),
              "35");
}

TEST_F(SqlServerWindowFunctions, DuplicatesAreDeletedByTheirRowNumber)
{
    EXPECT_EQ(db_.scalar("DELETE FROM T WHERE Id IN (SELECT Id FROM (SELECT Id, ROW_NUMBER() OVER (PARTITION BY Code"
                         " ORDER BY Id) n FROM T) x WHERE n > 1)\nSELECT @@ROWCOUNT"),
              "1");
    EXPECT_EQ(db_.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"1", "3", "4"}));
}

TEST_F(SqlServerWindowFunctions, LagLeadFirstAndLastValueReadTheRowsAroundInOrder)
{
    // LEAD's default stands in past the last row; the partitions follow the
    // collation ('b' and 'B ' are one); LAST_VALUE's frame ends at the
    // current row, as SQL Server's does without a frame written.
    EXPECT_EQ(db_.rows("SELECT Id, LAG(Price) OVER (ORDER BY Id), LEAD(Qty, 2, 0) OVER (ORDER BY Id),"
                       " FIRST_VALUE(Qty) OVER (PARTITION BY Code ORDER BY Id),"
                       " LAST_VALUE(Qty) OVER (PARTITION BY Code ORDER BY Id) FROM T ORDER BY Id"),
              (QStringList{"1|<null>|7|3|3", "2|1.1|2|3|5", "3|2.2|0|7|7", "4|3.3|0|2|2"}));
    EXPECT_EQ(db_.rows("SELECT Id, Qty - LAG(Qty, 1, Qty) OVER (ORDER BY Id) FROM T ORDER BY Id"),
              (QStringList{"1|0", "2|2", "3|2", "4|-5"}));
    EXPECT_EQ(columnTypeOf(db_, "LAG(Price) OVER (ORDER BY Id)", "FROM T"), "money");
    EXPECT_EQ(db_.errorOf("SELECT LEAD(Qty) FROM T"), "The function 'LEAD' must have an OVER clause.");
    EXPECT_EQ(db_.errorOf("SELECT FIRST_VALUE(Qty) OVER (PARTITION BY Code) FROM T"),
              "The function 'FIRST_VALUE' must have an OVER clause with ORDER BY.");
    EXPECT_EQ(db_.errorOf("SELECT LAG(Qty, -1) OVER (ORDER BY Id) FROM T"),
              "The offset parameter for LAG cannot be a negative value.");
}

TEST_F(SqlServerWindowFunctions, WhatSqlServerRefuses)
{
    EXPECT_EQ(db_.errorOf("SELECT ROW_NUMBER() FROM T"), "The function 'ROW_NUMBER' must have an OVER clause.");
    EXPECT_EQ(db_.errorOf("SELECT RANK() OVER (PARTITION BY Code) FROM T"),
              "The function 'RANK' must have an OVER clause with ORDER BY.");
    EXPECT_EQ(db_.errorOf("SELECT COUNT(DISTINCT Qty) OVER () FROM T"),
              "Use of DISTINCT is not allowed with the OVER clause.");
    EXPECT_EQ(db_.errorOf("SELECT LEN(Code) OVER () FROM T"),
              "The function 'LEN' is not a valid windowing function, and cannot be used with the OVER clause.");
    EXPECT_EQ(db_.errorOf("SELECT Id FROM T WHERE ROW_NUMBER() OVER (ORDER BY Id) = 1"),
              "Windowed functions can only appear in the SELECT or ORDER BY clauses.");
}

TEST_F(SqlServerWindowFunctions, RunningAndMovingTotalsReadTheirFrame)
{
    EXPECT_EQ(db_.rows("SELECT Id, SUM(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING AND CURRENT ROW),"
                       " SUM(Qty) OVER (ORDER BY Id ROWS 2 PRECEDING),"
                       " SUM(Qty) OVER (ORDER BY Id ROWS BETWEEN CURRENT ROW AND 1 FOLLOWING),"
                       " SUM(Qty) OVER (ORDER BY Id ROWS BETWEEN 2 PRECEDING AND 1 PRECEDING) FROM T ORDER BY Id"),
              (QStringList{"1|3|3|8|<null>", "2|8|8|12|3", "3|12|15|9|8", "4|9|14|2|12"}));
    // 'b' and 'B ' are peers: RANGE (also the frame when none is written)
    // takes both at once, ROWS one after the other.
    EXPECT_EQ(db_.rows("SELECT Id, SUM(Qty) OVER (ORDER BY Code, Id ROWS UNBOUNDED PRECEDING),"
                       " SUM(Qty) OVER (ORDER BY Code RANGE UNBOUNDED PRECEDING), SUM(Qty) OVER (ORDER BY Code),"
                       " SUM(Qty) OVER (ORDER BY Code RANGE BETWEEN CURRENT ROW AND CURRENT ROW) FROM T ORDER BY Id"),
              (QStringList{"1|10|15|15|8", "2|15|15|15|8", "3|7|7|7|7", "4|17|17|17|2"}));
    EXPECT_EQ(db_.rows("SELECT Id, SUM(Qty) OVER (PARTITION BY Code ORDER BY Id ROWS BETWEEN UNBOUNDED PRECEDING"
                       " AND UNBOUNDED FOLLOWING), AVG(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING AND 1 FOLLOWING)"
                       " FROM T ORDER BY Id"),
              (QStringList{"1|8|4", "2|8|5", "3|7|4", "4|2|4"}));
}

TEST_F(SqlServerWindowFunctions, MovingTotalsOfMoneyAndWideDecimalsStayExact)
{
    // The wide value leaves the frame and the small ones it hid are whole again.
    db_.exec("CREATE TABLE W (Id int PRIMARY KEY, D decimal(38,4) NOT NULL, M money NOT NULL)\n"
             "INSERT INTO W VALUES (1, 10000000000000000000.0001, 0.10)\n"
             "INSERT INTO W VALUES (2, 0.0002, 0.20)\n"
             "INSERT INTO W VALUES (3, 0.0004, 0.70)");
    EXPECT_EQ(db_.rows("SELECT CONVERT(varchar(50), SUM(D) OVER (ORDER BY Id ROWS 1 PRECEDING)),"
                       " CONVERT(varchar(50), AVG(D) OVER (ORDER BY Id ROWS BETWEEN CURRENT ROW AND 1 FOLLOWING)),"
                       " CONVERT(varchar(50), MAX(D) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING AND CURRENT ROW))"
                       " FROM W ORDER BY Id"),
              (QStringList{"10000000000000000000.0001|5000000000000000000.000150|10000000000000000000.0001",
                           "10000000000000000000.0003|0.000300|10000000000000000000.0001",
                           "0.0006|0.000400|0.0004"}));
    EXPECT_EQ(db_.rows("SELECT CONVERT(varchar(30), SUM(M) OVER (ORDER BY Id ROWS 1 PRECEDING), 2),"
                       " CONVERT(varchar(30), AVG(M) OVER (ORDER BY Id ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING), 2),"
                       " CASE WHEN SUM(M) OVER (ORDER BY Id ROWS 1 PRECEDING) = 0.3 THEN 'exact' ELSE '' END"
                       " FROM W ORDER BY Id"),
              (QStringList{"0.1000|0.3333|", "0.3000|0.4500|exact", "0.9000|0.7000|"}));
    EXPECT_EQ(columnTypeOf(db_, "SUM(M) OVER (ORDER BY Id ROWS 1 PRECEDING)", "FROM W"), "money");
}

TEST_F(SqlServerWindowFunctions, MinMaxCountAndFirstLastValueReadAWrittenFrame)
{
    EXPECT_EQ(db_.rows("SELECT Id, MIN(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING AND 1 FOLLOWING),"
                       " MAX(Price) OVER (ORDER BY Id ROWS BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING),"
                       " COUNT(*) OVER (ORDER BY Id ROWS BETWEEN 1 FOLLOWING AND UNBOUNDED FOLLOWING),"
                       " COUNT(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 FOLLOWING AND 2 FOLLOWING) FROM T ORDER BY Id"),
              (QStringList{"1|3|3.3|3|2", "2|3|3.3|2|2", "3|2|3.3|1|1", "4|2|0.4|0|0"}));
    // Over the whole partition LAST_VALUE is its last row, not the current one.
    EXPECT_EQ(db_.rows("SELECT Id, LAST_VALUE(Qty) OVER (ORDER BY Id ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING),"
                       " FIRST_VALUE(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING AND 1 FOLLOWING),"
                       " LAST_VALUE(Qty) OVER (PARTITION BY Code ORDER BY Id RANGE BETWEEN CURRENT ROW AND UNBOUNDED FOLLOWING)"
                       " FROM T ORDER BY Id"),
              (QStringList{"1|2|3|5", "2|2|3|5", "3|2|5|7", "4|2|7|2"}));
}

TEST_F(SqlServerWindowFunctions, FramesSqlServerRefuses)
{
    EXPECT_EQ(db_.errorOf("SELECT SUM(Qty) OVER (PARTITION BY Code ROWS UNBOUNDED PRECEDING) FROM T"),
              "Window frame with ROWS or RANGE must have an ORDER BY clause.");
    EXPECT_EQ(db_.errorOf("SELECT SUM(Qty) OVER (ORDER BY Id RANGE BETWEEN 1 PRECEDING AND CURRENT ROW) FROM T"),
              "RANGE is only supported with UNBOUNDED and CURRENT ROW window frame delimiters.");
    EXPECT_EQ(db_.errorOf("SELECT SUM(Qty) OVER (ORDER BY Id RANGE 1 PRECEDING) FROM T"),
              "RANGE is only supported with UNBOUNDED and CURRENT ROW window frame delimiters.");
    // The function's own refusal comes before the missing ORDER BY.
    for (const char* call : {"ROW_NUMBER()", "RANK()", "DENSE_RANK()", "NTILE(2)", "LAG(Qty)", "LEAD(Qty)"}) {
        SCOPED_TRACE(call);
        const QString name = QString::fromLatin1(call).section(QLatin1Char('('), 0, 0);
        EXPECT_EQ(db_.errorOf(QStringLiteral("SELECT %1 OVER (PARTITION BY Code ROWS UNBOUNDED PRECEDING) FROM T").arg(call)),
                  QStringLiteral("The function '%1' may not have a window frame.").arg(name));
    }
    EXPECT_EQ(db_.errorOf("SELECT LAST_VALUE(Qty) OVER (PARTITION BY Code ROWS UNBOUNDED PRECEDING) FROM T"),
              "The function 'LAST_VALUE' must have an OVER clause with ORDER BY.");
    // Frames that start after they end, each with the kinds of its bounds.
    const std::pair<const char*, const char*> backwards[] = {
        {"1 FOLLOWING AND CURRENT ROW", "... FOLLOWING AND CURRENT ROW"},
        {"CURRENT ROW AND UNBOUNDED PRECEDING", "CURRENT ROW AND UNBOUNDED PRECEDING"},
        {"UNBOUNDED FOLLOWING AND UNBOUNDED FOLLOWING", "UNBOUNDED FOLLOWING AND UNBOUNDED FOLLOWING"},
        {"1 PRECEDING AND 2 PRECEDING", "... PRECEDING AND ... PRECEDING"},
        {"2 FOLLOWING AND 1 FOLLOWING", "... FOLLOWING AND ... FOLLOWING"},
    };
    for (const auto& [bounds, kinds] : backwards) {
        SCOPED_TRACE(bounds);
        EXPECT_EQ(db_.errorOf(QStringLiteral("SELECT SUM(Qty) OVER (ORDER BY Id ROWS BETWEEN %1) FROM T").arg(QLatin1String(bounds))),
                  QStringLiteral("'BETWEEN %1' is not a valid window frame and cannot be used with the OVER clause.")
                      .arg(QLatin1String(kinds)));
    }
    // Syntax: a frame alone in OVER, a lone FOLLOWING bound, a bound that is
    // not a whole-number literal.
    const std::pair<const char*, const char*> syntax[] = {
        {"SUM(Qty) OVER (ROWS UNBOUNDED PRECEDING)", "ROWS"},
        {"SUM(Qty) OVER (ORDER BY Id ROWS 1 FOLLOWING)", "FOLLOWING"},
        {"SUM(Qty) OVER (ORDER BY Id ROWS 1.5 PRECEDING)", "1.5"},
        {"SUM(Qty) OVER (ORDER BY Id ROWS @n PRECEDING)", "@n"},
        {"SUM(Qty) OVER (ORDER BY Id ROWS BETWEEN 1 PRECEDING)", ")"},
    };
    for (const auto& [window, near] : syntax) {
        SCOPED_TRACE(window);
        EXPECT_TRUE(db_.errorOf(QStringLiteral("SELECT %1 FROM T").arg(QLatin1String(window)))
                        .startsWith(QStringLiteral("Incorrect syntax near '%1'.").arg(QLatin1String(near))));
    }
}

} // namespace
