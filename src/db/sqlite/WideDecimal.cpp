#include "WideDecimal.h"

#include <cstring>

namespace db::sqlite::fn {
namespace {

// The mark: 0xFF cannot start UTF-8 text, and 0xDE 0xC1 reads "DECI".
constexpr unsigned char kMark0 = 0xFF;
constexpr unsigned char kMark1 = 0xDE;
constexpr unsigned char kNegative = 0x01, kZero = 0x02, kPositive = 0x03;
constexpr int kExponentBias = 128;
constexpr unsigned char kNegativeEnd = 0xFF;  // after a negative's digits, which sort reversed

} // namespace

std::string encodeNumberKey(const Decimal& d)
{
    std::string out;
    out.reserve(d.digits.size() + 5);
    out.push_back(char(kMark0));
    out.push_back(char(kMark1));
    if (d.isZero()) {
        out.push_back(char(kZero));
        return out;
    }
    // Sign, then the exponent (more integer digits, larger), then the digits
    // (no trailing zeros, so a shorter run is the smaller); a negative number
    // has all three reversed and ends with a byte above every digit.
    const int exponent = std::clamp(d.intLen + kExponentBias, 1, 254);
    if (!d.negative) {
        out.push_back(char(kPositive));
        out.push_back(char(exponent));
        out.append(d.digits);
    } else {
        out.push_back(char(kNegative));
        out.push_back(char(255 - exponent));
        for (const char c : d.digits)
            out.push_back(char('0' + '9' - c));
        out.push_back(char(kNegativeEnd));
    }
    return out;
}

bool decodeNumberKey(const void* bytes, int size, Decimal& out)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    if (size < 3 || p[0] != kMark0 || p[1] != kMark1)
        return false;
    out = Decimal();
    if (p[2] == kZero)
        return size == 3;
    if (size < 5 || (p[2] != kPositive && p[2] != kNegative))
        return false;
    const bool negative = p[2] == kNegative;
    int end = size;
    if (negative) {
        if (p[size - 1] != kNegativeEnd)
            return false;
        --end;
    }
    out.negative = negative;
    out.intLen = (negative ? 255 - p[3] : p[3]) - kExponentBias;
    for (int i = 4; i < end; ++i) {
        const unsigned char c = negative ? u8('0' + '9' - p[i]) : p[i];
        if (c < '0' || c > '9')
            return false;
        out.digits.push_back(char(c));
    }
    return !out.digits.empty();
}

bool wideValue(sqlite3_value* v, Decimal& out)
{
    if (sqlite3_value_type(v) != SQLITE_BLOB)
        return false;
    return decodeNumberKey(sqlite3_value_blob(v), sqlite3_value_bytes(v), out);
}

bool isWideValue(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_BLOB || sqlite3_value_bytes(v) < 3)
        return false;
    const auto* p = static_cast<const unsigned char*>(sqlite3_value_blob(v));
    return p[0] == kMark0 && p[1] == kMark1;
}

bool carriedByDouble(const Decimal& d)
{
    // 15 significant digits always come back from the nearest double; the
    // exponent bound keeps clear of subnormals and infinity.
    return d.digits.size() <= std::size_t(kDoubleDigits) && d.intLen > -290 && d.intLen < 300;
}

void resultDecimal(sqlite3_context* ctx, const Decimal& d)
{
    if (carriedByDouble(d)) {
        sqlite3_result_double(ctx, d.toDouble());
        return;
    }
    // A whole number 64 bits hold is the INTEGER a written one is, so the
    // two compare, group and join as equal.
    if (std::int64_t whole = 0; d.toInt64(whole)) {
        sqlite3_result_int64(ctx, whole);
        return;
    }
    const std::string key = encodeNumberKey(d);
    sqlite3_result_blob(ctx, key.data(), int(key.size()), SQLITE_TRANSIENT);
}

Decimal decimalOf(const ScaledValue& v)
{
    Decimal d;
    d.negative = v.units < 0;
    unsigned __int128 m = v.units < 0 ? -(unsigned __int128)v.units : (unsigned __int128)v.units;
    char buf[48];
    char* end = buf + sizeof buf;
    char* p = end;
    do {
        *--p = char('0' + int(m % 10));
        m /= 10;
    } while (m);
    d.digits.assign(p, end);
    d.intLen = int(d.digits.size()) - v.scale;
    d.normalize();
    return d;
}

void resultScaled(sqlite3_context* ctx, const ScaledValue& v) { resultDecimal(ctx, decimalOf(v)); }

bool scaledOf(const Decimal& d, ScaledValue& out)
{
    const int scale = std::max(0, int(d.digits.size()) - d.intLen);
    if (scale > ScaledValue::kMaxScale || d.intLen > 38)
        return false;
    // units = digits * 10^(scale - (digits - intLen))
    __int128 units = 0;
    for (const char c : d.digits) {
        if (__builtin_mul_overflow(units, 10, &units) || __builtin_add_overflow(units, c - '0', &units))
            return false;
    }
    for (int k = int(d.digits.size()) - d.intLen; k < scale; ++k) {
        if (__builtin_mul_overflow(units, 10, &units))
            return false;
    }
    out.units = d.negative ? -units : units;
    out.scale = scale;
    return true;
}

bool numberArgument(sqlite3_value* v, Decimal& out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out = Decimal::fromInt(sqlite3_value_int64(v));
        return true;
    case SQLITE_FLOAT: {
        ScaledValue s;
        if (ScaledValue::fromDouble(sqlite3_value_double(v), s))
            out = decimalOf(s);
        else
            out = Decimal::fromDouble(sqlite3_value_double(v));
        return true;
    }
    case SQLITE_BLOB:
        return wideValue(v, out);
    default:
        return false;
    }
}

bool fitMoney(Decimal& d, bool small)
{
    d.round(4, false);
    if (d.integerDigits() < (small ? 6 : 15))
        return true;
    // Two's complement counts of ten-thousandths: one more below zero than above.
    auto key = [](const char* text) {
        const auto* p = reinterpret_cast<const u8*>(text);
        return encodeNumberKey(*Decimal::fromText(p, p + std::strlen(text), false));
    };
    static const std::string moneyLow = key("-922337203685477.5808"), moneyHigh = key("922337203685477.5807");
    static const std::string smallLow = key("-214748.3648"), smallHigh = key("214748.3647");
    const std::string k = encodeNumberKey(d);
    return small ? k >= smallLow && k <= smallHigh : k >= moneyLow && k <= moneyHigh;
}

bool fitDecimal(Decimal& d, int precision, int scale)
{
    d.round(scale, false);
    return d.integerDigits() <= precision - scale;
}

std::string decimalText(const Decimal& d, int minScale)
{
    const int scale = std::max(minScale, int(d.digits.size()) - d.intLen);
    return d.text(std::max(scale, 0));
}

} // namespace db::sqlite::fn

namespace db::sqlite::fn {
namespace {

// ms_key(x): the ordering key of a number (NULL stays NULL, text and other
// BLOBs are returned as they are): keys of numbers compare as the numbers.
void fnKey(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    Decimal d;
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_BLOB || !numberArgument(v, d)) {
        sqlite3_result_value(ctx, v);
        return;
    }
    const std::string key = encodeNumberKey(d);
    sqlite3_result_blob(ctx, key.data(), int(key.size()), SQLITE_TRANSIENT);
}

// ms_unkey(k): the number a key stands for, REAL or wide as it travels.
void fnUnkey(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    Decimal d;
    if (!wideValue(argv[0], d)) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    // A whole number: as whole as it came in, when 64 bits hold it.
    if (std::int64_t i = 0; d.toInt64(i)) {
        sqlite3_result_int64(ctx, i);
        return;
    }
    resultDecimal(ctx, d);
}

} // namespace

std::span<const FunctionDef> wideDecimalFunctions()
{
    static const FunctionDef rows[] = {
        {"ms_key", 1, fnKey, true},
        {"ms_unkey", 1, fnUnkey, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
