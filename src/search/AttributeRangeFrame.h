#pragma once

#include "AttributeRange.h"

#include <QFrame>
#include <QStringList>
#include <QVector>

namespace db {
class Query;
}
namespace widgets {
class DbGrid;
}

namespace search {

// What the customer- and product-attribute frames share: a grid with one
// row per attribute group (its description, read-only, then a start and an
// end code). The rows are the groups' own: the grid never adds or removes
// one and nothing is written back. Codes are upper-case letters and digits,
// no longer than the attribute-code column; whatever else is typed is
// dropped. Enter goes from the start code to the end code and on to the
// next row's start code (staying on the last row); Tab leaves the grid;
// entering the grid lands on a code column. F5 opens the frame's code look-up for the current row's
// group, and the choice lands in the selected code column.
//
// A frame states its statement (which must give "Id", "Code",
// "Description", "BeginAttrCode" and "EndAttrCode") and its look-up.
class AttributeRangeFrame : public QFrame {
    Q_OBJECT
public:
    widgets::DbGrid* grid() const { return grid_; }

    // Every group again, each range empty; the grid is usable only with rows.
    void reopen();
    // The rows from the first, read without moving the grid.
    QVector<AttributeRange> ranges() const;
    // The statement lines of the filled rows: "And (<idColumn> In (Select
    // <ownerColumn> From <table> ...)))", one a row. A row with a start
    // code alone runs to the end of its group; an end code alone from its
    // start.
    QStringList conditions(const QString& idColumn, const QString& table, const QString& ownerColumn) const;
    // The column titles (the description title differs per frame, and a
    // dialog may show them in English).
    void setTitles(const QString& group, const QString& begin, const QString& end);
    // The ellipsis button, F5: the look-up for the current row's group.
    void chooseCode();

protected:
    AttributeRangeFrame(const QString& gridName, QWidget* parent);
    // The frame's query of groups (a member of the frame, so set once it exists).
    void setGroups(db::Query* groups);

    // Shows the look-up for `groupId`; true with `code` set on OK.
    virtual bool lookUpCode(int groupId, QString& code) = 0;

private:
    void keepCodeShape(const QString& field, int row);
    QString codeField() const;

    widgets::DbGrid* grid_ = nullptr;
    db::Query* groups_ = nullptr;
};

} // namespace search
