// The text built-ins, counting characters.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

// ---------------------------------------------------------------------------
// Text functions

TEST_F(SqlServerFunctionsTest, LenCountsCharactersWithoutTrailingBlanks)
{
    EXPECT_EQ(integer("SELECT ms_len('abc   ')"), 3);
    EXPECT_EQ(integer("SELECT ms_len('  abc')"), 5);
    EXPECT_EQ(integer("SELECT ms_len('')"), 0);
    EXPECT_EQ(integer("SELECT ms_len('   ')"), 0);
    EXPECT_EQ(integer("SELECT ms_len('สวัสดี')"), 6);
    EXPECT_EQ(integer("SELECT ms_len(12345)"), 5);
    EXPECT_EQ(integer("SELECT ms_len(-2.5)"), 4);
    EXPECT_TRUE(isNull("SELECT ms_len(NULL)"));
}

TEST_F(SqlServerFunctionsTest, SubstringLeftRightWorkOnCharacters)
{
    EXPECT_EQ(text("SELECT ms_substring('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(text("SELECT ms_substring('abcdef', 5, 10)"), "ef");
    EXPECT_EQ(text("SELECT ms_substring('abcdef', 0, 3)"), "ab");   // position 0 uses up one of the three
    EXPECT_EQ(text("SELECT ms_substring('abcdef', -1, 3)"), "a");
    EXPECT_EQ(text("SELECT ms_substring('abcdef', -5, 3)"), "");
    EXPECT_EQ(text("SELECT ms_substring('abcdef', 10, 2)"), "");
    EXPECT_EQ(text("SELECT ms_substring('abcdef', 2, 0)"), "");
    EXPECT_EQ(text("SELECT ms_substring('กรุงเทพ', 2, 3)"), "รุง");
    EXPECT_EQ(error("SELECT ms_substring('abc', 1, -1)"), "Invalid length parameter passed to the substring function.");
    EXPECT_TRUE(isNull("SELECT ms_substring(NULL, 1, 2)"));
    EXPECT_TRUE(isNull("SELECT ms_substring('abc', NULL, 2)"));

    EXPECT_EQ(text("SELECT ms_left('กรุงเทพ', 4)"), "กรุง");
    EXPECT_EQ(text("SELECT ms_right('กรุงเทพ', 3)"), "เทพ");
    EXPECT_EQ(text("SELECT ms_left('abc', 10)"), "abc");
    EXPECT_EQ(text("SELECT ms_right('abc', 10)"), "abc");
    EXPECT_EQ(text("SELECT ms_right('abc  ', 2)"), "  ");
    EXPECT_EQ(text("SELECT ms_left(12345, 2)"), "12");
    EXPECT_EQ(text("SELECT ms_left('abc', 0)"), "");
    EXPECT_EQ(error("SELECT ms_left('abc', -1)"), "Invalid length parameter passed to the left function.");
    EXPECT_EQ(error("SELECT ms_right('abc', -1)"), "Invalid length parameter passed to the right function.");
}

TEST_F(SqlServerFunctionsTest, CharindexAndReplaceIgnoreCase)
{
    EXPECT_EQ(integer("SELECT ms_charindex('CD', 'abcdef')"), 3);
    EXPECT_EQ(integer("SELECT ms_charindex('x', 'abcdef')"), 0);
    EXPECT_EQ(integer("SELECT ms_charindex('a', 'abcabc', 2)"), 4);
    EXPECT_EQ(integer("SELECT ms_charindex('a', 'abcabc', -3)"), 1);
    EXPECT_EQ(integer("SELECT ms_charindex('a', 'abcabc', 99)"), 0);
    EXPECT_EQ(integer("SELECT ms_charindex('', 'abc')"), 0);
    EXPECT_EQ(integer("SELECT ms_charindex('เทพ', 'กรุงเทพมหานคร')"), 5);
    EXPECT_EQ(integer("SELECT ms_charindex('É', 'café')"), 4);
    EXPECT_TRUE(isNull("SELECT ms_charindex(NULL, 'abc')"));

    EXPECT_EQ(text("SELECT ms_replace('Hello hello HELLO', 'hello', 'bye')"), "bye bye bye");
    EXPECT_EQ(text("SELECT ms_replace('aaa', 'aa', 'b')"), "ba");
    EXPECT_EQ(text("SELECT ms_replace('abc', '', 'x')"), "abc");
    EXPECT_EQ(text("SELECT ms_replace('ราคา 100 บาท', 'บาท', 'THB')"), "ราคา 100 THB");
    EXPECT_EQ(text("SELECT ms_replace('a-b-c', '-', '')"), "abc");
    EXPECT_TRUE(isNull("SELECT ms_replace('abc', 'b', NULL)"));
}

TEST_F(SqlServerFunctionsTest, CaseAndBuildingFunctions)
{
    EXPECT_EQ(text("SELECT ms_upper('abc éñø ภาษาไทย')"), "ABC ÉÑØ ภาษาไทย");
    EXPECT_EQ(text("SELECT ms_lower('ABC ÉÑØ ΣΟΦΙΑ')"), "abc éñø σοφια");
    EXPECT_EQ(text("SELECT ms_space(3)"), "   ");
    EXPECT_EQ(text("SELECT ms_space(0)"), "");
    EXPECT_TRUE(isNull("SELECT ms_space(-1)"));
    EXPECT_EQ(text("SELECT ms_replicate('ab', 3)"), "ababab");
    EXPECT_EQ(text("SELECT ms_replicate('ก', 2)"), "กก");
    EXPECT_EQ(text("SELECT ms_replicate('ab', 0)"), "");
    EXPECT_TRUE(isNull("SELECT ms_replicate('ab', -1)"));
    EXPECT_EQ(text("SELECT ms_reverse('abc')"), "cba");
    EXPECT_EQ(text("SELECT ms_reverse('กขค')"), "คขก");
    EXPECT_EQ(text("SELECT ms_reverse(123)"), "321");
}

TEST_F(SqlServerFunctionsTest, CaseFoldingAgreesWithTheCollation)
{
    // What the collation holds equal, matching and searching find alike.
    EXPECT_EQ(integer("SELECT 'ΣΟΦΟΣ' = 'σοφος' COLLATE MSSQL"), 1) << "final sigma is sigma";
    EXPECT_EQ(integer("SELECT ms_like('ΣΟΦΟΣ', 'σοφος')"), 1);
    EXPECT_EQ(integer("SELECT ms_charindex('ς', 'ΣΟΦΟΣ')"), 1);
    EXPECT_EQ(integer("SELECT 'ǅ' = 'ǆ' COLLATE MSSQL"), 1);
    EXPECT_EQ(text("SELECT ms_replace('ǄEMAL ǆemal', 'ǅ', 'dž')"), "džEMAL džemal");
    EXPECT_EQ(text("SELECT ms_fold('ÄBC Straße ǅ ΣΟΦΟΣ กข')"), "äbc straße ǆ σοφοσ กข");
    EXPECT_EQ(integer("SELECT ms_fold(ms_upper('ÄbC')) = ms_fold('äBc')"), 1) << "one key for any case";
    // Accents still count, as the collation has them.
    EXPECT_EQ(integer("SELECT 'é' = 'e' COLLATE MSSQL"), 0);
    EXPECT_EQ(integer("SELECT ms_charindex('e', 'café')"), 0);
    // UPPER and LOWER map one character to one, as SQL Server does.
    EXPECT_EQ(text("SELECT ms_upper('straße ǆ')"), "STRAßE Ǆ");
    EXPECT_EQ(text("SELECT ms_lower('ǄΣ')"), "ǆσ");
    EXPECT_EQ(integer("SELECT ms_len(ms_upper(CAST(X'61FF62' AS TEXT)))"), 3) << "a stray byte stays one character";
}

TEST_F(SqlServerFunctionsTest, StuffAndDatalength)
{
    EXPECT_EQ(text("SELECT ms_stuff('abcdef', 2, 3, 'XYZW')"), "aXYZWef");
    EXPECT_EQ(text("SELECT ms_stuff('กขคง', 2, 1, 'x')"), "กxคง");
    EXPECT_EQ(text("SELECT ms_stuff('abc', 3, 9, '')"), "ab") << "a length past the end deletes to the end";
    EXPECT_TRUE(isNull("SELECT ms_stuff('abc', 0, 1, 'x')"));
    EXPECT_TRUE(isNull("SELECT ms_stuff('abc', 4, 1, 'x')"));
    EXPECT_TRUE(isNull("SELECT ms_stuff('abc', 1, -1, 'x')"));

    EXPECT_EQ(integer("SELECT ms_datalength('ab  ')"), 4) << "trailing blanks count";
    EXPECT_EQ(integer("SELECT ms_datalength('ราคา')"), 4) << "one byte a character, as in the Thai code page";
    EXPECT_EQ(integer("SELECT ms_datalength(12)"), 4);
    EXPECT_EQ(integer("SELECT ms_datalength(5000000000)"), 8);
    EXPECT_EQ(integer("SELECT ms_datalength(x'0102')"), 2);
    EXPECT_TRUE(isNull("SELECT ms_datalength(NULL)"));
}

TEST_F(SqlServerFunctionsTest, TextFunctionsRefuseNumbersAndNegativeLengths)
{
    EXPECT_EQ(error("SELECT ms_substring(12345, 1, 2)"), "Argument data type int is invalid for argument 1 of substring function.");
    EXPECT_EQ(error("SELECT ms_substring(1.5, 1, 2)"), "Argument data type float is invalid for argument 1 of substring function.");
    EXPECT_EQ(error("SELECT ms_left('abc', -2)"), "Invalid length parameter passed to the left function.");
    EXPECT_EQ(error("SELECT ms_right('abc', -1)"), "Invalid length parameter passed to the right function.");
}

} // namespace
