#include "TrigramIndexes.h"

#include "FunctionSupport.h"
#include "SqlGenerator.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace db::sqlite {

namespace {

// What an index was built with: the folding of LIKE. Another folding (other
// ICU or Qt data) makes its candidates untrustworthy, so it is built again.
QString foldVersion()
{
    return QStringLiteral("like-fold-1 %1 qt-%2").arg(QString::fromStdString(fn::collationVersion()),
                                                      QString::fromLatin1(qVersion()));
}

const char* const kTriggerSuffixes[] = {"_insert", "_delete", "_update"};

bool exec(QSqlQuery& q, const QString& sql)
{
    return q.exec(sql);
}

} // namespace

QString TrigramIndexes::indexTable(const QString& table, const QString& column)
{
    return QStringLiteral("qel_trigram_%1_%2").arg(table, column);
}

void TrigramIndexes::ensureCatalog()
{
    QSqlQuery q(db_);
    exec(q, QStringLiteral("CREATE TABLE IF NOT EXISTS qel_trigram (table_name TEXT NOT NULL COLLATE NOCASE, "
                           "column_name TEXT NOT NULL COLLATE NOCASE, built TEXT, "
                           "PRIMARY KEY (table_name, column_name))"));
}

bool TrigramIndexes::isWhole(const QString& name) const
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE (type = 'table' AND name = ?) "
                             "OR (type = 'trigger' AND name IN (?, ?, ?))"));
    q.addBindValue(name);
    for (const char* suffix : kTriggerSuffixes)
        q.addBindValue(name + QLatin1String(suffix));
    return q.exec() && q.next() && q.value(0).toInt() == 4;
}

void TrigramIndexes::drop(const QString& name)
{
    QSqlQuery q(db_);
    for (const char* suffix : kTriggerSuffixes)
        exec(q, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteIdent(name + QLatin1String(suffix))));
    exec(q, QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteIdent(name)));
}

bool TrigramIndexes::build(const QString& table, const QString& column)
{
    const QString name = indexTable(table, column);
    const QString fts = quoteIdent(name);
    const QString base = quoteIdent(table);
    const QString col = quoteIdent(column);
    QSqlQuery q(db_);
    // Only a text column of an existing table: anything else is left to scan.
    q.prepare(QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"));
    q.addBindValue(table);
    q.addBindValue(column);
    if (!q.exec() || !q.next() || !parseTypeNameSafe(q.value(0).toString()).isText())
        return false;
    // The index keys rows by rowid, which VACUUM may renumber unless it is
    // the table's own INTEGER PRIMARY KEY (an IDENTITY column here).
    q.prepare(QStringLiteral("SELECT count(*) = 1 AND max(pk = 1 AND upper(type) = 'INTEGER') "
                             "FROM pragma_table_info(?) WHERE pk > 0"));
    q.addBindValue(table);
    if (!q.exec() || !q.next() || !q.value(0).toBool())
        return false;
    q.finish();
    const QStringList steps{
        // case_sensitive: the text is folded already, exactly as LIKE folds it.
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(k, tokenize = 'trigram case_sensitive 1')").arg(fts),
        QStringLiteral("INSERT INTO %1 (rowid, k) SELECT rowid, ms_like_fold(%3) FROM %2 WHERE %3 IS NOT NULL")
            .arg(fts, base, col),
        QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 WHEN new.%3 IS NOT NULL BEGIN "
                       "INSERT INTO %4 (rowid, k) VALUES (new.rowid, ms_like_fold(new.%3)); END")
            .arg(quoteIdent(name + QLatin1String("_insert")), base, col, fts),
        QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN DELETE FROM %3 WHERE rowid = old.rowid; END")
            .arg(quoteIdent(name + QLatin1String("_delete")), base, fts),
        QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %3 ON %2 BEGIN "
                       "DELETE FROM %4 WHERE rowid = old.rowid; "
                       "INSERT INTO %4 (rowid, k) SELECT new.rowid, ms_like_fold(new.%3) WHERE new.%3 IS NOT NULL; END")
            .arg(quoteIdent(name + QLatin1String("_update")), base, col, fts),
    };
    for (const QString& step : steps) {
        if (!exec(q, step))
            return false;
    }
    q.prepare(QStringLiteral("UPDATE qel_trigram SET built = ? WHERE table_name = ? AND column_name = ?"));
    q.addBindValue(foldVersion());
    q.addBindValue(table);
    q.addBindValue(column);
    return q.exec();
}

bool TrigramIndexes::sync()
{
    QSqlQuery q(db_);
    if (!exec(q, QStringLiteral("SELECT table_name, column_name, coalesce(built, '') FROM qel_trigram")))
        return false;  // a file without declarations
    struct Declared {
        QString table, column, built;
    };
    std::vector<Declared> declared;
    while (q.next())
        declared.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    QStringList orphans;
    if (exec(q, QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' "
                               "AND name LIKE 'qel!_trigram!_%' ESCAPE '!' AND sql LIKE 'CREATE VIRTUAL TABLE%'"))) {
        while (q.next())
            orphans.append(q.value(0).toString());
    }
    q.finish();
    const QString version = foldVersion();
    bool changed = false;
    for (const Declared& d : declared) {
        const QString name = indexTable(d.table, d.column);
        orphans.removeIf([&](const QString& o) { return o.compare(name, Qt::CaseInsensitive) == 0; });
        if (d.built == version && isWhole(name))
            continue;
        // All of an index or nothing: a half-built one would lose rows.
        exec(q, QStringLiteral("SAVEPOINT qel_trigram_build"));
        drop(name);
        if (build(d.table, d.column)) {
            exec(q, QStringLiteral("RELEASE qel_trigram_build"));
        } else {
            exec(q, QStringLiteral("ROLLBACK TO qel_trigram_build"));
            exec(q, QStringLiteral("RELEASE qel_trigram_build"));
        }
        changed = true;
    }
    for (const QString& name : orphans) {
        drop(name);
        changed = true;
    }
    return changed;
}

QHash<QString, QString> TrigramIndexes::whole() const
{
    QHash<QString, QString> out;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT table_name, column_name FROM qel_trigram WHERE built = ?"));
    q.addBindValue(foldVersion());
    if (!q.exec())
        return out;
    std::vector<std::pair<QString, QString>> built;
    while (q.next())
        built.emplace_back(q.value(0).toString(), q.value(1).toString());
    for (const auto& [table, column] : built) {
        const QString name = indexTable(table, column);
        if (isWhole(name))
            out.insert(table.toUpper() + QLatin1Char('.') + column.toUpper(), name);
    }
    return out;
}

} // namespace db::sqlite
