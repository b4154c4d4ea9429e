#include "DbGrid.h"

#include "db/Query.h"
#include "widgets/FooterCell.h"
#include "widgets/GridDelegate.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace widgets {

namespace {

QString fieldKey(const QString& field)
{
    return field.toLower();
}

// A number as a clerk types it: thousands separators and Thai digits are
// fine. Empty text is a valid entry meaning "no value"; nullopt means the
// text is not a number the field can hold. A number with more decimals
// than the field keeps is refused, never rounded behind the clerk's back.
std::optional<QVariant> parseNumber(const QString& text, int decimals, double minimum, double maximum)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QVariant();
    QString plain;
    plain.reserve(trimmed.size());
    for (const QChar c : trimmed) {
        if (c.unicode() >= 0x0E50 && c.unicode() <= 0x0E59)
            plain += QChar(u'0' + (c.unicode() - 0x0E50));
        else if (c != u',' && !c.isSpace())
            plain += c;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value) || value < minimum || value > maximum)
        return std::nullopt;
    if (decimals >= 0) {
        const double scaled = value * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) > 1e-9 * qMax(1.0, std::fabs(scaled)))
            return std::nullopt;
    }
    return QVariant(value);
}

bool isBlank(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

bool sameNumber(const QVariant& stored, const QVariant& entered)
{
    if (isBlank(stored) || isBlank(entered))
        return isBlank(stored) == isBlank(entered);
    bool ok = false;
    const double old = stored.toDouble(&ok);
    return ok && old == entered.toDouble();
}

} // namespace

namespace detail {

// The query model with what only the grid knows: row states from the
// window's styler, title looks, and read-only as a whole.
class GridModel : public QueryModel {
public:
    GridModel(DbGrid* grid, QObject* parent) : QueryModel(parent), grid_(grid) {}

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && !grid_->dateFields_.isEmpty()
            && grid_->dateFields_.contains(fieldKey(fieldAt(index.column())))) {
            const QVariant stored = QueryModel::data(index, Qt::EditRole);
            if (isBlank(stored))
                return QString();
            try {
                return dateText(db::variantToDate(stored));
            } catch (const std::exception&) {
                return QueryModel::data(index, role);  // not a date after all: as stored
            }
        }
        if (role != Qt::BackgroundRole && role != Qt::ForegroundRole && role != Qt::FontRole)
            return QueryModel::data(index, role);
        if (!grid_->styler_ || !index.isValid())
            return QVariant();
        const CellStyle style
            = grid_->styler_(fieldAt(index.column()), index.row(), QueryModel::data(index, Qt::EditRole));
        if (role == Qt::BackgroundRole && style.background)
            return QBrush(*style.background);
        if (role == Qt::ForegroundRole && style.foreground)
            return QBrush(*style.foreground);
        if (role == Qt::FontRole && style.font)
            return *style.font;
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) {
            // The indicator draws its own marker; row numbers mean nothing to a clerk.
            if (role == Qt::DisplayRole)
                return QVariant();
            return QueryModel::headerData(section, orientation, role);
        }
        switch (role) {
        case Qt::TextAlignmentRole: {
            const auto it = grid_->titleAlignments_.constFind(fieldKey(fieldAt(section)));
            return it == grid_->titleAlignments_.constEnd() ? QVariant() : QVariant(int(it.value()));
        }
        case Qt::BackgroundRole:
            return grid_->titleBackground_.isValid() ? QVariant(QBrush(grid_->titleBackground_)) : QVariant();
        case Qt::ForegroundRole:
            return grid_->titleText_.isValid() ? QVariant(QBrush(grid_->titleText_)) : QVariant();
        default:
            return QueryModel::headerData(section, orientation, role);
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = QueryModel::flags(index);
        if (grid_->readOnly_)
            f &= ~Qt::ItemIsEditable;
        return f;
    }

    void titlesChanged()
    {
        if (columnCount() > 0)
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

private:
    DbGrid* grid_;
};

// The column titles. A title's size is asked for on every reset of the
// grid (each product load) and laying out Thai text is not cheap: each
// title is measured once in its font.
class TitleHeader : public QHeaderView {
public:
    explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        const QAbstractItemModel* m = model();
        if (!m)
            return QHeaderView::sectionSizeFromContents(logicalIndex);
        const QVariant fontData = m->headerData(logicalIndex, orientation(), Qt::FontRole);
        const QVariant decoration = m->headerData(logicalIndex, orientation(), Qt::DecorationRole);
        const bool sorted = isSortIndicatorShown() && sortIndicatorSection() == logicalIndex;
        if (decoration.isValid())
            return QHeaderView::sectionSizeFromContents(logicalIndex);
        const QString key = m->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() + QChar(0)
            + (fontData.isValid() ? fontData.value<QFont>().key() : QString()) + QChar(0)
            + QLatin1Char(sorted ? '1' : '0');
        const auto known = sizes_.constFind(key);
        if (known != sizes_.constEnd())
            return *known;
        const QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
        if (sizes_.size() > 2000)
            sizes_.clear();
        sizes_.insert(key, size);
        return size;
    }

    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            sizes_.clear();
        QHeaderView::changeEvent(event);
    }

private:
    mutable QHash<QString, QSize> sizes_;  // title, font, sort indicator
};

// The narrow column left of the data, marking the current row.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

    void setMarkerRow(int row)
    {
        if (row == marker_)
            return;
        marker_ = row;
        viewport()->update();
    }

protected:
    // Rows are as high as the grid says and the marker column as wide: no
    // section is measured (the table asks for a hundred rows' worth at
    // every reset).
    QSize sectionSizeFromContents(int) const override { return QSize(width(), defaultSectionSize()); }

    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (logicalIndex != marker_)
            return;
        // A drawn triangle rather than a "►" glyph: not every font has one.
        const int half = qMax(2, qMin((rect.height() - 4) / 2, (rect.width() - 4) / 2 + 1));
        const QPoint c = rect.center();
        const QPoint points[] = {{c.x() - half / 2, c.y() - half},
                                 {c.x() - half / 2, c.y() + half},
                                 {c.x() - half / 2 + half, c.y()}};
        painter->save();
        // The style may leave the painter clipped to nothing once the section is drawn.
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        painter->drawPolygon(points, 3);
        painter->restore();
    }

private:
    int marker_ = -1;
};

class GridFooter : public QWidget {
public:
    explicit GridFooter(DbGrid* grid) : QWidget(grid), grid_(grid) {}

    // Repaints, and puts a FooterCell over every cell shown, for screen
    // readers.
    void refresh();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    DbGrid* grid_;
    QVector<FooterCell*> cells_;
};

// The table's own horizontal bar, hidden: it reports every change so that
// the bar shown under the footer can copy it.
class NotifyingScrollBar : public QScrollBar {
public:
    NotifyingScrollBar() : QScrollBar(Qt::Horizontal) {}
    std::function<void()> onChange;

protected:
    void sliderChange(SliderChange change) override
    {
        QScrollBar::sliderChange(change);
        if (onChange)
            onChange();
    }
};

class GridView : public QTableView {
public:
    explicit GridView(DbGrid* grid) : QTableView(grid), grid_(grid) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (isDeleteGesture(event)) {
            grid_->requestDelete();
            event->accept();
            return;
        }
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && state() != EditingState) {
            if (grid_->enterMoves_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                grid_->moveToNextCell();
                event->accept();
                return;
            }
            QTableView::keyPressEvent(event);  // emits activated()
            event->ignore();                   // and the window gets the key
            return;
        }
        QTableView::keyPressEvent(event);
    }

    bool event(QEvent* event) override
    {
        // The delete gesture is the grid's while it has the focus, even when
        // the window has a shortcut on the same keys.
        if (event->type() == QEvent::ShortcutOverride && isDeleteGesture(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QTableView::event(event);
    }

    // A read-only grid has no delete gesture: the keys go on to the window.
    bool isDeleteGesture(const QKeyEvent* key) const
    {
        return !grid_->readOnly_ && key->key() == Qt::Key_Delete
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    }

    // Typing on a read-only cell would otherwise jump to a row starting with
    // that text and move the query under the clerk.
    void keyboardSearch(const QString&) override {}

    // Rows not read yet are rows all the same: Ctrl+End goes to the very
    // last one, and moving down past the rows read reads the next block.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        QAbstractItemModel* m = model();
        if (m) {
            const QModelIndex root = rootIndex();
            if (action == MoveEnd && (modifiers & Qt::ControlModifier)) {
                while (m->canFetchMore(root))
                    m->fetchMore(root);
            } else if (action == MoveDown || action == MovePageDown) {
                const int page = action == MovePageDown ? std::max(1, viewport()->height() / std::max(1, rowHeight(0))) : 1;
                if (currentIndex().row() + page >= m->rowCount(root) && m->canFetchMore(root))
                    m->fetchMore(root);
            }
        }
        return QTableView::moveCursor(action, modifiers);
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        QTableView::currentChanged(current, previous);
        grid_->viewCurrentChanged(current);
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        const bool refused = std::exchange(grid_->editRefusedPending_, false);
        // After a refused entry the clerk stays on that cell to type it again.
        if (refused)
            hint = QAbstractItemDelegate::NoHint;
        const bool advance = !refused && grid_->enterMoves_ && hint == QAbstractItemDelegate::SubmitModelCache;
        QTableView::closeEditor(editor, hint);
        if (advance)
            grid_->moveToNextCell();
    }

    void changeEvent(QEvent* event) override
    {
        QTableView::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            grid_->applyFont();
    }

    void updateGeometries() override
    {
        QTableView::updateGeometries();
        if (grid_->footer_)
            grid_->footer_->refresh();
    }

private:
    DbGrid* grid_;
};

void GridFooter::refresh()
{
    update();
    const int count = grid_->footerVisible_ ? grid_->model_->columnCount() : 0;
    while (cells_.size() < count)
        cells_.append(new FooterCell(this));
    const QRect area = grid_->footerDataArea().translated(-pos());
    for (int column = 0; column < cells_.size(); ++column) {
        FooterCell* cell = cells_[column];
        const QRect rect = column < count ? grid_->footerColumnRect(column).translated(-pos()) : QRect();
        if (!rect.intersects(area)) {
            cell->hide();
            continue;
        }
        cell->setGeometry(rect.intersected(area));
        cell->setTitleAndText(grid_->model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                              grid_->footerText(grid_->fieldAt(column)));
        cell->show();
    }
}

void GridFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), grid_->footerBackground_);
    const QRect area = grid_->footerDataArea().translated(-pos());
    painter.setClipRect(area);
    const QHeaderView* titles = grid_->view_->horizontalHeader();
    const auto& columns = grid_->model_->columns();
    const QBrush cellBrush(grid_->footerCell_);
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int column = titles->logicalIndex(visual);
        const QRect cell = grid_->footerColumnRect(column).translated(-pos()).adjusted(1, 0, -1, 0);
        if (!cell.intersects(area))
            continue;
        qDrawShadePanel(&painter, cell, palette(), false, 1, &cellBrush);
        const QString text = grid_->footerText(grid_->fieldAt(column));
        if (text.isEmpty())
            continue;
        Qt::Alignment align = Qt::AlignLeft;
        if (column < columns.size())
            align = columns[column].alignment & Qt::AlignHorizontal_Mask;
        const QRect textRect = cell.adjusted(3, 1, -3, -1);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(textRect, int(align | Qt::AlignVCenter),
                         fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
    }
}

} // namespace detail

DbGrid::DbGrid(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    deleteText_ = QStringLiteral("ต้องการลบรายการนี้หรือไม่ ?");
    footerBackground_ = QColor(192, 192, 192);
    footerCell_ = Qt::white;

    view_ = new detail::GridView(this);
    view_->setFrameShape(QFrame::NoFrame);
    indicator_ = new detail::IndicatorHeader(view_);
    view_->setVerticalHeader(indicator_);
    view_->setHorizontalHeader(new detail::TitleHeader(view_));
    model_ = new detail::GridModel(this, view_);
    view_->setModel(model_);
    view_->setItemDelegate(new detail::GridDelegate(this));
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    auto* ownBar = new detail::NotifyingScrollBar;
    view_->setHorizontalScrollBar(ownBar);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QHeaderView* titles = view_->horizontalHeader();
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setMinimumSectionSize(4);
    indicator_->setSectionResizeMode(QHeaderView::Fixed);
    indicator_->setHighlightSections(false);
    indicator_->setMinimumSectionSize(4);

    footer_ = new detail::GridFooter(this);
    footer_->hide();
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    hbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->hide();

    ownBar->onChange = [this] { mirrorHorizontalBar(); };
    connect(hbar_, &QScrollBar::valueChanged, ownBar, &QScrollBar::setValue);
    view_->viewport()->installEventFilter(this);

    connect(titles, &QHeaderView::sectionClicked, this,
            [this](int column) { emit titleClicked(fieldAt(column), column); });
    connect(titles, &QHeaderView::sectionResized, footer_, &detail::GridFooter::refresh);
    connect(titles, &QHeaderView::sectionMoved, footer_, &detail::GridFooter::refresh);
    connect(titles, &QHeaderView::geometriesChanged, footer_, &detail::GridFooter::refresh);

    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (currentColumn() >= 0)
            fieldBeforeReset_ = currentField();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (fitContent_ && (fittingHolds_ > 0 || widerThanItsColumn(from, to)))
            requestWidths();
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        requestWidths();
        followQuery(query_ ? query_->recNo() : -1);
        footer_->refresh();
    });

    // Focus counts as the grid's while it is in the table or in a cell
    // editor, so opening an editor is not "leaving" the grid.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const bool inside = holds(now);
        if (inside == hadFocus_)
            return;
        hadFocus_ = inside;
        if (inside)
            emit focusIn();
        else
            emit focusOut();
    });

    setFocusProxy(view_);
    applyEditTriggers();
    applyFont();
}

DbGrid::~DbGrid()
{
    // Children go after this object's members: nothing they signal on the
    // way out may reach it.
    disconnect(qApp, nullptr, this, nullptr);
    if (query_)
        disconnect(query_, nullptr, this, nullptr);
    static_cast<detail::NotifyingScrollBar*>(view_->horizontalScrollBar())->onChange = nullptr;
    view_->viewport()->removeEventFilter(this);
    model_->disconnect(this);
    view_->horizontalHeader()->disconnect(this);
}

QueryModel* DbGrid::model() const
{
    return model_;
}

QTableView* DbGrid::view() const
{
    return view_;
}

void DbGrid::setQuery(db::Query* query)
{
    if (query_)
        disconnect(query_, nullptr, this, nullptr);
    query_ = query;
    if (query_)
        connect(query_, &db::Query::currentRowChanged, this, &DbGrid::followQuery);
    model_->setQuery(query);  // resets, and the reset puts the grid on the query's row
}

// ---------------------------------------------------------------------------
// Columns

void DbGrid::setColumns(const QVector<GridColumn>& columns)
{
    pending_ = columns;
    applyColumns();
}

void DbGrid::clearColumns()
{
    pending_.clear();
}

void DbGrid::addColumn(const GridColumn& column)
{
    pending_.append(column);
}

void DbGrid::applyColumns()
{
    // The same list again (a window rebuilding it from the same rights at
    // every load) changes nothing on screen: no reset, no repaint.
    if (pending_ == model_->columns())
        return;
    const bool wasEnabled = updatesEnabled();
    setUpdatesEnabled(false);
    model_->setColumns(pending_);
    setUpdatesEnabled(wasEnabled);
}

const QVector<GridColumn>& DbGrid::columns() const
{
    return model_->columns();
}

int DbGrid::columnOfField(const QString& field) const
{
    return model_->columnOfField(field);
}

QString DbGrid::fieldAt(int column) const
{
    return model_->fieldAt(column);
}

int DbGrid::pixelsForChars(int chars) const
{
    // The delegate's text margins on both sides, and the grid line.
    const int margin = view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
    return qMax(0, chars) * view_->fontMetrics().averageCharWidth() + 2 * margin + 1;
}

namespace {

// The width a footer text needs in its column.
int footerWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).horizontalAdvance(text) + 10;
}

} // namespace

bool DbGrid::widerThanItsColumn(const QModelIndex& from, const QModelIndex& to) const
{
    // Fitting every column again measures every row: a window that writes
    // a text into each of many rows would measure them all for each one.
    const int grid = view_->showGrid() ? 1 : 0;
    for (int c = from.column(); c <= to.column(); ++c) {
        const int section = view_->horizontalHeader()->sectionSize(c);
        for (int r = from.row(); r <= to.row(); ++r) {
            if (view_->sizeHintForIndex(model_->index(r, c)).width() + grid > section)
                return true;
        }
    }
    return false;
}

void DbGrid::applyWidths()
{
    const auto& list = model_->columns();
    QHeaderView* titles = view_->horizontalHeader();
    auto* delegate = static_cast<detail::GridDelegate*>(view_->itemDelegate());
    delegate->setMeasuring(true);
    const auto stopMeasuring = qScopeGuard([delegate] { delegate->setMeasuring(false); });
    int total = 0;
    int spareColumn = -1;
    for (int c = 0; c < list.size() && c < titles->count(); ++c) {
        // A title and a footer are never cut; with fitting, no cell either.
        int width = fitContent_ ? 0 : pixelsForChars(list[c].widthChars);
        width = qMax(width, titles->sectionSizeHint(c));
        if (footerVisible_)
            width = qMax(width, footerWidth(footer_->font(), footerText(list[c].field)));
        if (fitContent_)
            width = qMax(width, static_cast<const QAbstractItemView*>(view_)->sizeHintForColumn(c));
        titles->resizeSection(c, width);
        total += width;
        if (!spareField_.isEmpty() && fieldKey(list[c].field) == spareField_)
            spareColumn = c;
    }
    const int spare = view_->viewport()->width() - total;
    if (spareColumn >= 0 && spare > 0)
        titles->resizeSection(spareColumn, titles->sectionSize(spareColumn) + spare);
    if (total != contentWidth_) {
        contentWidth_ = total;
        updateGeometry();
    }
}

void DbGrid::requestWidths()
{
    if (fittingHolds_ > 0) {
        widthsPending_ = true;
        return;
    }
    widthsPending_ = false;
    applyWidths();
}

DbGrid::FittingHold::FittingHold(DbGrid* grid)
    : grid_(grid)
{
    ++grid_->fittingHolds_;
}

DbGrid::FittingHold::~FittingHold()
{
    if (!grid_ || --grid_->fittingHolds_ > 0 || !grid_->widthsPending_)
        return;
    grid_->requestWidths();
}

void DbGrid::setSpareWidthField(const QString& field)
{
    spareField_ = fieldKey(field);
    applyWidths();
}

void DbGrid::setFitColumnsToContent(bool fit)
{
    fitContent_ = fit;
    applyWidths();
}

QSize DbGrid::sizeHint() const
{
    // Wide enough for every column without scrolling.
    const QSize base = QFrame::sizeHint();
    int width = contentWidth_ + 2 * frameWidth() + 1;
    if (hasRowIndicator())
        width += indicator_->width();
    if (view_->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        width += view_->verticalScrollBar()->sizeHint().width();
    return QSize(width, base.height());
}

void DbGrid::applyFont()
{
    const QFontMetrics fm = view_->fontMetrics();
    indicator_->setDefaultSectionSize(rowHeight_ > 0 ? rowHeight_ : fm.height() + 6);
    indicator_->setFixedWidth(qMax(12, fm.height() * 3 / 4));
    applyWidths();
    if (footer_)
        footer_->refresh();
}

void DbGrid::setNumericField(const QString& field, int decimals, double minimum, double maximum)
{
    numberRules_.insert(fieldKey(field), NumberRule{decimals, minimum, maximum});
}

void DbGrid::clearNumericFields()
{
    numberRules_.clear();
}

bool DbGrid::isNumericField(const QString& field) const
{
    return numberRules_.contains(fieldKey(field));
}

void DbGrid::setDateField(const QString& field)
{
    dateFields_.insert(fieldKey(field));
    refreshCells();
}

// ---------------------------------------------------------------------------
// Current row: the grid and the query follow each other

int DbGrid::currentRow() const
{
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int DbGrid::currentColumn() const
{
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.column() : -1;
}

QString DbGrid::currentField() const
{
    return fieldAt(currentColumn());
}

void DbGrid::setCurrentColumn(int column)
{
    const int row = currentRow();
    if (row >= 0 && column >= 0 && column < model_->columnCount())
        view_->setCurrentIndex(model_->index(row, column));
}

int DbGrid::firstShownColumn() const
{
    const QHeaderView* titles = view_->horizontalHeader();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int column = titles->logicalIndex(visual);
        if (!titles->isSectionHidden(column))
            return column;
    }
    return -1;
}

void DbGrid::followQuery(int row)
{
    if (row < 0 || row >= model_->rowCount()) {
        indicator_->setMarkerRow(-1);
        return;
    }
    indicator_->setMarkerRow(row);
    int column = currentColumn();
    if (column < 0 && !fieldBeforeReset_.isEmpty())
        column = columnOfField(fieldBeforeReset_);
    if (column < 0)
        column = firstShownColumn();
    if (column < 0)
        return;
    fieldBeforeReset_.clear();
    const QModelIndex index = model_->index(row, column);
    if (view_->currentIndex() != index) {
        QScopedValueRollback guard(followingQuery_, true);
        view_->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | (rowSelect_ ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    }
}

void DbGrid::viewCurrentChanged(const QModelIndex& current)
{
    if (!current.isValid())
        return;
    indicator_->setMarkerRow(current.row());
    if (!followingQuery_ && query_ && query_->recNo() != current.row())
        query_->moveTo(current.row());
}

// ---------------------------------------------------------------------------
// Editing and keys

bool DbGrid::hasEditableColumn() const
{
    if (readOnly_ || model_->rowCount() == 0)
        return false;
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (model_->flags(model_->index(0, c)) & Qt::ItemIsEditable)
            return true;
    }
    return false;
}

void DbGrid::commitEdit(const QModelIndex& index, const QString& text)
{
    const QString field = fieldAt(index.column());
    const QVariant old = model_->data(index, Qt::EditRole);
    QVariant value;
    const auto numeric = numberRules_.constFind(fieldKey(field));
    if (numeric != numberRules_.constEnd()) {
        const std::optional<QVariant> parsed = parseNumber(text, numeric->decimals, numeric->minimum, numeric->maximum);
        if (!parsed) {
            editRefusedPending_ = true;
            // Queued: a message box shown from the slot must not take the
            // focus from an editor that is still being closed.
            QMetaObject::invokeMethod(
                this, [this, field, text] { emit editRefused(field, text); }, Qt::QueuedConnection);
            return;
        }
        if (sameNumber(old, *parsed))
            return;
        value = *parsed;
    } else {
        if (QueryModel::displayText(old) == text)
            return;
        value = text;
    }
    if (model_->setData(index, value, Qt::EditRole))
        emit fieldChanged(field, index.row());
}

void DbGrid::moveToNextCell()
{
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid())
        return;
    const QHeaderView* titles = view_->horizontalHeader();
    const bool editableOnly = hasEditableColumn();
    int row = current.row();
    int visual = titles->visualIndex(current.column());
    const int count = titles->count();
    for (int steps = 0; steps <= count; ++steps) {
        if (++visual >= count) {
            visual = 0;
            if (++row >= model_->rowCount())
                return;  // the last cell: stay
        }
        const int column = titles->logicalIndex(visual);
        if (titles->isSectionHidden(column))
            continue;
        const QModelIndex next = model_->index(row, column);
        if (editableOnly && !(model_->flags(next) & Qt::ItemIsEditable))
            continue;
        view_->setCurrentIndex(next);
        return;
    }
}

void DbGrid::requestDelete()
{
    const int row = currentRow();
    if (row < 0)
        return;
    if (confirm(deleteText_, this))
        emit deleteRequested(row);
}

void DbGrid::applyEditTriggers()
{
    view_->setEditTriggers(readOnly_ ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                                           | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // Tab walks the cells of a grid one edits; a read-only grid hands it to
    // the window's tab order.
    view_->setTabKeyNavigation(!readOnly_);
}

void DbGrid::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    applyEditTriggers();
}

bool DbGrid::holds(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void DbGrid::setCaption(const QString& caption)
{
    setAccessibleName(caption);
    view_->setAccessibleName(caption);
}

// ---------------------------------------------------------------------------
// Looks

void DbGrid::setTitleAlignment(const QString& field, Qt::Alignment alignment)
{
    titleAlignments_.insert(fieldKey(field), alignment);
    model_->titlesChanged();
}

void DbGrid::setTitleFont(const QFont& font)
{
    view_->horizontalHeader()->setFont(font);
}

QFont DbGrid::titleFont() const
{
    return view_->horizontalHeader()->font();
}

void DbGrid::setTitleColors(const QColor& background, const QColor& text)
{
    titleBackground_ = background;
    titleText_ = text;
    model_->titlesChanged();
}

void DbGrid::setCellStyler(CellStyler styler)
{
    styler_ = std::move(styler);
    refreshCells();
}

void DbGrid::refreshCells()
{
    view_->viewport()->update();
}

void DbGrid::setAlternateRowColor(const QColor& color)
{
    alternateColor_ = color;
    if (color.isValid()) {
        QPalette palette = view_->palette();
        palette.setColor(QPalette::AlternateBase, color);
        view_->setPalette(palette);
    }
    view_->setAlternatingRowColors(color.isValid());
}

void DbGrid::setRowSelect(bool rows)
{
    rowSelect_ = rows;
    view_->setSelectionBehavior(rows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    const QModelIndex current = view_->currentIndex();
    if (current.isValid())
        view_->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect
                                                     | (rows ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
}

void DbGrid::setRowIndicator(bool shown)
{
    indicator_->setVisible(shown);
}

bool DbGrid::hasRowIndicator() const
{
    return !indicator_->isHidden();
}

void DbGrid::setRowHeight(int pixels)
{
    rowHeight_ = qMax(0, pixels);
    applyFont();
}

void DbGrid::setScrollBarPolicies(Qt::ScrollBarPolicy horizontal, Qt::ScrollBarPolicy vertical)
{
    hPolicy_ = horizontal;
    view_->setVerticalScrollBarPolicy(vertical);
    layoutParts();
}

void DbGrid::setGridLines(GridLines lines)
{
    gridLines_ = lines;
    view_->setShowGrid(lines == AllLines);
    view_->viewport()->update();
}

void DbGrid::setWordWrap(bool wrap)
{
    view_->setWordWrap(wrap);
}

// ---------------------------------------------------------------------------
// Footer and layout

void DbGrid::setFooterVisible(bool visible)
{
    footerVisible_ = visible;
    layoutParts();
}

void DbGrid::setFooterHeight(int pixels)
{
    footerHeight_ = qMax(0, pixels);
    layoutParts();
}

void DbGrid::setFooterText(const QString& field, const QString& text)
{
    footerTexts_.insert(fieldKey(field), text);
    // Columns are fitted again only when the text does not fit its column.
    const int column = model_->columnOfField(field);
    if (footerVisible_ && column >= 0 && footerWidth(footer_->font(), text) > view_->horizontalHeader()->sectionSize(column))
        requestWidths();
    footer_->refresh();
}


QString DbGrid::footerText(const QString& field) const
{
    return footerTexts_.value(fieldKey(field));
}

void DbGrid::clearFooterTexts()
{
    footerTexts_.clear();
    footer_->refresh();
}

void DbGrid::setFooterColors(const QColor& background, const QColor& cell)
{
    footerBackground_ = background;
    footerCell_ = cell;
    footer_->refresh();
}

QRect DbGrid::footerDataArea() const
{
    if (!footerVisible_)
        return QRect();
    const QPoint origin = view_->viewport()->mapTo(this, QPoint(0, 0));
    return QRect(origin.x(), footer_->y(), view_->viewport()->width(), footerHeight_);
}

QRect DbGrid::footerColumnRect(int column) const
{
    const QHeaderView* titles = view_->horizontalHeader();
    if (!footerVisible_ || column < 0 || column >= titles->count() || titles->isSectionHidden(column))
        return QRect();
    const int margin = footerHeight_ >= 8 ? 2 : 0;
    const int left = view_->viewport()->mapTo(this, QPoint(0, 0)).x() + titles->sectionViewportPosition(column);
    return QRect(left, footer_->y() + margin, titles->sectionSize(column), footerHeight_ - 2 * margin);
}

QRect DbGrid::footerCellRect(int column) const
{
    return footerColumnRect(column).intersected(footerDataArea());
}

void DbGrid::mirrorHorizontalBar()
{
    const QScrollBar* own = view_->horizontalScrollBar();
    hbar_->setRange(own->minimum(), own->maximum());
    hbar_->setPageStep(own->pageStep());
    hbar_->setSingleStep(own->singleStep());
    hbar_->setValue(own->value());
    const bool wanted = hPolicy_ == Qt::ScrollBarAlwaysOn
        || (hPolicy_ == Qt::ScrollBarAsNeeded && own->maximum() > own->minimum());
    if (wanted != hbarShown_)
        layoutParts();
    footer_->refresh();
}

void DbGrid::layoutParts()
{
    if (layingOut_) {
        relayout_ = true;
        return;
    }
    QScopedValueRollback guard(layingOut_, true);
    // Placing the table changes its scroll range, which may show or hide the
    // bar under it: a few passes settle it without chasing an oscillation.
    for (int pass = 0; pass < 3; ++pass) {
        relayout_ = false;
        placeParts();
        if (!relayout_)
            break;
    }
}

void DbGrid::placeParts()
{
    const QRect area = contentsRect();
    const QScrollBar* own = view_->horizontalScrollBar();
    hbarShown_ = hPolicy_ == Qt::ScrollBarAlwaysOn
        || (hPolicy_ == Qt::ScrollBarAsNeeded && own->maximum() > own->minimum());
    const int barHeight = hbarShown_ ? hbar_->sizeHint().height() : 0;
    const int footerHeight = footerVisible_ ? footerHeight_ : 0;
    const int tableHeight = qMax(0, area.height() - footerHeight - barHeight);
    view_->setGeometry(area.x(), area.y(), area.width(), tableHeight);
    footer_->setGeometry(area.x(), area.y() + tableHeight, area.width(), footerHeight);
    footer_->setVisible(footerVisible_);
    // As wide as the data area, like the table's own bar: not under the
    // vertical scroll bar.
    const int barWidth = qBound(0, view_->viewport()->geometry().right() + 1, area.width());
    hbar_->setGeometry(area.x(), area.y() + tableHeight + footerHeight, barWidth, barHeight);
    hbar_->setVisible(hbarShown_);
    footer_->refresh();
}

void DbGrid::settleScrollBars()
{
    view_->doItemsLayout();
    QCoreApplication::sendPostedEvents(view_, QEvent::MetaCall);
}

void DbGrid::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    layoutParts();
}

bool DbGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        layoutParts();
        if (event->type() == QEvent::Resize && !spareField_.isEmpty())
            applyWidths();
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace widgets
