// The operators with SQL Server's typing and messages.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

// ---------------------------------------------------------------------------
// Operators

TEST_F(SqlServerFunctionsTest, ArithmeticKeepsSqlServerTyping)
{
    EXPECT_EQ(integer("SELECT ms_add(2, 3)"), 5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_add(2, 0.5)"), 2.5);
    EXPECT_EQ(integer("SELECT ms_sub(2, 5)"), -3);
    EXPECT_EQ(integer("SELECT ms_mul(-4, 6)"), -24);
    EXPECT_DOUBLE_EQ(real("SELECT ms_mul(1.5, 4)"), 6.0);
    // Integer division truncates toward zero; the remainder takes the dividend's sign.
    EXPECT_EQ(integer("SELECT ms_div(7, 2)"), 3);
    EXPECT_EQ(integer("SELECT ms_div(-7, 2)"), -3);
    EXPECT_EQ(integer("SELECT ms_div(7, -2)"), -3);
    EXPECT_EQ(integer("SELECT ms_mod(-7, 2)"), -1);
    EXPECT_EQ(integer("SELECT ms_mod(7, -2)"), 1);
    EXPECT_DOUBLE_EQ(real("SELECT ms_div(7.0, 2)"), 3.5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_mod(7.5, 2)"), 1.5);
    EXPECT_EQ(integer("SELECT ms_neg(5)"), -5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_neg(-2.5)"), 2.5);
}

TEST_F(SqlServerFunctionsTest, NullOperandsGiveNull)
{
    for (const char* sql : {"SELECT ms_add(NULL, 1)", "SELECT ms_add('a', NULL)", "SELECT ms_sub(1, NULL)",
                            "SELECT ms_mul(NULL, 2.5)", "SELECT ms_div(NULL, 0)", "SELECT ms_mod(5, NULL)",
                            "SELECT ms_neg(NULL)"})
        EXPECT_TRUE(isNull(sql)) << sql;
}

TEST_F(SqlServerFunctionsTest, PlusOnTextConcatenatesAndTextBesideNumbersConverts)
{
    EXPECT_EQ(text("SELECT ms_add('ab', 'cd')"), "abcd");
    EXPECT_EQ(text("SELECT ms_add('ราคา ', 'สินค้า')"), "ราคา สินค้า");
    EXPECT_EQ(integer("SELECT ms_add('5', 3)"), 8);
    EXPECT_EQ(integer("SELECT ms_add(3, ' 5 ')"), 8);
    EXPECT_EQ(integer("SELECT ms_add('', 3)"), 3);  // '' is 0 as an int
    EXPECT_DOUBLE_EQ(real("SELECT ms_add('2.5', 1.0)"), 3.5);
    EXPECT_DOUBLE_EQ(real("SELECT ms_mul('1e3', 0.5)"), 500.0);
    EXPECT_EQ(integer("SELECT ms_sub('10', 4)"), 6);
    EXPECT_EQ(integer("SELECT ms_div(10, '3')"), 3);

    EXPECT_EQ(error("SELECT ms_add('abc', 1)"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
    EXPECT_EQ(error("SELECT ms_add('2.5', 1)"),
              "Conversion failed when converting the varchar value '2.5' to data type int.");
    EXPECT_EQ(error("SELECT ms_mul(1.5, 'x')"), "Error converting data type varchar to float.");
    EXPECT_EQ(error("SELECT ms_sub('a', 'b')"), "Operand data type varchar is invalid for subtract operator.");
    EXPECT_EQ(error("SELECT ms_div('a', 'b')"), "Operand data type varchar is invalid for divide operator.");
    EXPECT_EQ(error("SELECT ms_neg('5')"), "Operand data type varchar is invalid for minus operator.");
}

TEST_F(SqlServerFunctionsTest, OverflowAndDivideByZeroUseSqlServerMessages)
{
    const std::string overflow = "Arithmetic overflow error converting expression to data type bigint.";
    EXPECT_EQ(error("SELECT ms_add(9223372036854775807, 1)"), overflow);
    EXPECT_EQ(error("SELECT ms_sub(-9223372036854775807 - 1, 1)"), overflow);
    EXPECT_EQ(error("SELECT ms_mul(4611686018427387904, 2)"), overflow);
    EXPECT_EQ(error("SELECT ms_neg(-9223372036854775807 - 1)"), overflow);
    EXPECT_EQ(error("SELECT ms_div(-9223372036854775807 - 1, -1)"), overflow);
    EXPECT_EQ(integer("SELECT ms_add(9223372036854775806, 1)"), 9223372036854775807LL);

    const std::string zero = "Divide by zero error encountered.";
    EXPECT_EQ(error("SELECT ms_div(1, 0)"), zero);
    EXPECT_EQ(error("SELECT ms_div(1.5, 0.0)"), zero);
    EXPECT_EQ(error("SELECT ms_mod(5, 0)"), zero);
    EXPECT_EQ(error("SELECT ms_div('4', 0)"), zero);
}

TEST_F(SqlServerFunctionsTest, NumbersBesideDatesCountDays)
{
    EXPECT_EQ(text("SELECT ms_add('2024-01-31 10:00:00.000', 1)"), "2024-02-01 10:00:00.000");
    EXPECT_EQ(text("SELECT ms_add(1, '2024-02-28 00:00:00.000')"), "2024-02-29 00:00:00.000");
    EXPECT_EQ(text("SELECT ms_sub('2024-03-01 08:30:00.000', 1)"), "2024-02-29 08:30:00.000");
    EXPECT_EQ(text("SELECT ms_add('2024-01-05 00:00:00.000', 0.5)"), "2024-01-05 12:00:00.000");
    EXPECT_EQ(text("SELECT ms_sub('2024-01-05 00:00:00.000', 365)"), "2023-01-05 00:00:00.000");
    // datetime - datetime counts from 1900-01-01.
    EXPECT_EQ(text("SELECT ms_sub('2024-01-03 06:00:00.000', '2024-01-01 00:00:00.000')"),
              "1900-01-03 06:00:00.000");
    EXPECT_EQ(error("SELECT ms_mul('2024-01-05 00:00:00.000', 2)"),
              "Operand data type datetime is invalid for multiply operator.");
    EXPECT_EQ(error("SELECT ms_add('9999-12-31 00:00:00.000', 1)"),
              "Arithmetic overflow error converting expression to data type datetime.");
}

TEST_F(SqlServerFunctionsTest, IntOperandsOverflowAtThirtyTwoBits)
{
    EXPECT_EQ(error("SELECT ms_add(2147483647, 1)"), "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(error("SELECT ms_mul(65536, 65536)"), "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(error("SELECT ms_sub(-2147483648, 1)"), "Arithmetic overflow error converting expression to data type int.");
    EXPECT_EQ(integer("SELECT ms_add(2147483648, 1)"), 2147483649LL) << "a bigger operand is not an int";
    EXPECT_EQ(integer("SELECT ms_add(-2147483647, -1)"), -2147483648LL);
}

} // namespace
