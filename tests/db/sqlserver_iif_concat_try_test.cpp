// IIF, CONCAT and TRY_CONVERT / TRY_CAST on the embedded engine, each case
// with the answer SQL Server gives.

#include "ColumnTypeOf.h"
#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlServerIifConcatTry, IifIsTheCaseItStandsFor)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE T (Qty int NULL)\nINSERT INTO T VALUES (1)\nINSERT INTO T VALUES (5)\nINSERT INTO T VALUES (NULL)");
    EXPECT_EQ(db.rows("SELECT IIF(Qty > 3, 'big', 'small') FROM T ORDER BY Qty"),
              (QStringList{"small", "small", "big"})) << "an unknown condition takes the else";
    // Typed as CASE: int beside numeric(2,1) is numeric(11,1).
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), IIF(1 = 1, 1, 2.5))"), "1.0");
    EXPECT_EQ(columnTypeOf(db, "IIF(1 = 0, 1, 2.5)"), "decimal(11,1)");
    EXPECT_EQ(db.scalar("SELECT IIF(NOT 'a' = 'A ', 'differ', 'same')"), "same") << "text compares as everywhere";
}

TEST(SqlServerIifConcatTry, ConcatWritesEachValueAsConvertWouldAndNullAsNothing)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT CONCAT('a', NULL, 1, 2.50, CAST(1.1 AS money), N'ก')"), QString::fromUtf8("a12.501.10ก"));
    EXPECT_EQ(db.scalar("SELECT CONCAT('d ', CAST('2017-08-25' AS date), ' ', CAST('2017-08-25 10:00' AS datetime))"),
              "d 2017-08-25 Aug 25 2017 10:00AM");
    EXPECT_EQ(db.scalar("SELECT CONCAT(NULL, NULL)"), "") << "never NULL";
    db.exec("CREATE TABLE P (Code varchar(5) NULL, Price money NULL)\n"
            "INSERT INTO P VALUES ('x''y', NULL)");
    EXPECT_EQ(db.scalar("SELECT CONCAT(Code, '=', Price) FROM P"), "x'y=");
    EXPECT_EQ(columnTypeOf(db, "CONCAT('ab', 'cde')"), "varchar(5)");
    EXPECT_EQ(columnTypeOf(db, "CONCAT('ab', N'c')"), "nvarchar(3)") << "Unicode when any argument is";
    EXPECT_EQ(db.errorOf("SELECT CONCAT('a')"), "The concat function requires 2 to 254 arguments.");
}

TEST(SqlServerIifConcatTry, TryConvertGivesNullWhereConvertFailsAndStillRefusesWhatIsNeverAllowed)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows("SELECT TRY_CONVERT(int, 'abc'), TRY_CONVERT(int, '12'), TRY_CAST('x' AS datetime),"
                      " TRY_CONVERT(date, '2017-08-25'), TRY_CONVERT(money, '1,5x'), TRY_CAST(300 AS tinyint)"),
              QStringList{"<null>|12|<null>|2017-08-25 00:00:00.000|<null>|<null>"});
    EXPECT_EQ(db.scalar("SELECT COALESCE(TRY_CONVERT(decimal(5,2), '12.345'), -1)"), "12.35");
    EXPECT_EQ(columnTypeOf(db, "TRY_CONVERT(decimal(5,2), '1')"), "decimal(5,2)");
    // A failed conversion inside TRY_CONVERT's argument is not its own: that still fails.
    EXPECT_FALSE(db.errorOf("SELECT TRY_CONVERT(varchar(10), CONVERT(int, 'x'))").isEmpty());
    // Errors of the statement itself stay errors.
    EXPECT_EQ(db.errorOf("SELECT TRY_CONVERT(date, 5)"), "Explicit conversion from data type int to date is not allowed.");
    EXPECT_EQ(db.errorOf("SELECT CONVERT(date, 2.5)"),
              "Explicit conversion from data type numeric to date is not allowed.");
    EXPECT_EQ(db.errorOf("SELECT TRY_CONVERT(varchar(30), GETDATE(), 999)"),
              "999 is not a valid style number when converting from datetime to a character string.");
    EXPECT_EQ(db.errorOf("SELECT TRY_CAST(1 AS nosuchtype)"),
              "Column, parameter, or variable #1: Cannot find data type NOSUCHTYPE.");
    EXPECT_EQ(db.scalar("SELECT CONVERT(datetime, 1)"), "1900-01-02 00:00:00.000") << "days still make a datetime";
}

} // namespace
