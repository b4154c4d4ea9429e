#pragma once

// The catalog of a SQL Server database, read from its sys views through the
// tool's own session: keys and indexes from sys.indexes, texts of views and
// procedures from sys.sql_modules as they were written. Rows come in pages
// in key order, so that no page is read twice.

#include "Catalog.h"

#include "db/Engine.h"

#include <memory>

namespace qeldb {

class ServerCatalog : public CatalogSource {
public:
    explicit ServerCatalog(std::unique_ptr<db::Engine> engine);

    Catalog readCatalog() override;
    qint64 rowCount(const TableDef& table) override;
    void readRows(const TableDef& table, int batchRows, const RowSink& sink) override;

    // A column's type as T-SQL writes it, from sys.columns' figures.
    static QString typeText(const QString& name, int maxLength, int precision, int scale, bool userDefined);

private:
    db::ResultSet query(const QString& sql, const QString& objectName = QString());
    TableDef readTable(const QString& name);

    std::unique_ptr<db::Engine> engine_;
};

} // namespace qeldb
