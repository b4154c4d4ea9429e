#pragma once

#include "report/DataSource.h"
#include "report/Layout.h"
#include "report/PreparedPage.h"

#include <QHash>
#include <QVariant>

namespace report {

struct Variable {
    QString name; // as the program spelled it
    QVariant value;
};

// Lays the layout's bands out over pages for the data and fills in every
// placeholder. variables are keyed by their lower-cased names. Throws
// ReportError for placeholders the data or the variables cannot answer.
QList<PreparedPage> buildPages(const Layout& layout, const DataSource& data,
                               const QHash<QString, Variable>& variables);

} // namespace report
