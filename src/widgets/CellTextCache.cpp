#include "CellTextCache.h"

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextLayout>

namespace widgets {

namespace {

// A left-aligned text starts at the left of its line however wide the line
// is, so it is laid out once for every width it fits in.
constexpr qreal kAnyWidth = 1e6;

} // namespace

struct CellTextCache::Entry {
    Entry(const QString& text, const QFont& font) : layout(text, font) {}

    QTextLayout layout;
    qreal naturalWidth = 0;
    int height = 0;  // of the layout's bounding rectangle, as the style aligns it
    int lines = 0;
};

CellTextCache::CellTextCache()
{
    layouts_.setMaxCost(2000);
}

CellTextCache::~CellTextCache() = default;

bool CellTextCache::drawsLikeStyle(const QStyle* style)
{
    if (!style)
        return false;
    const QString name = style->name();
    return name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
}

const QTextLayout* CellTextCache::layoutFor(const QStyleOptionViewItem& option, const QRect& textRect, QPointF* at)
{
    const QString& text = option.text;
    if (text.isEmpty() || option.direction != Qt::LeftToRight || text.contains(QLatin1Char('\n'))
        || text.contains(QChar::LineSeparator))
        return nullptr;
    const Qt::Alignment horizontal = QStyle::visualAlignment(option.direction, option.displayAlignment)
        & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify)
        return nullptr;
    const bool wrap = option.features & QStyleOptionViewItem::WrapText;
    const bool anyWidth = !(horizontal & (Qt::AlignRight | Qt::AlignHCenter));
    const int lineWidth = textRect.width();

    if (option.font != keyedFont_) {
        keyedFont_ = option.font;
        fontKey_ = option.font.key();
    }
    const QString key = fontKey_ + QChar(1) + QString::number(int(horizontal)) + QLatin1Char(wrap ? 'w' : 'm')
        + (anyWidth ? QString() : QString::number(lineWidth)) + QChar(1) + text;
    Entry* entry = layouts_.object(key);
    if (!entry) {
        // As the common style lays a cell's text out, once.
        entry = new Entry(text, option.font);
        QTextOption textOption;
        textOption.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
        textOption.setTextDirection(option.direction);
        textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
        entry->layout.setTextOption(textOption);
        qreal height = 0;
        entry->layout.beginLayout();
        for (QTextLine line = entry->layout.createLine(); line.isValid(); line = entry->layout.createLine()) {
            line.setLineWidth(anyWidth ? kAnyWidth : lineWidth);
            line.setPosition(QPointF(0, height));
            height += line.height();
            entry->naturalWidth = qMax(entry->naturalWidth, line.naturalTextWidth());
            ++entry->lines;
        }
        entry->layout.endLayout();
        entry->height = entry->layout.boundingRect().size().toSize().height();
        layouts_.insert(key, entry);
    }
    // What the style would elide or wrap is its own; a line taller than
    // its rectangle is centred on it and cut by the cell as the style does.
    if (entry->lines != 1 || entry->naturalWidth > lineWidth)
        return nullptr;
    const QRect aligned = QStyle::alignedRect(Qt::LayoutDirectionAuto, option.displayAlignment,
                                              QSize(lineWidth, entry->height), textRect);
    if (aligned.top() + entry->height <= textRect.top())
        return nullptr;
    *at = QPointF(textRect.x(), aligned.top());
    return &entry->layout;
}

} // namespace widgets
