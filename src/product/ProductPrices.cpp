// The product data module's price operations: selling, project and purchase
// prices. Every price is returned exactly as stored: no tax, no rounding, no
// conversion between units.

#include "TDmProduct.h"

#include "ProductQuery.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"

namespace {

QString textOf(const db::Query& query, const char* field)
{
    return query.asString(QLatin1String(field));
}

} // namespace

QString TDmProduct::priceSourceText(PriceSource source)
{
    switch (source) {
    case PriceSource::None: return QStringLiteral("none (0)");
    case PriceSource::PriceList: return QStringLiteral("price list");
    case PriceSource::FallbackType: return QStringLiteral("price list of the point-of-sale price type");
    case PriceSource::StockUnitPriceList: return QStringLiteral("price list of the stock unit");
    case PriceSource::CustomerPrice: return QStringLiteral("customer price");
    case PriceSource::CustomerPromotion: return QStringLiteral("promotion for the customer");
    case PriceSource::PromotionForAll: return QStringLiteral("promotion for all customers");
    case PriceSource::ProjectPrice: return QStringLiteral("project price");
    }
    return QString();
}

db::Money TDmProduct::GetPrice(int customerId, int productId, int unitId, int priceType, const QDateTime& date)
{
    PriceDiscount.clear();
    db::Query& config = DM->Config();
    const bool byStockUnit = config.asInteger(QStringLiteral("SearchProductNo")) == 2
        && config.asString(QStringLiteral("DisplayFraction")) == QLatin1String("Y") && PriceByStockUnit;

    db::Money price;
    LastPriceSource = PriceSource::None;
    int customerUnitId = unitId;
    if (byStockUnit) {
        // The stock unit's price, whatever unit was asked for, unconverted.
        customerUnitId = 0;
        if (product::openFirst(QStockUnitPrice, {{"GetProduct", productId}, {"GetType", priceType}})) {
            price = QStockUnitPrice.asMoney(QStringLiteral("Price"));
            customerUnitId = int(QStockUnitPrice.asInteger(QStringLiteral("Id")));
            LastPriceSource = PriceSource::StockUnitPriceList;
        }
    } else if (product::openFirst(QProductPrice,
                                  {{"GetProduct", productId}, {"GetUnits", unitId}, {"GetType", priceType}})) {
        price = QProductPrice.asMoney(QStringLiteral("Price"));
        LastPriceSource = PriceSource::PriceList;
    } else if (product::openFirst(QProductPrice, {{"GetType", DMConfig->Run.PosPriceType}})) {
        price = QProductPrice.asMoney(QStringLiteral("Price"));
        LastPriceSource = PriceSource::FallbackType;
    }

    if (product::openFirst(QCustomerProductPrice, {{"cid", customerId}, {"pid", productId}, {"uid", customerUnitId}})) {
        // A customer price of 0 or less leaves the list price; its discount
        // still counts.
        PriceDiscount = textOf(QCustomerProductPrice, "discount");
        const db::Money own = QCustomerProductPrice.asMoney(QStringLiteral("price"));
        if (own > db::Money()) {
            price = own;
            LastPriceSource = PriceSource::CustomerPrice;
        }
    }

    applyPromotion(customerId, productId, unitId, priceType, date, &price);
    PriceQnty = 1;
    return price;
}

db::Money TDmProduct::GetProjectPrice(int customerId, int productId, int unitId, int priceType, int projectId,
                                      const QDateTime& date)
{
    PriceDiscount.clear();
    db::Money price;
    LastPriceSource = PriceSource::None;
    if (product::openFirst(QProductPrice, {{"GetProduct", productId}, {"GetUnits", unitId}, {"GetType", priceType}})) {
        price = QProductPrice.asMoney(QStringLiteral("Price"));
        LastPriceSource = PriceSource::PriceList;
    }

    PriceQnty = 0;
    if (product::openFirst(QCustomerProductPrice, {{"cid", customerId}, {"pid", productId}, {"uid", unitId}})) {
        PriceQnty = int(QCustomerProductPrice.asInteger(QStringLiteral("quantity")));
        PriceDiscount = textOf(QCustomerProductPrice, "discount");
        price = QCustomerProductPrice.asMoney(QStringLiteral("price"));
        LastPriceSource = PriceSource::CustomerPrice;
    }

    applyPromotion(customerId, productId, unitId, priceType, date, &price);

    if (product::openFirst(QProjectPrice,
                           {{"cid", customerId}, {"pid", productId}, {"uid", unitId}, {"projectid", projectId}})) {
        PriceDiscount = textOf(QProjectPrice, "discount");
        price = QProjectPrice.asMoney(QStringLiteral("price"));
        LastPriceSource = PriceSource::ProjectPrice;
    }
    return price;
}

bool TDmProduct::applyPromotion(int customerId, int productId, int unitId, int priceType, const QDateTime& date,
                                db::Money* price)
{
    // Start and stop dates are whole days, both included: only the day of
    // `date` counts.
    const QDateTime day = date.date().startOfDay();
    bool found = product::openFirst(
        QPromotion, {{"cid", customerId}, {"pid", productId}, {"uid", unitId}, {"tid", priceType}, {"pdate", day}});
    PriceSource source = customerId == 0 ? PriceSource::PromotionForAll : PriceSource::CustomerPromotion;
    if (!found) {
        found = product::openFirst(QPromotion, {{"cid", 0}});
        source = PriceSource::PromotionForAll;
    }
    if (!found)
        return false;
    // The newest line wins; an empty promotion price reads as 0.
    PriceDiscount = textOf(QPromotion, "discpercent");
    *price = QPromotion.asMoney(QStringLiteral("price"));
    LastPriceSource = source;
    return true;
}

db::Money TDmProduct::SetPurchasePrice(int productId, int vendorId, db::Money defaultPrice, int unitId)
{
    if (product::openFirst(QPriceVendor, {{"pid", productId}, {"vid", vendorId}, {"uid", unitId}}))
        return QPriceVendor.asMoney(QStringLiteral("price"));
    if (product::openFirst(QPriceStandard, {{"GetId", unitId}}))
        return QPriceStandard.asMoney(QStringLiteral("PurcPrice"));
    return defaultPrice;
}
