// The product search as the product data module opens it: code prefix,
// begins-with and contains names, attribute ranges typed into its grid or
// chosen with F5, the empty-filter message, blocked and type-P products,
// and the statement on its own, run on the site without a window.

#include "SearchSite.h"

#include "search/ProductStatement.h"
#include "search/TF_SearchProduct.h"
#include "search/TFaSelectProdAttr.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const char* kProducts = R"(
Set Identity_Insert ProdAttrGroup On
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (1, 'COL', N'สี', 'P')
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (2, 'SIZ', N'ขนาด', 'P')
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (3, 'SRV', N'งานบริการ', 'S')
Set Identity_Insert ProdAttrGroup Off
Set Identity_Insert ProdAttrCode On
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (1, 1, 'A', N'แดง')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (2, 1, 'B', N'เขียว')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (3, 1, 'C', N'น้ำเงิน')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (4, 1, 'D', N'ดำ')
Insert Into ProdAttrCode (Id, ProdAttrGroup, Code, Description) Values (5, 2, 'L', N'ใหญ่')
Set Identity_Insert ProdAttrCode Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (11, 'AB100', N'ABC ดินสอแดง', 'S', 'N')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (12, 'AB200', N'XABC ปากกาน้ำเงิน', 'S', 'N')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (13, 'AB300', N'ABD ยางลบดำ', 'S', 'N')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (14, 'BL100', N'ABC งดขาย', 'S', 'Y')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (15, 'PP100', N'ABC ชนิด P', 'P', 'N')
Insert Into Product (Id, Code, ThaiName, ProductType, Blocked) Values (16, 'QT100', N'Joe''s ABC', 'S', 'N')
Set Identity_Insert Product Off
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (11, 1, 'COLA')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (12, 3, 'COLC')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (13, 4, 'COLD')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (14, 2, 'COLB')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (15, 2, 'COLB')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (12, 5, 'SIZL')
)";

class ProductSearch : public SearchSite {
protected:
    void SetUp() override
    {
        SearchSite::SetUp();
        site.business(QString::fromUtf8(kProducts));
    }

    int open(const std::function<void(TF_SearchProduct&)>& step)
    {
        TF_SearchProduct* look = TF_SearchProduct::instance();
        onNextModal([&](QDialog&) { step(*look); });
        return look->exec();
    }

    QStringList codesOf(const search::ProductCriteria& criteria)
    {
        db::Query q(QStringLiteral("DMDATA"));
        q.setSql(search::productStatement(criteria));
        q.open();
        QStringList codes;
        for (q.first(); !q.eof(); q.next())
            codes << q.asString("Code");
        return codes;
    }
};

TEST_F(ProductSearch, BeginsWithAndContainsAndNeverBlockedOrTypeP)
{
    search::ProductCriteria c;
    c.name = "AB";
    c.nameContains = false;
    EXPECT_EQ(codesOf(c), (QStringList{"AB100", "AB300"})) << "ABC and ABD, not XABC; never blocked or type P";
    c.nameContains = true;
    EXPECT_EQ(codesOf(c), (QStringList{"AB100", "AB200", "AB300", "QT100"}));
    c.name = "Joe's";
    EXPECT_EQ(codesOf(c), QStringList{"QT100"}) << "an apostrophe as typed";
    c.name.clear();
    c.code = "AB2";
    EXPECT_EQ(codesOf(c), QStringList{"AB200"});
}

TEST_F(ProductSearch, AttributeRangesIncludeTheirBoundsAndARowWithOnlyAStartCode)
{
    search::ProductCriteria c;
    c.name = "%";
    c.ranges = {{"COL", "A", "C"}, {"SIZ", "", ""}};
    EXPECT_EQ(codesOf(c), (QStringList{"AB100", "AB200"})) << "COLA and COLC are the bounds; COLD is outside";
    c.ranges = {{"COL", "B", ""}};
    EXPECT_EQ(codesOf(c), (QStringList{"AB200", "AB300"})) << "only a start code: COLB to the group's end";
    c.ranges = {{"COL", "", "D"}};
    EXPECT_EQ(codesOf(c), (QStringList{"AB100", "AB200", "AB300"})) << "only an end code: COL..COLD";
    c.ranges = {{"COL", "A", "D"}, {"SIZ", "L", "L"}};
    EXPECT_EQ(codesOf(c), QStringList{"AB200"}) << "every filled row applies";
}

TEST_F(ProductSearch, EmptyFilterIsRefusedAndTheListStays)
{
    MessageRecorder messages;
    open([&](TF_SearchProduct& look) {
        EXPECT_FOCUS("ProductName");
        EXPECT_EQ(look.SearchMethod->currentIndex(), 1) << "contains at every opening";
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(messages.texts, QStringList{QStringLiteral("กรุณาป้อนรหัส หรือ ชื่อบางส่วน เพื่อค้นหา")});
        typeHere("abc");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"AB100", "AB200", "QT100"}));
        clickInto(look.ProductName);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
        clickTitle(look.grid(), "ThaiName");
        EXPECT_EQ(messages.texts.size(), 2) << "a title click searches, so it asks too";
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"AB100", "AB200", "QT100"})) << "the list stays";
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_TRUE(F_SearchProduct->SelectedCode.isEmpty());
}

TEST_F(ProductSearch, ChooseOnAnEmptyListKeepsTheWindowOpenAndTitlesSortByName)
{
    bool stayedOpen = false;
    const int result = open([&](TF_SearchProduct& look) {
        typeHere(QStringLiteral("ไม่มีสินค้านี้"));
        pressChecked(Qt::Key_Return);
        look.BtOK->click();
        stayedOpen = look.isVisible();
        clickInto(look.ProductName);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere("abc");
        pressChecked(Qt::Key_Return);
        clickTitle(look.grid(), "ThaiName");
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"AB100", "QT100", "AB200"})) << "by name";
        pressChecked(Qt::Key_Return);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(F_SearchProduct->SelectedCode, "AB100");
}

TEST_F(ProductSearch, RangesTypedAndChosenInTheGridWithoutEnterSearching)
{
    MessageRecorder messages;
    const int result = open([&](TF_SearchProduct& look) {
        widgets::DbGrid* ranges = look.FaSelectProdAttr1->DgSelectProdAttr;
        EXPECT_EQ(column(ranges, "Code"), (QStringList{"SIZ", "COL"})) << "the groups of type P, by description";
        QTest::mouseClick(ranges->view()->viewport(), Qt::LeftButton, Qt::NoModifier, cellPoint(ranges, 1));
        QCoreApplication::processEvents();
        EXPECT_EQ(ranges->currentField().toUpper(), "BEGINATTRCODE") << "never the description";
        // F5 on the start code: the look-up of the row's group.
        onNextModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), "TFrSearchProdAttrCode");
            auto* list = dialog.findChild<widgets::DbGrid*>("ListData");
            EXPECT_EQ(column(list, "Code"), (QStringList{"A", "B", "C", "D"})) << "only the group's codes";
            doubleClickRow(list, 0);
        });
        press(Qt::Key_F5);
        EXPECT_EQ(look.FaSelectProdAttr1->QProdAttrGroup.asString("BeginAttrCode"), "A");
        pressChecked(Qt::Key_Return);  // to the end code, no search
        EXPECT_FALSE(look.QSearch.isOpen()) << "Enter in the grid is the grid's";
        EXPECT_EQ(ranges->currentField().toUpper(), "ENDATTRCODE");
        typeHere("c");
        pressChecked(Qt::Key_Return);
        pressChecked(Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(look.FaSelectProdAttr1->QProdAttrGroup.recordCount(), 2) << "no row is added past the last";
        EXPECT_EQ(look.FaSelectProdAttr1->ranges().at(1).end, "C") << "read as a code: upper-case";
        EXPECT_TRUE(messages.texts.isEmpty()) << "no search was tried from the grid";
        clickInto(look.ProductName);
        typeHere("ab");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"AB100", "AB200"})) << "COLA..COLC";
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

// The range cells take a code as it is typed: letters upper-cased, nothing
// but letters and digits, no longer than the attribute codes.
TEST_F(ProductSearch, RangeCellsTakeOnlyACodeWhileItIsTyped)
{
    open([&](TF_SearchProduct& look) {
        widgets::DbGrid* ranges = look.FaSelectProdAttr1->DgSelectProdAttr;
        QTest::mouseClick(ranges->view()->viewport(), Qt::LeftButton, Qt::NoModifier, cellPoint(ranges, 1));
        QCoreApplication::processEvents();
        typeHere("a");  // opens the cell's editor
        typeHere("-b c");
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "typing opened the cell's editor";
        EXPECT_EQ(editor->text(), "ABC");
        typeHere("defghijklmn");
        EXPECT_EQ(editor->text(), "ABCDEFGHIJ") << "ten characters at most";
        pressChecked(Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(look.FaSelectProdAttr1->ranges().at(1).begin, "ABCDEFGHIJ");
        clickInto(look.ProductName);
        pressChecked(Qt::Key_Escape);
    });
}

} // namespace
