#include "SchemaScript.h"

#include <QRegularExpression>

namespace qeldb {

QString bracketed(const QString& name)
{
    return QLatin1Char('[') + QString(name).replace(QLatin1Char(']'), QLatin1String("]]")) + QLatin1Char(']');
}

QStringList TableDef::columnNames() const
{
    QStringList names;
    for (const ColumnDef& c : columns)
        names.append(c.name);
    return names;
}

bool TableDef::hasIdentity() const
{
    for (const ColumnDef& c : columns) {
        if (c.identity)
            return true;
    }
    return false;
}

namespace schema {

namespace {

QString nameList(const QStringList& names, const QList<bool>& descending = {})
{
    QStringList parts;
    for (qsizetype i = 0; i < names.size(); ++i)
        parts.append(bracketed(names[i]) + (descending.value(i) ? QStringLiteral(" DESC") : QString()));
    return parts.join(QStringLiteral(", "));
}

QString constraintPrefix(const QString& name)
{
    return name.isEmpty() ? QString() : QStringLiteral("CONSTRAINT %1 ").arg(bracketed(name));
}

QString paramName(int row, int column)
{
    return QStringLiteral("R%1C%2").arg(row).arg(column);
}

} // namespace

QString createType(const UserTypeDef& type)
{
    return QStringLiteral("CREATE TYPE %1 FROM %2").arg(bracketed(type.name), type.baseType);
}

QString createTable(const TableDef& table)
{
    QStringList parts;
    for (const ColumnDef& c : table.columns) {
        QString column = bracketed(c.name) + QLatin1Char(' ') + c.type;
        if (c.identity)
            column += QStringLiteral(" IDENTITY(1,1)");
        column += c.nullable ? QStringLiteral(" NULL") : QStringLiteral(" NOT NULL");
        if (!c.defaultSql.isEmpty())
            column += QStringLiteral(" DEFAULT (%1)").arg(c.defaultSql);
        parts.append(column);
    }
    if (!table.primaryKey.columns.isEmpty())
        parts.append(constraintPrefix(table.primaryKey.name) + QStringLiteral("PRIMARY KEY (%1)")
                         .arg(nameList(table.primaryKey.columns, table.primaryKey.descending)));
    for (const KeyDef& k : table.uniques)
        parts.append(constraintPrefix(k.name) + QStringLiteral("UNIQUE (%1)").arg(nameList(k.columns, k.descending)));
    for (const CheckDef& k : table.checks)
        parts.append(constraintPrefix(k.name) + QStringLiteral("CHECK (%1)").arg(k.condition));
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(bracketed(table.name), parts.join(QStringLiteral(",\n  ")));
}

QString createIndex(const TableDef& table, const KeyDef& index)
{
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), bracketed(index.name), bracketed(table.name),
             nameList(index.columns, index.descending));
}

QString addForeignKey(const TableDef& table, const ForeignKeyDef& key)
{
    QString sql = QStringLiteral("ALTER TABLE %1 ADD %2FOREIGN KEY (%3) REFERENCES %4")
                      .arg(bracketed(table.name), constraintPrefix(key.name), nameList(key.columns),
                           bracketed(key.refTable));
    if (!key.refColumns.isEmpty())
        sql += QStringLiteral(" (%1)").arg(nameList(key.refColumns));
    return sql;
}

QString createModule(const ModuleDef& module)
{
    static const QRegularExpression alter(QStringLiteral("\\A(\\s*(?:--[^\\n]*\\n\\s*)*)ALTER\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString text = module.definition;
    const auto m = alter.match(text);
    if (m.hasMatch())
        text.replace(m.capturedStart(0), m.capturedLength(0), m.captured(1) + QStringLiteral("CREATE"));
    return text;
}

QString insertRows(const TableDef& table, int rows)
{
    const int columns = int(table.columns.size());
    QStringList values;
    values.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row.append(QLatin1Char(':') + paramName(r, c));
        values.append(QLatin1Char('(') + row.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(bracketed(table.name), nameList(table.columnNames()), values.join(QStringLiteral(", ")));
}

RowBinder::RowBinder(int rows, int columns) : columns_(columns)
{
    names_.reserve(qsizetype(rows) * columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            names_.append(paramName(r, c));
    }
}

void RowBinder::bind(const std::vector<Row>& rows, db::ParamValues& params) const
{
    params.clear();
    for (int r = 0; r < int(rows.size()); ++r) {
        const Row& row = rows[size_t(r)];
        for (int c = 0; c < columns_ && c < int(row.size()); ++c)
            params.set(names_.at(qsizetype(r) * columns_ + c), row[c]);
    }
}

} // namespace schema

} // namespace qeldb
