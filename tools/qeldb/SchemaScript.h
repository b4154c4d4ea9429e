#pragma once

// The T-SQL that makes a catalog's objects on either engine, one statement
// per object, and the batched INSERT that carries the rows.

#include "Catalog.h"

#include "db/Params.h"

namespace qeldb::schema {

QString createType(const UserTypeDef& type);
// Columns, defaults, primary key, unique constraints and checks; indexes and
// foreign keys follow the rows (see below), so that loading is fast and no
// table waits for another.
QString createTable(const TableDef& table);
QString createIndex(const TableDef& table, const KeyDef& index);
QString addForeignKey(const TableDef& table, const ForeignKeyDef& key);
// A view or procedure as the source keeps it; an ALTER left in the text by
// a later change becomes the CREATE the target needs.
QString createModule(const ModuleDef& module);

// "INSERT INTO [T] ([a], [b]) VALUES (:R0C0, :R0C1), (:R1C0, :R1C1)" for
// `rows` rows, and the parameters that fill it.
QString insertRows(const TableDef& table, int rows);
class RowBinder {
public:
    RowBinder(int rows, int columns);
    void bind(const std::vector<Row>& rows, db::ParamValues& params) const;

private:
    int columns_;
    QStringList names_;  // made once: millions of rows would otherwise make them again each time
};

} // namespace qeldb::schema
