#include "TitleSort.h"

namespace search {

namespace {
const QString kOrderBy = QStringLiteral("ORDER BY ");
}

TitleSort::TitleSort(QStringList ignoredNames) : ignored_(std::move(ignoredNames)) {}

bool TitleSort::click(QStringList& lines, const QString& field, int ordinal, bool largeObject)
{
    const QString name = field.toUpper();
    if (largeObject || ignored_.contains(name))
        return false;
    for (QString& line : lines) {
        const int at = line.indexOf(kOrderBy, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        line = line.left(at) + QStringLiteral("Order By ") + QString::number(ordinal);
        if (name != LastSortField) {
            NextSortDesc = true;
        } else {
            if (NextSortDesc)
                line += QStringLiteral(" Desc");
            NextSortDesc = !NextSortDesc;
        }
        LastSortField = name;
    }
    return true;
}

} // namespace search
