#include "SqlServerFunctions.h"

#include "DayNumberDates.h"
#include "DecimalDigits.h"
#include "db/DbError.h"

#include <QByteArray>
#include <QDate>
#include <QTime>

namespace db::sqlite {

using namespace fn;

void registerSqlServerFunctions(sqlite3* handle, const SessionSettings* session)
{
    void* settings = const_cast<SessionSettings*>(session);
    if (!handle)
        throw DbError(QStringLiteral("No SQLite connection to register the SQL Server functions on."));
    auto check = [handle](int rc, const char* name) {
        if (rc != SQLITE_OK)
            throw DbError(QStringLiteral("Cannot register %1: %2")
                              .arg(QString::fromLatin1(name), QString::fromUtf8(sqlite3_errmsg(handle))));
    };
    check(sqlite3_create_collation_v2(handle, "MSSQL", SQLITE_UTF8, nullptr, compareMssql, nullptr),
          "the MSSQL collation");
    // None of them touches anything but its arguments, so they may also
    // appear in views, triggers and indexes.
    const std::span<const FunctionDef> families[] = {arithmeticFunctions(), likeFunctions(), textFunctions(),
                                                     numberFunctions(), dateFunctions(), convertFunctions(),
                                                     catalogFunctions(), wideDecimalFunctions()};
    for (const auto& family : families) {
        for (const FunctionDef& f : family) {
            const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
            check(sqlite3_create_function_v2(handle, f.name, f.argc, flags, settings, f.fn, nullptr, nullptr, nullptr),
                  f.name);
        }
    }
    for (const AggregateDef& f : aggregateFunctions()) {
        const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC;
        check(sqlite3_create_window_function(handle, f.name, f.argc, flags, nullptr, f.step, f.final, f.value,
                                             f.inverse, nullptr),
              f.name);
    }
}

QString collationVersion()
{
    return QString::fromStdString(fn::collationVersion());
}

QString canonicalDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return QString();
    const QDate d = dt.date();
    const QTime t = dt.time();
    char buf[24];
    formatCanonical(makeStamp(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()), buf);
    return QString::fromLatin1(buf, 23);
}

std::optional<QDateTime> parseDateTime(QStringView text, DateOrder order, bool yearFirstByOrder)
{
    const QByteArray utf8 = text.toUtf8();
    const u8* p = reinterpret_cast<const u8*>(utf8.constData());
    const auto st = parseStamp(p, p + utf8.size(), order, yearFirstByOrder ? YearFirst::ByOrder : YearFirst::AsWritten);
    if (!st)
        return std::nullopt;
    const DateTimeParts t = partsOf(*st);
    return QDateTime(QDate(t.y, t.m, t.d), QTime(t.h, t.mi, t.s, t.ms));
}

bool yearFirstFollowsDateOrder(const QString& typeName)
{
    return typeName.compare(QLatin1String("datetime"), Qt::CaseInsensitive) == 0
        || typeName.compare(QLatin1String("smalldatetime"), Qt::CaseInsensitive) == 0;
}

double roundToScale(double v, int scale)
{
    return roundDouble(v, scale, false);
}

} // namespace db::sqlite
