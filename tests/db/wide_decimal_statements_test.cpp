// Money and decimals with more digits than a double carries, through whole
// statements of the embedded engine and db::Query: each case a small
// statement with the answer SQL Server gives. The access layer hands such a
// value out as its exact text without trailing zeros, so 12345678901234567.90
// reads "12345678901234567.9". The mixed rows below put wide values (past 15
// digits) beside ordinary ones, negatives and a NULL, so that SQLite's own
// order (every BLOB after every number) would show in each answer.

#include "db/sqlite/SqliteEngine.h"
#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

// Id 1..7 with values whose order is 3, 4, 7, 2, 5, 1 (6 is NULL).
const QString kMixed = QStringLiteral(
    "(SELECT 1 Id, 12345678901234567.89 V UNION ALL SELECT 2, 5 UNION ALL SELECT 3, -12345678901234567.89 "
    "UNION ALL SELECT 4, -3.5 UNION ALL SELECT 5, 12345678901234567.8 UNION ALL SELECT 6, NULL "
    "UNION ALL SELECT 7, 0.0000000000000000001)");

QString overMixed(const QString& select, const QString& rest = QString())
{
    return select + QStringLiteral(" FROM ") + kMixed + QStringLiteral(" t ") + rest;
}

// The first column of each "a|b" row.
QStringList firstColumn(const QStringList& rows)
{
    QStringList out;
    for (const QString& r : rows)
        out << r.section(QLatin1Char('|'), 0, 0);
    return out;
}

TEST(WideLiterals, NumbersPastFifteenDigitsAreReadAsWritten)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT 922337203685477.5807"), "922337203685477.5807") << "the largest money";
    EXPECT_EQ(db.scalar("SELECT -922337203685477.5808"), "-922337203685477.5808");
    EXPECT_EQ(db.scalar("SELECT 12345678901234567.89"), "12345678901234567.89");
    EXPECT_EQ(db.scalar("SELECT 12345678901234567890"), "12345678901234567890") << "decimal(20,0), past 64 bits";
    EXPECT_EQ(db.scalar("SELECT -(12345678901234567.89)"), "-12345678901234567.89") << "a minus before parentheses";
    EXPECT_EQ(db.rows("SELECT - -12345678901234567.89, - -5, 1"), QStringList{"12345678901234567.89|5|1"})
        << "two signs cancel";
    EXPECT_EQ(db.scalar("SELECT 0.1234567890123456789"), "0.1234567890123456789");
    EXPECT_EQ(db.scalar("SELECT 1234567890123456789"), "1234567890123456789") << "64 bits hold it: a whole number";
    EXPECT_EQ(db.scalar("SELECT 1.50000000000000000000 * 2"), "3") << "trailing zeros are no digits";
    EXPECT_EQ(db.scalar("SELECT 1 WHERE 12345678901234567.89 = 12345678901234567.890"), "1");
    EXPECT_EQ(db.scalar("SELECT 1 WHERE 12345678901234567.89 IN (1, 12345678901234567.89)"), "1");
    EXPECT_EQ(db.scalar("SELECT 1 WHERE 12345678901234567.89 = 12345678901234567.88"), "")
        << "a double would take both for 12345678901234568";
}

TEST(WideArithmetic, SumsDifferencesAndProductsKeepEveryDigit)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT 12345678901234567.89 + 0.01"), "12345678901234567.9");
    EXPECT_EQ(db.scalar("SELECT 12345678901234567.89 - 12345678901234567.88"), "0.01");
    EXPECT_EQ(db.scalar("SELECT 922337203685477.5807 - 0.0001"), "922337203685477.5806");
    EXPECT_EQ(db.scalar("SELECT 1234567890.12 * 1234567890.12"), "1524157875315348393.6144")
        << "decimal(12,2) * decimal(12,2): decimal(25,4), exact";
    EXPECT_EQ(db.scalar("SELECT 99999999.99 * 99999999.99 + 0.0001"), "9999999998000000.0002");
    EXPECT_EQ(db.scalar("SELECT 12345678901234567.89 / 10"), "1234567890123456.789");
    EXPECT_EQ(db.scalar("SELECT -12345678901234567.89 * -1"), "12345678901234567.89");
}

TEST(WideArithmetic, WholeDecimalsPastSixtyFourBitsAreNoBigintOverflow)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT 3000000000 * 4000000000 * 1000"), "12000000000000000000000")
        << "decimal(10,0) products are decimals, not bigints";
    EXPECT_EQ(db.scalar("SELECT 9223372036854775807 + 1"), "9223372036854775808") << "decimal(19,0) + int";
    EXPECT_EQ(db.errorOf("SELECT CONVERT(bigint, 9223372036854775807) + 1"),
              "Arithmetic overflow error converting expression to data type bigint.")
        << "a bigint still overflows at 64 bits";
    EXPECT_EQ(db.errorOf("SELECT 65536 * 65536"), "Arithmetic overflow error converting expression to data type int.");
}

TEST(WideOrdering, RangesCompareTheNumbersNotTheirForms)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V > 0 ORDER BY Id")), (QStringList{"1", "2", "5", "7"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V < 0 ORDER BY Id")), (QStringList{"3", "4"}))
        << "a negative wide value is below zero";
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V >= 12345678901234567.8 ORDER BY Id")), (QStringList{"1", "5"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V <= -3.5 ORDER BY Id")), (QStringList{"3", "4"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE 1 > V ORDER BY Id")), (QStringList{"3", "4", "7"}))
        << "the number first";
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V BETWEEN -4 AND 12345678901234567.85 ORDER BY Id")),
              (QStringList{"2", "4", "5", "7"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V BETWEEN -12345678901234568 AND 6 ORDER BY Id")),
              (QStringList{"2", "3", "4", "7"}))
        << "ordinary bounds";
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V NOT BETWEEN -1 AND 1 ORDER BY Id")),
              (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V NOT BETWEEN -4 AND 12345678901234567.85 ORDER BY Id")),
              (QStringList{"1", "3"}))
        << "NULL is in neither";
    EXPECT_EQ(db.rows("SELECT a.Id FROM " + kMixed + " a JOIN " + kMixed + " b ON b.Id = a.Id + 1 WHERE a.V > b.V"),
              (QStringList{"1", "2"}))
        << "a column beside a column";
}

TEST(WideOrdering, ParametersAndVariablesCompareAsNumbers)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V > :Low ORDER BY Id"), {{"Low", 5}}), (QStringList{"1", "5"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V > :Low ORDER BY Id"), {{"Low", -4.5}}),
              (QStringList{"1", "2", "4", "5", "7"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V < :High ORDER BY Id"), {{"High", QStringLiteral("0")}}),
              (QStringList{"3", "4"}))
        << "the text of a number bound as a parameter";
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "WHERE V < CAST(:High AS decimal(9,2)) ORDER BY Id"),
                      {{"High", QStringLiteral("-3.25")}}),
              (QStringList{"3", "4"}));
    EXPECT_EQ(db.rows("DECLARE @low decimal(9,2) = 1\n" + overMixed("SELECT Id", "WHERE V > @low ORDER BY Id")),
              (QStringList{"1", "2", "5"}));
}

TEST(WideOrdering, OrderByAndWindowsPlaceWideValuesAmongTheOthers)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "ORDER BY V, Id")), (QStringList{"6", "3", "4", "7", "2", "5", "1"}))
        << "NULL first, as SQL Server sorts it";
    EXPECT_EQ(db.rows(overMixed("SELECT Id", "ORDER BY V DESC, Id")), (QStringList{"1", "5", "2", "7", "4", "3", "6"}));
    EXPECT_EQ(db.rows(overMixed("SELECT TOP 2 V", "ORDER BY t.V DESC")),
              (QStringList{"12345678901234567.89", "12345678901234567.8"}));
    EXPECT_EQ(firstColumn(db.rows(overMixed("SELECT Id, -V Negated", "ORDER BY Negated, Id"))),
              (QStringList{"6", "1", "5", "2", "7", "4", "3"}))
        << "a result column by its alias";
    EXPECT_EQ(firstColumn(db.rows(overMixed("SELECT Id, V * 2", "ORDER BY 2 DESC, 1"))),
              (QStringList{"1", "5", "2", "7", "4", "3", "6"}))
        << "by its ordinal";
    const QString blocks = QStringLiteral(
        "SELECT 1 Id, 12345678901234567.89 V UNION ALL SELECT 2, 5 UNION SELECT 3, -12345678901234567.89 ");
    EXPECT_EQ(firstColumn(db.rows(blocks + "ORDER BY V")), (QStringList{"3", "2", "1"})) << "a UNION's column";
    EXPECT_EQ(firstColumn(db.rows(blocks + "ORDER BY 2 DESC, Id")), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(db.rows(overMixed("SELECT V", "WHERE Id IN (1, 2, 3) ORDER BY 1")),
              (QStringList{"-12345678901234567.89", "5", "12345678901234567.89"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id, ROW_NUMBER() OVER (ORDER BY V DESC)", "WHERE V IS NOT NULL ORDER BY Id")),
              (QStringList{"1|1", "2|3", "3|6", "4|5", "5|2", "7|4"}));
    EXPECT_EQ(db.rows(overMixed("SELECT Id, SUM(V) OVER (ORDER BY V)", "WHERE Id IN (1, 2, 3) ORDER BY Id")),
              (QStringList{"1|5", "2|-12345678901234562.89", "3|-12345678901234567.89"}))
        << "a running total in the numbers' order";
}

TEST(WideOrdering, RangesOnAnIndexedAmountColumnStillSearchItsIndex)
{
    // Enough rows that SQLite prefers the index to a scan when it can use it.
    EmbeddedDb db;
    db.exec("CREATE TABLE Amount (Id int NOT NULL PRIMARY KEY, D decimal(38,4) NULL, Note varchar(10) NULL)\n"
            "CREATE INDEX IX_Amount_D ON Amount (D)\n"
            "DECLARE @i int = 0\nWHILE @i < 200 BEGIN INSERT INTO Amount VALUES (@i, @i * 1.5, 'x') SET @i = @i + 1 END\n"
            "INSERT INTO Amount VALUES (-1, -12345678901234567.8912, 'wide')\n"
            "INSERT INTO Amount VALUES (-2, 12345678901234567.8912, 'wide')");
    auto& engine = dynamic_cast<db::sqlite::SqliteEngine&>(db.connection().engine());
    const struct {
        const char* condition;
        QStringList ids;
    } cases[] = {
        {"D > 297", {"-2", "199"}},
        {"D < 1.5", {"-1", "0"}},
        {"D BETWEEN -1 AND 1.5", {"0", "1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        const QString sql = QStringLiteral("SELECT Id, Note FROM Amount WHERE %1").arg(QLatin1String(c.condition));
        EXPECT_EQ(firstColumn(db.rows(sql + " ORDER BY Id")), c.ids);
        const QString plan = engine.explain(sql, {}).join(QLatin1Char('\n'));
        EXPECT_TRUE(plan.contains("USING INDEX Amount.IX_Amount_D") && !plan.contains("SCAN")) << plan.toStdString();
    }
}

TEST(WideOrdering, AScalarSubqueryHasTheTypeOfItsColumn)
{
    EmbeddedDb db;
    const QString total = "(SELECT SUM(V) FROM " + kMixed + " t WHERE t.Id = k.Id)";
    const QString ids = QStringLiteral("(SELECT 1 Id UNION ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4) k");
    EXPECT_EQ(db.rows("SELECT k.Id FROM " + ids + " WHERE " + total + " < 0 ORDER BY k.Id"), (QStringList{"3", "4"}));
    EXPECT_EQ(firstColumn(db.rows("SELECT k.Id, " + total + " Total FROM " + ids + " ORDER BY Total")),
              (QStringList{"3", "4", "2", "1"}));
}

TEST(WideAggregates, MinMaxSumAndAvgAreExact)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows(overMixed("SELECT MIN(V), MAX(V)")), QStringList{"-12345678901234567.89|12345678901234567.89"});
    EXPECT_EQ(db.rows(overMixed("SELECT MIN(V), MAX(V)", "WHERE Id IN (2, 4)")), QStringList{"-3.5|5"})
        << "ordinary values stay ordinary";
    EXPECT_EQ(db.rows(overMixed("SELECT MIN(V), MAX(V)", "WHERE Id = 6")), QStringList{"<null>|<null>"});
    EXPECT_EQ(db.scalar(overMixed("SELECT SUM(V)", "WHERE Id <> 7")), "12345678901234569.3");
    EXPECT_EQ(db.scalar(overMixed("SELECT SUM(V)", "WHERE Id IN (1, 3)")), "0");
    EXPECT_EQ(db.scalar(overMixed("SELECT AVG(V)", "WHERE Id IN (1, 5)")), "12345678901234567.845");
    EXPECT_EQ(db.scalar("SELECT SUM(x) FROM (SELECT 9999999999999.99 x UNION ALL SELECT 9999999999999.99 "
                        "UNION ALL SELECT 0.01) t"),
              "19999999999999.99") << "a total of ordinary values past 15 digits";
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM (SELECT 9999999999999.99 x UNION ALL SELECT 9999999999999.98) t"),
              "9999999999999.985");
    // DISTINCT totals are exact as well; a total of money is money, with its range.
    EXPECT_EQ(db.rows("SELECT SUM(DISTINCT x), AVG(DISTINCT x) FROM (SELECT 99999999999999.99 x UNION ALL "
                      "SELECT 99999999999999.99 UNION ALL SELECT 99999999999999.98) t"),
              QStringList{"199999999999999.97|99999999999999.985"});
    EXPECT_EQ(db.scalar("SELECT SUM(m) FROM (SELECT CAST(922337203685477.5806 AS money) m UNION ALL "
                        "SELECT CAST(0.0001 AS money)) t"),
              "922337203685477.5807");
    EXPECT_EQ(db.errorOf("SELECT SUM(m) FROM (SELECT CAST(922337203685477.5807 AS money) m UNION ALL "
                         "SELECT CAST(0.0001 AS money)) t"),
              "Arithmetic overflow error converting expression to data type money.");
}

TEST(WideGrouping, EqualValuesMeetInGroupsDistinctAndUnion)
{
    EmbeddedDb db;
    const QString twice = QStringLiteral(
        "(SELECT 12345678901234567.89 V UNION ALL SELECT 12345678901234567.890 UNION ALL SELECT 12345678901234567.8 "
        "UNION ALL SELECT 5 UNION ALL SELECT 5.00) t");
    EXPECT_EQ(db.rows("SELECT V, COUNT(*) FROM " + twice + " GROUP BY V ORDER BY V"),
              (QStringList{"5|2", "12345678901234567.8|1", "12345678901234567.89|2"}));
    EXPECT_EQ(db.scalar("SELECT COUNT(DISTINCT V) FROM " + twice), "3");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM (SELECT 12345678901234567.89 x UNION SELECT 12345678901234567.890 "
                        "UNION SELECT 1) u"),
              "2");
    // A whole number past fifteen digits made by decimal arithmetic is the
    // same value as one written or made by whole-number arithmetic.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM (SELECT 1234567890123456780 + 0.0 x UNION SELECT 1234567890123456780 "
                        "UNION SELECT CAST(1234567890123456780 AS decimal(19,0)) * 1) u"),
              "1");
    EXPECT_EQ(db.scalar("SELECT CASE WHEN CAST(123456789012345678 AS decimal(30,2)) * 10 = 1234567890123456780 "
                        "THEN 1 ELSE 0 END"),
              "1");
}

TEST(WideOrdering, MoneyAndDecimalColumnsStillSortAndCompare)
{
    // Ordinary amounts now compare through their keys: the answers stay
    // SQL Server's, text beside a number included.
    EmbeddedDb db;
    db.exec("CREATE TABLE P (Id int NOT NULL PRIMARY KEY, M money NULL, D decimal(18,4) NULL, S decimal(9,2) NULL)");
    db.exec("INSERT INTO P VALUES (1, 10, 10, 10)\nINSERT INTO P VALUES (2, -0.5, -0.5, -0.5)\n"
            "INSERT INTO P VALUES (3, 2.25, 2.25, 2.25)\nINSERT INTO P VALUES (4, NULL, NULL, NULL)");
    EXPECT_EQ(db.rows("SELECT Id FROM P ORDER BY M"), (QStringList{"4", "2", "3", "1"}));
    EXPECT_EQ(db.rows("SELECT Id FROM P ORDER BY D DESC"), (QStringList{"1", "3", "2", "4"}));
    EXPECT_EQ(db.rows("SELECT Id FROM P WHERE D > 2 ORDER BY Id"), (QStringList{"1", "3"}));
    EXPECT_EQ(db.rows("SELECT Id FROM P WHERE M BETWEEN 0 AND 5 ORDER BY Id"), QStringList{"3"});
    EXPECT_EQ(db.rows("SELECT Id FROM P WHERE D > '2' ORDER BY Id"), (QStringList{"1", "3"})) << "text converts";
    EXPECT_EQ(db.rows("SELECT Id FROM P WHERE M < S + 1 ORDER BY Id"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(db.rows("SELECT MIN(M), MAX(D), MIN(S) FROM P"), QStringList{"-0.5|10|-0.5"});
    EXPECT_EQ(db.rows("SELECT Id FROM P WHERE D = 2.25"), QStringList{"3"}) << "equality as before";
}


TEST(WideColumns, StoredWideAndOrdinaryValuesComeBackExactlyAndInOrder)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Ledger (Id int NOT NULL PRIMARY KEY, Amount decimal(38,2) NULL, Cash money NULL)");
    db.exec("INSERT INTO Ledger VALUES (1, 12345678901234567890123456.78, 922337203685477.5807)\n"
            "INSERT INTO Ledger VALUES (2, 0.5, 1.25)\n"
            "INSERT INTO Ledger VALUES (3, -12345678901234567890123456.78, -922337203685477.5808)\n"
            "INSERT INTO Ledger VALUES (4, -7, -7)\n"
            "INSERT INTO Ledger (Id, Amount, Cash) SELECT 5, Amount - 0.01, Cash - 0.0001 FROM Ledger WHERE Id = 1\n"
            "UPDATE Ledger SET Amount = Amount * 2 WHERE Id = 2");
    auto q = db.open("SELECT Id, Amount, Cash FROM Ledger ORDER BY Amount DESC");
    EXPECT_EQ(rowsOf(*q), (QStringList{"1|12345678901234567890123456.78|922337203685477.5807",
                                       "5|12345678901234567890123456.77|922337203685477.5806", "2|1|1.25",
                                       "4|-7|-7", "3|-12345678901234567890123456.78|-922337203685477.5808"}));
    EXPECT_EQ(db.rows("SELECT Id FROM Ledger WHERE Cash > 922337203685477 ORDER BY Cash"), (QStringList{"5", "1"}));
    EXPECT_EQ(db.rows("SELECT Id FROM Ledger WHERE Amount = 12345678901234567890123456.77"), QStringList{"5"});
    EXPECT_EQ(db.rows("SELECT MIN(Cash), MAX(Amount) FROM Ledger"),
              QStringList{"-922337203685477.5808|12345678901234567890123456.78"});
    EXPECT_EQ(db.open("SELECT Id FROM Ledger WHERE Amount < CAST(:Limit AS decimal(38,2)) ORDER BY Id",
                      {{"Limit", QStringLiteral("-12345678901234567890123456.77")}})
                  ->valueAt(0, 0)
                  .toString(),
              "3")
        << "the text of a wide decimal bound as a parameter";
}

TEST(WideColumns, AColumnOfAnotherTypeHoldsWhatTheAmountConvertsTo)
{
    // Text columns hold the amount's text as CAST writes it (money with two
    // decimals, a decimal with its scale), a float the nearest double, a
    // bigint the whole part; none keeps the wide value as it travels.
    EmbeddedDb db;
    db.exec("CREATE TABLE Other (Id int NOT NULL, T varchar(40) NULL, N nvarchar(max) NULL, F float NULL, "
            "B bigint NULL)");
    db.exec("INSERT INTO Other VALUES (1, 12345678901234567.89, CAST(922337203685477.5807 AS money), "
            "12345678901234567.89, 12345678901234567.89)\n"
            "INSERT INTO Other (Id, T, N) VALUES (2, CAST(1.5 AS money), CAST(2.5 AS decimal(10,3)))");
    EXPECT_EQ(db.rows("SELECT T, N, F, B FROM Other WHERE Id = 1"),
              QStringList{"12345678901234567.89|922337203685477.58|12345678901234568|12345678901234567"});
    EXPECT_EQ(db.rows("SELECT T, N FROM Other WHERE Id = 2"), QStringList{"1.50|2.500"});
    EXPECT_EQ(db.scalar("SELECT Id FROM Other WHERE T = '12345678901234567.89'"), "1") << "stored as text";
    EXPECT_EQ(db.scalar("SELECT Id FROM Other WHERE T LIKE '1.5%'"), "2");
    db.exec("UPDATE Other SET T = CAST(N'-922337203685477.5808' AS money) WHERE Id = 2");
    EXPECT_EQ(db.scalar("SELECT T FROM Other WHERE Id = 2"), "-922337203685477.58");
}

} // namespace
