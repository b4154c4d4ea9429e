#include "SqlServerFunctions.h"

#include "db/DbError.h"

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QTime>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Everything here works on SQLite's UTF-8 bytes. Number text is produced and
// read with <charconv>, never printf/strtod: QCoreApplication sets the C
// locale from the environment, and a Thai or German locale must not change
// how 12.5 is written.

namespace db::sqlite {
namespace {

using u8 = unsigned char;

// ---------------------------------------------------------------------------
// UTF-8 and case folding

// A byte that starts no valid UTF-8 sequence stands for itself, above every
// real code point, so that any byte string still has one definite order.
constexpr char32_t kStrayByte = 0x110000;

inline bool isContinuation(u8 c) { return (c & 0xC0) == 0x80; }

inline char32_t decodeUtf8(const u8*& p, const u8* end)
{
    const u8 c = *p;
    if (c < 0x80) {
        ++p;
        return c;
    }
    const std::ptrdiff_t left = end - p;
    if (c >= 0xC2 && c <= 0xDF) {
        if (left >= 2 && isContinuation(p[1])) {
            const char32_t cp = (char32_t(c & 0x1F) << 6) | (p[1] & 0x3F);
            p += 2;
            return cp;
        }
    } else if (c >= 0xE0 && c <= 0xEF) {
        if (left >= 3 && isContinuation(p[1]) && isContinuation(p[2])) {
            const char32_t cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                p += 3;
                return cp;
            }
        }
    } else if (c >= 0xF0 && c <= 0xF4) {
        if (left >= 4 && isContinuation(p[1]) && isContinuation(p[2]) && isContinuation(p[3])) {
            const char32_t cp = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12)
                | (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                p += 4;
                return cp;
            }
        }
    }
    ++p;
    return kStrayByte + c;
}

inline void appendUtf8(std::string& out, char32_t cp)
{
    if (cp >= kStrayByte) {
        out.push_back(char(cp - kStrayByte));
    } else if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
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

// The case-insensitive identity of one character. Thai has no case, so the
// Thai block skips Qt's tables (the common non-ASCII text here).
inline char32_t foldChar(char32_t cp)
{
    if (cp < 0x80)
        return kLower.table[cp];
    if ((cp >= 0x0E00 && cp <= 0x0E7F) || cp > 0x10FFFF)
        return cp;
    return QChar::toCaseFolded(cp);
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

inline const u8* trimTrailingBlanks(const u8* begin, const u8* end)
{
    while (end > begin && end[-1] == ' ')
        --end;
    return end;
}

std::size_t charCount(const u8* p, const u8* end)
{
    std::size_t n = 0;
    while (p < end) {
        skipChar(p, end);
        ++n;
    }
    return n;
}

// Advances over up to `count` characters; returns how many were skipped.
std::size_t skipChars(const u8*& p, const u8* end, std::size_t count)
{
    std::size_t n = 0;
    while (n < count && p < end) {
        skipChar(p, end);
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------------------
// The MSSQL collation

int compareMssql(void*, int lenA, const void* dataA, int lenB, const void* dataB)
{
    const u8* a = static_cast<const u8*>(dataA);
    const u8* b = static_cast<const u8*>(dataB);
    const u8* endA = trimTrailingBlanks(a, a + lenA);
    const u8* endB = trimTrailingBlanks(b, b + lenB);
    while (a < endA && b < endB) {
        const u8 ca = *a;
        const u8 cb = *b;
        if ((ca | cb) < 0x80) {
            if (ca != cb) {
                const u8 la = kLower.table[ca];
                const u8 lb = kLower.table[cb];
                if (la != lb)
                    return la < lb ? -1 : 1;
            }
            ++a;
            ++b;
            continue;
        }
        const char32_t fa = foldChar(decodeUtf8(a, endA));
        const char32_t fb = foldChar(decodeUtf8(b, endB));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a < endA)
        return 1;
    if (b < endB)
        return -1;
    return 0;
}

// ---------------------------------------------------------------------------
// Results and SQL Server's messages

void fail(sqlite3_context* ctx, const std::string& message)
{
    sqlite3_result_error(ctx, message.data(), int(message.size()));
}

void resultText(sqlite3_context* ctx, std::string_view s)
{
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

const char* const kDivideByZero = "Divide by zero error encountered.";
const char* const kDateFromText = "Conversion failed when converting date and/or time from character string.";
const char* const kInvalidFloatOp = "An invalid floating point operation occurred.";

std::string overflowTo(std::string_view type)
{
    return "Arithmetic overflow error converting expression to data type " + std::string(type) + ".";
}

std::string conversionFailed(std::string_view value, std::string_view type)
{
    return "Conversion failed when converting the varchar value '" + std::string(value) + "' to data type "
        + std::string(type) + ".";
}

std::string errorConverting(std::string_view type)
{
    return "Error converting data type varchar to " + std::string(type) + ".";
}

std::string intColumnOverflow(std::string_view value)
{
    return "The conversion of the varchar value '" + std::string(value) + "' overflowed an int column.";
}

bool tooBig(sqlite3_context* ctx, std::size_t bytes)
{
    const int limit = sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1);
    if (bytes > std::size_t(limit)) {
        sqlite3_result_error_toobig(ctx);
        return true;
    }
    return false;
}

bool anyNull(int argc, sqlite3_value** argv)
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

// ---------------------------------------------------------------------------
// Numbers as text

int formatInt(std::int64_t v, char* buf)
{
    return int(std::to_chars(buf, buf + 24, v).ptr - buf);
}

// A float as SQL Server's varchar conversion shows it to a reader: no
// trailing zeros and no ".0" on whole numbers. Fifteen significant digits, so
// that a decimal amount stored as REAL reads back as it was written.
int formatReal(double v, char* buf)
{
    if (v == 0) {
        buf[0] = '0';
        return 1;
    }
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return formatInt(std::int64_t(v), buf);
    return int(std::to_chars(buf, buf + 40, v, std::chars_format::general, 15).ptr - buf);
}

std::string formatRealString(double v)
{
    char buf[48];
    return std::string(buf, std::size_t(formatReal(v, buf)));
}

// The text of an argument as SQL Server's implicit varchar conversion gives it.
struct TextArg {
    const u8* p = nullptr;
    int n = 0;
    char buf[48];

    TextArg() = default;
    TextArg(const TextArg&) = delete;
    TextArg& operator=(const TextArg&) = delete;

    const u8* begin() const { return p; }
    const u8* end() const { return p + n; }
    std::string_view view() const { return {reinterpret_cast<const char*>(p), std::size_t(n)}; }
};

bool textOf(sqlite3_value* v, TextArg& t)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        t.n = formatInt(sqlite3_value_int64(v), t.buf);
        t.p = reinterpret_cast<const u8*>(t.buf);
        return true;
    case SQLITE_FLOAT:
        t.n = formatReal(sqlite3_value_double(v), t.buf);
        t.p = reinterpret_cast<const u8*>(t.buf);
        return true;
    default: {
        const u8* s = sqlite3_value_text(v);
        t.n = sqlite3_value_bytes(v);
        t.p = s ? s : reinterpret_cast<const u8*>("");
        return true;
    }
    }
}

inline bool isDigit(u8 c) { return c >= '0' && c <= '9'; }

void trimBlanks(const u8*& p, const u8*& e)
{
    while (p < e && *p == ' ')
        ++p;
    while (e > p && e[-1] == ' ')
        --e;
}

enum class Parsed { Ok, Invalid, Overflow };

// varchar -> int: blanks around, an optional sign, digits. SQL Server reads
// '' and a lone sign as 0.
Parsed parseIntText(const u8* p, const u8* e, std::int64_t& out)
{
    trimBlanks(p, e);
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; p < e; ++p) {
        if (!isDigit(*p))
            return Parsed::Invalid;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + (*p - '0');
    }
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    if (overflow || magnitude > limit)
        return Parsed::Overflow;
    out = negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
    return Parsed::Ok;
}

// varchar -> float: blanks around, sign, digits with an optional point and
// exponent. '' reads as 0, as in SQL Server.
bool parseFloatText(const u8* p, const u8* e, double& out)
{
    trimBlanks(p, e);
    if (p == e) {
        out = 0;
        return true;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const u8* start = p;
    int mantissaDigits = 0;
    while (p < e && isDigit(*p)) {
        ++p;
        ++mantissaDigits;
    }
    if (p < e && *p == '.') {
        ++p;
        while (p < e && isDigit(*p)) {
            ++p;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (p < e && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < e && (*p == '+' || *p == '-'))
            ++p;
        if (p == e || !isDigit(*p))
            return false;
        while (p < e && isDigit(*p))
            ++p;
    }
    if (p != e)
        return false;
    // from_chars takes no leading '+', so the sign was read above.
    const char* first = reinterpret_cast<const char*>(start);
    const char* last = reinterpret_cast<const char*>(e);
    double v = 0;
    const auto r = std::from_chars(first, last, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v))
        return false;
    out = negative ? -v : v;
    return true;
}

// ---------------------------------------------------------------------------
// Exact decimal digits, for rounding the way a decimal column does (half away
// from zero on the written digits, not on the binary float).

struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, no leading or trailing zeros; empty for 0
    int intLen = 0;      // how many of them (or implied zeros) stand before the point

    void normalize()
    {
        const auto first = digits.find_first_not_of('0');
        if (first == std::string::npos) {
            digits.clear();
            intLen = 0;
            negative = false;
            return;
        }
        digits.erase(0, first);
        intLen -= int(first);
        digits.erase(digits.find_last_not_of('0') + 1);
    }

    static Decimal fromInt(std::int64_t v)
    {
        Decimal d;
        d.negative = v < 0;
        const std::uint64_t magnitude = v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, magnitude);
        d.digits.assign(buf, r.ptr);
        d.intLen = int(d.digits.size());
        d.normalize();
        return d;
    }

    static Decimal fromDouble(double v)
    {
        Decimal d;
        if (v == 0 || !std::isfinite(v))
            return d;
        char buf[40];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
        const char* p = buf;
        if (*p == '-') {
            d.negative = true;
            ++p;
        }
        for (; p < r.ptr && *p != 'e'; ++p)
            if (*p != '.')
                d.digits.push_back(*p);
        int exponent = 0;
        if (p < r.ptr) {
            ++p;
            const bool negExp = *p == '-';
            if (*p == '+' || *p == '-')
                ++p;
            std::from_chars(p, r.ptr, exponent);
            if (negExp)
                exponent = -exponent;
        }
        d.intLen = exponent + 1;
        d.normalize();
        return d;
    }

    // Digits with an optional sign and point (and exponent when allowed).
    static std::optional<Decimal> fromText(const u8* p, const u8* e, bool allowExponent)
    {
        trimBlanks(p, e);
        Decimal d;
        if (p < e && (*p == '+' || *p == '-')) {
            d.negative = *p == '-';
            ++p;
        }
        int count = 0;
        bool point = false;
        for (; p < e; ++p) {
            if (isDigit(*p)) {
                d.digits.push_back(char(*p));
                if (!point)
                    ++d.intLen;
                ++count;
            } else if (*p == '.' && !point) {
                point = true;
            } else {
                break;
            }
        }
        if (count == 0)
            return std::nullopt;
        if (p < e && allowExponent && (*p == 'e' || *p == 'E')) {
            ++p;
            bool negExp = false;
            if (p < e && (*p == '+' || *p == '-')) {
                negExp = *p == '-';
                ++p;
            }
            if (p == e)
                return std::nullopt;
            int exponent = 0;
            for (; p < e && isDigit(*p); ++p) {
                exponent = exponent * 10 + (*p - '0');
                if (exponent > 100000)
                    return std::nullopt;
            }
            d.intLen += negExp ? -exponent : exponent;
        }
        if (p != e)
            return std::nullopt;
        d.normalize();
        return d;
    }

    bool isZero() const { return digits.empty(); }
    int integerDigits() const { return digits.empty() ? 0 : std::max(intLen, 0); }

    // Rounds (or truncates) to `scale` decimals; a negative scale rounds to
    // tens, hundreds, ...
    void round(int scale, bool truncate)
    {
        if (digits.empty())
            return;
        const long keep = long(intLen) + scale;
        if (keep >= long(digits.size()))
            return;
        if (keep < 0) {
            digits.clear();
            normalize();
            return;
        }
        const bool up = !truncate && digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep));
        if (up) {
            long i = keep - 1;
            while (i >= 0 && digits[std::size_t(i)] == '9') {
                digits[std::size_t(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[std::size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++intLen;
            }
        }
        normalize();
    }

    char digitAt(long pos) const
    {
        return pos >= 0 && pos < long(digits.size()) ? digits[std::size_t(pos)] : '0';
    }

    // Exactly `scale` decimals (no rounding: round() first).
    std::string text(int scale) const
    {
        std::string s;
        if (negative)
            s.push_back('-');
        if (intLen <= 0 || digits.empty()) {
            s.push_back('0');
        } else {
            for (long i = 0; i < intLen; ++i)
                s.push_back(digitAt(i));
        }
        if (scale > 0) {
            s.push_back('.');
            for (long k = 0; k < scale; ++k)
                s.push_back(digitAt(long(intLen) + k));
        }
        return s;
    }

    double toDouble() const
    {
        if (digits.empty())
            return 0;
        std::string s = "0." + digits + "e" + std::to_string(intLen);
        double v = 0;
        std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
        return negative ? -v : v;
    }
};

// Rounds a float on its decimal digits. Beyond 15 digits a double carries no
// decimals worth rounding, so it is left alone.
double roundDouble(double v, int scale, bool truncate)
{
    if (!std::isfinite(v) || (scale >= 0 && std::fabs(v) >= 1e15))
        return v;
    Decimal d = Decimal::fromDouble(v);
    d.round(scale, truncate);
    return d.toDouble();
}

// ---------------------------------------------------------------------------
// Dates: a day number counted from 1900-01-01 (SQL Server's day 0) and the
// milliseconds into that day.

constexpr std::int64_t kMsPerDay = 86400000;

struct Stamp {
    std::int64_t day = 0;
    int ms = 0;

    std::int64_t totalMs() const { return day * kMsPerDay + ms; }
    static Stamp fromTotalMs(std::int64_t total)
    {
        Stamp s;
        s.day = total >= 0 ? total / kMsPerDay : -((-total + kMsPerDay - 1) / kMsPerDay);
        s.ms = int(total - s.day * kMsPerDay);
        return s;
    }
};

struct Civil {
    int y = 1900, m = 1, d = 1;
};

constexpr std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // 1970-01-01 is day 719468 of this count and 1900-01-01 is 25567 days before it.
    return std::int64_t(era) * 146097 + doe - 719468 + 25567;
}

Civil civilFromDays(std::int64_t day)
{
    const std::int64_t z = day - 25567 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = int(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    Civil c;
    c.d = doy - (153 * mp + 2) / 5 + 1;
    c.m = mp < 10 ? mp + 3 : mp - 9;
    c.y = int(yoe + era * 400) + (c.m <= 2);
    return c;
}

constexpr bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int daysInMonth(int y, int m)
{
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

constexpr std::int64_t kDatetimeMinDay = daysFromCivil(1753, 1, 1);
constexpr std::int64_t kDatetimeMaxDay = daysFromCivil(9999, 12, 31);
constexpr std::int64_t kAnyMinDay = daysFromCivil(1, 1, 1);

bool inDatetimeRange(const Stamp& s) { return s.day >= kDatetimeMinDay && s.day <= kDatetimeMaxDay; }

// datetime keeps time in 1/300 s ticks: milliseconds read back as .000, .003
// or .007.
Stamp toDatetimePrecision(Stamp s)
{
    const std::int64_t ticks = (std::int64_t(s.ms) * 3 + 5) / 10;
    const std::int64_t ms = (ticks * 10 + 1) / 3;
    if (ms >= kMsPerDay) {
        ++s.day;
        s.ms = int(ms - kMsPerDay);
    } else {
        s.ms = int(ms);
    }
    return s;
}

bool stampFromDays(double days, Stamp& out)
{
    if (!std::isfinite(days) || days < double(kAnyMinDay) || days > double(kDatetimeMaxDay) + 1)
        return false;
    const double whole = std::floor(days);
    Stamp s;
    s.day = std::int64_t(whole);
    std::int64_t ms = std::llround((days - whole) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ++s.day;
        ms -= kMsPerDay;
    }
    s.ms = int(ms);
    out = toDatetimePrecision(s);
    return true;
}

double daysOf(const Stamp& s) { return double(s.day) + double(s.ms) / double(kMsPerDay); }

struct DateTimeParts {
    int y, m, d, h, mi, s, ms;
};

DateTimeParts partsOf(const Stamp& st)
{
    const Civil c = civilFromDays(st.day);
    return {c.y, c.m, c.d, st.ms / 3600000, st.ms / 60000 % 60, st.ms / 1000 % 60, st.ms % 1000};
}

inline void put2(char* p, int v)
{
    p[0] = char('0' + v / 10 % 10);
    p[1] = char('0' + v % 10);
}

inline void put3(char* p, int v)
{
    p[0] = char('0' + v / 100 % 10);
    put2(p + 1, v % 100);
}

inline void put4(char* p, int v)
{
    put2(p, v / 100 % 100);
    put2(p + 2, v % 100);
}

// 'YYYY-MM-DD HH:MM:SS.mmm' into buf (23 characters).
void formatCanonical(const Stamp& st, char* buf)
{
    const DateTimeParts t = partsOf(st);
    put4(buf, t.y);
    buf[4] = '-';
    put2(buf + 5, t.m);
    buf[7] = '-';
    put2(buf + 8, t.d);
    buf[10] = ' ';
    put2(buf + 11, t.h);
    buf[13] = ':';
    put2(buf + 14, t.mi);
    buf[16] = ':';
    put2(buf + 17, t.s);
    buf[19] = '.';
    put3(buf + 20, t.ms);
}

void resultStamp(sqlite3_context* ctx, const Stamp& st)
{
    char buf[24];
    formatCanonical(st, buf);
    sqlite3_result_text(ctx, buf, 23, SQLITE_TRANSIENT);
}

bool validTime(int h, int mi, int s, int ms) { return h < 24 && mi < 60 && s < 60 && ms < 1000; }

Stamp makeStamp(int y, int m, int d, int h, int mi, int s, int ms)
{
    return {daysFromCivil(y, m, d), ((h * 60 + mi) * 60 + s) * 1000 + ms};
}

// The stored form is recognised by shape alone: it is what a datetime value
// looks like on this engine.
bool parseCanonical(const u8* p, int n, Stamp& out)
{
    if (n != 23 || p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':' || p[19] != '.')
        return false;
    static constexpr int digitsAt[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22};
    for (int i : digitsAt)
        if (!isDigit(p[i]))
            return false;
    auto num = [p](int at, int len) {
        int v = 0;
        for (int i = 0; i < len; ++i)
            v = v * 10 + (p[at + i] - '0');
        return v;
    };
    const int y = num(0, 4), m = num(5, 2), d = num(8, 2);
    const int h = num(11, 2), mi = num(14, 2), s = num(17, 2), ms = num(20, 3);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || !validTime(h, mi, s, ms))
        return false;
    out = makeStamp(y, m, d, h, mi, s, ms);
    return true;
}

enum class DateOrder { MonthFirst, DayFirst };

const char* const kMonthNames[] = {"january", "february", "march", "april", "may", "june", "july",
                                   "august", "september", "october", "november", "december"};
const char* const kMonthAbbrev[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

inline bool isAlpha(u8 c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// A reader over date/time text; each step either takes its piece or leaves
// the position where it was.
struct DateReader {
    const u8* p;
    const u8* e;

    bool atEnd() const { return p == e; }
    bool peek(char c) const { return p < e && *p == u8(c); }
    bool take(char c)
    {
        if (!peek(c))
            return false;
        ++p;
        return true;
    }
    int skipBlanks()
    {
        int n = 0;
        while (p < e && *p == ' ') {
            ++p;
            ++n;
        }
        return n;
    }
    // Reads minCount..maxCount digits; the count read, 0 when fewer than minCount.
    int number(int& value, int minCount, int maxCount)
    {
        const u8* q = p;
        int v = 0;
        int n = 0;
        while (q < e && n < maxCount && isDigit(*q)) {
            v = v * 10 + (*q - '0');
            ++q;
            ++n;
        }
        if (n < minCount || (q < e && isDigit(*q)))
            return 0;
        p = q;
        value = v;
        return n;
    }
    // An English month name, full or by its first three letters.
    int month()
    {
        const u8* q = p;
        char word[12];
        int n = 0;
        while (q < e && isAlpha(*q)) {
            if (n == int(sizeof word))
                return 0;
            word[n++] = char(*q | 0x20);
            ++q;
        }
        for (int i = 0; i < 12; ++i) {
            const std::size_t full = std::strlen(kMonthNames[i]);
            if ((n == 3 && std::memcmp(word, kMonthNames[i], 3) == 0)
                || (std::size_t(n) == full && std::memcmp(word, kMonthNames[i], full) == 0)) {
                p = q;
                return i + 1;
            }
        }
        return 0;
    }
    bool meridiem(bool& pm)
    {
        if (e - p >= 2 && (p[1] | 0x20) == 'm' && ((p[0] | 0x20) == 'a' || (p[0] | 0x20) == 'p')) {
            pm = (p[0] | 0x20) == 'p';
            p += 2;
            return true;
        }
        return false;
    }
};

int expandYear(int y, int digitCount)
{
    if (digitCount == 2)
        return y < 50 ? 2000 + y : 1900 + y;
    return y;
}

// h[:mm[:ss[.fff|:fff]]] with an optional AM/PM, or h AM/PM.
bool readTime(DateReader& r, int& h, int& mi, int& s, int& ms)
{
    mi = s = ms = 0;
    if (!r.number(h, 1, 2))
        return false;
    if (r.take(':')) {
        if (!r.number(mi, 1, 2))
            return false;
        if (r.take(':')) {
            if (!r.number(s, 1, 2))
                return false;
            if (r.take('.')) {
                int frac = 0;
                const int n = r.number(frac, 1, 3);
                if (!n)
                    return false;
                ms = n == 1 ? frac * 100 : n == 2 ? frac * 10 : frac;
            } else if (r.take(':')) {
                if (!r.number(ms, 1, 3))
                    return false;
            }
        }
        r.skipBlanks();
        bool pm = false;
        if (r.meridiem(pm)) {
            if (h < 1 || h > 12)
                return false;
            h = h % 12 + (pm ? 12 : 0);
        }
        return true;
    }
    // A bare hour needs AM or PM.
    r.skipBlanks();
    bool pm = false;
    if (!r.meridiem(pm) || h < 1 || h > 12)
        return false;
    h = h % 12 + (pm ? 12 : 0);
    return true;
}

std::optional<Stamp> parseStamp(const u8* begin, const u8* end, DateOrder order)
{
    trimBlanks(begin, end);
    if (begin == end)
        return std::nullopt;
    Stamp canonical;
    if (parseCanonical(begin, int(end - begin), canonical))
        return canonical;

    DateReader r{begin, end};
    int y = 1900, m = 1, d = 1;
    bool isoDashes = false;
    bool haveDate = true;

    const u8* q = begin;
    while (q < end && isDigit(*q))
        ++q;
    const int lead = int(q - begin);
    const u8 sep = q < end ? *q : 0;

    if (lead > 0 && lead <= 2 && sep == ':') {
        haveDate = false;  // a time alone falls on 1900-01-01
    } else if ((lead == 8 || lead == 6) && (sep == 0 || sep == ' ')) {
        // yyyymmdd (or yymmdd): fixed widths, no separators.
        auto digitsAt = [begin](int at, int len) {
            int v = 0;
            for (int i = 0; i < len; ++i)
                v = v * 10 + (begin[at + i] - '0');
            return v;
        };
        y = expandYear(digitsAt(0, lead - 4), lead - 4);
        m = digitsAt(lead - 4, 2);
        d = digitsAt(lead - 2, 2);
        r.p = q;
    } else if (lead == 4 && (sep == '-' || sep == '/' || sep == '.')) {
        r.number(y, 4, 4);
        r.take(char(sep));
        if (!r.number(m, 1, 2) || !r.take(char(sep)) || !r.number(d, 1, 2))
            return std::nullopt;
        isoDashes = sep == '-';
    } else if ((lead == 1 || lead == 2) && (sep == '/' || sep == '-' || sep == '.')) {
        int first = 0, second = 0;
        r.number(first, 1, 2);
        r.take(char(sep));
        if (!r.number(second, 1, 2) || !r.take(char(sep)))
            return std::nullopt;
        const int yd = r.number(y, 2, 4);
        if (yd != 2 && yd != 4)
            return std::nullopt;
        y = expandYear(y, yd);
        if (order == DateOrder::MonthFirst) {
            m = first;
            d = second;
        } else {
            d = first;
            m = second;
        }
    } else if (lead == 0 && isAlpha(*begin)) {
        // 'Jan 5 2024', 'Jan  5, 2024'
        m = r.month();
        if (!m || !r.skipBlanks() || !r.number(d, 1, 2))
            return std::nullopt;
        r.take(',');
        if (!r.skipBlanks())
            return std::nullopt;
        const int yd = r.number(y, 2, 4);
        if (yd != 2 && yd != 4)
            return std::nullopt;
        y = expandYear(y, yd);
    } else if ((lead == 1 || lead == 2) && sep == ' ') {
        // '05 Jan 2024'
        r.number(d, 1, 2);
        r.skipBlanks();
        m = r.month();
        if (!m || !r.skipBlanks())
            return std::nullopt;
        const int yd = r.number(y, 2, 4);
        if (yd != 2 && yd != 4)
            return std::nullopt;
        y = expandYear(y, yd);
    } else {
        return std::nullopt;
    }

    int h = 0, mi = 0, s = 0, ms = 0;
    if (!haveDate) {
        if (!readTime(r, h, mi, s, ms))
            return std::nullopt;
    } else if (!r.atEnd()) {
        if (isoDashes && r.take('T')) {
            if (!readTime(r, h, mi, s, ms))
                return std::nullopt;
        } else {
            if (!r.skipBlanks() || !readTime(r, h, mi, s, ms))
                return std::nullopt;
        }
    }
    if (!r.atEnd())
        return std::nullopt;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || !validTime(h, mi, s, ms))
        return std::nullopt;
    return makeStamp(y, m, d, h, mi, s, ms);
}

enum class DateArg { Ok, Null, Bad };

// A date argument: text in any accepted form, or a number of days since
// 1900-01-01 (SQL Server converts int and float to datetime that way).
DateArg stampOf(sqlite3_value* v, Stamp& out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return DateArg::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return stampFromDays(sqlite3_value_double(v), out) ? DateArg::Ok : DateArg::Bad;
    default: {
        const u8* s = sqlite3_value_text(v);
        const int n = sqlite3_value_bytes(v);
        if (!s)
            return DateArg::Bad;
        if (parseCanonical(s, n, out))
            return DateArg::Ok;
        const auto st = parseStamp(s, s + n, DateOrder::MonthFirst);
        if (!st)
            return DateArg::Bad;
        out = *st;
        return DateArg::Ok;
    }
    }
}

// Reads a date argument; on NULL sets a NULL result, on bad text the error.
bool dateArg(sqlite3_context* ctx, sqlite3_value* v, Stamp& out)
{
    switch (stampOf(v, out)) {
    case DateArg::Ok:
        return true;
    case DateArg::Null:
        sqlite3_result_null(ctx);
        return false;
    case DateArg::Bad:
        if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB)
            fail(ctx, kDateFromText);
        else
            fail(ctx, overflowTo("datetime"));
        return false;
    }
    return false;
}

// A whole-number argument (lengths, counts, styles): floats truncate, text
// converts as varchar -> int. False when it set an error.
bool intArg(sqlite3_context* ctx, sqlite3_value* v, std::int64_t& out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out = sqlite3_value_int64(v);
        return true;
    case SQLITE_FLOAT: {
        const double d = std::trunc(sqlite3_value_double(v));
        if (!(d >= -9.2e18 && d <= 9.2e18)) {
            fail(ctx, overflowTo("int"));
            return false;
        }
        out = std::int64_t(d);
        return true;
    }
    default: {
        TextArg t;
        textOf(v, t);
        switch (parseIntText(t.begin(), t.end(), out)) {
        case Parsed::Ok:
            return true;
        case Parsed::Invalid:
            fail(ctx, conversionFailed(t.view(), "int"));
            return false;
        case Parsed::Overflow:
            fail(ctx, intColumnOverflow(t.view()));
            return false;
        }
        return false;
    }
    }
}

// ---------------------------------------------------------------------------
// Arithmetic

struct Operand {
    enum Kind { Null, Int, Real, Text, Date } kind = Null;
    std::int64_t i = 0;
    double r = 0;
    Stamp date;
    const u8* s = nullptr;
    int n = 0;

    std::string_view view() const { return {reinterpret_cast<const char*>(s), std::size_t(n)}; }
    double asReal() const { return kind == Int ? double(i) : r; }
    bool textual() const { return kind == Text || kind == Date; }
};

Operand operandOf(sqlite3_value* v)
{
    Operand o;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        o.kind = Operand::Int;
        o.i = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        o.kind = Operand::Real;
        o.r = sqlite3_value_double(v);
        break;
    default:
        o.s = sqlite3_value_text(v);
        o.n = sqlite3_value_bytes(v);
        if (!o.s)
            o.s = reinterpret_cast<const u8*>("");
        o.kind = parseCanonical(o.s, o.n, o.date) ? Operand::Date : Operand::Text;
        break;
    }
    return o;
}

// varchar beside a number converts to that number's type (int or float), as
// SQL Server's type precedence has it.
bool coerceText(sqlite3_context* ctx, Operand& o, Operand::Kind toward)
{
    if (toward == Operand::Int) {
        std::int64_t v = 0;
        switch (parseIntText(o.s, o.s + o.n, v)) {
        case Parsed::Ok:
            o.kind = Operand::Int;
            o.i = v;
            return true;
        case Parsed::Invalid:
            fail(ctx, conversionFailed(o.view(), "int"));
            return false;
        case Parsed::Overflow:
            fail(ctx, intColumnOverflow(o.view()));
            return false;
        }
        return false;
    }
    double v = 0;
    if (!parseFloatText(o.s, o.s + o.n, v)) {
        fail(ctx, errorConverting("float"));
        return false;
    }
    o.kind = Operand::Real;
    o.r = v;
    return true;
}

enum class Op { Add, Sub, Mul, Div, Mod };

const char* opName(Op op)
{
    switch (op) {
    case Op::Add: return "add";
    case Op::Sub: return "subtract";
    case Op::Mul: return "multiply";
    case Op::Div: return "divide";
    case Op::Mod: return "modulo";
    }
    return "";
}

std::string invalidOperand(const char* type, const char* op)
{
    return std::string("Operand data type ") + type + " is invalid for " + op + " operator.";
}

void resultDatetimeMs(sqlite3_context* ctx, std::int64_t totalMs)
{
    const Stamp st = toDatetimePrecision(Stamp::fromTotalMs(totalMs));
    if (!inDatetimeRange(st)) {
        fail(ctx, overflowTo("datetime"));
        return;
    }
    resultStamp(ctx, st);
}

std::int64_t daysToMs(double days) { return std::llround(days * double(kMsPerDay)); }

void resultReal(sqlite3_context* ctx, double v)
{
    if (!std::isfinite(v)) {
        fail(ctx, overflowTo("float"));
        return;
    }
    sqlite3_result_double(ctx, v == 0 ? 0.0 : v);
}

void arithmetic(sqlite3_context* ctx, sqlite3_value** argv, Op op)
{
    Operand a = operandOf(argv[0]);
    Operand b = operandOf(argv[1]);
    if (a.kind == Operand::Null || b.kind == Operand::Null) {
        sqlite3_result_null(ctx);
        return;
    }

    if (a.textual() && b.textual()) {
        if (op == Op::Add) {
            std::string s;
            s.reserve(std::size_t(a.n + b.n));
            s.append(a.view());
            s.append(b.view());
            resultText(ctx, s);
            return;
        }
        if (op == Op::Sub && a.kind == Operand::Date) {
            // datetime - datetime is a datetime counted from 1900-01-01; the
            // varchar side converts to datetime.
            Stamp other = b.date;
            if (b.kind == Operand::Text) {
                const auto st = parseStamp(b.s, b.s + b.n, DateOrder::MonthFirst);
                if (!st) {
                    fail(ctx, kDateFromText);
                    return;
                }
                other = *st;
            }
            resultDatetimeMs(ctx, a.date.totalMs() - other.totalMs());
            return;
        }
        fail(ctx, invalidOperand(a.kind == Operand::Date || b.kind == Operand::Date ? "datetime" : "varchar",
                                 opName(op)));
        return;
    }

    if (a.kind == Operand::Date || b.kind == Operand::Date) {
        // A number beside a datetime counts days.
        const bool dateFirst = a.kind == Operand::Date;
        const Stamp& date = dateFirst ? a.date : b.date;
        const Operand& num = dateFirst ? b : a;
        if (op == Op::Add) {
            resultDatetimeMs(ctx, date.totalMs() + daysToMs(num.asReal()));
        } else if (op == Op::Sub) {
            resultDatetimeMs(ctx, dateFirst ? date.totalMs() - daysToMs(num.asReal())
                                            : daysToMs(num.asReal()) - date.totalMs());
        } else {
            fail(ctx, invalidOperand("datetime", opName(op)));
        }
        return;
    }

    if (a.kind == Operand::Text && !coerceText(ctx, a, b.kind))
        return;
    if (b.kind == Operand::Text && !coerceText(ctx, b, a.kind))
        return;

    if (a.kind == Operand::Int && b.kind == Operand::Int) {
        std::int64_t r = 0;
        bool overflow = false;
        switch (op) {
        case Op::Add:
            overflow = __builtin_add_overflow(a.i, b.i, &r);
            break;
        case Op::Sub:
            overflow = __builtin_sub_overflow(a.i, b.i, &r);
            break;
        case Op::Mul:
            overflow = __builtin_mul_overflow(a.i, b.i, &r);
            break;
        case Op::Div:
            if (b.i == 0) {
                fail(ctx, kDivideByZero);
                return;
            }
            overflow = a.i == std::numeric_limits<std::int64_t>::min() && b.i == -1;
            if (!overflow)
                r = a.i / b.i;  // C++ truncates toward zero, as SQL Server does
            break;
        case Op::Mod:
            if (b.i == 0) {
                fail(ctx, kDivideByZero);
                return;
            }
            r = b.i == -1 ? 0 : a.i % b.i;  // the sign follows the dividend in both
            break;
        }
        if (overflow) {
            fail(ctx, overflowTo("bigint"));
            return;
        }
        sqlite3_result_int64(ctx, r);
        return;
    }

    const double x = a.asReal();
    const double y = b.asReal();
    switch (op) {
    case Op::Add:
        resultReal(ctx, x + y);
        return;
    case Op::Sub:
        resultReal(ctx, x - y);
        return;
    case Op::Mul:
        resultReal(ctx, x * y);
        return;
    case Op::Div:
        if (y == 0) {
            fail(ctx, kDivideByZero);
            return;
        }
        resultReal(ctx, x / y);
        return;
    case Op::Mod:
        if (y == 0) {
            fail(ctx, kDivideByZero);
            return;
        }
        resultReal(ctx, std::fmod(x, y));
        return;
    }
}

void fnAdd(sqlite3_context* ctx, int, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Add); }
void fnSub(sqlite3_context* ctx, int, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Sub); }
void fnMul(sqlite3_context* ctx, int, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Mul); }
void fnDiv(sqlite3_context* ctx, int, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Div); }
void fnMod(sqlite3_context* ctx, int, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Mod); }

void fnNeg(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Operand a = operandOf(argv[0]);
    switch (a.kind) {
    case Operand::Null:
        sqlite3_result_null(ctx);
        return;
    case Operand::Int:
        if (a.i == std::numeric_limits<std::int64_t>::min())
            fail(ctx, overflowTo("bigint"));
        else
            sqlite3_result_int64(ctx, -a.i);
        return;
    case Operand::Real:
        resultReal(ctx, -a.r);
        return;
    case Operand::Text:
        fail(ctx, invalidOperand("varchar", "minus"));
        return;
    case Operand::Date:
        fail(ctx, invalidOperand("datetime", "minus"));
        return;
    }
}

// ---------------------------------------------------------------------------
// LIKE

struct LikeToken {
    enum Kind : std::uint8_t { Any, One, Char, Set } kind;
    bool negate = false;
    char32_t ch = 0;             // Char: the folded character
    std::uint32_t setBegin = 0;  // Set: its ranges in LikePattern::ranges
    std::uint32_t setEnd = 0;
};

struct LikePattern {
    std::string source;
    bool hasEscape = false;
    char32_t escape = 0;
    bool neverMatches = false;  // an unclosed '[' or a dangling escape character
    std::vector<LikeToken> tokens;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive
};

std::unique_ptr<LikePattern> compileLike(std::string_view source, bool hasEscape, char32_t escape)
{
    auto pat = std::make_unique<LikePattern>();
    pat->source.assign(source);
    pat->hasEscape = hasEscape;
    pat->escape = escape;
    const u8* p = reinterpret_cast<const u8*>(source.data());
    const u8* e = p + source.size();
    while (p < e) {
        const char32_t c = decodeUtf8(p, e);
        if (hasEscape && c == escape) {
            if (p == e) {
                pat->neverMatches = true;
                break;
            }
            pat->tokens.push_back({LikeToken::Char, false, foldChar(decodeUtf8(p, e)), 0, 0});
        } else if (c == '%') {
            if (pat->tokens.empty() || pat->tokens.back().kind != LikeToken::Any)
                pat->tokens.push_back({LikeToken::Any, false, 0, 0, 0});
        } else if (c == '_') {
            pat->tokens.push_back({LikeToken::One, false, 0, 0, 0});
        } else if (c == '[') {
            LikeToken t{LikeToken::Set, false, 0, std::uint32_t(pat->ranges.size()), 0};
            if (p < e && *p == '^') {
                t.negate = true;
                ++p;
            }
            bool closed = false;
            bool first = true;
            while (p < e) {
                char32_t lo = decodeUtf8(p, e);
                if (lo == ']' && !first) {
                    closed = true;
                    break;
                }
                first = false;
                if (hasEscape && lo == escape && p < e)
                    lo = decodeUtf8(p, e);
                char32_t hi = lo;
                if (p + 1 < e && *p == '-' && p[1] != ']') {
                    ++p;
                    hi = decodeUtf8(p, e);
                    if (hasEscape && hi == escape && p < e)
                        hi = decodeUtf8(p, e);
                }
                pat->ranges.emplace_back(foldChar(lo), foldChar(hi));
            }
            if (!closed) {
                pat->neverMatches = true;
                break;
            }
            t.setEnd = std::uint32_t(pat->ranges.size());
            pat->tokens.push_back(t);
        } else {
            pat->tokens.push_back({LikeToken::Char, false, foldChar(c), 0, 0});
        }
    }
    return pat;
}

inline bool tokenMatches(const LikePattern& pat, const LikeToken& t, char32_t c)
{
    switch (t.kind) {
    case LikeToken::One:
        return true;
    case LikeToken::Char:
        return t.ch == c;
    case LikeToken::Set: {
        bool in = false;
        for (std::uint32_t i = t.setBegin; i < t.setEnd && !in; ++i)
            in = c >= pat.ranges[i].first && c <= pat.ranges[i].second;
        return in != t.negate;
    }
    case LikeToken::Any:
        break;
    }
    return false;
}

// Every token but '%' takes exactly one character, so the classic greedy
// matcher that only backtracks to the last '%' is exact. Trailing blanks of
// the value are optional: the match may end anywhere inside them.
bool likeMatch(const LikePattern& pat, const u8* s, const u8* e)
{
    if (pat.neverMatches)
        return false;
    const u8* trimmed = trimTrailingBlanks(s, e);
    const std::size_t m = pat.tokens.size();
    std::size_t p = 0;
    const u8* v = s;
    std::size_t starP = std::size_t(-1);
    const u8* starV = nullptr;
    for (;;) {
        if (p < m && pat.tokens[p].kind == LikeToken::Any) {
            if (p + 1 == m)
                return true;
            starP = p++;
            starV = v;
            continue;
        }
        if (p == m) {
            if (v >= trimmed)
                return true;
        } else if (v < e) {
            const u8* next = v;
            const char32_t c = nextFolded(next, e);
            if (tokenMatches(pat, pat.tokens[p], c)) {
                v = next;
                ++p;
                continue;
            }
        } else {
            return false;  // out of characters: a later start cannot do better
        }
        if (starP == std::size_t(-1) || starV >= e)
            return false;
        skipChar(starV, e);
        v = starV;
        p = starP + 1;
    }
}

void deleteLikePattern(void* p) { delete static_cast<LikePattern*>(p); }

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    TextArg value, pattern;
    textOf(argv[0], value);
    textOf(argv[1], pattern);
    bool hasEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        TextArg esc;
        textOf(argv[2], esc);
        const u8* p = esc.begin();
        if (esc.n > 0)
            escape = decodeUtf8(p, esc.end());
        if (esc.n == 0 || p != esc.end()) {
            fail(ctx, "The invalid escape character \"" + std::string(esc.view())
                     + "\" was specified in a LIKE predicate.");
            return;
        }
        hasEscape = true;
    }
    // The compiled pattern is kept with the statement while the pattern
    // argument stays the same (the usual constant); it is checked against the
    // text anyway, which costs less than compiling it per row.
    auto* cached = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    std::unique_ptr<LikePattern> fresh;
    const LikePattern* pat = cached;
    if (!cached || cached->hasEscape != hasEscape || cached->escape != escape
        || cached->source != pattern.view()) {
        fresh = compileLike(pattern.view(), hasEscape, escape);
        pat = fresh.get();
    }
    sqlite3_result_int(ctx, likeMatch(*pat, value.begin(), value.end()) ? 1 : 0);
    if (fresh)
        sqlite3_set_auxdata(ctx, 1, fresh.release(), deleteLikePattern);
}

// ---------------------------------------------------------------------------
// Text functions

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

void fnSubstring(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t start = 0, length = 0;
    if (!intArg(ctx, argv[1], start) || !intArg(ctx, argv[2], length))
        return;
    if (length < 0) {
        fail(ctx, "Invalid length parameter passed to the substring function.");
        return;
    }
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
        const char32_t cp = decodeUtf8(p, e);
        if (cp > 0x10FFFF || (cp >= 0x0E00 && cp <= 0x0E7F))
            appendUtf8(out, cp);
        else
            appendUtf8(out, upper ? QChar::toUpper(cp) : QChar::toLower(cp));
    }
    resultText(ctx, out);
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) { changeCase(ctx, argv, true); }
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

// ---------------------------------------------------------------------------
// Numbers

// A numeric argument; text converts as varchar -> float does.
enum class NumArg { Int, Real, Null, Error };

NumArg numberOf(sqlite3_context* ctx, sqlite3_value* v, std::int64_t& i, double& r)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return NumArg::Null;
    case SQLITE_INTEGER:
        i = sqlite3_value_int64(v);
        r = double(i);
        return NumArg::Int;
    case SQLITE_FLOAT:
        r = sqlite3_value_double(v);
        return NumArg::Real;
    default: {
        TextArg t;
        textOf(v, t);
        if (!parseFloatText(t.begin(), t.end(), r)) {
            fail(ctx, errorConverting("float"));
            return NumArg::Error;
        }
        return NumArg::Real;
    }
    }
}

std::string padLeft(std::string s, std::size_t width)
{
    if (s.size() < width)
        s.insert(0, width - s.size(), ' ');
    return s;
}

void fnStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::int64_t i = 0;
    double x = 0;
    const NumArg kind = numberOf(ctx, argv[0], i, x);
    if (kind == NumArg::Error)
        return;
    std::int64_t length = 10, decimals = 0;
    if (argc >= 2 && !intArg(ctx, argv[1], length))
        return;
    if (argc >= 3 && !intArg(ctx, argv[2], decimals))
        return;
    if (length <= 0 || length > 8000 || decimals < 0) {
        sqlite3_result_null(ctx);
        return;
    }
    decimals = std::min<std::int64_t>(decimals, 16);
    const Decimal value = kind == NumArg::Int ? Decimal::fromInt(i) : Decimal::fromDouble(x);
    // As many of the decimals as fit; asterisks when the whole part does not.
    for (int d = int(decimals); d >= 0; --d) {
        Decimal r = value;
        r.round(d, false);
        std::string s = r.text(d);
        if (s.size() <= std::size_t(length)) {
            resultText(ctx, padLeft(std::move(s), std::size_t(length)));
            return;
        }
    }
    resultText(ctx, std::string(std::size_t(length), '*'));
}

void fnDecimalText(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t scale = 0;
    if (!intArg(ctx, argv[1], scale))
        return;
    scale = std::clamp<std::int64_t>(scale, 0, 38);
    Decimal d;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
        d = Decimal::fromInt(sqlite3_value_int64(argv[0]));
        break;
    case SQLITE_FLOAT:
        d = Decimal::fromDouble(sqlite3_value_double(argv[0]));
        break;
    default: {
        TextArg t;
        textOf(argv[0], t);
        auto parsed = Decimal::fromText(t.begin(), t.end(), true);
        if (!parsed) {
            fail(ctx, errorConverting("numeric"));
            return;
        }
        d = std::move(*parsed);
        break;
    }
    }
    d.round(int(scale), false);
    resultText(ctx, d.text(int(scale)));
}

void fnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::int64_t i = 0;
    double x = 0;
    const NumArg kind = numberOf(ctx, argv[0], i, x);
    if (kind == NumArg::Error)
        return;
    std::int64_t places = 0, function = 0;
    if (!intArg(ctx, argv[1], places))
        return;
    if (argc == 3 && !intArg(ctx, argv[2], function))
        return;
    const bool truncate = function != 0;
    if (kind == NumArg::Int) {
        if (places >= 0) {
            sqlite3_result_int64(ctx, i);
            return;
        }
        if (places < -18) {
            sqlite3_result_int64(ctx, 0);
            return;
        }
        std::int64_t unit = 1;
        for (std::int64_t k = 0; k < -places; ++k)
            unit *= 10;
        std::int64_t q = i / unit;
        const std::int64_t rem = i % unit;
        if (!truncate && (rem >= 0 ? rem : -rem) * 2 >= unit)
            q += i < 0 ? -1 : 1;
        std::int64_t r = 0;
        if (__builtin_mul_overflow(q, unit, &r)) {
            fail(ctx, overflowTo("bigint"));
            return;
        }
        sqlite3_result_int64(ctx, r);
        return;
    }
    resultReal(ctx, roundDouble(x, int(std::clamp<std::int64_t>(places, -400, 400)), truncate));
}

void floorOrCeiling(sqlite3_context* ctx, sqlite3_value** argv, bool floor)
{
    std::int64_t i = 0;
    double x = 0;
    switch (numberOf(ctx, argv[0], i, x)) {
    case NumArg::Null:
        sqlite3_result_null(ctx);
        return;
    case NumArg::Error:
        return;
    case NumArg::Int:
        sqlite3_result_int64(ctx, i);
        return;
    case NumArg::Real:
        resultReal(ctx, floor ? std::floor(x) : std::ceil(x));
        return;
    }
}

void fnFloor(sqlite3_context* ctx, int, sqlite3_value** argv) { floorOrCeiling(ctx, argv, true); }
void fnCeiling(sqlite3_context* ctx, int, sqlite3_value** argv) { floorOrCeiling(ctx, argv, false); }

void fnAbs(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::int64_t i = 0;
    double x = 0;
    switch (numberOf(ctx, argv[0], i, x)) {
    case NumArg::Null:
        sqlite3_result_null(ctx);
        return;
    case NumArg::Error:
        return;
    case NumArg::Int:
        if (i == std::numeric_limits<std::int64_t>::min())
            fail(ctx, overflowTo("bigint"));
        else
            sqlite3_result_int64(ctx, i < 0 ? -i : i);
        return;
    case NumArg::Real:
        resultReal(ctx, std::fabs(x));
        return;
    }
}

void fnSign(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::int64_t i = 0;
    double x = 0;
    switch (numberOf(ctx, argv[0], i, x)) {
    case NumArg::Null:
        sqlite3_result_null(ctx);
        return;
    case NumArg::Error:
        return;
    case NumArg::Int:
        sqlite3_result_int64(ctx, (i > 0) - (i < 0));
        return;
    case NumArg::Real:
        sqlite3_result_double(ctx, double((x > 0) - (x < 0)));
        return;
    }
}

// POWER keeps the type of its first argument: an integer base gives an
// integer (POWER(2, -1) is 0).
void fnPower(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    std::int64_t bi = 0, ei = 0;
    double b = 0, e = 0;
    const NumArg baseKind = numberOf(ctx, argv[0], bi, b);
    if (baseKind == NumArg::Error)
        return;
    const NumArg expKind = numberOf(ctx, argv[1], ei, e);
    if (expKind == NumArg::Error)
        return;
    if (baseKind == NumArg::Int && expKind == NumArg::Int && ei >= 0) {
        std::int64_t result = 1, factor = bi;
        std::int64_t n = ei;
        bool overflow = false;
        while (n > 0 && !overflow) {
            if (n & 1)
                overflow = __builtin_mul_overflow(result, factor, &result);
            n >>= 1;
            if (n > 0 && !overflow)
                overflow = __builtin_mul_overflow(factor, factor, &factor);
        }
        if (overflow)
            fail(ctx, overflowTo("bigint"));
        else
            sqlite3_result_int64(ctx, result);
        return;
    }
    const double r = std::pow(b, e);
    if (std::isnan(r) || std::isinf(r)) {
        fail(ctx, std::isnan(r) || b == 0 ? kInvalidFloatOp : overflowTo("float"));
        return;
    }
    if (baseKind == NumArg::Int) {
        const double t = std::trunc(r);
        if (!(t >= -9.2e18 && t <= 9.2e18)) {
            fail(ctx, overflowTo("bigint"));
            return;
        }
        sqlite3_result_int64(ctx, std::int64_t(t));
        return;
    }
    resultReal(ctx, r);
}

void fnSqrt(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::int64_t i = 0;
    double x = 0;
    switch (numberOf(ctx, argv[0], i, x)) {
    case NumArg::Null:
        sqlite3_result_null(ctx);
        return;
    case NumArg::Error:
        return;
    case NumArg::Int:
    case NumArg::Real:
        if (x < 0)
            fail(ctx, kInvalidFloatOp);
        else
            sqlite3_result_double(ctx, std::sqrt(x));
        return;
    }
}

// ISNUMERIC accepts what some numeric type (money included) would take:
// blanks around, a sign, a currency symbol, digits with commas and a point,
// or a float with an exponent. A lone sign, point or currency symbol counts.
bool looksNumeric(const u8* p, const u8* e)
{
    auto isSpace = [](u8 c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (p < e && isSpace(*p))
        ++p;
    while (e > p && isSpace(e[-1]))
        --e;
    if (p == e)
        return false;
    bool sign = false, currency = false;
    for (int k = 0; k < 2; ++k) {
        if (!sign && p < e && (*p == '+' || *p == '-')) {
            sign = true;
            ++p;
            continue;
        }
        if (!currency && p < e) {
            const u8* q = p;
            const char32_t c = decodeUtf8(q, e);
            if (c == '$' || c == 0xA3 || c == 0xA5 || c == 0x20AC || c == 0x0E3F) {
                currency = true;
                p = q;
            }
        }
    }
    int digits = 0;
    bool comma = false;
    while (p < e && (isDigit(*p) || *p == ',')) {
        comma |= *p == ',';
        digits += isDigit(*p);
        ++p;
    }
    if (p < e && *p == '.') {
        ++p;
        while (p < e && isDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (p < e && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
        if (digits == 0 || comma || currency)
            return false;
        ++p;
        if (p < e && (*p == '+' || *p == '-'))
            ++p;
        if (p == e || !isDigit(*p))
            return false;
        while (p < e && isDigit(*p))
            ++p;
    }
    return p == e;
}

void fnIsnumeric(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_int(ctx, 0);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_int(ctx, 1);
        return;
    default: {
        TextArg t;
        textOf(argv[0], t);
        sqlite3_result_int(ctx, looksNumeric(t.begin(), t.end()) ? 1 : 0);
        return;
    }
    }
}

void fnIsdate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg t;
    if (!textOf(argv[0], t)) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const auto st = parseStamp(t.begin(), t.end(), DateOrder::MonthFirst);
    sqlite3_result_int(ctx, st && inDatetimeRange(*st) ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Dates

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    resultStamp(ctx, toDatetimePrecision(makeStamp(d.year(), d.month(), d.day(), t.hour(), t.minute(),
                                                   t.second(), t.msec())));
}

void datePiece(sqlite3_context* ctx, sqlite3_value** argv, int which)
{
    Stamp st;
    if (!dateArg(ctx, argv[0], st))
        return;
    const Civil c = civilFromDays(st.day);
    sqlite3_result_int(ctx, which == 0 ? c.y : which == 1 ? c.m : c.d);
}

void fnYear(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 0); }
void fnMonth(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 1); }
void fnDay(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 2); }

enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond };

std::optional<Part> partOf(sqlite3_value* v, std::string& word)
{
    TextArg t;
    if (!textOf(v, t))
        return std::nullopt;
    word.assign(t.view());
    std::string key;
    for (char c : word)
        if (c != ' ')
            key.push_back(asciiLower(c));
    static const struct {
        const char* name;
        Part part;
    } names[] = {
        {"year", Part::Year}, {"yy", Part::Year}, {"yyyy", Part::Year},
        {"quarter", Part::Quarter}, {"qq", Part::Quarter}, {"q", Part::Quarter},
        {"month", Part::Month}, {"mm", Part::Month}, {"m", Part::Month},
        {"dayofyear", Part::DayOfYear}, {"dy", Part::DayOfYear}, {"y", Part::DayOfYear},
        {"day", Part::Day}, {"dd", Part::Day}, {"d", Part::Day},
        {"week", Part::Week}, {"wk", Part::Week}, {"ww", Part::Week},
        {"weekday", Part::Weekday}, {"dw", Part::Weekday}, {"w", Part::Weekday},
        {"hour", Part::Hour}, {"hh", Part::Hour},
        {"minute", Part::Minute}, {"mi", Part::Minute}, {"n", Part::Minute},
        {"second", Part::Second}, {"ss", Part::Second}, {"s", Part::Second},
        {"millisecond", Part::Millisecond}, {"ms", Part::Millisecond},
    };
    for (const auto& n : names)
        if (key == n.name)
            return n.part;
    return std::nullopt;
}

bool partArg(sqlite3_context* ctx, sqlite3_value* v, const char* function, Part& out)
{
    std::string word;
    const auto part = partOf(v, word);
    if (!part) {
        fail(ctx, "'" + word + "' is not a recognized " + function + " option.");
        return false;
    }
    out = *part;
    return true;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Weekday with SQL Server's default DATEFIRST 7: Sunday is 1. Day 0
// (1900-01-01) was a Monday.
int weekdayOf(std::int64_t day) { return int(day + 1 - floorDiv(day + 1, 7) * 7) + 1; }

int datePartValue(const Stamp& st, Part part)
{
    const DateTimeParts t = partsOf(st);
    switch (part) {
    case Part::Year: return t.y;
    case Part::Quarter: return (t.m - 1) / 3 + 1;
    case Part::Month: return t.m;
    case Part::DayOfYear: return int(st.day - daysFromCivil(t.y, 1, 1)) + 1;
    case Part::Day: return t.d;
    case Part::Week: {
        const std::int64_t jan1 = daysFromCivil(t.y, 1, 1);
        return int((st.day - jan1 + weekdayOf(jan1) - 1) / 7) + 1;
    }
    case Part::Weekday: return weekdayOf(st.day);
    case Part::Hour: return t.h;
    case Part::Minute: return t.mi;
    case Part::Second: return t.s;
    case Part::Millisecond: return t.ms;
    }
    return 0;
}

void fnDatepart(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "datepart", part))
        return;
    Stamp st;
    if (!dateArg(ctx, argv[1], st))
        return;
    sqlite3_result_int(ctx, datePartValue(st, part));
}

Stamp addMonths(const Stamp& st, std::int64_t months, bool& ok)
{
    const Civil c = civilFromDays(st.day);
    const std::int64_t index = std::int64_t(c.y) * 12 + (c.m - 1) + months;
    const std::int64_t y = floorDiv(index, 12);
    const int m = int(index - y * 12) + 1;
    ok = y >= 1 && y <= 9999;
    if (!ok)
        return st;
    const int d = std::min(c.d, daysInMonth(int(y), m));
    return {daysFromCivil(int(y), m, d), st.ms};
}

void fnDateadd(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "dateadd", part))
        return;
    std::int64_t n = 0;
    if (!intArg(ctx, argv[1], n))
        return;
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max()) {
        fail(ctx, overflowTo("int"));
        return;
    }
    Stamp st;
    if (!dateArg(ctx, argv[2], st))
        return;
    bool ok = true;
    Stamp result = st;
    switch (part) {
    case Part::Year: result = addMonths(st, n * 12, ok); break;
    case Part::Quarter: result = addMonths(st, n * 3, ok); break;
    case Part::Month: result = addMonths(st, n, ok); break;
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday: result.day += n; break;
    case Part::Week: result.day += n * 7; break;
    case Part::Hour: result = Stamp::fromTotalMs(st.totalMs() + n * 3600000); break;
    case Part::Minute: result = Stamp::fromTotalMs(st.totalMs() + n * 60000); break;
    case Part::Second: result = Stamp::fromTotalMs(st.totalMs() + n * 1000); break;
    case Part::Millisecond: result = Stamp::fromTotalMs(st.totalMs() + n); break;
    }
    result = toDatetimePrecision(result);
    if (!ok || !inDatetimeRange(result)) {
        fail(ctx, "Adding a value to a 'datetime' column caused an overflow.");
        return;
    }
    resultStamp(ctx, result);
}

// DATEDIFF counts the boundaries of the part crossed between the two
// instants, not whole elapsed units: Dec 31 to Jan 1 is one year. Weeks turn
// on Sunday whatever DATEFIRST says.
std::int64_t boundaryIndex(const Stamp& st, Part part)
{
    switch (part) {
    case Part::Year: return civilFromDays(st.day).y;
    case Part::Quarter: {
        const Civil c = civilFromDays(st.day);
        return std::int64_t(c.y) * 4 + (c.m - 1) / 3;
    }
    case Part::Month: {
        const Civil c = civilFromDays(st.day);
        return std::int64_t(c.y) * 12 + c.m - 1;
    }
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday: return st.day;
    case Part::Week: return floorDiv(st.day + 1, 7);
    case Part::Hour: return st.day * 24 + st.ms / 3600000;
    case Part::Minute: return st.day * 1440 + st.ms / 60000;
    case Part::Second: return st.day * 86400 + st.ms / 1000;
    case Part::Millisecond: return st.totalMs();
    }
    return 0;
}

void fnDatediff(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "datediff", part))
        return;
    Stamp a, b;
    if (!dateArg(ctx, argv[1], a) || !dateArg(ctx, argv[2], b))
        return;
    const std::int64_t diff = boundaryIndex(b, part) - boundaryIndex(a, part);
    if (diff < std::numeric_limits<std::int32_t>::min() || diff > std::numeric_limits<std::int32_t>::max()) {
        fail(ctx, "The datediff function resulted in an overflow. The number of dateparts separating two "
                  "date/time instances is too large. Try to use datediff with a less precise datepart.");
        return;
    }
    sqlite3_result_int64(ctx, diff);
}

// ---------------------------------------------------------------------------
// CONVERT

struct TargetType {
    enum Kind {
        Char, VarChar, NChar, NVarChar, Text,
        Decimal, Int, BigInt, SmallInt, TinyInt, Bit, Float, Real, Money, SmallMoney,
        DateTime, SmallDateTime, Date, DateTime2
    } kind = VarChar;
    std::int64_t length = 30;  // characters; -1 for max/text
    int precision = 18;
    int scale = 0;
    std::string name;  // as written, for messages

    bool isText() const { return kind <= Text; }
    bool isUnicode() const { return kind == NChar || kind == NVarChar; }
    bool fixed() const { return kind == Char || kind == NChar; }
};

enum class TypeParse { Ok, Unknown, BadScale, BadPrecision, BadSize };

TypeParse parseTargetType(std::string_view written, TargetType& out, int& badValue)
{
    std::string s;
    for (char c : written)
        if (c != ' ' && c != '\t')
            s.push_back(asciiLower(c));
    out.name = s;
    std::string base = s;
    std::vector<std::string> args;
    const auto open = s.find('(');
    if (open != std::string::npos) {
        if (s.back() != ')')
            return TypeParse::Unknown;
        base = s.substr(0, open);
        std::string inner = s.substr(open + 1, s.size() - open - 2);
        std::size_t from = 0;
        for (;;) {
            const auto comma = inner.find(',', from);
            args.push_back(inner.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
    }
    auto number = [](const std::string& a, std::int64_t& v) {
        if (a.empty() || a.size() > 9)
            return false;
        v = 0;
        for (char c : a) {
            if (c < '0' || c > '9')
                return false;
            v = v * 10 + (c - '0');
        }
        return true;
    };
    static const struct {
        const char* name;
        TargetType::Kind kind;
    } kinds[] = {
        {"char", TargetType::Char}, {"character", TargetType::Char}, {"varchar", TargetType::VarChar},
        {"nchar", TargetType::NChar}, {"nvarchar", TargetType::NVarChar}, {"sysname", TargetType::NVarChar},
        {"text", TargetType::Text}, {"ntext", TargetType::Text},
        {"decimal", TargetType::Decimal}, {"numeric", TargetType::Decimal}, {"dec", TargetType::Decimal},
        {"int", TargetType::Int}, {"integer", TargetType::Int}, {"bigint", TargetType::BigInt},
        {"smallint", TargetType::SmallInt}, {"tinyint", TargetType::TinyInt}, {"bit", TargetType::Bit},
        {"float", TargetType::Float}, {"real", TargetType::Real}, {"money", TargetType::Money},
        {"smallmoney", TargetType::SmallMoney}, {"datetime", TargetType::DateTime},
        {"smalldatetime", TargetType::SmallDateTime}, {"date", TargetType::Date},
        {"datetime2", TargetType::DateTime2},
    };
    bool found = false;
    for (const auto& k : kinds) {
        if (base == k.name) {
            out.kind = k.kind;
            found = true;
            break;
        }
    }
    if (!found)
        return TypeParse::Unknown;
    if (base == "sysname")
        out.length = 128;
    if (out.isText()) {
        if (out.kind == TargetType::Text) {
            out.length = -1;
            return args.empty() ? TypeParse::Ok : TypeParse::Unknown;
        }
        if (args.size() > 1)
            return TypeParse::Unknown;
        if (args.size() == 1) {
            std::int64_t n = 0;
            if (args[0] == "max" && (out.kind == TargetType::VarChar || out.kind == TargetType::NVarChar))
                out.length = -1;
            else if (!number(args[0], n) || n < 1)
                return TypeParse::Unknown;
            else if (n > (out.isUnicode() ? 4000 : 8000)) {
                badValue = int(n);
                return TypeParse::BadSize;
            } else
                out.length = n;
        }
        return TypeParse::Ok;
    }
    if (out.kind == TargetType::Decimal) {
        if (args.size() > 2)
            return TypeParse::Unknown;
        std::int64_t p = 18, sc = 0;
        if (!args.empty() && !number(args[0], p))
            return TypeParse::Unknown;
        if (args.size() == 2 && !number(args[1], sc))
            return TypeParse::Unknown;
        if (p < 1 || p > 38) {
            badValue = int(p);
            return TypeParse::BadPrecision;
        }
        if (sc > p)
            return TypeParse::BadScale;
        out.precision = int(p);
        out.scale = int(sc);
        return TypeParse::Ok;
    }
    if (out.kind == TargetType::Float && args.size() == 1)
        return TypeParse::Ok;  // float(n): every n gives a double here
    return args.empty() ? TypeParse::Ok : TypeParse::Unknown;
}

// datetime -> text in a CONVERT style. False for a style SQL Server rejects.
bool formatDateStyle(const Stamp& st, std::int64_t style, std::string& out)
{
    const DateTimeParts t = partsOf(st);
    const int yy = t.y % 100;
    const char* mon = kMonthAbbrev[t.m - 1];
    const int h12 = t.h % 12 == 0 ? 12 : t.h % 12;
    const char* ampm = t.h < 12 ? "AM" : "PM";
    char buf[64];
    int n = -1;
    switch (style) {
    case 0: case 100: n = std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d%s", mon, t.d, t.y, h12, t.mi, ampm); break;
    case 9: case 109:
        n = std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d:%02d:%03d%s", mon, t.d, t.y, h12, t.mi, t.s, t.ms, ampm);
        break;
    case 1: n = std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", t.m, t.d, yy); break;
    case 101: n = std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.m, t.d, t.y); break;
    case 2: n = std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", yy, t.m, t.d); break;
    case 102: n = std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", t.y, t.m, t.d); break;
    case 3: n = std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", t.d, t.m, yy); break;
    case 103: n = std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.d, t.m, t.y); break;
    case 4: n = std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", t.d, t.m, yy); break;
    case 104: n = std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.d, t.m, t.y); break;
    case 5: n = std::snprintf(buf, sizeof buf, "%02d-%02d-%02d", t.d, t.m, yy); break;
    case 105: n = std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.d, t.m, t.y); break;
    case 6: n = std::snprintf(buf, sizeof buf, "%02d %s %02d", t.d, mon, yy); break;
    case 106: n = std::snprintf(buf, sizeof buf, "%02d %s %04d", t.d, mon, t.y); break;
    case 7: n = std::snprintf(buf, sizeof buf, "%s %02d, %02d", mon, t.d, yy); break;
    case 107: n = std::snprintf(buf, sizeof buf, "%s %02d, %04d", mon, t.d, t.y); break;
    case 8: case 24: case 108: n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.h, t.mi, t.s); break;
    case 10: n = std::snprintf(buf, sizeof buf, "%02d-%02d-%02d", t.m, t.d, yy); break;
    case 110: n = std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.m, t.d, t.y); break;
    case 11: n = std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", yy, t.m, t.d); break;
    case 111: n = std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.y, t.m, t.d); break;
    case 12: n = std::snprintf(buf, sizeof buf, "%02d%02d%02d", yy, t.m, t.d); break;
    case 112: n = std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.y, t.m, t.d); break;
    case 13: case 113:
        n = std::snprintf(buf, sizeof buf, "%02d %s %04d %02d:%02d:%02d:%03d", t.d, mon, t.y, t.h, t.mi, t.s, t.ms);
        break;
    case 14: case 114: n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d", t.h, t.mi, t.s, t.ms); break;
    case 20: case 120:
        n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.y, t.m, t.d, t.h, t.mi, t.s);
        break;
    case 21: case 25: case 121:
        n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.y, t.m, t.d, t.h, t.mi, t.s, t.ms);
        break;
    case 22:
        n = std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %2d:%02d:%02d %s", t.m, t.d, yy, h12, t.mi, t.s, ampm);
        break;
    case 23: n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.y, t.m, t.d); break;
    case 126: case 127:
        n = t.ms ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.y, t.m, t.d, t.h, t.mi, t.s, t.ms)
                 : std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.y, t.m, t.d, t.h, t.mi, t.s);
        break;
    default:
        return false;
    }
    out.assign(buf, std::size_t(std::max(n, 0)));
    return true;
}

std::string withThousands(const std::string& fixed)
{
    const std::size_t start = fixed[0] == '-' ? 1 : 0;
    std::size_t point = fixed.find('.');
    if (point == std::string::npos)
        point = fixed.size();
    std::string out = fixed.substr(0, start);
    for (std::size_t i = start; i < point; ++i) {
        if (i > start && (point - i) % 3 == 0)
            out.push_back(',');
        out.push_back(fixed[i]);
    }
    out.append(fixed, point, std::string::npos);
    return out;
}

// Fits text into char(n)/varchar(n): cut to n characters, and blank-padded
// for the fixed types.
std::string fitText(std::string_view s, const TargetType& type)
{
    if (type.length < 0)
        return std::string(s);
    const u8* p = reinterpret_cast<const u8*>(s.data());
    const u8* e = p + s.size();
    const u8* q = p;
    const std::size_t chars = skipChars(q, e, std::size_t(type.length));
    std::string out(reinterpret_cast<const char*>(p), std::size_t(q - p));
    if (type.fixed() && chars < std::size_t(type.length))
        out.append(std::size_t(type.length) - chars, ' ');
    return out;
}

void convertToText(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type, std::int64_t style)
{
    const char* textType = type.isUnicode() ? "nvarchar" : "varchar";
    std::string s;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
        char buf[24];
        s.assign(buf, std::size_t(formatInt(sqlite3_value_int64(v), buf)));
        if (type.length >= 0 && s.size() > std::size_t(type.length)) {
            // SQL Server writes '*' for an int too long for char/varchar and
            // fails for the Unicode types.
            if (type.isUnicode()) {
                fail(ctx, overflowTo(textType));
                return;
            }
            s = "*";
        }
        break;
    }
    case SQLITE_FLOAT: {
        const double x = sqlite3_value_double(v);
        if (style == 1 || style == 2) {
            // The money styles: 1 groups thousands with two decimals, 2 keeps four.
            Decimal d = Decimal::fromDouble(x);
            const int scale = style == 1 ? 2 : 4;
            d.round(scale, false);
            s = d.text(scale);
            if (style == 1)
                s = withThousands(s);
        } else {
            s = formatRealString(x);
        }
        if (type.length >= 0 && s.size() > std::size_t(type.length)) {
            fail(ctx, std::string("Arithmetic overflow error converting numeric to data type ") + textType + ".");
            return;
        }
        break;
    }
    default: {
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            if (!formatDateStyle(st, style < 0 ? 0 : style, s)) {
                fail(ctx, std::to_string(style)
                         + " is not a valid style number when converting from datetime to a character string.");
                return;
            }
        } else {
            s.assign(t.view());
        }
        break;
    }
    }
    resultText(ctx, fitText(s, type));
}

// The name SQL Server gives the source type in overflow messages.
const char* sourceTypeName(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return "int";
    case SQLITE_FLOAT: return "numeric";
    default: return "varchar";
    }
}

void convertToDecimal(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type)
{
    Decimal d;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        d = Decimal::fromInt(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        d = Decimal::fromDouble(sqlite3_value_double(v));
        break;
    default: {
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            d = Decimal::fromDouble(daysOf(st));
            break;
        }
        auto parsed = Decimal::fromText(t.begin(), t.end(), false);
        if (!parsed) {
            fail(ctx, errorConverting("numeric"));
            return;
        }
        d = std::move(*parsed);
        break;
    }
    }
    d.round(type.scale, false);
    if (d.integerDigits() > type.precision - type.scale) {
        fail(ctx, std::string("Arithmetic overflow error converting ") + sourceTypeName(v) + " to data type numeric.");
        return;
    }
    if (type.scale == 0 && d.integerDigits() <= 18) {
        const std::string whole = d.text(0);
        std::int64_t i = 0;
        std::from_chars(whole.data(), whole.data() + whole.size(), i);
        sqlite3_result_int64(ctx, i);
        return;
    }
    sqlite3_result_double(ctx, d.toDouble());
}

struct IntRange {
    std::int64_t lo, hi;
    const char* name;
    const char* columnName;  // how the varchar overflow message names it
};

IntRange intRangeOf(TargetType::Kind kind)
{
    switch (kind) {
    case TargetType::TinyInt: return {0, 255, "tinyint", "INT1"};
    case TargetType::SmallInt: return {-32768, 32767, "smallint", "INT2"};
    case TargetType::Int: return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), "int", "int"};
    default: return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), "bigint", "bigint"};
    }
}

void convertToInteger(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type)
{
    const IntRange range = intRangeOf(type.kind);
    auto outOfRangeNumber = [&](std::int64_t value, bool fromInt) {
        if (fromInt && (type.kind == TargetType::TinyInt || type.kind == TargetType::SmallInt))
            fail(ctx, std::string("Arithmetic overflow error for data type ") + range.name + ", value = "
                     + std::to_string(value) + ".");
        else
            fail(ctx, overflowTo(range.name));
    };
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
        const std::int64_t i = sqlite3_value_int64(v);
        if (i < range.lo || i > range.hi)
            outOfRangeNumber(i, true);
        else
            sqlite3_result_int64(ctx, i);
        return;
    }
    case SQLITE_FLOAT: {
        const double t = std::trunc(sqlite3_value_double(v));
        if (!(t >= double(range.lo) && t <= double(range.hi)) || std::fabs(t) >= 9.2e18)
            outOfRangeNumber(0, false);
        else
            sqlite3_result_int64(ctx, std::int64_t(t));
        return;
    }
    default: {
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            // datetime -> int rounds to the nearest day.
            const std::int64_t days = std::int64_t(std::floor(daysOf(st) + 0.5));
            if (days < range.lo || days > range.hi)
                outOfRangeNumber(days, false);
            else
                sqlite3_result_int64(ctx, days);
            return;
        }
        std::int64_t i = 0;
        const Parsed r = parseIntText(t.begin(), t.end(), i);
        if (r == Parsed::Invalid) {
            fail(ctx, conversionFailed(t.view(), range.name));
            return;
        }
        if (r == Parsed::Overflow || i < range.lo || i > range.hi) {
            if (type.kind == TargetType::BigInt)
                fail(ctx, errorConverting("bigint"));
            else if (type.kind == TargetType::Int)
                fail(ctx, intColumnOverflow(t.view()));
            else
                fail(ctx, "The conversion of the varchar value '" + std::string(t.view()) + "' overflowed an "
                         + range.columnName + " column. Use a larger integer column.");
            return;
        }
        sqlite3_result_int64(ctx, i);
        return;
    }
    }
}

void convertToBit(sqlite3_context* ctx, sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        sqlite3_result_int(ctx, sqlite3_value_int64(v) != 0);
        return;
    case SQLITE_FLOAT:
        sqlite3_result_int(ctx, sqlite3_value_double(v) != 0);
        return;
    default: {
        TextArg t;
        textOf(v, t);
        const u8* p = t.begin();
        const u8* e = t.end();
        trimBlanks(p, e);
        std::string word;
        for (const u8* q = p; q < e && word.size() < 6; ++q)
            word.push_back(asciiLower(char(*q)));
        if (e - p == 4 && word == "true") {
            sqlite3_result_int(ctx, 1);
            return;
        }
        if (e - p == 5 && word == "false") {
            sqlite3_result_int(ctx, 0);
            return;
        }
        std::int64_t i = 0;
        const Parsed r = parseIntText(t.begin(), t.end(), i);
        if (r == Parsed::Invalid) {
            fail(ctx, conversionFailed(t.view(), "bit"));
            return;
        }
        sqlite3_result_int(ctx, r == Parsed::Overflow || i != 0);
        return;
    }
    }
}

void convertToFloat(sqlite3_context* ctx, sqlite3_value* v, bool single)
{
    double x = 0;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        x = sqlite3_value_double(v);
        break;
    default: {
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            x = daysOf(st);
        } else if (!parseFloatText(t.begin(), t.end(), x)) {
            fail(ctx, errorConverting(single ? "real" : "float"));
            return;
        }
        break;
    }
    }
    if (single) {
        if (std::fabs(x) > double(std::numeric_limits<float>::max())) {
            fail(ctx, overflowTo("real"));
            return;
        }
        x = double(float(x));
    }
    sqlite3_result_double(ctx, x);
}

void convertToMoney(sqlite3_context* ctx, sqlite3_value* v, bool small)
{
    Decimal d;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        d = Decimal::fromInt(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        d = Decimal::fromDouble(sqlite3_value_double(v));
        break;
    default: {
        TextArg t;
        textOf(v, t);
        // Money text may carry a currency symbol and thousands separators.
        std::string cleaned;
        const u8* p = t.begin();
        const u8* e = t.end();
        while (p < e) {
            const u8* q = p;
            const char32_t c = decodeUtf8(q, e);
            if (c != ',' && c != '$' && c != 0x0E3F && c != 0xA3 && c != 0xA5 && c != 0x20AC)
                cleaned.append(reinterpret_cast<const char*>(p), std::size_t(q - p));
            p = q;
        }
        const u8* cp = reinterpret_cast<const u8*>(cleaned.data());
        auto parsed = Decimal::fromText(cp, cp + cleaned.size(), false);
        if (!parsed) {
            fail(ctx, "Cannot convert a char value to money. The char value has incorrect syntax.");
            return;
        }
        d = std::move(*parsed);
        break;
    }
    }
    d.round(4, false);
    const double x = d.toDouble();
    const double limit = small ? 214748.3647 : 922337203685477.5807;
    if (std::fabs(x) > limit) {
        fail(ctx, overflowTo(small ? "smallmoney" : "money"));
        return;
    }
    sqlite3_result_double(ctx, x);
}

// The order a CONVERT style reads day and month in.
DateOrder orderOfStyle(std::int64_t style)
{
    switch (style) {
    case 3: case 103: case 4: case 104: case 5: case 105: case 6: case 106: case 13: case 113:
        return DateOrder::DayFirst;
    default:
        return DateOrder::MonthFirst;
    }
}

void convertToDate(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type, std::int64_t style)
{
    Stamp st;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (!stampFromDays(sqlite3_value_double(v), st) || !inDatetimeRange(st)) {
            fail(ctx, overflowTo(type.kind == TargetType::SmallDateTime ? "smalldatetime" : "datetime"));
            return;
        }
        break;
    default: {
        TextArg t;
        textOf(v, t);
        const auto parsed = parseStamp(t.begin(), t.end(), orderOfStyle(style));
        if (!parsed) {
            fail(ctx, kDateFromText);
            return;
        }
        st = *parsed;
        if (type.kind == TargetType::DateTime && !inDatetimeRange(st)) {
            fail(ctx, "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
            return;
        }
        break;
    }
    }
    switch (type.kind) {
    case TargetType::DateTime:
        st = toDatetimePrecision(st);
        break;
    case TargetType::SmallDateTime: {
        // Whole minutes: 29.998 s rounds down, 29.999 s up.
        const int intoMinute = st.ms % 60000;
        st = Stamp::fromTotalMs(st.totalMs() - intoMinute + (intoMinute >= 29999 ? 60000 : 0));
        if (st.day < 0 || st.day > daysFromCivil(2079, 6, 6)) {
            fail(ctx, "The conversion of a varchar data type to a smalldatetime data type resulted in an "
                      "out-of-range value.");
            return;
        }
        break;
    }
    case TargetType::Date:
        st.ms = 0;
        break;
    default:
        break;
    }
    resultStamp(ctx, st);
}

void fnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        // CONVERT of NULL, or with a NULL style, is NULL.
        sqlite3_result_null(ctx);
        return;
    }
    TextArg typeText;
    textOf(argv[0], typeText);
    TargetType type;
    int badValue = 0;
    switch (parseTargetType(typeText.view(), type, badValue)) {
    case TypeParse::Ok:
        break;
    case TypeParse::Unknown:
        fail(ctx, "Type " + std::string(typeText.view()) + " is not a defined system type.");
        return;
    case TypeParse::BadSize: {
        const std::string base = type.name.substr(0, type.name.find('('));
        fail(ctx, "The size (" + std::to_string(badValue) + ") given to the type '" + base
                 + "' exceeds the maximum allowed for any data type (" + (type.isUnicode() ? "4000" : "8000") + ").");
        return;
    }
    case TypeParse::BadScale:
        fail(ctx, "The scale must be less than or equal to the precision.");
        return;
    case TypeParse::BadPrecision:
        fail(ctx, "Specified column precision " + std::to_string(badValue)
                 + " is greater than the maximum precision of 38.");
        return;
    }
    std::int64_t style = -1;
    if (argc == 3 && !intArg(ctx, argv[2], style))
        return;
    sqlite3_value* v = argv[1];
    switch (type.kind) {
    case TargetType::Char:
    case TargetType::VarChar:
    case TargetType::NChar:
    case TargetType::NVarChar:
    case TargetType::Text:
        convertToText(ctx, v, type, style);
        return;
    case TargetType::Decimal:
        convertToDecimal(ctx, v, type);
        return;
    case TargetType::Int:
    case TargetType::BigInt:
    case TargetType::SmallInt:
    case TargetType::TinyInt:
        convertToInteger(ctx, v, type);
        return;
    case TargetType::Bit:
        convertToBit(ctx, v);
        return;
    case TargetType::Float:
    case TargetType::Real:
        convertToFloat(ctx, v, type.kind == TargetType::Real);
        return;
    case TargetType::Money:
    case TargetType::SmallMoney:
        convertToMoney(ctx, v, type.kind == TargetType::SmallMoney);
        return;
    case TargetType::DateTime:
    case TargetType::SmallDateTime:
    case TargetType::Date:
    case TargetType::DateTime2:
        convertToDate(ctx, v, type, style);
        return;
    }
}

// ---------------------------------------------------------------------------
// Registration

using ScalarFn = void (*)(sqlite3_context*, int, sqlite3_value**);

struct FunctionDef {
    const char* name;
    int argc;
    ScalarFn fn;
    bool deterministic;
};

const FunctionDef kFunctions[] = {
    {"ms_add", 2, fnAdd, true},
    {"ms_sub", 2, fnSub, true},
    {"ms_mul", 2, fnMul, true},
    {"ms_div", 2, fnDiv, true},
    {"ms_mod", 2, fnMod, true},
    {"ms_neg", 1, fnNeg, true},
    {"ms_like", 2, nullIn<fnLike>, true},
    {"ms_like", 3, nullIn<fnLike>, true},
    {"ms_len", 1, fnLen, true},
    {"ms_substring", 3, nullIn<fnSubstring>, true},
    {"ms_left", 2, fnLeft, true},
    {"ms_right", 2, fnRight, true},
    {"ms_charindex", 2, nullIn<fnCharindex>, true},
    {"ms_charindex", 3, nullIn<fnCharindex>, true},
    {"ms_replace", 3, nullIn<fnReplace>, true},
    {"ms_upper", 1, fnUpper, true},
    {"ms_lower", 1, fnLower, true},
    {"ms_space", 1, nullIn<fnSpace>, true},
    {"ms_replicate", 2, nullIn<fnReplicate>, true},
    {"ms_reverse", 1, fnReverse, true},
    {"ms_str", 1, nullIn<fnStr>, true},
    {"ms_str", 2, nullIn<fnStr>, true},
    {"ms_str", 3, nullIn<fnStr>, true},
    {"ms_convert", 2, fnConvert, true},
    {"ms_convert", 3, fnConvert, true},
    {"ms_decimal_text", 2, nullIn<fnDecimalText>, true},
    {"ms_getdate", 0, fnGetdate, false},
    {"ms_year", 1, fnYear, true},
    {"ms_month", 1, fnMonth, true},
    {"ms_day", 1, fnDay, true},
    {"ms_dateadd", 3, nullIn<fnDateadd>, true},
    {"ms_datediff", 3, nullIn<fnDatediff>, true},
    {"ms_datepart", 2, nullIn<fnDatepart>, true},
    {"ms_round", 2, nullIn<fnRound>, true},
    {"ms_round", 3, nullIn<fnRound>, true},
    {"ms_floor", 1, fnFloor, true},
    {"ms_ceiling", 1, fnCeiling, true},
    {"ms_abs", 1, fnAbs, true},
    {"ms_sign", 1, fnSign, true},
    {"ms_power", 2, nullIn<fnPower>, true},
    {"ms_sqrt", 1, fnSqrt, true},
    {"ms_isnumeric", 1, fnIsnumeric, true},
    {"ms_isdate", 1, fnIsdate, true},
};

} // namespace

void registerSqlServerFunctions(sqlite3* handle)
{
    if (!handle)
        throw DbError(QStringLiteral("No SQLite connection to register the SQL Server functions on."));
    int rc = sqlite3_create_collation_v2(handle, "MSSQL", SQLITE_UTF8, nullptr, compareMssql, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("Cannot register the MSSQL collation: %1")
                          .arg(QString::fromUtf8(sqlite3_errmsg(handle))));
    for (const FunctionDef& f : kFunctions) {
        // None of them touches anything but its arguments, so they may also
        // appear in views, triggers and indexes.
        const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        rc = sqlite3_create_function_v2(handle, f.name, f.argc, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw DbError(QStringLiteral("Cannot register %1: %2")
                              .arg(QString::fromLatin1(f.name), QString::fromUtf8(sqlite3_errmsg(handle))));
    }
}

QString canonicalDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return QString();
    const QDate d = dt.date();
    const QTime t = dt.time();
    char buf[24];
    formatCanonical(makeStamp(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()), buf);
    return QString::fromLatin1(buf, 23);
}

std::optional<QDateTime> parseDateTime(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    const u8* p = reinterpret_cast<const u8*>(utf8.constData());
    const auto st = parseStamp(p, p + utf8.size(), DateOrder::MonthFirst);
    if (!st)
        return std::nullopt;
    const DateTimeParts t = partsOf(*st);
    return QDateTime(QDate(t.y, t.m, t.d), QTime(t.h, t.mi, t.s, t.ms));
}

} // namespace db::sqlite
