#include "report/TextPainter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace report {

namespace {

// Glyph geometry is compared at this pixel size, where a font unit or so
// of difference is below any rounding.
constexpr int kProbePixels = 1000;

// How to paint a shaped glyph with a glyph the font maps from a character.
struct Replacement {
    quint32 glyph = 0;
    QPointF offset;   // per pixel of font size
    QRectF clip;      // per pixel of font size, relative to the glyph origin; empty for none
};

struct ThaiGlyphs {
    QString family; // of the raw font the table was made for
    QString style;
    QHash<quint32, Replacement> replacements;
    // The order a mark is typed in after its letter: vowels above and
    // below, then tone marks, then the rest.
    QHash<quint32, int> markRank;
    quint32 nikhahit = 0;
    quint32 saraAa = 0;
    quint32 saraAm = 0;
};

bool isThai(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x0E00 && c.unicode() <= 0x0E7F)
            return true;
    }
    return false;
}

bool near(qreal a, qreal b)
{
    return std::fabs(a - b) <= 1.0;
}

// What to paint instead of a variant glyph, given the glyph of the
// character it stands for; nullopt to keep the variant.
std::optional<Replacement> replacementFor(const QRectF& variant, quint32 original, const QRectF& originalBox)
{
    if (variant.isEmpty() || originalBox.isEmpty())
        return std::nullopt;
    const qreal dx = variant.center().x() - originalBox.center().x();
    const bool sameShape = near(variant.width(), originalBox.width()) && near(variant.height(), originalBox.height());
    if (sameShape && near(variant.top(), originalBox.top()))
        return Replacement{original, QPointF(dx, 0) / kProbePixels, {}};
    // A PDF reader takes a glyph's origin for its baseline, so a glyph
    // moved up or down would come out on a line of its own. A mark above
    // the letters is painted at the height the font gives it instead: a
    // tone mark then sits a little high, as in text without shaping.
    if (variant.bottom() <= 0 && originalBox.bottom() <= 0)
        return Replacement{original, QPointF(dx, 0) / kProbePixels, {}};
    // A letter without its tail, above a vowel below: the letter cut short.
    // Keep a little room at the sides for antialiasing; only the bottom is cut.
    if (near(variant.left(), originalBox.left()) && near(variant.top(), originalBox.top())
        && near(variant.width(), originalBox.width()) && variant.height() < originalBox.height()) {
        const QRectF clip = variant.adjusted(-50, -50, 50, 0);
        return Replacement{original, {}, QRectF(clip.topLeft() / kProbePixels, clip.size() / kProbePixels)};
    }
    // A mark below moved down, or a shape of its own: better the right
    // picture on paper than the right text in the PDF.
    return std::nullopt;
}

// Shapes every consonant with the marks that make the shaper choose
// variants. The one character of a probe whose glyph is missing from the
// shaped glyphs is what the one unexpected glyph stands for.
ThaiGlyphs probeThaiGlyphs(const QFont& font)
{
    QFont probeFont = font;
    probeFont.setPixelSize(kProbePixels);
    const QRawFont raw = QRawFont::fromFont(probeFont, QFontDatabase::Thai);

    ThaiGlyphs table;
    table.family = raw.familyName();
    table.style = raw.styleName();
    if (!raw.isValid() || !raw.supportsCharacter(QChar(0x0E01)))
        return table;
    const auto glyphOf = [&raw](char16_t c) {
        const QList<quint32> g = raw.glyphIndexesForString(QString(QChar(c)));
        return g.isEmpty() ? 0u : g.first();
    };
    table.nikhahit = glyphOf(0x0E4D);
    table.saraAa = glyphOf(0x0E32);
    table.saraAm = glyphOf(0x0E33);
    for (char16_t m : {0x0E31, 0x0E34, 0x0E35, 0x0E36, 0x0E37, 0x0E38, 0x0E39, 0x0E3A, 0x0E47})
        table.markRank.insert(glyphOf(m), 0);
    for (char16_t m : {0x0E48, 0x0E49, 0x0E4A, 0x0E4B})
        table.markRank.insert(glyphOf(m), 1);
    for (char16_t m : {0x0E4C, 0x0E4D, 0x0E4E})
        table.markRank.insert(glyphOf(m), 2);

    const char16_t above[] = {0x0E31, 0x0E34, 0x0E35, 0x0E36, 0x0E37, 0x0E47, 0x0E4D};
    const char16_t below[] = {0x0E38, 0x0E39, 0x0E3A};
    const char16_t tones[] = {0x0E48, 0x0E49, 0x0E4A, 0x0E4B, 0x0E4C};
    QStringList probes;
    for (char16_t c = 0x0E01; c <= 0x0E2E; ++c) {
        const QString consonant(QChar{c});
        for (char16_t m : above)
            probes << consonant + QChar(m);
        for (char16_t m : below)
            probes << consonant + QChar(m);
        for (char16_t t : tones) {
            probes << consonant + QChar(t);
            probes << consonant + QChar(0x0E34) + QChar(t);
            probes << consonant + QChar(0x0E38) + QChar(t);
        }
    }

    for (const QString& probe : probes) {
        QTextLayout layout(probe, probeFont);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QList<quint32> shaped;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            if (run.rawFont().familyName() != table.family)
                continue;
            shaped += run.glyphIndexes();
        }
        const QList<quint32> characterGlyphs = raw.glyphIndexesForString(probe);
        QList<quint32> missing;
        for (quint32 glyph : characterGlyphs) {
            if (!shaped.removeOne(glyph))
                missing << glyph;
        }
        if (missing.size() != 1 || shaped.size() != 1 || table.replacements.contains(shaped.first()))
            continue;
        const quint32 variant = shaped.first();
        if (const auto r = replacementFor(raw.boundingRect(variant), missing.first(), raw.boundingRect(missing.first())))
            table.replacements.insert(variant, *r);
    }
    return table;
}

const ThaiGlyphs& thaiGlyphs(const QFont& font)
{
    static QMutex mutex;
    static QHash<QString, ThaiGlyphs> cache;
    const QString key = QStringLiteral("%1|%2|%3").arg(font.family()).arg(font.bold()).arg(font.italic());
    QMutexLocker lock(&mutex);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.insert(key, probeThaiGlyphs(font));
    return *found;
}

void paintRun(QPainter& painter, const QPointF& origin, QGlyphRun run, const ThaiGlyphs* thai)
{
    if (!thai || run.rawFont().familyName() != thai->family || run.rawFont().styleName() != thai->style) {
        painter.drawGlyphRun(origin, run);
        return;
    }
    const qreal scale = run.rawFont().pixelSize();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QList<quint32> outGlyphs;
    QList<QPointF> outPositions;
    QList<std::pair<quint32, QPointF>> clipped;
    QList<QRectF> clips;
    QList<bool> skip(glyphs.size(), false);

    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (skip[i])
            continue;
        // Sara am comes out of the shaper as nikhahit and sara aa, possibly
        // with a tone mark between; paint it as the one character it is.
        if (glyphs[i] == thai->nikhahit && thai->saraAm) {
            qsizetype aa = i + 1;
            while (aa < glyphs.size() && aa <= i + 2 && glyphs[aa] != thai->saraAa)
                ++aa;
            if (aa < glyphs.size() && glyphs[aa] == thai->saraAa) {
                skip[aa] = true;
                for (qsizetype k = i + 1; k < aa; ++k) {
                    const auto r = thai->replacements.constFind(glyphs[k]);
                    outGlyphs << (r == thai->replacements.constEnd() ? glyphs[k] : r->glyph);
                    outPositions << positions[k] + (r == thai->replacements.constEnd() ? QPointF() : r->offset * scale);
                    skip[k] = true;
                }
                outGlyphs << thai->saraAm;
                outPositions << positions[aa];
                continue;
            }
        }
        const auto r = thai->replacements.constFind(glyphs[i]);
        if (r == thai->replacements.constEnd()) {
            outGlyphs << glyphs[i];
            outPositions << positions[i];
        } else if (r->clip.isEmpty()) {
            outGlyphs << r->glyph;
            outPositions << positions[i] + r->offset * scale;
        } else {
            clipped << std::make_pair(r->glyph, positions[i]);
            clips << QRectF(positions[i] + r->clip.topLeft() * scale, r->clip.size() * scale);
        }
    }

    // A PDF reader reads the marks over a letter in the order they are
    // drawn, and the shaper gives them in the order they are stacked; draw
    // them in the order they are typed (vowel, then tone mark).
    const qreal step = scale / 1000;
    const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(outGlyphs);
    const auto isMark = [&](qsizetype i) { return std::fabs(advances[i].x()) <= step; };
    for (qsizetype i = 0; i < outGlyphs.size();) {
        qsizetype end = i;
        while (end < outGlyphs.size() && isMark(end))
            ++end;
        if (end - i > 1) {
            QList<std::pair<quint32, QPointF>> cluster;
            for (qsizetype k = i; k < end; ++k)
                cluster.append({outGlyphs[k], outPositions[k]});
            std::stable_sort(cluster.begin(), cluster.end(), [thai](const auto& a, const auto& b) {
                return thai->markRank.value(a.first, 0) < thai->markRank.value(b.first, 0);
            });
            for (qsizetype k = i; k < end; ++k) {
                outGlyphs[k] = cluster[k - i].first;
                outPositions[k] = cluster[k - i].second;
            }
        }
        i = std::max(end, i + 1);
    }

    // It also sorts the letters of a line by where they start. A mark the
    // shaper nudged past the start of the next letter would be read after
    // that letter, so marks are kept just before it (by a thousandth of the
    // font size, far below what the eye sees).
    qreal limit = std::numeric_limits<qreal>::infinity();
    for (qsizetype i = outGlyphs.size() - 1; i >= 0; --i) {
        if (!isMark(i)) {
            limit = outPositions[i].x() - step;
            continue;
        }
        outPositions[i].setX(std::min(outPositions[i].x(), limit));
        limit = outPositions[i].x() - step;
    }

    run.setGlyphIndexes(outGlyphs);
    run.setPositions(outPositions);
    painter.drawGlyphRun(origin, run);
    for (qsizetype i = 0; i < clipped.size(); ++i) {
        QGlyphRun single = run;
        single.setGlyphIndexes({clipped[i].first});
        single.setPositions({clipped[i].second});
        painter.save();
        painter.setClipRect(clips[i].translated(origin), Qt::IntersectClip);
        painter.drawGlyphRun(origin, single);
        painter.restore();
    }
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
    const ThaiGlyphs* thai = isThai(m_layout->text()) ? &thaiGlyphs(m_font) : nullptr;
    // Line by line: a run of the whole layout could join the end of one
    // line to the start of the next.
    for (int i = 0; i < m_layout->lineCount(); ++i) {
        for (const QGlyphRun& run : m_layout->lineAt(i).glyphRuns())
            paintRun(painter, topLeft, run, thai);
    }
}

} // namespace report
