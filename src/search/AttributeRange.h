#pragma once

#include <QString>

namespace search {

// One row of an attribute-range frame: the group's code and the start and
// end attribute codes the clerk typed or chose.
struct AttributeRange {
    QString group;
    QString begin;
    QString end;
};

// The statement line for one range: the owner's id among those that have an
// attribute whose stored code (the group's code followed by the attribute's
// code) lies between group + begin and group + end, bounds included. Empty
// when both codes are blank, as such a row sets no condition.
//   attributeCondition("Id", "ProductAttribute", "Product", range)
QString attributeCondition(const QString& idColumn, const QString& table, const QString& ownerColumn,
                           const AttributeRange& range);

} // namespace search
