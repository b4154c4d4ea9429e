#pragma once

#include <QString>

namespace product {

// The product data module's on-hand text: a quantity counted in small units
// written as whole stock units and the rest in small units, "2 Box 6 Piece".
// Not the inquiry window's quantity text: no brackets, no configured
// decimals, and the result is not trimmed ("- " in front of a negative
// quantity, a blank in front of a rest without whole units). A stock
// fraction below 1 (no stock unit) counts as 1; a fraction of exactly 1
// writes the whole quantity in the stock unit.
QString onHandText(double quantity, qint64 stockFraction, const QString& stockUnitName,
                   const QString& smallUnitName);

} // namespace product
