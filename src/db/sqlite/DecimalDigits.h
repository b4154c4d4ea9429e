#pragma once

// Exact decimal digits, for rounding the way a decimal column does (half away
// from zero on the written digits, not on the binary float).

#include "FunctionSupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace db::sqlite::fn {

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
    bool isWhole() const { return intLen >= int(digits.size()); }

    // The value when it is whole and 64 bits hold it.
    bool toInt64(std::int64_t& out) const
    {
        out = 0;
        if (digits.empty())
            return true;
        if (!isWhole() || intLen > 19)
            return false;
        const std::string whole = text(0);
        return std::from_chars(whole.data(), whole.data() + whole.size(), out).ec == std::errc();
    }
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
double roundDouble(double v, int scale, bool truncate);

// A number held exactly as a count of 10^-scale units. A double enters as
// the decimal its shortest round-trip text spells (a money value stored as
// 1552.6 is 15526 tenths, not the binary fraction next to it), so sums and
// products of amounts come out as the decimals SQL Server gives, and leave
// as the double nearest to that decimal.
struct ScaledValue {
    static constexpr int kMaxScale = 28;

    __int128 units = 0;
    int scale = 0;

    static ScaledValue fromInt(std::int64_t v) { return {v, 0}; }
    // False when the value needs more than kMaxScale decimals or 38 digits.
    static bool fromDouble(double v, ScaledValue& out);
    // False on overflow.
    bool rescale(int newScale);
    double toDouble() const;
};

// a + b (a - b when `subtract`), a * b; false when the exact result does not
// fit, and the caller falls back to binary floating point.
bool addScaled(ScaledValue a, ScaledValue b, bool subtract, ScaledValue& out);
bool multiplyScaled(const ScaledValue& a, const ScaledValue& b, ScaledValue& out);
// a / b cut toward zero to `scale` decimals; false when it does not fit (b
// is not 0: the caller reports division by zero).
bool divideScaled(const ScaledValue& a, const ScaledValue& b, int scale, ScaledValue& out);

} // namespace db::sqlite::fn
