#pragma once

#include "report/DataSource.h"
#include "report/Layout.h"
#include "report/PageBuilder.h"
#include "report/PreparedPage.h"
#include "report/PrintOptions.h"
#include "report/ReportError.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

class QPainter;

namespace report {

// A report: a layout read from a file, the variables the program sets, and
// the pages prepared from a data source, ready to print or preview.
//
//     report::Report r;
//     r.loadFromFile(dir + "/Form_ChkPrice.frf");
//     r.setVariable("CompanyName", company);
//     if (r.prepare(offerList))
//         r.print(options);
//
// Needs a running QGuiApplication (fonts) from prepare() on.
class Report {
public:
    // Forgets the layout, the variables and the prepared pages.
    void clear();

    // Throws ReportError for a file that is missing or cannot be read as a
    // layout; the report then has no layout.
    void loadFromFile(const QString& path);
    // The same from memory; sourceName stands for the file in messages.
    void loadFromData(const QByteArray& xml, const QString& sourceName);
    bool hasLayout() const { return m_layout.has_value(); }
    const Layout* layout() const { return m_layout ? &*m_layout : nullptr; }

    // Names match without regard to letter case, as in [Var.Name].
    void setVariable(const QString& name, const QVariant& value);
    QVariant variable(const QString& name) const;

    // Lays the report out for the rows. Returns false, with no pages, when
    // there is no layout. Throws ReportError when the layout asks for a
    // field or variable that is not there.
    bool prepare(const DataSource& data);
    int pageCount() const { return int(m_pages.size()); }
    const QList<PreparedPage>& pages() const { return m_pages; }

    // Prints the prepared pages to the default printer, or to
    // options.pdfFile. Throws ReportError ("Printer selected is not valid"
    // when there is no usable printer).
    void print(const PrintOptions& options) const;

    // Paints a prepared page, its top-left corner at the painter's origin.
    void paintPage(QPainter& painter, int index, qreal dotsPerMm) const;

private:
    std::optional<Layout> m_layout;
    QHash<QString, Variable> m_variables;
    QList<PreparedPage> m_pages;
};

} // namespace report
