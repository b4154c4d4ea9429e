#pragma once

// Money and decimal values a double cannot carry exactly.
//
// A number of up to 15 significant digits travels and is stored as SQLite's
// REAL (or INTEGER), exactly as before: the nearest double spells those
// digits back. A money or decimal value with more digits (money reaches 19,
// decimal 38) and is not a whole number that 64 bits hold (those are
// INTEGERs) travels and is stored as a "wide" value: a BLOB that starts
// with a two-byte mark and spells the decimal exactly. The same encoding
// serves as an ordering key: two encoded numbers compare with memcmp as the
// numbers do, so a comparison or ORDER BY that may meet wide values compares
// ms_key() of both sides.

#include "DecimalDigits.h"

#include <string>

namespace db::sqlite::fn {

// The most significant digits a REAL carries here.
inline constexpr int kDoubleDigits = 15;

// The number as an ordering key (wide encoding), whatever its digit count.
std::string encodeNumberKey(const Decimal& d);
// Reads a key back; false when the bytes are not one.
bool decodeNumberKey(const void* bytes, int size, Decimal& out);

// A wide value handed to a function: a BLOB with the mark.
bool wideValue(sqlite3_value* v, Decimal& out);
bool isWideValue(sqlite3_value* v);

// True when the value's digits fit a double exactly (and so travel as REAL).
bool carriedByDouble(const Decimal& d);

// The decimal as a function's result: REAL when a double carries it, an
// INTEGER when it is whole and 64 bits hold it (as a written number of its
// digits is), the wide encoding otherwise.
void resultDecimal(sqlite3_context* ctx, const Decimal& d);
void resultScaled(sqlite3_context* ctx, const ScaledValue& v);

// Between the two exact forms.
Decimal decimalOf(const ScaledValue& v);
// False when the value needs more than ScaledValue::kMaxScale decimals or
// does not fit 128 bits.
bool scaledOf(const Decimal& d, ScaledValue& out);

// The value of a number argument, INTEGER, REAL or wide, as an exact
// decimal; false for NULL, text and other BLOBs.
bool numberArgument(sqlite3_value* v, Decimal& out);

// A value as a money or decimal(precision, scale) column or variable keeps
// it: rounded to four decimals or to the scale; false when the type cannot
// hold it.
bool fitMoney(Decimal& d, bool small);
bool fitDecimal(Decimal& d, int precision, int scale);

// The plain text of a decimal with at least `minScale` decimals and no
// trailing zeros beyond them ("-12345678901234567.89").
std::string decimalText(const Decimal& d, int minScale);

} // namespace db::sqlite::fn
