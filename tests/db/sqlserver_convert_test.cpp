// CONVERT to each type, with SQL Server's styles and messages.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

// ---------------------------------------------------------------------------
// CONVERT

TEST_F(SqlServerFunctionsTest, ConvertToCharacterTypes)
{
    EXPECT_EQ(text("SELECT ms_convert('char(5)', 'ab')"), "ab   ");
    EXPECT_EQ(text("SELECT ms_convert('char(3)', 'abcdef')"), "abc");
    EXPECT_EQ(text("SELECT ms_convert('varchar(3)', 'abcdef')"), "abc");
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', 'ab  ')"), "ab  ");
    EXPECT_EQ(text("SELECT ms_convert('nchar(4)', 'กข')"), "กข  ");
    EXPECT_EQ(text("SELECT ms_convert('nvarchar(3)', 'กรุงเทพ')"), "กรุ");
    EXPECT_EQ(text("SELECT ms_convert('varchar', '" + std::string(40, 'x') + "')"), std::string(30, 'x'));
    EXPECT_EQ(text("SELECT ms_convert('varchar(max)', '" + std::string(40, 'x') + "')"), std::string(40, 'x'));
    EXPECT_EQ(text("SELECT ms_convert('text', 'abc')"), "abc");
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', 12)"), "12");
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', -12.5)"), "-12.5");
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', 12.0)"), "12");
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', 0.1 + 0.2)"), "0.3");
    EXPECT_EQ(text("SELECT ms_convert('char(6)', 42)"), "42    ");
    // Too long: an int shows '*', other numbers fail.
    EXPECT_EQ(text("SELECT ms_convert('char(2)', 123)"), "* ");
    EXPECT_EQ(text("SELECT ms_convert('varchar(2)', 123)"), "*");
    EXPECT_EQ(error("SELECT ms_convert('nvarchar(2)', 123)"),
              "Arithmetic overflow error converting expression to data type nvarchar.");
    EXPECT_EQ(error("SELECT ms_convert('char(3)', 12.5)"),
              "Arithmetic overflow error converting numeric to data type varchar.");
    // The money styles for amounts.
    EXPECT_EQ(text("SELECT ms_convert('varchar(20)', 1234567.5, 1)"), "1,234,567.50");
    EXPECT_EQ(text("SELECT ms_convert('varchar(20)', -1234.5, 1)"), "-1,234.50");
    EXPECT_EQ(text("SELECT ms_convert('varchar(20)', 12.5, 2)"), "12.5000");
}

TEST_F(SqlServerFunctionsTest, ConvertDecimalKeepsScaleThroughDecimalText)
{
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('decimal(10,2)', 12.345)"), 12.35);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('decimal(10,2)', '12.345')"), 12.35);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('decimal(10,2)', 2.675)"), 2.68);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('numeric(10,3)', -2.0005)"), -2.001);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('decimal(28,2)', 7)"), 7.0);
    EXPECT_EQ(integer("SELECT ms_convert('decimal', 12.5)"), 13);
    EXPECT_EQ(integer("SELECT ms_convert('numeric(5)', -12.5)"), -13);
    EXPECT_EQ(error("SELECT ms_convert('decimal(4,2)', 123.4)"),
              "Arithmetic overflow error converting numeric to data type numeric.");
    EXPECT_EQ(error("SELECT ms_convert('decimal(4,2)', 100)"),
              "Arithmetic overflow error converting int to data type numeric.");
    EXPECT_EQ(error("SELECT ms_convert('decimal(10,2)', 'abc')"), "Error converting data type varchar to numeric.");
    EXPECT_EQ(error("SELECT ms_convert('decimal(10,2)', '')"), "Error converting data type varchar to numeric.");

    EXPECT_EQ(text("SELECT ms_decimal_text(12.5, 2)"), "12.50");
    EXPECT_EQ(text("SELECT ms_decimal_text(2.675, 2)"), "2.68");
    EXPECT_EQ(text("SELECT ms_decimal_text(-2.675, 2)"), "-2.68");
    EXPECT_EQ(text("SELECT ms_decimal_text(-0.004, 2)"), "0.00");
    EXPECT_EQ(text("SELECT ms_decimal_text(1234, 0)"), "1234");
    EXPECT_EQ(text("SELECT ms_decimal_text(1234, 3)"), "1234.000");
    EXPECT_EQ(text("SELECT ms_decimal_text('12.345', 1)"), "12.3");
    EXPECT_EQ(text("SELECT ms_decimal_text(0.5, 0)"), "1");
    EXPECT_EQ(text("SELECT ms_convert('char(10)', ms_decimal_text(ms_convert('decimal(10,2)', 12.5), 2))"),
              "12.50     ");
    EXPECT_TRUE(isNull("SELECT ms_decimal_text(NULL, 2)"));
}

TEST_F(SqlServerFunctionsTest, ConvertToIntegerTypes)
{
    EXPECT_EQ(integer("SELECT ms_convert('int', 12.9)"), 12);
    EXPECT_EQ(integer("SELECT ms_convert('int', -12.9)"), -12);
    EXPECT_EQ(integer("SELECT ms_convert('integer', ' 12 ')"), 12);
    EXPECT_EQ(integer("SELECT ms_convert('int', '-7')"), -7);
    EXPECT_EQ(integer("SELECT ms_convert('smallint', -32768)"), -32768);
    EXPECT_EQ(integer("SELECT ms_convert('tinyint', 255)"), 255);
    EXPECT_EQ(integer("SELECT ms_convert('bigint', 3000000000)"), 3000000000LL);
    EXPECT_EQ(error("SELECT ms_convert('int', '12.5')"),
              "Conversion failed when converting the varchar value '12.5' to data type int.");
    EXPECT_EQ(error("SELECT ms_convert('int', 'abc')"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
    EXPECT_EQ(error("SELECT ms_convert('smallint', 'x1')"),
              "Conversion failed when converting the varchar value 'x1' to data type smallint.");
    EXPECT_EQ(error("SELECT ms_convert('int', 3000000000)"),
              "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(error("SELECT ms_convert('int', 3e9)"),
              "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(error("SELECT ms_convert('tinyint', 300)"), "Arithmetic overflow error for data type tinyint, value = 300.");
    EXPECT_EQ(error("SELECT ms_convert('tinyint', -1)"), "Arithmetic overflow error for data type tinyint, value = -1.");
    EXPECT_EQ(error("SELECT ms_convert('int', '3000000000')"),
              "The conversion of the varchar value '3000000000' overflowed an int column.");

    EXPECT_EQ(integer("SELECT ms_convert('bit', 5)"), 1);
    EXPECT_EQ(integer("SELECT ms_convert('bit', 0.0)"), 0);
    EXPECT_EQ(integer("SELECT ms_convert('bit', 'TRUE')"), 1);
    EXPECT_EQ(integer("SELECT ms_convert('bit', ' false ')"), 0);
    EXPECT_EQ(integer("SELECT ms_convert('bit', '0')"), 0);
    EXPECT_EQ(error("SELECT ms_convert('bit', 'yes')"),
              "Conversion failed when converting the varchar value 'yes' to data type bit.");
}

TEST_F(SqlServerFunctionsTest, ConvertToFloatMoneyAndUnknownTypes)
{
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('float', '1e3')"), 1000.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('float', ' -2.5 ')"), -2.5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('float', 7)"), 7.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('real', 0.1)"), double(0.1f));
    EXPECT_EQ(error("SELECT ms_convert('float', 'abc')"), "Error converting data type varchar to float.");
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('money', 12.34567)"), 12.3457);
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('money', '$1,234.5')"), 1234.5);
    EXPECT_EQ(error("SELECT ms_convert('money', 'abc')"),
              "Cannot convert a char value to money. The char value has incorrect syntax.");
    EXPECT_EQ(error("SELECT ms_convert('blob', 1)"), "Type blob is not a defined system type.");
    EXPECT_EQ(error("SELECT ms_convert('varchar(9000)', 'a')"),
              "The size (9000) given to the type 'varchar' exceeds the maximum allowed for any data type (8000).");
    EXPECT_EQ(error("SELECT ms_convert('decimal(10,12)', 1)"), "The scale must be less than or equal to the precision.");
    EXPECT_TRUE(isNull("SELECT ms_convert('int', NULL)"));
    EXPECT_TRUE(isNull("SELECT ms_convert('varchar', '2024-01-05 00:00:00.000', NULL)"));
}

TEST_F(SqlServerFunctionsTest, ConvertTextToDatetime)
{
    EXPECT_EQ(text("SELECT ms_convert('datetime', '2024-01-05')"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '01/05/2024')"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '05/01/2024', 103)"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '05/01/2024 14:30', 103)"), "2024-01-05 14:30:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '01/05/2024', 101)"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '20240105', 112)"), "2024-01-05 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '2024-01-05 13:45:10', 120)"), "2024-01-05 13:45:10.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', 1)"), "1900-01-02 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', 1.25)"), "1900-01-02 06:00:00.000");
    // datetime keeps 1/300 s.
    EXPECT_EQ(text("SELECT ms_convert('datetime', '2024-01-05 10:00:00.001')"), "2024-01-05 10:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '2024-01-05 10:00:00.995')"), "2024-01-05 10:00:00.997");
    EXPECT_EQ(text("SELECT ms_convert('datetime', '2024-12-31 23:59:59.999')"), "2025-01-01 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('smalldatetime', '2024-01-05 10:00:29.998')"), "2024-01-05 10:00:00.000");
    EXPECT_EQ(text("SELECT ms_convert('smalldatetime', '2024-01-05 10:00:29.999')"), "2024-01-05 10:01:00.000");
    EXPECT_EQ(text("SELECT ms_convert('date', '2024-01-05 13:45:00')"), "2024-01-05 00:00:00.000");

    // Text datetime cannot read at all, and a day that does not exist (or
    // lies before 1753), are two errors; date names both as the first.
    const char* const outOfRange =
        "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.";
    EXPECT_EQ(error("SELECT ms_convert('datetime', 'garbage')"), kDateConversion);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '02/30/2024')"), outOfRange);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '13/01/2024', 101)"), outOfRange);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '1700-01-01')"), outOfRange);
    EXPECT_EQ(error("SELECT ms_convert('date', '02/30/2024')"), kDateConversion);
}

TEST_F(SqlServerFunctionsTest, ConvertDatetimeToTextInEachStyle)
{
    const std::string d = "'2024-01-05 13:45:10.123'";
    struct Case {
        int style;
        const char* expected;
    };
    const Case cases[] = {
        {101, "01/05/2024"},          {103, "05/01/2024"},          {111, "2024/01/05"},
        {112, "20240105"},            {120, "2024-01-05 13:45:10"}, {121, "2024-01-05 13:45:10.123"},
        {108, "13:45:10"},            {23, "2024-01-05"},           {1, "01/05/24"},
        {3, "05/01/24"},              {104, "05.01.2024"},          {106, "05 Jan 2024"},
        {107, "Jan 05, 2024"},        {110, "01-05-2024"},          {100, "Jan  5 2024  1:45PM"},
        {126, "2024-01-05T13:45:10.123"},
    };
    for (const Case& c : cases) {
        const std::string sql = "SELECT ms_convert('varchar(30)', " + d + ", " + std::to_string(c.style) + ")";
        EXPECT_EQ(text(sql), c.expected) << sql;
    }
    EXPECT_EQ(text("SELECT ms_convert('varchar', " + d + ")"), "Jan  5 2024  1:45PM");
    EXPECT_EQ(text("SELECT ms_convert('varchar', '2024-01-05 00:00:00.000')"), "Jan  5 2024 12:00AM");
    EXPECT_EQ(text("SELECT ms_convert('varchar', '2024-11-25 12:05:00.000')"), "Nov 25 2024 12:05PM");
    EXPECT_EQ(text("SELECT ms_convert('char(10)', " + d + ", 120)"), "2024-01-05");
    EXPECT_EQ(text("SELECT ms_convert('char(12)', " + d + ", 103)"), "05/01/2024  ");
    EXPECT_EQ(error("SELECT ms_convert('varchar', " + d + ", 999)"),
              "999 is not a valid style number when converting from datetime to a character string.");
    // A style means nothing to text that is not a date.
    EXPECT_EQ(text("SELECT ms_convert('varchar(10)', 'abc', 103)"), "abc");
}

TEST_F(SqlServerFunctionsTest, ConvertDatetimeToNumbersCountsDaysFrom1900)
{
    EXPECT_EQ(integer("SELECT ms_convert('int', '1900-01-01 00:00:00.000')"), 0);
    EXPECT_EQ(integer("SELECT ms_convert('int', '2024-01-05 11:59:59.997')"), 45294);
    EXPECT_EQ(integer("SELECT ms_convert('int', '2024-01-05 12:00:00.000')"), 45295);  // rounds to the nearer day
    EXPECT_DOUBLE_EQ(real("SELECT ms_convert('float', '1900-01-02 18:00:00.000')"), 1.75);
}

} // namespace
