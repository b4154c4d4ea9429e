#pragma once

#include "TsqlAst.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace db::sqlite {

class SqlGenerator;

// The tables of DECLARE @t TABLE (...). Each lives in the session's own TEMP
// schema under its own name ("@t") while the batch or procedure call that
// declared it runs, and goes when that ends, error or not. Only the innermost call sees its
// tables: a call's caller's tables are renamed out of sight ("@t~1") until the
// call returns, so a procedure that calls itself gets tables of its own.
// Rows are not part of a transaction: a ROLLBACK leaves them as they were.
class TableVariables {
public:
    TableVariables(QSqlDatabase& db, SqlGenerator& generator, std::function<void()> schemaChanged);

    // Makes the table of `declaration` for the batch or call at `depth`. The
    // same DECLARE run again (in a loop) keeps the table and its rows.
    void declare(const Stmt& declaration, int depth);
    // A call at `depth` starts: its caller's tables go out of sight.
    void enterCall(int depth);
    // The batch or call at `depth` ends: its tables go, the caller's come back.
    void end(int depth) noexcept;

    // The rows of every table, taken before a ROLLBACK and put back after it.
    struct Rows {
        struct Table {
            QStringList columns;  // the stored ones, quoted
            QVector<QVector<QVariant>> rows;
        };
        std::vector<Table> tables;  // in the order of the declarations
    };
    Rows rows() const;
    void putBack(const Rows& kept);
    // Drops tables no batch or call owns; true when one went.
    bool dropStrays();

private:
    struct Table {
        QString name;  // as declared, with "@"
        int depth = 0;
        const Stmt* declaredBy = nullptr;  // which DECLARE, to know it again
        Stmt definition;                   // a copy: the batch may be gone before a ROLLBACK
        QString storedName;  // its name in the file now
    };
    void exec(const QString& sql) const;
    void rename(Table& t, const QString& to);
    void create(const Table& t);

    QSqlDatabase& db_;
    SqlGenerator& generator_;
    std::function<void()> schemaChanged_;
    std::vector<Table> tables_;
};

} // namespace db::sqlite
