#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

#include <memory>

class QPainter;
class QTextLayout;

namespace report {

// One text item's lines, broken and aligned in a box of the given width
// (in the painter's units). Latin text is drawn as text. Thai is drawn as
// the shaper sets it (outlines of its glyphs, marks placed by the font),
// with the same text laid under it unseen, one character-mapped glyph per
// character: a PDF then reads, searches and copies every Thai word whole,
// tone marks included, while the page shows the properly shaped text.
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
