#pragma once

#include <QString>

namespace data {

// How a quantity counted in small units is written in its stock unit.
struct UnitMasks {
    QString whole;  // the whole quantity, where one stock unit is one small unit
    QString large;  // the whole stock units
    QString rest;   // the small units left over
};

// A quantity counted in small units written as whole stock units and the
// rest in small units ("2 Box 6 Piece"): "- " in front of a negative
// quantity, "0 " and the stock unit for nought. A stock fraction below 1
// (no stock unit) counts as 1; a fraction of exactly 1 writes the whole
// quantity in the stock unit with the `whole` mask. The one rule behind the
// inquiry window's quantity text and the product module's on-hand text,
// which differ only in their masks and in what they do with the result.
QString quantityInUnits(double quantity, qint64 stockFraction, const UnitMasks& masks, const QString& stockUnitName,
                        const QString& smallUnitName);

} // namespace data
