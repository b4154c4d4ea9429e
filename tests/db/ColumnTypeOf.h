#pragma once

#include "support/EmbeddedDb.h"

// The type the engine gives `expression`, read back as SQL Server's catalog
// writes it ("varchar(5)", "decimal(11,1)") from a table that SELECT ... INTO
// makes of it.
inline QString columnTypeOf(EmbeddedDb& db, const QString& expression, const QString& from = QString())
{
    db.exec(QStringLiteral("SELECT %1 AS V INTO #Typed %2").arg(expression, from));
    const QString type = db.scalar(
        "SELECT DATA_TYPE + COALESCE('(' + CONVERT(varchar(10), CHARACTER_MAXIMUM_LENGTH) + ')', '')"
        " + CASE WHEN DATA_TYPE IN ('decimal', 'numeric') THEN '(' + CONVERT(varchar(10), NUMERIC_PRECISION) + ','"
        " + CONVERT(varchar(10), NUMERIC_SCALE) + ')' ELSE '' END"
        " FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = '#Typed'");
    db.exec("DROP TABLE #Typed");
    return type;
}
