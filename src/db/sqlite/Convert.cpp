// CONVERT (and CAST, which the front end writes as CONVERT) to every type
// the engine knows, with SQL Server's styles and messages.

#include "DayNumberDates.h"
#include "DecimalDigits.h"
#include "WideDecimal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace db::sqlite::fn {
namespace {

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

// Fits text into char(n)/varchar(n): cut to n characters, and blank-padded
// for the fixed types.
// Set while TRY_CONVERT runs: a value that does not convert gives NULL.
// Wrong types and styles are still errors.
thread_local bool tNullOnFailure = false;

void conversionFail(sqlite3_context* ctx, const std::string& message)
{
    if (tNullOnFailure)
        sqlite3_result_null(ctx);
    else
        fail(ctx, message);
}

// A number argument's digits as a conversion reads them: an integer and a
// wide decimal exactly, a float by the fifteen digits it is shown with.
// False for NULL, text and other BLOBs.
bool numberDigits(sqlite3_value* v, Decimal& d)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        d = Decimal::fromInt(sqlite3_value_int64(v));
        return true;
    case SQLITE_FLOAT:
        d = Decimal::fromDouble(sqlite3_value_double(v));
        return true;
    default:
        return wideValue(v, d);
    }
}

// The money styles: 1 groups thousands with two decimals, 2 keeps four.
std::string moneyStyleText(Decimal d, std::int64_t style)
{
    const int scale = style == 1 ? 2 : 4;
    d.round(scale, false);
    const std::string s = d.text(scale);
    return style == 1 ? withThousands(s) : s;
}

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

const char* textTypeName(const TargetType& type) { return type.isUnicode() ? "nvarchar" : "varchar"; }

// A decimal's text does not fit a shorter char or varchar: it is refused, not cut.
bool decimalTextFits(sqlite3_context* ctx, const std::string& s, const TargetType& type)
{
    if (type.length < 0 || s.size() <= std::size_t(type.length))
        return true;
    conversionFail(ctx, std::string("Arithmetic overflow error converting numeric to data type ") + textTypeName(type) + ".");
    return false;
}

void convertToText(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type, std::int64_t style)
{
    const char* textType = textTypeName(type);
    const bool moneyStyle = style == 1 || style == 2;
    std::string s;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
        char buf[24];
        s.assign(buf, std::size_t(formatInt(sqlite3_value_int64(v), buf)));
        if (type.length >= 0 && s.size() > std::size_t(type.length)) {
            // SQL Server writes '*' for an int too long for char/varchar and
            // fails for the Unicode types.
            if (type.isUnicode()) {
                conversionFail(ctx, overflowTo(textType));
                return;
            }
            s = "*";
        }
        break;
    }
    case SQLITE_FLOAT: {
        const double x = sqlite3_value_double(v);
        s = moneyStyle ? moneyStyleText(Decimal::fromDouble(x), style) : formatRealString(x);
        if (!decimalTextFits(ctx, s, type))
            return;
        break;
    }
    default: {
        if (Decimal wide; wideValue(v, wide)) {
            s = moneyStyle ? moneyStyleText(std::move(wide), style) : decimalText(wide, 0);
            if (!decimalTextFits(ctx, s, type))
                return;
            break;
        }
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
    default: return isWideValue(v) ? "numeric" : "varchar";
    }
}

void convertToDecimal(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type)
{
    Decimal d;
    if (!numberDigits(v, d)) {
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            d = Decimal::fromDouble(daysOf(st));
        } else {
            auto parsed = Decimal::fromText(t.begin(), t.end(), false);
            if (!parsed) {
                conversionFail(ctx, errorConverting("numeric"));
                return;
            }
            d = std::move(*parsed);
        }
    }
    if (!fitDecimal(d, type.precision, type.scale)) {
        conversionFail(ctx, std::string("Arithmetic overflow error converting ") + sourceTypeName(v) + " to data type numeric.");
        return;
    }
    if (std::int64_t whole = 0; type.scale == 0 && d.toInt64(whole)) {
        sqlite3_result_int64(ctx, whole);
        return;
    }
    resultDecimal(ctx, d);
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
            conversionFail(ctx, std::string("Arithmetic overflow error for data type ") + range.name + ", value = "
                     + std::to_string(value) + ".");
        else
            conversionFail(ctx, overflowTo(range.name));
    };
    if (Decimal wide; wideValue(v, wide)) {
        // A decimal is cut toward zero (money was rounded before it came).
        wide.round(0, true);
        std::int64_t i = 0;
        if (!wide.toInt64(i) || i < range.lo || i > range.hi)
            outOfRangeNumber(0, false);
        else
            sqlite3_result_int64(ctx, i);
        return;
    }
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
            conversionFail(ctx, conversionFailed(t.view(), range.name));
            return;
        }
        if (r == Parsed::Overflow || i < range.lo || i > range.hi) {
            if (type.kind == TargetType::BigInt)
                conversionFail(ctx, errorConverting("bigint"));
            else if (type.kind == TargetType::Int)
                conversionFail(ctx, intColumnOverflow(t.view()));
            else
                conversionFail(ctx, "The conversion of the varchar value '" + std::string(t.view()) + "' overflowed an "
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
    if (Decimal wide; wideValue(v, wide)) {
        sqlite3_result_int(ctx, !wide.isZero());
        return;
    }
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
            conversionFail(ctx, conversionFailed(t.view(), "bit"));
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
    Decimal wide;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        x = sqlite3_value_double(v);
        break;
    default: {
        if (wideValue(v, wide)) {
            x = wide.toDouble();
            break;
        }
        TextArg t;
        textOf(v, t);
        Stamp st;
        if (parseCanonical(t.p, t.n, st)) {
            x = daysOf(st);
        } else if (!parseFloatText(t.begin(), t.end(), x)) {
            conversionFail(ctx, errorConverting(single ? "real" : "float"));
            return;
        }
        break;
    }
    }
    if (single) {
        if (std::fabs(x) > double(std::numeric_limits<float>::max())) {
            conversionFail(ctx, overflowTo("real"));
            return;
        }
        x = double(float(x));
    }
    sqlite3_result_double(ctx, x);
}

void convertToMoney(sqlite3_context* ctx, sqlite3_value* v, bool small)
{
    Decimal d;
    if (!numberDigits(v, d)) {
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
            conversionFail(ctx, "Cannot convert a char value to money. The char value has incorrect syntax.");
            return;
        }
        d = std::move(*parsed);
    }
    if (!fitMoney(d, small)) {
        conversionFail(ctx, overflowTo(small ? "smallmoney" : "money"));
        return;
    }
    resultDecimal(ctx, d);
}

const char kSmallDatetimeOutOfRange[] =
    "The conversion of a varchar data type to a smalldatetime data type resulted in an out-of-range value.";

// The order a CONVERT style reads day and month in; without a style, the
// session's (SET DATEFORMAT).
DateOrder orderOfStyle(sqlite3_context* ctx, std::int64_t style)
{
    switch (style) {
    case -1: case 0: case 100:
        return sessionDateOrder(ctx);
    case 3: case 103: case 4: case 104: case 5: case 105: case 6: case 106: case 13: case 113:
        return DateOrder::Dmy;
    default:
        return DateOrder::Mdy;
    }
}

void convertToDate(sqlite3_context* ctx, sqlite3_value* v, const TargetType& type, std::int64_t style)
{
    Stamp st;
    Decimal wide;
    const bool isWide = wideValue(v, wide);
    switch (isWide ? SQLITE_FLOAT : sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (!stampFromDays(isWide ? wide.toDouble() : sqlite3_value_double(v), st) || !inDatetimeRange(st)) {
            conversionFail(ctx, overflowTo(type.kind == TargetType::SmallDateTime ? "smalldatetime" : "datetime"));
            return;
        }
        break;
    default: {
        TextArg t;
        textOf(v, t);
        const bool olderType = type.kind == TargetType::DateTime || type.kind == TargetType::SmallDateTime;
        bool outOfRange = false;
        const auto parsed = parseStamp(t.begin(), t.end(), orderOfStyle(ctx, style),
                                       olderType ? YearFirst::ByOrder : YearFirst::AsWritten, &outOfRange);
        // datetime names a day that does not exist as out of its range;
        // date and datetime2 as text they cannot read.
        if (!parsed && !(olderType && outOfRange)) {
            conversionFail(ctx, kDateFromText);
            return;
        }
        if (type.kind == TargetType::DateTime && (!parsed || !inDatetimeRange(*parsed))) {
            conversionFail(ctx, "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
            return;
        }
        if (!parsed) {
            conversionFail(ctx, kSmallDatetimeOutOfRange);
            return;
        }
        st = *parsed;
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
            conversionFail(ctx, kSmallDatetimeOutOfRange);
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

// A date as text in a CONVERT style: SQL Server writes a date's day alone,
// without the time of day the style gives a datetime.
void fnDateText(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    Stamp st;
    std::int64_t style = 0;
    if (!dateArg(ctx, argv[0], st) || !intArg(ctx, argv[1], style))
        return;
    std::string s;
    if (!formatDateStyle(st, style, s)) {
        fail(ctx, std::to_string(style) + " is not a valid style number when converting from date to a character string.");
        return;
    }
    switch (style) {
    case 0: case 100: case 9: case 109: case 13: case 113:
        s.resize(std::min<std::size_t>(s.size(), 11));  // "Aug 25 2017", "25 Aug 2017"
        break;
    case 20: case 120: case 21: case 121: case 126: case 127:
        s.resize(std::min<std::size_t>(s.size(), 10));  // "2017-08-25"
        break;
    default:
        break;
    }
    resultText(ctx, s);
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

void fnTryConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    tNullOnFailure = true;
    fnConvert(ctx, argc, argv);
    tNullOnFailure = false;
}

} // namespace

std::span<const FunctionDef> convertFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_convert", 2, fnConvert, true},
    {"ms_convert", 3, fnConvert, true},
    {"ms_try_convert", 2, fnTryConvert, true},
    {"ms_try_convert", 3, fnTryConvert, true},
    {"ms_date_text", 2, nullIn<fnDateText>, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
