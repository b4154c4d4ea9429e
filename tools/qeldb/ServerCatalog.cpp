#include "ServerCatalog.h"

#include <map>

namespace qeldb {

namespace {

// Types that ORDER BY cannot take; a table keyed by nothing else is paged by
// its other columns.
bool orderable(const QString& type)
{
    const QString t = type.section(QLatin1Char('('), 0, 0).trimmed().toUpper();
    return t != QLatin1String("TEXT") && t != QLatin1String("NTEXT") && t != QLatin1String("IMAGE")
        && t != QLatin1String("XML") && !type.contains(QLatin1String("(MAX)"), Qt::CaseInsensitive);
}

} // namespace

ServerCatalog::ServerCatalog(std::unique_ptr<db::Engine> engine) : engine_(std::move(engine)) {}

db::ResultSet ServerCatalog::query(const QString& sql, const QString& objectName)
{
    db::ParamValues params;
    params.set(QStringLiteral("Name"), objectName);
    return engine_->execute(sql, params);
}

QString ServerCatalog::typeText(const QString& name, int maxLength, int precision, int scale, bool userDefined)
{
    if (userDefined)
        return name;
    const QString t = name.toLower();
    auto length = [&](int bytesPerChar) {
        return maxLength < 0 ? QStringLiteral("%1(MAX)").arg(name) : QStringLiteral("%1(%2)").arg(name).arg(maxLength / bytesPerChar);
    };
    if (t == QLatin1String("char") || t == QLatin1String("varchar") || t == QLatin1String("binary")
        || t == QLatin1String("varbinary"))
        return length(1);
    if (t == QLatin1String("nchar") || t == QLatin1String("nvarchar"))
        return length(2);
    if (t == QLatin1String("decimal") || t == QLatin1String("numeric"))
        return QStringLiteral("%1(%2,%3)").arg(name).arg(precision).arg(scale);
    if (t == QLatin1String("datetime2") || t == QLatin1String("time") || t == QLatin1String("datetimeoffset"))
        return QStringLiteral("%1(%2)").arg(name).arg(scale);
    return name;
}

Catalog ServerCatalog::readCatalog()
{
    Catalog catalog;
    for (const auto& r : query(QStringLiteral(
             "SELECT t.name, TYPE_NAME(t.system_type_id), t.max_length, t.precision, t.scale "
             "FROM sys.types t WHERE t.is_user_defined = 1 AND t.is_table_type = 0 ORDER BY t.user_type_id")).rows)
        catalog.types.append(UserTypeDef{r[0].toString(), typeText(r[1].toString(), r[2].toInt(), r[3].toInt(),
                                                                   r[4].toInt(), false)});
    for (const auto& r : query(QStringLiteral(
             "SELECT name FROM sys.tables WHERE is_ms_shipped = 0 ORDER BY object_id")).rows)
        catalog.tables.append(readTable(r[0].toString()));
    for (const auto& r : query(QStringLiteral(
             "SELECT o.name, m.definition FROM sys.views o JOIN sys.sql_modules m ON m.object_id = o.object_id "
             "WHERE o.is_ms_shipped = 0 ORDER BY o.object_id")).rows)
        catalog.views.append(ModuleDef{r[0].toString(), r[1].toString()});
    for (const auto& r : query(QStringLiteral(
             "SELECT o.name, m.definition FROM sys.procedures o JOIN sys.sql_modules m ON m.object_id = o.object_id "
             "WHERE o.is_ms_shipped = 0 ORDER BY o.object_id")).rows)
        catalog.procedures.append(ModuleDef{r[0].toString(), r[1].toString()});
    return catalog;
}

TableDef ServerCatalog::readTable(const QString& name)
{
    TableDef t;
    t.name = name;
    for (const auto& r : query(QStringLiteral(
             "SELECT c.name, TYPE_NAME(c.user_type_id), c.max_length, c.precision, c.scale, c.is_nullable, "
             "c.is_identity, d.definition, ty.is_user_defined "
             "FROM sys.columns c JOIN sys.types ty ON ty.user_type_id = c.user_type_id "
             "LEFT JOIN sys.default_constraints d ON d.object_id = c.default_object_id "
             "WHERE c.object_id = OBJECT_ID(QUOTENAME(:Name)) ORDER BY c.column_id"), name).rows) {
        ColumnDef c;
        c.name = r[0].toString();
        c.type = typeText(r[1].toString(), r[2].toInt(), r[3].toInt(), r[4].toInt(), r[8].toBool());
        c.nullable = r[5].toBool();
        c.identity = r[6].toBool();
        c.defaultSql = r[7].toString();
        t.columns.append(c);
    }

    // Every key and index, one row per key column.
    std::map<int, KeyDef> keys;
    std::map<int, int> kinds;  // 1 primary key, 2 unique constraint, 3 index
    for (const auto& r : query(QStringLiteral(
             "SELECT i.index_id, i.name, i.is_primary_key, i.is_unique_constraint, i.is_unique, "
             "COL_NAME(ic.object_id, ic.column_id), ic.is_descending_key "
             "FROM sys.indexes i JOIN sys.index_columns ic ON ic.object_id = i.object_id AND ic.index_id = i.index_id "
             "WHERE i.object_id = OBJECT_ID(QUOTENAME(:Name)) AND ic.key_ordinal > 0 AND i.is_hypothetical = 0 "
             "ORDER BY i.index_id, ic.key_ordinal"), name).rows) {
        const int id = r[0].toInt();
        KeyDef& k = keys[id];
        k.name = r[1].toString();
        k.unique = r[4].toBool();
        k.columns.append(r[5].toString());
        k.descending.append(r[6].toBool());
        kinds[id] = r[2].toBool() ? 1 : r[3].toBool() ? 2 : 3;
    }
    for (const auto& [id, k] : keys) {
        if (kinds[id] == 1)
            t.primaryKey = k;
        else if (kinds[id] == 2)
            t.uniques.append(k);
        else
            t.indexes.append(k);
    }

    std::map<int, ForeignKeyDef> foreign;
    for (const auto& r : query(QStringLiteral(
             "SELECT fk.object_id, fk.name, OBJECT_NAME(fk.referenced_object_id), "
             "COL_NAME(c.parent_object_id, c.parent_column_id), COL_NAME(c.referenced_object_id, c.referenced_column_id) "
             "FROM sys.foreign_keys fk JOIN sys.foreign_key_columns c ON c.constraint_object_id = fk.object_id "
             "WHERE fk.parent_object_id = OBJECT_ID(QUOTENAME(:Name)) ORDER BY fk.object_id, c.constraint_column_id"),
             name).rows) {
        ForeignKeyDef& k = foreign[r[0].toInt()];
        k.name = r[1].toString();
        k.refTable = r[2].toString();
        k.columns.append(r[3].toString());
        k.refColumns.append(r[4].toString());
    }
    for (const auto& [id, k] : foreign)
        t.foreignKeys.append(k);

    for (const auto& r : query(QStringLiteral(
             "SELECT name, definition FROM sys.check_constraints WHERE parent_object_id = OBJECT_ID(QUOTENAME(:Name)) "
             "ORDER BY object_id"), name).rows)
        t.checks.append(CheckDef{r[0].toString(), r[1].toString()});
    return t;
}

qint64 ServerCatalog::rowCount(const TableDef& table)
{
    const db::ResultSet r = query(QStringLiteral("SELECT COUNT_BIG(*) FROM %1").arg(bracketed(table.name)));
    return r.rows.empty() ? 0 : r.rows.front().value(0).toLongLong();
}

void ServerCatalog::readRows(const TableDef& table, int batchRows, const RowSink& sink)
{
    QStringList order = table.primaryKey.columns;
    if (order.isEmpty()) {
        for (const ColumnDef& c : table.columns) {
            if (orderable(c.type))
                order.append(c.name);
        }
    }
    QStringList columns;
    for (const QString& c : table.columnNames())
        columns.append(bracketed(c));
    QStringList orderBy;
    for (const QString& c : order)
        orderBy.append(bracketed(c));
    if (orderBy.isEmpty())
        orderBy.append(QStringLiteral("(SELECT NULL)"));
    const QString page = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 OFFSET %4 ROWS FETCH NEXT %5 ROWS ONLY")
                             .arg(columns.join(QStringLiteral(", ")), bracketed(table.name),
                                  orderBy.join(QStringLiteral(", ")));
    for (qint64 skip = 0;; skip += batchRows) {
        const db::ResultSet r = engine_->execute(page.arg(skip).arg(batchRows), db::ParamValues());
        if (!r.rows.empty())
            sink(r.rows);
        if (qint64(r.rows.size()) < batchRows)
            break;
    }
}

} // namespace qeldb
