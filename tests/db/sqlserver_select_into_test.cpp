// SELECT ... INTO on the embedded engine: the table it makes (names, types,
// NULL-ability, IDENTITY) and the rows it puts in, as SQL Server does.

#include "ColumnTypeOf.h"
#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

class SqlServerSelectInto : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_.exec("CREATE TABLE T (Id int IDENTITY PRIMARY KEY, Code varchar(10) NOT NULL, Name nvarchar(20) NULL,"
                 " Price money NULL, Qty int NULL)\n"
                 "INSERT INTO T (Code, Name, Price, Qty) VALUES ('b', N'x', 1.10, 3)\n"
                 "INSERT INTO T (Code, Name, Price, Qty) VALUES ('a', NULL, 3.30, 7)\n"
                 "INSERT INTO T (Code, Name, Price, Qty) VALUES ('c', N'z', 0.40, 1)");
    }
    QStringList columnsOf(const QString& table)
    {
        return db_.rows(QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, IS_NULLABLE FROM INFORMATION_SCHEMA.COLUMNS"
                                       " WHERE TABLE_NAME = '%1' ORDER BY ORDINAL_POSITION").arg(table));
    }
    EmbeddedDb db_;
};

TEST_F(SqlServerSelectInto, AStarCopyKeepsTypesNullsAndTheIdentity)
{
    EXPECT_EQ(db_.scalar("SELECT * INTO T2 FROM T WHERE Qty > 2\nSELECT @@ROWCOUNT"), "2");
    EXPECT_TRUE(columnsOf("T2").value(0).endsWith("|NO")) << "an identity is NOT NULL";
    EXPECT_EQ(columnsOf("T2").mid(1), (QStringList{"Code|varchar|NO", "Name|nvarchar|YES", "Price|money|YES", "Qty|int|YES"}));
    db_.exec("INSERT INTO T2 (Code) VALUES ('new')");
    EXPECT_EQ(db_.rows("SELECT Id, Code, Price FROM T2 ORDER BY Id"),
              (QStringList{"1|b|1.1", "2|a|3.3", "3|new|<null>"})) << "the identity goes on from the rows copied";
    EXPECT_EQ(db_.errorOf("SELECT * INTO T2 FROM T"), "There is already an object named 'T2' in the database.");
    EXPECT_EQ(db_.scalar("SELECT COUNT(*) FROM T2"), "3") << "nothing added by the refused statement";
}

TEST_F(SqlServerSelectInto, ExpressionsTakeTheirResultTypes)
{
    db_.exec("SELECT Code, Qty * 2 AS Q2, 'k' AS K, Price + 1 AS P, ISNULL(Name, N'-') AS N,"
             " ROW_NUMBER() OVER (ORDER BY Id) AS R, CAST(Qty AS decimal(9,2)) AS D INTO #Calc FROM T");
    EXPECT_EQ(columnsOf("#Calc"), (QStringList{"Code|varchar|NO", "Q2|int|YES", "K|varchar|NO", "P|money|YES",
                                               "N|nvarchar|NO", "R|bigint|YES", "D|decimal|YES"}));
    EXPECT_EQ(db_.rows("SELECT Code, Q2, K, P, N, R, D FROM #Calc ORDER BY R"),
              (QStringList{"b|6|k|2.1|x|1|3", "a|14|k|4.3|-|2|7", "c|2|k|1.4|z|3|1"}));
    EXPECT_EQ(columnTypeOf(db_, "Code + 'xy'", "FROM T"), "varchar(12)");
    EXPECT_EQ(columnTypeOf(db_, "COUNT(*)", "FROM T"), "int");
    EXPECT_EQ(columnTypeOf(db_, "COUNT_BIG(*)", "FROM T"), "bigint");
}

TEST_F(SqlServerSelectInto, AnOuterJoinsOptionalSideMayBeNull)
{
    db_.exec("CREATE TABLE U (Code varchar(10) NOT NULL)\nINSERT INTO U VALUES ('a')\n"
             "SELECT T.Code, U.Code AS Matched INTO #Outer FROM T LEFT JOIN U ON U.Code = T.Code");
    EXPECT_EQ(db_.rows("SELECT Code, Matched FROM #Outer ORDER BY Code"),
              (QStringList{"a|a", "b|<null>", "c|<null>"}));
    EXPECT_EQ(columnsOf("#Outer"), (QStringList{"Code|varchar|NO", "Matched|varchar|YES"}));
    db_.exec("SELECT T.Code, U.Code AS Matched INTO #Right FROM U RIGHT JOIN T ON U.Code = T.Code");
    EXPECT_EQ(columnsOf("#Right"), (QStringList{"Code|varchar|NO", "Matched|varchar|YES"}));
}

TEST_F(SqlServerSelectInto, TheIdentityStaysOnlyWhereSqlServerKeepsIt)
{
    db_.exec("SELECT Id, Id AS Again INTO Twice FROM T\n"
             "SELECT a.Id, b.Code INTO Joined FROM T a JOIN T b ON a.Id = b.Id\n"
             "SELECT Id INTO Alone FROM T");
    EXPECT_FALSE(db_.errorOf("INSERT INTO Twice (Id, Again) VALUES (9, 9)").contains("identity")) << "selected twice";
    EXPECT_FALSE(db_.errorOf("INSERT INTO Joined (Id, Code) VALUES (9, 'j')").contains("identity")) << "from a join";
    EXPECT_EQ(db_.errorOf("INSERT INTO Alone (Id) VALUES (9)"),
              "Cannot insert explicit value for identity column in table 'Alone' when IDENTITY_INSERT is set to OFF.");
}

TEST_F(SqlServerSelectInto, WhatSqlServerRefuses)
{
    EXPECT_TRUE(db_.errorOf("SELECT Qty * 2 INTO #NoName FROM T")
                    .startsWith("An object or column name is missing or empty. For SELECT INTO statements"));
    EXPECT_EQ(db_.errorOf("SELECT Code, Qty AS Code INTO #Same FROM T"),
              "Column names in each table must be unique. Column name 'Code' in table '#Same' is specified more than "
              "once.");
    EXPECT_EQ(db_.errorOf("SELECT 1 AS X FROM (SELECT 1 AS Y INTO Inner1) d"), "Incorrect syntax near the keyword 'INTO'.");
    EXPECT_EQ(db_.errorOf("SELECT 1 AS X INTO #Bad WHERE 1 = CONVERT(int, 'x')"),
              "Conversion failed when converting the varchar value 'x' to data type int.");
}

TEST_F(SqlServerSelectInto, SetRowcountLimitsTheRowsCopied)
{
    db_.exec("SET ROWCOUNT 1\nSELECT * INTO #One FROM T\nSET ROWCOUNT 0");
    EXPECT_EQ(db_.scalar("SELECT COUNT(*) FROM #One"), "1");
}

} // namespace
