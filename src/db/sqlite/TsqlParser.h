#pragma once

#include "TsqlAst.h"

#include <QString>

namespace db::sqlite {

// Parses a T-SQL batch into statements. Statements may be separated by line
// breaks, blanks or ";" as SQL Server allows. Throws DbError with SQL Server's
// "Incorrect syntax near" wording and the text near the fault.
Batch parseBatch(const QString& sql);

// SQL Server's answer to text nested deeper than it can read.
QString nestedTooDeeplyMessage();

// Parses a data type written as in SQL Server ("varchar(30)", "decimal(18, 2)").
TypeName parseTypeName(const QString& text);

} // namespace db::sqlite
