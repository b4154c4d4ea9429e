#pragma once

#include "Money.h"
#include "Params.h"
#include "RowStore.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

namespace db {

class Connection;
class RowCursor;

// A statement held as lines (joined by line breaks and sent as they stand)
// with ":Name" parameters. Opening reads the first block of rows; the rest
// are read as they are reached (by index, navigation, locate or the record
// count), so a long result shows at once. The program may change values of
// the read rows (display columns), which live in memory only and are never
// written back. Not finding a row is an answer, never an error.
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(const QString& alias = QString(), QObject* parent = nullptr);
    ~Query() override;

    // Rows read at a time once the statement has run: a screenful or two,
    // so that a search whose matches are spread thin shows them soon.
    static constexpr int kFetchBlock = 64;

    void setAlias(const QString& alias) { alias_ = alias; }
    const QString& alias() const { return alias_; }

    void setSql(const QStringList& lines);
    const QStringList& sql() const { return sql_; }
    const QString& sqlText() const { return sqlText_; }

    // Parameters keep their values between opens and across setSql().
    void setParam(const QString& name, const QVariant& value);
    void setParamNull(const QString& name) { setParam(name, QVariant()); }
    QVariant param(const QString& name) const { return params_.value(name); }
    const ParamValues& params() const { return params_; }

    void open();     // runs the statement and keeps its rows
    void execSql();  // runs the statement and keeps its rows, if any
    void close();
    bool isOpen() const { return open_; }

    // An in-memory table: opens with these fields and no rows, without any
    // database. Rows are appended and deleted in memory only.
    void openInMemory(const QStringList& fields);
    void append();        // a new empty row, made current
    void deleteCurrent(); // the current row; the next one (or the last) becomes current

    // Navigation over the rows. The record count reads every row.
    int recordCount() const;
    bool isEmpty() const;
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int recNo() const { return current_; }  // 0-based; -1 when empty
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    // Moves to the first row whose `field` equals `value` (text compared
    // without regard to case); returns whether one was found.
    bool locate(const QString& field, const QVariant& value);

    // Columns, read by name without regard to case.
    const QStringList& fieldNames() const { return columns_; }
    int fieldCount() const { return int(columns_.size()); }
    int fieldIndex(const QString& name) const;  // -1 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Readers of the current row. A missing column throws DbError; NULL reads
    // as empty text, 0 or an invalid date.
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;
    qint64 asInteger(const QString& field) const;
    double asFloat(const QString& field) const;
    Money asMoney(const QString& field) const;  // exact, to four decimals
    QDateTime asDateTime(const QString& field) const;

    // Rows read so far, and reading the next block of them (for grids).
    int fetchedCount() const { return rows_.rowCount(); }
    bool allFetched() const { return !cursor_; }
    void fetchMore() const;

    // Any row, by index (for grids).
    QVariant valueAt(int row, int column) const;
    void setValueAt(int row, int column, const QVariant& value);
    // Column `column` of the first values.size() rows at once, with one
    // columnChanged() for all of them (a grid repaints once, not per row).
    void setColumnValues(int column, const QVector<QVariant>& values);
    // Sets a value of the current row in memory only.
    void setValue(const QString& field, const QVariant& value);

signals:
    void opened();
    void closed();
    void currentRowChanged(int row);
    void valueChanged(int row, int column);
    void columnChanged(int column);  // in rows 0 .. `count` - 1 of setColumnValues
    void rowsChanged();  // rows appended or deleted in memory
    void rowsFetched(int first, int last);  // rows read from the result and added at its end

private:
    void run(bool requireRows);
    int requireField(const QString& field) const;
    void setCurrent(int row);
    // Reads until row `row` is in memory or the result ends; whether it is.
    bool fetchTo(int row) const;
    void fetchAll() const;
    void fetch(int count) const;

    QString alias_;
    QStringList sql_;
    QString sqlText_;  // the lines joined, made once per setSql()
    ParamValues params_;
    bool open_ = false;
    QStringList columns_;
    // Rows read so far; the cursor is kept while more may follow. Reading
    // more changes neither the rows read nor the current row, so the
    // const readers may do it.
    mutable RowStore rows_;
    mutable std::unique_ptr<RowCursor> cursor_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

// Conversions shared by every reader of database values.
QString variantToText(const QVariant& v);
qint64 variantToInteger(const QVariant& v);
double variantToFloat(const QVariant& v);
QDateTime variantToDateTime(const QVariant& v);
QDate variantToDate(const QVariant& v);  // the day of variantToDateTime(v)

} // namespace db
