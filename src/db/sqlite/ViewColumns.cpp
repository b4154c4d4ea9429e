#include "ViewColumns.h"

#include <QSqlQuery>
#include <QVariant>

#include <tuple>

namespace db::sqlite {

void ViewColumns::ensureCatalog()
{
    QSqlQuery q(db_);
    q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_view_columns (view_name TEXT NOT NULL COLLATE NOCASE, "
                          "column_name TEXT NOT NULL COLLATE NOCASE, type TEXT NOT NULL, position INTEGER, "
                          "PRIMARY KEY (view_name, column_name))"));
    // Files made before positions were kept: their views' rows have none.
    if (q.exec(QStringLiteral("SELECT 1 FROM pragma_table_info('qel_view_columns') WHERE name = 'position'")) && !q.next())
        q.exec(QStringLiteral("ALTER TABLE qel_view_columns ADD COLUMN position INTEGER"));
}

bool ViewColumns::forget(const QString& view)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("DELETE FROM qel_view_columns WHERE view_name = ?"));
    q.addBindValue(view);
    return q.exec();
}

void ViewColumns::save(const QString& view, const std::vector<std::pair<QString, TypeName>>& columns)
{
    if (!forget(view))
        return;  // a file without the table (read-only) keeps SQLite's types
    QSqlQuery q(db_);
    QHash<QString, QString> typed;
    for (const auto& [name, type] : columns) {
        if (!type.name.isEmpty())
            typed.insert(name.toUpper(), type.text());
    }
    // Every column in its place, as the view is now: the catalog reads them
    // from here, so that a view whose table was dropped since still shows.
    std::vector<std::tuple<QString, QString, int>> rows;
    q.prepare(QStringLiteral("SELECT cid, name, type FROM pragma_table_info(?)"));
    q.addBindValue(view);
    if (!q.exec())
        return;
    while (q.next()) {
        const QString name = q.value(1).toString();
        rows.emplace_back(name, typed.value(name.toUpper(), q.value(2).toString()), q.value(0).toInt() + 1);
    }
    q.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO qel_view_columns (view_name, column_name, type, position) VALUES (?, ?, ?, ?)"));
    for (const auto& [name, type, position] : rows) {
        q.addBindValue(view);
        q.addBindValue(name);
        q.addBindValue(type);
        q.addBindValue(position);
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
