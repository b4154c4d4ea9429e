#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace search {

// One column of the product and service search's result grid.
struct LayoutColumn {
    QString field;
    QString title;
    int width = 100;             // pixels
    bool rightAligned = false;   // values
    bool titleCentred = false;
};

// What the company's "SearchProductNo" chooses: the grid's columns, whether
// the production-detail menu belongs to the grid, and how the statement
// starts. Numbers without a layout of their own take layout 0's statement
// and the two first columns only.
struct ProductServiceLayout {
    QVector<LayoutColumn> columns;
    bool detailMenu = false;  // layouts 6 to 9 list manufactured goods
    bool hasRemark = false;   // the third column is "Remark"
};

ProductServiceLayout productServiceLayout(int number);

// The statement's opening lines; `runYear` is the balance year layout 4
// counts the stock of (the setup row's "RunYear", a number the program owns).
QStringList productServiceOpening(int number, int runYear);

} // namespace search
