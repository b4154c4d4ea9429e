// Date text and the date built-ins.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

// ---------------------------------------------------------------------------
// Dates

TEST(SqlServerDateText, ParsesTheFormsSqlServerAcceptsInLiterals)
{
    using db::sqlite::parseDateTime;
    const QDateTime jan5(QDate(2024, 1, 5), QTime(0, 0));
    const QDateTime jan5At(QDate(2024, 1, 5), QTime(13, 45, 10, 123));
    EXPECT_EQ(parseDateTime(u"2024-01-05 13:45:10.123"), jan5At);
    EXPECT_EQ(parseDateTime(u"2024-01-05"), jan5);
    EXPECT_EQ(parseDateTime(u"2024-01-05 13:45"), QDateTime(QDate(2024, 1, 5), QTime(13, 45)));
    EXPECT_EQ(parseDateTime(u"2024-01-05 13:45:10"), QDateTime(QDate(2024, 1, 5), QTime(13, 45, 10)));
    EXPECT_EQ(parseDateTime(u"2024-01-05T13:45:10.123"), jan5At);
    EXPECT_EQ(parseDateTime(u"2024-01-05T13:45:10"), QDateTime(QDate(2024, 1, 5), QTime(13, 45, 10)));
    EXPECT_EQ(parseDateTime(u"01/05/2024"), jan5);
    EXPECT_EQ(parseDateTime(u"1/5/2024 13:45:10"), QDateTime(QDate(2024, 1, 5), QTime(13, 45, 10)));
    EXPECT_EQ(parseDateTime(u"20240105"), jan5);
    EXPECT_EQ(parseDateTime(u"20240105 13:45"), QDateTime(QDate(2024, 1, 5), QTime(13, 45)));
    EXPECT_EQ(parseDateTime(u"  2024-01-05  "), jan5);
    EXPECT_EQ(parseDateTime(u"Jan  5 2024  1:45PM"), QDateTime(QDate(2024, 1, 5), QTime(13, 45)));
    EXPECT_EQ(parseDateTime(u"Jan  5 2024 12:00AM"), jan5);
    EXPECT_EQ(parseDateTime(u"2024-01-05 12:30 PM"), QDateTime(QDate(2024, 1, 5), QTime(12, 30)));
    EXPECT_EQ(parseDateTime(u"2024-02-29"), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(parseDateTime(u"2024-01-05 10:00:00.5"), QDateTime(QDate(2024, 1, 5), QTime(10, 0, 0, 500)));

    for (const char16_t* bad : {u"", u"   ", u"abc", u"2024-13-01", u"2023-02-29", u"2024-04-31", u"20240230",
                                u"2024-01-05 24:00", u"2024-01-05 10:60", u"2024-01-05 10:00:60",
                                u"2024-01-05 10:00:00.1234", u"13/01/2024", u"2024-01-05 x", u"2024/01",
                                u"2024-01-05T", u"01/05/2024T10:00", u"12345-01-01"})
        EXPECT_EQ(parseDateTime(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
}

TEST(SqlServerDateText, CanonicalFormRoundTrips)
{
    using db::sqlite::canonicalDateTime;
    using db::sqlite::parseDateTime;
    EXPECT_EQ(canonicalDateTime(QDateTime(QDate(2024, 1, 5), QTime(9, 5, 3, 7))), "2024-01-05 09:05:03.007");
    EXPECT_EQ(canonicalDateTime(QDateTime(QDate(1753, 1, 1), QTime(0, 0))), "1753-01-01 00:00:00.000");
    std::mt19937 rng(99);
    for (int k = 0; k < 2000; ++k) {
        const QDate date = QDate(1753, 1, 1).addDays(qint64(rng() % 3000000));
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(rng() % 86400000));
        const QDateTime dt(date, time);
        const QString text = canonicalDateTime(dt);
        ASSERT_EQ(text.size(), 23) << text.toStdString();
        ASSERT_EQ(parseDateTime(text), dt) << text.toStdString();
    }
}

TEST_F(SqlServerFunctionsTest, YearMonthDayFromTextAndDayNumbers)
{
    EXPECT_EQ(integer("SELECT ms_year('2024-01-05 13:45:10.123')"), 2024);
    EXPECT_EQ(integer("SELECT ms_month('2024-01-05')"), 1);
    EXPECT_EQ(integer("SELECT ms_day('12/25/2023')"), 25);
    EXPECT_EQ(integer("SELECT ms_day('20240229')"), 29);
    EXPECT_EQ(integer("SELECT ms_year(0)"), 1900);
    EXPECT_EQ(integer("SELECT ms_month(31)"), 2);
    EXPECT_EQ(integer("SELECT ms_day(45294)"), 5);
    EXPECT_EQ(integer("SELECT ms_year(-1)"), 1899);
    EXPECT_TRUE(isNull("SELECT ms_year(NULL)"));
    EXPECT_EQ(error("SELECT ms_month('not a date')"), kDateConversion);
}

TEST_F(SqlServerFunctionsTest, DateaddKeepsMonthEndsAndTicks)
{
    EXPECT_EQ(text("SELECT ms_dateadd('month', 1, '2024-01-31')"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('MM', -1, '2024-03-31 08:00:00.000')"), "2024-02-29 08:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('yy', 1, '2024-02-29 08:00:00.000')"), "2025-02-28 08:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('quarter', 1, '2024-11-30')"), "2025-02-28 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('d', -1, '2024-03-01')"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('wk', 2, '2024-12-25')"), "2025-01-08 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('hh', 25, '2024-01-05 10:00:00.000')"), "2024-01-06 11:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('mi', -90, '2024-01-05 00:30:00.000')"), "2024-01-04 23:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('SECOND', 59, '2024-01-05 00:00:01.000')"), "2024-01-05 00:01:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('ms', 1, '2024-01-05 00:00:00.000')"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('ms', 2, '2024-01-05 00:00:00.000')"), "2024-01-05 00:00:00.003");
    EXPECT_EQ(text("SELECT ms_dateadd('day', 1, 0)"), "1900-01-02 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_dateadd('day', 2.9, '2024-01-05')"), "2024-01-07 00:00:00.000");
    EXPECT_EQ(error("SELECT ms_dateadd('fortnight', 1, '2024-01-05')"), "'fortnight' is not a recognized dateadd option.");
    EXPECT_EQ(error("SELECT ms_dateadd('year', 8000, '2024-01-05')"),
              "Adding a value to a 'datetime' column caused an overflow.");
    EXPECT_EQ(error("SELECT ms_dateadd('day', 1, 'soon')"), kDateConversion);
    EXPECT_TRUE(isNull("SELECT ms_dateadd('day', NULL, '2024-01-05')"));
}

TEST_F(SqlServerFunctionsTest, DatediffCountsBoundariesCrossed)
{
    EXPECT_EQ(integer("SELECT ms_datediff('year', '2023-12-31 23:59:59', '2024-01-01')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('yyyy', '2024-01-01', '2024-12-31')"), 0);
    EXPECT_EQ(integer("SELECT ms_datediff('month', '2024-01-31', '2024-02-01')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('q', '2024-03-31', '2024-04-01')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('day', '2024-01-01 23:59', '2024-01-02 00:01')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('dd', '2024-03-01', '2024-02-01')"), -29);
    EXPECT_EQ(integer("SELECT ms_datediff('week', '2024-01-06', '2024-01-07')"), 1);  // Saturday to Sunday
    EXPECT_EQ(integer("SELECT ms_datediff('wk', '2024-01-07', '2024-01-13')"), 0);   // Sunday to Saturday
    EXPECT_EQ(integer("SELECT ms_datediff('hour', '2024-01-05 10:59:59', '2024-01-05 11:00:00')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('mi', '2024-01-05 10:00:59', '2024-01-05 10:01:00')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('ss', '2024-01-05 10:00:00.900', '2024-01-05 10:00:01.100')"), 1);
    EXPECT_EQ(integer("SELECT ms_datediff('ms', '2024-01-05 10:00:00.000', '2024-01-05 10:00:01.500')"), 1500);
    EXPECT_EQ(integer("SELECT ms_datediff('day', 0, '1900-01-31')"), 30);
    EXPECT_EQ(error("SELECT ms_datediff('ms', '2000-01-01', '2024-01-01')"),
              "The datediff function resulted in an overflow. The number of dateparts separating two date/time "
              "instances is too large. Try to use datediff with a less precise datepart.");
    EXPECT_EQ(error("SELECT ms_datediff('days', '2000-01-01', '2024-01-01')"),
              "'days' is not a recognized datediff option.");
}

TEST_F(SqlServerFunctionsTest, DatepartWithUsEnglishWeeks)
{
    const std::string ts = "'2024-08-15 13:45:10.123'";
    EXPECT_EQ(integer("SELECT ms_datepart('year', " + ts + ")"), 2024);
    EXPECT_EQ(integer("SELECT ms_datepart('qq', " + ts + ")"), 3);
    EXPECT_EQ(integer("SELECT ms_datepart('m', " + ts + ")"), 8);
    EXPECT_EQ(integer("SELECT ms_datepart('dy', " + ts + ")"), 228);
    EXPECT_EQ(integer("SELECT ms_datepart('Day', " + ts + ")"), 15);
    EXPECT_EQ(integer("SELECT ms_datepart('hh', " + ts + ")"), 13);
    EXPECT_EQ(integer("SELECT ms_datepart('n', " + ts + ")"), 45);
    EXPECT_EQ(integer("SELECT ms_datepart('s', " + ts + ")"), 10);
    EXPECT_EQ(integer("SELECT ms_datepart('ms', " + ts + ")"), 123);
    EXPECT_EQ(integer("SELECT ms_datepart('dayofyear', '2024-12-31')"), 366);
    // Sunday is day 1 and starts a week; 2024-01-01 was a Monday.
    EXPECT_EQ(integer("SELECT ms_datepart('weekday', '2024-01-07')"), 1);
    EXPECT_EQ(integer("SELECT ms_datepart('dw', '2024-01-06')"), 7);
    EXPECT_EQ(integer("SELECT ms_datepart('dw', '1900-01-01')"), 2);
    EXPECT_EQ(integer("SELECT ms_datepart('week', '2024-01-01')"), 1);
    EXPECT_EQ(integer("SELECT ms_datepart('week', '2024-01-06')"), 1);
    EXPECT_EQ(integer("SELECT ms_datepart('wk', '2024-01-07')"), 2);
    EXPECT_EQ(integer("SELECT ms_datepart('ww', '2024-12-31')"), 53);
    EXPECT_EQ(error("SELECT ms_datepart('xx', '2024-01-01')"), "'xx' is not a recognized datepart option.");
}

TEST_F(SqlServerFunctionsTest, GetdateIsLocalNowInTheStoredForm)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    const std::string now = text("SELECT ms_getdate()");
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    ASSERT_EQ(now.size(), 23u);
    const auto parsed = db::sqlite::parseDateTime(QString::fromStdString(now));
    ASSERT_TRUE(parsed.has_value()) << now;
    EXPECT_EQ(QString::fromStdString(now), db::sqlite::canonicalDateTime(*parsed));
    EXPECT_GE(*parsed, before);
    EXPECT_LE(*parsed, after);
}

TEST_F(SqlServerFunctionsTest, OnlyGetdateIsBarredFromIndexes)
{
    exec("CREATE TABLE p (name TEXT, price REAL)");
    exec("CREATE INDEX p_name ON p (ms_upper(name))");
    exec("CREATE INDEX p_price ON p (ms_round(price, 2))");
    std::string message;
    column("CREATE INDEX p_now ON p (ms_datediff('day', ms_getdate(), name))", &message);
    EXPECT_NE(message.find("non-deterministic"), std::string::npos) << message;
}

TEST_F(SqlServerFunctionsTest, DatenameGivesMonthAndWeekdayNames)
{
    EXPECT_EQ(text("SELECT ms_datename('yy', '1997-08-25')"), "1997");
    EXPECT_EQ(text("SELECT ms_datename('month', '1997-08-25')"), "August");
    EXPECT_EQ(text("SELECT ms_datename('dw', '1997-08-25')"), "Monday");
    EXPECT_EQ(text("SELECT ms_datename('day', '19970805')"), "5");
    EXPECT_EQ(error("SELECT ms_datename('fortnight', '1997-08-25')"), "'fortnight' is not a recognized datename option.");
    EXPECT_TRUE(isNull("SELECT ms_datename('yy', NULL)"));
}

} // namespace
