#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

#include <memory>

class QPainter;
class QTextLayout;

namespace report {

// One text item's lines, broken and aligned in a box of the given width
// (in the painter's units). Thai is shaped as usual, but painted with the
// glyphs the font maps from the characters wherever the shaper picked a
// positional variant (a lowered or shifted tone mark, a tail-less ญ, sara
// am split in two): a PDF maps only those glyphs back to text, so without
// this the tone marks would vanish when the PDF is searched or copied.
class TextPainter {
public:
    TextPainter(const QString& text, const QFont& font, qreal width, bool wrap, Qt::Alignment alignment);
    ~TextPainter();

    qreal height() const { return m_height; }
    void paint(QPainter& painter, const QPointF& topLeft) const;

private:
    std::unique_ptr<QTextLayout> m_layout;
    QFont m_font;
    qreal m_height = 0;
};

} // namespace report
