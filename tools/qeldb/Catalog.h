#pragma once

// One database's objects as qel-db copy reads them from the source's
// catalog and writes them to the target: the same description whichever
// engine it came from. Types, defaults, checks, views and procedures are
// T-SQL text that either engine accepts.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <vector>

namespace qeldb {

struct ColumnDef {
    QString name;
    QString type;          // "NVarChar(20)", "Decimal(18,4)", "Int"
    bool nullable = true;
    bool identity = false; // seed and step 1, the only kind both engines keep
    QString defaultSql;    // the expression, empty for none
};

// A primary key, a unique constraint or an index.
struct KeyDef {
    QString name;          // empty: the target names it
    QStringList columns;
    QList<bool> descending;
    bool unique = false;
};

struct ForeignKeyDef {
    QString name;
    QStringList columns;
    QString refTable;
    QStringList refColumns;
};

struct CheckDef {
    QString name;
    QString condition;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    KeyDef primaryKey;     // no columns: the table has none
    QList<KeyDef> uniques;
    QList<CheckDef> checks;
    QList<KeyDef> indexes;
    QList<ForeignKeyDef> foreignKeys;

    QStringList columnNames() const;
    bool hasIdentity() const;
};

// A view or a procedure: its whole CREATE statement as the source keeps it.
struct ModuleDef {
    QString name;
    QString definition;
};

struct UserTypeDef {
    QString name;
    QString baseType;
};

struct Catalog {
    QList<UserTypeDef> types;
    QList<TableDef> tables;
    QList<ModuleDef> views;
    QList<ModuleDef> procedures;
};

using Row = QVector<QVariant>;
using RowSink = std::function<void(const std::vector<Row>&)>;

// Where a copy reads from: the catalog, then every table's rows in batches,
// values in the column order of the table's definition.
class CatalogSource {
public:
    virtual ~CatalogSource() = default;
    virtual Catalog readCatalog() = 0;
    virtual qint64 rowCount(const TableDef& table) = 0;
    virtual void readRows(const TableDef& table, int batchRows, const RowSink& sink) = 0;
};

// A name as T-SQL writes it whatever it holds: [Order Details], [a]]b].
QString bracketed(const QString& name);

} // namespace qeldb
