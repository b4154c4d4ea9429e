#pragma once

#include <QString>
#include <QStringList>

namespace search {

// What a click on a result title does to a statement: the line holding
// "ORDER BY " (any case) is cut there and ends in "Order By " and the
// clicked column's ordinal instead. The first click on a column sorts
// ascending, the next click on that same column descending, the next
// ascending again; a click on another column starts ascending.
//
// No widgets here: a window keeps one state for the run (shared by every
// window that shares it), so the order survives closing and reopening.
class TitleSort {
public:
    // Titles of these upper-case names never sort (a remark or memo column).
    explicit TitleSort(QStringList ignoredNames = {QStringLiteral("REMARK"), QStringLiteral("MEMO")});

    // A click on the title of `field`, the `ordinal`-th column of the result
    // (counted from 1). False, and nothing changes, for a title that does
    // not sort: an ignored name or a large-object column. Otherwise every
    // "ORDER BY " line of `lines` is rewritten (a statement without one is
    // left as it is) and the caller searches again.
    bool click(QStringList& lines, const QString& field, int ordinal, bool largeObject = false);

    // Upper-case name of the column clicked last; empty at start.
    QString LastSortField;
    // Whether the next click on LastSortField sorts descending.
    bool NextSortDesc = false;

private:
    QStringList ignored_;
};

} // namespace search
