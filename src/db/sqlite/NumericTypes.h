#pragma once

#include "TsqlAst.h"

#include <QString>

#include <vector>

// SQL Server's result types of arithmetic on exact numbers, worked out before
// a statement runs: decimal(p, s) with the precision and scale its rules give
// (capped at 38 digits), money beside money or a whole number, whole numbers
// of the wider kind, real (four bytes) beside anything but float. The engine carries values as doubles and exact decimals
// while it calculates; these types say where a result is cut to its scale.
namespace db::sqlite {

// The type a number written in a statement has: 12 is int, 3000000000 is
// decimal(10,0), 1.50 is decimal(3,2); float for an exponent.
TypeName numberLiteralType(const QString& text);

// A whole-number constant met beside a decimal: decimal(its digits, 0).
TypeName integerConstantAsDecimal(const QString& text);

// The type of `a op b` (op one of + - * / %); an empty name when either side
// is not a known number type.
TypeName arithmeticType(const QString& op, const TypeName& a, const TypeName& b);

// SUM's type: decimal(38, s) for decimal(p, s), money for money, int for the
// smaller whole numbers; AVG's keeps at least six decimals of a decimal.
TypeName sumType(const TypeName& argument);
TypeName averageType(const TypeName& argument);

// The type of a column whose rows hold values of both types (the blocks of a
// UNION): the higher of the two in SQL Server's precedence; decimals widen to
// hold both, text to the longer and to Unicode if either is. An empty name
// when either is unknown or the two do not mix.
TypeName unionType(const TypeName& a, const TypeName& b);

// The type `a + b` has when both are text: Unicode if either is, the two
// lengths added.
TypeName concatenationType(const TypeName& a, const TypeName& b);
// CONCAT's result: its arguments' text joined, other types as the text they
// convert to; an unknown type counts as the longest text.
TypeName concatType(const std::vector<TypeName>& arguments);

bool isMoneyType(const TypeName& t);
bool isDecimalType(const TypeName& t);
// money or decimal: arithmetic on it keeps every digit of the exact result.
bool isExactDecimalType(const TypeName& t);
// A type whose values may have more digits than a double carries (money,
// decimal past 15 digits), so that they may travel as wide values, which
// SQLite orders after every number.
bool mayHoldWideValue(const TypeName& t);
// Any of the number types, exact or not.
bool isNumberType(const TypeName& t);
// A type as SQL Server names it in its messages: int, decimal, money, datetime.
QString typeNameInMessages(const TypeName& t);

} // namespace db::sqlite
