#include "GridDelegate.h"

#include "widgets/DbGrid.h"
#include "widgets/UpperCaseEntry.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QTableView>
#include <QTextLayout>

namespace widgets::detail {

GridDelegate::GridDelegate(DbGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::setTextCaching(bool on)
{
    caching_ = on;
    texts_.clear();
}

int GridDelegate::advance(const QFont& font, const QString& text)
{
    return qCeil(QFontMetricsF(font).horizontalAdvance(text));
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // A text wrapped within a given cell width is measured each time;
    // unbounded (as a column is fitted) it is one line however it wraps.
    if (!measuring_ || ((option.features & QStyleOptionViewItem::WrapText) && option.rect.isValid()))
        return QStyledItemDelegate::sizeHint(option, index);
    const QVariant fontData = index.data(Qt::FontRole);
    const QFont font = fontData.isValid() ? fontData.value<QFont>().resolve(option.font) : option.font;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!measures_ || font != keyedFont_) {  // QFont::key() writes the whole font out
        keyedFont_ = font;
        measures_ = &measuresByFont_[font.key()];
    }
    const auto known = measures_->widths.constFind(text);
    if (known != measures_->widths.constEnd())
        return *known;
    QSize size;
    const bool singleLine = !text.isEmpty() && !text.contains(QLatin1Char('\n'))
        && !text.contains(QChar::LineSeparator);
    if (singleLine && measures_->margins.isValid()) {
        size = QSize(advance(font, text) + measures_->margins.width(), measures_->margins.height());
    } else {
        size = QStyledItemDelegate::sizeHint(option, index);
        if (singleLine)
            measures_->margins = QSize(size.width() - advance(font, text), size.height());
    }
    if (measures_->widths.size() > 20000)
        measures_->widths.clear();
    measures_->widths.insert(text, size);
    return size;
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const auto& columns = grid_->columns();
    if (index.column() < columns.size()) {
        const GridColumn& column = columns[index.column()];
        editor->setAlignment((column.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
        if (column.codeEntryLength > 0)
            setCodeEntry(editor, column.codeEntryLength);
    }
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(QueryModel::displayText(index.data(Qt::EditRole)));
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        grid_->commitEdit(index, line->text());
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    paintCell(painter, option, index);
    // The table draws all lines or none; one kind alone is drawn here.
    const DbGrid::GridLines lines = grid_->gridLines_;
    if (lines == DbGrid::AllLines || lines == DbGrid::NoLines)
        return;
    const QWidget* view = grid_->view();
    const int hint = view->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view);
    painter->save();
    painter->setPen(QColor::fromRgba(QRgb(hint)));
    if (lines & DbGrid::ColumnLines)
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    if (lines & DbGrid::RowLines)
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}

void GridDelegate::paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    if (!caching_ || !CellTextCache::drawsLikeStyle(style)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // The focus frame is drawn over the text and an editing frame under
    // it: such a cell keeps the style's own order.
    const QStyle::State own = QStyle::State_HasFocus | QStyle::State_Editing;
    const bool plain = cell.showDecorationSelected && !(cell.state & own)
        && !(cell.features & (QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasCheckIndicator));
    QStyleOptionViewItem bare = cell;
    bare.text.clear();
    QPointF at;
    const QTextLayout* layout = nullptr;
    QRect textRect;
    if (plain) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &bare, widget).adjusted(margin, 0, -margin, 0);
        layout = texts_.layoutFor(cell, textRect, &at);
    }
    if (!layout) {
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        return;
    }
    // The background as the style draws it, then the text in the pen
    // and clip the style gives it.
    style->drawControl(QStyle::CE_ItemViewItem, &bare, painter, widget);
    QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->save();
    painter->setClipRect(cell.rect);
    painter->setPen(cell.palette.color(group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                    : QPalette::Text));
    layout->draw(painter, at);
    painter->restore();
}

} // namespace widgets::detail
