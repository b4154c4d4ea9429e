#include "DecimalDigits.h"

namespace db::sqlite::fn {

double roundDouble(double v, int scale, bool truncate)
{
    if (!std::isfinite(v) || (scale >= 0 && std::fabs(v) >= 1e15))
        return v;
    Decimal d = Decimal::fromDouble(v);
    d.round(scale, truncate);
    return d.toDouble();
}

} // namespace db::sqlite::fn
