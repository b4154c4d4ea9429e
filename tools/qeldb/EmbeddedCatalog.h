#pragma once

// The catalog of a database of the embedded engine, read from SQLite's own
// (sqlite_master and the table pragmas) on a read-only connection of its
// own: the engine's SQL Server views leave out keys, indexes and the texts
// of views. Column types and defaults are read back as the engine wrote
// them from T-SQL; the text of a view is the engine's translation, which its
// T-SQL reader takes again.

#include "Catalog.h"

#include <QSqlDatabase>

namespace qeldb {

// The engine's SQLite text of an expression or view as T-SQL again: its
// ms_ functions back to operators and built-ins, its collation dropped.
QString tsqlFromEngine(const QString& sql);

class EmbeddedCatalog : public CatalogSource {
public:
    // Throws db::DbError when the folder holds no such database.
    EmbeddedCatalog(const QString& folder, const QString& database);
    ~EmbeddedCatalog() override;

    Catalog readCatalog() override;
    qint64 rowCount(const TableDef& table) override;
    void readRows(const TableDef& table, int batchRows, const RowSink& sink) override;

private:
    TableDef readTable(const QString& name, const QString& sql);

    QString connectionName_;
    QSqlDatabase db_;
};

} // namespace qeldb
