#include "DecimalDigits.h"

namespace db::sqlite::fn {

double roundDouble(double v, int scale, bool truncate)
{
    if (!std::isfinite(v) || (scale >= 0 && std::fabs(v) >= 1e15))
        return v;
    Decimal d = Decimal::fromDouble(v);
    d.round(scale, truncate);
    return d.toDouble();
}

namespace {

constexpr __int128 kInt128Max = ~(__int128(1) << 127);

bool timesPowerOfTen(__int128& v, int exponent)
{
    for (int i = 0; i < exponent; ++i) {
        if (__builtin_mul_overflow(v, 10, &v))
            return false;
    }
    return true;
}

} // namespace

bool ScaledValue::fromDouble(double v, ScaledValue& out)
{
    if (!std::isfinite(v))
        return false;
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    __int128 units = 0;
    int fraction = 0;
    bool point = false;
    for (; p < r.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        units = units * 10 + (*p - '0');  // at most 17 digits
        if (point)
            ++fraction;
    }
    int exponent = 0;
    if (p < r.ptr)
        std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, exponent);
    int scale = fraction - exponent;
    if (scale < 0) {
        if (!timesPowerOfTen(units, -scale))
            return false;
        scale = 0;
    }
    if (scale > kMaxScale)
        return false;
    out.units = negative ? -units : units;
    out.scale = scale;
    return true;
}

bool ScaledValue::rescale(int newScale)
{
    if (newScale < scale || newScale > kMaxScale)
        return false;
    if (!timesPowerOfTen(units, newScale - scale))
        return false;
    scale = newScale;
    return true;
}

double ScaledValue::toDouble() const
{
    char buf[48];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = units < 0;
    unsigned __int128 m = negative ? -(unsigned __int128)units : (unsigned __int128)units;
    do {
        *--p = char('0' + int(m % 10));
        m /= 10;
    } while (m);
    std::string text;
    if (negative)
        text.push_back('-');
    text.append(p, end);
    text += "e-" + std::to_string(scale);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

bool addScaled(ScaledValue a, ScaledValue b, bool subtract, ScaledValue& out)
{
    const int scale = std::max(a.scale, b.scale);
    if (!a.rescale(scale) || !b.rescale(scale))
        return false;
    out.scale = scale;
    return !(subtract ? __builtin_sub_overflow(a.units, b.units, &out.units)
                      : __builtin_add_overflow(a.units, b.units, &out.units))
        && out.units != -kInt128Max - 1;
}

bool multiplyScaled(const ScaledValue& a, const ScaledValue& b, ScaledValue& out)
{
    if (a.scale + b.scale > ScaledValue::kMaxScale)
        return false;
    out.scale = a.scale + b.scale;
    return !__builtin_mul_overflow(a.units, b.units, &out.units) && out.units != -kInt128Max - 1;
}

bool divideScaled(const ScaledValue& a, const ScaledValue& b, int scale, ScaledValue& out)
{
    // a.units * 10^(scale + b.scale - a.scale) / b.units, by long division
    // so that the numerator never has to be held whole.
    const bool negative = (a.units < 0) != (b.units < 0);
    __int128 numerator = a.units < 0 ? -a.units : a.units;
    __int128 divisor = b.units < 0 ? -b.units : b.units;
    if (divisor == 0)
        return false;
    int extra = scale + b.scale - a.scale;
    if (extra < 0 && !timesPowerOfTen(divisor, -extra))
        return false;
    __int128 quotient = numerator / divisor;
    __int128 rest = numerator % divisor;
    for (int i = 0; i < extra; ++i) {
        if (__builtin_mul_overflow(rest, 10, &rest) || __builtin_mul_overflow(quotient, 10, &quotient))
            return false;
        quotient += rest / divisor;
        rest %= divisor;
    }
    out.units = negative ? -quotient : quotient;
    out.scale = scale;
    return true;
}

} // namespace db::sqlite::fn
