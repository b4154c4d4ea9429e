#pragma once

#include "widgets/CellTextCache.h"

#include <QFont>
#include <QHash>
#include <QStyledItemDelegate>

namespace widgets {

class DbGrid;

namespace detail {

// How a DbGrid's cells are drawn, measured and edited. Every editable cell
// is edited as text, numbers too: a spin box would keep the clerk from
// typing what the grid is meant to refuse with a message.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DbGrid* grid);

    // While the grid fits its columns it measures every row, and a column
    // often shows the same text in many rows (a customer, a unit, a date),
    // and the next load shows many of them again: a text's width in a font
    // is measured once (a single line of text is its advance and the item's
    // margins; the margins are found once per font).
    void setMeasuring(bool on) { measuring_ = on; }

    // Texts are drawn from layouts kept between paints (CellTextCache);
    // with caching off, every text is laid out at every paint as Qt does.
    void setTextCaching(bool on);
    const CellTextCache& texts() const { return texts_; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    static int advance(const QFont& font, const QString& text);

    DbGrid* grid_;
    bool measuring_ = false;
    bool caching_ = true;
    mutable CellTextCache texts_;
    struct Measures {
        QHash<QString, QSize> widths;  // by text
        QSize margins;                 // margin width and line height, once known
    };
    mutable QHash<QString, Measures> measuresByFont_;  // by font key
    mutable Measures* measures_ = nullptr;             // of keyedFont_
    mutable QFont keyedFont_;
};

} // namespace detail
} // namespace widgets
