// STR, ROUND and the other number built-ins.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

// ---------------------------------------------------------------------------
// STR

TEST_F(SqlServerFunctionsTest, StrRightJustifiesAndRounds)
{
    EXPECT_EQ(text("SELECT ms_str(123.45, 6, 1)"), " 123.5");
    EXPECT_EQ(text("SELECT ms_str(123.45, 6, 2)"), "123.45");
    EXPECT_EQ(text("SELECT ms_str(123.45)"), "       123");
    EXPECT_EQ(text("SELECT ms_str(2.5)"), "         3");
    EXPECT_EQ(text("SELECT ms_str(-2.5)"), "        -3");
    EXPECT_EQ(text("SELECT ms_str(0.125, 6, 2)"), "  0.13");
    EXPECT_EQ(text("SELECT ms_str(123, 8, 3)"), " 123.000");
    EXPECT_EQ(text("SELECT ms_str(-0.4)"), "         0");
    // Decimals give way before the whole part does.
    EXPECT_EQ(text("SELECT ms_str(1234567.89, 7, 2)"), "1234568");
    EXPECT_EQ(text("SELECT ms_str(1234567.89, 9, 2)"), "1234567.9");
    EXPECT_EQ(text("SELECT ms_str(1234567.89, 6, 2)"), "******");
    EXPECT_EQ(text("SELECT ms_str(123.45, 2, 2)"), "**");
    EXPECT_EQ(text("SELECT ms_str(-123, 3)"), "***");
    // The decimals that fit are counted on the value as given: rounding that
    // then lengthens the whole part overflows.
    EXPECT_EQ(text("SELECT ms_str(9999.998, 7, 2)"), "*******");
    EXPECT_EQ(text("SELECT ms_str(9999.998, 8, 2)"), "10000.00");
    EXPECT_EQ(text("SELECT ms_str(9.96, 3, 1)"), "***");
    EXPECT_EQ(text("SELECT ms_str('42.7', 4)"), "  43");
    EXPECT_TRUE(isNull("SELECT ms_str(NULL)"));
    EXPECT_EQ(error("SELECT ms_str('abc')"), "Error converting data type varchar to float.");
}

// ---------------------------------------------------------------------------
// Numbers

TEST_F(SqlServerFunctionsTest, RoundHalfAwayFromZero)
{
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(123.4545, 2)"), 123.45);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(123.455, 2)"), 123.46);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(2.675, 2)"), 2.68);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(2.5, 0)"), 3.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(-2.5, 0)"), -3.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(748.58, -1)"), 750.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(748.58, -2)"), 700.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(748.58, -3)"), 1000.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(748.58, -4)"), 0.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(150.75, 0, 1)"), 150.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_round(-150.75, 1, 1)"), -150.7);
    EXPECT_EQ(integer("SELECT ms_round(1250, -2)"), 1300);
    EXPECT_EQ(integer("SELECT ms_round(-1250, -2)"), -1300);
    EXPECT_EQ(integer("SELECT ms_round(1249, -2)"), 1200);
    EXPECT_EQ(integer("SELECT ms_round(1299, -2, 1)"), 1200);
    EXPECT_EQ(integer("SELECT ms_round(12, 2)"), 12);
    EXPECT_TRUE(isNull("SELECT ms_round(NULL, 2)"));
}

TEST_F(SqlServerFunctionsTest, FloorCeilingAbsSignPowerSqrt)
{
    EXPECT_DOUBLE_EQ(real("SELECT ms_floor(-1.5)"), -2.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_ceiling(-1.5)"), -1.0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_ceiling(1.2)"), 2.0);
    EXPECT_EQ(integer("SELECT ms_floor(7)"), 7);
    EXPECT_EQ(integer("SELECT ms_abs(-7)"), 7);
    EXPECT_DOUBLE_EQ(real("SELECT ms_abs(-7.25)"), 7.25);
    EXPECT_EQ(error("SELECT ms_abs(-9223372036854775807 - 1)"),
              "Arithmetic overflow error converting expression to data type bigint.");
    EXPECT_EQ(integer("SELECT ms_sign(-42)"), -1);
    EXPECT_EQ(integer("SELECT ms_sign(0)"), 0);
    EXPECT_DOUBLE_EQ(real("SELECT ms_sign(0.5)"), 1.0);
    // POWER answers in the type of its base.
    EXPECT_EQ(integer("SELECT ms_power(2, 10)"), 1024);
    EXPECT_EQ(integer("SELECT ms_power(2, -1)"), 0);
    EXPECT_EQ(integer("SELECT ms_power(2, 0.5)"), 1);
    EXPECT_EQ(integer("SELECT ms_power(-3, 3)"), -27);
    EXPECT_DOUBLE_EQ(real("SELECT ms_power(2.0, -1)"), 0.5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_power(9.0, 0.5)"), 3.0);
    EXPECT_EQ(error("SELECT ms_power(10, 19)"), "Arithmetic overflow error converting expression to data type bigint.");
    EXPECT_DOUBLE_EQ(real("SELECT ms_sqrt(16)"), 4.0);
    EXPECT_EQ(error("SELECT ms_sqrt(-1)"), "An invalid floating point operation occurred.");
    EXPECT_TRUE(isNull("SELECT ms_sqrt(NULL)"));
}

TEST_F(SqlServerFunctionsTest, IsnumericAndIsdate)
{
    struct Case {
        const char* expr;
        int expected;
    };
    const Case numeric[] = {
        {"12", 1},     {"'12'", 1},   {"' 12.5 '", 1}, {"'-1e5'", 1}, {"'$1,234.50'", 1}, {"'฿100'", 1},
        {"'.'", 1},    {"'-'", 1},    {"'$'", 1},      {"'12abc'", 0}, {"''", 0},          {"'   '", 0},
        {"'1 2'", 0},  {"'abc'", 0},  {"NULL", 0},     {"'1e'", 0},    {"'สิบ'", 0},       {"2.5", 1},
    };
    for (const Case& c : numeric) {
        const std::string sql = std::string("SELECT ms_isnumeric(") + c.expr + ")";
        EXPECT_EQ(integer(sql), c.expected) << sql;
    }
    const Case dates[] = {
        {"'2024-01-05'", 1},      {"'01/05/2024'", 1}, {"'20240105'", 1},   {"20240105", 1},
        {"'2024-02-30'", 0},      {"'abc'", 0},        {"''", 0},           {"NULL", 0},
        {"'1700-01-01'", 0},      {"'2024-01-05 25:00'", 0},                {"'Jan  5 2024 12:00AM'", 1},
        {"'2024-01-05 13:45:10.123'", 1},
    };
    for (const Case& c : dates) {
        const std::string sql = std::string("SELECT ms_isdate(") + c.expr + ")";
        EXPECT_EQ(integer(sql), c.expected) << sql;
    }
}

} // namespace
