#pragma once

#include "DateOrder.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

struct sqlite3;

namespace db::sqlite::fn {
struct SessionSettings;
}

namespace db::sqlite {

// Registers on one SQLite connection the SQL Server built-ins that the T-SQL
// front end translates to: the "MSSQL" collation (a Thai site's: Thai
// dictionary order, case-insensitive, accent-sensitive, trailing blanks
// ignored) and the ms_* functions (operators with SQL Server's typing,
// LIKE, text, conversion, date and number functions). Failures report SQL
// Server's own message text, because the error handler matches on it.
// Throws DbError when SQLite refuses a registration.
// `session` (SET DATEFORMAT and the like) must outlive the connection; none
// reads dates month first.
void registerSqlServerFunctions(sqlite3* handle, const fn::SessionSettings* session = nullptr);

// Names the order the MSSQL collation gives text, including the version of
// the collation library's data: indexes built under another are rebuilt.
QString collationVersion();

// 'YYYY-MM-DD HH:MM:SS.mmm': the one form in which dates are stored and bound.
QString canonicalDateTime(const QDateTime& dt);

// Reads a date/time as SQL Server accepts it in literals: the canonical form,
// 'yyyy-mm-dd[ hh:mm[:ss[.mmm]]]', 'yyyy-mm-ddThh:mm:ss[.mmm]',
// 'mm/dd/yyyy[ hh:mm[:ss]]', 'yyyymmdd[ hh:mm[:ss]]' (and the 'Jan  5 2024
// 12:00AM' form SQL Server writes itself). nullopt when it is none of them or
// names no real day or time.
// `order` is the session's SET DATEFORMAT; with `yearFirstByOrder` it also
// reads 'yyyy-dd-mm' where the order has the day before the month, as
// datetime reads text.
std::optional<QDateTime> parseDateTime(QStringView text, DateOrder order = DateOrder::Mdy,
                                       bool yearFirstByOrder = false);

// datetime and smalldatetime read 'yyyy-mm-dd' in the session's order; date
// and datetime2 read it as written.
bool yearFirstFollowsDateOrder(const QString& typeName);

// Rounds half away from zero on the decimal digits, as a decimal(p, scale)
// or money variable keeps a value.
double roundToScale(double v, int scale);

} // namespace db::sqlite
