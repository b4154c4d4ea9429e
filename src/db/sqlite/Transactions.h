#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace db::sqlite {

// A session's transaction kept as SQL Server keeps it, carried by SQLite's
// own BEGIN, SAVEPOINT and ROLLBACK TO: BEGIN TRAN counts up and only the
// outermost COMMIT commits; ROLLBACK undoes everything and sets the count
// to 0; ROLLBACK to a savepoint undoes back to it and keeps the count. It
// stays open across the session's batches. Failures carry SQL Server's
// messages.
class Transactions {
public:
    explicit Transactions(sqlite3* handle) : handle_(handle) {}

    int count() const { return count_; }
    // XACT_STATE(): 0 without a transaction, 1 when it can be committed, -1
    // when an error left it able only to roll back.
    int state() const { return count_ == 0 ? 0 : doomed_ ? -1 : 1; }
    bool doomed() const { return doomed_; }

    void begin(const QString& name);
    void commit();
    // Everything, or back to savepoint `name` when one is named so.
    void rollback(const QString& name = QString());
    void save(const QString& name);
    // An error left the transaction unable to commit: only ROLLBACK ends it.
    void doom() { doomed_ = count_ > 0; }
    // Refuses what would write while the transaction is doomed.
    void checkWritable() const;

private:
    void exec(const QString& sql);

    sqlite3* handle_;
    int count_ = 0;
    QString name_;            // the outermost BEGIN's name; the inner ones' are not kept
    QStringList savepoints_;  // in the order saved: SQLite's savepoint i is "qel_save_i"
    bool doomed_ = false;
};

} // namespace db::sqlite
