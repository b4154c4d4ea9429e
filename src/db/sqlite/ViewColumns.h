#pragma once

#include "TsqlAst.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <utility>
#include <vector>

// The types SQL Server gives a view's columns, and their places, kept in
// the file's table qel_view_columns when the view is made. SQLite knows a
// view column's type only where it shows a table's column as it is (and a
// UNION's only from its first block); a view of `1 UNION ALL 2` or of
// `Price * Qty` would otherwise have none, and AVG or SUM over it would not
// know how to round. Files made before the table existed keep SQLite's own
// answer; views made before places were kept are read by SQLite for them.
namespace db::sqlite {

class ViewColumns {
public:
    explicit ViewColumns(QSqlDatabase db) : db_(std::move(db)) {}

    // Makes the table when the file has none.
    void ensureCatalog();
    // Keeps every column of `view` (made a moment ago) in its place, with the
    // type SQL Server gives it where `columns` names one, else SQLite's.
    void save(const QString& view, const std::vector<std::pair<QString, TypeName>>& columns);
    // DROP VIEW; false when the file has no such table.
    bool forget(const QString& view);
    // Upper-cased column to its type as written ("INT", "DECIMAL(11,1)").
    QHash<QString, QString> types(const QString& view) const;

private:
    QSqlDatabase db_;
};

} // namespace db::sqlite
