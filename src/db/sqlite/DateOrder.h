#pragma once

#include <QString>

#include <optional>

namespace db::sqlite {

// The order SET DATEFORMAT gives the parts of a date written in numbers
// ('25/08/2017'); the session starts with mdy.
enum class DateOrder { Mdy, Dmy, Ymd, Ydm, Myd, Dym };

// The order a SET DATEFORMAT word names (any case), or nullopt.
std::optional<DateOrder> dateOrderNamed(const QString& word);

// Whether the day comes before the month: the two parts beside the year are
// read in this sense wherever the year stands.
constexpr bool dayBeforeMonth(DateOrder o)
{
    return o == DateOrder::Dmy || o == DateOrder::Ydm || o == DateOrder::Dym;
}

// Where the year stands among the three numbers (0, 1 or 2) when none of
// them has four digits to show it.
constexpr int yearPosition(DateOrder o)
{
    switch (o) {
    case DateOrder::Ymd: case DateOrder::Ydm: return 0;
    case DateOrder::Myd: case DateOrder::Dym: return 1;
    default: return 2;
    }
}

} // namespace db::sqlite
