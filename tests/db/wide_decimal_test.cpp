// Money and decimals past the fifteen digits a double carries, through the
// whole embedded engine (each case a small statement with the answer SQL
// Server gives) and through the built-ins on a bare SQLite connection.

#include "SqlServerFunctionsTest.h"
#include "support/EmbeddedDb.h"

#include "db/StoredProc.h"
#include "db/sqlite/WideDecimal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using dbtest::SqlServerFunctionsTest;
using namespace db::sqlite;

std::vector<std::string> texts(const std::vector<dbtest::Value>& rows)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.text);
    return out;
}

const QString kMoneyTop = QStringLiteral("CAST('922337203685477.5807' AS money)");
const QString kWide = QStringLiteral("CAST('12345678901234567.89' AS decimal(38,2))");

// ---------------------------------------------------------------------------
// Conversions in

TEST(WideDecimals, MoneyTakesItsWholeRangeExactly)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT " + kMoneyTop), "922337203685477.5807");
    EXPECT_EQ(db.scalar("SELECT CAST('-922337203685477.5808' AS money)"), "-922337203685477.5808");
    EXPECT_EQ(db.scalar("SELECT CAST('922337203685477.58074' AS money)"), "922337203685477.5807")
        << "rounded to four decimals, then within the range";
    const QString moneyOverflow = "Arithmetic overflow error converting expression to data type money.";
    EXPECT_EQ(db.errorOf("SELECT CAST('922337203685477.5808' AS money)"), moneyOverflow);
    EXPECT_EQ(db.errorOf("SELECT CAST('-922337203685477.5809' AS money)"), moneyOverflow);
    EXPECT_EQ(db.errorOf("SELECT CAST('922337203685477.58075' AS money)"), moneyOverflow) << "rounds past the top";

    EXPECT_EQ(db.rows("SELECT CAST('214748.3647' AS smallmoney), CAST('-214748.3648' AS smallmoney)"),
              QStringList{"214748.3647|-214748.3648"});
    EXPECT_EQ(db.errorOf("SELECT CAST('214748.3648' AS smallmoney)"),
              "Arithmetic overflow error converting expression to data type smallmoney.");
    EXPECT_EQ(db.scalar("SELECT CAST('$1,234,567,890,123.4567' AS money)"), "1234567890123.4567")
        << "money text with a currency sign and separators";
}

TEST(WideDecimals, DecimalsKeepThirtyEightDigits)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT CAST('99999999999999.9999' AS decimal(18,4))"), "99999999999999.9999");
    EXPECT_EQ(db.scalar("SELECT " + kWide), "12345678901234567.89");
    EXPECT_EQ(db.scalar("SELECT CAST('-0.12345678901234567890123456789012345678' AS decimal(38,38))"),
              "-0.12345678901234567890123456789012345678");
    EXPECT_EQ(db.scalar("SELECT CAST('99999999999999999999999999999999999999' AS decimal(38,0))"),
              "99999999999999999999999999999999999999");
    EXPECT_EQ(db.scalar("SELECT CAST('1234567890123456789.5' AS decimal(19,0))"), "1234567890123456790")
        << "rounded half away from zero on the written digits";
    EXPECT_EQ(db.scalar("SELECT CAST('-9223372036854775808' AS decimal(19,0)) + 0"), "-9223372036854775808")
        << "a whole number that 64 bits hold stays whole";
    EXPECT_EQ(db.errorOf("SELECT CAST(" + kWide + " AS decimal(16,0))"),
              "Arithmetic overflow error converting numeric to data type numeric.");
    EXPECT_EQ(db.errorOf("SELECT CAST(" + kWide + " AS money)"),
              "Arithmetic overflow error converting expression to data type money.");
    EXPECT_EQ(db.scalar("SELECT CAST(CAST('12345678901234.56789' AS decimal(38,5)) AS money)"), "12345678901234.5679");
}

// ---------------------------------------------------------------------------
// Conversions out

TEST(WideDecimals, WideValuesConvertToEveryOtherType)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT CAST(" + kWide + " AS bigint)"), "12345678901234567") << "a decimal is cut";
    EXPECT_EQ(db.scalar("SELECT CAST(-" + kWide + " AS bigint)"), "-12345678901234567");
    EXPECT_EQ(db.scalar("SELECT CAST(" + kMoneyTop + " AS bigint)"), "922337203685478") << "money rounds";
    EXPECT_EQ(db.errorOf("SELECT CAST(" + kMoneyTop + " AS int)"),
              "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(db.errorOf("SELECT CAST(CAST('99999999999999999999.5' AS decimal(38,1)) AS bigint)"),
              "Arithmetic overflow error converting expression to data type bigint.");
    EXPECT_EQ(db.open("SELECT CAST(" + kWide + " AS float)")->valueAt(0, 0).toDouble(), 12345678901234567.89)
        << "the nearest double";
    EXPECT_EQ(db.open("SELECT CAST(" + kWide + " AS real)")->valueAt(0, 0).toDouble(),
              double(float(12345678901234567.89)));
    EXPECT_EQ(db.scalar("SELECT CAST(" + kWide + " AS bit)"), "1");

    EXPECT_EQ(db.rows("SELECT CAST(" + kWide + " AS varchar(40)), CAST(" + kMoneyTop + " AS varchar(40)), CONVERT(varchar(40), "
                      + kMoneyTop + ", 1), CONVERT(varchar(40), " + kMoneyTop + ", 2)"),
              QStringList{"12345678901234567.89|922337203685477.58|922,337,203,685,477.58|922337203685477.5807"});
    EXPECT_EQ(db.scalar("SELECT CAST(CAST(-" + kWide + " AS decimal(38,4)) AS nvarchar(40))"), "-12345678901234567.8900");
}

TEST_F(SqlServerFunctionsTest, AWideValueOfUnknownTypeConvertsToTextAsADecimal)
{
    const std::string wide = "ms_convert('decimal(38,2)', '12345678901234567.89')";
    EXPECT_EQ(one("SELECT " + wide).type, SQLITE_BLOB) << "past fifteen digits it travels wide";
    EXPECT_EQ(text("SELECT ms_convert('varchar(30)', " + wide + ")"), "12345678901234567.89");
    EXPECT_EQ(text("SELECT ms_convert('varchar(30)', " + wide + ", 1)"), "12,345,678,901,234,567.89");
    EXPECT_EQ(error("SELECT ms_convert('varchar(10)', " + wide + ")"),
              "Arithmetic overflow error converting numeric to data type varchar.");
    EXPECT_EQ(error("SELECT ms_convert('nvarchar(10)', " + wide + ")"),
              "Arithmetic overflow error converting numeric to data type nvarchar.");
    EXPECT_TRUE(isNull("SELECT ms_try_convert('varchar(10)', " + wide + ")"));

    // A BLOB that is no number stays the bytes it is.
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', x'414243')"), "ABC");
    EXPECT_EQ(integer("SELECT ms_len(x'41FF42')"), 3);
    EXPECT_EQ(integer("SELECT ms_datalength(x'FFDE')"), 2);
}

// ---------------------------------------------------------------------------
// Rounding and other number functions

TEST(WideDecimals, RoundingFunctionsKeepEveryDigit)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows("SELECT ROUND(" + kWide + ", 1), ROUND(" + kWide + ", 1, 1), ROUND(-" + kWide + ", 0)"),
              QStringList{"12345678901234567.9|12345678901234567.8|-12345678901234568"})
        << "rounded, truncated, and half away from zero below zero";
    EXPECT_EQ(db.open("SELECT ROUND(" + kWide + ", -2)")->valueAt(0, 0).toDouble(), 12345678901234600.0)
        << "fifteen digits left: a double carries them";
    EXPECT_EQ(db.scalar("SELECT ROUND(CAST('99999999999999999.99' AS decimal(38,2)), 1)"), "100000000000000000")
        << "a carry through every digit";
    EXPECT_EQ(db.rows("SELECT FLOOR(" + kWide + "), CEILING(" + kWide + "), FLOOR(-" + kWide + "), CEILING(-" + kWide + ")"),
              QStringList{"12345678901234567|12345678901234568|-12345678901234568|-12345678901234567"});
    EXPECT_EQ(db.rows("SELECT FLOOR(CAST('-12345678901234567' AS decimal(38,0))), "
                      "CEILING(CAST('0.1234567890123456789' AS decimal(38,19)))"),
              QStringList{"-12345678901234567|1"});
    EXPECT_EQ(db.rows("SELECT ABS(-" + kWide + "), SIGN(-" + kWide + "), SIGN(" + kWide + ")"),
              QStringList{"12345678901234567.89|-1|1"});
    EXPECT_EQ(db.scalar("SELECT STR(" + kWide + ", 25, 2)"), "     12345678901234568.00") << "STR takes a float";
    EXPECT_EQ(db.scalar("SELECT STR(" + kWide + ", 10)"), "**********");
    EXPECT_EQ(db.open("SELECT SQRT(" + kWide + ")")->valueAt(0, 0).toDouble(), std::sqrt(12345678901234567.89));
    EXPECT_EQ(db.scalar("SELECT ISNUMERIC(" + kWide + ")"), "1");
    EXPECT_EQ(db.scalar("SELECT LEFT('abcdef', CAST('3.99999999999999999' AS decimal(38,17)))"), "abc")
        << "a length argument is cut to a whole number";
}

// ---------------------------------------------------------------------------
// Sums

TEST(WideDecimals, SumsOfMoneyPastFifteenDigitsAreExact)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Line (Id int NOT NULL PRIMARY KEY, Price money NOT NULL, Amount decimal(38,4) NOT NULL)");
    QStringList batch;
    for (int i = 1; i <= 1000; ++i)
        batch << QStringLiteral("INSERT INTO Line VALUES (%1, CAST('123456789012.3456' AS money), "
                                "CAST('123456789012.3456' AS decimal(38,4)))").arg(i);
    db.exec(batch.join('\n'));
    EXPECT_EQ(db.rows("SELECT SUM(Price), SUM(Amount), COUNT(*) FROM Line"),
              QStringList{"123456789012345.6|123456789012345.6|1000"})
        << "sixteen digits: a double's sum would end ...345.59375";
    EXPECT_EQ(db.scalar("SELECT CAST(SUM(Price) AS varchar(40)) FROM Line"), "123456789012345.60");
    EXPECT_EQ(db.scalar("SELECT CAST(AVG(Amount) AS varchar(40)) FROM Line"), "123456789012.345600");

    // Wide terms, and a total that leaves the range a double counts in exactly.
    db.exec("UPDATE Line SET Price = CAST('922337203685.4775' AS money), Amount = CAST('-99999999999999.9999' AS decimal(38,4))");
    EXPECT_EQ(db.rows("SELECT SUM(Price), SUM(Amount) FROM Line WHERE Id <= 10"),
              QStringList{"9223372036854.775|-999999999999999.999"});
    EXPECT_EQ(db.scalar("SELECT SUM(Amount) FROM Line"), "-99999999999999999.9");
}

TEST_F(SqlServerFunctionsTest, SumsOverAWindowTakeWideRowsOffAgain)
{
    exec("CREATE TABLE t (id INTEGER, v)");
    exec("INSERT INTO t VALUES (1, ms_convert('decimal(38,2)', '12345678901234567.89')), (2, 0.01), "
         "(3, ms_convert('decimal(38,2)', '-12345678901234567.89')), (4, 1.5)");
    const auto rows = column("SELECT ms_convert('varchar(40)', ms_sum_exact(v) OVER (ORDER BY id ROWS 1 PRECEDING)) "
                             "FROM t ORDER BY id");
    EXPECT_EQ(texts(rows), (std::vector<std::string>{"12345678901234567.89", "12345678901234567.9", "-12345678901234567.88",
                                              "-12345678901234566.39"}));
    EXPECT_EQ(one("SELECT ms_sum(v) FROM t WHERE id IN (2, 4)").type, SQLITE_FLOAT);
    EXPECT_EQ(real("SELECT ms_sum_exact(v) FROM t WHERE id IN (2, 4)"), 1.51) << "a money total of few digits is a REAL";
    EXPECT_EQ(text("SELECT ms_convert('varchar(40)', ms_avg_exact(v)) FROM t WHERE id IN (1, 2)"), "6172839450617283.95");
    EXPECT_EQ(real("SELECT ms_avg_exact(column1) FROM (VALUES (1), (2))"), 1.5) << "a decimal(p,0) of whole numbers";
    EXPECT_EQ(integer("SELECT ms_sum_exact(column1) FROM (VALUES (1), (2))"), 3);
}

// ---------------------------------------------------------------------------
// Text of wide values

TEST(WideDecimals, TextFunctionsReadTheDigitsNeverTheBytes)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows("SELECT LEN(" + kWide + "), CONCAT('x', " + kWide + ", 'y'), REPLACE(" + kWide + ", '.', ','), "
                      "CHARINDEX('.', " + kWide + ")"),
              QStringList{"20|x12345678901234567.89y|12345678901234567,89|18"});
    EXPECT_EQ(db.scalar("SELECT CASE WHEN " + kWide + " LIKE '%567.8_' THEN 1 ELSE 0 END"), "1");
    EXPECT_EQ(db.rows("SELECT '[' + LTRIM(" + kWide + ") + ']', RTRIM(-" + kWide + "), UPPER(" + kWide + ")"),
              QStringList{"[12345678901234567.89]|-12345678901234567.89|12345678901234567.89"});
    EXPECT_EQ(db.rows("SELECT '[' + LTRIM('  a b  ') + ']', '[' + RTRIM('  a b  ') + ']', LTRIM(NULL), RTRIM(12)"),
              QStringList{"[a b  ]|[  a b]|<null>|12"})
        << "other values trim as before";
    EXPECT_EQ(db.scalar("SELECT DATALENGTH(" + kWide + ")"), "9") << "a decimal of nineteen digits";
    EXPECT_EQ(db.scalar("SELECT CAST('1' + " + kWide + " AS varchar(40))"), "12345678901234568.89")
        << "varchar beside a number is that number";
}

// ---------------------------------------------------------------------------
// Storage and the access layer

TEST(WideDecimals, StoredValuesComeBackThroughQueryAsExactText)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Item (Id int NOT NULL PRIMARY KEY, Price money NULL, Big decimal(38,6) NULL)");
    db.exec("INSERT INTO Item VALUES (1, '922337203685477.5807', '-12345678901234567890.123456')\n"
            "INSERT INTO Item VALUES (2, 263.5, 1.5)\n"
            "INSERT INTO Item (Id, Price) SELECT 3, Price - 1 FROM Item WHERE Id = 1");
    auto q = db.open("SELECT Id, Price, Big FROM Item ORDER BY Id");
    ASSERT_EQ(q->recordCount(), 3);
    EXPECT_EQ(q->valueAt(0, 1), QVariant(QStringLiteral("922337203685477.5807")));
    EXPECT_EQ(q->valueAt(0, 2), QVariant(QStringLiteral("-12345678901234567890.123456")));
    EXPECT_EQ(q->valueAt(1, 1).toDouble(), 263.5) << "a value a double carries is still a double";
    EXPECT_EQ(q->valueAt(2, 1).toString(), "922337203685476.5807");

    db.exec("CREATE TABLE Code (Id int NOT NULL, C char(24) NULL)\nINSERT INTO Code VALUES (1, " + kWide + ")");
    EXPECT_EQ(db.scalar("SELECT '[' + C + ']' FROM Code"), "[12345678901234567.89    ]") << "a char column holds the digits";

    // Through a variable and a batch's rows.
    EXPECT_EQ(db.scalar("DECLARE @p money\nSELECT @p = Price FROM Item WHERE Id = 1\nSELECT @p"), "922337203685477.5807");
    EXPECT_EQ(db.scalar("DECLARE @d decimal(38,10) = '1234567890123456789012345678.0123456789'\nSELECT @d"),
              "1234567890123456789012345678.0123456789");
    EXPECT_EQ(db.rows("DECLARE @s varchar(40) = " + kWide + "\nDECLARE @b bigint = CAST('1234567890123456789' AS "
                      "decimal(19,0))\nDECLARE @f float = " + kWide + "\nSELECT @s, @b, @f - 12345678901234567"),
              QStringList{"12345678901234567.89|1234567890123456789|1"})
        << "variables of other types take the digits; a float the nearest double, ...568";
    db.exec("CREATE PROCEDURE TopPrice @Price money OUTPUT AS SELECT @Price = MAX(Price) FROM Item WHERE Id = 1");
    db::StoredProc sp(db.alias(), "TopPrice");
    sp.addParam("@Price", db::ParamDirection::Output);
    sp.execProc();
    EXPECT_EQ(sp.asString("@Price"), "922337203685477.5807") << "a procedure's output";

    EXPECT_EQ(db.errorOf("DECLARE @m money = '922337203685477.5808'"),
              "Arithmetic overflow error converting expression to data type money.");
    EXPECT_EQ(db.errorOf("DECLARE @d decimal(20,2) = '12345678901234567890.5'"),
              "Arithmetic overflow error converting varchar to data type numeric.");
}

// ---------------------------------------------------------------------------
// The encoding

fn::Decimal decimal(const char* text)
{
    const auto* p = reinterpret_cast<const fn::u8*>(text);
    return *fn::Decimal::fromText(p, p + std::strlen(text), true);
}

TEST(WideDecimalKeys, KeysCompareAsTheNumbersAndReadBack)
{
    // In ascending order: signs, exponents far apart, and numbers that are
    // prefixes of each other's digits.
    const char* ascending[] = {
        "-1e120", "-12345678901234567890.5", "-100", "-10.5", "-10", "-9.99", "-1.5", "-1.05", "-1", "-0.5", "-0.05",
        "-1e-100", "0", "1e-100", "0.05", "0.5", "1", "1.05", "1.5", "9.99", "10", "10.5", "100",
        "922337203685477.5807", "12345678901234567890.5", "1e120",
    };
    std::vector<std::string> keys;
    for (const char* text : ascending) {
        SCOPED_TRACE(text);
        const fn::Decimal d = decimal(text);
        keys.push_back(fn::encodeNumberKey(d));
        fn::Decimal back;
        ASSERT_TRUE(fn::decodeNumberKey(keys.back().data(), int(keys.back().size()), back));
        EXPECT_EQ(fn::decimalText(back, 0), fn::decimalText(d, 0));
        EXPECT_EQ(back.negative, d.negative);
    }
    for (std::size_t i = 1; i < keys.size(); ++i)
        EXPECT_LT(keys[i - 1], keys[i]) << ascending[i - 1] << " < " << ascending[i];
    EXPECT_EQ(fn::encodeNumberKey(decimal("1.50")), fn::encodeNumberKey(decimal("001.5"))) << "one number, one key";

    fn::Decimal out;
    const unsigned char notKeys[][6] = {{0xFF, 0xDE}, {0xFF, 0xDF, 0x02}, {0xFF, 0xDE, 0x03, 0x81, 'x'},
                                        {0xFF, 0xDE, 0x01, 0x7E, '8'}};
    const int sizes[] = {2, 3, 5, 5};
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(fn::decodeNumberKey(notKeys[i], sizes[i], out)) << i;
}

TEST_F(SqlServerFunctionsTest, SqlKeysOfMixedNumbersSortAsTheNumbers)
{
    exec("CREATE TABLE n (v)");
    exec("INSERT INTO n VALUES (3), (-2.5), (ms_convert('money', '922337203685477.5807')), (0), "
         "(ms_convert('decimal(38,2)', '-12345678901234567.89')), (0.001), (-2)");
    const auto rows = column("SELECT ms_convert('varchar(40)', ms_unkey(k)) FROM (SELECT ms_key(v) k FROM n) ORDER BY k");
    EXPECT_EQ(texts(rows), (std::vector<std::string>{"-12345678901234567.89", "-2.5", "-2", "0", "0.001", "3",
                                               "922337203685477.5807"}));
    EXPECT_EQ(one("SELECT ms_unkey(ms_key(9223372036854775807))").i, 9223372036854775807LL)
        << "a bigint comes back whole";
}

} // namespace
