#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

// The trigram indexes of a database file, declared in its table qel_trigram
// (one row per table and text column) and built by the engine: a full-text
// table "qel_trigram_<table>_<column>" of the column's folded text, keyed by
// the row's rowid (so only tables with an IDENTITY, whose rowid it is), kept
// in step by three triggers on the table. The
// generator uses an index only while it is whole (built with this engine's
// folding, triggers in place); otherwise LIKE scans as before.
namespace db::sqlite {

class TrigramIndexes {
public:
    explicit TrigramIndexes(QSqlDatabase db) : db_(std::move(db)) {}

    static QString catalogTable() { return QStringLiteral("qel_trigram"); }
    static QString indexTable(const QString& table, const QString& column);

    // Makes the declaration table when the file has none.
    void ensureCatalog();
    // Builds each declared index that is missing or was built with another
    // folding, and drops the indexes no longer declared. Failures leave an
    // index unused; they are not the statement's. True when anything changed.
    bool sync();
    // The whole indexes: upper-cased "TABLE.COLUMN" to the full-text table.
    QHash<QString, QString> whole() const;

private:
    bool build(const QString& table, const QString& column);
    void drop(const QString& name);
    bool isWhole(const QString& name) const;

    QSqlDatabase db_;
};

} // namespace db::sqlite
