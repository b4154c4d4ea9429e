// The product data module's on-hand texts, from the stored on-hand rows of a
// balance year or from a quantity the caller has.

#include "TDmProduct.h"

#include "OnHandText.h"
#include "ProductQuery.h"

QString TDmProduct::onHandTextOf(db::Query& query, Quantity quantity)
{
    // The summing statements always find a row; only a product that does
    // not exist leaves ShowQuantity without one.
    if (query.isEmpty())
        return QStringLiteral("Error");
    double q = quantity.given;
    if (quantity.from != Quantity::Given) {
        q = query.asFloat(QStringLiteral("qnty"));
        if (quantity.from == Quantity::WarehouseSum)
            WHOnHandQnty = q;
    }
    return product::onHandText(q, query.asInteger(QStringLiteral("stockunitfrac")),
                               query.asString(QStringLiteral("stockunitname")),
                               query.asString(QStringLiteral("smallunitname")));
}

QString TDmProduct::ProductQuantity(int productId, int balanceYear)
{
    product::openFirst(QOnHand, {{"pid", productId}, {"yid", balanceYear}});
    return onHandTextOf(QOnHand, {Quantity::Sum});
}

QString TDmProduct::ShowQuantity(int productId, double quantity)
{
    product::openFirst(QShowQnty, {{"pid", productId}});
    return onHandTextOf(QShowQnty, {Quantity::Given, quantity});
}

QString TDmProduct::ProductWHQuantity(int productId, int warehouseId, int balanceYear)
{
    product::openFirst(QOnhandWH, {{"pid", productId}, {"wid", warehouseId}, {"yid", balanceYear}});
    return onHandTextOf(QOnhandWH, {Quantity::WarehouseSum});
}

QString TDmProduct::ProductUnitsWHQuantity(int productId, int unitId, int warehouseId, int balanceYear)
{
    product::openFirst(QOnhandWHunits,
                       {{"pid", productId}, {"uid", unitId}, {"wid", warehouseId}, {"yid", balanceYear}});
    return onHandTextOf(QOnhandWHunits, {Quantity::WarehouseSum});
}
