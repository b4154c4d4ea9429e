#pragma once

// What the SQL Server built-ins of the embedded engine share: UTF-8 reading
// and case folding, results and SQL Server's messages, the NULL rule, number
// text, and the rows each family adds to the function table.
// Everything here works on SQLite's UTF-8 bytes. Number text is produced and
// read with <charconv>, never printf/strtod: QCoreApplication sets the C
// locale from the environment, and a Thai or German locale must not change
// how 12.5 is written.

#include <sqlite3.h>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace db::sqlite::fn {

using u8 = unsigned char;

// ---------------------------------------------------------------------------
// UTF-8 and case folding

// A byte that starts no valid UTF-8 sequence stands for itself, above every
// real code point, so that any byte string still has one definite order.
constexpr char32_t kStrayByte = 0x110000;

// The next character, by ICU's reading of UTF-8.
inline char32_t decodeUtf8(const u8*& p, const u8* end)
{
    if (*p < 0x80)
        return *p++;
    const u8 first = *p;
    std::int32_t i = 0;
    UChar32 cp = 0;
    U8_NEXT(p, i, std::int32_t(end - p), cp);
    if (cp < 0) {
        ++p;
        return kStrayByte + first;
    }
    p += i;
    return char32_t(cp);
}

inline void appendUtf8(std::string& out, char32_t cp)
{
    if (cp >= kStrayByte) {
        out.push_back(char(cp - kStrayByte));
        return;
    }
    char buf[U8_MAX_LENGTH];
    std::int32_t n = 0;
    U8_APPEND_UNSAFE(buf, n, UChar32(cp));
    out.append(buf, std::size_t(n));
}

struct AsciiLower {
    u8 table[128];
    constexpr AsciiLower() : table{}
    {
        for (int i = 0; i < 128; ++i)
            table[i] = u8(i >= 'A' && i <= 'Z' ? i + 32 : i);
    }
};
constexpr AsciiLower kLower;

// The case-insensitive identity of one character: ICU's simple case
// folding, the same character for character as the collation's case
// insensitivity. ASCII and Thai (which has no case) take a short cut.
inline char32_t foldChar(char32_t cp)
{
    if (cp < 0x80)
        return kLower.table[cp];
    if ((cp >= 0x0E00 && cp <= 0x0E7F) || cp > 0x10FFFF)
        return cp;
    return char32_t(u_foldCase(UChar32(cp), U_FOLD_CASE_DEFAULT));
}

// Lower-cases an ASCII byte for keyword matching; other bytes match nothing.
inline char asciiLower(char c)
{
    const u8 b = u8(c);
    return b < 0x80 ? char(kLower.table[b]) : '\x7f';
}

inline char32_t nextFolded(const u8*& p, const u8* end)
{
    if (*p < 0x80)
        return kLower.table[*p++];
    return foldChar(decodeUtf8(p, end));
}

inline void skipChar(const u8*& p, const u8* end)
{
    if (*p < 0x80)
        ++p;
    else
        decodeUtf8(p, end);
}

// The folded form of a text (each character through foldChar): the key that
// case-insensitive matching and any index of folded text share. SQL sees it
// as ms_fold(text).
std::string foldedText(const u8* p, const u8* end);

inline const u8* trimTrailingBlanks(const u8* begin, const u8* end)
{
    while (end > begin && end[-1] == ' ')
        --end;
    return end;
}

std::size_t charCount(const u8* p, const u8* end);

// Advances over up to `count` characters; returns how many were skipped.
std::size_t skipChars(const u8*& p, const u8* end, std::size_t count);

// ---------------------------------------------------------------------------
// Results and SQL Server's messages

inline void fail(sqlite3_context* ctx, const std::string& message)
{
    sqlite3_result_error(ctx, message.data(), int(message.size()));
}

inline void resultText(sqlite3_context* ctx, std::string_view s)
{
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

inline constexpr const char* kDivideByZero = "Divide by zero error encountered.";
inline constexpr const char* kDateFromText = "Conversion failed when converting date and/or time from character string.";
inline constexpr const char* kInvalidFloatOp = "An invalid floating point operation occurred.";

std::string overflowTo(std::string_view type);
std::string conversionFailed(std::string_view value, std::string_view type);
std::string errorConverting(std::string_view type);
std::string intColumnOverflow(std::string_view value);

// Sets SQLite's too-big error when a result of `bytes` would pass the limit.
bool tooBig(sqlite3_context* ctx, std::size_t bytes);

inline bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

// SQL Server's rule for most built-ins: a NULL argument gives NULL.
template <void (*Body)(sqlite3_context*, int, sqlite3_value**)>
void nullIn(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    Body(ctx, argc, argv);
}

// A float result; infinity and NaN are SQL Server's float overflow.
void resultReal(sqlite3_context* ctx, double v);

// ---------------------------------------------------------------------------
// Numbers as text

int formatInt(std::int64_t v, char* buf);

// A float as SQL Server's varchar conversion shows it to a reader: no
// trailing zeros and no ".0" on whole numbers. Fifteen significant digits, so
// that a decimal amount stored as REAL reads back as it was written.
int formatReal(double v, char* buf);
std::string formatRealString(double v);
// Fixed-point text with its whole part grouped by commas: 1,234,567.50.
std::string withThousands(const std::string& fixed);

// The text of an argument as SQL Server's implicit varchar conversion gives it;
// a wide decimal reads as its exact digits.
struct TextArg {
    const u8* p = nullptr;
    int n = 0;
    char buf[48];
    std::string spelled;  // a wide decimal's digits, which may not fit buf

    TextArg() = default;
    TextArg(const TextArg&) = delete;
    TextArg& operator=(const TextArg&) = delete;

    const u8* begin() const { return p; }
    const u8* end() const { return p + n; }
    std::string_view view() const { return {reinterpret_cast<const char*>(p), std::size_t(n)}; }
};

// False for NULL.
bool textOf(sqlite3_value* v, TextArg& t);

inline bool isDigit(u8 c) { return c >= '0' && c <= '9'; }

inline void trimBlanks(const u8*& p, const u8*& e)
{
    while (p < e && *p == ' ')
        ++p;
    while (e > p && e[-1] == ' ')
        --e;
}

enum class Parsed { Ok, Invalid, Overflow };

// varchar -> int: blanks around, an optional sign, digits. SQL Server reads
// '' and a lone sign as 0.
Parsed parseIntText(const u8* p, const u8* e, std::int64_t& out);

// varchar -> float: blanks around, sign, digits with an optional point and
// exponent. '' reads as 0, as in SQL Server.
bool parseFloatText(const u8* p, const u8* e, double& out);

// A whole-number argument (lengths, counts, styles): floats and decimals
// truncate, text converts as varchar -> int. False when it set an error.
bool intArg(sqlite3_context* ctx, sqlite3_value* v, std::int64_t& out);

// ---------------------------------------------------------------------------
// The function table: each family lists its rows, and registration walks
// them all with the same flags.

using ScalarFn = void (*)(sqlite3_context*, int, sqlite3_value**);

struct FunctionDef {
    const char* name;
    int argc;
    ScalarFn fn;
    bool deterministic;
};

struct AggregateDef {
    const char* name;
    int argc;
    ScalarFn step;
    void (*final)(sqlite3_context*);
    void (*value)(sqlite3_context*);  // the result so far, as a window function
    ScalarFn inverse;                 // a row leaving a window's frame
};

int compareMssql(void*, int lenA, const void* dataA, int lenB, const void* dataB);
// Text as LIKE compares it, every character folded: what a trigram index
// keeps, so that its candidates are a superset of LIKE's matches.
std::string foldForLike(std::string_view text);
std::string collationVersion();

std::span<const FunctionDef> likeFunctions();
std::span<const FunctionDef> arithmeticFunctions();
std::span<const FunctionDef> textFunctions();
std::span<const FunctionDef> numberFunctions();
std::span<const FunctionDef> dateFunctions();
std::span<const FunctionDef> convertFunctions();
std::span<const FunctionDef> catalogFunctions();
std::span<const FunctionDef> wideDecimalFunctions();
std::span<const AggregateDef> aggregateFunctions();

} // namespace db::sqlite::fn
