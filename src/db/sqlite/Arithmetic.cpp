// + - * / % and unary minus with SQL Server's typing: int stays int,
// varchar beside a number takes the number's type, a number beside a
// datetime counts days.

#include "DayNumberDates.h"
#include "DecimalDigits.h"
#include "WideDecimal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace db::sqlite::fn {
namespace {

struct Operand {
    enum Kind { Null, Int, Real, Wide, Text, Date } kind = Null;
    std::int64_t i = 0;
    double r = 0;
    Decimal wide;  // a decimal past what a double carries
    Stamp date;
    const u8* s = nullptr;
    int n = 0;

    std::string_view view() const { return {reinterpret_cast<const char*>(s), std::size_t(n)}; }
    double asReal() const { return kind == Int ? double(i) : kind == Wide ? wide.toDouble() : r; }
    bool number() const { return kind == Int || kind == Real || kind == Wide; }
    // The exact value of a number operand; false when it does not fit.
    bool scaled(ScaledValue& out) const
    {
        switch (kind) {
        case Int:
            out = ScaledValue::fromInt(i);
            return true;
        case Real:
            return ScaledValue::fromDouble(r, out);
        case Wide:
            return scaledOf(wide, out);
        default:
            return false;
        }
    }
    bool textual() const { return kind == Text || kind == Date; }
};

Operand operandOf(sqlite3_value* v)
{
    Operand o;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        o.kind = Operand::Int;
        o.i = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        o.kind = Operand::Real;
        o.r = sqlite3_value_double(v);
        break;
    case SQLITE_BLOB:
        if (wideValue(v, o.wide)) {
            o.kind = Operand::Wide;
            break;
        }
        [[fallthrough]];
    default:
        o.s = sqlite3_value_text(v);
        o.n = sqlite3_value_bytes(v);
        if (!o.s)
            o.s = reinterpret_cast<const u8*>("");
        o.kind = parseCanonical(o.s, o.n, o.date) ? Operand::Date : Operand::Text;
        break;
    }
    return o;
}

// varchar beside a number converts to that number's type (int or float), as
// SQL Server's type precedence has it.
bool coerceText(sqlite3_context* ctx, Operand& o, Operand::Kind toward)
{
    if (toward == Operand::Int) {
        std::int64_t v = 0;
        switch (parseIntText(o.s, o.s + o.n, v)) {
        case Parsed::Ok:
            o.kind = Operand::Int;
            o.i = v;
            return true;
        case Parsed::Invalid:
            fail(ctx, conversionFailed(o.view(), "int"));
            return false;
        case Parsed::Overflow:
            fail(ctx, intColumnOverflow(o.view()));
            return false;
        }
        return false;
    }
    double v = 0;
    if (!parseFloatText(o.s, o.s + o.n, v)) {
        fail(ctx, errorConverting("float"));
        return false;
    }
    o.kind = Operand::Real;
    o.r = v;
    return true;
}

enum class Op { Add, Sub, Mul, Div, Mod };

const char* opName(Op op)
{
    switch (op) {
    case Op::Add: return "add";
    case Op::Sub: return "subtract";
    case Op::Mul: return "multiply";
    case Op::Div: return "divide";
    case Op::Mod: return "modulo";
    }
    return "";
}

std::string invalidOperand(const char* type, const char* op)
{
    return std::string("Operand data type ") + type + " is invalid for " + op + " operator.";
}

void resultDatetimeMs(sqlite3_context* ctx, std::int64_t totalMs)
{
    const Stamp st = toDatetimePrecision(Stamp::fromTotalMs(totalMs));
    if (!inDatetimeRange(st)) {
        fail(ctx, overflowTo("datetime"));
        return;
    }
    resultStamp(ctx, st);
}

std::int64_t daysToMs(double days) { return std::llround(days * double(kMsPerDay)); }

bool fitsInt(std::int64_t v) { return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max(); }

// What the front end knows of an operation's result type, passed as a third
// argument: bigint (whole numbers overflow at 64 bits, not 32), or money or
// decimal (the result is exact, however many digits it takes).
enum ResultFlags { kBigint = 1, kExactDecimal = 2 };

void arithmetic(sqlite3_context* ctx, sqlite3_value** argv, Op op, int flags)
{
    const bool bigint = flags & kBigint;
    Operand a = operandOf(argv[0]);
    Operand b = operandOf(argv[1]);
    if (a.kind == Operand::Null || b.kind == Operand::Null) {
        sqlite3_result_null(ctx);
        return;
    }

    if (a.textual() && b.textual()) {
        if (op == Op::Add) {
            std::string s;
            s.reserve(std::size_t(a.n + b.n));
            s.append(a.view());
            s.append(b.view());
            resultText(ctx, s);
            return;
        }
        if (op == Op::Sub && a.kind == Operand::Date) {
            // datetime - datetime is a datetime counted from 1900-01-01; the
            // varchar side converts to datetime.
            Stamp other = b.date;
            if (b.kind == Operand::Text) {
                const auto st = parseStamp(b.s, b.s + b.n, sessionDateOrder(ctx));
                if (!st) {
                    fail(ctx, kDateFromText);
                    return;
                }
                other = *st;
            }
            resultDatetimeMs(ctx, a.date.totalMs() - other.totalMs());
            return;
        }
        fail(ctx, invalidOperand(a.kind == Operand::Date || b.kind == Operand::Date ? "datetime" : "varchar",
                                 opName(op)));
        return;
    }

    if (a.kind == Operand::Date || b.kind == Operand::Date) {
        // A number beside a datetime counts days.
        const bool dateFirst = a.kind == Operand::Date;
        const Stamp& date = dateFirst ? a.date : b.date;
        const Operand& num = dateFirst ? b : a;
        if (op == Op::Add) {
            resultDatetimeMs(ctx, date.totalMs() + daysToMs(num.asReal()));
        } else if (op == Op::Sub) {
            resultDatetimeMs(ctx, dateFirst ? date.totalMs() - daysToMs(num.asReal())
                                            : daysToMs(num.asReal()) - date.totalMs());
        } else {
            fail(ctx, invalidOperand("datetime", opName(op)));
        }
        return;
    }

    if (a.kind == Operand::Text && !coerceText(ctx, a, b.kind))
        return;
    if (b.kind == Operand::Text && !coerceText(ctx, b, a.kind))
        return;

    if (a.kind == Operand::Int && b.kind == Operand::Int) {
        std::int64_t r = 0;
        bool overflow = false;
        switch (op) {
        case Op::Add:
            overflow = __builtin_add_overflow(a.i, b.i, &r);
            break;
        case Op::Sub:
            overflow = __builtin_sub_overflow(a.i, b.i, &r);
            break;
        case Op::Mul:
            overflow = __builtin_mul_overflow(a.i, b.i, &r);
            break;
        case Op::Div:
            if (b.i == 0) {
                fail(ctx, kDivideByZero);
                return;
            }
            overflow = a.i == std::numeric_limits<std::int64_t>::min() && b.i == -1;
            if (!overflow)
                r = a.i / b.i;  // C++ truncates toward zero, as SQL Server does
            break;
        case Op::Mod:
            if (b.i == 0) {
                fail(ctx, kDivideByZero);
                return;
            }
            r = b.i == -1 ? 0 : a.i % b.i;  // the sign follows the dividend in both
            break;
        }
        // Whole decimals past 64 bits go on exactly below.
        const bool exactDecimal = flags & kExactDecimal;
        if (overflow && !exactDecimal) {
            fail(ctx, overflowTo("bigint"));
            return;
        }
        // Two values an int holds make an int in SQL Server, which overflows
        // past 32 bits; bigger operands are bigint or numeric already.
        if (!bigint && !exactDecimal && fitsInt(a.i) && fitsInt(b.i) && !fitsInt(r)) {
            fail(ctx, overflowTo("int"));
            return;
        }
        if (!overflow) {
            sqlite3_result_int64(ctx, r);
            return;
        }
    }

    const double x = a.asReal();
    const double y = b.asReal();
    if (op == Op::Add || op == Op::Sub || op == Op::Mul) {
        // Amounts add and multiply as the decimals they are; only what does
        // not fit goes through binary floating point.
        ScaledValue sx, sy, r;
        const bool exact = a.scaled(sx) && b.scaled(sy)
            && (op == Op::Mul ? multiplyScaled(sx, sy, r) : addScaled(sx, sy, op == Op::Sub, r));
        if (exact) {
            // A float result stays a double; an exact one keeps every digit.
            if ((flags & kExactDecimal) || a.kind == Operand::Wide || b.kind == Operand::Wide)
                resultScaled(ctx, r);
            else
                resultReal(ctx, r.toDouble());
            return;
        }
    }
    switch (op) {
    case Op::Add:
        resultReal(ctx, x + y);
        return;
    case Op::Sub:
        resultReal(ctx, x - y);
        return;
    case Op::Mul:
        resultReal(ctx, x * y);
        return;
    case Op::Div:
        if (y == 0) {
            fail(ctx, kDivideByZero);
            return;
        }
        resultReal(ctx, x / y);
        return;
    case Op::Mod:
        if (y == 0) {
            fail(ctx, kDivideByZero);
            return;
        }
        resultReal(ctx, std::fmod(x, y));
        return;
    }
}

int flagsOf(int argc, sqlite3_value** argv) { return argc == 3 ? sqlite3_value_int(argv[2]) : 0; }

void fnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Add, flagsOf(argc, argv)); }
void fnSub(sqlite3_context* ctx, int argc, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Sub, flagsOf(argc, argv)); }
void fnMul(sqlite3_context* ctx, int argc, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Mul, flagsOf(argc, argv)); }
void fnDiv(sqlite3_context* ctx, int argc, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Div, flagsOf(argc, argv)); }
void fnMod(sqlite3_context* ctx, int argc, sqlite3_value** argv) { arithmetic(ctx, argv, Op::Mod, flagsOf(argc, argv)); }

// Decimals and money divide exactly and are cut (not rounded) to the scale
// SQL Server gives the quotient, which the front end works out.
void fnDivide(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Operand a = operandOf(argv[0]);
    const Operand b = operandOf(argv[1]);
    if (!a.number() || !b.number()) {
        arithmetic(ctx, argv, Op::Div, 0);
        return;
    }
    if (b.asReal() == 0) {
        fail(ctx, kDivideByZero);
        return;
    }
    const int scale = std::clamp(sqlite3_value_int(argv[2]), 0, 38);
    ScaledValue x, y, q;
    if (a.scaled(x) && b.scaled(y) && divideScaled(x, y, scale, q))
        resultScaled(ctx, q);
    else
        resultReal(ctx, roundDouble(a.asReal() / b.asReal(), scale, true));
}

void fnNeg(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Operand a = operandOf(argv[0]);
    switch (a.kind) {
    case Operand::Null:
        sqlite3_result_null(ctx);
        return;
    case Operand::Int:
        if (a.i == std::numeric_limits<std::int64_t>::min())
            fail(ctx, overflowTo("bigint"));
        else
            sqlite3_result_int64(ctx, -a.i);
        return;
    case Operand::Real:
        resultReal(ctx, -a.r);
        return;
    case Operand::Wide: {
        Decimal d = a.wide;
        d.negative = !d.negative;
        resultDecimal(ctx, d);
        return;
    }
    case Operand::Text:
        fail(ctx, invalidOperand("varchar", "minus"));
        return;
    case Operand::Date:
        fail(ctx, invalidOperand("datetime", "minus"));
        return;
    }
}

} // namespace

std::span<const FunctionDef> arithmeticFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_add", 2, fnAdd, true},
    {"ms_sub", 2, fnSub, true},
    {"ms_mul", 2, fnMul, true},
    {"ms_div", 2, fnDiv, true},
    {"ms_mod", 2, fnMod, true},
    {"ms_add", 3, fnAdd, true},
    {"ms_sub", 3, fnSub, true},
    {"ms_mul", 3, fnMul, true},
    {"ms_div", 3, fnDiv, true},
    {"ms_mod", 3, fnMod, true},
    {"ms_neg", 1, fnNeg, true},
    {"ms_divide", 3, fnDivide, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
