#include "Query.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"

#include <QtGlobal>

#include <algorithm>

namespace db {

QString variantToText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double: {
        // Shortest form that reads back as the same number, never exponent
        // notation for ordinary amounts.
        const double d = v.toDouble();
        QString s = QString::number(d, 'f', 6);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
        if (s == QLatin1String("-0"))
            s = QStringLiteral("0");
        return s;
    }
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

qint64 variantToInteger(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return 0;
    switch (v.typeId()) {
    case QMetaType::Double:
        return qint64(v.toDouble());
    case QMetaType::QString: {
        bool ok = false;
        const QString s = v.toString().trimmed();
        const qint64 i = s.toLongLong(&ok);
        if (ok)
            return i;
        const double d = s.toDouble(&ok);
        if (ok)
            return qint64(d);
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    }
    default:
        return v.toLongLong();
    }
}

double variantToFloat(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return 0.0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
        return d;
    }
    return v.toDouble();
}

namespace {

// The text both engines hand dates over in: "yyyy-MM-dd", optionally followed
// by " HH:mm:ss" (or "T") and a fraction of a second. Read by hand: Qt's
// general parser costs more than the rest of showing a history line.
bool readIsoDateTime(QStringView s, QDate& date, QTime& time)
{
    const auto digits = [&](qsizetype at, int count, int& value) {
        if (at + count > s.size())
            return false;
        value = 0;
        for (int i = 0; i < count; ++i) {
            const QChar c = s[at + i];
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            value = value * 10 + (c.unicode() - '0');
        }
        return true;
    };
    int y, mo, d, h = 0, mi = 0, sec = 0, ms = 0;
    if (!digits(0, 4, y) || s.size() < 10 || s[4] != QLatin1Char('-') || !digits(5, 2, mo) || s[7] != QLatin1Char('-')
        || !digits(8, 2, d))
        return false;
    if (s.size() > 10) {
        if ((s[10] != QLatin1Char(' ') && s[10] != QLatin1Char('T')) || s.size() < 19 || !digits(11, 2, h)
            || s[13] != QLatin1Char(':') || !digits(14, 2, mi) || s[16] != QLatin1Char(':') || !digits(17, 2, sec))
            return false;
        if (s.size() > 19) {
            if (s[19] != QLatin1Char('.') || s.size() == 20)
                return false;
            int scale = 100;
            for (qsizetype i = 20; i < s.size(); ++i, scale /= 10) {
                const QChar c = s[i];
                if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                    return false;
                ms += (c.unicode() - '0') * scale;  // digits past the millisecond add nothing
            }
        }
    }
    date = QDate(y, mo, d);
    time = QTime(h, mi, sec, ms);
    return date.isValid() && time.isValid();
}

} // namespace

QDateTime variantToDateTime(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QDateTime();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    const QString s = v.toString().trimmed();
    if (s.isEmpty())
        return QDateTime();
    QDate date;
    QTime time;
    if (readIsoDateTime(s, date, time))
        return QDateTime(date, time);
    for (const char* fmt : {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss.zzz",
                            "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
        QDateTime dt = QDateTime::fromString(s, QLatin1String(fmt));
        if (dt.isValid())
            return dt;
    }
    throw DbError(QStringLiteral("'%1' is not a valid date and time").arg(s));
}

QDate variantToDate(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QString) {
        // A day alone needs no time zone: no local date and time is made.
        const QString text = v.toString();
        QDate date;
        QTime time;
        if (readIsoDateTime(QStringView(text).trimmed(), date, time))
            return date;
    }
    return variantToDateTime(v).date();
}

Query::Query(const QString& alias, QObject* parent) : QObject(parent), alias_(alias) {}

Query::~Query() = default;

void Query::fetch(int count) const
{
    if (!cursor_)
        return;
    const int first = rows_.rowCount();
    try {
        cursor_->fetch(count, rows_);
    } catch (const DbError& e) {
        // A grid asks for rows while it paints, where nothing can be
        // thrown: the rows end where reading failed, and the reason is logged.
        qWarning("Reading the rows of %s stopped: %s", qPrintable(alias_), qPrintable(e.message()));
        cursor_.reset();
    }
    if (cursor_ && cursor_->atEnd())
        cursor_.reset();
    if (rows_.rowCount() > first)
        emit const_cast<Query*>(this)->rowsFetched(first, rows_.rowCount() - 1);
}

bool Query::fetchTo(int row) const
{
    while (row >= rows_.rowCount() && cursor_)
        fetch(std::max(kFetchBlock, row + 1 - rows_.rowCount()));
    return row >= 0 && row < rows_.rowCount();
}

void Query::fetchAll() const
{
    while (cursor_)
        fetch(std::max(kFetchBlock, rows_.rowCount()));
}

void Query::fetchMore() const
{
    fetch(kFetchBlock);
}

int Query::recordCount() const
{
    fetchAll();
    return rows_.rowCount();
}

bool Query::isEmpty() const
{
    return !fetchTo(0);
}

void Query::setSql(const QStringList& lines)
{
    if (open_)
        close();
    sql_ = lines;
    sqlText_ = sql_.join(QLatin1Char('\n'));
}

void Query::setParam(const QString& name, const QVariant& value)
{
    params_.set(name, value);
}

void Query::open()
{
    run(true);
}

void Query::execSql()
{
    run(false);
}

void Query::run(bool requireRows)
{
    close();
    if (alias_.isEmpty())
        throw DbError(QStringLiteral("Query has no database alias."));
    Engine& engine = Connection::byAlias(alias_).engine();
    std::unique_ptr<RowCursor> cursor = engine.openCursor(sqlText(), params_);
    if (requireRows && !cursor->returnsRows())
        throw DbError(QStringLiteral("The statement returned no result set."));
    columns_ = cursor->columns();
    if (!cursor->returnsRows())
        return;
    rows_.clear(int(columns_.size()));
    // The first block is read here, so that the statement's errors come
    // from open() as before.
    cursor->fetch(kFetchBlock, rows_);
    if (!cursor->atEnd())
        cursor_ = std::move(cursor);
    open_ = true;
    emit opened();
    first();
}

void Query::openInMemory(const QStringList& fields)
{
    close();
    columns_ = fields;
    rows_.clear(int(columns_.size()));
    open_ = true;
    emit opened();
    first();
}

void Query::append()
{
    if (!open_)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    fetchAll();
    rows_.addEmptyRow();
    emit rowsChanged();
    eof_ = bof_ = false;
    setCurrent(rows_.rowCount() - 1);
}

void Query::deleteCurrent()
{
    fetchAll();
    if (current_ < 0 || current_ >= rows_.rowCount())
        return;
    rows_.removeRow(current_);
    const int next = rows_.empty() ? -1 : std::min(current_, rows_.rowCount() - 1);
    current_ = -2;  // the row under the cursor is another one now
    emit rowsChanged();
    eof_ = bof_ = rows_.empty();
    setCurrent(next);
}

void Query::close()
{
    const bool wasOpen = open_;
    open_ = false;
    cursor_.reset();
    rows_.clear();
    columns_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    if (wasOpen)
        emit closed();
}

void Query::setCurrent(int row)
{
    const int previous = current_;
    current_ = row;
    if (current_ != previous)
        emit currentRowChanged(current_);
}

void Query::first()
{
    fetchTo(0);
    bof_ = true;
    eof_ = rows_.empty();
    setCurrent(rows_.empty() ? -1 : 0);
}

void Query::last()
{
    fetchAll();
    eof_ = true;
    bof_ = rows_.empty();
    setCurrent(rows_.rowCount() - 1);
}

void Query::next()
{
    bof_ = false;
    if (!fetchTo(current_ + 1)) {
        eof_ = true;
        return;
    }
    eof_ = false;
    setCurrent(current_ + 1);
}

void Query::prior()
{
    eof_ = false;
    if (current_ <= 0) {
        bof_ = true;
        return;
    }
    bof_ = false;
    setCurrent(current_ - 1);
}

void Query::moveTo(int row)
{
    if (!fetchTo(row))
        return;
    eof_ = bof_ = false;
    setCurrent(row);
}

bool Query::locate(const QString& field, const QVariant& value)
{
    const int col = requireField(field);
    const bool textual = value.typeId() == QMetaType::QString;
    for (int r = 0; fetchTo(r); ++r) {
        const QVariant v = rows_.value(r, col);
        const bool match = textual
            ? variantToText(v).compare(value.toString(), Qt::CaseInsensitive) == 0
            : (!v.isNull() && v == value)
                || (!v.isNull() && variantToText(v) == variantToText(value));
        if (match) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

int Query::fieldIndex(const QString& name) const
{
    for (int i = 0; i < columns_.size(); ++i) {
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Query::requireField(const QString& field) const
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(field));
    return i;
}

QVariant Query::value(const QString& field) const
{
    const int col = requireField(field);
    if (current_ < 0 || current_ >= rows_.rowCount())
        return QVariant();
    return rows_.value(current_, col);
}

bool Query::isNull(const QString& field) const
{
    const QVariant v = value(field);
    return v.isNull() || !v.isValid();
}

QString Query::asString(const QString& field) const
{
    return variantToText(value(field));
}

qint64 Query::asInteger(const QString& field) const
{
    return variantToInteger(value(field));
}

Money Query::asMoney(const QString& field) const
{
    return Money::fromVariant(value(field));
}

double Query::asFloat(const QString& field) const
{
    return variantToFloat(value(field));
}

QDateTime Query::asDateTime(const QString& field) const
{
    return variantToDateTime(value(field));
}

QVariant Query::valueAt(int row, int column) const
{
    if (!fetchTo(row) || column < 0 || column >= columns_.size())
        return QVariant();
    return rows_.value(row, column);
}

void Query::setValueAt(int row, int column, const QVariant& value)
{
    if (!fetchTo(row) || column < 0 || column >= columns_.size())
        return;
    rows_.setValue(row, column, value);
    emit valueChanged(row, column);
}

void Query::setColumnValues(int column, const QVector<QVariant>& values)
{
    if (values.isEmpty() || !fetchTo(int(values.size()) - 1) || column < 0 || column >= columns_.size())
        return;
    for (qsizetype row = 0; row < values.size(); ++row)
        rows_.setValue(int(row), column, values[row]);
    emit columnChanged(column);
}

void Query::setValue(const QString& field, const QVariant& value)
{
    const int col = requireField(field);
    if (current_ < 0)
        throw DbError(QStringLiteral("No current record."));
    setValueAt(current_, col, value);
}

} // namespace db
