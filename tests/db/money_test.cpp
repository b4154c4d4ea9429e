// Amounts held exactly: from text, from what an engine hands back (doubles
// included), to text; and a Decimal(18,4) price read through a query.

#include "support/TestSite.h"

#include "db/DbError.h"
#include "db/Money.h"

#include <gtest/gtest.h>

namespace {

using db::Money;

TEST(Money, TextIsReadExactlyAndRoundedHalfAwayFromZeroAtFourDecimals)
{
    const struct {
        const char* text;
        qint64 units;
    } rows[] = {
        {"19.99", 199900},     {" -5 ", -50000},      {".5", 5000},           {"+0.0001", 1},
        {"1.23455", 12346},    {"-1.23455", -12346},  {"0.99995", 10000},     {"2400.00009", 24000001},
        {"1.23449999", 12345}, {"99999999999999.9999", 999999999999999999LL}, {"0", 0},
        {"7.", 70000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto m = Money::fromText(QString::fromLatin1(row.text));
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->units(), row.units);
    }
    for (const char* bad : {"", " ", "-", ".", "1e3", "1,000", "12a", "1.2.3", "100000000000000", "--1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Money::fromText(QString::fromLatin1(bad)).has_value());
    }
}

TEST(Money, DoublesComeBackAsTheDecimalTheyStandFor)
{
    EXPECT_EQ(Money::fromVariant(QVariant(19.99)).units(), 199900);
    EXPECT_EQ(Money::fromVariant(QVariant(0.1 + 0.2)).units(), 3000) << "0.30000000000000004";
    EXPECT_EQ(Money::fromVariant(QVariant(-1234.5678)).units(), -12345678);
    EXPECT_EQ(Money::fromVariant(QVariant(1e-300)).units(), 0);
    EXPECT_EQ(Money::fromVariant(QVariant(qint64(220))).units(), 2200000);
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("205.50"))).units(), 2055000);
    EXPECT_TRUE(Money::fromVariant(QVariant()).isZero()) << "NULL reads as 0";
    EXPECT_THROW(Money::fromVariant(QVariant(1e20)), db::DbError);
    EXPECT_THROW(Money::fromVariant(QVariant(QStringLiteral("abc"))), db::DbError);
}

TEST(Money, TextKeepsTheDecimalsThatMatter)
{
    EXPECT_EQ(Money::fromUnits(199900).toString(), "19.99");
    EXPECT_EQ(Money::fromUnits(2200000).toString(), "220");
    EXPECT_EQ(Money::fromUnits(2200000).toString(2), "220.00");
    EXPECT_EQ(Money::fromUnits(12345).toString(2), "1.2345");
    EXPECT_EQ(Money::fromUnits(-5000).toString(2), "-0.50");
    EXPECT_EQ(Money::fromUnits(0).toString(2), "0.00");
    EXPECT_LT(Money::fromUnits(-1), Money());
}

TEST(Money, StoredPricesReadBackExactly)
{
    TestSite site;
    site.business(QStringLiteral("Create Table Prices (Price Decimal(18,4) Null)\n"
                                 "Insert Into Prices Values (19.99)\nInsert Into Prices Values (0.07)\n"
                                 "Insert Into Prices Values (123456789.1234)\nInsert Into Prices Values (Null)"));
    db::Query q(QStringLiteral("SITE_BUSINESS"));
    q.setSql({QStringLiteral("Select Price From Prices")});
    q.open();
    QStringList read;
    for (; !q.eof(); q.next())
        read << q.asMoney(QStringLiteral("Price")).toString();
    EXPECT_EQ(read, (QStringList{"19.99", "0.07", "123456789.1234", "0"}));
}

} // namespace
