// LEN, SUBSTRING, LEFT, RIGHT, CHARINDEX, REPLACE, UPPER, LOWER, SPACE,
// REPLICATE and REVERSE, counting characters, not bytes.

#include "FunctionSupport.h"
#include "WideDecimal.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace db::sqlite::fn {
namespace {

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg t;
    if (!textOf(argv[0], t)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, std::int64_t(charCount(t.begin(), trimTrailingBlanks(t.begin(), t.end()))));
}

// Characters [from, to) of the text, 0-based, clipped to the text.
void resultCharRange(sqlite3_context* ctx, const TextArg& t, std::int64_t from, std::int64_t to)
{
    if (to <= from || to <= 0) {
        resultText(ctx, "");
        return;
    }
    from = std::max<std::int64_t>(from, 0);
    const u8* p = t.begin();
    skipChars(p, t.end(), std::size_t(from));
    const u8* q = p;
    skipChars(q, t.end(), std::size_t(to - from));
    resultText(ctx, {reinterpret_cast<const char*>(p), std::size_t(q - p)});
}

// SQL Server refuses numbers where it wants text, rather than converting them.
bool textArgument(sqlite3_context* ctx, sqlite3_value* v, const char* function)
{
    const int type = sqlite3_value_type(v);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return true;
    fail(ctx, std::string("Argument data type ") + (type == SQLITE_INTEGER ? "int" : "float")
             + " is invalid for argument 1 of " + function + " function.");
    return false;
}

// What a char(n) column holds: text blank-padded to n characters. A value
// of another kind, or one already as long, is left as it is.
void fnCharColumn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::int64_t width = 0;
    // A wide decimal is stored as its digits, as text would be.
    const bool wide = isWideValue(argv[0]);
    if ((sqlite3_value_type(argv[0]) != SQLITE_TEXT && !wide) || !intArg(ctx, argv[1], width)) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    TextArg t;
    textOf(argv[0], t);
    const std::size_t have = charCount(t.begin(), t.end());
    if (!wide && (width <= 0 || have >= std::size_t(width))) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    std::string padded(t.view());
    if (width > 0 && have < std::size_t(width))
        padded.append(std::size_t(width) - have, ' ');
    resultText(ctx, padded);
}

void fnSubstring(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t start = 0, length = 0;
    if (!intArg(ctx, argv[1], start) || !intArg(ctx, argv[2], length))
        return;
    if (length < 0) {
        fail(ctx, "Invalid length parameter passed to the substring function.");
        return;
    }
    if (!textArgument(ctx, argv[0], "substring"))
        return;
    TextArg t;
    textOf(argv[0], t);
    // Positions before 1 still use up the length, as in SQL Server.
    const std::int64_t from = start == std::numeric_limits<std::int64_t>::min() ? start : start - 1;
    std::int64_t to = 0;
    if (__builtin_add_overflow(from, length, &to))
        to = std::numeric_limits<std::int64_t>::max();
    resultCharRange(ctx, t, from, to);
}

void leftOrRight(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool left)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::int64_t n = 0;
    if (!intArg(ctx, argv[1], n))
        return;
    if (n < 0) {
        fail(ctx, std::string("Invalid length parameter passed to the ") + (left ? "left" : "right") + " function.");
        return;
    }
    TextArg t;
    textOf(argv[0], t);
    if (left) {
        resultCharRange(ctx, t, 0, n);
        return;
    }
    const std::int64_t total = std::int64_t(charCount(t.begin(), t.end()));
    resultCharRange(ctx, t, std::max<std::int64_t>(total - n, 0), total);
}

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) { leftOrRight(ctx, argc, argv, true); }
void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) { leftOrRight(ctx, argc, argv, false); }

std::u32string foldedChars(const u8* p, const u8* e)
{
    std::u32string out;
    while (p < e)
        out.push_back(nextFolded(p, e));
    return out;
}

// Whether the folded needle starts at p; on success `after` is just past it.
bool matchesAt(const std::u32string& needle, const u8* p, const u8* e, const u8*& after)
{
    for (char32_t c : needle) {
        if (p >= e || nextFolded(p, e) != c)
            return false;
    }
    after = p;
    return true;
}

void fnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::int64_t start = 1;
    if (argc == 3 && !intArg(ctx, argv[2], start))
        return;
    TextArg needle, hay;
    textOf(argv[0], needle);
    textOf(argv[1], hay);
    if (needle.n == 0) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const std::u32string folded = foldedChars(needle.begin(), needle.end());
    const u8* p = hay.begin();
    const u8* e = hay.end();
    std::int64_t pos = 1;
    if (start > 1)
        pos += std::int64_t(skipChars(p, e, std::size_t(start - 1)));
    for (; p < e; ++pos) {
        const u8* after = nullptr;
        if (matchesAt(folded, p, e, after)) {
            sqlite3_result_int64(ctx, pos);
            return;
        }
        skipChar(p, e);
    }
    sqlite3_result_int(ctx, 0);
}

void fnReplace(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    TextArg s, find, repl;
    textOf(argv[0], s);
    textOf(argv[1], find);
    textOf(argv[2], repl);
    if (find.n == 0) {
        resultText(ctx, s.view());
        return;
    }
    const std::u32string folded = foldedChars(find.begin(), find.end());
    std::string out;
    out.reserve(std::size_t(s.n));
    const u8* p = s.begin();
    const u8* e = s.end();
    while (p < e) {
        const u8* after = nullptr;
        if (matchesAt(folded, p, e, after)) {
            out.append(repl.view());
            p = after;
        } else {
            const u8* q = p;
            skipChar(q, e);
            out.append(reinterpret_cast<const char*>(p), std::size_t(q - p));
            p = q;
        }
        if (tooBig(ctx, out.size()))
            return;
    }
    resultText(ctx, out);
}

void changeCase(sqlite3_context* ctx, sqlite3_value** argv, bool upper)
{
    TextArg t;
    if (!textOf(argv[0], t)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out;
    out.reserve(std::size_t(t.n));
    const u8* p = t.begin();
    const u8* e = t.end();
    while (p < e) {
        const u8 c = *p;
        if (c < 0x80) {
            out.push_back(char(upper ? (c >= 'a' && c <= 'z' ? c - 32 : c) : kLower.table[c]));
            ++p;
            continue;
        }
        // ICU's simple mappings, one character for one as SQL Server maps
        // them (no 'ß' to "SS").
        const char32_t cp = decodeUtf8(p, e);
        if (cp > 0x10FFFF || (cp >= 0x0E00 && cp <= 0x0E7F))
            appendUtf8(out, cp);
        else
            appendUtf8(out, char32_t(upper ? u_toupper(UChar32(cp)) : u_tolower(UChar32(cp))));
    }
    resultText(ctx, out);
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) { changeCase(ctx, argv, true); }

void fnFold(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg t;
    textOf(argv[0], t);
    resultText(ctx, foldedText(t.begin(), t.end()));
}
void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv) { changeCase(ctx, argv, false); }

void fnSpace(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t n = 0;
    if (!intArg(ctx, argv[0], n))
        return;
    if (n < 0) {
        sqlite3_result_null(ctx);
        return;
    }
    if (tooBig(ctx, std::size_t(n)))
        return;
    resultText(ctx, std::string(std::size_t(n), ' '));
}

void fnReplicate(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t n = 0;
    if (!intArg(ctx, argv[1], n))
        return;
    if (n < 0) {
        sqlite3_result_null(ctx);
        return;
    }
    TextArg t;
    textOf(argv[0], t);
    if (t.n > 0 && std::uint64_t(n) > std::uint64_t(std::numeric_limits<int>::max()) / std::uint64_t(t.n)) {
        sqlite3_result_error_toobig(ctx);
        return;
    }
    if (tooBig(ctx, std::size_t(n) * std::size_t(t.n)))
        return;
    std::string out;
    out.reserve(std::size_t(n) * std::size_t(t.n));
    for (std::int64_t i = 0; i < n; ++i)
        out.append(t.view());
    resultText(ctx, out);
}

void fnReverse(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg t;
    if (!textOf(argv[0], t)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out(std::size_t(t.n), '\0');
    std::size_t w = std::size_t(t.n);
    const u8* p = t.begin();
    while (p < t.end()) {
        const u8* q = p;
        skipChar(q, t.end());
        w -= std::size_t(q - p);
        std::memcpy(out.data() + w, p, std::size_t(q - p));
        p = q;
    }
    resultText(ctx, out);
}

// LTRIM and RTRIM, in place of SQLite's own of one argument, which would
// read a wide decimal's bytes: blanks off one end of the text SQLite gives
// any other value, and a wide decimal as its digits, which have no blanks.
template <bool Left>
void fnTrimBlanks(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    if (sqlite3_value_type(v) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (Decimal wide; wideValue(v, wide)) {
        resultText(ctx, decimalText(wide, 0));
        return;
    }
    const u8* p = sqlite3_value_text(v);
    if (!p) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const u8* e = p + sqlite3_value_bytes(v);
    if (Left) {
        while (p < e && *p == ' ')
            ++p;
    } else {
        e = trimTrailingBlanks(p, e);
    }
    resultText(ctx, {reinterpret_cast<const char*>(p), std::size_t(e - p)});
}

// STUFF(text, start, length, insert): NULL when start is outside the text or
// the length is negative.
void fnStuff(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t start = 0, length = 0;
    if (!intArg(ctx, argv[1], start) || !intArg(ctx, argv[2], length))
        return;
    TextArg t, insert;
    textOf(argv[0], t);
    textOf(argv[3], insert);
    const std::int64_t total = std::int64_t(charCount(t.begin(), t.end()));
    if (start < 1 || start > total || length < 0) {
        sqlite3_result_null(ctx);
        return;
    }
    const u8* cut = t.begin();
    skipChars(cut, t.end(), std::size_t(start - 1));
    const u8* resume = cut;
    skipChars(resume, t.end(), std::size_t(std::min(length, total)));
    std::string out(reinterpret_cast<const char*>(t.begin()), std::size_t(cut - t.begin()));
    out.append(insert.view());
    out.append(reinterpret_cast<const char*>(resume), std::size_t(t.end() - resume));
    resultText(ctx, out);
}

// Bytes as SQL Server stores the value: one a character of text (the site's
// single-byte code page), 4 for an int, 8 for bigint and float.
void fnDatalength(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER: {
        const std::int64_t i = sqlite3_value_int64(v);
        sqlite3_result_int(ctx, i >= INT32_MIN && i <= INT32_MAX ? 4 : 8);
        return;
    }
    case SQLITE_FLOAT:
        sqlite3_result_int(ctx, 8);
        return;
    case SQLITE_BLOB:
        if (Decimal wide; wideValue(v, wide)) {
            // What a decimal of that many digits takes in SQL Server.
            const int precision = wide.integerDigits() + std::max(0, int(wide.digits.size()) - wide.intLen);
            sqlite3_result_int(ctx, precision <= 19 ? 9 : precision <= 28 ? 13 : 17);
            return;
        }
        sqlite3_result_int(ctx, sqlite3_value_bytes(v));
        return;
    default: {
        TextArg t;
        textOf(v, t);
        sqlite3_result_int64(ctx, std::int64_t(charCount(t.begin(), t.end())));
        return;
    }
    }
}

} // namespace

std::span<const FunctionDef> textFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_len", 1, fnLen, true},
    {"ms_substring", 3, nullIn<fnSubstring>, true},
    {"ms_left", 2, fnLeft, true},
    {"ms_right", 2, fnRight, true},
    {"ms_charindex", 2, nullIn<fnCharindex>, true},
    {"ms_charindex", 3, nullIn<fnCharindex>, true},
    {"ms_replace", 3, nullIn<fnReplace>, true},
    {"ms_upper", 1, fnUpper, true},
    {"ms_lower", 1, fnLower, true},
    {"ms_fold", 1, nullIn<fnFold>, true},
    {"ms_space", 1, nullIn<fnSpace>, true},
    {"ms_replicate", 2, nullIn<fnReplicate>, true},
    {"ms_reverse", 1, fnReverse, true},
    {"ltrim", 1, fnTrimBlanks<true>, true},
    {"rtrim", 1, fnTrimBlanks<false>, true},
    {"ms_stuff", 4, nullIn<fnStuff>, true},
    {"ms_datalength", 1, fnDatalength, true},
    {"ms_char_column", 2, fnCharColumn, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
