// The inquiry window driven with real key presses on a real site: the
// clerk's typical call, not-found codes, rights, pictures, the offer list and
// printing to PDF. Keys go where the focus is; the focus moves only by keys
// (tests/inquiry/Clerk.h), so a key that does nothing fails a test.

#include "Clerk.h"
#include "InquiryFixture.h"

#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "inquiry/TFrInquiryPrice.h"
#include "widgets/DbGrid.h"
#include "widgets/Light.h"
#include "widgets/MessageBox.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace clerk;

const char* kData = R"(
Set Identity_Insert Tax On
Insert Into Tax (Id, Code, Rate) Values (1, 'V7', 7)
Set Identity_Insert Tax Off
Set Identity_Insert Warehouse On
Insert Into Warehouse (Id, Code, Name) Values (1, 'MAIN', N'คลังใหญ่')
Insert Into Warehouse (Id, Code, Name) Values (2, 'SHOP', N'หน้าร้าน')
Insert Into Warehouse (Id, Code, Name) Values (3, 'RMA', N'ของเสีย')
Set Identity_Insert Warehouse Off
Set Identity_Insert Misc On
Insert Into Misc (Id, Code, Description, GroupCode) Values (19, 'RETAIL', N'ราคาปลีก', 'PRICETYPE')
Insert Into Misc (Id, Code, Description, GroupCode) Values (20, 'WHOLE', N'ราคาส่ง', 'PRICETYPE')
Set Identity_Insert Misc Off
Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name) Values (1, 'C001', N'ร้านสมใจ')
Insert Into Customer (Id, Code, Name) Values (2, 'C0010', N'ร้านสมใจ สาขา 2')
Insert Into Customer (Id, Code, Name) Values (3, 'C002', N'ร้านมั่งมี')
Set Identity_Insert Customer Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh, Picture1, Picture1Desc, Picture2, Picture3, Picture3Desc)
  Values (1, 'A100', N'น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร', 'P', 1, 1, 'a100.jpg', N'ขวดหน้า', '  ', 'sub\a100-side.bmp', N'ขวดข้าง')
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh, Picture1)
  Values (2, 'A1001', N'น้ำดื่มแพ็ค', 'P', 1, 1, 'missing.jpg')
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh)
  Values (3, 'CUT1', N'ABCDEFGHIJKLMNOPQRน้ำ', 'P', 1, 1)
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh)
  Values (4, 'CUT2', N'ABCDEFGHIJKLMNOPQRS😀x', 'P', 1, 1)
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh)
  Values (5, 'CUT3', N'ABCDEFGHIJKLMNOPQก่ำx', 'P', 1, 1)
Set Identity_Insert Product Off
Set Identity_Insert ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, UnitDesc, PurcPrice, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (10, 1, N'ขวด', 1, '8850000000011', N'ขวดเดียว', 9.5, 'Y', 'Y', 'N', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, UnitDesc, PurcPrice, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (11, 1, N'โหล', 12, '8850000000028', NULL, 110, 'Y', 'Y', 'Y', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (20, 2, N'แพ็ค', 1, 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (30, 3, N'ชิ้น', 1, 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (40, 4, N'ชิ้น', 1, 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (50, 5, N'ชิ้น', 1, 'Y', 'Y', 'Y', 'Y')
Set Identity_Insert ProductUnits Off
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 10, 19, 15)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 11, 19, 170)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 11, 20, 160)
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount) Values (1, 1, 10, 14.25, 1, '5%')
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 10, 1, Year(GetDate()), 30)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 10, 2, Year(GetDate()), -2)
Insert Into Vendor (Code, Name) Values ('V01', N'ผู้ขายหนึ่ง')
Set Identity_Insert MrHd On
Insert Into MrHd (Id, MrNo, MrDate, Vendor, DelFlag) Values (1, 'MR-1', '2026-11-01', 1, 'N')
Insert Into MrHd (Id, MrNo, MrDate, Vendor, DelFlag) Values (2, 'MR-2', '2026-11-20', 1, 'Y')
Set Identity_Insert MrHd Off
Insert Into MrDt (MrHd, Product, ProductUnits, Quantity, Fraction, Price) Values (1, 1, 11, 5, 12, 1234.5)
Insert Into MrDt (MrHd, Product, ProductUnits, Quantity, Fraction, Price) Values (2, 1, 11, 5, 12, 99)
Set Identity_Insert IvHd On
Insert Into IvHd (Id, IvNo, IvDate, Customer, DelFlag) Values (1, 'IV-1', '2026-10-01', 1, 'N')
Insert Into IvHd (Id, IvNo, IvDate, Customer, DelFlag) Values (2, 'IV-2', '2026-10-02', 3, 'N')
Set Identity_Insert IvHd Off
Insert Into IvDt (IvHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (1, 2, 20, 1, 1, 60, 60)
Insert Into IvDt (IvHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (2, 1, 11, 2, 12, 170, 340)
)";

QString offerFooter(widgets::DbGrid* grid, const char* field)
{
    return grid->footerText(QLatin1String(field));
}

class InquiryWindow : public InquiryFixture {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        site.business(QString::fromUtf8(kData));
        // Two pictures beside the site's placeholder: a JPEG and a bitmap in a subfolder.
        QDir(site.folder()).mkpath("pictures/sub");
        QImage front(60, 80, QImage::Format_RGB32);
        front.fill(Qt::blue);
        ASSERT_TRUE(front.save(site.folder() + "/pictures/a100.jpg", "JPG"));
        QImage side(60, 80, QImage::Format_RGB32);
        side.fill(Qt::green);
        ASSERT_TRUE(side.save(site.folder() + "/pictures/sub/a100-side.bmp", "BMP"));
        site.business("Update Config Set PicturePath = '" + site.folder() + "/pictures\\'");

        attach("ACME");
    }

    // C001 and A100 entered, and F7 pressed twice: two lines of 15.00.
    TFrInquiryPrice& openWithTwoLines()
    {
        open();
        customerAndProduct("C001", "A100");
        press(Qt::Key_F7);
        press(Qt::Key_F7);
        EXPECT_EQ(window->QDemoSo.recordCount(), 2);
        return *window;
    }

    // The customer and the product as a clerk enters them after F3.
    void customerAndProduct(const QString& customer, const QString& product)
    {
        ASSERT_EQ(focused(), window->GetCustomerCode);
        enter(customer);
        ASSERT_EQ(focused(), window->GetProductCode);
        enter(product);
    }

    // Into the offer list by Tab, onto a line's field by the arrow keys,
    // then typed and left with Enter.
    void editOffer(int row, const char* field, const QString& text)
    {
        widgets::DbGrid* grid = window->DgSoDt;
        tabTo(grid->view());
        const int column = grid->columnOfField(QLatin1String(field));
        for (int i = 0; i < 8 && grid->currentRow() != row; ++i)
            press(grid->currentRow() < row ? Qt::Key_Down : Qt::Key_Up);
        for (int i = 0; i < 8 && grid->currentColumn() != column; ++i)
            press(grid->currentColumn() < column ? Qt::Key_Right : Qt::Key_Left);
        ASSERT_EQ(grid->currentRow(), row);
        ASSERT_EQ(grid->currentField(), QLatin1String(field));
        type(text);
        press(Qt::Key_Return);
        QTest::qWait(10);  // a refusal is reported once the editor has closed
    }

    double offerValue(int row, const char* field)
    {
        return window->QDemoSo.valueAt(row, window->QDemoSo.fieldIndex(QLatin1String(field))).toDouble();
    }

    QStringList column(widgets::DbGrid* grid, const char* field)
    {
        QStringList values;
        db::Query* q = grid->query();
        for (int r = 0; q && r < q->recordCount(); ++r)
            values.append(db::variantToText(q->valueAt(r, q->fieldIndex(QLatin1String(field)))).trimmed());
        return values;
    }

    TestSite site;
};

TEST_F(InquiryWindow, TypicalInquiryEndToEnd)
{
    TFrInquiryPrice& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("โปรแกรมสอบถามราคาทางโทรศัพท์"));
    ASSERT_EQ(focused(), w.GetCustomerCode);

    enter("c00");
    EXPECT_EQ(w.CustomerName->text(), QStringLiteral("ร้านสมใจ")) << "a prefix takes the lowest code";
    ASSERT_EQ(focused(), w.GetProductCode);
    EXPECT_EQ(w.GetCustomerCode->text(), "c00") << "the box keeps what was typed";

    enter("A10");
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร"));
    EXPECT_EQ(focused(), w.GetProductCode) << "the focus stays where F7 works";
    EXPECT_EQ(w.GetProductCode->selectedText(), "A10") << "the next code typed replaces this one";
    EXPECT_EQ(column(w.DgUnits, "UnitName"), (QStringList{QStringLiteral("ขวด"), QStringLiteral("โหล")}));
    EXPECT_EQ(column(w.DgPrice, "Description"),
              (QStringList{QStringLiteral("ราคาปลีก"), QStringLiteral("ราคาส่ง"), QStringLiteral("ราคาขายลูกค้า")}));
    EXPECT_EQ(column(w.DgPrice, "Price"), (QStringList{"15", "0", "14.25"}));
    const QAbstractItemModel* prices = w.DgPrice->model();
    EXPECT_EQ(prices->data(prices->index(0, w.DgPrice->columnOfField("Price"))).toString(), "15.00")
        << "amounts show with two decimals";
    // Stock: positive first, then negative, then none; texts in the stock unit (dozen).
    EXPECT_EQ(column(w.DgOnhand, "Code"), (QStringList{"MAIN", "SHOP", "RMA"}));
    EXPECT_EQ(column(w.DgOnhand, "OnhandStr"),
              (QStringList{QStringLiteral("2 (โหล) 6.00 (ขวด)"), QStringLiteral("-  2.00 (ขวด)"), QStringLiteral("0 (โหล)")}));
    EXPECT_EQ(w.DgOnhand->footerText("Code"), QStringLiteral("รวมคงเหลือ"));
    EXPECT_EQ(w.DgOnhand->footerText("OnhandStr"), QStringLiteral("2 (โหล) 4.00 (ขวด)"));
    EXPECT_EQ(w.LastMrPrice->text(), QStringLiteral("โหล ละ 1,234.50 บาท")) << "the cancelled receipt is skipped";
    EXPECT_EQ(w.MrDateText->text(), QLocale().toString(QDate(2026, 11, 1), QLocale::ShortFormat))
        << "the workstation's short date format";

    // Moving in the unit grid re-runs the prices at once; F7 does nothing there.
    tabTo(w.DgUnits->view());
    press(Qt::Key_Down);
    EXPECT_EQ(column(w.DgPrice, "Price"), (QStringList{"170", "160"})) << "no own price for the dozen";
    press(Qt::Key_F7);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0) << "the window's keys are off in a grid";

    // Back in the product box F7 adds the product with the selected unit and price.
    tabTo(w.GetProductCode, true);
    press(Qt::Key_F7);
    press(Qt::Key_F7);
    db::Query& offer = w.QDemoSo;
    ASSERT_EQ(offer.recordCount(), 2) << "every press adds a line";
    offer.first();
    EXPECT_EQ(offer.asString("ProductCode"), "A100");
    EXPECT_EQ(offer.asString("ProductName"), QStringLiteral("น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร").left(20));
    EXPECT_EQ(offer.asString("WareHouse"), "MAIN");
    EXPECT_EQ(offer.asInteger("Quantity"), 1);
    EXPECT_EQ(offer.asString("Units"), QStringLiteral("โหล"));
    EXPECT_DOUBLE_EQ(offer.asFloat("Price"), 170);
    EXPECT_EQ(offerFooter(w.DgSoDt, "ProductName"), QStringLiteral("รายการสินค้าจำนวน 2 รายการ"));
    EXPECT_EQ(offerFooter(w.DgSoDt, "Total"), "340.00");

    // F3 starts the next call: every panel and footer empty.
    press(Qt::Key_F3);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);
    EXPECT_EQ(w.CustomerName->text(), "-");
    EXPECT_EQ(w.ProductName->text(), "-");
    EXPECT_EQ(w.GetCustomerCode->text(), "");
    EXPECT_EQ(w.LastMrPrice->text(), "-");
    EXPECT_FALSE(w.QUnits.isOpen());
    EXPECT_EQ(w.DgOnhand->footerText("Code"), "") << "no total of the previous product";
    EXPECT_EQ(w.DgOnhand->footerText("OnhandStr"), "");
    EXPECT_EQ(offerFooter(w.DgSoDt, "ProductName"), QStringLiteral("รายการสินค้าจำนวน 0 รายการ"));
    EXPECT_EQ(offerFooter(w.DgSoDt, "Total"), "0.00");
    EXPECT_EQ(focused(), w.GetCustomerCode);
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));
}

TEST_F(InquiryWindow, CodesThatMatchNothing)
{
    TFrInquiryPrice& w = open();
    enter("C002");
    press(Qt::Key_Up);
    ASSERT_EQ(focused(), w.GetCustomerCode);
    enter("ZZZ");
    EXPECT_EQ(messages, QStringList{QStringLiteral("ไม่พบรหัสลูกค้าที่ป้อน")});
    EXPECT_EQ(w.CustomerName->text(), QStringLiteral("ร้านมั่งมี")) << "the old name stays";
    ASSERT_EQ(focused(), w.GetCustomerCode);

    press(Qt::Key_Down);
    enter("A100");
    enter("'; Drop Table Product; --");
    EXPECT_EQ(messages.last(), QStringLiteral("ไม่พบรหัสสินค้าที่ป้อน"));
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร"));
    EXPECT_EQ(w.QUnits.recordCount(), 0) << "the unit grid is empty";
    EXPECT_EQ(w.DgOnhand->footerText("OnhandStr"), "") << "no total of the product before";
    EXPECT_EQ(w.DgOnhand->model()->rowCount(), 0) << "no warehouses at nought in no unit";
    EXPECT_EQ(focused(), w.GetProductCode);
    EXPECT_EQ(site.businessRows("Select Count(*) From Product"), QStringList{"5"}) << "typed text stays a literal";

    // F7 now has no product to add: it says so and adds nothing.
    messages.clear();
    press(Qt::Key_F7);
    EXPECT_EQ(messages, QStringList{QStringLiteral("ไม่มีสินค้าที่จะเพิ่มในรายการ")});
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);

    // Enter in an empty box only moves on.
    press(Qt::Key_F3);
    messages.clear();
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), w.GetProductCode);
    EXPECT_TRUE(messages.isEmpty());
}

// A typed bracket is the bracket itself, not the start of a character range:
// B[1] finds the product B[1]; % keeps its meaning as the clerk's wildcard.
TEST_F(InquiryWindow, TypedBracketsAreMatchedAsBrackets)
{
    site.business(QStringLiteral("Insert Into Product (Code, ThaiName, ProductType, TaxCode, DefaultWh) "
                                 "Values ('B[1]', N'ขายพร้อมวงเล็บ', 'P', 1, 1)"));
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "B[1]");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("ขายพร้อมวงเล็บ"));

    enter("%[1");
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("ขายพร้อมวงเล็บ")) << "% stays a wildcard";
    enter("B1");
    EXPECT_EQ(messages.last(), QStringLiteral("ไม่พบรหัสสินค้าที่ป้อน")) << "[1] is no range that matches 1";
}

TEST_F(InquiryWindow, ALookUpTheDatabaseBreaksOffLeavesNothingOfTheOneBefore)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    ASSERT_EQ(w.LastMrPrice->text(), QStringLiteral("โหล ละ 1,234.50 บาท"));
    // The last purchase price is read after the product row, the units and
    // the prices: its table gone, the load fails half-way.
    site.business("Drop Table MrDt");
    press(Qt::Key_A, Qt::ControlModifier);
    type("A1001");
    EXPECT_ANY_THROW(press(Qt::Key_Return));
    EXPECT_EQ(w.GetProductCode->text(), "A1001");
    EXPECT_EQ(w.ProductName->text(), "-") << "not A100's name under A1001";
    EXPECT_EQ(w.LastMrPrice->text(), "-");
    EXPECT_EQ(w.DgOnhand->footerText("OnhandStr"), "");
    EXPECT_EQ(w.DgUnits->model()->rowCount(), 0);
    EXPECT_EQ(w.DgPrice->model()->rowCount(), 0);
    EXPECT_EQ(w.DgOnhand->model()->rowCount(), 0);
    press(Qt::Key_F7);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0) << "nothing left to add by mistake";

    tabTo(w.GetCustomerCode, true);
    dm->connection().close();
    site.dropBusinessDatabase();
    press(Qt::Key_A, Qt::ControlModifier);
    type("C002");
    EXPECT_ANY_THROW(press(Qt::Key_Return));
    EXPECT_EQ(w.CustomerName->text(), "-") << "not C001's name under C002";
}

TEST_F(InquiryWindow, GridsKeepTheWindowKeysToThemselves)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    tabTo(w.DgUnits->view());
    press(Qt::Key_F7);
    press(Qt::Key_F3);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร"));
    tabTo(w.GetCustomerCode, true);
    press(Qt::Key_F7);
    EXPECT_EQ(w.QDemoSo.recordCount(), 1) << "once the grid is left the keys work again";
}

TEST_F(InquiryWindow, EscapeAndRestoringFromMinimisedLoseNothing)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    press(Qt::Key_F7);
    press(Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible()) << "Escape does not close the window";
    // In a cell being edited Escape cancels the edit, and only that.
    tabTo(w.DgSoDt->view());
    press(Qt::Key_Return);
    ASSERT_EQ(w.DgSoDt->currentField(), "Quantity");
    type("7");
    ASSERT_NE(focused(), w.DgSoDt->view()) << "a cell editor is open";
    press(Qt::Key_Escape);
    EXPECT_EQ(focused(), w.DgSoDt->view());
    EXPECT_DOUBLE_EQ(offerValue(0, "Quantity"), 1);
    press(Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());

    w.showMinimized();
    QTest::qWait(20);
    w.showNormal();
    QTest::qWait(20);
    EXPECT_EQ(w.QDemoSo.recordCount(), 1) << "the offer list survives a restore";
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("น้ำดื่มตราภูเขาขวดใหญ่พิเศษ 1.5 ลิตร"));
    EXPECT_EQ(w.GetCustomerCode->text(), "C001");
    EXPECT_TRUE(w.QUnits.isOpen());
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));
}

TEST_F(InquiryWindow, RightsHideCostsAndPrices)
{
    TFrInquiryPrice& w = open(2);  // CLERK: no cost, no sale price
    EXPECT_FALSE(w.Panel5->isVisible());
    customerAndProduct("C001", "A100");
    EXPECT_EQ(w.DgUnits->columns().size(), 3);
    EXPECT_EQ(w.DgUnits->columnOfField("PurcPrice"), -1);
    EXPECT_EQ(w.LastMrPrice->text(), QStringLiteral("ไม่มีสิทธิ์เห็นราคาซื้อ"));
    EXPECT_EQ(w.MrDateText->text(), "");
    tabTo(w.DgOnhand->view());
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet2);
    EXPECT_EQ(w.DgHistory->columns().size(), 6);
    EXPECT_EQ(w.DgHistory->columnOfField("Total"), -1);
    tabTo(w.GetProductCode, true);
    press(Qt::Key_F7);
    ASSERT_EQ(w.QDemoSo.recordCount(), 1);
    EXPECT_TRUE(w.QDemoSo.isNull("Price"));
    EXPECT_EQ(w.DgSoDt->columnOfField("Price"), -1);
    EXPECT_EQ(offerFooter(w.DgSoDt, "Total"), "0.00");
}

namespace {

// Counts the statements the embedded engine runs whose text holds `marker`,
// from its statement log, while alive.
class StatementCounter {
public:
    explicit StatementCounter(const QString& marker)
    {
        marker_ = marker;
        count_ = 0;
        QLoggingCategory::setFilterRules(QStringLiteral("qel.sql.debug=true"));
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (context.category && QLatin1String(context.category) == QLatin1String("qel.sql") && text.contains(marker_))
                ++count_;
        });
    }
    ~StatementCounter()
    {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
    }
    int count() const { return count_; }

private:
    static inline QString marker_;
    static inline int count_ = 0;
    QtMessageHandler previous_ = nullptr;
};

} // namespace

namespace {

// Counts the paint events a widget receives while alive.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override { widget_->removeEventFilter(this); }
    int count() const { return count_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count_;
        return false;
    }

private:
    QWidget* widget_;
    int count_ = 0;
};

} // namespace

TEST_F(InquiryWindow, AProductLoadReadsItsUnitOnceAndPaintsThePanelsOnce)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    ASSERT_EQ(column(w.DgOnhand, "Code").size(), 3);
    press(Qt::Key_A, Qt::ControlModifier);
    type("A100");
    QTest::qWait(50);
    {
        const StatementCounter units(QStringLiteral("LUnit"));
        const PaintCounter panels(w.PageCtrl);
        press(Qt::Key_Return);
        QTest::qWait(50);
        EXPECT_EQ(units.count(), 1) << "the stock unit is read once for the three warehouses and the total";
        EXPECT_EQ(panels.count(), 1) << "the layouts and the grids' scroll bars settle before the window is painted";
    }
    EXPECT_EQ(column(w.DgOnhand, "OnhandStr"),
              (QStringList{QStringLiteral("2 (โหล) 6.00 (ขวด)"), QStringLiteral("-  2.00 (ขวด)"), QStringLiteral("0 (โหล)")}));
    EXPECT_EQ(w.DgOnhand->footerText("OnhandStr"), QStringLiteral("2 (โหล) 4.00 (ขวด)"));
}

TEST_F(InquiryWindow, PanelsFollowTheirGridsWithoutRepaintingTheTabs)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A1001");
    QTest::qWait(20);
    const int unitsBefore = w.DgUnits->width();
    press(Qt::Key_A, Qt::ControlModifier);
    type("A100");
    QTest::qWait(20);
    {
        const PaintCounter tabs(w.PageCtrl->tabBar());
        press(Qt::Key_Return);
        QTest::qWait(50);
        EXPECT_EQ(tabs.count(), 0) << "the tabs stay where they were";
    }
    // A100 has two units with bar codes and a description: its unit grid
    // is wider, and its panel follows it at once, the other panels beside it.
    EXPECT_GT(w.DgUnits->width(), unitsBefore);
    for (widgets::DbGrid* grid : {w.DgOnhand, w.DgUnits, w.DgPrice}) {
        EXPECT_GE(grid->width(), grid->sizeHint().width()) << grid->objectName().toStdString();
        EXPECT_TRUE(w.TabSheet1->rect().contains(QRect(grid->mapTo(w.TabSheet1, QPoint()), grid->size())))
            << grid->objectName().toStdString();
    }
    EXPECT_LE(w.DgOnhand->parentWidget()->geometry().right(), w.DgUnits->parentWidget()->geometry().left());
    EXPECT_LE(w.DgUnits->parentWidget()->geometry().right(), w.DgPrice->parentWidget()->geometry().left());

    // A load while the history tab hides the panels: they follow their
    // grids all the same, and show so when the clerk comes back.
    enter("A1001");
    tabTo(w.DgOnhand->view());
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet2);
    tabTo(w.GetProductCode);
    enter("A100");
    tabTo(w.DgHistory->view());
    press(Qt::Key_Tab, Qt::ControlModifier);
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet1);
    QTest::qWait(20);
    for (widgets::DbGrid* grid : {w.DgOnhand, w.DgUnits, w.DgPrice})
        EXPECT_GE(grid->width(), grid->sizeHint().width()) << "after the history tab: " << grid->objectName().toStdString();

    // The tab control still lays its tabs out when it is resized.
    w.resize(1000, 700);
    QTest::qWait(20);
    EXPECT_EQ(w.PageCtrl->currentWidget()->width(), w.TabSheet1->width());
    EXPECT_GT(w.TabSheet1->width(), 900);
}

TEST_F(InquiryWindow, HistoryOfTheCustomerAndTheProduct)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    tabTo(w.DgOnhand->view());
    {
        const StatementCounter history(QStringLiteral("ขายเชื่อ"));
        press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(history.count(), 1) << "one run of the history statement per showing, with both parameters set";
    }
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet2);
    EXPECT_EQ(column(w.DgHistory, "Code"), (QStringList{"C001", "C002"}))
        << "the customer's sales of everything plus everybody's sales of the product";
    EXPECT_EQ(w.DgHistory->columns().size(), 8);
    const QAbstractItemModel* history = w.DgHistory->model();
    EXPECT_EQ(history->data(history->index(0, w.DgHistory->columnOfField("IvDate"))).toString(),
              QLocale().toString(QDate(2026, 10, 1), QLocale::ShortFormat))
        << "history dates in the same format as the last purchase date";
    // Load with only a customer: its own sales only.
    tabTo(w.GetCustomerCode, true);
    press(Qt::Key_F3);
    type("C001");
    QTest::mouseClick(w.BtExec, Qt::LeftButton);
    tabTo(w.DgOnhand->view());
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(column(w.DgHistory, "Code"), QStringList{"C001"});
}

TEST_F(InquiryWindow, PicturesPlaceholderAndHints)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    const QImage shown1 = w.Pic1->pixmap().toImage();
    const QImage shown2 = w.Pic2->pixmap().toImage();
    const QImage shown3 = w.Pic3->pixmap().toImage();
    EXPECT_EQ(shown1.size(), QSize(60, 80));
    EXPECT_GT(QColor(shown1.pixel(30, 40)).blue(), 200) << "the JPEG is blue";
    EXPECT_LT(QColor(shown1.pixel(30, 40)).red(), 60);
    EXPECT_EQ(shown2.size(), QSize(40, 30)) << "a blank name keeps the placeholder";
    EXPECT_EQ(shown3.size(), QSize(60, 80)) << "a bitmap named with a Windows path";
    EXPECT_EQ(QColor(shown3.pixel(30, 40)), QColor(Qt::green));
    EXPECT_EQ(w.Pic1->toolTip(), QStringLiteral("ขวดหน้า"));
    EXPECT_EQ(w.Pic3->toolTip(), QStringLiteral("ขวดข้าง"));
    enter("A1001");  // its picture file is missing
    EXPECT_EQ(w.Pic1->pixmap().size(), QSize(40, 30));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(InquiryWindow, ThePlaceholderPictureIsDecodedOncePerRun)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A1001");
    ASSERT_EQ(w.Pic1->pixmap().size(), QSize(40, 30));
    // Replaced under the running program: the boxes keep the picture read
    // when the window was shown, and nothing is reported.
    QFile file(site.folder() + "/NoPicture.Bmp");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.close();
    enter("A100");
    enter("A1001");
    EXPECT_EQ(w.Pic1->pixmap().size(), QSize(40, 30));
    EXPECT_EQ(w.Pic2->pixmap().size(), QSize(40, 30));
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));
}

TEST_F(InquiryWindow, ABrokenPlaceholderPictureIsReportedOnceAndTheInquiryGoesOn)
{
    const QString placeholder = site.folder() + "/NoPicture.Bmp";
    for (const QByteArray& content : {QByteArray(), QByteArray("BM not a bitmap at all")}) {
        SCOPED_TRACE(content.isEmpty() ? "empty" : "damaged");
        QFile file(placeholder);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        messages.clear();
        TFrInquiryPrice& w = open();
        ASSERT_EQ(messages.size(), 1) << "the show step tells of it";
        EXPECT_TRUE(messages[0].contains(placeholder)) << qPrintable(messages[0]);
        if (content.isEmpty())
            EXPECT_TRUE(messages[0].contains(QStringLiteral("0 ไบต์"))) << qPrintable(messages[0]);
        customerAndProduct("C001", "A100");
        EXPECT_EQ(w.Pic3->pixmap().size(), QSize(60, 80)) << "A100's pictures are shown";
        EXPECT_TRUE(w.Pic2->pixmap().isNull()) << "no picture 2: the box stays empty";
        enter("A1001");
        press(Qt::Key_F7);
        EXPECT_EQ(messages.size(), 1) << "once: " << qPrintable(messages.join('|'));
        EXPECT_EQ(w.ProductName->text(), QStringLiteral("น้ำดื่มแพ็ค")) << "look-ups still work";
        EXPECT_EQ(w.QDemoSo.recordCount(), 1);
        EXPECT_TRUE(w.Pic1->pixmap().isNull()) << "its picture is missing: the box stays empty";
        window.reset();
    }
}

TEST_F(InquiryWindow, OfferListEntriesAreKeptAsTypedOrRefusedAloud)
{
    TFrInquiryPrice& w = openWithTwoLines();
    widgets::DbGrid* grid = w.DgSoDt;

    editOffer(0, "Quantity", "3");
    EXPECT_DOUBLE_EQ(offerValue(0, "Quantity"), 3);
    EXPECT_DOUBLE_EQ(offerValue(0, "Total"), 45);
    EXPECT_EQ(offerFooter(grid, "Total"), "60.00");

    // A price keeps every decimal typed; the total uses them all.
    editOffer(1, "Price", "12.345");
    EXPECT_DOUBLE_EQ(offerValue(1, "Price"), 12.345) << "not rounded behind the clerk's back";
    EXPECT_DOUBLE_EQ(offerValue(1, "Total"), 12.345);
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));

    // A quantity is a whole number; text is not a price. Each is refused
    // with a message naming it, and the old value stays.
    struct Entry {
        int row;
        const char* field;
        const char* typed;
        double kept;
    };
    for (const Entry& e : {Entry{0, "Quantity", "2.5", 3}, Entry{1, "Price", "abc", 12.345},
                           Entry{1, "Quantity", "1e400", 1}, Entry{1, "Quantity", "1e308", 1},
                           Entry{1, "Quantity", "99999999999999999999", 1}, Entry{1, "Quantity", "2147483648", 1},
                           Entry{1, "Price", "1e300", 12.345}, Entry{1, "Price", "-5", 12.345}}) {
        SCOPED_TRACE(e.typed);
        messages.clear();
        editOffer(e.row, e.field, QString::fromLatin1(e.typed));
        EXPECT_DOUBLE_EQ(offerValue(e.row, e.field), e.kept);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QLatin1String(e.typed))) << qPrintable(messages[0]);
        EXPECT_TRUE(messages[0].contains(grid->columns().at(grid->columnOfField(e.field)).title));
        EXPECT_EQ(grid->currentField(), e.field) << "the clerk stays on the cell to type again";
    }
    EXPECT_DOUBLE_EQ(offerValue(1, "Total"), 12.345);
    // The ends of the ranges are taken.
    editOffer(1, "Quantity", "-2147483648");
    EXPECT_DOUBLE_EQ(offerValue(1, "Quantity"), -2147483648.0);
    editOffer(0, "Price", "922337203685477.58");
    EXPECT_DOUBLE_EQ(offerValue(0, "Price"), 922337203685477.58);
    EXPECT_FALSE(offerFooter(grid, "Total").contains("inf"));
}

TEST_F(InquiryWindow, OfferNamesAreCutAtWholeCharacters)
{
    TFrInquiryPrice& w = open();
    // Twenty code units end inside น้ำ, inside an emoji, and just after ก่ำ.
    const QStringList expected{QStringLiteral("ABCDEFGHIJKLMNOPQR"), QStringLiteral("ABCDEFGHIJKLMNOPQRS"),
                               QStringLiteral("ABCDEFGHIJKLMNOPQก่ำ")};
    customerAndProduct("C001", "CUT1");
    press(Qt::Key_F7);
    enter("CUT2");
    press(Qt::Key_F7);
    enter("CUT3");
    press(Qt::Key_F7);
    ASSERT_EQ(w.QDemoSo.recordCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString name = w.QDemoSo.valueAt(row, w.QDemoSo.fieldIndex("ProductName")).toString();
        EXPECT_EQ(name, expected[row]);
        EXPECT_LE(name.size(), 20);
    }
    // A name that fits stays whole.
    enter("A1001");
    press(Qt::Key_F7);
    EXPECT_EQ(w.QDemoSo.valueAt(3, w.QDemoSo.fieldIndex("ProductName")).toString(), QStringLiteral("น้ำดื่มแพ็ค"));
}

TEST_F(InquiryWindow, OfferListDeletesAndFooters)
{
    TFrInquiryPrice& w = openWithTwoLines();
    widgets::DbGrid* grid = w.DgSoDt;

    // The pop-up item deletes the current line without asking.
    auto* n1 = w.findChild<QAction*>("N1");
    ASSERT_NE(n1, nullptr);
    n1->trigger();
    EXPECT_EQ(w.QDemoSo.recordCount(), 1);
    EXPECT_EQ(offerFooter(grid, "ProductName"), QStringLiteral("รายการสินค้าจำนวน 1 รายการ"));
    EXPECT_EQ(offerFooter(grid, "Total"), "15.00");
    // The grid's own delete asks first.
    tabTo(grid->view());
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);
    EXPECT_EQ(offerFooter(grid, "Total"), "0.00");
    EXPECT_EQ(messages.size(), 1) << "one confirmation";
    n1->trigger();  // nothing to delete
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);
}

TEST_F(InquiryWindow, FootersAreReadThroughTheAccessibilityInterface)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    press(Qt::Key_F7);
    QTest::qWait(10);
    // What a screen reader finds under each grid: a named text per column.
    const auto footerTexts = [](widgets::DbGrid* grid) {
        QStringList found;
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(grid);
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; node && i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                if (child && child->role() == QAccessible::StaticText && child->textInterface()) {
                    QAccessibleTextInterface* text = child->textInterface();
                    found << child->text(QAccessible::Name) + "=" + text->text(0, text->characterCount());
                }
                walk(child);
            }
        };
        walk(root);
        return found;
    };
    EXPECT_EQ(footerTexts(w.DgOnhand),
              (QStringList{QStringLiteral("คลัง=รวมคงเหลือ"), QStringLiteral("คงเหลือ=2 (โหล) 4.00 (ขวด)")}));
    const QStringList offer = footerTexts(w.DgSoDt);
    EXPECT_TRUE(offer.contains(QStringLiteral("ชื่อสินค้า=รายการสินค้าจำนวน 1 รายการ"))) << qPrintable(offer.join('|'));
    EXPECT_TRUE(offer.contains(QStringLiteral("รวมเงิน=15.00"))) << qPrintable(offer.join('|'));
    press(Qt::Key_F3);
    EXPECT_EQ(footerTexts(w.DgOnhand), (QStringList{QStringLiteral("คลัง="), QStringLiteral("คงเหลือ=")}));
}

TEST_F(InquiryWindow, LightsBlinkForPanelsWithRows)
{
    TFrInquiryPrice& w = open();
    w.Timer1->stop();
    w.BlinkLights();
    EXPECT_EQ(w.Light1->brushColour(), QColor(192, 192, 192)) << "closed queries stand still";
    EXPECT_EQ(w.Light5->brushColour(), QColor(0, 0, 128));
    customerAndProduct("C001", "A100");
    w.BlinkLights();
    EXPECT_EQ(w.Light1->brushColour(), QColor(255, 0, 0));
    EXPECT_EQ(w.Light2->brushColour(), QColor(255, 0, 0));
    EXPECT_EQ(w.Light4->brushColour(), QColor(192, 192, 192)) << "no history loaded";
    EXPECT_EQ(w.Light5->brushColour(), QColor(0, 0, 0)) << "navy turns black on the first tick";
    w.BlinkLights();
    EXPECT_EQ(w.Light1->brushColour(), QColor(192, 192, 192));
    EXPECT_EQ(w.Light5->brushColour(), QColor(0, 0, 255));
}

TEST_F(InquiryWindow, PrintsTheOfferListToThePdfTheSettingsName)
{
    QFile::copy(TestSite::sourceDir() + "/src/report/Form_ChkPrice.frf", site.folder() + "/Form_ChkPrice.frf");
    QFile ini(site.folder() + "/QEL.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Print]\r\nPdfFile=offer.pdf\r\n");
    ini.close();
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    for (int i = 0; i < 60; ++i)
        press(Qt::Key_F7);
    press(Qt::Key_F10);
    const QString pdf = site.folder() + "/offer.pdf";
    ASSERT_TRUE(QFile::exists(pdf)) << qPrintable(messages.join('|'));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    // pdftotext sets a blank after some Thai marks; compare without blanks.
    QString squeezed = out;
    squeezed.remove(QRegularExpression("\\s"));
    EXPECT_TRUE(squeezed.contains(QStringLiteral("บริษัทแอคมีจำกัด"))) << qPrintable(out.left(1200));
    EXPECT_TRUE(squeezed.contains(QStringLiteral("ร้านสมใจ")));
    EXPECT_TRUE(squeezed.contains(QStringLiteral("น้ำดื่มตราภูเขาขวดให")));
    EXPECT_TRUE(out.contains("900.00")) << "60 lines of 15.00";
    EXPECT_GE(out.count('\f'), 2) << "60 lines need more than one page";
}

TEST_F(InquiryWindow, MissingLayoutIsReportedNotPrinted)
{
    TFrInquiryPrice& w = open();
    customerAndProduct("C001", "A100");
    press(Qt::Key_F7);
    try {
        w.PrintOffer();
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("Form_ChkPrice.frf")) << e.what();
    }
}

} // namespace
