#pragma once

// The statements the embedded engine ran, run again on SQLite itself: the
// same SQLite text, the same bound values, the same file, in this process,
// with the statements prepared once as the engine prepares them.

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

struct RanStatement {
    QString sql;
    QVector<QVariant> values;
};

class RawSqlite {
public:
    explicit RawSqlite(const QString& file);
    ~RawSqlite();
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    // Runs one statement, reading every column of at most `maxRows` rows
    // (all with -1) as a program would: numbers as numbers, text as QString.
    // Returns the rows read.
    qint64 run(const RanStatement& statement, qint64 maxRows = -1);

private:
    sqlite3_stmt* prepared(const QString& sql);

    sqlite3* db_ = nullptr;
    QHash<QString, sqlite3_stmt*> statements_;
    volatile qint64 sink_ = 0;  // keeps the reads from being optimised away
};

// Collects what the engine runs between start() and take().
class StatementLog {
public:
    StatementLog();
    ~StatementLog();
    void start() { list_.clear(); }
    QVector<RanStatement> take() { return std::exchange(list_, {}); }

private:
    QVector<RanStatement> list_;
};

} // namespace bench
