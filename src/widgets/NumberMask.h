#pragma once

#include <QLocale>
#include <QString>

// Writes a number through a picture such as " #,###,##0.00 ": "0" a digit
// always written, "#" a digit written only when needed, "," thousands
// grouping, "." the decimal point (left out when no decimal follows), any
// other character literal. Separators come from the locale. Rounding is
// half away from zero, to the number of decimal places in the picture.
// "#,##0.##;-#,##0.##" gives negatives a picture of their own, written with
// the number's magnitude.
QString formatNumber(const QString& mask, double value, const QLocale& locale = QLocale());
