// Window functions on the embedded engine: the ranking functions, LAG, LEAD,
// FIRST_VALUE, LAST_VALUE and the aggregates with OVER, ordered and
// partitioned by the one collation, with SQL Server's answers and types.

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

} // namespace
