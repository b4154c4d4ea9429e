#pragma once

#include <QList>
#include <QString>

namespace report {

enum class PageParity { All, Odd, Even };

struct PrintOptions {
    QString pages;    // page list such as "1,3-5"; empty prints every page
    int copies = 1;
    bool collate = true; // 1,2,3,1,2,3 rather than 1,1,2,2,3,3
    PageParity parity = PageParity::All; // odd or even page numbers of the list
    QString pdfFile;  // set: write this PDF instead of printing
};

// Page indexes (from 0) in the order they come out of the printer, copies
// included. Pages the list names past the last page are left out. Throws
// ReportError for a list that cannot be read or selects no page.
QList<int> printSequence(const PrintOptions& options, int pageCount);

} // namespace report
