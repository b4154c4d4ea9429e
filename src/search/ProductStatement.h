#pragma once

#include "AttributeRange.h"

#include <QStringList>
#include <QVector>

namespace search {

// What the product search looks for; productStatement() turns it into the
// statement's lines, so that they can be run without a window.
struct ProductCriteria {
    QString code;           // a code prefix, untrimmed
    QString name;           // part of the Thai name, untrimmed
    bool nameContains = true;  // false: the name begins with it
    QVector<AttributeRange> ranges;
    bool sortByName = false;
};

// Unblocked products not of type "P" matching the criteria, by code or name.
QStringList productStatement(const ProductCriteria& criteria);

} // namespace search
