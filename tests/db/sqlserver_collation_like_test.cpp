// The MSSQL collation and LIKE, checked against SQL Server's answers and a
// direct reading of the LIKE rules.

#include "SqlServerFunctionsTest.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace dbtest;

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

TEST_F(SqlServerFunctionsTest, CollationIsThaiDictionaryOrder)
{
    // Leading vowels are read after their consonant; Latin comes before Thai,
    // accents count after letters, case not at all.
    exec("CREATE TABLE w (t TEXT COLLATE MSSQL)");
    exec("INSERT INTO w VALUES ('ขายสด'), ('ขายเชื่อ'), ('ไก่'), ('ขา'), ('กา'), ('Röd'), ('Rogede'), ('rod'), "
         "('A1'), ('a-1')");
    std::vector<std::string> order;
    for (const Value& v : column("SELECT t FROM w ORDER BY t"))
        order.push_back(v.text);
    const std::vector<std::string> expected = {"a-1", "A1", "rod", "Röd", "Rogede", "กา", "ไก่", "ขา", "ขายเชื่อ", "ขายสด"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(integer("SELECT 'A-1' = 'A1' COLLATE MSSQL"), 0) << "punctuation keeps codes apart";
    EXPECT_EQ(integer("SELECT 'Röd' = 'rod' COLLATE MSSQL"), 0) << "accent-sensitive";
}

TEST_F(SqlServerFunctionsTest, LikeRangesFollowTheCollation)
{
    EXPECT_EQ(integer("SELECT ms_like('=', '[0-a]')"), 0) << "punctuation sorts before the digits";
    EXPECT_EQ(integer("SELECT ms_like('5', '[0-a]')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('A', '[0-a]')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('b', '[0-a]')"), 0);
    EXPECT_EQ(integer("SELECT ms_like('é', '[a-f]')"), 1) << "an accented letter sits beside its letter";
    EXPECT_EQ(integer("SELECT ms_like('ข', '[ก-ค]')"), 1);
    EXPECT_EQ(integer("SELECT ms_like('x', '[ก-ค]')"), 0);
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

} // namespace
