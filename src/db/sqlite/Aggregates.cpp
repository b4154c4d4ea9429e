// SUM and AVG as SQL Server gives them: whole numbers stay whole, amounts add
// up exactly as decimals (a thousand prices sum to the cent, not to a binary
// neighbour of it), and AVG keeps the scale of its column's type.

#include "DecimalDigits.h"
#include "WideDecimal.h"

#include <cmath>
#include <limits>
#include <memory>
#include <new>

namespace db::sqlite::fn {
namespace {

struct Total {
    bool any = false;        // a value that was not NULL
    bool fractional = false; // a float was among them
    bool inexact = false;    // the exact sum gave up; `approx` holds it
    std::int64_t whole = 0;  // while only integers came
    bool wholeOverflow = false;
    bool exactResult = false; // money or decimal, or a wide term came: every digit is kept
    ScaledValue exact;
    double approx = 0;
    double compensation = 0;
    std::int64_t count = 0;

    void addApprox(double v)
    {
        // Kahan-Babuska: the fallback still loses as little as it can.
        const double t = approx + v;
        compensation += std::fabs(approx) >= std::fabs(v) ? (approx - t) + v : (v - t) + approx;
        approx = t;
    }

    // `leaving`: a row leaves a window's frame and is taken off again.
    void add(sqlite3_value* v, bool leaving = false)
    {
        Decimal wide;
        if (wideValue(v, wide)) {
            addWide(wide, leaving);
            return;
        }
        const int type = sqlite3_value_numeric_type(v);
        if (type == SQLITE_NULL)
            return;
        count += leaving ? -1 : 1;
        any = count > 0;
        if (type == SQLITE_INTEGER && !fractional && !wholeOverflow) {
            const std::int64_t i = leaving ? -sqlite3_value_int64(v) : sqlite3_value_int64(v);
            if (!__builtin_add_overflow(whole, i, &whole))
                return;
            wholeOverflow = true;
            fractional = true;
            exact = ScaledValue::fromInt(whole - i);
            addApprox(double(whole - i));
        } else if (!fractional) {
            fractional = true;
            exact = ScaledValue::fromInt(whole);
            addApprox(double(whole));
        }
        const double d = sqlite3_value_double(v);
        addApprox(leaving ? -d : d);
        if (inexact)
            return;
        ScaledValue term;
        if (type == SQLITE_INTEGER)
            term = ScaledValue::fromInt(sqlite3_value_int64(v));
        if ((type == SQLITE_INTEGER || ScaledValue::fromDouble(d, term)) && addScaled(exact, term, leaving, exact))
            return;
        inexact = true;
    }

    void addWide(const Decimal& d, bool leaving)
    {
        count += leaving ? -1 : 1;
        any = count > 0;
        if (!fractional) {
            fractional = true;
            exact = ScaledValue::fromInt(whole);
            addApprox(double(whole));
        }
        exactResult = true;
        const double x = d.toDouble();
        addApprox(leaving ? -x : x);
        ScaledValue term;
        if (!inexact && scaledOf(d, term) && addScaled(exact, term, leaving, exact))
            return;
        inexact = true;
    }

    double value() const { return inexact ? approx + compensation : exact.toDouble(); }
};

// SQLite's aggregate memory is aligned for 8 bytes only and the exact total
// needs 16, so the context holds a pointer to a total of our own; the final
// call, which SQLite always makes, deletes it.
void step(sqlite3_context* ctx, sqlite3_value** argv, bool exactResult)
{
    auto** slot = static_cast<Total**>(sqlite3_aggregate_context(ctx, int(sizeof(Total*))));
    if (slot && !*slot) {
        *slot = new (std::nothrow) Total();
        if (*slot)
            (*slot)->exactResult = exactResult;
    }
    if (!slot || !*slot) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    (*slot)->add(argv[0]);
}

void totalStep(sqlite3_context* ctx, int, sqlite3_value** argv) { step(ctx, argv, false); }
// Money or decimal arguments: the total is exact however many digits it takes.
void exactTotalStep(sqlite3_context* ctx, int, sqlite3_value** argv) { step(ctx, argv, true); }

// A row leaving the frame of a window function.
void totalInverse(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto** slot = static_cast<Total**>(sqlite3_aggregate_context(ctx, int(sizeof(Total*))));
    if (slot && *slot)
        (*slot)->add(argv[0], true);
}

// The total so far, left in the context: a window function asks for it once
// a row.
const Total* currentTotal(sqlite3_context* ctx)
{
    auto** slot = static_cast<Total**>(sqlite3_aggregate_context(ctx, 0));
    return slot ? *slot : nullptr;
}

// Takes the total out of the context for the final result.
std::unique_ptr<Total> finalTotal(sqlite3_context* ctx)
{
    auto** slot = static_cast<Total**>(sqlite3_aggregate_context(ctx, 0));
    return std::unique_ptr<Total>(slot ? *slot : nullptr);
}

void resultSum(sqlite3_context* ctx, const Total* t)
{
    if (!t || !t->any) {
        sqlite3_result_null(ctx);
        return;
    }
    if (!t->fractional)
        sqlite3_result_int64(ctx, t->whole);
    else if (t->exactResult && !t->inexact)
        resultScaled(ctx, t->exact);
    else
        resultReal(ctx, t->value());
}

// The mean of the exact total; the front end gives it the scale of AVG of
// the argument's type.
void resultAverage(sqlite3_context* ctx, const Total* t)
{
    if (!t || !t->any) {
        sqlite3_result_null(ctx);
        return;
    }
    if (t->exactResult && !t->inexact) {
        // Whole numbers alone are still in `whole`.
        const ScaledValue total = t->fractional ? t->exact : ScaledValue::fromInt(t->whole);
        ScaledValue mean;
        if (divideScaled(total, ScaledValue::fromInt(t->count), std::max(total.scale, 6), mean)) {
            resultScaled(ctx, mean);
            return;
        }
    }
    const double total = t->fractional ? t->value() : double(t->whole);
    resultReal(ctx, total / double(t->count));
}

void sumValue(sqlite3_context* ctx) { resultSum(ctx, currentTotal(ctx)); }
void sumFinal(sqlite3_context* ctx) { resultSum(ctx, finalTotal(ctx).get()); }
void avgValue(sqlite3_context* ctx) { resultAverage(ctx, currentTotal(ctx)); }
void avgFinal(sqlite3_context* ctx) { resultAverage(ctx, finalTotal(ctx).get()); }

} // namespace

std::span<const AggregateDef> aggregateFunctions()
{
    static const AggregateDef rows[] = {
        {"ms_sum", 1, totalStep, sumFinal, sumValue, totalInverse},
        {"ms_avg", 1, totalStep, avgFinal, avgValue, totalInverse},
        {"ms_sum_exact", 1, exactTotalStep, sumFinal, sumValue, totalInverse},
        {"ms_avg_exact", 1, exactTotalStep, avgFinal, avgValue, totalInverse},
    };
    return rows;
}

} // namespace db::sqlite::fn
