#include "OnHandText.h"

#include "data/QuantityInUnits.h"

namespace product {

QString onHandText(double quantity, qint64 stockFraction, const QString& stockUnitName,
                   const QString& smallUnitName)
{
    static const data::UnitMasks masks{QStringLiteral("###,###,##0.###### "), QStringLiteral("###,###,##0 "),
                                       QStringLiteral(" ######.###### ")};
    return data::quantityInUnits(quantity, stockFraction, masks, stockUnitName, smallUnitName);
}

} // namespace product
