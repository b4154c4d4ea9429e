#pragma once

#include <QCache>
#include <QFont>
#include <QPointF>
#include <QString>

class QRect;
class QStyle;
class QStyleOptionViewItem;
class QTextLayout;

namespace widgets {

// Cell texts laid out once and drawn many times. Laying out Thai text
// (shaping and finding where lines may break) costs more than drawing it,
// and the grids show the same texts again and again: warehouse codes, unit
// names, formatted numbers, at every paint and every product load.
//
// Only a text that the item view would draw on one line, uncut, is kept:
// no line break in it, at most as wide and as high as its rectangle. It is
// then drawn from the kept layout exactly where the style's own drawing
// puts it. Anything else (a text to elide or wrap) is left to the style.
class CellTextCache {
public:
    CellTextCache();
    ~CellTextCache();

    // Whether `style` draws an item's text the way this cache does (the
    // common style's drawing, which Fusion and Windows keep).
    static bool drawsLikeStyle(const QStyle* style);

    // The kept layout for the option's text in `textRect` (the style's text
    // rectangle of the cell) and where to draw it, or null when the text
    // is not one to draw from a kept layout.
    const QTextLayout* layoutFor(const QStyleOptionViewItem& option, const QRect& textRect, QPointF* at);

    // Texts kept at most; the least recently drawn go first.
    void setCapacity(int texts) { layouts_.setMaxCost(texts); }
    int size() const { return layouts_.size(); }
    void clear() { layouts_.clear(); }

private:
    struct Entry;

    QCache<QString, Entry> layouts_;  // font, alignment, wrapping, width when it matters, text
    QFont keyedFont_;                 // QFont::key() writes the whole font out: once per font
    QString fontKey_;
};

} // namespace widgets
