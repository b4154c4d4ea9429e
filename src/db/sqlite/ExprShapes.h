#pragma once

#include "TsqlAst.h"

#include <vector>

// Shapes of expressions that the generator's rewrites look for.
namespace db::sqlite {

// The expression inside any parentheses.
const Expr& unparen(const Expr& e);

// A value the statement fixes before it reads a row: a parameter, a
// variable, a constant, or one of those negated or converted.
bool isFixedValue(const Expr& e);

// `e` cut at every `op` (AND, OR) outside other operators: a AND (b AND c)
// gives a, b, c.
void splitTerms(const ExprPtr& e, const QString& op, std::vector<ExprPtr>& out);

// Whether `name` (upper-cased) is one of the aggregate functions.
bool isAggregateName(const QString& name);

// Whether `e` calls an aggregate or window function (a subquery's are its
// own): its value depends on other rows, so no rewrite may split its rows.
bool hasAggregate(const Expr& e);

// ROW_NUMBER, RANK, DENSE_RANK, NTILE (`name` upper-cased).
bool isRankingName(const QString& name);
// Whether `name` is one of the window functions that read another row's
// value (LAG, LEAD, FIRST_VALUE, LAST_VALUE).
bool isOffsetWindowName(const QString& name);

// New nodes for rewritten statements.
ExprPtr parenthesized(const ExprPtr& e);
ExprPtr conjunction(const ExprPtr& a, const ExprPtr& b);
ExprPtr numberExpr(const QString& text);
ExprPtr columnExpr(const QString& qualifier, const QString& name);

} // namespace db::sqlite
