#pragma once

#include "db/Query.h"

#include <QVariant>

#include <initializer_list>
#include <utility>

namespace product {

// The module's one way of running a statement: close it, bind these
// parameters by name (others keep their values), open it; true when it found
// a row, on which it stays.
inline bool openFirst(db::Query& query, std::initializer_list<std::pair<const char*, QVariant>> params)
{
    query.close();
    for (const auto& [name, value] : params)
        query.setParam(QLatin1String(name), value);
    query.open();
    return !query.isEmpty();
}

} // namespace product
