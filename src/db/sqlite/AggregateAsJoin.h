#pragma once

#include "TsqlAst.h"

namespace db::sqlite {

class SchemaInfo;

// SQLite runs a correlated subquery in a select list once per row of its
// block. The inquiry window's stock statement lists every warehouse with
//   (select sum(quantity) from productonhand
//    where warehouse = w.id and product = :id and balanceyear = :year)
// which is one seek into the stock index per warehouse: 500 of them. The
// same values come from one range of that index, read once and grouped:
//   ... Left Join (Select warehouse K1, Sum(quantity) V From productonhand
//       Where product = :id And balanceyear = :year Group By warehouse) D
//   On D.K1 = w.id
// and the item becomes D.V (IsNull(D.V, 0) for a count). An outer row with
// no rows in the group gets what the aggregate of no rows is: NULL, or 0
// for a count.
//
// A subquery is moved only where that cannot change a value and reads less:
// its block has no GROUP BY, HAVING or aggregate of its own; the subquery
// is one aggregate over one table, with no TOP, DISTINCT, GROUP BY or ORDER
// BY; its WHERE is terms joined by AND, each either an equality between one
// of its table's whole-number columns and a whole-number column of a table
// of the block (the correlation), or a term that names nothing outside the
// subquery; and one of those other terms fixes a column that leads an
// index, so that the grouped table is one index range rather than the whole
// table. A subquery that is a whole item without an alias keeps its place:
// the item would gain a name.
//
// Returns the rewritten block, or nullptr when nothing was moved. `joined`
// numbers the derived tables (QEL_AGG1, QEL_AGG2, ...) across a statement.
std::shared_ptr<SelectCore> joinCorrelatedAggregates(const SelectCore& core, const SchemaInfo& schema, int* joined);

} // namespace db::sqlite
