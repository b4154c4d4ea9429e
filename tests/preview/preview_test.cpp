// The two preview windows on real files and a real site: the zoom window
// clicked through its buttons while the picture file changes underneath it
// (each step must read the file again to show the change), and the
// production-order detail window opened modally as the product search opens
// it, its totals computed by hand from the rows below.

#include "support/ModalDialog.h"
#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "preview/TFrPreviewDetailMfg.h"
#include "preview/TFrPreviewTools.h"
#include "widgets/DbGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- zoom window

class PreviewTools : public ::testing::Test {
protected:
    void SetUp() override { file = site.folder() + "/picture.png"; }
    void TearDown() override { window.reset(); }

    // Writes the picture file anew in one colour.
    void paint(const QColor& colour, QSize size = QSize(150, 120))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(file, "PNG"));
    }

    TFrPreviewTools& open()
    {
        window = std::make_unique<TFrPreviewTools>();
        window->PictureFile = file;
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    QColor shownColour() const { return window->Image1->pixmap().toImage().pixelColor(10, 10); }

    TestSite site;
    QString file;
    std::unique_ptr<TFrPreviewTools> window;
};

TEST_F(PreviewTools, ShowsThePictureAtItsOwnSizeWithTheFileInTheCaptionAndAFullGauge)
{
    paint(Qt::red);
    TFrPreviewTools& w = open();
    EXPECT_EQ(w.pictureSize(), QSize(150, 120));
    EXPECT_EQ(w.StartWidth, 150);
    EXPECT_EQ(w.StartHeight, 120);
    EXPECT_EQ(w.windowTitle(), "Preview .: " + file + " :.");
    EXPECT_EQ(w.Gauge1->value(), 100);
    EXPECT_EQ(shownColour(), QColor(Qt::red));
    // Closed and shown again on another file: its size is the new start.
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    paint(Qt::blue, QSize(200, 100));
    w.show();
    EXPECT_EQ(w.pictureSize(), QSize(200, 100));
    EXPECT_EQ(w.StartWidth, 200);
    EXPECT_EQ(w.Gauge1->value(), 100);
}

TEST_F(PreviewTools, ZoomStepsOfAHundredPixelsRedrawnFromTheFileNeverBelowTheStart)
{
    paint(Qt::red);
    TFrPreviewTools& w = open();
    auto click = [](QToolButton* b) { QTest::mouseClick(b, Qt::LeftButton); };

    click(w.BtZoomIn);
    EXPECT_EQ(w.pictureSize(), QSize(150, 120)) << "nothing below the starting size";

    paint(Qt::blue);
    click(w.BtZoomOut);
    EXPECT_EQ(w.pictureSize(), QSize(250, 220));
    EXPECT_EQ(shownColour(), QColor(Qt::blue)) << "each step reads the file again";

    paint(Qt::green);
    click(w.BtZoomIn);
    EXPECT_EQ(w.pictureSize(), QSize(150, 120));
    EXPECT_EQ(shownColour(), QColor(Qt::green));

    paint(Qt::yellow);
    click(w.BtZoomIn);
    EXPECT_EQ(w.pictureSize(), QSize(150, 120));
    EXPECT_EQ(shownColour(), QColor(Qt::green)) << "a refused step draws nothing";

    for (int i = 0; i < 3; ++i)
        click(w.BtZoomOut);
    EXPECT_EQ(w.pictureSize(), QSize(450, 420));
    paint(Qt::cyan);
    click(w.BtReset);
    EXPECT_EQ(w.pictureSize(), QSize(150, 120));
    EXPECT_EQ(shownColour(), QColor(Qt::cyan));

    click(w.BtClose);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(PreviewTools, AFileThatIsNoPictureIsAnError)
{
    EXPECT_THROW(TFrPreviewTools::readPicture(site.folder() + "/missing.png"), db::DbError);
    QFile text(site.folder() + "/notes.jpg");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_THROW(TFrPreviewTools::readPicture(text.fileName()), db::DbError);
}

// ---------------------------------------------------------------- production detail

// G100 counts in ชิ้น (small) and โหล (12); G200 has no small unit; G300 has
// no open order. Finished rows of another product on WO1 must not count.
const char* kWorkOrders = R"(
Set Identity_Insert Misc On
Insert Into Misc (Id, GroupCode, Code, Description) Values (1, 'PTYPE', 'GIFT', N'ของขวัญ')
Set Identity_Insert Misc Off
Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name) Values (1, 'C001', N'ร้านสมใจ')
Insert Into Customer (Id, Code, Name) Values (2, 'C002', N'ร้าน O''Neil')
Set Identity_Insert Customer Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, PType) Values (1, 'G100', N'กระเช้าผลไม้', 1)
Insert Into Product (Id, Code, ThaiName, PType) Values (2, 'G200', N'ชุดสั่งทำ', 1)
Insert Into Product (Id, Code, ThaiName, PType) Values (3, 'G300', N'  กระเช้าว่าง  ', 1)
Set Identity_Insert Product Off
Set Identity_Insert ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (10, 1, N'ชิ้น', 1, 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (11, 1, N'โหล', 12, 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (20, 2, N'ชุด', 1, 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (30, 3, N'กล่อง', 1, 'Y')
Set Identity_Insert ProductUnits Off
Set Identity_Insert SoHd On
Insert Into SoHd (Id, SoNo, SoDate, Customer) Values (1, 'SO-0001', '2026-11-01', 2)
Set Identity_Insert SoHd Off
Set Identity_Insert WorkOrderHd On
Insert Into WorkOrderHd (Id, WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, Clear, Delflag)
  Values (1, 'WO1', '2026-11-05', 1, Null, 1, 11, 2, 'N', 'N')
Insert Into WorkOrderHd (Id, WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, Clear, Delflag)
  Values (2, 'WO2', '2026-11-02', 2, 1, 1, 10, 1500.5, 'N', 'N')
Insert Into WorkOrderHd (Id, WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, Clear, Delflag)
  Values (3, 'WO3', '2026-11-03', 1, Null, 1, 10, 99, 'Y', 'N')
Insert Into WorkOrderHd (Id, WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, Clear, Delflag)
  Values (4, 'WO4', '2026-11-04', 1, Null, 1, 10, 77, 'N', 'Y')
Insert Into WorkOrderHd (Id, WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, Clear, Delflag)
  Values (6, 'WO6', '2026-11-06', 1, Null, 2, 20, 3, 'N', 'N')
Set Identity_Insert WorkOrderHd Off
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (1, 1, 10, 5, 1)
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (1, 1, 11, 1, 12)
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (1, 3, 30, 100, 1)
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (3, 1, 10, 99, 1)
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (6, 2, 20, 5, 1)
)";

class ProductionDetail : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        site.business(QString::fromUtf8(kWorkOrders));
        DMConfig = &config;
        DM = &dm;
        config.GetCompanyConfig("ACME");
        dm.setDatabaseArgument("ACME");
        config.CheckRight(12, 1);
    }
    void TearDown() override
    {
        DM = nullptr;
        DMConfig = nullptr;
    }

    // What the window showed for one product, read while it was open.
    struct Shown {
        QString header;
        QStringList sums;
        QStringList orders;
        bool gridFocused = false;
        bool codeBoxHidden = false;
        QString closeCaption;
    };

    Shown show(const QString& code)
    {
        Shown shown;
        onNextModal([&](QDialog& dialog) {
            auto& w = static_cast<TFrPreviewDetailMfg&>(dialog);
            shown.header = w.LbGetProdDesc->text();
            shown.sums = {w.LbSum01->text(), w.LbSum02->text(), w.LbSum03->text()};
            for (int r = 0; r < w.QSearch.recordCount(); ++r)
                shown.orders << db::variantToText(w.QSearch.valueAt(r, w.QSearch.fieldIndex("WorkOrderNo")));
            shown.gridFocused = focusIsIn("DgSearch");
            shown.codeBoxHidden = !w.Code->isVisible() && !w.BtOk->isVisible() && !w.BtSearch->isVisible();
            shown.closeCaption = w.BtCancel->text();
            press(Qt::Key_Escape);
        });
        TFrPreviewDetailMfg::showFor(code, nullptr);
        return shown;
    }

    TestSite site;
    TDMConfig config;
    TDM dm;
};

TEST_F(ProductionDetail, OpenOrdersOnlyWithTotalsInTheSmallUnit)
{
    const Shown shown = show("G100");
    EXPECT_EQ(shown.header, QString::fromUtf8("รหัสสินค้า : G100   ชื่อสินค้า : กระเช้าผลไม้"));
    EXPECT_EQ(shown.orders, (QStringList{"WO2", "WO1"})) << "by date; cleared WO3 and cancelled WO4 left out";
    // Ordered 2 โหล + 1500.5 ชิ้น; finished 5 + 1 x 12 on WO1 (product 3's row
    // on WO1 is not this product's); outstanding the difference.
    EXPECT_EQ(shown.sums, (QStringList{QString::fromUtf8("จำนวนสั่งผลิต รวม : 1,524.5 ชิ้น"),
                                       QString::fromUtf8("จำนวนผลิตเสร็จ รวม : 17 ชิ้น"),
                                       QString::fromUtf8("จำนวนคงค้าง รวม : 1,507.5 ชิ้น")}));
    EXPECT_TRUE(shown.gridFocused);
    EXPECT_TRUE(shown.codeBoxHidden);
    EXPECT_EQ(shown.closeCaption, "Close");
}

TEST_F(ProductionDetail, WithoutASmallUnitTheTotalsNameNoUnitAndANegativeKeepsItsSign)
{
    const Shown shown = show(" G200 ");
    EXPECT_EQ(shown.orders, QStringList{"WO6"});
    // Finished more than ordered: 3 - 5.
    EXPECT_EQ(shown.sums, (QStringList{QString::fromUtf8("จำนวนสั่งผลิต รวม : 3 "),
                                       QString::fromUtf8("จำนวนผลิตเสร็จ รวม : 5 "),
                                       QString::fromUtf8("จำนวนคงค้าง รวม : -2 ")}));
}

TEST_F(ProductionDetail, NoOpenOrderShowsZeroTotalsAndAnUnknownCodeNoHeader)
{
    Shown shown = show("G300");
    EXPECT_TRUE(shown.orders.isEmpty());
    EXPECT_EQ(shown.header, QString::fromUtf8("รหัสสินค้า : G300   ชื่อสินค้า : กระเช้าว่าง"));
    EXPECT_EQ(shown.sums, (QStringList{QString::fromUtf8("จำนวนสั่งผลิต รวม : 0 กล่อง"),
                                       QString::fromUtf8("จำนวนผลิตเสร็จ รวม : 0 กล่อง"),
                                       QString::fromUtf8("จำนวนคงค้าง รวม : 0 กล่อง")}));
    shown = show("NOPE'; Drop Table Product --");
    EXPECT_TRUE(shown.orders.isEmpty());
    EXPECT_EQ(shown.header, QString());
    EXPECT_EQ(site.businessRows("Select Count(*) From Product"), QStringList{"3"});
}

TEST_F(ProductionDetail, TheGridNeitherChoosesNorSortsAndEnterClosesWithNothingHandedBack)
{
    int result = -1;
    QStringList orderAfterClicks;
    QStringList statementAfterClicks;
    bool openAfterDoubleClick = false;
    onNextModal([&](QDialog& dialog) {
        auto& w = static_cast<TFrPreviewDetailMfg&>(dialog);
        const QStringList statement = w.QSearch.sql();
        QTableView* view = w.grid()->view();
        const int workQnty = w.grid()->columnOfField("WorkQnty");
        const int x = view->horizontalHeader()->sectionViewportPosition(workQnty) + 5;
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(view->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        for (int r = 0; r < w.QSearch.recordCount(); ++r)
            orderAfterClicks << db::variantToText(w.QSearch.valueAt(r, w.QSearch.fieldIndex("WorkOrderNo")));
        statementAfterClicks = w.QSearch.sql() == statement ? QStringList{"unchanged"} : w.QSearch.sql();
        const QPoint cell = view->visualRect(view->model()->index(0, 0)).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
        openAfterDoubleClick = w.isVisible();
        press(Qt::Key_Return);  // the grid has the focus
    });
    TFrPreviewDetailMfg window;
    window.DetailProductCode = "G100";
    result = window.exec();
    EXPECT_EQ(orderAfterClicks, (QStringList{"WO2", "WO1"})) << "title clicks do not re-sort";
    EXPECT_EQ(statementAfterClicks, QStringList{"unchanged"});
    EXPECT_TRUE(openAfterDoubleClick) << "a double-click chooses nothing";
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(window.ResultValue.isEmpty());
}

} // namespace
