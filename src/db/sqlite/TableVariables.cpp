#include "TableVariables.h"

#include "SqlGenerator.h"
#include "db/DbError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace db::sqlite {

TableVariables::TableVariables(QSqlDatabase& db, SqlGenerator& generator, std::function<void()> schemaChanged)
    : db_(db), generator_(generator), schemaChanged_(std::move(schemaChanged))
{
}

void TableVariables::exec(const QString& sql) const
{
    QSqlQuery q(db_);
    if (!q.exec(sql))
        throw DbError(q.lastError().databaseText());
}

void TableVariables::create(const Table& t)
{
    Stmt make = t.definition;
    make.kind = Stmt::CreateTable;
    make.table = t.storedName;
    QString sql = generator_.statement(make).sql;
    sql.replace(0, int(qstrlen("CREATE TABLE")), QStringLiteral("CREATE TEMP TABLE"));
    exec(sql);
}

void TableVariables::declare(const Stmt& declaration, int depth)
{
    for (const Table& t : tables_) {
        if (t.depth != depth || t.name.compare(declaration.table, Qt::CaseInsensitive) != 0)
            continue;
        if (t.declaredBy == &declaration)
            return;
        throw DbError(QStringLiteral("The variable name '%1' has already been declared. Variable names must be "
                                     "unique within a query batch or stored procedure.").arg(declaration.table));
    }
    Table t;
    t.name = declaration.table;
    t.depth = depth;
    t.declaredBy = &declaration;
    t.definition = declaration;
    t.storedName = declaration.table;
    // A table left behind (a drop undone by a later ROLLBACK) belongs to nobody now.
    exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(quoteIdent(t.storedName)));
    try {
        create(t);
    } catch (const DbError&) {
        schemaChanged_();
        throw;
    }
    tables_.push_back(std::move(t));
    schemaChanged_();
}

void TableVariables::rename(Table& t, const QString& to)
{
    exec(QStringLiteral("ALTER TABLE temp.%1 RENAME TO %2").arg(quoteIdent(t.storedName), quoteIdent(to)));
    t.storedName = to;
}

void TableVariables::enterCall(int depth)
{
    bool changed = false;
    for (Table& t : tables_) {
        if (t.depth == depth - 1) {
            rename(t, QStringLiteral("%1~%2").arg(t.name).arg(t.depth));
            changed = true;
        }
    }
    if (changed)
        schemaChanged_();
}

void TableVariables::end(int depth) noexcept
{
    bool changed = false;
    for (auto it = tables_.begin(); it != tables_.end();) {
        if (it->depth < depth) {
            ++it;
            continue;
        }
        QSqlQuery(db_).exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(quoteIdent(it->storedName)));
        it = tables_.erase(it);
        changed = true;
    }
    for (Table& t : tables_) {
        if (t.depth == depth - 1 && t.storedName != t.name) {
            try {
                rename(t, t.name);
            } catch (const DbError&) {
                // Left under its hidden name: the caller reads no table, and says so.
            }
            changed = true;
        }
    }
    if (changed)
        schemaChanged_();
}

// A ROLLBACK brings back the tables of batches ended inside the transaction.
bool TableVariables::dropStrays()
{
    QStringList strays;
    QSqlQuery q(db_);
    q.exec(QStringLiteral("SELECT name FROM temp.sqlite_master WHERE type = 'table' AND substr(name, 1, 1) = '@'"));
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (std::none_of(tables_.begin(), tables_.end(),
                         [&](const Table& t) { return t.storedName.compare(name, Qt::CaseInsensitive) == 0; }))
            strays.append(name);
    }
    q.finish();
    for (const QString& name : strays)
        exec(QStringLiteral("DROP TABLE temp.%1").arg(quoteIdent(name)));
    return !strays.isEmpty();
}

TableVariables::Rows TableVariables::rows() const
{
    Rows kept;
    for (const Table& t : tables_) {
        Rows::Table table;
        QSqlQuery q(db_);
        // Computed columns are worked out again, not stored.
        q.exec(QStringLiteral("PRAGMA temp.table_xinfo(%1)").arg(quoteIdent(t.storedName)));
        while (q.next()) {
            if (q.value(6).toInt() == 0)
                table.columns.append(quoteIdent(q.value(1).toString()));
        }
        q.setForwardOnly(true);
        if (!table.columns.isEmpty()
            && q.exec(QStringLiteral("SELECT %1 FROM temp.%2")
                          .arg(table.columns.join(QStringLiteral(", ")), quoteIdent(t.storedName)))) {
            while (q.next()) {
                QVector<QVariant> row;
                for (int i = 0; i < table.columns.size(); ++i)
                    row.append(q.value(i));
                table.rows.append(row);
            }
        }
        kept.tables.push_back(table);
    }
    return kept;
}

void TableVariables::putBack(const Rows& kept)
{
    dropStrays();
    for (size_t i = 0; i < tables_.size() && i < kept.tables.size(); ++i) {
        // Made afresh: the ROLLBACK may have taken it away (made inside the
        // transaction) or brought back an older one of the same name.
        const Table& t = tables_[i];
        const Rows::Table& table = kept.tables[i];
        exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(quoteIdent(t.storedName)));
        create(t);
        if (table.rows.isEmpty())
            continue;
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("INSERT INTO temp.%1 (%2) VALUES (%3)")
                      .arg(quoteIdent(t.storedName), table.columns.join(QStringLiteral(", ")),
                           QStringList(table.columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
        for (const QVector<QVariant>& row : table.rows) {
            for (int c = 0; c < row.size(); ++c)
                q.bindValue(c, row[c]);
            if (!q.exec())
                throw DbError(q.lastError().databaseText());
        }
    }
    schemaChanged_();
}

} // namespace db::sqlite
