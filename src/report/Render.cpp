#include "report/Render.h"

#include "report/TextPainter.h"

#include <QFontDatabase>
#include <QPainter>

namespace report {

namespace {

QRectF toUnits(const QRectF& mm)
{
    return QRectF(mm.x() * kUnitsPerMm, mm.y() * kUnitsPerMm, mm.width() * kUnitsPerMm,
                  mm.height() * kUnitsPerMm);
}

QPen unitPen(const PreparedItem& item)
{
    QPen pen(item.color);
    pen.setWidthF(item.pen * kUnitsPerMm);
    pen.setStyle(item.penStyle);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCosmetic(false);
    return pen;
}

void paintText(QPainter& painter, const PreparedItem& item)
{
    const QRectF box = toUnits(item.rect);
    if (item.fill.isValid())
        painter.fillRect(box, item.fill);

    if (!item.text.isEmpty()) {
        painter.save();
        // Keep overlong text inside its column; leave room above and below
        // for Thai marks that reach past a tight box.
        painter.setClipRect(box.adjusted(0, -box.height(), 0, box.height()), Qt::IntersectClip);
        painter.setPen(item.color);
        const qreal pad = item.padding * kUnitsPerMm;
        const QRectF inner = box.adjusted(pad, pad, -pad, -pad);
        const TextPainter text(item.text, unitFont(item.font), inner.width(), item.wrap, item.alignment);
        qreal top = inner.top();
        if (item.alignment & Qt::AlignBottom)
            top = inner.bottom() - text.height();
        else if (item.alignment & Qt::AlignVCenter)
            top = inner.top() + (inner.height() - text.height()) / 2;
        text.paint(painter, QPointF(inner.left(), top));
        painter.restore();
    }

    if (item.frame.any() && item.pen > 0) {
        painter.setPen(unitPen(item));
        if (item.frame.top)
            painter.drawLine(box.topLeft(), box.topRight());
        if (item.frame.bottom)
            painter.drawLine(box.bottomLeft(), box.bottomRight());
        if (item.frame.left)
            painter.drawLine(box.topLeft(), box.bottomLeft());
        if (item.frame.right)
            painter.drawLine(box.topRight(), box.bottomRight());
    }
}

} // namespace

QString resolveFontFamily(const QString& family)
{
    static QHash<QString, QString> cache;
    const auto found = cache.constFind(family);
    if (found != cache.constEnd())
        return *found;

    QString resolved = family;
    if (!QFontDatabase::hasFamily(family)) {
        for (const char* thai : {"Loma", "Garuda", "Norasi", "Kinnari", "Tlwg Typo", "Sawasdee"}) {
            if (QFontDatabase::hasFamily(QString::fromLatin1(thai))) {
                resolved = QString::fromLatin1(thai);
                break;
            }
        }
    }
    cache.insert(family, resolved);
    return resolved;
}

QFont unitFont(const FontStyle& style)
{
    QFont font(style.family);
    font.setPixelSize(qMax(1, qRound(style.pointSize * 25.4 / 72.0 * kUnitsPerMm)));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    // Hinting would bend glyph widths towards the screen's pixel grid.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

qreal measureTextHeight(const QString& text, const FontStyle& font, qreal widthMm, bool wrap)
{
    const TextPainter layout(text, unitFont(font), qMax(widthMm, 0.01) * kUnitsPerMm, wrap, Qt::AlignLeft);
    return layout.height() / kUnitsPerMm;
}

void paintPreparedPage(QPainter& painter, const PreparedPage& page, qreal dotsPerMm)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(dotsPerMm / kUnitsPerMm, dotsPerMm / kUnitsPerMm);

    for (const PreparedItem& item : page.items) {
        switch (item.kind) {
        case LayoutItem::Kind::Text:
            paintText(painter, item);
            break;
        case LayoutItem::Kind::Line:
            if (item.pen > 0) {
                painter.setPen(unitPen(item));
                painter.drawLine(QLineF(item.line.p1() * kUnitsPerMm, item.line.p2() * kUnitsPerMm));
            }
            break;
        case LayoutItem::Kind::Rect: {
            const QRectF box = toUnits(item.rect);
            if (item.fill.isValid())
                painter.fillRect(box, item.fill);
            if (item.pen > 0) {
                painter.setPen(unitPen(item));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box);
            }
            break;
        }
        }
    }
    painter.restore();
}

QStringList PreparedPage::texts() const
{
    QStringList result;
    for (const PreparedItem& item : items) {
        if (item.kind == LayoutItem::Kind::Text)
            result << item.text;
    }
    return result;
}

} // namespace report
