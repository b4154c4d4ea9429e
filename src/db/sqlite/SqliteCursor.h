#pragma once

#include "TrigramMatches.h"
#include "TsqlAst.h"
#include "db/Engine.h"

#include <QString>

#include <memory>

struct sqlite3_stmt;

namespace db::sqlite {

class SqliteEngine;

// The rows of one SELECT, stepped out of its prepared statement as they are
// asked for. The statement is parked (reset, so that the session's other
// statements read the database as it is now, not as it was when this one
// started) whenever the engine runs something else; the next fetch runs it
// again and steps past the rows already handed out.
//
// A statement may come in two shapes that give the same rows in the same
// order (GeneratedSql::firstRowsSql): the cursor starts on the one that finds
// first rows soon, and goes on with the whole one, past the rows handed out,
// once a fetch has stepped more than a budget without being served.
class SqliteCursor : public RowCursor {
public:
    // The shape to go on with, and the values bound to it.
    struct WholeShape {
        QString sql;
        QVector<QVariant> values;
    };

    // Takes the prepared, bound statement; `batch` keeps the parsed text alive
    // for error messages. Steps to the first row: errors show here.
    SqliteCursor(SqliteEngine& engine, sqlite3_stmt* statement, QString sql, std::shared_ptr<const Batch> batch,
                 WholeShape whole = {});
    ~SqliteCursor() override;

    void fetch(int count, RowStore& rows) override;

    void park();
    // The engine closes: no more rows.
    void detach();

private:
    // While it lives, a step on the first-rows shape is interrupted once it
    // has run past the engine's budget.
    struct StepBudget {
        StepBudget(SqliteEngine& engine, bool on);
        ~StepBudget();
        SqliteEngine& engine;
    };

    bool step();  // true on a row; false at the end; throws on errors
    bool stepPast(qint64 rows);  // steps to the row after `rows` rows; whether there is one
    void takeWholeShape();
    void finish();

    SqliteEngine* engine_;
    sqlite3_stmt* statement_;
    QString sql_;
    std::shared_ptr<const Batch> batch_;
    WholeShape whole_;  // empty once on the whole shape, or when there is one shape
    qint64 handedOut_ = 0;  // rows given to fetch()'s callers
    bool onRow_ = false;    // the statement stands on a row not handed out yet
    bool parked_ = false;
    TrigramMatches::Lists matches_;  // the trigram look-ups both shapes read
};

// A column of the row a statement stands on: integers as qint64, reals as
// double, text as QString, blobs as QByteArray, NULL as a null QString.
QVariant columnValue(sqlite3_stmt* statement, int column);

// A value Qt's driver read, as the caller gets it: a wide decimal, a BLOB to
// the driver, as its exact text.
QVariant handedOut(const QVariant& value);

// The same value added to `rows` as it stands, text still UTF-8.
void addColumn(sqlite3_stmt* statement, int column, RowStore& rows);

// Binds a value made by toSqlite() to parameter `index` (0-based).
void bindValue(sqlite3_stmt* statement, int index, const QVariant& value);

} // namespace db::sqlite
