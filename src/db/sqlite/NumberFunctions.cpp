// STR, ROUND, FLOOR, CEILING, ABS, SIGN, POWER, SQRT, ISNUMERIC, ISDATE and
// the fixed-decimal text that decimal columns are shown with.

#include "DayNumberDates.h"
#include "DecimalDigits.h"
#include "WideDecimal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace db::sqlite::fn {
namespace {

// A numeric argument; text converts as varchar -> float does, and a wide
// decimal reads as the nearest float (the exact functions read it first).
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
        if (Decimal wide; wideValue(v, wide)) {
            r = wide.toDouble();
            return NumArg::Real;
        }
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
    Decimal value;
    if (wideValue(argv[0], value))
        value.round(17 - value.intLen, false);  // STR takes a float: its seventeen digits
    else
        value = kind == NumArg::Int ? Decimal::fromInt(i) : Decimal::fromDouble(x);
    // The whole part of the value as given decides how many decimals fit;
    // when rounding then makes it longer (9999.998 to 10000.00), the result
    // does not fit and is asterisks, as in SQL Server.
    Decimal whole = value;
    whole.round(0, true);
    const std::int64_t wholeLength = std::int64_t(whole.text(0).size()) + (value.negative && whole.isZero() ? 1 : 0);
    const int fitting = int(std::clamp<std::int64_t>(length - wholeLength - 1, 0, decimals));
    Decimal rounded = value;
    rounded.round(fitting, false);
    std::string s = rounded.text(fitting);
    if (wholeLength > length || s.size() > std::size_t(length)) {
        resultText(ctx, std::string(std::size_t(length), '*'));
        return;
    }
    resultText(ctx, padLeft(std::move(s), std::size_t(length)));
}

void fnDecimalText(sqlite3_context* ctx, int argc, sqlite3_value** argv)
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
        if (wideValue(argv[0], d))
            break;
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
    std::int64_t grouped = 0;
    if (argc == 3 && !intArg(ctx, argv[2], grouped))
        return;
    resultText(ctx, grouped ? withThousands(d.text(int(scale))) : d.text(int(scale)));
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
    if (Decimal wide; wideValue(argv[0], wide)) {
        wide.round(int(std::clamp<std::int64_t>(places, -400, 400)), truncate);
        resultDecimal(ctx, wide);
        return;
    }
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

// The whole number below (floor) or above a decimal, every digit kept.
void floorOrCeilingOf(sqlite3_context* ctx, const Decimal& d, bool floor)
{
    Decimal whole = d;
    whole.round(0, true);
    if (d.isWhole() || floor != d.negative) {
        resultDecimal(ctx, whole);
        return;
    }
    // Cut toward zero, so one more step away from it.
    ScaledValue s;
    if (scaledOf(whole, s) && addScaled(s, ScaledValue::fromInt(d.negative ? -1 : 1), false, s))
        resultScaled(ctx, s);
    else
        resultReal(ctx, floor ? std::floor(d.toDouble()) : std::ceil(d.toDouble()));
}

void floorOrCeiling(sqlite3_context* ctx, sqlite3_value** argv, bool floor)
{
    if (Decimal wide; wideValue(argv[0], wide)) {
        floorOrCeilingOf(ctx, wide, floor);
        return;
    }
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
    if (Decimal wide; wideValue(argv[0], wide)) {
        wide.negative = false;
        resultDecimal(ctx, wide);
        return;
    }
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
        // A wide decimal's text is its digits, which look numeric.
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
    const auto st = parseStamp(t.begin(), t.end(), sessionDateOrder(ctx));
    sqlite3_result_int(ctx, st && inDatetimeRange(*st) ? 1 : 0);
}

} // namespace

std::span<const FunctionDef> numberFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_str", 1, nullIn<fnStr>, true},
    {"ms_str", 2, nullIn<fnStr>, true},
    {"ms_str", 3, nullIn<fnStr>, true},
    {"ms_decimal_text", 2, nullIn<fnDecimalText>, true},
    {"ms_decimal_text", 3, nullIn<fnDecimalText>, true},
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
    return rows;
}

} // namespace db::sqlite::fn
