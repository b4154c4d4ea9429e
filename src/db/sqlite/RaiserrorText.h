#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

namespace db::sqlite {

// The message RAISERROR raises: `format` with its printf-like
// conversions (%s, %d, %i, %u, %o, %x, %X, with flags "-+ #0", a
// width and a precision, "*" taking either from the arguments) replaced by
// `args` in order, "%%" a percent sign. A NULL argument writes "(null)", as
// SQL Server writes it; a conversion with no argument left writes "(null)" too.
QString raiserrorText(const QString& format, const QVector<QVariant>& args);

} // namespace db::sqlite
