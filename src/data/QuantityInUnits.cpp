#include "QuantityInUnits.h"

#include "widgets/NumberMask.h"

#include <cmath>

namespace data {

QString quantityInUnits(double quantity, qint64 stockFraction, const UnitMasks& masks, const QString& stockUnitName,
                        const QString& smallUnitName)
{
    QString sign;
    double q = quantity;
    if (q < 0) {
        sign = QStringLiteral("- ");
        q = -q;
    }
    QString text;
    if (stockFraction == 1) {
        text = formatNumber(masks.whole, q) + stockUnitName;
    } else {
        const double fraction = stockFraction < 1 ? 1.0 : double(stockFraction);
        const qint64 whole = qint64(std::trunc(q / fraction));
        if (whole != 0)
            text = formatNumber(masks.large, double(whole)) + stockUnitName;
        const double rest = q - double(whole) * fraction;
        if (rest != 0)
            text += formatNumber(masks.rest, std::fabs(rest)) + smallUnitName;
    }
    if (text.isEmpty())
        text = QStringLiteral("0 ") + stockUnitName;
    return sign + text;
}

} // namespace data
