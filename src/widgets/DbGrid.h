#pragma once

#include "widgets/QueryModel.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QVector>

#include <functional>
#include <limits>
#include <optional>

class QScrollBar;
class QTableView;

namespace db {
class Query;
}

namespace widgets {

namespace detail {
class GridModel;
class GridView;
class GridDelegate;
class GridFooter;
class IndicatorHeader;
}

// How one cell differs from the grid's own look; unset parts keep it.
struct CellStyle {
    std::optional<QColor> background;
    std::optional<QColor> foreground;
    std::optional<QFont> font;
};

// Asked while cells are painted: the field, the query row and its stored
// value. Windows use it to show row states; keep it cheap.
using CellStyler = std::function<CellStyle(const QString& field, int row, const QVariant& value)>;

// The grid every window shows a query in: a table over the query's rows, a
// footer row under the data with one text per column, and a horizontal
// scroll bar below the footer, all inside one frame.
//
// The grid and the query keep one current row: moving in the grid moves the
// query (db::Query::moveTo), moving the query moves the grid, so whatever
// listens to the query's currentRowChanged follows the clerk at once.
//
// Edits go to the query's rows in memory only. A GridColumn says nothing of
// the field's type, so numeric columns are declared with setNumericField();
// the values a query fetched are not looked at, since display columns are
// often fetched as blank text to be filled in later.
class DbGrid : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool enterMovesToNextCell READ enterMovesToNextCell WRITE setEnterMovesToNextCell)
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool rowSelect READ rowSelect WRITE setRowSelect)
    Q_PROPERTY(bool rowIndicator READ hasRowIndicator WRITE setRowIndicator)
    Q_PROPERTY(bool footerVisible READ isFooterVisible WRITE setFooterVisible)
    Q_PROPERTY(int footerHeight READ footerHeight WRITE setFooterHeight)
public:
    enum GridLine { NoLines = 0, ColumnLines = 1, RowLines = 2, AllLines = ColumnLines | RowLines };
    Q_DECLARE_FLAGS(GridLines, GridLine)
    Q_FLAG(GridLines)

    explicit DbGrid(QWidget* parent = nullptr);
    ~DbGrid() override;

    // --- Data -----------------------------------------------------------
    void setQuery(db::Query* query);
    db::Query* query() const { return query_; }
    QueryModel* model() const;
    // The table itself, for what windows need beyond this class (tests
    // click into its viewport).
    QTableView* view() const;

    // --- Columns ----------------------------------------------------------
    // Shows these columns at once. Widths are in characters of the grid's
    // font and follow it when the font changes.
    void setColumns(const QVector<GridColumn>& columns);
    // The same in steps, for windows that rebuild the list from the user's
    // rights: the grid keeps showing the old columns until applyColumns(),
    // which swaps them in a single repaint.
    void clearColumns();
    void addColumn(const GridColumn& column);
    void applyColumns();
    const QVector<GridColumn>& columns() const;  // as shown
    int columnOfField(const QString& field) const;  // -1 when not shown
    QString fieldAt(int column) const;
    // Pixel width of a column `chars` characters wide in the current font.
    int pixelsForChars(int chars) const;
    // Titles and footer texts are never cut: a column is at least as wide
    // as they are. With fitting on, a column is as wide as its widest text
    // (title, cells, footer) instead of its width in characters, and the
    // grid's size hint asks for room for all of them.
    void setFitColumnsToContent(bool fit);
    // The column that takes the width the others leave, so that the grid
    // shows no empty band at its right.
    void setSpareWidthField(const QString& field);
    QSize sizeHint() const override;
    // While a hold lasts, what would fit the columns again (a reset, cell
    // or footer texts written) fits them once when the last hold ends, so
    // a window that writes into many rows measures each row once.
    class FittingHold {
    public:
        explicit FittingHold(DbGrid* grid);
        ~FittingHold();
        FittingHold(const FittingHold&) = delete;
        FittingHold& operator=(const FittingHold&) = delete;

    private:
        QPointer<DbGrid> grid_;
    };

    // Shows or hides the scroll bars now for what the grid holds (the table
    // does it in a later round of the event loop, which paints the grid and
    // moves what stands around it once more).
    void settleScrollBars();

    // Fields edited as numbers: an entry that is not a number, has more
    // than `decimals` places (0: a whole number; negative: any) or lies
    // outside the range is refused. Entries are stored as doubles, as
    // typed; an empty entry stores NULL.
    void setNumericField(const QString& field, int decimals = 2,
                         double minimum = -std::numeric_limits<double>::max(),
                         double maximum = std::numeric_limits<double>::max());
    void clearNumericFields();
    bool isNumericField(const QString& field) const;
    // Fields shown as dates (QueryModel::dateText) whatever the engine
    // fetched them as: a timestamp in text comes out as a date.
    void setDateField(const QString& field);

    // --- Current cell -----------------------------------------------------
    int currentRow() const;  // -1 when none
    int currentColumn() const;
    QString currentField() const;
    void setCurrentColumn(int column);

    // --- Footer -----------------------------------------------------------
    // Hidden until turned on; texts are kept by field across column rebuilds.
    void setFooterVisible(bool visible);
    bool isFooterVisible() const { return footerVisible_; }
    void setFooterHeight(int pixels);  // 30 unless set
    int footerHeight() const { return footerHeight_; }
    void setFooterText(const QString& field, const QString& text);
    QString footerText(const QString& field) const;
    void clearFooterTexts();
    void setFooterColors(const QColor& background, const QColor& cell);  // silver and white unless set
    // Where a column's footer cell is drawn, in grid coordinates, cut to
    // the visible data area; empty when the footer or the column is not
    // shown.
    QRect footerCellRect(int column) const;

    // --- Titles -----------------------------------------------------------
    // Titles are left-aligned unless set per field (kept across rebuilds).
    void setTitleAlignment(const QString& field, Qt::Alignment alignment);
    void setTitleFont(const QFont& font);
    QFont titleFont() const;
    void setTitleColors(const QColor& background, const QColor& text);

    // --- Look -------------------------------------------------------------
    void setCellStyler(CellStyler styler);
    // Repaints the cells, for when what the styler answers has changed.
    void refreshCells();
    // An invalid colour turns alternating rows off.
    void setAlternateRowColor(const QColor& color);
    QColor alternateRowColor() const { return alternateColor_; }
    void setRowSelect(bool rows);
    bool rowSelect() const { return rowSelect_; }
    // The narrow column left of the data marking the current row.
    void setRowIndicator(bool shown);
    bool hasRowIndicator() const;
    void setRowHeight(int pixels);  // 0: from the font
    void setScrollBarPolicies(Qt::ScrollBarPolicy horizontal, Qt::ScrollBarPolicy vertical);
    void setGridLines(GridLines lines);
    GridLines gridLines() const { return gridLines_; }
    void setWordWrap(bool wrap);

    // --- Editing and keys -------------------------------------------------
    // A read-only grid opens no editor, whatever its columns say, and
    // ignores the delete gesture.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }
    // Enter moves to the next editable cell (the next cell when no column
    // is editable), on to the next row after the last; otherwise Enter is
    // left to the window.
    void setEnterMovesToNextCell(bool on) { enterMoves_ = on; }
    bool enterMovesToNextCell() const { return enterMoves_; }
    // Asked (through widgets::confirm) before deleteRequested is emitted.
    void setDeleteConfirmText(const QString& text) { deleteText_ = text; }

    // Accessible name of the grid and its table: the caption of its panel.
    void setCaption(const QString& caption);

signals:
    void titleClicked(const QString& field, int column);
    // The clerk changed a value (not emitted when an entry leaves it as it
    // was, nor for changes the program makes through the query).
    void fieldChanged(const QString& field, int row);
    // An entry was refused and the cell shows its old value again. Delivered
    // once the editor has closed, so a slot may show a message box.
    void editRefused(const QString& field, const QString& text);
    // Ctrl+Delete, confirmed. What deleting means is the window's business.
    void deleteRequested(int row);
    // The keyboard focus came into the grid (its table or a cell editor)
    // from elsewhere, or left it.
    void focusIn();
    void focusOut();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class detail::GridModel;
    friend class detail::GridView;
    friend class detail::GridDelegate;
    friend class detail::GridFooter;

    void layoutParts();
    void placeParts();
    void mirrorHorizontalBar();
    QRect footerColumnRect(int column) const;  // not cut to the data area
    QRect footerDataArea() const;
    void applyWidths();
    void requestWidths();  // now, or when the last FittingHold ends
    bool widerThanItsColumn(const QModelIndex& from, const QModelIndex& to) const;
    void applyFont();
    void applyEditTriggers();
    void followQuery(int row);
    void viewCurrentChanged(const QModelIndex& current);
    void commitEdit(const QModelIndex& index, const QString& text);
    void moveToNextCell();
    void requestDelete();
    bool hasEditableColumn() const;
    int firstShownColumn() const;
    bool holds(const QWidget* widget) const;

    detail::GridModel* model_ = nullptr;
    detail::GridView* view_ = nullptr;
    detail::IndicatorHeader* indicator_ = nullptr;
    detail::GridFooter* footer_ = nullptr;
    QScrollBar* hbar_ = nullptr;  // shown below the footer, mirrors the table's own
    QPointer<db::Query> query_;

    QVector<GridColumn> pending_;
    struct NumberRule {
        int decimals;
        double minimum;
        double maximum;
    };
    QHash<QString, NumberRule> numberRules_;  // by lower-case field
    QSet<QString> dateFields_;             // lower-case
    QString spareField_;                   // lower-case
    QHash<QString, QString> footerTexts_;
    QHash<QString, Qt::Alignment> titleAlignments_;
    CellStyler styler_;
    QColor titleBackground_;
    QColor titleText_;
    QColor footerBackground_;
    QColor footerCell_;
    QColor alternateColor_;

    Qt::ScrollBarPolicy hPolicy_ = Qt::ScrollBarAsNeeded;
    GridLines gridLines_ = AllLines;
    QString deleteText_;
    QString fieldBeforeReset_;
    int footerHeight_ = 30;
    int contentWidth_ = 0;  // of all columns, as last applied
    int rowHeight_ = 0;
    int fittingHolds_ = 0;
    bool widthsPending_ = false;
    bool footerVisible_ = false;
    bool fitContent_ = false;
    bool hbarShown_ = false;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool enterMoves_ = false;
    bool followingQuery_ = false;
    bool layingOut_ = false;
    bool relayout_ = false;
    bool editRefusedPending_ = false;
    bool hadFocus_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DbGrid::GridLines)

} // namespace widgets
