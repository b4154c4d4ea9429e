#include "ProductServiceStatement.h"

#include "ProductServiceLayout.h"

#include "db/Quoting.h"

#include <QRegularExpression>

namespace search {

namespace {

QString typeLine(ProductTypeChoice type)
{
    switch (type) {
    case ProductTypeChoice::Finished:
        return QStringLiteral("And (P.ProductType <> 'S') And (ProductType <> 'M')");
    case ProductTypeChoice::Service:
        return QStringLiteral("And (P.ProductType = 'S')");
    case ProductTypeChoice::Materials:
        return QStringLiteral("And (P.ProductType = 'M')");
    case ProductTypeChoice::RawMaterial:
        return QStringLiteral("And (P.ProductType = 'R')");
    case ProductTypeChoice::FinishedOrRaw:
        return QStringLiteral("And (P.ProductType In ('T','F','R','C','M'))");
    case ProductTypeChoice::None:
        break;
    }
    return QString();
}

} // namespace

QString sizeNumber(const QString& typed)
{
    static const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d*)?$|^\\.\\d+$"));
    const QString text = typed.trimmed();
    if (!number.match(text).hasMatch())
        return QString();
    // "12." and ".5" are numbers to the clerk; written out in full for both engines.
    QString full = text.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + text : text;
    if (full.endsWith(QLatin1Char('.')))
        full.chop(1);
    return full;
}

bool isCustomerSite(const QString& businessDatabase, const QString& userCode)
{
    return businessDatabase.trimmed() == QLatin1String("VPM") && userCode.left(8) == QLatin1String("CUSTOMER");
}

QStringList productServiceStatement(const ProductServiceCriteria& c)
{
    QStringList lines = productServiceOpening(c.layout, c.runYear);
    const QString name = c.nameContains ? db::containing(c.name) : db::startingWith(c.name);
    lines << QStringLiteral("Where (P.Code Like %1) And (P.ThaiName Like %2)")
                 .arg(db::quoted(db::startingWith(c.code)), db::quoted(name));
    if (!c.includeBlocked)
        lines << QStringLiteral("And (P.Blocked <> 'Y')");
    lines << QStringLiteral("And (P.MasterCode =") + db::quoted(c.masterCode) + QStringLiteral(") ");
    if (const QString type = typeLine(c.type); !type.isEmpty())
        lines << type;
    const std::pair<const char*, const QString*> sizes[] = {{"Size_W", &c.width}, {"Size_L", &c.length}, {"Size_H", &c.height}};
    for (const auto& [column, typed] : sizes) {
        if (const QString number = sizeNumber(*typed); !number.isEmpty())
            lines << QStringLiteral("And (P.%1 = %2)").arg(QLatin1String(column), number);
    }
    if (c.kind > 0)
        lines << QStringLiteral("And (P.PType = %1)").arg(c.kind);
    if (c.group > 0)
        lines << QStringLiteral("And (P.PGroup = %1)").arg(c.group);
    for (const AttributeRange& range : c.ranges) {
        const QString condition = attributeCondition(QStringLiteral("P.Id"), QStringLiteral("ProductAttribute"),
                                                     QStringLiteral("Product"), range);
        if (!condition.isEmpty())
            lines << condition;
    }
    if (c.customerSite)
        lines << QStringLiteral(
            " And (P.productgroup = (select id from productgroup where code='0' and producttype<>'S'))");
    lines << c.orderLine;
    return lines;
}

} // namespace search
