#include "RawSqlite.h"

#include "db/DbError.h"
#include "db/sqlite/SqlServerFunctions.h"
#include "db/sqlite/SqliteCursor.h"
#include "db/sqlite/SqliteEngine.h"

#include <sqlite3.h>

namespace bench {

RawSqlite::RawSqlite(const QString& file)
{
    if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw db::DbError(QStringLiteral("cannot open %1").arg(file));
    // The collation and functions the engine's SQL calls for, and its cache.
    db::sqlite::registerSqlServerFunctions(db_);
    sqlite3_exec(db_, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
}

RawSqlite::~RawSqlite()
{
    for (sqlite3_stmt* s : std::as_const(statements_))
        sqlite3_finalize(s);
    sqlite3_close(db_);
}

sqlite3_stmt* RawSqlite::prepared(const QString& sql)
{
    sqlite3_stmt*& s = statements_[sql];
    if (!s) {
        if (sqlite3_prepare16_v3(db_, sql.utf16(), int(sql.size() * sizeof(QChar)), SQLITE_PREPARE_PERSISTENT, &s,
                                 nullptr)
            != SQLITE_OK)
            throw db::DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    return s;
}

qint64 RawSqlite::run(const RanStatement& statement, qint64 maxRows)
{
    sqlite3_stmt* s = prepared(statement.sql);
    for (int i = 0; i < statement.values.size(); ++i)
        db::sqlite::bindValue(s, i, statement.values[i]);
    const int columns = sqlite3_column_count(s);
    qint64 rows = 0;
    qint64 sink = 0;
    while ((maxRows < 0 || rows < maxRows) && sqlite3_step(s) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER:
                sink += sqlite3_column_int64(s, c);
                break;
            case SQLITE_FLOAT:
                sink += qint64(sqlite3_column_double(s, c));
                break;
            case SQLITE_NULL:
                break;
            default: {
                const QString text(static_cast<const QChar*>(sqlite3_column_text16(s, c)),
                                   sqlite3_column_bytes16(s, c) / int(sizeof(QChar)));
                sink += text.size();
            }
            }
        }
        ++rows;
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    sink_ = sink_ + sink;
    return rows;
}

StatementLog::StatementLog()
{
    db::sqlite::setStatementObserver(
        [this](const QString& sql, const QVector<QVariant>& values) { list_.append({sql, values}); });
}

StatementLog::~StatementLog()
{
    db::sqlite::setStatementObserver({});
}

} // namespace bench
