// The grid the windows show queries in, driven as a clerk drives it: real
// widgets on a real embedded database, keys and clicks through QTest.

#include "support/EmbeddedDb.h"

#include "widgets/DbGrid.h"
#include "widgets/GridDelegate.h"
#include "widgets/MessageBox.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <set>

namespace {

using widgets::DbGrid;
using widgets::GridColumn;

constexpr int kRows = 40;

// Lets queued work run: the item delegate commits an Enter queued, and the
// grid reports refused entries once the editor is gone.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The key presses that reach the window around the grid.
class KeyRecorder : public QObject {
public:
    QList<int> keys;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
};

// Pixels of a grabbed image inside `rect` dark enough to be text or a marker.
int darkPixels(const QImage& image, const QRect& rect)
{
    int count = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ++count;
    return count;
}

// Mean x of the dark pixels inside `rect`, relative to its left edge.
double darkCentre(const QImage& image, const QRect& rect)
{
    double sum = 0;
    int count = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                sum += x - rect.left();
                ++count;
            }
    return count ? sum / count : -1;
}

class DbGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString sql = QStringLiteral("Create Table Product (Code VarChar(10), Name NVarChar(60), Price Float, "
                                     "Qty Float, Note VarChar(40))\n");
        for (int i = 0; i < kRows; ++i)
            sql += QStringLiteral("Insert Into Product Values ('P%1', 'สินค้า %2', %3, %4, 'หมายเหตุ')\n")
                       .arg(i, 2, 10, QLatin1Char('0'))
                       .arg(i)
                       .arg(10 + i * 2.5)
                       .arg((i * 7) % 20);
        db.exec(sql);
        query = db.open(QStringLiteral("Select Code, Name, Price, Qty, Note From Product Order By Code"));

        grid = new DbGrid(&host);
        grid->setObjectName(QStringLiteral("grdOffer"));
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(grid);
        other = new QLineEdit(&host);
        layout->addWidget(other);
        host.resize(520, 340);

        grid->setQuery(query.get());
        grid->setColumns({{"Code", QStringLiteral("รหัส"), 8, false, Qt::AlignLeft | Qt::AlignVCenter},
                          {"Name", QStringLiteral("ชื่อสินค้า"), 30, false, Qt::AlignLeft | Qt::AlignVCenter},
                          {"Price", QStringLiteral("ราคา"), 10, true, Qt::AlignRight | Qt::AlignVCenter},
                          {"Qty", QStringLiteral("จำนวน"), 8, true, Qt::AlignRight | Qt::AlignVCenter},
                          {"Note", QStringLiteral("หมายเหตุ"), 20, false, Qt::AlignLeft | Qt::AlignVCenter}});
    }

    void showActive()
    {
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    QTableView* view() const { return grid->view(); }
    int col(const char* field) const { return grid->columnOfField(QLatin1String(field)); }
    int fieldIndex(const char* field) const { return query->fieldIndex(QLatin1String(field)); }

    void goTo(int row, const char* field)
    {
        view()->setCurrentIndex(grid->model()->index(row, col(field)));
        view()->setFocus();
    }

    QPoint cellCentre(int row, int column) const
    {
        return view()->visualRect(grid->model()->index(row, column)).center();
    }

    // The first key opens the editor (any key does); the rest go to it.
    QLineEdit* typeIntoCell(const QString& text)
    {
        QTest::keyClick(view(), text.at(0).toLatin1());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor && text.size() > 1)
            QTest::keyClicks(editor, text.mid(1));
        return editor;
    }

    bool editorOpen() const
    {
        for (const QLineEdit* editor : view()->viewport()->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return true;
        }
        return false;
    }

    // A title's horizontal span in grid coordinates, cut to what the
    // header shows.
    QRect titleSpan(int column) const
    {
        const QHeaderView* titles = view()->horizontalHeader();
        const QPoint left = titles->viewport()->mapTo(grid, QPoint(titles->sectionViewportPosition(column), 0));
        const QRect shown(titles->viewport()->mapTo(grid, QPoint(0, 0)), titles->viewport()->size());
        const QRect span(left.x(), shown.top(), titles->sectionSize(column), shown.height());
        return span.intersected(shown);
    }

    QScrollBar* barUnderFooter() const
    {
        for (QScrollBar* bar : grid->findChildren<QScrollBar*>()) {
            if (bar->orientation() == Qt::Horizontal && bar->isVisible())
                return bar;
        }
        return nullptr;
    }

    EmbeddedDb db;
    std::unique_ptr<db::Query> query;
    QWidget host;
    DbGrid* grid = nullptr;
    QLineEdit* other = nullptr;
};

// --- Columns ---------------------------------------------------------------

TEST_F(DbGridTest, ColumnWidthsAreCharactersOfTheGridFont)
{
    showActive();
    const auto width = [&](const char* field) { return view()->columnWidth(col(field)); };
    const int code = width("Code");  // 8 characters
    const int name = width("Name");  // 30 characters
    ASSERT_GT(name, code);
    EXPECT_EQ(name - code, 22 * view()->fontMetrics().averageCharWidth());

    QFont big = grid->font();
    if (big.pointSizeF() > 0)
        big.setPointSizeF(big.pointSizeF() * 2);
    else
        big.setPixelSize(big.pixelSize() * 2);
    grid->setFont(big);
    EXPECT_GT(view()->fontMetrics().averageCharWidth(), QFontMetrics(host.font()).averageCharWidth());
    EXPECT_GT(width("Code"), code);
    EXPECT_EQ(width("Name") - width("Code"), 22 * view()->fontMetrics().averageCharWidth());
    // Rows grow with the font too, or the bigger text would be cut.
    EXPECT_GE(view()->rowHeight(0), view()->fontMetrics().height());
}

TEST_F(DbGridTest, RebuiltColumnsAppearTogetherAndKeepTheQueryWhereItWas)
{
    showActive();
    query->moveTo(6);
    goTo(6, "Qty");
    QSignalSpy moved(query.get(), &db::Query::currentRowChanged);

    grid->clearColumns();
    grid->addColumn({"Qty", QStringLiteral("จำนวน"), 6, true, Qt::AlignRight | Qt::AlignVCenter});
    grid->addColumn({"Price", QStringLiteral("ราคา"), 12, false, Qt::AlignRight | Qt::AlignVCenter});
    // Still the old list on screen while the window builds the new one.
    EXPECT_EQ(grid->model()->columnCount(), 5);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("รหัส"));

    grid->applyColumns();
    ASSERT_EQ(grid->model()->columnCount(), 2);
    EXPECT_EQ(grid->fieldAt(1), "Price");
    EXPECT_EQ(view()->columnWidth(1) - view()->columnWidth(0), 6 * view()->fontMetrics().averageCharWidth());
    EXPECT_EQ(moved.count(), 0) << "a rebuild must not re-run the detail queries";
    EXPECT_EQ(query->recNo(), 6);
    EXPECT_EQ(grid->currentRow(), 6);
    EXPECT_EQ(grid->currentField(), "Qty") << "the clerk stays in the same field";
    // The rebuilt columns take their editable flags: Price is read-only now.
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);

    // The same list rebuilt again changes nothing; a list that differs in
    // one thing only (the title) is applied.
    QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
    const QVector<GridColumn> same = grid->columns();
    grid->setColumns(same);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid->currentField(), "Qty");
    QVector<GridColumn> retitled = same;
    retitled[1].title = QStringLiteral("ราคาขาย");
    grid->setColumns(retitled);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("ราคาขาย"));
}

TEST_F(DbGridTest, FittedColumnsMatchQtsOwnMeasureWhenWrappingAndAfterAFontChange)
{
    grid->setFitColumnsToContent(true);
    grid->setWordWrap(true);
    showActive();
    const int note = col("Note");
    QHeaderView* titles = view()->horizontalHeader();
    const auto fitted = [&] { return qMax(titles->sectionSizeHint(note), static_cast<QAbstractItemView*>(view())->sizeHintForColumn(note)); };
    const auto write = [&](const QString& text) {
        const DbGrid::FittingHold hold(grid);
        for (int row = 0; row < kRows; ++row)
            query->setValueAt(row, fieldIndex("Note"), row == 1 ? text : QStringLiteral("สั้น"));
    };
    // Words a wrapping cell could break between: a fitted column is still one line wide.
    write(QStringLiteral("ส่งของ วันอังคาร และ วันศุกร์ ก่อนเที่ยง"));
    EXPECT_EQ(titles->sectionSize(note), fitted());
    const int small = titles->sectionSize(note);

    // The same texts in a larger font: measured again, not taken from before.
    QFont larger = grid->font();
    larger.setPointSize(larger.pointSize() + 6);
    grid->setFont(larger);
    write(QStringLiteral("ส่งของ วันอังคาร และ วันศุกร์ ก่อนเที่ยง"));
    EXPECT_GT(titles->sectionSize(note), small);
    EXPECT_EQ(titles->sectionSize(note), fitted());
}

TEST_F(DbGridTest, FittedColumnsFollowTextsWrittenUnderAFittingHold)
{
    grid->setFitColumnsToContent(true);
    grid->setFooterVisible(true);
    showActive();
    const int note = col("Note");
    QHeaderView* titles = view()->horizontalHeader();
    // What Qt itself measures, every cell laid out: nothing may be cut.
    const auto fitted = [&] { return qMax(titles->sectionSizeHint(note), static_cast<QAbstractItemView*>(view())->sizeHintForColumn(note)); };

    // The same text in every row but one, which shows it in bold: a grid
    // that measured each text once regardless of its font would cut it.
    const QString repeated = QStringLiteral("หมายเหตุที่ยาวกว่าเดิมมากสำหรับทุกแถว");
    grid->setCellStyler([](const QString& field, int row, const QVariant&) {
        widgets::CellStyle style;
        if (field.compare(QLatin1String("Note"), Qt::CaseInsensitive) == 0 && row == kRows - 1) {
            QFont bold;
            bold.setBold(true);
            bold.setPointSize(bold.pointSize() + 4);
            style.font = bold;
        }
        return style;
    });
    const int before = titles->sectionSize(note);
    const QString total = QStringLiteral("รวมทั้งหมดของหมายเหตุที่ยาวที่สุดในตาราง");
    {
        const DbGrid::FittingHold hold(grid);
        for (int row = 0; row < kRows; ++row)
            query->setValueAt(row, fieldIndex("Note"), repeated);
        grid->setFooterText(QStringLiteral("Note"), total);
        EXPECT_EQ(titles->sectionSize(note), before) << "fitted once, when the hold ends";
    }
    EXPECT_GE(titles->sectionSize(note), fitted());
    EXPECT_GE(titles->sectionSize(note), QFontMetrics(grid->font()).horizontalAdvance(total));
    const int wide = titles->sectionSize(note);

    // Shorter texts and no footer: the column narrows to exactly what Qt
    // measures, the bold row included.
    grid->clearFooterTexts();
    {
        const DbGrid::FittingHold hold(grid);
        for (int row = 0; row < kRows; ++row)
            query->setValueAt(row, fieldIndex("Note"), row % 2 ? QStringLiteral("สั้น") : QStringLiteral("ยาวขึ้นนิด"));
    }
    EXPECT_LT(titles->sectionSize(note), wide);
    EXPECT_EQ(titles->sectionSize(note), fitted());

    // Without a hold a wider text refits at once.
    query->setValueAt(0, fieldIndex("Note"), repeated + repeated);
    EXPECT_EQ(titles->sectionSize(note), fitted());
}

// --- Current row -----------------------------------------------------------

TEST_F(DbGridTest, GridAndQueryShareTheCurrentRow)
{
    auto detail = db.open(QStringLiteral("Select Name, Price From Product Where Code = :Code"),
                          {{"Code", query->asString("Code")}});
    int runs = 0;
    QObject::connect(query.get(), &db::Query::currentRowChanged, detail.get(), [&] {
        detail->setParam(QStringLiteral("Code"), query->asString("Code"));
        detail->open();
        ++runs;
    });
    showActive();
    EXPECT_EQ(grid->currentRow(), 0);
    view()->setFocus();

    QTest::keyClick(view(), Qt::Key_Down);
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(query->recNo(), 2);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(detail->asString("Name"), query->asString("Name"));

    QTest::keyClick(view(), Qt::Key_Up);
    EXPECT_EQ(query->recNo(), 1);
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(detail->asString("Name"), query->valueAt(1, fieldIndex("Name")).toString());

    // Moving within the row is not a new row: the details stay.
    QTest::keyClick(view(), Qt::Key_Right);
    EXPECT_EQ(runs, 3);

    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCentre(5, col("Name")));
    EXPECT_EQ(query->recNo(), 5);
    EXPECT_EQ(runs, 4);
    EXPECT_DOUBLE_EQ(detail->asFloat("Price"), query->asFloat("Price"));

    // The window moves the query: the grid follows, same column, and brings
    // the row into view.
    ASSERT_TRUE(query->locate(QStringLiteral("Code"), query->valueAt(kRows - 1, fieldIndex("Code"))));
    EXPECT_EQ(grid->currentRow(), kRows - 1);
    EXPECT_EQ(grid->currentField(), "Name");
    EXPECT_TRUE(view()->viewport()->rect().contains(cellCentre(kRows - 1, col("Name"))));
    EXPECT_EQ(runs, 5);

    // Re-running the query puts both on its first row.
    query->open();
    EXPECT_EQ(query->recNo(), 0);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->currentField(), "Name");
}

TEST_F(DbGridTest, KeysReachRowsBeyondTheFirstBlockOfALongResult)
{
    db.exec(QStringLiteral("Create Table D (D Int Not Null Primary Key)\n"
                           "Insert Into D Values (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)"));
    query = db.open(QStringLiteral("Select 'L' + Right('000' + Convert(VarChar(4), A.D + 10 * B.D + 100 * C.D), 4) "
                                   "Code, N'ชื่อ' Name, 1.0 Price, 1.0 Qty, '' Note From D A, D B, D C Order By 1"));
    grid->setQuery(query.get());
    showActive();
    view()->setFocus();
    const int block = db::Query::kFetchBlock;
    ASSERT_LT(grid->model()->rowCount(), 1000) << "the grid starts on the rows read";

    for (int i = 0; i < block + 5; ++i)
        QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(grid->currentRow(), block + 5);
    EXPECT_EQ(query->recNo(), block + 5);
    EXPECT_EQ(query->asString("Code"), QStringLiteral("L%1").arg(block + 5, 4, 10, QLatin1Char('0')));

    QTest::keyClick(view(), Qt::Key_PageDown);
    EXPECT_GT(query->recNo(), block + 5);
    EXPECT_EQ(query->asString("Code"), QStringLiteral("L%1").arg(query->recNo(), 4, 10, QLatin1Char('0')));

    QTest::keyClick(view(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(query->recNo(), 999);
    EXPECT_EQ(query->asString("Code"), "L0999");
    EXPECT_EQ(grid->model()->rowCount(), 1000);
    QTest::keyClick(view(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(query->recNo(), 0);
}

TEST_F(DbGridTest, RowIndicatorMarksOnlyTheCurrentRow)
{
    grid->setRowSelect(true);
    showActive();
    QHeaderView* indicator = view()->verticalHeader();
    const auto marked = [&](int row) {
        const QImage image = indicator->grab().toImage();
        const QRect section(0, indicator->sectionViewportPosition(row), indicator->width(), indicator->sectionSize(row));
        return darkPixels(image, section.adjusted(2, 2, -2, -2)) > 0;
    };
    EXPECT_TRUE(marked(0));
    EXPECT_FALSE(marked(1));

    query->moveTo(3);
    EXPECT_TRUE(marked(3));
    EXPECT_FALSE(marked(0));

    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_TRUE(marked(4));
    EXPECT_FALSE(marked(3));
    // Row select: the whole current row is selected.
    EXPECT_TRUE(view()->selectionModel()->isRowSelected(4, QModelIndex()));

    const int withIndicator = view()->viewport()->x();
    grid->setRowIndicator(false);
    EXPECT_LT(view()->viewport()->x(), withIndicator) << "the data moves into the indicator's place";
}

// --- Footer ----------------------------------------------------------------

TEST_F(DbGridTest, FooterTextsStayUnderTheirColumns)
{
    grid->setFooterVisible(true);
    grid->setFooterHeight(30);
    grid->setFooterText(QStringLiteral("PRICE"), QStringLiteral("1,250.00"));
    grid->setFooterText(QStringLiteral("qty"), QStringLiteral("12"));
    host.resize(360, 300);  // narrower than the columns: it scrolls sideways
    showActive();

    const auto expectAligned = [&](const char* when) {
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            const QRect title = titleSpan(c);
            const QRect cell = grid->footerCellRect(c);
            EXPECT_EQ(cell.isEmpty(), title.isEmpty()) << when << ", column " << c;
            if (title.isEmpty() || cell.isEmpty())
                continue;
            EXPECT_EQ(cell.left(), title.left()) << when << ", column " << c;
            EXPECT_EQ(cell.right(), title.right()) << when << ", column " << c;
        }
    };
    const auto hasText = [&](int column) {
        const QRect cell = grid->footerCellRect(column);
        return darkPixels(grid->grab().toImage(), cell.adjusted(3, 3, -3, -3)) > 0;
    };

    // Right under the data, as high as asked, the bar below it.
    const QRect data = view()->geometry();
    const QRect price = grid->footerCellRect(col("Price"));
    EXPECT_GT(price.top(), data.bottom());
    EXPECT_LE(price.bottom(), data.bottom() + 30);
    EXPECT_GE(price.height(), 30 - 6);
    QScrollBar* bar = barUnderFooter();
    ASSERT_NE(bar, nullptr) << "the columns are wider than the grid";
    EXPECT_GT(bar->geometry().top(), price.bottom());
    expectAligned("at first");
    EXPECT_TRUE(hasText(col("Price")));
    EXPECT_FALSE(hasText(col("Code")));
    EXPECT_FALSE(hasText(col("Name")));

    // The clerk narrows the name column.
    QHeaderView* titles = view()->horizontalHeader();
    const int priceLeft = titleSpan(col("Price")).left();
    titles->resizeSection(col("Name"), titles->sectionSize(col("Name")) - 60);
    EXPECT_EQ(titleSpan(col("Price")).left(), priceLeft - 60);
    expectAligned("after a resize");

    // And scrolls to the right end with the bar under the footer.
    bar->setValue(bar->maximum());
    EXPECT_GT(view()->horizontalHeader()->offset(), 0);
    expectAligned("scrolled");
    EXPECT_TRUE(hasText(col("Qty")));
    EXPECT_FALSE(hasText(col("Note")));
    // The right-aligned amount sits in the right part of its cell.
    const QRect qty = grid->footerCellRect(col("Qty"));
    EXPECT_GT(darkCentre(grid->grab().toImage(), qty), qty.width() / 2.0);

    // Texts belong to fields and survive a rebuild that moves them.
    grid->setColumns({{"Qty", "", 8, true, Qt::AlignRight}, {"Price", "", 10, true, Qt::AlignRight}});
    expectAligned("rebuilt");
    EXPECT_TRUE(hasText(0));
    EXPECT_TRUE(hasText(1));
}

// --- Titles and colours ----------------------------------------------------

TEST_F(DbGridTest, TitlesReportClicksAndTakeTheirAlignment)
{
    grid->setTitleAlignment(QStringLiteral("PRICE"), Qt::AlignRight | Qt::AlignVCenter);
    QFont small = grid->font();
    small.setBold(true);
    grid->setTitleFont(small);
    grid->setTitleColors(QColor(192, 192, 192), QColor(0, 0, 128));
    showActive();
    query->moveTo(5);
    QSignalSpy clicked(grid, &DbGrid::titleClicked);
    QHeaderView* titles = view()->horizontalHeader();
    const auto section = [&](int c) {
        return QRect(titles->sectionViewportPosition(c), 0, titles->sectionSize(c), titles->height());
    };

    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, section(col("Qty")).center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), "Qty");
    EXPECT_EQ(clicked[0][1].toInt(), col("Qty"));
    EXPECT_EQ(query->recNo(), 5) << "a title click is not a row move";
    EXPECT_EQ(grid->currentRow(), 5);

    const QImage image = titles->grab().toImage();
    const QRect price = section(col("Price")).adjusted(2, 2, -2, -2);
    const QRect name = section(col("Name")).adjusted(2, 2, -2, -2);
    EXPECT_GT(darkCentre(image, price), price.width() / 2.0);
    EXPECT_LT(darkCentre(image, name), name.width() / 2.0);
}

TEST_F(DbGridTest, RowStatesAndAlternateRowsColourThePaintedCells)
{
    const QColor alternate(240, 250, 255);
    const QColor over(255, 200, 200);
    grid->setAlternateRowColor(alternate);
    // Rows with more than ten in stock are marked in the quantity column.
    grid->setCellStyler([&](const QString& field, int, const QVariant& value) {
        widgets::CellStyle style;
        if (field.compare(QLatin1String("Qty"), Qt::CaseInsensitive) == 0 && db::variantToFloat(value) > 10)
            style.background = over;
        return style;
    });
    showActive();
    const QImage image = view()->viewport()->grab().toImage();
    const QColor base = view()->palette().color(QPalette::Base);

    int marked = 0;
    for (int row = 1; row < 8; ++row) {  // row 0 holds the current cell
        const bool heavy = query->valueAt(row, fieldIndex("Qty")).toDouble() > 10;
        const QColor plain = row % 2 ? alternate : base;
        // Left edge of the right-aligned quantity: background, not text.
        const QRect qty = view()->visualRect(grid->model()->index(row, col("Qty")));
        EXPECT_EQ(QColor(image.pixel(qty.left() + 3, qty.center().y())), heavy ? over : plain) << "row " << row;
        // Other fields are not the styler's concern here.
        const QRect code = view()->visualRect(grid->model()->index(row, col("Code")));
        EXPECT_EQ(QColor(image.pixel(code.right() - 3, code.center().y())), plain) << "row " << row;
        marked += heavy;
    }
    EXPECT_GT(marked, 0);
    EXPECT_LT(marked, 7);
}

// Cell texts are drawn from layouts the grid keeps between paints. Each
// state below is painted twice by the grid (the second paint from kept
// layouts) and once by Qt's own delegate, and the pictures must agree to
// the pixel: a kept layout drawn at the wrong place, in the wrong font or
// uncut where Qt would elide it shows up here.
TEST_F(DbGridTest, KeptCellTextsPaintExactlyAsQtsOwnDelegate)
{
    grid->setAlternateRowColor(QColor(240, 250, 255));
    showActive();
    auto* own = dynamic_cast<widgets::detail::GridDelegate*>(view()->itemDelegate());
    ASSERT_NE(own, nullptr);
    QWidget* cells = view()->viewport();
    const auto expectPaintedAsQtPaints = [&](const char* state) {
        SCOPED_TRACE(state);
        cells->grab();
        const QImage kept = cells->grab().toImage();
        QStyledItemDelegate qts;
        view()->setItemDelegate(&qts);
        const QImage reference = cells->grab().toImage();
        view()->setItemDelegate(own);
        EXPECT_GT(darkPixels(reference, reference.rect()), 200) << "texts were painted";
        ASSERT_EQ(kept.size(), reference.size());
        int differing = 0;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x)
                differing += kept.pixel(x, y) != reference.pixel(x, y);
        EXPECT_EQ(differing, 0);
    };
    const int name = col("Name");
    const int price = col("Price");

    // Thai names, codes and right-aligned numbers; the current row selected.
    grid->setRowSelect(true);
    query->moveTo(3);
    expectPaintedAsQtPaints("first paint");
    EXPECT_GT(own->texts().size(), 3 * 5) << "the texts of the rows shown are kept";

    // Wrapping as the inquiry's panels have it: single lines all the same.
    grid->setWordWrap(true);
    expectPaintedAsQtPaints("wrapping on");

    // A cell whose text changes, a price with more digits, the next row.
    query->setValueAt(1, fieldIndex("Name"), QStringLiteral("น้ำปลาแท้ ตราปลาหมึก"));
    query->setValueAt(2, fieldIndex("Price"), 123456.75);
    query->moveTo(4);
    expectPaintedAsQtPaints("texts changed");

    // Narrower columns: names and prices Qt elides (or wraps) are not drawn whole.
    QHeaderView* titles = view()->horizontalHeader();
    titles->resizeSection(name, 45);
    titles->resizeSection(price, 30);
    expectPaintedAsQtPaints("columns narrowed, wrapping");
    grid->setWordWrap(false);
    expectPaintedAsQtPaints("columns narrowed, eliding");

    // A wider right-aligned column moves its numbers right.
    titles->resizeSection(price, 140);
    expectPaintedAsQtPaints("right-aligned column widened");

    // A larger bold font: nothing laid out in the old one is reused.
    QFont larger = grid->font();
    larger.setPointSize(larger.pointSize() + 5);
    larger.setBold(true);
    grid->setFont(larger);
    expectPaintedAsQtPaints("font changed");

    // The focused current cell keeps Qt's drawing order for its frame.
    view()->setFocus();
    expectPaintedAsQtPaints("grid focused");
}

TEST_F(DbGridTest, ColumnLinesWithoutRowLines)
{
    grid->setGridLines(DbGrid::ColumnLines);
    showActive();
    query->moveTo(0);
    const QImage image = view()->viewport()->grab().toImage();
    const QColor base = view()->palette().color(QPalette::Base);
    // Rows 2 and 3 are white (no alternate colour set) and not current.
    const QRect cell = view()->visualRect(grid->model()->index(2, col("Name")));
    const QRect below = view()->visualRect(grid->model()->index(3, col("Name")));
    const QColor rightEdge(image.pixel(cell.right(), cell.center().y()));
    EXPECT_NE(rightEdge, base) << "a line between the columns";
    // Between the two rows, away from any text: no line.
    for (int y = cell.bottom() - 1; y <= below.top() + 1; ++y)
        EXPECT_EQ(QColor(image.pixel(cell.right() - 4, y)), base) << "y " << y;

    grid->setGridLines(DbGrid::RowLines);
    const QImage rows = view()->viewport()->grab().toImage();
    EXPECT_EQ(QColor(rows.pixel(cell.right(), cell.center().y())), base);
    EXPECT_NE(QColor(rows.pixel(cell.right() - 4, cell.bottom())), base);
}

TEST_F(DbGridTest, AQueryDestroyedFirstLeavesAnEmptyGrid)
{
    grid->setFooterVisible(true);
    showActive();
    goTo(3, "Qty");
    query.reset();
    EXPECT_EQ(grid->query(), nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->currentRow(), -1);
    QTest::keyClick(view(), Qt::Key_Down);
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);  // nothing to ask about
    EXPECT_FALSE(grid->grab().isNull());
}

// --- Editing ---------------------------------------------------------------

TEST_F(DbGridTest, NumericEntriesAreStoredInTheQueryOrRefused)
{
    grid->setNumericField(QStringLiteral("Qty"), 0);
    grid->setNumericField(QStringLiteral("Price"), 2);
    showActive();
    QSignalSpy changed(grid, &DbGrid::fieldChanged);
    QSignalSpy refused(grid, &DbGrid::editRefused);

    // Enter stores the number in the query's row.
    goTo(2, "Qty");
    QLineEdit* editor = typeIntoCell(QStringLiteral("3"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "3") << "typing replaces the old value";
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_DOUBLE_EQ(query->valueAt(2, fieldIndex("Qty")).toDouble(), 3.0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toString(), "Qty");
    EXPECT_EQ(changed[0][1].toInt(), 2);
    EXPECT_EQ(grid->model()->data(grid->model()->index(2, col("Qty"))).toString(), "3");

    // The same value again changes nothing, so the window need not recount.
    editor = typeIntoCell(QStringLiteral("3"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(changed.count(), 1);

    // Tab stores too, with the clerk's thousands separator, and moves on.
    goTo(5, "Price");
    editor = typeIntoCell(QStringLiteral("1,250.5"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    settle();
    EXPECT_DOUBLE_EQ(query->valueAt(5, fieldIndex("Price")).toDouble(), 1250.5);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(grid->currentField(), "Qty");
    if (auto* next = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        QTest::keyClick(next, Qt::Key_Escape);

    // Not a number: the old value stays, the window hears of it, and the
    // clerk is still on that cell.
    const QVariant old = query->valueAt(4, fieldIndex("Price"));
    goTo(4, "Price");
    editor = typeIntoCell(QStringLiteral("abc"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(refused.count(), 0) << "reported only once the editor has closed";
    settle();
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused[0][0].toString(), "Price");
    EXPECT_EQ(refused[0][1].toString(), "abc");
    EXPECT_EQ(query->valueAt(4, fieldIndex("Price")), old);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(grid->currentRow(), 4);
    EXPECT_EQ(grid->currentField(), "Price");
    EXPECT_FALSE(editorOpen());

    // Leaving the cell with the mouse is refused the same way.
    editor = typeIntoCell(QStringLiteral("12x"));
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCentre(6, col("Name")));
    settle();
    EXPECT_EQ(refused.count(), 2);
    EXPECT_EQ(query->valueAt(4, fieldIndex("Price")), old);

    // More decimals than the field keeps are refused, not rounded away.
    goTo(4, "Qty");
    editor = typeIntoCell(QStringLiteral("2.5"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    ASSERT_EQ(refused.count(), 3);
    EXPECT_EQ(refused[2][1].toString(), "2.5");
    editor = typeIntoCell(QStringLiteral("4.000"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(refused.count(), 3) << "a whole number written with decimals is whole";
    EXPECT_DOUBLE_EQ(query->valueAt(4, fieldIndex("Qty")).toDouble(), 4.0);
}

TEST_F(DbGridTest, ReadOnlyCellsOpenNoEditor)
{
    showActive();
    QSignalSpy changed(grid, &DbGrid::fieldChanged);
    const QString code = query->valueAt(3, fieldIndex("Code")).toString();

    // Every code starts with P: typing it must neither edit nor jump rows.
    goTo(3, "Code");
    QTest::keyClick(view(), 'P');
    QTest::keyClick(view(), Qt::Key_F2);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellCentre(3, col("Code")));
    EXPECT_EQ(QApplication::focusWidget(), view());
    EXPECT_FALSE(editorOpen());
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(query->recNo(), 3);
    EXPECT_EQ(query->valueAt(3, fieldIndex("Code")).toString(), code);

    // A read-only grid ignores what its columns say.
    grid->setReadOnly(true);
    goTo(3, "Qty");
    QTest::keyClick(view(), '7');
    EXPECT_EQ(QApplication::focusWidget(), view());
    EXPECT_EQ(changed.count(), 0);

    grid->setReadOnly(false);
    EXPECT_NE(typeIntoCell(QStringLiteral("7")), nullptr) << "the column itself is editable";
}

// --- Keys ------------------------------------------------------------------

TEST_F(DbGridTest, EnterMovesToTheNextEditableCellOnlyWhenAsked)
{
    KeyRecorder keys;
    host.installEventFilter(&keys);
    showActive();

    // Off: Enter belongs to the window.
    goTo(1, "Price");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(keys.keys, QList<int>{Qt::Key_Return});
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentField(), "Price");

    grid->setEnterMovesToNextCell(true);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(grid->currentField(), "Qty");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 2) << "past the read-only columns onto the next row";
    EXPECT_EQ(grid->currentField(), "Price");
    EXPECT_EQ(query->recNo(), 2);
    EXPECT_EQ(keys.keys, QList<int>{Qt::Key_Return});

    // Enter after typing stores the value and moves on.
    grid->setNumericField(QStringLiteral("Price"), 2);
    QLineEdit* editor = typeIntoCell(QStringLiteral("4"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_DOUBLE_EQ(query->valueAt(2, fieldIndex("Price")).toDouble(), 4.0);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(grid->currentField(), "Qty");

    // The last editable cell of the last row is as far as it goes.
    goTo(kRows - 1, "Qty");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), kRows - 1);
    EXPECT_EQ(grid->currentField(), "Qty");
}

TEST_F(DbGridTest, CtrlDeleteAsksAndLeavesDeletingToTheWindow)
{
    bool answer = false;
    QStringList asked;
    auto previous = widgets::setMessageHandler([&](widgets::MessageKind kind, const QString& text) {
        EXPECT_EQ(kind, widgets::MessageKind::Confirmation);
        asked.append(text);
        return answer;
    });
    struct Restore {
        widgets::MessageHandler handler;
        ~Restore() { widgets::setMessageHandler(std::move(handler)); }
    } restore{std::move(previous)};

    grid->setDeleteConfirmText(QStringLiteral("ลบรายการ ?"));
    // The window's own Ctrl+Delete must not take the gesture from the grid.
    QAction windowDelete(&host);
    windowDelete.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    host.addAction(&windowDelete);
    QSignalSpy windowDeletes(&windowDelete, &QAction::triggered);
    showActive();
    QSignalSpy requested(grid, &DbGrid::deleteRequested);
    goTo(6, "Name");

    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(asked, QStringList{QStringLiteral("ลบรายการ ?")});
    EXPECT_EQ(requested.count(), 0);

    answer = true;
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested[0][0].toInt(), 6);
    EXPECT_EQ(query->recordCount(), kRows) << "deleting is the window's business";
    EXPECT_EQ(windowDeletes.count(), 0);

    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(asked.size(), 2) << "plain Delete is not the gesture";

    grid->setReadOnly(true);
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_EQ(windowDeletes.count(), 1) << "a read-only grid leaves the keys to the window";

    // So does a window that reads the keys itself.
    host.removeAction(&windowDelete);
    KeyRecorder keys;
    host.installEventFilter(&keys);
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(keys.keys.contains(Qt::Key_Delete));
    EXPECT_EQ(asked.size(), 2);
}

// --- Focus and accessibility -----------------------------------------------

TEST_F(DbGridTest, FocusSignalsCountTheCellEditorAsTheGrid)
{
    grid->setCaption(QStringLiteral("รายการเสนอราคา"));
    showActive();
    other->setFocus();
    QSignalSpy in(grid, &DbGrid::focusIn);
    QSignalSpy out(grid, &DbGrid::focusOut);

    grid->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), view());
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(out.count(), 0);

    goTo(0, "Qty");
    QLineEdit* editor = typeIntoCell(QStringLiteral("2"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(out.count(), 0) << "an editor in the grid is still the grid";

    other->setFocus();
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(in.count(), 1);

    // What a screen reader says on entering the grid, and the window's name.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->text(QAccessible::Name), QStringLiteral("รายการเสนอราคา"));
    EXPECT_EQ(grid->objectName(), "grdOffer");
}

} // namespace
