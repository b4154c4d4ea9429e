#include "AttributeRange.h"

#include "db/Quoting.h"

namespace search {

QString attributeCondition(const QString& idColumn, const QString& table, const QString& ownerColumn,
                           const AttributeRange& range)
{
    const QString begin = range.begin.trimmed();
    QString end = range.end.trimmed();
    if (begin.isEmpty() && end.isEmpty())
        return QString();
    // A start code alone runs to the group's last code: taken as it stands,
    // the range would end below its start and find nothing.
    if (end.isEmpty())
        end = QString(kAttributeCodeWidth, QLatin1Char('Z'));
    const QString group = range.group.trimmed();
    return QStringLiteral("And (%1 In (Select %2 From %3 Where (GroupCode Between %4 And %5)))")
        .arg(idColumn, ownerColumn, table, db::quoted(group + begin), db::quoted(group + end));
}

} // namespace search
