#include "ProductStatement.h"

#include "db/Quoting.h"

namespace search {

QStringList productStatement(const ProductCriteria& criteria)
{
    const QString name = db::likeText(criteria.name);
    QStringList lines{QStringLiteral("Select Id, Code, ThaiName"), QStringLiteral("From Product"),
                      QStringLiteral("Where (Code Like ") + db::quoted(db::likeText(criteria.code) + QLatin1Char('%'))
                          + QStringLiteral(") And (ThaiName Like ")
                          + db::quoted((criteria.nameContains ? QStringLiteral("%") : QString()) + name
                                       + QLatin1Char('%'))
                          + QStringLiteral(")"),
                      QStringLiteral("And (Blocked <> 'Y')"), QStringLiteral("And (ProductType <> 'P')")};
    for (const AttributeRange& range : criteria.ranges) {
        const QString condition = attributeCondition(QStringLiteral("Id"), QStringLiteral("ProductAttribute"),
                                                     QStringLiteral("Product"), range);
        if (!condition.isEmpty())
            lines << condition;
    }
    lines << (criteria.sortByName ? QStringLiteral("Order By ThaiName") : QStringLiteral("Order By Code"));
    return lines;
}

} // namespace search
