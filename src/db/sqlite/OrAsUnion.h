#pragma once

#include "TsqlAst.h"

namespace db::sqlite {

class SchemaInfo;

// SQLite reads "A.x = :a Or B.y = :b" across two tables of a join as one
// test on every row the join makes: it scans, however well both columns are
// indexed. Split into one SELECT per equality, joined by UNION ALL, each
// branch is an index look-up; every branch after the first leaves out what
// an earlier one returned (its equality true, so a NULL comparison does not
// count as returned), so the rows are exactly those of the OR.
//
// A SELECT block is split only where that cannot change its result: no
// DISTINCT, TOP, GROUP BY, HAVING or aggregate, inner joins only, every
// equality a column that leads an index against a value fixed for the
// statement, the columns from at least two tables (one table's OR SQLite
// splits by itself), and a block after the first only behind UNION ALL. An
// ORDER BY stays when it names result columns (by position or name), since
// the statement becomes a compound.
//
// Returns the rewritten statement, or nullptr when nothing was split.
SelectPtr splitOrIntoUnion(const Select& select, const SchemaInfo& schema);

} // namespace db::sqlite
