#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <compare>
#include <optional>

namespace db {

// An amount of money held exactly, as a whole number of ten-thousandths (the
// four decimals of the databases' Decimal(18,4) prices): a price stored as
// 19.99 is 19.99, never a binary neighbour of it. Whatever an engine hands
// back (text, an integer or a double) is brought to the nearest
// ten-thousandth, halves away from zero.
class Money {
public:
    static constexpr int kDecimals = 4;
    static constexpr qint64 kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 tenThousandths)
    {
        Money m;
        m.units_ = tenThousandths;
        return m;
    }

    // Plain decimal text ("19.99", "-5", ".5", " 1234.56789 "); nullopt for
    // anything else (exponents, separators, letters, an empty text) and for
    // amounts beyond what a Decimal(18,4) can carry.
    static std::optional<Money> fromText(QStringView text);
    // A value read from a database: NULL reads as 0. Throws DbError for text
    // that is no amount and for a value out of range.
    static Money fromVariant(const QVariant& value);

    qint64 units() const { return units_; }
    double toDouble() const { return double(units_) / double(kScale); }
    bool isZero() const { return units_ == 0; }

    // The amount with at least `minDecimals` decimals and no trailing zeros
    // beyond them: 19.99, 215.00 (with 2), 1.2345, -5 (with 0).
    QString toString(int minDecimals = 0) const;

    friend constexpr bool operator==(Money, Money) = default;
    friend constexpr std::strong_ordering operator<=>(Money a, Money b) { return a.units_ <=> b.units_; }

private:
    qint64 units_ = 0;
};

} // namespace db
