#pragma once

#include <QString>

namespace search {

// Attribute codes are upper-case letters and digits, at most this long.
constexpr int kAttributeCodeWidth = 10;

// One row of an attribute-range frame: the group's code and the start and
// end attribute codes the clerk typed or chose.
struct AttributeRange {
    QString group;
    QString begin;
    QString end;
};

// The statement line for one range: the owner's id among those that have an
// attribute whose stored code (the group's code followed by the attribute's
// code) lies between group + begin and group + end, bounds included. A
// begin alone runs to the group's last code, an end alone from its first.
// Empty when both codes are blank, as such a row sets no condition.
//   attributeCondition("Id", "ProductAttribute", "Product", range)
QString attributeCondition(const QString& idColumn, const QString& table, const QString& ownerColumn,
                           const AttributeRange& range);

} // namespace search
