#include "db/odbc/OdbcEngine.h"

#include "db/DbError.h"
#include "db/TsqlLexer.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstring>
#include <deque>

// Statements do not go through QSqlQuery. With FreeTDS, Qt's ODBC driver
// settles on narrow (8-bit) strings: it sends text parameters in the
// server's single-byte code page, so Thai fails on a database with a Latin
// collation, and it sizes its read buffers in characters, so Thai in a short
// nvarchar column (three bytes a character in UTF-8) comes back empty. QODBC
// still opens and closes the session; statements run on its connection
// handle through unixODBC with UTF-16 binding and buffers this engine owns,
// which also keeps procedure outputs valid until every result is read.

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC must be built with 2-byte SQLWCHAR");

namespace db::odbc {
namespace {

const QString kRegisteredName = QStringLiteral("FreeTDS");

// Where Debian's tdsodbc puts the driver, per architecture.
const char* const kDriverLibraries[] = {
#if defined(__aarch64__)
    "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so",
#endif
    "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so",
    "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so",
    "/usr/lib/odbc/libtdsodbc.so",
};

// SQL Server's "network packet size" range.
constexpr int kMinPacketSize = 512;
constexpr int kMaxPacketSize = 32767;

// How long a login may take. Without it an unreachable host holds the
// caller for the system's TCP time-out (minutes).
constexpr int kLoginTimeoutSeconds = 15;

// Room for a text output of a procedure: nvarchar(4000), the longest that
// is not a MAX type.
constexpr int kOutputTextChars = 4000;

// Read size for text and binary columns.
constexpr SQLLEN kChunkBytes = 16384;

// Asks unixODBC itself whether a driver named FreeTDS is installed, so that
// odbcinst.ini is read by its own rules (ODBCSYSINI and the like). The
// library is loaded at run time: the build need not link unixODBC.
bool freeTdsRegistered()
{
    QLibrary odbcinst(QStringLiteral("odbcinst"), 2);
    using GetInstalledDrivers = int (*)(char*, unsigned short, unsigned short*);
    auto getDrivers = reinterpret_cast<GetInstalledDrivers>(odbcinst.resolve("SQLGetInstalledDrivers"));
    if (!getDrivers)
        return false;
    char names[16384];
    std::memset(names, 0, sizeof names);
    unsigned short used = 0;
    if (!getDrivers(names, sizeof names - 2, &used))
        return false;
    // The names follow each other, each ended by a NUL; an empty one ends the list.
    for (const char* name = names; *name && name < names + sizeof names; name += std::strlen(name) + 1) {
        if (kRegisteredName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A connection-string value as FreeTDS reads it. FreeTDS (1.3, Debian 12)
// ends a braced value at the first "}" followed by ";" or the end of the
// string and keeps every other "}" as it is: braces are added, nothing is
// doubled. A value holding "};" cannot be written at all.
QString odbcValue(const char* key, const QString& value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('}'))
        && !value.startsWith(QLatin1Char('{'))
        && (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
    if (plain)
        return value;
    if (value.contains(QLatin1String("};")))
        throw DbError(QStringLiteral("The connection's %1 contains \"};\", which the FreeTDS driver cannot accept")
                          .arg(QLatin1String(key)));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

struct ServerAddress {
    QString host;
    QString instance;
    int port = 0;
};

// "host", "host,port", "host\instance", "tcp:host,port", "(local)\instance".
ServerAddress parseServerName(const QString& serverName)
{
    QString rest = serverName.trimmed();
    if (rest.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        rest = rest.mid(4).trimmed();

    ServerAddress address;
    const qsizetype comma = rest.lastIndexOf(QLatin1Char(','));
    if (comma >= 0) {
        const QString portText = rest.mid(comma + 1).trimmed();
        rest = rest.left(comma).trimmed();
        if (!portText.isEmpty()) {
            bool ok = false;
            const int port = portText.toInt(&ok);
            if (!ok || port < 1 || port > 65535 || portText.startsWith(QLatin1Char('+')))
                throw DbError(QStringLiteral("SERVER NAME \"%1\": \"%2\" is not a port number")
                                  .arg(serverName, portText));
            address.port = port;
        }
    }
    const qsizetype backslash = rest.indexOf(QLatin1Char('\\'));
    if (backslash >= 0) {
        address.instance = rest.mid(backslash + 1).trimmed();
        rest = rest.left(backslash).trimmed();
    }
    if (rest == QLatin1String(".") || rest.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        rest = QStringLiteral("localhost");
    if (rest.isEmpty())
        throw DbError(QStringLiteral("SERVER NAME \"%1\" names no host").arg(serverName));
    address.host = rest;
    return address;
}

int positiveParam(const QStringList& params, const char* name)
{
    return positiveConnectionParam(params, QLatin1String(name));
}

// ---- unixODBC ------------------------------------------------------------

// The calls made on the session QODBC opened. They are looked up in
// unixODBC's library, which the QODBC plugin has already loaded into the
// process, so the build does not link it.
struct OdbcApi {
    decltype(&::SQLAllocHandle) allocHandle = nullptr;
    decltype(&::SQLFreeHandle) freeHandle = nullptr;
    decltype(&::SQLSetStmtAttrW) setStmtAttr = nullptr;
    decltype(&::SQLBindParameter) bindParameter = nullptr;
    decltype(&::SQLExecDirectW) execDirect = nullptr;
    decltype(&::SQLNumResultCols) numResultCols = nullptr;
    decltype(&::SQLDescribeColW) describeCol = nullptr;
    decltype(&::SQLFetch) fetch = nullptr;
    decltype(&::SQLGetData) getData = nullptr;
    decltype(&::SQLMoreResults) moreResults = nullptr;
    decltype(&::SQLGetDiagRecW) getDiagRec = nullptr;
    QString missing;  // why the table is incomplete, if it is
};

const OdbcApi& odbcApi()
{
    static const OdbcApi api = [] {
        OdbcApi a;
        QLibrary library(QStringLiteral("odbc"), 2);
        if (!library.load()) {
            a.missing = QStringLiteral("unixODBC (libodbc.so.2) cannot be loaded: %1").arg(library.errorString());
            return a;
        }
        const auto resolve = [&](auto& slot, const char* symbol) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(library.resolve(symbol));
            if (!slot && a.missing.isEmpty())
                a.missing = QStringLiteral("unixODBC lacks %1").arg(QLatin1String(symbol));
        };
        resolve(a.allocHandle, "SQLAllocHandle");
        resolve(a.freeHandle, "SQLFreeHandle");
        resolve(a.setStmtAttr, "SQLSetStmtAttrW");
        resolve(a.bindParameter, "SQLBindParameter");
        resolve(a.execDirect, "SQLExecDirectW");
        resolve(a.numResultCols, "SQLNumResultCols");
        resolve(a.describeCol, "SQLDescribeColW");
        resolve(a.fetch, "SQLFetch");
        resolve(a.getData, "SQLGetData");
        resolve(a.moreResults, "SQLMoreResults");
        resolve(a.getDiagRec, "SQLGetDiagRecW");
        return a;
    }();
    return api;
}

QString fromSqlWChar(const SQLWCHAR* text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// The server's message for the last call on a handle.
QString diagnostics(SQLSMALLINT handleType, SQLHANDLE handle)
{
    const OdbcApi& api = odbcApi();
    QStringList messages;
    std::vector<SQLWCHAR> text(1024);
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc = api.getDiagRec(handleType, handle, record, state, &native, text.data(),
                                      SQLSMALLINT(text.size()), &length);
        if (SQL_SUCCEEDED(rc) && length >= SQLSMALLINT(text.size())) {
            text.resize(size_t(length) + 1);
            rc = api.getDiagRec(handleType, handle, record, state, &native, text.data(),
                                SQLSMALLINT(text.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        const QString message = serverMessage(fromSqlWChar(text.data(), qMin<qsizetype>(length, text.size() - 1)));
        if (!message.isEmpty() && !messages.contains(message))
            messages << message;
    }
    return messages.isEmpty() ? QStringLiteral("The ODBC driver reported an error without a message")
                              : messages.join(QLatin1Char('\n'));
}

// A statement handle on the session, freed (and so cancelled, if results
// are still pending) when it goes.
class Statement {
public:
    Statement(SQLHDBC connection, int timeoutSeconds)
    {
        const OdbcApi& api = odbcApi();
        if (!SQL_SUCCEEDED(api.allocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            handle_ = SQL_NULL_HSTMT;
            throw DbError(diagnostics(SQL_HANDLE_DBC, connection));
        }
        if (timeoutSeconds > 0)
            check(api.setStmtAttr(handle_, SQL_ATTR_QUERY_TIMEOUT,
                                  reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), SQL_IS_UINTEGER));
    }
    ~Statement()
    {
        if (handle_ != SQL_NULL_HSTMT)
            odbcApi().freeHandle(SQL_HANDLE_STMT, handle_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT handle() const { return handle_; }

    // Throws the server's message unless the call went well. SQL_NO_DATA
    // counts as success: a statement that touched no rows returns it.
    SQLRETURN check(SQLRETURN rc) const
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
            return rc;
        throw DbError(diagnostics(SQL_HANDLE_STMT, handle_));
    }

private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

// ---- parameters ----------------------------------------------------------

// One bound parameter and the memory the driver reads from and writes to.
struct Bound {
    SQLSMALLINT io = SQL_PARAM_INPUT;
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
    QByteArray buffer;
    SQLLEN indicator = SQL_NULL_DATA;
};

// How a Qt type travels: every parameter is one of these few ODBC types.
enum class Wire { Text, Int, BigInt, Double, Bit, DateTime, Time, Binary };

Wire wireFor(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
        return Wire::Bit;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Wire::Int;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return Wire::BigInt;
    case QMetaType::Double:
    case QMetaType::Float:
        return Wire::Double;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return Wire::DateTime;
    case QMetaType::QTime:
        return Wire::Time;
    case QMetaType::QByteArray:
        return Wire::Binary;
    default:
        return Wire::Text;
    }
}

template <typename T>
void store(Bound& b, const T& value)
{
    b.buffer.resize(sizeof(T));
    std::memcpy(b.buffer.data(), &value, sizeof(T));
}

// Longest nvarchar and varbinary values that are not MAX types. FreeTDS
// cuts longer values of the plain types down to these without a word.
constexpr qsizetype kMaxNVarChar = 4000;
constexpr qsizetype kMaxVarBinary = 8000;

void setText(Bound& b, const QString& text, qsizetype capacityChars)
{
    const qsizetype chars = qMax<qsizetype>(text.size(), capacityChars);
    b.buffer = QByteArray((chars + 1) * qsizetype(sizeof(SQLWCHAR)), '\0');
    std::memcpy(b.buffer.data(), text.utf16(), text.size() * sizeof(SQLWCHAR));
    b.indicator = text.size() * SQLLEN(sizeof(SQLWCHAR));
    b.columnSize = SQLULEN(qMax<qsizetype>(chars, 1));
    b.sqlType = chars > kMaxNVarChar ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
}

// Fills `b` with `value` sent as `wire`; a null value is sent as NULL of
// that type.
void setValue(Bound& b, Wire wire, const QVariant& value)
{
    const bool null = !value.isValid() || value.isNull();
    b.indicator = 0;
    switch (wire) {
    case Wire::Text:
        b.cType = SQL_C_WCHAR;
        setText(b, null ? QString() : value.toString(), 0);
        break;
    case Wire::Int:
        b.cType = SQL_C_SLONG;
        b.sqlType = SQL_INTEGER;
        store<SQLINTEGER>(b, null ? 0 : value.toInt());
        break;
    case Wire::BigInt:
        b.cType = SQL_C_SBIGINT;
        b.sqlType = SQL_BIGINT;
        store<SQLBIGINT>(b, null ? 0 : value.toLongLong());
        break;
    case Wire::Double:
        b.cType = SQL_C_DOUBLE;
        b.sqlType = SQL_DOUBLE;
        store<SQLDOUBLE>(b, null ? 0.0 : value.toDouble());
        break;
    case Wire::Bit:
        b.cType = SQL_C_BIT;
        b.sqlType = SQL_BIT;
        store<SQLCHAR>(b, null ? 0 : (value.toBool() ? 1 : 0));
        break;
    case Wire::DateTime: {
        // datetime: milliseconds, as SQL Server keeps them (to 1/300 s).
        b.cType = SQL_C_TYPE_TIMESTAMP;
        b.sqlType = SQL_TYPE_TIMESTAMP;
        b.columnSize = 23;
        b.digits = 3;
        QDateTime at = null ? QDateTime() : value.toDateTime();
        if (!null && value.typeId() == QMetaType::QDate)
            at = QDateTime(value.toDate(), QTime(0, 0));
        SQL_TIMESTAMP_STRUCT ts = {};
        if (at.isValid()) {
            const QDate d = at.date();
            const QTime t = at.time();
            ts = { SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day()),
                   SQLUSMALLINT(t.hour()), SQLUSMALLINT(t.minute()), SQLUSMALLINT(t.second()),
                   SQLUINTEGER(t.msec()) * 1000000u };
        } else {
            b.indicator = SQL_NULL_DATA;  // an invalid date is no date
        }
        store(b, ts);
        break;
    }
    case Wire::Time: {
        b.cType = SQL_C_TYPE_TIME;
        b.sqlType = SQL_TYPE_TIME;
        b.columnSize = 8;
        const QTime t = null ? QTime() : value.toTime();
        SQL_TIME_STRUCT ts = {};
        if (t.isValid())
            ts = { SQLUSMALLINT(t.hour()), SQLUSMALLINT(t.minute()), SQLUSMALLINT(t.second()) };
        else
            b.indicator = SQL_NULL_DATA;
        store(b, ts);
        break;
    }
    case Wire::Binary: {
        b.cType = SQL_C_BINARY;
        b.buffer = null ? QByteArray(1, '\0') : value.toByteArray();
        b.indicator = null ? 0 : b.buffer.size();
        b.columnSize = SQLULEN(qMax<qsizetype>(b.buffer.size(), 1));
        b.sqlType = b.buffer.size() > kMaxVarBinary ? SQL_LONGVARBINARY : SQL_VARBINARY;
        if (b.buffer.isEmpty())
            b.buffer = QByteArray(1, '\0');
        break;
    }
    }
    if (null)
        b.indicator = SQL_NULL_DATA;
}

// A statement parameter: its own type decides, NULL travels as an nvarchar
// NULL (SQL Server converts that to any column type but binary ones).
Bound inputParam(const QVariant& value)
{
    Bound b;
    if (!value.isValid() || value.isNull()) {
        setValue(b, Wire::Text, QVariant());
        return b;
    }
    if (wireFor(value.typeId()) == Wire::Text && !value.canConvert<QString>())
        throw DbError(QStringLiteral("A value of type %1 cannot be passed to SQL Server")
                          .arg(QLatin1String(value.typeName())));
    setValue(b, wireFor(value.typeId()), value);
    return b;
}

// A procedure parameter: the declared type decides, so that outputs have
// room of the right kind and NULL inputs are typed.
Bound procParam(const ProcParam& p)
{
    Bound b;
    const Wire wire = p.direction == ParamDirection::Result ? Wire::Int : wireFor(p.type);
    const bool sendsValue = p.direction == ParamDirection::Input || p.direction == ParamDirection::InputOutput;
    setValue(b, wire, sendsValue ? p.value : QVariant());
    switch (p.direction) {
    case ParamDirection::Input:
        b.io = SQL_PARAM_INPUT;
        break;
    case ParamDirection::InputOutput:
        b.io = SQL_PARAM_INPUT_OUTPUT;
        break;
    case ParamDirection::Output:
    case ParamDirection::Result:
        b.io = SQL_PARAM_OUTPUT;
        break;
    }
    if (b.io != SQL_PARAM_INPUT) {
        if (wire == Wire::Text) {
            const QString input = sendsValue && p.value.isValid() && !p.value.isNull() ? p.value.toString() : QString();
            const SQLLEN sent = b.indicator;
            setText(b, input, kOutputTextChars);
            if (sent == SQL_NULL_DATA)
                b.indicator = SQL_NULL_DATA;
        } else if (wire == Wire::Binary) {
            b.buffer.resize(qMax<qsizetype>(b.buffer.size(), kMaxVarBinary));
            b.columnSize = SQLULEN(b.buffer.size());
        }
    }
    return b;
}

QVariant outputValue(const Bound& b)
{
    if (b.indicator == SQL_NULL_DATA)
        return QVariant();
    const char* data = b.buffer.constData();
    switch (b.cType) {
    case SQL_C_WCHAR: {
        // The indicator is the full length even when the buffer cut it short.
        const qsizetype room = b.buffer.size() / qsizetype(sizeof(SQLWCHAR)) - 1;
        const qsizetype chars = b.indicator == SQL_NO_TOTAL ? room : qMin<qsizetype>(b.indicator / SQLLEN(sizeof(SQLWCHAR)), room);
        return fromSqlWChar(reinterpret_cast<const SQLWCHAR*>(data), chars);
    }
    case SQL_C_SLONG: {
        SQLINTEGER v;
        std::memcpy(&v, data, sizeof v);
        return QVariant(int(v));
    }
    case SQL_C_SBIGINT: {
        SQLBIGINT v;
        std::memcpy(&v, data, sizeof v);
        return QVariant(qlonglong(v));
    }
    case SQL_C_DOUBLE: {
        SQLDOUBLE v;
        std::memcpy(&v, data, sizeof v);
        return QVariant(double(v));
    }
    case SQL_C_BIT:
        return QVariant(data[0] != 0);
    case SQL_C_TYPE_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT ts;
        std::memcpy(&ts, data, sizeof ts);
        return QVariant(QDateTime(QDate(ts.year, ts.month, ts.day),
                                  QTime(ts.hour, ts.minute, ts.second, int(ts.fraction / 1000000u))));
    }
    case SQL_C_TYPE_TIME: {
        SQL_TIME_STRUCT ts;
        std::memcpy(&ts, data, sizeof ts);
        return QVariant(QTime(ts.hour, ts.minute, ts.second));
    }
    case SQL_C_BINARY:
        return QVariant(QByteArray(data, qMin<qsizetype>(b.indicator, b.buffer.size())));
    }
    return QVariant();
}

void bindAll(const Statement& statement, std::deque<Bound>& bound)
{
    SQLUSMALLINT number = 0;
    for (Bound& b : bound) {
        statement.check(odbcApi().bindParameter(statement.handle(), ++number, b.io, b.cType, b.sqlType,
                                                b.columnSize, b.digits, b.buffer.data(), b.buffer.size(),
                                                &b.indicator));
    }
}

// ---- results -------------------------------------------------------------

// Text and binary values come in pieces; the driver says how much is left.
QVariant readChunked(const Statement& s, SQLUSMALLINT column, bool text)
{
    const OdbcApi& api = odbcApi();
    const SQLSMALLINT cType = text ? SQL_C_WCHAR : SQL_C_BINARY;
    const SQLLEN terminator = text ? SQLLEN(sizeof(SQLWCHAR)) : 0;
    QByteArray chunk(kChunkBytes, '\0');
    QByteArray all;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = s.check(api.getData(s.handle(), column, cType, chunk.data(), chunk.size(), &indicator));
        if (rc == SQL_NO_DATA)
            break;
        if (indicator == SQL_NULL_DATA)
            return QVariant();
        const bool more = rc == SQL_SUCCESS_WITH_INFO
            && (indicator == SQL_NO_TOTAL || indicator > chunk.size() - terminator);
        const SQLLEN got = more ? chunk.size() - terminator : indicator;
        all.append(chunk.constData(), got);
        if (!more)
            break;
    }
    if (!text)
        return QVariant(all);
    return QVariant(QString::fromUtf16(reinterpret_cast<const char16_t*>(all.constData()),
                                       all.size() / qsizetype(sizeof(SQLWCHAR))));
}

template <typename T>
bool readFixed(const Statement& s, SQLUSMALLINT column, SQLSMALLINT cType, T* value)
{
    SQLLEN indicator = 0;
    s.check(odbcApi().getData(s.handle(), column, cType, value, sizeof(T), &indicator));
    return indicator != SQL_NULL_DATA;
}

// SQL Server's time(n) as FreeTDS describes it.
constexpr SQLSMALLINT kSqlServerTime = -154;

QVariant readValue(const Statement& s, SQLUSMALLINT column, SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER: {
        SQLINTEGER v = 0;
        return readFixed(s, column, SQL_C_SLONG, &v) ? QVariant(int(v)) : QVariant();
    }
    case SQL_BIGINT: {
        SQLBIGINT v = 0;
        return readFixed(s, column, SQL_C_SBIGINT, &v) ? QVariant(qlonglong(v)) : QVariant();
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        SQLDOUBLE v = 0;
        return readFixed(s, column, SQL_C_DOUBLE, &v) ? QVariant(double(v)) : QVariant();
    }
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT ts = {};
        if (!readFixed(s, column, SQL_C_TYPE_TIMESTAMP, &ts))
            return QVariant();
        return QVariant(QDateTime(QDate(ts.year, ts.month, ts.day),
                                  QTime(ts.hour, ts.minute, ts.second, int(ts.fraction / 1000000u))));
    }
    case SQL_TYPE_DATE:
    case SQL_DATE: {
        SQL_DATE_STRUCT d = {};
        return readFixed(s, column, SQL_C_TYPE_DATE, &d) ? QVariant(QDate(d.year, d.month, d.day)) : QVariant();
    }
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSqlServerTime: {
        SQL_TIME_STRUCT t = {};
        return readFixed(s, column, SQL_C_TYPE_TIME, &t) ? QVariant(QTime(t.hour, t.minute, t.second)) : QVariant();
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return readChunked(s, column, false);
    default:
        // Every kind of text, and whatever else the server has (GUIDs,
        // xml, datetimeoffset) as the driver spells it.
        return readChunked(s, column, true);
    }
}

ResultSet readRows(const Statement& s, SQLSMALLINT columnCount)
{
    const OdbcApi& api = odbcApi();
    ResultSet rows;
    rows.returnsRows = true;
    std::vector<SQLSMALLINT> types(size_t(columnCount), 0);
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columnCount); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        s.check(api.describeCol(s.handle(), c, name, SQLSMALLINT(std::size(name)), &nameLength,
                                &types[c - 1], &size, &digits, &nullable));
        rows.columns << fromSqlWChar(name, qMin<qsizetype>(nameLength, qsizetype(std::size(name)) - 1));
    }
    while (s.check(api.fetch(s.handle())) != SQL_NO_DATA) {
        QVector<QVariant> row(columnCount);
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columnCount); ++c)
            row[c - 1] = readValue(s, c, types[c - 1]);
        rows.rows.push_back(std::move(row));
    }
    return rows;
}

// Reads every result of the statement, so that an error in a later
// statement of the batch is not lost; keeps the last row set.
ResultSet readResults(const Statement& s)
{
    const OdbcApi& api = odbcApi();
    ResultSet result;
    do {
        SQLSMALLINT columns = 0;
        s.check(api.numResultCols(s.handle(), &columns));
        if (columns > 0)
            result = readRows(s, columns);
    } while (s.check(api.moreResults(s.handle())) != SQL_NO_DATA);
    return result;
}

void execDirect(const Statement& s, const QString& sql)
{
    s.check(odbcApi().execDirect(s.handle(), const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql.utf16())),
                                 SQLINTEGER(sql.size())));
}

QAtomicInteger<quint64> connectionCounter;

} // namespace

QString freeTdsDriver()
{
    static const QString driver = [] {
        if (freeTdsRegistered())
            return QLatin1Char('{') + kRegisteredName + QLatin1Char('}');
        for (const char* path : kDriverLibraries) {
            if (QFileInfo::exists(QLatin1String(path)))
                return QString::fromLatin1(path);
        }
        // Not installed: the driver manager's "can't open lib" names the path.
        return QString::fromLatin1(kDriverLibraries[0]);
    }();
    return driver;
}

QString odbcConnectionString(const QStringList& params)
{
    return odbcConnectionString(params, freeTdsDriver());
}

QString odbcConnectionString(const QStringList& params, const QString& driver)
{
    const QString serverName = connectionParam(params, QStringLiteral("SERVER NAME"));
    if (serverName.trimmed().isEmpty())
        throw DbError(QStringLiteral("No SQL Server is named: the connection's SERVER NAME is empty"));
    const ServerAddress server = parseServerName(serverName);

    QStringList parts;
    const auto add = [&parts](const char* key, const QString& value) {
        parts << QLatin1String(key) + QLatin1Char('=') + odbcValue(key, value);
    };
    // A registered name comes braced already; a library path needs none.
    parts << QStringLiteral("DRIVER=") + (driver.startsWith(QLatin1Char('{')) ? driver : odbcValue("DRIVER", driver));

    // With a port the instance name is not needed (SQL Server's own clients
    // ignore it too); without one FreeTDS asks the server's browser service
    // for the instance's port.
    if (server.port > 0) {
        add("Server", server.host);
        add("Port", QString::number(server.port));
    } else if (!server.instance.isEmpty()) {
        add("Server", server.host + QLatin1Char('\\') + server.instance);
    } else {
        add("Server", server.host);
        add("Port", QStringLiteral("1433"));
    }

    const QString database = connectionParam(params, QStringLiteral("DATABASE NAME")).trimmed();
    if (!database.isEmpty())
        add("Database", database);
    // Without a user FreeTDS would try a Kerberos login; with one, an absent
    // password is an empty one.
    const QString user = connectionParam(params, QStringLiteral("USER NAME")).trimmed();
    if (!user.isEmpty()) {
        add("UID", user);
        add("PWD", connectionParam(params, QStringLiteral("PASSWORD")));
    }
    add("TDS_Version", QStringLiteral("7.4"));
    // Governs the narrow calls (QODBC's own at log-in) and the conversion
    // of varchar columns in Thai code pages.
    add("ClientCharset", QStringLiteral("UTF-8"));
    add("APP", QStringLiteral("priceinquiry"));

    if (const int packetSize = positiveParam(params, "TDS PACKET SIZE"))
        add("PacketSize", QString::number(qBound(kMinPacketSize, packetSize, kMaxPacketSize)));
    // FreeTDS (1.3 and later) takes a statement time-out from the connection
    // string; it covers the statements QODBC runs while logging in, the
    // engine sets it again on each of its own.
    if (const int seconds = positiveParam(params, "MAX QUERY TIME"))
        add("Timeout", QString::number(seconds));

    return parts.join(QLatin1Char(';'));
}

QString serverMessage(const QString& odbcText)
{
    QString text = odbcText.trimmed();
    // Qt 6.5 and later append ", " and the records' SQLSTATEs.
    static const QRegularExpression trailingStates(QStringLiteral(R"(,\s*[0-9A-Z]{5}(?:;[0-9A-Z]{5})*$)"));
    text.remove(trailingStates);

    // Each record opens with two or more bracketed names:
    // "[FreeTDS][SQL Server]", "[unixODBC][Driver Manager]".
    static const QRegularExpression prefix(QStringLiteral(R"((?:^|(?<=\s))(?:\[[^\[\]\r\n]{1,60}\]){2,})"));
    QStringList records;
    qsizetype from = 0;
    auto it = prefix.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        records << text.mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
    }
    records << text.mid(from);

    QStringList messages;
    for (const QString& record : std::as_const(records)) {
        const QString message = record.trimmed();
        if (!message.isEmpty() && !messages.contains(message))
            messages << message;
    }
    return messages.join(QLatin1Char('\n'));
}

OdbcEngine::OdbcEngine(const QStringList& connectionParams)
    : connectionName_(QStringLiteral("qel-odbc-%1").arg(++connectionCounter))
    , databaseName_(connectionParam(connectionParams, QStringLiteral("DATABASE NAME")).trimmed())
    , queryTimeout_(positiveParam(connectionParams, "MAX QUERY TIME"))
{
    const QString connectionString = odbcConnectionString(connectionParams);
    // Qt reads a database name containing ".dsn" as a file DSN.
    if (connectionString.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        throw DbError(QStringLiteral("The connection parameters cannot contain \".dsn\""));
    if (!odbcApi().missing.isEmpty())
        throw DbError(odbcApi().missing);
    const QString serverName = connectionParam(connectionParams, QStringLiteral("SERVER NAME")).trimmed();

    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
        if (!db.isValid()) {
            failure = QStringLiteral("Qt's ODBC driver (QODBC) is not installed");
        } else {
            // The login travels in the connection string; QODBC connects
            // with SQL_DRIVER_NOPROMPT, so no dialog can appear.
            db.setDatabaseName(connectionString);
            db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(kLoginTimeoutSeconds));
            if (!db.open()) {
                const QSqlError error = db.lastError();
                failure = serverMessage(error.databaseText());
                if (failure.isEmpty())
                    failure = error.text();
            } else {
                const QVariant handle = db.driver()->handle();
                if (handle.metaType() == QMetaType::fromType<void*>())
                    connection_ = *static_cast<void* const*>(handle.constData());
                if (!connection_) {
                    db.close();
                    failure = QStringLiteral("Qt's ODBC driver gave no connection handle");
                }
            }
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError(QStringLiteral("Cannot connect to SQL Server \"%1\": %2").arg(serverName, failure));
    }
    // Dates the program writes into statements are month first
    // ("mm/dd/yyyy"); the login's language would otherwise decide, and a
    // British or Thai login reads 03/04 as the third of April.
    try {
        execute(QStringLiteral("Set DateFormat mdy"), ParamValues());
    } catch (...) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName_);
        throw;
    }
}

OdbcEngine::~OdbcEngine()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

ResultSet OdbcEngine::execute(const QString& sql, const ParamValues& params)
{
    QStringList names;
    const QString statement = namedToPositional(sql, &names);

    std::deque<Bound> bound;
    // A parameter never given a value is NULL, on both engines.
    for (const QString& name : std::as_const(names))
        bound.push_back(inputParam(params.value(name)));

    Statement s(connection_, queryTimeout_);
    bindAll(s, bound);
    // Without parameters FreeTDS sends a plain batch, so temporary tables it
    // creates outlive it; with parameters it runs in a scope of its own
    // (sp_executesql), as on any SQL Server client.
    execDirect(s, statement);
    return readResults(s);
}

void OdbcEngine::callProcedure(const QString& name, std::vector<ProcParam>& params)
{
    // The return value is the "? =" marker; the others follow in the order
    // they are declared.
    std::vector<size_t> order;
    for (size_t i = 0; i < params.size(); ++i) {
        if (params[i].direction == ParamDirection::Result) {
            if (!order.empty() && params[order.front()].direction == ParamDirection::Result)
                throw DbError(QStringLiteral("Procedure %1 has two return values").arg(name));
            order.insert(order.begin(), i);
        } else {
            order.push_back(i);
        }
    }
    const bool hasResult = !order.empty() && params[order.front()].direction == ParamDirection::Result;

    QStringList markers;
    std::deque<Bound> bound;
    for (size_t i : order) {
        bound.push_back(procParam(params[i]));
        if (params[i].direction != ParamDirection::Result)
            markers << QStringLiteral("?");
    }
    QString call = QStringLiteral("{") + (hasResult ? QStringLiteral("? = ") : QString()) + QStringLiteral("call ")
        + name.trimmed();
    if (!markers.isEmpty())
        call += QLatin1Char('(') + markers.join(QLatin1String(", ")) + QLatin1Char(')');
    call += QLatin1Char('}');

    Statement s(connection_, queryTimeout_);
    bindAll(s, bound);
    execDirect(s, call);
    // SQL Server sends outputs and the return value after the procedure's
    // own results: they are in the buffers once every result is read.
    readResults(s);

    for (size_t k = 0; k < order.size(); ++k) {
        ProcParam& p = params[order[k]];
        if (p.direction != ParamDirection::Input)
            p.value = outputValue(bound[k]);
    }
}

} // namespace db::odbc
