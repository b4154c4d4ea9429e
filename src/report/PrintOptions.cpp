#include "report/PrintOptions.h"

#include "report/ReportError.h"

#include <QSet>

#include <algorithm>

namespace report {

namespace {

[[noreturn]] void badList(const QString& list, const QString& why)
{
    throw ReportError(QStringLiteral("Page list \"%1\": %2").arg(list, why));
}

int pageNumber(const QString& list, const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 1)
        badList(list, QStringLiteral("\"%1\" is not a page number").arg(text.trimmed()));
    return n;
}

} // namespace

QList<int> printSequence(const PrintOptions& options, int pageCount)
{
    if (options.copies < 1)
        throw ReportError(QStringLiteral("Cannot print %1 copies").arg(options.copies));

    // Like a print dialog: the list picks a set of pages, printed in
    // page order however the list was written.
    QList<int> pages;
    if (options.pages.trimmed().isEmpty()) {
        for (int p = 1; p <= pageCount; ++p)
            pages << p;
    } else {
        QSet<int> chosen;
        for (const QString& part : options.pages.split(u',')) {
            if (part.trimmed().isEmpty())
                badList(options.pages, QStringLiteral("an empty entry"));
            const qsizetype dash = part.indexOf(u'-');
            const int from = pageNumber(options.pages, dash < 0 ? part : part.left(dash));
            const int to = dash < 0 ? from : pageNumber(options.pages, part.mid(dash + 1));
            if (to < from)
                badList(options.pages, QStringLiteral("the range %1 runs backwards").arg(part.trimmed()));
            for (int p = from; p <= std::min(to, pageCount); ++p)
                chosen.insert(p);
        }
        pages = QList<int>(chosen.begin(), chosen.end());
        std::sort(pages.begin(), pages.end());
    }

    if (options.parity != PageParity::All) {
        const int remainder = options.parity == PageParity::Odd ? 1 : 0;
        pages.removeIf([remainder](int p) { return p % 2 != remainder; });
    }
    if (pages.isEmpty()) {
        throw ReportError(QStringLiteral("No page to print: the report has %1 page(s)%2")
                              .arg(pageCount)
                              .arg(options.pages.trimmed().isEmpty()
                                       ? QString()
                                       : QStringLiteral(", the page list is \"%1\"").arg(options.pages)));
    }

    QList<int> sequence;
    if (options.collate) {
        for (int copy = 0; copy < options.copies; ++copy) {
            for (int p : pages)
                sequence << p - 1;
        }
    } else {
        for (int p : pages) {
            for (int copy = 0; copy < options.copies; ++copy)
                sequence << p - 1;
        }
    }
    return sequence;
}

} // namespace report
