#include "SqliteCursor.h"

#include "SqliteEngine.h"
#include "WideDecimal.h"
#include "db/DbError.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

namespace db::sqlite {
namespace {

// A money or decimal value past a double's digits leaves as its exact text.
bool wideText(const void* bytes, int size, std::string& out)
{
    fn::Decimal d;
    if (!fn::decodeNumberKey(bytes, size, d))
        return false;
    out = fn::decimalText(d, 0);
    return true;
}

bool wideText(sqlite3_stmt* statement, int column, std::string& out)
{
    return wideText(sqlite3_column_blob(statement, column), sqlite3_column_bytes(statement, column), out);
}

} // namespace

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        if (std::string exact; wideText(statement, column, exact))
            return QString::fromLatin1(exact.data(), qsizetype(exact.size()));
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    default:
        return QString(static_cast<const QChar*>(sqlite3_column_text16(statement, column)),
                       sqlite3_column_bytes16(statement, column) / int(sizeof(QChar)));
    }
}

QVariant handedOut(const QVariant& value)
{
    if (value.typeId() != QMetaType::QByteArray)
        return value;
    const QByteArray bytes = value.toByteArray();
    if (std::string exact; wideText(bytes.constData(), int(bytes.size()), exact))
        return QString::fromLatin1(exact.data(), qsizetype(exact.size()));
    return value;
}

void addColumn(sqlite3_stmt* statement, int column, RowStore& rows)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        rows.addInteger(sqlite3_column_int64(statement, column));
        return;
    case SQLITE_FLOAT:
        rows.addReal(sqlite3_column_double(statement, column));
        return;
    case SQLITE_NULL:
        rows.addNull();
        return;
    case SQLITE_BLOB:
        if (std::string exact; wideText(statement, column, exact)) {
            rows.addText(exact.data(), int(exact.size()));
            return;
        }
        rows.addBlob(sqlite3_column_blob(statement, column), sqlite3_column_bytes(statement, column));
        return;
    default:
        rows.addText(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                     sqlite3_column_bytes(statement, column));
    }
}

void bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    const int i = index + 1;
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(statement, i);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(statement, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::UChar:
    case QMetaType::UShort:
        sqlite3_bind_int(statement, i, value.toInt());
        return;
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
        sqlite3_bind_int64(statement, i, value.toLongLong());
        return;
    case QMetaType::ULongLong:
        sqlite3_bind_int64(statement, i, qint64(value.toULongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, i, value.toDouble());
        return;
    case QMetaType::QDateTime:
        bindValue(statement, index, value.toDateTime().toString(Qt::ISODateWithMs));
        return;
    case QMetaType::QDate:
        bindValue(statement, index, value.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QTime:
        bindValue(statement, index, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
        return;
    default: {
        const QString text = value.toString();
        sqlite3_bind_text16(statement, i, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT);
        return;
    }
    }
}

SqliteCursor::StepBudget::StepBudget(SqliteEngine& e, bool on) : engine(e)
{
    if (on)
        engine.beginStepBudget();
}

SqliteCursor::StepBudget::~StepBudget()
{
    engine.endStepBudget();
}

SqliteCursor::SqliteCursor(SqliteEngine& engine, sqlite3_stmt* statement, QString sql,
                           std::shared_ptr<const Batch> batch, WholeShape whole)
    : engine_(&engine), statement_(statement), sql_(std::move(sql)), batch_(std::move(batch)), whole_(std::move(whole))
{
    returnsRows_ = true;
    const int n = sqlite3_column_count(statement_);
    for (int i = 0; i < n; ++i) {
        const auto* name = static_cast<const QChar*>(sqlite3_column_name16(statement_, i));
        columns_.append(QString(name).remove(QLatin1Char('"')));
    }
    engine_->cursors_.insert(this);
    try {
        const StepBudget budget(*engine_, !whole_.sql.isEmpty());
        onRow_ = step();
    } catch (...) {
        finish();
        throw;
    }
    atEnd_ = !onRow_;
    if (atEnd_)
        finish();
}

SqliteCursor::~SqliteCursor()
{
    finish();
}

bool SqliteCursor::step()
{
    const TrigramMatches::Active lists(engine_->trigramMatches_, matches_);
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        engine_->trigramMatches_.rowFound();
        return true;
    }
    if (rc == SQLITE_DONE)
        return false;
    if (rc == SQLITE_INTERRUPT && engine_->stepBudgetSpent()) {
        takeWholeShape();
        return stepPast(handedOut_);
    }
    const QString message = engine_->stepError(statement_, batch_->statements.front().get());
    throw DbError(message);
}

bool SqliteCursor::stepPast(qint64 rows)
{
    // A step that goes on with the whole shape stands past the rows handed
    // out already: the skipping ends there.
    const sqlite3_stmt* shape = statement_;
    bool onRow = step();
    for (; onRow && rows > 0 && statement_ == shape; --rows)
        onRow = step();
    return onRow;
}

void SqliteCursor::takeWholeShape()
{
    engine_->endStepBudget();
    ++engine_->handOvers_;
    sqlite3_stmt* whole = engine_->takeStatement(whole_.sql, batch_->statements.front().get());
    for (int i = 0; i < whole_.values.size(); ++i)
        bindValue(whole, i, whole_.values[i]);
    engine_->returnStatement(sql_, statement_);
    statement_ = whole;
    sql_ = std::move(whole_.sql);
    whole_ = {};
}

void SqliteCursor::park()
{
    if (!statement_ || parked_)
        return;
    sqlite3_reset(statement_);
    parked_ = true;
    // What runs meanwhile may change the rows: looked up again on return.
    matches_.clear();
}

void SqliteCursor::fetch(int count, RowStore& rows)
{
    if (!statement_) {
        atEnd_ = true;
        return;
    }
    engine_->beforeCursorFetch(this);
    const StepBudget budget(*engine_, !whole_.sql.isEmpty());
    if (parked_) {
        parked_ = false;
        // Run again and pass the rows handed out; the row that was current
        // when parked is the next one.
        onRow_ = stepPast(handedOut_);
    }
    const int n = int(columns_.size());
    for (; count > 0 && onRow_; --count) {
        for (int i = 0; i < n; ++i)
            addColumn(statement_, i, rows);
        ++handedOut_;
        onRow_ = step();
    }
    atEnd_ = !onRow_;
    if (atEnd_)
        finish();
}

void SqliteCursor::detach()
{
    finish();
    atEnd_ = true;
}

void SqliteCursor::finish()
{
    if (!engine_)
        return;
    engine_->cursors_.remove(this);
    if (statement_)
        engine_->returnStatement(sql_, statement_);
    statement_ = nullptr;
    engine_ = nullptr;
}

} // namespace db::sqlite
