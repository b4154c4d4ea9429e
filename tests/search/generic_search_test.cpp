// The generic search window as its callers use it: a statement of theirs,
// a key column, and for the delete gesture a table. Cancelled and settled
// documents of the site make the colours, the refused choice and the
// permanent delete visible; the delete is tried with every gesture and row
// that must not reach it.

#include "SearchSite.h"

#include "search/TFrSearch.h"
#include "search/TitleSort.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QStringList kOrders{"Select Id, SoNo, Delflag, DelRemark, Clear From SoHd", "Order By SoNo"};

class GenericSearch : public SearchSite {
protected:
    void SetUp() override
    {
        SearchSite::SetUp();
        TFrSearch::SortState() = search::TitleSort();
    }

    // As a caller: its statement, key column and table, then the window.
    int open(const QStringList& statement, const QString& key, const QString& table,
             const std::function<void(TFrSearch&)>& step)
    {
        TFrSearch* look = TFrSearch::instance();
        look->QSearch.setSql(statement);
        look->KeyField = key;
        look->TableName = table;
        onNextModal([&](QDialog&) { step(*look); });
        return look->exec();
    }

    // The current row by keys: Enter searches, then Down to the row.
    static void searchAndGoTo(int row)
    {
        pressChecked(Qt::Key_Return);
        for (int i = 0; i < row; ++i)
            pressChecked(Qt::Key_Down);
    }

    static QColor cellColour(widgets::DbGrid* grid, int row)
    {
        const QRect cell = grid->view()->visualRect(grid->model()->index(row, 0));
        const QImage image = grid->view()->viewport()->grab().toImage();
        // The right end of the cell holds no text.
        return image.pixelColor(cell.right() - 3, cell.center().y());
    }

    static void rightClickWith(widgets::DbGrid* grid, int row, Qt::KeyboardModifiers modifiers,
                               Qt::MouseButton button = Qt::RightButton)
    {
        try {
            QTest::mousePress(grid->view()->viewport(), button, modifiers, cellPoint(grid, row));
            QTest::mouseRelease(grid->view()->viewport(), button, modifiers, cellPoint(grid, row));
        } catch (const db::DbError& e) {
            ADD_FAILURE() << "database error: " << qPrintable(e.message());
        }
    }
};

TEST_F(GenericSearch, ShowsEmptyRunsTheCallersStatementOnEnterAndHandsBackTheKey)
{
    const int result = open(kOrders, "SoNo", QString(), [&](TFrSearch& look) {
        EXPECT_FALSE(look.QSearch.isOpen()) << "the window shows with an empty grid";
        EXPECT_FOCUS("Code");
        typeHere("so");
        EXPECT_EQ(look.Code->text(), "SO") << "upper-case entry";
        pressChecked(Qt::Key_Return);
        EXPECT_FOCUS("DgSearch");
        EXPECT_EQ(column(look.grid(), "SoNo"), (QStringList{"SO1", "SO2", "SO3", "SO4"}));
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(FrSearch->ResultValue, "SO1");
    EXPECT_EQ(FrSearch->Code->text(), "SO") << "the caller may read what was typed";
}

TEST_F(GenericSearch, CancelledDocumentIsRefusedWithItsReasonAndTheWindowStaysOpen)
{
    MessageRecorder messages;
    bool stayedOpen = false;
    const int result = open(kOrders, "SoNo", QString(), [&](TFrSearch& look) {
        searchAndGoTo(1);
        pressChecked(Qt::Key_Return);
        stayedOpen = look.isVisible();
        EXPECT_TRUE(look.ResultValue.isEmpty());
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(FrSearch->ResultValue.isEmpty());
    EXPECT_EQ(messages.texts,
              (QStringList{QStringLiteral("เอกสารถูกยกเลิกแล้ว"), QStringLiteral("สาเหตุยกเลิก : ลูกค้ายกเลิก")}));

    // Without a remark column only the first message; in English for a
    // user whose language is not Thai.
    asUser(2);
    messages.texts.clear();
    open({"Select Id, SoNo, DelFlag From SoHd", "Order By SoNo"}, "SoNo", QString(), [&](TFrSearch&) {
        searchAndGoTo(1);
        pressChecked(Qt::Key_Return);
        pressChecked(Qt::Key_Up);
        pressChecked(Qt::Key_Return);  // another row may still be chosen
    });
    EXPECT_EQ(messages.texts, QStringList{"Document Was Deleted"});
    EXPECT_EQ(FrSearch->ResultValue, "SO1");
}

TEST_F(GenericSearch, ChoosingFromAnEmptyListReportsCancel)
{
    const int result = open({"Select Id, SoNo From SoHd Where SoNo = 'none'", "Order By SoNo"}, "SoNo", QString(),
                            [&](TFrSearch& look) {
                                pressChecked(Qt::Key_Return);
                                EXPECT_FOCUS("Code") << "no rows: the focus stays";
                                look.BtOk->click();
                            });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(FrSearch->ResultValue.isEmpty());
}

TEST_F(GenericSearch, TitleClicksSortAscendingDescendingAscendingAndTheStateOutlivesTheWindow)
{
    const QStringList byNumber{"SO1", "SO2", "SO3", "SO4"};
    QStringList reversed = byNumber;
    std::reverse(reversed.begin(), reversed.end());
    open({"Select Id, SoNo, DelRemark Remark From SoHd", "Where Id > 0 order by Id"}, "SoNo", QString(),
         [&](TFrSearch& look) {
             pressChecked(Qt::Key_Return);
             clickTitle(look.grid(), "SoNo");
             EXPECT_EQ(look.QSearch.sql().at(1), "Where Id > 0 Order By 2");
             EXPECT_EQ(column(look.grid(), "SoNo"), byNumber);
             clickTitle(look.grid(), "SoNo");
             EXPECT_EQ(column(look.grid(), "SoNo"), reversed);
             clickTitle(look.grid(), "SoNo");
             EXPECT_EQ(column(look.grid(), "SoNo"), byNumber);
             clickTitle(look.grid(), "Id");
             EXPECT_EQ(look.QSearch.sql().at(1), "Where Id > 0 Order By 1") << "another title starts ascending";
             clickTitle(look.grid(), "Remark");
             EXPECT_EQ(look.QSearch.sql().at(1), "Where Id > 0 Order By 1") << "a remark column does not sort";
             pressChecked(Qt::Key_Escape);
         });
    // A new statement, a new opening: the state of the run goes on.
    open({"Select Id, SoNo From SoHd", "Order By SoNo"}, "SoNo", QString(), [&](TFrSearch& look) {
        pressChecked(Qt::Key_Return);
        clickTitle(look.grid(), "Id");
        EXPECT_EQ(look.QSearch.sql().at(1), "Order By 1 Desc") << "the second click on Id, in another opening";
        pressChecked(Qt::Key_Escape);
    });
    // Without an order line a click only searches again.
    open({"Select Id, SoNo From SoHd Where Id < 3"}, "SoNo", QString(), [&](TFrSearch& look) {
        pressChecked(Qt::Key_Return);
        clickTitle(look.grid(), "SoNo");
        EXPECT_EQ(look.QSearch.sql(), QStringList{"Select Id, SoNo From SoHd Where Id < 3"});
        EXPECT_EQ(look.QSearch.recordCount(), 2);
        pressChecked(Qt::Key_Escape);
    });
}

TEST_F(GenericSearch, RowsAreColouredByDelFlagElseClearElseActive)
{
    const QColor red(255, 0, 0), blue(0, 0, 255);
    open({"Select Id, SoNo, Clear, Delflag DelFlag, Case When Id = 1 Then 'N' Else 'Y' End Active From SoHd",
          "Order By Id"},
         "SoNo", QString(), [&](TFrSearch& look) {
             searchAndGoTo(3);  // the grid's selection colour marks SO4, the current row
             const QColor window = look.palette().color(QPalette::Window);
             EXPECT_EQ(cellColour(look.grid(), 0), window) << "SO1: Active N is not looked at when DelFlag exists";
             EXPECT_EQ(cellColour(look.grid(), 1), red) << "SO2 is cancelled";
             EXPECT_EQ(cellColour(look.grid(), 2), window) << "SO3 is settled, but only DelFlag counts";
             pressChecked(Qt::Key_Up);
             EXPECT_EQ(cellColour(look.grid(), 3), red) << "SO4: cancelled wins over settled";
             pressChecked(Qt::Key_Escape);
         });
    open({"Select Id, SoNo, Clear, Case When Id = 1 Then 'N' Else 'Y' End Active From SoHd", "Order By Id"}, "SoNo",
         QString(), [&](TFrSearch& look) {
             pressChecked(Qt::Key_Return);
             EXPECT_EQ(cellColour(look.grid(), 2), blue) << "no DelFlag: Clear decides";
             EXPECT_NE(cellColour(look.grid(), 0), red) << "Active is not looked at when Clear exists";
             pressChecked(Qt::Key_Escape);
         });
    open({"Select Id, SoNo, Case When Id = 2 Then 'N' Else 'Y' End Active From SoHd", "Order By Id"}, "SoNo",
         QString(), [&](TFrSearch& look) {
             pressChecked(Qt::Key_Return);
             EXPECT_EQ(cellColour(look.grid(), 1), red) << "a record not in use";
             EXPECT_NE(cellColour(look.grid(), 2), red);
             pressChecked(Qt::Key_Escape);
         });
}

TEST_F(GenericSearch, DeleteGestureReachesOnlyACancelledDocumentAfterTwoYes)
{
    MessageRecorder answers({true, false});  // the second question is answered No
    const int shipsOfTheOthers = count("Select Count(*) From SoShip Where SoHd <> 2");
    open(kOrders, "SoNo", QStringLiteral(" sohd "), [&](TFrSearch& look) {
        searchAndGoTo(0);
        rightClickWith(look.grid(), 0, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(answers.questions.isEmpty()) << "SO1 is not cancelled: nothing is asked";
        pressChecked(Qt::Key_Down);  // SO2, cancelled
        rightClickWith(look.grid(), 1, Qt::NoModifier);
        rightClickWith(look.grid(), 1, Qt::ControlModifier);
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier, Qt::LeftButton);
        EXPECT_TRUE(answers.questions.isEmpty()) << "no other gesture reaches the delete";
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(answers.questions, (QStringList{"Confirm Delete #1/2 ?", "Confirm Delete #2/2 ?"}));
        EXPECT_EQ(count("Select Count(*) From SoHd Where Id = 2"), 1) << "a No keeps it";
        answers.questions.clear();
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier);  // Yes, Yes
        EXPECT_EQ(answers.questions.size(), 2);
        EXPECT_EQ(column(look.grid(), "SoNo"), (QStringList{"SO1", "SO3", "SO4"})) << "the list runs again";
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_EQ(count("Select Count(*) From SoHd Where Id = 2"), 0);
    EXPECT_EQ(count("Select Count(*) From SoShip Where SoHd = 2"), 0) << "the order's ship rows go first";
    EXPECT_EQ(count("Select Count(*) From SoShip"), shipsOfTheOthers) << "no other order's ship rows";
    EXPECT_EQ(count("Select Count(*) From SoHd"), 3);
}

TEST_F(GenericSearch, DeleteNeedsATableAnIdAndADelflagAndTakesOnlyItsOwnTable)
{
    MessageRecorder answers;  // every question answered Yes
    // No table named: the gesture does nothing.
    open(kOrders, "SoNo", QString(), [&](TFrSearch& look) {
        searchAndGoTo(1);
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier);
        pressChecked(Qt::Key_Escape);
    });
    // No Delflag column in the result: nothing.
    open({"Select Id, SoNo From SoHd", "Order By SoNo"}, "SoNo", QStringLiteral("SoHd"), [&](TFrSearch& look) {
        searchAndGoTo(1);
        rightClickWith(look.grid(), 1, Qt::ControlModifier | Qt::ShiftModifier);
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_TRUE(answers.questions.isEmpty());
    EXPECT_EQ(count("Select Count(*) From SoHd"), 4);

    // Any other table: its one row, and no ship rows.
    const int ships = count("Select Count(*) From SoShip") + count("Select Count(*) From IvShip");
    open({"Select Id, Code, 'Y' Delflag From LotNo Where Code = 'L-MAR'", "Order By Code"}, "Code",
         QStringLiteral("LotNo"), [&](TFrSearch& look) {
             searchAndGoTo(0);
             rightClickWith(look.grid(), 0, Qt::ControlModifier | Qt::ShiftModifier);
             EXPECT_EQ(look.QSearch.recordCount(), 0);
             pressChecked(Qt::Key_Escape);
         });
    EXPECT_EQ(count("Select Count(*) From LotNo"), 3);
    EXPECT_EQ(count("Select Count(*) From SoShip") + count("Select Count(*) From IvShip"), ships);
}

TEST_F(GenericSearch, InvoiceGoesWithItsShipRowsAndAFailedBatchLeavesTheListAsItWas)
{
    MessageRecorder answers;
    open({"Select Id, IvNo, Delflag From IvHd", "Order By IvNo"}, "IvNo", QStringLiteral("IVHD"), [&](TFrSearch& look) {
        searchAndGoTo(0);
        rightClickWith(look.grid(), 0, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(column(look.grid(), "IvNo"), QStringList{"IV2"});
        // IV2 still has its lines: the server refuses the header.
        bool refused = false;
        try {
            QTest::mousePress(look.grid()->view()->viewport(), Qt::RightButton,
                              Qt::ControlModifier | Qt::ShiftModifier, cellPoint(look.grid(), 0));
        } catch (const db::DbError&) {
            refused = true;
        }
        QTest::mouseRelease(look.grid()->view()->viewport(), Qt::RightButton, Qt::NoModifier, cellPoint(look.grid(), 0));
        EXPECT_TRUE(refused) << "the error goes on to the error handler";
        EXPECT_EQ(column(look.grid(), "IvNo"), QStringList{"IV2"}) << "the list is as it was";
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_EQ(count("Select Count(*) From IvHd Where Id = 1"), 0);
    EXPECT_EQ(count("Select Count(*) From IvShip Where IvHd = 1"), 0);
    EXPECT_EQ(count("Select Count(*) From IvHd Where Id = 2"), 1);
}

TEST_F(GenericSearch, EnglishCaptionsForAUserWhoseLanguageIsNotThai)
{
    asUser(2);
    open(kOrders, "SoNo", QString(), [&](TFrSearch& look) {
        EXPECT_EQ(look.BtSearch->text(), "Search");
        EXPECT_EQ(look.BtOk->text(), "Choose");
        EXPECT_EQ(look.BtCancel->text(), "Cancel");
        EXPECT_EQ(look.BtOk->font().pointSize(), 8);
        EXPECT_TRUE(look.grid()->toolTip().isEmpty());
        pressChecked(Qt::Key_Escape);
    });
    asUser(1);
    open(kOrders, "SoNo", QString(), [&](TFrSearch& look) {
        EXPECT_EQ(look.BtOk->text(), QStringLiteral("เลือก"));
        EXPECT_EQ(look.BtCancel->text(), QStringLiteral("ไม่เลือก"));
        EXPECT_TRUE(look.grid()->toolTip().contains(QStringLiteral("สีแดง : เอกสารยกเลิก")));
        pressChecked(Qt::Key_Escape);
    });
}

} // namespace
