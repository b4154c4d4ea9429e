#pragma once

#include "AttributeRange.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace search {

// The product types the search's radio group offers, in its order.
enum class ProductTypeChoice { None = -1, Finished, Service, Materials, RawMaterial, FinishedOrRaw };

// What the product and service search looks for; the statement is built
// from it alone, so that it can be run without a window.
struct ProductServiceCriteria {
    int layout = 0;         // the company's "SearchProductNo"
    int runYear = 0;        // the balance year of layout 4's stock
    QString code;           // a code prefix, as typed
    QString name;           // part of the Thai name, as typed
    bool nameContains = false;  // false: the name begins with it
    bool includeBlocked = false;
    QString masterCode = QStringLiteral("N");
    ProductTypeChoice type = ProductTypeChoice::None;
    // Width, length and height as typed; only numbers enter the statement.
    QString width;
    QString length;
    QString height;
    int kind = 0;   // a "Misc" PTYPE id, 0: any
    int group = 0;  // a "Misc" PGROUP id, 0: any
    QVector<AttributeRange> ranges;
    // The site that lets its customers search only the goods of product
    // group "0".
    bool customerSite = false;
    // The order line; a title click may have replaced it.
    QString orderLine = QStringLiteral("Order By P.Code");
};

QStringList productServiceStatement(const ProductServiceCriteria& criteria);

// A size as the statement takes it: a plain decimal number (digits with at
// most one point), or empty when `typed` is empty or not such a number.
QString sizeNumber(const QString& typed);

// The business database named "VPM" restricts users whose code begins with
// "CUSTOMER" to the goods of product group "0".
bool isCustomerSite(const QString& businessDatabase, const QString& userCode);

} // namespace search
