// The SQL Server built-ins as the embedded engine runs them: each case runs a
// SELECT on a fresh in-memory SQLite database and checks the value (and its
// SQLite type) or the error text against what SQL Server gives.

#include "db/sqlite/SqlServerFunctions.h"

#include <QDateTime>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

struct Value {
    int type = SQLITE_NULL;
    long long i = 0;
    double r = 0;
    std::string text;
};

class SqlServerFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        db::sqlite::registerSqlServerFunctions(db_);
    }
    void TearDown() override { sqlite3_close(db_); }

    // The first column of every row; a failure is reported unless `error`
    // is given to receive its message.
    std::vector<Value> column(const std::string& sql, std::string* error = nullptr)
    {
        std::vector<Value> rows;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            if (error)
                *error = sqlite3_errmsg(db_);
            else
                ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Value v;
            v.type = sqlite3_column_type(stmt, 0);
            if (v.type == SQLITE_INTEGER)
                v.i = sqlite3_column_int64(stmt, 0);
            else if (v.type == SQLITE_FLOAT)
                v.r = sqlite3_column_double(stmt, 0);
            else if (v.type == SQLITE_TEXT)
                v.text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            rows.push_back(v);
        }
        if (rc != SQLITE_DONE) {
            if (error)
                *error = sqlite3_errmsg(db_);
            else
                ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
        }
        sqlite3_finalize(stmt);
        return rows;
    }

    Value one(const std::string& sql)
    {
        const auto rows = column(sql);
        EXPECT_EQ(rows.size(), 1u) << sql;
        return rows.empty() ? Value{} : rows.front();
    }

    std::string text(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_TEXT) << sql;
        return v.text;
    }

    long long integer(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_INTEGER) << sql;
        return v.i;
    }

    double real(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_FLOAT) << sql;
        return v.r;
    }

    bool isNull(const std::string& sql) { return one(sql).type == SQLITE_NULL; }

    std::string error(const std::string& sql)
    {
        std::string message;
        column(sql, &message);
        EXPECT_FALSE(message.empty()) << sql << " did not fail";
        return message;
    }

    void exec(const std::string& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << (message ? message : "");
            sqlite3_free(message);
        }
    }

    sqlite3* db_ = nullptr;
};

const std::string kDateConversion = "Conversion failed when converting date and/or time from character string.";

// ---------------------------------------------------------------------------
// Collation

TEST_F(SqlServerFunctionsTest, CollationIgnoresCaseAndTrailingBlanksOnly)
{
    EXPECT_EQ(integer("SELECT 'abc' = 'ABC  ' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'École Ñandú' = 'éCOLE ñANDÚ' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'ΣΟΦΙΑ' = 'σοφια' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'ข้าวสาร' = 'ข้าวสาร ' COLLATE MSSQL"), 1);
    // Leading blanks, inner blanks and other characters still count.
    EXPECT_EQ(integer("SELECT ' abc' = 'abc' COLLATE MSSQL"), 0);
    EXPECT_EQ(integer("SELECT 'a bc' = 'abc' COLLATE MSSQL"), 0);
    EXPECT_EQ(integer("SELECT 'abc' = 'abd' COLLATE MSSQL"), 0);
    EXPECT_EQ(integer("SELECT 'ข้าว' = 'ขาว' COLLATE MSSQL"), 0);
    EXPECT_EQ(integer("SELECT 'abc' < 'ABD' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'ab' < 'abc' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'ab  ' < 'ab!' COLLATE MSSQL"), 1);
    EXPECT_EQ(integer("SELECT 'Zebra' > 'apple' COLLATE MSSQL"), 1);
}

TEST_F(SqlServerFunctionsTest, CollationDrivesUniqueIndexesAndOrdering)
{
    exec("CREATE TABLE item (name TEXT COLLATE MSSQL PRIMARY KEY)");
    exec("INSERT INTO item VALUES ('banana'), ('Apple'), ('cherry'), ('กล้วย'), ('apple pie')");
    std::string message;
    column("INSERT INTO item VALUES ('APPLE  ')", &message);
    EXPECT_NE(message.find("UNIQUE"), std::string::npos) << message;

    std::vector<std::string> names;
    for (const Value& v : column("SELECT name FROM item ORDER BY name"))
        names.push_back(v.text);
    const std::vector<std::string> expected = {"Apple", "apple pie", "banana", "cherry", "กล้วย"};
    EXPECT_EQ(names, expected);

    // The index answers lookups in any case and with trailing blanks.
    EXPECT_EQ(text("SELECT name FROM item WHERE name = 'BANANA   '"), "banana");
    EXPECT_EQ(text("SELECT name FROM item WHERE name = 'กล้วย '"), "กล้วย");
}

TEST_F(SqlServerFunctionsTest, CollationIsAConsistentOrder)
{
    // Strings from an alphabet where case, accents, Thai, blanks and
    // punctuation mix; every pair is compared through SQLite and the outcomes
    // must form a total preorder (antisymmetric and transitive).
    const std::vector<std::string> alphabet = {"a", "A", "b", "B", "é", "É", " ", "_", "z", "ก", "ข", "้", "0", "ß", "\xff"};
    std::mt19937 rng(20240105);
    std::vector<std::string> words;
    for (int k = 0; k < 48; ++k) {
        std::string w;
        const int len = int(rng() % 6);
        for (int i = 0; i < len; ++i)
            w += alphabet[rng() % alphabet.size()];
        words.push_back(w);
    }
    words.push_back("ab");
    words.push_back("AB ");
    words.push_back("ab  ");

    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, "SELECT (?1 > ?2 COLLATE MSSQL) - (?1 < ?2 COLLATE MSSQL)", -1, &stmt, nullptr),
              SQLITE_OK);
    const std::size_t n = words.size();
    std::vector<std::vector<int>> cmp(n, std::vector<int>(n));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            sqlite3_bind_text(stmt, 1, words[i].data(), int(words[i].size()), SQLITE_STATIC);
            sqlite3_bind_text(stmt, 2, words[j].data(), int(words[j].size()), SQLITE_STATIC);
            ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
            cmp[i][j] = sqlite3_column_int(stmt, 0);
            sqlite3_reset(stmt);
        }
    }
    sqlite3_finalize(stmt);

    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_EQ(cmp[i][i], 0) << words[i];
        for (std::size_t j = 0; j < n; ++j) {
            ASSERT_EQ(cmp[i][j], -cmp[j][i]) << words[i] << " / " << words[j];
            for (std::size_t k = 0; k < n; ++k) {
                if (cmp[i][j] <= 0 && cmp[j][k] <= 0) {
                    ASSERT_LE(cmp[i][k], 0) << words[i] << " / " << words[j] << " / " << words[k];
                }
            }
        }
    }
    EXPECT_EQ(cmp[n - 3][n - 2], 0);
    EXPECT_EQ(cmp[n - 3][n - 1], 0);
}

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

// ---------------------------------------------------------------------------
// LIKE

TEST_F(SqlServerFunctionsTest, LikeWildcardsAndSets)
{
    struct Case {
        const char* value;
        const char* pattern;
        int expected;
    };
    const Case cases[] = {
        {"abc", "abc", 1},       {"abc", "ab", 0},         {"abc", "a%", 1},       {"abc", "%c", 1},
        {"abc", "%b%", 1},       {"abc", "%d%", 0},        {"abc", "a_c", 1},      {"abc", "a__c", 0},
        {"abc", "___", 1},       {"abc", "%", 1},          {"", "%", 1},           {"", "_", 0},
        {"abc", "[abc]bc", 1},   {"xbc", "[abc]bc", 0},    {"mbc", "[a-z]bc", 1},  {"5bc", "[a-z]bc", 0},
        {"abc", "[^a-c]%", 0},   {"dbc", "[^a-c]%", 1},    {"a-c", "a[-]c", 1},    {"[x", "[[]x", 1},
        {"a]", "a]", 1},         {"aXbXc", "%x%x%", 1},    {"mississippi", "%iss%ipp%", 1},
        {"mississippi", "%iss%ssi%ssi%", 0},               {"aaa", "%a%a%a%a%", 0},
        {"abcabd", "%ab_", 1},   {"abcab", "%ab_", 0},     {"a[b", "a[b", 0},
    };
    for (const Case& c : cases) {
        const std::string sql = std::string("SELECT ms_like('") + c.value + "', '" + c.pattern + "')";
        EXPECT_EQ(integer(sql), c.expected) << sql;
    }
}

TEST_F(SqlServerFunctionsTest, LikeIgnoresCaseAndTrailingBlanksOfTheValue)
{
    EXPECT_EQ(integer("SELECT ms_like('ABC', 'abc')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('Abc', '[a]%')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('QRS', '[p-t]%')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('ÉTÉ', 'été')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('น้ำปลา', '%ปลา')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('น้ำปลา', 'น__ปลา')"), 1);  // the tone mark is a character of its own
    EXPECT_EQ(integer("SELECT ms_like('ก', '[ก-ฮ]')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('a', '[ก-ฮ]')"), 0);
    // Blanks at the end of the value may be skipped, those of the pattern must match.
    EXPECT_EQ(integer("SELECT ms_like('abc   ', 'abc')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('abc   ', '%c')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('abc ', 'abc ')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('abc', 'abc ')"), 0);
    EXPECT_EQ(integer("SELECT ms_like('abc  ', 'abc_')"), 1);
    EXPECT_EQ(integer("SELECT ms_like(' abc', 'abc')"), 0);
}

TEST_F(SqlServerFunctionsTest, LikeEscapeNumbersAndNull)
{
    EXPECT_EQ(integer("SELECT ms_like('50%', '50!%', '!')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('500', '50!%', '!')"), 0);
    EXPECT_EQ(integer("SELECT ms_like('a_b', 'a\\_b', '\\')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('axb', 'a\\_b', '\\')"), 0);
    EXPECT_EQ(integer("SELECT ms_like('a%', 'a[!%]', '!')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('a', 'a!', '!')"), 0);
    EXPECT_EQ(error("SELECT ms_like('a', 'a', 'xy')"),
              "The invalid escape character \"xy\" was specified in a LIKE predicate.");

    EXPECT_EQ(integer("SELECT ms_like(12345, '123%')"), 1);
    EXPECT_EQ(integer("SELECT ms_like(12.5, '%.5')"), 1);
    EXPECT_EQ(integer("SELECT ms_like(12.0, '12')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('A100', 100)"), 0);
    EXPECT_TRUE(isNull("SELECT ms_like(NULL, 'a')"));
    EXPECT_TRUE(isNull("SELECT ms_like('a', NULL)"));
    EXPECT_TRUE(isNull("SELECT ms_like('a', 'a', NULL)"));
}

TEST_F(SqlServerFunctionsTest, LikePatternsThatChangeFromRowToRow)
{
    // The compiled pattern is cached per statement; a pattern taken from the
    // row must still be read afresh each time.
    exec("CREATE TABLE t (v TEXT, p TEXT, e TEXT, expected INTEGER)");
    exec("INSERT INTO t VALUES ('abc', 'a%', NULL, 1), ('abc', 'b%', NULL, 0), ('abc', 'a%', NULL, 1),"
         " ('xyz', '%Z', NULL, 1), ('a%', 'a!%', '!', 1), ('ab', 'a!%', '!', 0), ('a!', 'a!%', '#', 1)");
    for (const Value& v : column("SELECT count(*) FROM t WHERE coalesce(ms_like(v, p, e), ms_like(v, p)) <> expected"))
        EXPECT_EQ(v.i, 0);
}

// A direct recursive reading of LIKE over a small alphabet: '%' any run, '_'
// one character, "[ab]" and "[^a]" sets, case-insensitive, and the value's
// trailing blanks optional.
bool referenceLike(const std::string& v, std::size_t vi, const std::string& p, std::size_t pi)
{
    auto low = [](char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    if (pi == p.size())
        return std::all_of(v.begin() + long(vi), v.end(), [](char c) { return c == ' '; });
    if (p[pi] == '%')
        return referenceLike(v, vi, p, pi + 1) || (vi < v.size() && referenceLike(v, vi + 1, p, pi));
    if (vi == v.size())
        return false;
    const char c = low(v[vi]);
    if (p[pi] == '[') {
        const std::size_t close = p.find(']', pi);
        const bool negate = p[pi + 1] == '^';
        const std::string members = p.substr(pi + 1 + negate, close - pi - 1 - negate);
        const bool in = members.find(c) != std::string::npos;
        return in != negate && referenceLike(v, vi + 1, p, close + 1);
    }
    if (p[pi] != '_' && low(p[pi]) != c)
        return false;
    return referenceLike(v, vi + 1, p, pi + 1);
}

TEST_F(SqlServerFunctionsTest, LikeAgreesWithADirectReadingOnRandomInput)
{
    std::mt19937 rng(7);
    const std::string valueChars = "aAb ";
    const std::vector<std::string> patternPieces = {"a", "b", "A", " ", "%", "%", "_", "[ab]", "[^a]"};
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, "SELECT ms_like(?1, ?2)", -1, &stmt, nullptr), SQLITE_OK);
    for (int k = 0; k < 4000; ++k) {
        std::string value, pattern;
        for (int i = int(rng() % 8); i > 0; --i)
            value += valueChars[rng() % valueChars.size()];
        for (int i = int(rng() % 6); i > 0; --i)
            pattern += patternPieces[rng() % patternPieces.size()];
        sqlite3_bind_text(stmt, 1, value.data(), int(value.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, pattern.data(), int(pattern.size()), SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        ASSERT_EQ(sqlite3_column_int(stmt, 0) == 1, referenceLike(value, 0, pattern, 0))
            << "'" << value << "' LIKE '" << pattern << "'";
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

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
    EXPECT_EQ(text("SELECT ms_str('42.7', 4)"), "  43");
    EXPECT_TRUE(isNull("SELECT ms_str(NULL)"));
    EXPECT_EQ(error("SELECT ms_str('abc')"), "Error converting data type varchar to float.");
}

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

    EXPECT_EQ(error("SELECT ms_convert('datetime', 'garbage')"), kDateConversion);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '02/30/2024')"), kDateConversion);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '13/01/2024', 101)"), kDateConversion);
    EXPECT_EQ(error("SELECT ms_convert('datetime', '1700-01-01')"),
              "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
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
