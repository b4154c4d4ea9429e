#include "FunctionSupport.h"

#include "WideDecimal.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace db::sqlite::fn {

std::string foldedText(const u8* p, const u8* end)
{
    std::string out;
    out.reserve(std::size_t(end - p));
    while (p < end)
        appendUtf8(out, nextFolded(p, end));
    return out;
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

void resultReal(sqlite3_context* ctx, double v)
{
    if (!std::isfinite(v)) {
        fail(ctx, overflowTo("float"));
        return;
    }
    sqlite3_result_double(ctx, v == 0 ? 0.0 : v);
}

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
        if (Decimal d; wideValue(v, d)) {
            t.spelled = decimalText(d, 0);
            t.n = int(t.spelled.size());
            t.p = reinterpret_cast<const u8*>(t.spelled.data());
            return true;
        }
        const u8* s = sqlite3_value_text(v);
        t.n = sqlite3_value_bytes(v);
        t.p = s ? s : reinterpret_cast<const u8*>("");
        return true;
    }
    }
}

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
        if (Decimal d; wideValue(v, d)) {
            d.round(0, true);
            if (d.toInt64(out))
                return true;
            fail(ctx, overflowTo("int"));
            return false;
        }
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

} // namespace db::sqlite::fn
