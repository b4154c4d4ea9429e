// The product and service search as the inquiry window opens it: each
// layout's columns and rows on a site whose documents make every back-order
// figure countable by hand, the type choice fixed or free, an attribute row
// with only a start code, the picture panel, the production-detail item and
// typed text that tries to break out of the statement.

#include "SearchSite.h"

#include "search/PicturePanel.h"
#include "search/ProductServiceLayout.h"
#include "search/ProductServiceStatement.h"
#include "search/ProductTypeGroup.h"
#include "search/TFaSelectProdAttr.h"
#include "search/TFrSearchProductService.h"
#include "widgets/TKIdLookup.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

namespace {

// K1001 is the product every figure is counted for. In small units (ใบ;
// a ลัง is 6):
//   sales order lines   31: 2 ลัง = 12 open, 32: 5 open, 33: 4 cleared
//   invoice lines       41: 6 (type B, against 31), 42: 2 (against 32),
//                       43: 4 (against the cleared 33), 44: 3 (no order,
//                       stock not cut), 45: 1 (completes 42)
//   purchase lines      51: 3 ลัง = 18 open, 52: 10 cleared
//   receipt lines       61: 6 (against 51), 62: 10 (against 52), 63: 2 (no order)
const char* kProducts = R"(
Set Identity_Insert Misc On
Insert Into Misc (Id, GroupCode, Code, Description) Values (19, 'PRICETYPE', '01', N'ราคาขายปลีก')
Insert Into Misc (Id, GroupCode, Code, Description) Values (40, 'PTYPE', 'GIFT', N'ของขวัญ')
Insert Into Misc (Id, GroupCode, Code, Description) Values (41, 'PGROUP', 'BASKET', N'กระเช้า')
Insert Into Misc (Id, GroupCode, Code, Description) Values (42, 'PRODINFO', 'MATERIAL', N'วัสดุ')
Insert Into Misc (Id, GroupCode, Code, Description) Values (43, 'PRODINFO', 'MODEL', N'รุ่น')
Set Identity_Insert Misc Off
Update WorkId Set Material = 42, Model = 43
Update Config Set RunYear = 2026
Set Identity_Insert ProdAttrGroup On
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (3, 'PUB', N'สำนักพิมพ์', 'P')
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (5, 'CAT', N'หมวดหมู่', 'P')
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (6, 'AREA', N'พื้นที่บริการ', 'S')
Set Identity_Insert ProdAttrGroup Off
Set Identity_Insert ProdAttrCode On
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (31, 3, 'A', N'สำนักพิมพ์ A')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (32, 3, 'M', N'สำนักพิมพ์ M')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (51, 5, 'NOVEL', N'นวนิยาย')
Set Identity_Insert ProdAttrCode Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType, Picture1, Size_W, PType, PGroup, Remark, TechNicName2)
  Values (21, 'K1001', N'กระเช้าปีใหม่', 'P', 'K1001.png', 30, 40, 41, N'ขายดี', N'KB-01')
Insert Into Product (Id, Code, ThaiName, ProductType, Picture1) Values (22, 'K1002', N'กระเช้าผลไม้', 'P', 'K.J')
Insert Into Product (Id, Code, ThaiName, ProductType) Values (23, 'K1003', N'กระเช้าจัดส่ง', 'S')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (24, 'K1004', N'กระเช้าเลิกขาย', 'P', 'Y')
Insert Into Product (Id, Code, ThaiName, ProductType, MasterCode) Values (25, 'K1005', N'กระเช้าแม่แบบ', 'P', 'Y')
Insert Into Product (Id, Code, ThaiName, ProductType) Values (26, 'K1006', N'กระเช้าหวาย (วัตถุดิบ)', 'R')
Insert Into Product (Id, Code, ThaiName, ProductType, Picture1) Values (27, 'K1007', N'ริบบิ้นกระเช้า', 'M', 'K1007-missing.png')
Set Identity_Insert Product Off
Set Identity_Insert ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (21, 21, N'ใบ', 1, 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (22, 21, N'ลัง', 6, 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SmallUnitFlag) Values (23, 22, N'ใบ', 1, 'Y')
Set Identity_Insert ProductUnits Off
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (21, 21, 19, 350)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (21, 22, 20, 1)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (21, 21, 1, 2026, 7)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (21, 21, 2, 2026, 5)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (21, 21, 1, 2025, 100)
Insert Into productattr (Product, ProdAttrGroup, ProdAttrCode) Values (21, 3, 32)
Insert Into productattr (Product, ProdAttrGroup, ProdAttrCode) Values (21, 5, 51)
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (21, 32, 'PUBM')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (22, 31, 'PUBA')
Insert Into ProductInFo (Product, Misc, MemoDesc) Values (21, 42, N'หวาย')
Insert Into ProductInFo (Product, Misc, MemoDesc) Values (21, 43, N'NY-01')
Insert Into ProductonhandMFG (Product, Onhand, WorkOrderOH, PreIsQty, WKIsQty, OH_WKIsQty)
  Values (21, N'12 ใบ', N'3 ใบ', N'1 ใบ', N'2 ใบ', N'10 ใบ')
Set Identity_Insert Vendor On
Insert Into Vendor (Id, Code, Name) Values (1, 'V01', N'ร้านหวาย')
Set Identity_Insert Vendor Off
Set Identity_Insert SoHd On
Insert Into SoHd (Id, SoNo, SoDate, Customer, Clear) Values (11, 'SO11', '2026-11-10', 1, 'N')
Insert Into SoHd (Id, SoNo, SoDate, Customer, Clear) Values (12, 'SO12', '2026-11-11', 1, 'Y')
Set Identity_Insert SoHd Off
Set Identity_Insert SoDt On
Insert Into SoDt (Id, SoHd, Product, ProductUnits, Quantity, Fraction, Price, Clear) Values (31, 11, 21, 22, 2, 6, 1, 'N')
Insert Into SoDt (Id, SoHd, Product, ProductUnits, Quantity, Fraction, Price, Clear) Values (32, 11, 21, 21, 5, 1, 1, 'N')
Insert Into SoDt (Id, SoHd, Product, ProductUnits, Quantity, Fraction, Price, Clear) Values (33, 12, 21, 21, 4, 1, 1, 'Y')
Set Identity_Insert SoDt Off
Set Identity_Insert IvHd On
Insert Into IvHd (Id, IvNo, IvDate, IvType, Customer, NotCutStock) Values (11, 'IV11', '2026-11-12', 'B', 1, 'N')
Insert Into IvHd (Id, IvNo, IvDate, IvType, Customer, NotCutStock) Values (12, 'IV12', '2026-11-13', 'N', 1, 'N')
Insert Into IvHd (Id, IvNo, IvDate, IvType, Customer, NotCutStock) Values (13, 'IV13', '2026-11-14', 'N', 1, 'Y')
Set Identity_Insert IvHd Off
Set Identity_Insert IvDt On
Insert Into IvDt (Id, IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price) Values (41, 11, 21, 22, 31, Null, 1, 6, 1)
Insert Into IvDt (Id, IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price) Values (42, 12, 21, 21, 32, Null, 2, 1, 1)
Insert Into IvDt (Id, IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price) Values (43, 12, 21, 21, 33, Null, 4, 1, 1)
Insert Into IvDt (Id, IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price) Values (44, 13, 21, 21, Null, Null, 3, 1, 1)
Insert Into IvDt (Id, IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price) Values (45, 12, 21, 21, 32, 42, 1, 1, 1)
Set Identity_Insert IvDt Off
Set Identity_Insert PoHd On
Insert Into PoHd (Id, PoNo, PoDate, Vendor, Clear) Values (1, 'PO1', '2026-11-01', 1, 'N')
Set Identity_Insert PoHd Off
Set Identity_Insert PoDt On
Insert Into PoDt (Id, PoHd, Product, ProductUnits, Quantity, Fraction, Price, Clear) Values (51, 1, 21, 22, 3, 6, 1, 'N')
Insert Into PoDt (Id, PoHd, Product, ProductUnits, Quantity, Fraction, Price, Clear) Values (52, 1, 21, 21, 10, 1, 1, 'Y')
Set Identity_Insert PoDt Off
Set Identity_Insert MrHd On
Insert Into MrHd (Id, MrNo, MrDate, Vendor) Values (1, 'MR1', '2026-11-05', 1)
Set Identity_Insert MrHd Off
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price) Values (1, 21, 22, 51, 1, 6, 1)
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price) Values (1, 21, 21, 52, 10, 1, 1)
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price) Values (1, 21, 21, Null, 2, 1, 1)
)";

class ProductServiceSearch : public SearchSite {
protected:
    void SetUp() override
    {
        SearchSite::SetUp();
        site.business(QString::fromUtf8(kProducts));
        pictures = QDir(site.folder()).filePath(QStringLiteral("pictures"));
        QDir().mkpath(pictures);
        // A trailing "\" as the suite's Windows programs store it.
        site.business(QStringLiteral("Update Config Set PicturePath = '%1\\', SearchProductMethod = 1").arg(pictures));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        picture.save(QDir(pictures).filePath(QStringLiteral("K1001.png")));
        picture.save(QDir(pictures).filePath(QStringLiteral("K.J")), "PNG");
        TFrSearchProductService::setProductionDetailOpener(
            [this](const QString& code, QWidget*) { detailOpenedFor << code; });
    }
    void TearDown() override
    {
        TFrSearchProductService::setProductionDetailOpener({});
        SearchSite::TearDown();
    }

    // A site's layout is read with the setup row, when the business database connects.
    void useLayout(int number)
    {
        site.business(QStringLiteral("Update Config Set SearchProductNo = %1").arg(number));
        DM->Config().close();
    }

    // A click on a radio item's circle, as the clerk aims it.
    static void clickItem(QAbstractButton* item)
    {
        QTest::mouseClick(item, Qt::LeftButton, Qt::NoModifier, QPoint(6, item->height() / 2));
    }

    // Shows the search as the inquiry window does and runs `step` in it.
    int open(const std::function<void(TFrSearchProductService&)>& step, const QString& typeFilter = QString())
    {
        TFrSearchProductService* look = TFrSearchProductService::instance();
        look->ProductTypeFilter = typeFilter;
        onNextModal([&](QDialog&) { step(*look); });
        return look->exec();
    }

    // The rows one layout's statement finds, by code, and one field of them.
    QMap<QString, QString> found(search::ProductServiceCriteria criteria, const char* field)
    {
        db::Query q(QStringLiteral("DMDATA"));
        q.setSql(search::productServiceStatement(criteria));
        q.open();
        QMap<QString, QString> values;
        for (q.first(); !q.eof(); q.next())
            values.insert(q.asString("Code"), q.asString(QLatin1String(field)).trimmed());
        return values;
    }

    static search::ProductServiceCriteria layout(int number, const QString& name = QStringLiteral("กระเช้า"))
    {
        search::ProductServiceCriteria c;
        c.layout = number;
        c.runYear = 2026;
        c.name = name;
        c.nameContains = true;
        return c;
    }

    static QStringList titles(widgets::DbGrid* grid)
    {
        QStringList list;
        for (const widgets::GridColumn& c : grid->columns())
            list << c.field + QLatin1Char('=') + c.title;
        return list;
    }

    QString pictures;
    QStringList detailOpenedFor;
};

// ---------------------------------------------------------------- the statements

TEST_F(ProductServiceSearch, EveryLayoutRunsAndGivesTheColumnsItsGridShows)
{
    for (int number = 0; number <= 10; ++number) {
        SCOPED_TRACE(number);
        db::Query q(QStringLiteral("DMDATA"));
        q.setSql(search::productServiceStatement(layout(number)));
        try {
            q.open();
        } catch (const db::DbError& e) {
            ADD_FAILURE() << qPrintable(e.message());
            continue;
        }
        for (const search::LayoutColumn& c : search::productServiceLayout(number).columns)
            EXPECT_TRUE(q.hasField(c.field)) << qPrintable(c.field);
        EXPECT_TRUE(q.hasField("Picture1")) << "the picture panel reads it";
        EXPECT_GT(q.recordCount(), 0);
    }
}

TEST_F(ProductServiceSearch, BackOrdersAndPurchasesCountedByHand)
{
    // Open order lines 12 + 5, less 6 (type B) and 2 (plain, not completing
    // another line); the cleared line and what was invoiced against it, the
    // invoice outside an order and the completing line do not count.
    EXPECT_EQ(found(layout(6), "Backorder").value("K1001"), "9.00 ใบ");
    EXPECT_EQ(found(layout(8), "Backorder").value("K1001"), "9.00 ใบ");
    // Every order line 12 + 5 + 4, plus 3 not cut from stock outside an
    // order, less 6 + 2 + 4 + 1 cut for an order or completing a line.
    EXPECT_EQ(found(layout(9), "Backorder").value("K1001"), "11.00 ใบ");
    // Open purchase lines 18 less the 6 received against them.
    EXPECT_EQ(found(layout(9), "BackSendOrder").value("K1001"), "12.00 ใบ");
    EXPECT_EQ(found(layout(9), "BackSendOrder").value("K1002"), "0.00 ใบ") << "nothing ordered";
    EXPECT_EQ(found(layout(6), "Onhand").value("K1001"), "12 ใบ") << "the manufacturing figures as kept";
    EXPECT_EQ(found(layout(6), "Onhand").value("K1002"), "ใบ") << "no figures: the unit of fraction 1";
    EXPECT_EQ(found(layout(7), "PreIsQty").value("K1001"), "1 ใบ");
    EXPECT_EQ(found(layout(9), "ProdRemark").value("K1001"), "ขายดี");
}

TEST_F(ProductServiceSearch, Layout4PricesAttributesAndStockOfTheRunYear)
{
    db::Query q(QStringLiteral("DMDATA"));
    q.setSql(search::productServiceStatement(layout(4, "ปีใหม่")));
    q.open();
    ASSERT_EQ(q.recordCount(), 2) << "one row a unit";
    EXPECT_EQ(q.asString("Field01"), "M");
    EXPECT_EQ(q.asString("Field02"), "NOVEL");
    EXPECT_EQ(q.asString("Price").trimmed(), "350") << "price type 19, whole";
    EXPECT_EQ(q.asString("Qnty").trimmed(), "12") << "both warehouses of 2026, not 2025";
    q.next();
    EXPECT_EQ(q.asString("UnitName"), "ลัง");
    EXPECT_EQ(q.asString("Price").trimmed(), "0") << "no price of type 19";
    EXPECT_EQ(q.asString("Qnty").trimmed(), "0");
    EXPECT_EQ(found(layout(4, "ผลไม้"), "Field01").value("K1002"), "no");
    EXPECT_EQ(found(layout(3), "Remark").value("K1001"), "หวาย - NY-01");
    EXPECT_EQ(found(layout(1, "ปีใหม่"), "Remark").size(), 1) << "one row a unit";
}

TEST_F(ProductServiceSearch, FiltersOfTheComposition)
{
    search::ProductServiceCriteria c = layout(0);
    EXPECT_EQ(found(c, "Code").keys(), (QStringList{"K1001", "K1002", "K1003", "K1006", "K1007"}))
        << "never blocked nor a master code";
    c.includeBlocked = true;
    EXPECT_TRUE(found(c, "Code").contains("K1004"));
    c = layout(0);
    c.masterCode = "Y";
    EXPECT_EQ(found(c, "Code").keys(), QStringList{"K1005"});
    const std::pair<search::ProductTypeChoice, QStringList> types[] = {
        {search::ProductTypeChoice::Finished, {"K1001", "K1002", "K1006"}},
        {search::ProductTypeChoice::Service, {"K1003"}},
        {search::ProductTypeChoice::Materials, {"K1007"}},
        {search::ProductTypeChoice::RawMaterial, {"K1006"}},
        {search::ProductTypeChoice::FinishedOrRaw, {"K1006", "K1007"}},
    };
    for (const auto& [type, codes] : types) {
        SCOPED_TRACE(int(type));
        c = layout(0);
        c.type = type;
        EXPECT_EQ(found(c, "Code").keys(), codes);
    }
    c = layout(0, "ปี");
    c.nameContains = false;
    EXPECT_TRUE(found(c, "Code").isEmpty()) << "begins with: no name starts with ปี";
    c = layout(0, "");
    c.width = "30";
    c.kind = 40;
    c.group = 41;
    EXPECT_EQ(found(c, "Code").keys(), QStringList{"K1001"});
    c.customerSite = true;
    EXPECT_TRUE(found(c, "Code").isEmpty()) << "no product group 0 here";
    EXPECT_TRUE(search::isCustomerSite(" VPM ", "CUSTOMER01"));
    EXPECT_FALSE(search::isCustomerSite("vpm", "CUSTOMER01"));
    EXPECT_FALSE(search::isCustomerSite("VPM", "CUSTOME"));
}

TEST_F(ProductServiceSearch, HostileTextIsSearchedAsTyped)
{
    const char* typed[] = {"'", "x' Or 1=1 --", "'); Drop Table Product; --", "[", "%", "_", "กระเช้า'"};
    for (const char* text : typed) {
        SCOPED_TRACE(text);
        search::ProductServiceCriteria c = layout(0, QString::fromUtf8(text));
        c.code = QString::fromUtf8(text);
        try {
            const QStringList codes = found(c, "Code").keys();
            EXPECT_TRUE(codes.isEmpty() || QByteArray(text) == "%" || QByteArray(text) == "_");
        } catch (const db::DbError& e) {
            ADD_FAILURE() << qPrintable(e.message());
        }
    }
    EXPECT_EQ(count("Select Count(*) From Product"), 9) << "nothing was dropped";
    for (const char* size : {"1) Or (1=1", "abc", "-", "1e5", "", "."})
        EXPECT_EQ(search::sizeNumber(QString::fromUtf8(size)), "") << size;
    EXPECT_EQ(search::sizeNumber("12."), "12");
    EXPECT_EQ(search::sizeNumber(".5"), "0.5");
}

// ---------------------------------------------------------------- the window

TEST_F(ProductServiceSearch, Layout0ColumnsNameSearchAndChoice)
{
    useLayout(0);
    const int result = open([&](TFrSearchProductService& look) {
        EXPECT_EQ(titles(look.grid()), (QStringList{"Code=รหัส", "ThaiName=ชื่อสินค้า", "Remark=หมายเหตุ"}));
        EXPECT_FALSE(look.HidePanel->isVisible());
        EXPECT_EQ(look.SearchMethod->currentIndex(), 1) << "the setup row's method";
        EXPECT_FOCUS("ProductName");
        typeHere(QStringLiteral("ผลไม้"));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"K1002"}) << "contained anywhere in the name";
        EXPECT_FOCUS("DgSearch");
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(FrSearchProductService->ResultValue, "K1002");
    EXPECT_EQ(DM->LastProductSearch, "ผลไม้");
}

TEST_F(ProductServiceSearch, LayoutsThreeFourSixAndNineInTheWindow)
{
    const std::pair<int, QStringList> layouts[] = {
        {3, {"Code=รหัส", "ThaiName=ชื่อสินค้า", "Remark=หมายเหตุ"}},
        {4, {"Code=รหัส", "ThaiName=ชื่อสินค้า", "Field01=สำนักพิมพ์", "Field02=หมวดหมู่", "Price=ราคา",
             "UnitName=หน่วย", "Qnty=คงเหลือ"}},
        {6, {"Code=รหัส", "ThaiName=ชื่อสินค้า", "TechNicName2=ชื่อเทคนิค2", "Onhand=คงเหลือ",
             "WorkOrderOH=จำนวนระหว่างผลิต", "Backorder=จำนวนค้างส่ง"}},
        {9, {"Code=รหัส", "ThaiName=ชื่อสินค้า", "Onhand=คงเหลือ", "BackSendOrder=จำนวนค้างรับ",
             "Backorder=จำนวนค้างส่ง", "ProdRemark=หมายเหตุ"}},
        {5, {"Code=รหัส", "ThaiName=ชื่อสินค้า"}},
    };
    for (const auto& [number, expected] : layouts) {
        SCOPED_TRACE(number);
        useLayout(number);
        open([&](TFrSearchProductService& look) {
            EXPECT_EQ(titles(look.grid()), expected);
            typeHere(QStringLiteral("ปีใหม่"));
            pressChecked(Qt::Key_Return);
            EXPECT_TRUE(column(look.grid(), "Code").contains("K1001"));
            EXPECT_EQ(look.grid()->view()->contextMenuPolicy() == Qt::CustomContextMenu, number >= 6)
                << "the production detail belongs to layouts 6 to 9";
            pressChecked(Qt::Key_Escape);
        });
    }
    EXPECT_EQ(FrSearchProductService->ResultValue, "");
}

TEST_F(ProductServiceSearch, TypeChoiceIsFixedByTheFilterOrFreeAndClicked)
{
    open(
        [&](TFrSearchProductService& look) {
            EXPECT_FALSE(look.SelectProductType->isEnabled());
            EXPECT_TRUE(look.ProductTypeItems->button(1)->isChecked());
            EXPECT_EQ(column(look.FaSelectProdAttr1->DgSelectProdAttr, "Code"), QStringList{"AREA"});
            typeHere(QStringLiteral("กระเช้า"));
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), QStringList{"K1003"});
            pressChecked(Qt::Key_Escape);
        },
        "S");
    open([&](TFrSearchProductService& look) {
        EXPECT_TRUE(look.SelectProductType->isEnabled());
        EXPECT_EQ(look.ProductTypeItems->checkedId(), -1) << "free: nothing chosen";
        typeHere(QStringLiteral("กระเช้า"));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code").size(), 5) << "no type line";
        clickItem(look.ProductTypeItems->button(3));
        EXPECT_EQ(look.ProductTypeFilter, "R");
        EXPECT_FALSE(look.QSearch.isOpen());
        EXPECT_FOCUS("ProductName");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"K1006"});
        clickItem(look.ProductTypeItems->button(2));
        EXPECT_FALSE(look.FaSelectProdAttr1->DgSelectProdAttr->isEnabled()) << "materials have no attributes";
        pressChecked(Qt::Key_Escape);
    });
}

TEST_F(ProductServiceSearch, AnAttributeRowWithOnlyAStartCode)
{
    open(
        [&](TFrSearchProductService& look) {
            widgets::DbGrid* ranges = look.FaSelectProdAttr1->DgSelectProdAttr;
            ASSERT_EQ(column(ranges, "Code"), (QStringList{"PUB", "CAT"})) << "by description";
            QTest::mouseClick(ranges->view()->viewport(), Qt::LeftButton, Qt::NoModifier, cellPoint(ranges, 0));
            QCoreApplication::processEvents();
            typeHere("b");
            pressChecked(Qt::Key_Return);  // to the end code, left empty
            press(Qt::Key_Tab);
            EXPECT_FALSE(look.QSearch.isOpen()) << "Enter in the grid is the grid's";
            clickInto(look.ProductName);
            typeHere(QStringLiteral("กระเช้า"));
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), QStringList{"K1001"}) << "PUBB to the end of PUB: M, not A";
            pressChecked(Qt::Key_Escape);
        },
        "P");
}

TEST_F(ProductServiceSearch, PictureFollowsTheRowWhileThePanelIsShown)
{
    open([&](TFrSearchProductService& look) {
        typeHere(QStringLiteral("กระเช้า"));
        pressChecked(Qt::Key_Return);
        pressChecked(Qt::Key_F12);
        EXPECT_TRUE(look.HidePanel->isVisible());
        EXPECT_TRUE(look.ProductImage->pixmap().isNull()) << "showing the panel loads nothing by itself";
        pressChecked(Qt::Key_Down);  // K1002, named "K.J": too short, though the file is there
        EXPECT_FALSE(look.ProductImage->isVisible());
        pressChecked(Qt::Key_Up);  // K1001
        EXPECT_TRUE(look.ProductImage->isVisible());
        EXPECT_FALSE(look.ProductImage->pixmap().isNull());
        EXPECT_EQ(look.ProductImage->toolTip(), "Files : " + QDir(pictures).filePath("K1001.png"));
        pressChecked(Qt::Key_End, Qt::ControlModifier);  // K1007: the file is missing
        EXPECT_FALSE(look.ProductImage->isVisible());
        EXPECT_TRUE(look.ProductImage->toolTip().isEmpty());
        pressChecked(Qt::Key_F12);
        EXPECT_FALSE(look.HidePanel->isVisible()) << "F12 twice";
        pressChecked(Qt::Key_Escape);
    });
    open([&](TFrSearchProductService& look) {
        EXPECT_FALSE(look.HidePanel->isVisible()) << "hidden at every show";
        pressChecked(Qt::Key_Escape);
    });
}

TEST_F(ProductServiceSearch, ProductionDetailFromThePopUpMenu)
{
    useLayout(6);
    MessageRecorder messages;
    open([&](TFrSearchProductService& look) {
        const auto chooseN1 = [&] {
            // A right-click on the grid, as the window system reports it.
            QWidget* cells = look.grid()->view()->viewport();
            QContextMenuEvent click(QContextMenuEvent::Mouse, cellPoint(look.grid(), 0), cells->mapToGlobal(cellPoint(look.grid(), 0)));
            QCoreApplication::sendEvent(cells, &click);
            QCoreApplication::processEvents();
            ASSERT_TRUE(look.PopupMenu1->isVisible());
            QTest::keyClick(look.PopupMenu1, Qt::Key_Down);
            QTest::keyClick(look.PopupMenu1, Qt::Key_Return);
            QCoreApplication::processEvents();
        };
        typeHere(QStringLiteral("ไม่มีสินค้านี้"));
        pressChecked(Qt::Key_Return);
        EXPECT_FOCUS("Code") << "nothing found: on to the code box";
        chooseN1();
        EXPECT_EQ(messages.texts, QStringList{"ไม่พบข้อมูลสินค้าที่ต้องการ !!"});
        EXPECT_TRUE(detailOpenedFor.isEmpty());
        clickInto(look.ProductName);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere(QStringLiteral("ปีใหม่"));
        pressChecked(Qt::Key_Return);
        chooseN1();
        EXPECT_EQ(detailOpenedFor, QStringList{"K1001"});
        pressChecked(Qt::Key_Escape);
    });
}

TEST_F(ProductServiceSearch, KindAndGroupChosenWithF5AndSizesTakeNumbersOnly)
{
    open([&](TFrSearchProductService& look) {
        clickInto(look.PType);
        onNextModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "ค้นหา ชนิดสินค้า");
            EXPECT_FOCUS("EnterString");
            typeHere("gift");
            pressChecked(Qt::Key_Return);  // searches, and into the list
            pressChecked(Qt::Key_Return);  // chooses
        });
        press(Qt::Key_F5);
        EXPECT_EQ(look.PType->text(), "GIFT");
        EXPECT_EQ(look.PTypeDesc->text(), "ของขวัญ");
        EXPECT_EQ(look.MData.asInteger("PType"), 40);
        clickInto(look.Size_W);
        typeHere("3') Or (1=1");
        EXPECT_EQ(look.Size_W->text(), "311") << "only digits and a point are taken";
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere("30");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"K1001"});
        pressChecked(Qt::Key_Escape);
    });
    open([&](TFrSearchProductService& look) {
        EXPECT_EQ(look.PType->text(), "") << "the kind is reset at show";
        EXPECT_EQ(look.MData.asInteger("PType"), 0);
        EXPECT_EQ(look.Size_W->text(), "30") << "sizes are kept";
        pressChecked(Qt::Key_Escape);
    });
}

} // namespace

namespace {

TEST_F(ProductServiceSearch, EnglishCaptionsForAUserWhoseLanguageIsNotThai)
{
    asUser(2);
    open([&](TFrSearchProductService& look) {
        EXPECT_EQ(look.windowTitle(), "Search Product Code");
        EXPECT_EQ(titles(look.grid()), (QStringList{"Code=Code", "ThaiName=Name", "Remark=Remark"}));
        EXPECT_EQ(look.SearchMethod->itemText(0), "Start With");
        EXPECT_EQ(look.SearchMethod->itemText(1), "Consist Of");
        EXPECT_EQ(look.ProductTypeItems->button(4)->text(), "Finish Good/Raw Material");
        EXPECT_EQ(look.Name->text(), "Name");
        EXPECT_TRUE(look.grid()->toolTip().isEmpty());
        pressChecked(Qt::Key_Escape);
    });
    asUser(1);
    open([&](TFrSearchProductService& look) {
        EXPECT_EQ(look.windowTitle(), "ค้นหาสินค้า/บริการ");
        EXPECT_EQ(look.ProductTypeItems->button(4)->text(), "สินค้าสำเร็จรูป / วัตถุดิบ");
        EXPECT_TRUE(look.grid()->toolTip().contains("F12 : Preview Picture"));
        pressChecked(Qt::Key_Escape);
    });
}

} // namespace
