#pragma once

#include "TsqlAst.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <utility>
#include <vector>

// The types SQL Server gives a view's columns, kept in the file's table
// qel_view_columns when the view is made. SQLite knows a view column's type
// only where it shows a table's column as it is (and a UNION's only from its
// first block); a view of `1 UNION ALL 2` or of `Price * Qty` would otherwise
// have none, and AVG or SUM over it would not know how to round. Files made
// before the table existed keep SQLite's own answer.
namespace db::sqlite {

class ViewColumns {
public:
    explicit ViewColumns(QSqlDatabase db) : db_(std::move(db)) {}

    // Makes the table when the file has none.
    void ensureCatalog();
    // Replaces what is kept for `view`; an empty list forgets it (DROP VIEW).
    void save(const QString& view, const std::vector<std::pair<QString, TypeName>>& columns);
    // Upper-cased column to its type as written ("INT", "DECIMAL(11,1)").
    QHash<QString, QString> types(const QString& view) const;

private:
    QSqlDatabase db_;
};

} // namespace db::sqlite
