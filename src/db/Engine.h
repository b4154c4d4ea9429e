#pragma once

#include "Params.h"
#include "RowStore.h"

#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

namespace db {

// Rows fetched into memory. `returnsRows` tells a statement that produced a
// row set (possibly empty) from one that produced none.
struct ResultSet {
    bool returnsRows = false;
    QStringList columns;
    std::vector<QVector<QVariant>> rows;
    // Each column's SQL Server type where the values do not show it ("DATE"
    // beside "DATETIME" in the embedded engine, which keeps both as text),
    // when the engine was asked for them; empty otherwise.
    QStringList columnTypes = {};
};

// The rows of one statement, read as they are asked for, so that a long
// result shows its first rows without waiting for the last.
class RowCursor {
public:
    virtual ~RowCursor() = default;

    bool returnsRows() const { return returnsRows_; }
    const QStringList& columns() const { return columns_; }
    bool atEnd() const { return atEnd_; }

    // Appends up to `count` more rows to `rows` (cleared to columns() by the
    // caller); sets atEnd() after the last. Throws DbError when reading fails.
    virtual void fetch(int count, RowStore& rows) = 0;

protected:
    bool returnsRows_ = false;
    QStringList columns_;
    bool atEnd_ = true;
};

// A cursor over rows already read in full.
class ResultCursor : public RowCursor {
public:
    explicit ResultCursor(ResultSet result);
    void fetch(int count, RowStore& rows) override;

private:
    std::vector<QVector<QVariant>> rows_;
    size_t next_ = 0;
};

// One database server session. Implementations: the embedded engine (SQLite
// under a T-SQL front end) and SQL Server through ODBC. Every call commits by
// itself; nothing here opens a transaction.
class Engine {
public:
    virtual ~Engine() = default;

    // Runs one batch of T-SQL with ":Name" parameters. The rows are those of
    // the last statement of the batch that returned rows.
    virtual ResultSet execute(const QString& sql, const ParamValues& params) = 0;

    // Runs a batch like execute() and hands its rows out as they are asked
    // for. By default every row is read first; an engine that can read a
    // single SELECT lazily does so.
    virtual std::unique_ptr<RowCursor> openCursor(const QString& sql, const ParamValues& params);

    // Calls a stored procedure; outputs and the "Result" entry are written
    // back into `params`.
    virtual void callProcedure(const QString& name, std::vector<ProcParam>& params) = 0;

    // The database the session works in, as the server names it.
    virtual QString databaseName() const = 0;

    // True when this session can only read (a company on a read-only share):
    // the program then leaves out the bookkeeping writes it makes on its own.
    virtual bool isReadOnly() const { return false; }
};

// Reads a value out of a connection parameter list ("NAME=VALUE" lines); the
// name is matched without regard to case, the value is returned as written.
QString connectionParam(const QStringList& lines, const QString& name);

// A positive whole number of the list, or 0 when absent or not one.
int positiveConnectionParam(const QStringList& lines, const QString& name);

// Opens the engine that the list's "SERVER NAME" selects: "sqlite:FOLDER" is
// the embedded engine, anything else a SQL Server host. Throws DbError.
std::unique_ptr<Engine> openEngine(const QStringList& connectionParams);

} // namespace db
