// Amounts through the whole embedded engine and db::Query, each case a small
// statement with the answer SQL Server gives. Values are compared as doubles:
// a binary neighbour of the decimal (0.30000000000000004) fails where a text
// comparison rounded to fifteen digits would not.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"

#include <gtest/gtest.h>

#include <random>

namespace {

double number(EmbeddedDb& db, const QString& sql)
{
    const auto q = db.open(sql);
    EXPECT_FALSE(q->isEmpty()) << sql.toStdString();
    return q->isEmpty() ? 0 : q->valueAt(0, 0).toDouble();
}

TEST(ExactNumerics, MoneyAddsMultipliesAndSumsToTheCent)
{
    EmbeddedDb db;
    EXPECT_EQ(number(db, "SELECT CAST(0.1 AS money) + CAST(0.2 AS money)"), 0.3);
    EXPECT_EQ(number(db, "SELECT CAST(1.1 AS money) * 3"), 3.3);
    EXPECT_EQ(number(db, "SELECT CAST(0.3 AS money) - CAST(0.1 AS money)"), 0.2);

    db.exec("CREATE TABLE Line (Id int NOT NULL PRIMARY KEY, Price money NOT NULL, Qty smallint NOT NULL)");
    db.exec("INSERT INTO Line VALUES (1, 0.1, 1)\nINSERT INTO Line VALUES (2, 0.2, 1)\n"
            "INSERT INTO Line VALUES (3, 18.4, 7)");
    EXPECT_EQ(number(db, "SELECT SUM(Price) FROM Line WHERE Id < 3"), 0.3);
    EXPECT_EQ(number(db, "SELECT SUM(Price * Qty) FROM Line"), 129.1);
    EXPECT_EQ(db.scalar("SELECT SUM(Qty) FROM Line"), "9") << "a sum of whole numbers stays whole";
}

TEST(ExactNumerics, ThousandsOfRandomPricesSumToTheExactCents)
{
    // Cents are summed as integers beside the engine: the two must agree to
    // the last cent, which a plain binary sum of 5,000 prices does not.
    EmbeddedDb db;
    db.exec("CREATE TABLE Price (Id int NOT NULL PRIMARY KEY, Amount money NOT NULL)");
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> cents(1, 9999999);
    long long totalCents = 0;
    QStringList batch;
    for (int i = 1; i <= 5000; ++i) {
        const int c = cents(rng);
        totalCents += c;
        batch << QStringLiteral("INSERT INTO Price VALUES (%1, %2.%3)")
                     .arg(i)
                     .arg(c / 100)
                     .arg(c % 100, 2, 10, QLatin1Char('0'));
        if (batch.size() == 500) {
            db.exec(batch.join('\n'));
            batch.clear();
        }
    }
    const double expected =
        QStringLiteral("%1.%2").arg(totalCents / 100).arg(totalCents % 100, 2, 10, QLatin1Char('0')).toDouble();
    EXPECT_EQ(number(db, "SELECT SUM(Amount) FROM Price"), expected);
}

TEST(ExactNumerics, StoredAmountsComeBackAsWritten)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Item (Id int NOT NULL PRIMARY KEY, Price money NULL, Small smallmoney NULL)");
    db.exec("INSERT INTO Item VALUES (1, 263.5, 0.07)\nINSERT INTO Item VALUES (2, 12345678.9999, -214748.3648)\n"
            "INSERT INTO Item VALUES (3, 1.23456, 1.00005)");
    auto q = db.open("SELECT Price, Small FROM Item ORDER BY Id");
    ASSERT_EQ(q->recordCount(), 3);
    EXPECT_EQ(q->valueAt(0, 0).toDouble(), 263.5);
    EXPECT_EQ(q->valueAt(0, 1).toDouble(), 0.07);
    EXPECT_EQ(q->valueAt(1, 0).toDouble(), 12345678.9999);
    EXPECT_EQ(q->valueAt(1, 1).toDouble(), -214748.3648) << "the lowest smallmoney";
    EXPECT_EQ(q->valueAt(2, 0).toDouble(), 1.2346) << "money keeps four decimals, rounded";
    EXPECT_EQ(q->valueAt(2, 1).toDouble(), 1.0001);
    EXPECT_EQ(db.errorOf("INSERT INTO Item VALUES (4, 1, -214748.3649)"),
              "Arithmetic overflow error converting expression to data type smallmoney.");
}

TEST(ExactNumerics, DecimalAndMoneyVariablesKeepTheirScale)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("DECLARE @n numeric = 12345.12\nSELECT @n"), "12345") << "numeric is numeric(18,0)";
    EXPECT_EQ(number(db, "DECLARE @d decimal(10,2) = 1.005\nSELECT @d"), 1.01);
    EXPECT_EQ(number(db, "DECLARE @m money = 2.71828\nSELECT @m"), 2.7183);
    EXPECT_EQ(db.scalar("SELECT CAST(CAST(1.56 AS money) AS int)"), "2") << "money to int rounds";
    EXPECT_EQ(db.scalar("SELECT CAST(1.56 AS int)"), "1") << "a decimal to int truncates";
}

TEST(ExactNumerics, AvgHasTheTypeOfItsArgument)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE T (I int NOT NULL, M money NOT NULL, D decimal(9,2) NOT NULL)");
    db.exec("INSERT INTO T VALUES (1, 1, 1)\nINSERT INTO T VALUES (2, 2, 2)\nINSERT INTO T VALUES (2, 0.01, 0.01)");
    EXPECT_EQ(db.scalar("SELECT AVG(I) FROM T"), "1") << "int: 5 / 3 truncated";
    EXPECT_EQ(number(db, "SELECT AVG(M) FROM T"), 1.0033) << "money: four decimals";
    EXPECT_EQ(number(db, "SELECT AVG(D) FROM T"), 1.003333) << "decimal(9,2): six decimals";
    EXPECT_EQ(db.scalar("SELECT AVG(I) FROM T WHERE I > 5"), "") << "no rows: NULL";
    EXPECT_EQ(db.scalar("SELECT AVG(D) FROM T WHERE I > 5"), "");

    // The exact sum divided by the count, cut (not rounded) at the scale.
    db.exec("UPDATE T SET M = 2, D = 2 WHERE I = 2");
    EXPECT_EQ(number(db, "SELECT AVG(D) FROM T"), 1.666666) << "decimal(38,6): 5.00 / 3 cut";
    EXPECT_EQ(number(db, "SELECT AVG(M) FROM T"), 1.6666) << "money: 5 / 3 cut at four decimals";
    EXPECT_EQ(number(db, "SELECT AVG(DISTINCT D) FROM T"), 1.5);
    EXPECT_EQ(db.scalar("SELECT CAST(AVG(CAST(D AS decimal(9,8))) AS varchar(40)) FROM T"), "1.66666666")
        << "a scale past six is kept";
    EXPECT_EQ(number(db, "DECLARE @m money = 3\nDECLARE @n int = 2\nSELECT @n + AVG(M * @m) + @n FROM T"), 9.0)
        << "variables inside and beside AVG keep their places";
    EXPECT_EQ(db.open("SELECT AVG(M * :Rate) FROM T", {{"Rate", 3}})->valueAt(0, 0).toDouble(), 5.0);
}

TEST(ExactNumerics, AggregatesKnowTheTypesOfDerivedTablesUnionsAndViews)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM (SELECT 1 x UNION ALL SELECT 2) t"), "1") << "int, as a table's column";
    EXPECT_EQ(db.rows("SELECT SUM(t.x), MIN(t.x), MAX(t.x) FROM (SELECT 1 x UNION ALL SELECT 2) t"),
              QStringList{"3|1|2"});
    EXPECT_EQ(db.errorOf("SELECT SUM(x) FROM (SELECT 2147483647 x UNION ALL SELECT 1) t"),
              "Arithmetic overflow error converting expression to data type int.")
        << "a sum of ints is an int";
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM (SELECT NULL x UNION ALL SELECT 1 UNION ALL SELECT 2) t"), "1")
        << "a NULL block takes the others' type";
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM (SELECT x FROM (SELECT 1 x UNION ALL SELECT 2) a) t"), "1");
    EXPECT_EQ(db.scalar("SELECT AVG(CASE WHEN x > 1 THEN 1 ELSE 0 END) FROM (SELECT 1 x UNION ALL SELECT 2) t"), "0");
    EXPECT_EQ(db.scalar("SELECT CAST(AVG(x) AS varchar(20)) FROM (SELECT 1 x UNION ALL SELECT 2.5) t"), "1.750000")
        << "int beside decimal(2,1) is decimal(11,1); its AVG has six decimals";

    db.exec("CREATE TABLE Line (Price money NOT NULL, Qty int NOT NULL)\n"
            "INSERT INTO Line VALUES (1, 1)\nINSERT INTO Line VALUES (0.01, 1)\nINSERT INTO Line VALUES (1, 2)");
    db.exec("CREATE VIEW Two AS SELECT 1 x UNION ALL SELECT 2");
    db.exec("CREATE VIEW Amount AS SELECT Price * Qty AS Total FROM Line");
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM Two"), "1");
    EXPECT_EQ(db.scalar("SELECT CAST(AVG(Total) AS varchar(20)) FROM Amount"), "1.00") << "money: 3.01 / 3 cut";
    EXPECT_EQ(number(db, "SELECT AVG(Total) FROM Amount"), 1.0033);
    db.exec("DROP VIEW Two\nCREATE VIEW Two AS SELECT 1.5 x UNION ALL SELECT 2");
    EXPECT_EQ(number(db, "SELECT AVG(x) FROM Two"), 1.75) << "a view made again under the name has its new types";
}

TEST(ExactNumerics, DecimalsAndMoneyWrittenAsTextKeepTheirDecimals)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE T (D decimal(9,2) NOT NULL, M money NOT NULL)\nINSERT INTO T VALUES (1.5, 1234.5)");
    EXPECT_EQ(db.rows("SELECT CAST(D AS varchar(20)), CAST(D * 2 AS varchar(20)), CAST(1.50 AS varchar(10)) FROM T"),
              QStringList{"1.50|3.00|1.50"});
    EXPECT_EQ(db.rows("SELECT CAST(M AS varchar(20)), CONVERT(varchar(20), M, 0), CONVERT(varchar(20), M, 1), "
                      "CONVERT(varchar(20), M, 2) FROM T"),
              QStringList{"1234.50|1234.50|1,234.50|1234.5000"});
    EXPECT_EQ(db.scalar("SELECT CAST(CAST(2.345 AS money) AS varchar(20))"), "2.35") << "money rounds to two decimals";
}

TEST(ExactNumerics, RealColumnsHoldFourByteFloats)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Disc (Id int NOT NULL, R real NOT NULL, F float NOT NULL)");
    db.exec("INSERT INTO Disc VALUES (1, 0.15, 0.15)\nUPDATE Disc SET R = R + 0.1 WHERE Id = 0");
    EXPECT_EQ(number(db, "SELECT R FROM Disc"), double(0.15f));
    EXPECT_EQ(number(db, "SELECT F FROM Disc"), 0.15);
    db.exec("UPDATE Disc SET R = 0.35");
    EXPECT_EQ(number(db, "SELECT R FROM Disc"), double(0.35f)) << "an update stores four bytes too";

    // Arithmetic with a real is real: four bytes at every step, not a double.
    EXPECT_EQ(number(db, "SELECT CAST(1 AS real) / 3"), double(1.0f / 3.0f));
    EXPECT_EQ(number(db, "SELECT 1 - R FROM Disc"), double(1.0f - 0.35f));
    EXPECT_EQ(number(db, "SELECT CAST(1552.6 AS money) * (1 - R) FROM Disc"), double(1552.6f * (1.0f - 0.35f)));
    EXPECT_DOUBLE_EQ(number(db, "SELECT F / 3 FROM Disc"), 0.05) << "float stays eight bytes";
    EXPECT_EQ(number(db, "SELECT SUM(R) FROM Disc"), double(0.35f)) << "SUM of real is a float";
}

TEST(ExactNumerics, WhatNoDecimalHoldsStillCalculates)
{
    EmbeddedDb db;
    EXPECT_DOUBLE_EQ(number(db, "SELECT CAST(1 AS float) / 3 * 3"), 1.0);
    EXPECT_DOUBLE_EQ(number(db, "SELECT CAST(1e300 AS float) * 1e5"), 1e305);
    EXPECT_EQ(db.errorOf("SELECT CAST(1e300 AS float) * 1e10"),
              "Arithmetic overflow error converting expression to data type float.");
}

TEST(ExactNumerics, IntOverflowsUnlessABigintTakesPart)
{
    EmbeddedDb db;
    EXPECT_EQ(db.errorOf("SELECT 65536 * 65536"), "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(db.scalar("SELECT CONVERT(bigint, 65536) * 65536"), "4294967296");
    EXPECT_EQ(db.scalar("SELECT (CONVERT(bigint, 70000) + 1) % 1000003 * (70000 % 1000003)"), "4900070000");
    EXPECT_EQ(db.scalar("SELECT 2147483648 + 1"), "2147483649") << "a literal past int is not an int";
    EXPECT_EQ(db.errorOf("SELECT ABS(CAST(-2147483648 AS int))"),
              "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(db.scalar("SELECT ABS(CAST(-2147483648 AS bigint))"), "2147483648");
}

TEST(ExactNumerics, WholeNumberColumnsAndVariablesHoldOnlyTheirRange)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE W (I int NULL, S smallint NULL, T tinyint NULL)\nINSERT INTO W VALUES (1, 1, 1)");
    const QString intOverflow = "Arithmetic overflow error converting expression to data type int.";
    EXPECT_EQ(db.errorOf("INSERT INTO W (I) VALUES (2147483648)"), intOverflow);
    EXPECT_EQ(db.errorOf("INSERT INTO W (I) SELECT 3000000000"), intOverflow);
    EXPECT_EQ(db.errorOf("UPDATE W SET I = 3000000000"), intOverflow);
    EXPECT_EQ(db.errorOf("INSERT INTO W (S) VALUES (40000)"), "Arithmetic overflow error for data type smallint, value = 40000.");
    EXPECT_EQ(db.errorOf("INSERT INTO W (T) VALUES (256)"), "Arithmetic overflow error for data type tinyint, value = 256.");
    EXPECT_EQ(db.errorOf("INSERT INTO W (I) VALUES ('abc')"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
    EXPECT_EQ(db.errorOf("DECLARE @i int\nSET @i = 2147483648"), intOverflow);
    EXPECT_EQ(db.errorOf("DECLARE @t tinyint = -1"), "Arithmetic overflow error for data type tinyint, value = -1.");
    db.exec("INSERT INTO W VALUES ('12', 2.7, 255)\nINSERT INTO W (I) VALUES (:Big)", {{"Big", 2147483647}});
    EXPECT_EQ(db.rows("SELECT I, S, T FROM W ORDER BY I"),
              (QStringList{"1|1|1", "12|2|255", "2147483647|<null>|<null>"}))
        << "text and decimals are converted as SQL Server converts them; nothing out of range got in";
}

TEST(ExactNumerics, DivisionTakesTheQuotientsScaleAndCutsThere)
{
    EmbeddedDb db;
    // decimal(10,2) / the constant 3, a decimal(1,0): scale max(6, 2 + 1 + 1) = 6, the rest cut off.
    EXPECT_EQ(db.scalar("SELECT CAST(CAST(1 AS decimal(10,2)) / 3 AS varchar(40))"), "0.333333");
    EXPECT_EQ(number(db, "SELECT CAST(1 AS decimal(10,2)) / 3"), 0.333333);
    EXPECT_EQ(number(db, "SELECT CAST(2 AS decimal(10,2)) / 3"), 0.666666) << "cut, not rounded";
    EXPECT_EQ(db.scalar("SELECT CAST(1.0 / 3 AS varchar(40))"), "0.333333") << "a constant counts its own digits";
    EXPECT_EQ(db.scalar("SELECT CAST(CAST(1 AS decimal(10,2)) / CAST(3 AS int) AS varchar(40))"), "0.3333333333333")
        << "an int that is not a constant is a decimal(10,0)";
    EXPECT_EQ(number(db, "SELECT CAST(2 AS decimal(5,1)) / CAST(3 AS decimal(2,0))"), 0.666666)
        << "decimal(5,1) / decimal(2,0): six decimals";
    EXPECT_EQ(number(db, "SELECT 0.3 / 0.1"), 3.0) << "exact, not the binary 2.9999999999999996";
    EXPECT_EQ(number(db, "SELECT CAST(10 AS money) / 3"), 3.3333);
    EXPECT_EQ(number(db, "DECLARE @m money = 10\nDECLARE @d decimal(10,2) = 1\nSELECT @m / 3 + @d / 3"),
              3.3333 + 0.333333)
        << "variables carry their declared types";
    EXPECT_EQ(number(db, "SELECT CAST(1 AS money) / CAST(18.4172 AS money)"), 0.0542) << "money cuts too";
    EXPECT_EQ(number(db, "SELECT CAST(18.4172 AS money) * CAST(1.1562 AS money)"), 21.294) << "a money product rounds";
    EXPECT_EQ(db.scalar("SELECT 7 / 2"), "3") << "int by int stays int";
    EXPECT_DOUBLE_EQ(number(db, "SELECT CAST(1 AS float) / 3"), 1.0 / 3) << "float is not cut";
    EXPECT_EQ(db.errorOf("SELECT CAST(1 AS decimal(10,2)) / 0"), "Divide by zero error encountered.");

    db.exec("CREATE TABLE L (Price decimal(18,4) NOT NULL, Qty int NOT NULL)\nINSERT INTO L VALUES (10, 3)");
    EXPECT_EQ(number(db, "SELECT Price / Qty FROM L"), 3.333333333333333) << "decimal(18,4) / int: 15 decimals";
}

TEST(ExactNumerics, SumHasTheTypeSqlServerGivesIt)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE S (I int NOT NULL, B bigint NOT NULL, D decimal(5,2) NOT NULL)\n"
            "INSERT INTO S VALUES (2147483647, 2147483647, 999.99)\nINSERT INTO S VALUES (1, 1, 999.99)");
    EXPECT_EQ(db.errorOf("SELECT SUM(I) FROM S"), "Arithmetic overflow error converting expression to data type int.")
        << "a sum of ints is an int";
    EXPECT_EQ(db.scalar("SELECT SUM(B) FROM S"), "2147483648");
    EXPECT_EQ(number(db, "SELECT SUM(D) FROM S"), 1999.98) << "decimal(38,2): past what decimal(5,2) holds";
    EXPECT_EQ(db.scalar("SELECT SUM(I) FROM S WHERE I = 1"), "1");
}

TEST(ExactNumerics, InsertSelectRoundsIntoTypedColumnsAsValuesDoes)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Src (Id int NOT NULL, V float NOT NULL)\nINSERT INTO Src VALUES (1, 2.71828)\n"
            "INSERT INTO Src VALUES (2, 0.15)");
    db.exec("CREATE TABLE Dst (Id int NOT NULL, M money NULL, R real NULL)");
    db.exec("INSERT INTO Dst (Id, M, R) SELECT Id, V, V FROM Src");
    EXPECT_EQ(number(db, "SELECT M FROM Dst WHERE Id = 1"), 2.7183);
    EXPECT_EQ(number(db, "SELECT R FROM Dst WHERE Id = 2"), double(0.15f));
    EXPECT_EQ(db.errorOf("INSERT INTO Dst (Id, M) SELECT 3, CAST(1e20 AS float)"),
              "Arithmetic overflow error converting expression to data type money.");
}

TEST(ExactNumerics, DecimalColumnsKeepTheirScaleAndPrecision)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE D (Id int NOT NULL, V decimal(5,2) NULL)\nINSERT INTO D VALUES (1, 1.005)\n"
            "INSERT INTO D (Id, V) SELECT 2, 2.675\nINSERT INTO D VALUES (3, NULL)\nUPDATE D SET V = -0.125 WHERE Id = 3");
    EXPECT_EQ(db.rows("SELECT Id, V FROM D ORDER BY Id"), (QStringList{"1|1.01", "2|2.68", "3|-0.13"}))
        << "rounded half away from zero on the written digits";
    EXPECT_EQ(db.errorOf("INSERT INTO D VALUES (4, 1000)"),
              "Arithmetic overflow error converting int to data type numeric.");
}

} // namespace
