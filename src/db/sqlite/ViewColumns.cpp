#include "ViewColumns.h"

#include <QSqlQuery>
#include <QVariant>

namespace db::sqlite {

void ViewColumns::ensureCatalog()
{
    QSqlQuery q(db_);
    q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_view_columns (view_name TEXT NOT NULL COLLATE NOCASE, "
                          "column_name TEXT NOT NULL COLLATE NOCASE, type TEXT NOT NULL, "
                          "PRIMARY KEY (view_name, column_name))"));
}

void ViewColumns::save(const QString& view, const std::vector<std::pair<QString, TypeName>>& columns)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("DELETE FROM qel_view_columns WHERE view_name = ?"));
    q.addBindValue(view);
    if (!q.exec())
        return;  // a file without the table (read-only) keeps SQLite's types
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO qel_view_columns (view_name, column_name, type) VALUES (?, ?, ?)"));
    for (const auto& [name, type] : columns) {
        if (type.name.isEmpty())
            continue;
        q.addBindValue(view);
        q.addBindValue(name);
        q.addBindValue(type.text());
        q.exec();
    }
}

QHash<QString, QString> ViewColumns::types(const QString& view) const
{
    QHash<QString, QString> types;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT column_name, type FROM qel_view_columns WHERE view_name = ?"));
    q.addBindValue(view);
    if (q.exec()) {
        while (q.next())
            types.insert(q.value(0).toString().toUpper(), q.value(1).toString());
    }
    return types;
}

} // namespace db::sqlite
