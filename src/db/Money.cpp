#include "Money.h"

#include "DbError.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace db {

namespace {

// Decimal(18,4) holds at most 14 whole digits.
constexpr qint64 kMaxUnits = 999999999999999999LL;

} // namespace

std::optional<Money> Money::fromText(QStringView text)
{
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        negative = s[i++] == QLatin1Char('-');
    qint64 units = 0;
    int decimals = -1;  // -1 until the point is seen
    int digits = 0;
    bool roundUp = false;
    bool restSeen = false;  // a decimal past the fourth decides rounding once
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('.') && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        ++digits;
        const int d = c.unicode() - '0';
        if (decimals >= kDecimals) {
            if (!restSeen)
                roundUp = d >= 5;
            restSeen = true;
            continue;
        }
        if (decimals >= 0)
            ++decimals;
        if (units > kMaxUnits / 10)
            return std::nullopt;
        units = units * 10 + d;
    }
    if (digits == 0)
        return std::nullopt;
    for (int k = std::max(decimals, 0); k < kDecimals; ++k)
        units *= 10;
    if (roundUp)
        ++units;
    if (units > kMaxUnits)
        return std::nullopt;
    return fromUnits(negative ? -units : units);
}

Money Money::fromVariant(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Money();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::Bool: {
        const qint64 whole = value.toLongLong();
        if (whole > kMaxUnits / kScale || whole < -kMaxUnits / kScale)
            break;
        return fromUnits(whole * kScale);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // The shortest text that reads back as this double is the decimal
        // the engine was given (19.99, not 19.989999...), so rounding that
        // text is exact where rounding the binary value is not.
        const double d = value.toDouble();
        if (!std::isfinite(d))
            break;
        char buffer[1100];  // the smallest double takes 1074 decimals
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed);
        if (ec == std::errc()) {
            if (auto m = fromText(QString::fromLatin1(buffer, int(end - buffer))))
                return *m;
        }
        break;
    }
    default:
        if (auto m = fromText(value.toString()))
            return *m;
        throw DbError(QStringLiteral("'%1' is not a valid amount").arg(value.toString()));
    }
    throw DbError(QStringLiteral("The amount %1 is out of range").arg(value.toString()));
}

QString Money::toString(int minDecimals) const
{
    const qint64 magnitude = units_ < 0 ? -units_ : units_;
    QString text = QString::number(magnitude / kScale);
    QString fraction = QStringLiteral("%1").arg(magnitude % kScale, kDecimals, 10, QLatin1Char('0'));
    const int keep = std::clamp(minDecimals, 0, kDecimals);
    while (fraction.size() > keep && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return units_ < 0 ? QLatin1Char('-') + text : text;
}

} // namespace db
