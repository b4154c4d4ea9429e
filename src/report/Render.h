#pragma once

#include "report/PreparedPage.h"

#include <QFont>

class QPainter;

namespace report {

// Text is laid out and painted in hundredths of a millimetre: fine enough
// that whole-pixel font sizes stay true to the point size, and the same
// numbers whatever the device, so a page breaks the same way on paper and
// in a PDF.
inline constexpr qreal kUnitsPerMm = 100;

// The family itself when installed, else the first installed Thai family,
// so that Thai never prints as empty boxes.
QString resolveFontFamily(const QString& family);

// The font at its size in painter units (hundredths of a millimetre).
QFont unitFont(const FontStyle& style);

// Height in millimetres that the text needs in a box widthMm wide.
qreal measureTextHeight(const QString& text, const FontStyle& font, qreal widthMm, bool wrap);

// Paints a page with its top-left corner at the painter's origin.
void paintPreparedPage(QPainter& painter, const PreparedPage& page, qreal dotsPerMm);

} // namespace report
