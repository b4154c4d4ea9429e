#include "report/TextPainter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace report {

namespace {

bool isThai(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x0E00 && c.unicode() <= 0x0E7F)
            return true;
    }
    return false;
}

// The shaped glyphs as outlines: exactly what the shaper set, tone marks
// lowered and letters without their tails included, and nothing a PDF
// reader takes for text.
void paintOutlines(QPainter& painter, const QPointF& origin, const QGlyphRun& run)
{
    const QRawFont font = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QPainterPath outlines;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        outlines.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    painter.fillPath(outlines, painter.pen().brush());
}

// The font of the line's runs that has the character, the first run's when
// none has it.
QRawFont fontFor(QChar c, const QList<QGlyphRun>& runs)
{
    for (const QGlyphRun& run : runs) {
        if (run.rawFont().supportsCharacter(c))
            return run.rawFont();
    }
    return runs.isEmpty() ? QRawFont() : runs.first().rawFont();
}

// The line's text, unseen, one glyph per character from the font's own
// character map, so that a PDF maps every glyph back to its character. A
// reader joins letters into words by where they start and end: letters
// follow one another by their own widths, fitted to the cluster's width;
// the vowel and tone marks over or under a letter start at even steps
// inside it, in the order they were typed, so that no two characters start
// at one place (a reader would take that for a new word).
void paintTextLayer(QPainter& painter, const QPointF& origin, const QTextLine& line, const QString& text)
{
    const QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.isEmpty())
        return;
    const int begin = line.textStart();
    const int end = begin + line.textLength();
    const qreal baseline = line.y() + line.ascent();
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    clusters.setPosition(begin);
    painter.save();
    painter.setPen(Qt::transparent);
    for (int start = begin; start < end;) {
        int stop = clusters.toNextBoundary();
        if (stop < 0 || stop > end)
            stop = end;
        const qreal left = line.cursorToX(start);
        const qreal right = stop < end ? line.cursorToX(stop) : line.x() + line.naturalTextWidth();

        struct Glyph {
            QRawFont font;
            quint32 index = 0;
            bool mark = false;
            qreal advance = 0;
            qreal x = 0;
        };
        QList<Glyph> glyphs;
        qreal letters = 0;
        for (int i = start; i < stop; ++i) {
            const QChar c = text.at(i);
            if (c.isSpace())
                continue;
            Glyph g;
            g.font = fontFor(c, runs);
            const QList<quint32> index = g.font.glyphIndexesForString(QString(c));
            if (index.isEmpty() || index.first() == 0)
                continue;
            g.index = index.first();
            g.mark = c.category() == QChar::Mark_NonSpacing;
            if (!g.mark) {
                g.advance = g.font.advancesForGlyphIndexes(QList<quint32>{g.index}).value(0).x();
                letters += g.advance;
            }
            glyphs.append(g);
        }
        const qreal scale = letters > 0 ? (right - left) / letters : 0;
        qreal cursor = left;
        for (qsizetype i = 0; i < glyphs.size();) {
            // A letter, then the marks on it.
            qsizetype marks = i + (glyphs[i].mark ? 0 : 1);
            while (marks < glyphs.size() && glyphs[marks].mark)
                ++marks;
            const qreal width = glyphs[i].advance * scale;
            const qsizetype count = marks - i;
            for (qsizetype k = i; k < marks; ++k)
                glyphs[k].x = cursor + width * qreal(k - i) / qreal(count);
            cursor += width;
            i = marks;
        }
        for (const Glyph& g : glyphs) {
            QGlyphRun single;
            single.setRawFont(g.font);
            single.setGlyphIndexes({g.index});
            single.setPositions({QPointF(g.x, baseline)});
            painter.drawGlyphRun(origin, single);
        }
        start = stop;
    }
    painter.restore();
}

} // namespace

TextPainter::TextPainter(const QString& text, const QFont& font, qreal width, bool wrap,
                         Qt::Alignment alignment)
    : m_layout(std::make_unique<QTextLayout>(QString(text).replace(u'\n', QChar::LineSeparator), font)),
      m_font(font)
{
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);

    const qreal alignFactor = alignment & Qt::AlignRight ? 1.0 : alignment & Qt::AlignHCenter ? 0.5 : 0.0;
    m_layout->beginLayout();
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        line.setLineWidth(width);
        const qreal x = (width - line.naturalTextWidth()) * alignFactor;
        line.setPosition(QPointF(x, m_height));
        m_height += line.height();
    }
    m_layout->endLayout();
    if (text.isEmpty())
        m_height = 0;
}

TextPainter::~TextPainter() = default;

void TextPainter::paint(QPainter& painter, const QPointF& topLeft) const
{
    const QString& text = m_layout->text();
    const bool thai = isThai(text);
    // Line by line: a run of the whole layout could join the end of one
    // line to the start of the next.
    for (int i = 0; i < m_layout->lineCount(); ++i) {
        const QTextLine line = m_layout->lineAt(i);
        for (const QGlyphRun& run : line.glyphRuns()) {
            if (thai)
                paintOutlines(painter, topLeft, run);
            else
                painter.drawGlyphRun(topLeft, run);
        }
        if (thai)
            paintTextLayer(painter, topLeft, line, text);
    }
}

} // namespace report
