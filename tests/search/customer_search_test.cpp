// The customer search as the inquiry window opens it (made once, shown
// modally, the code read back), driven by the keys a clerk presses and the
// mouse where a clerk uses it: the filter boxes, the attribute-range grid
// with its code look-up, the sales-person and province pickers, titles.

#include "SearchSite.h"

#include "search/TF_SearchCustomer.h"
#include "search/TF_SearchCustomerPos.h"
#include "search/TF_SearchMisc.h"
#include "search/TF_SearchSalesman.h"
#include "search/TFaGetProvince.h"
#include "search/TFaGetSalesman.h"
#include "search/TFaSelectCustomerAttr.h"
#include "search/TFrSearchCusAttrCode.h"
#include "widgets/TKIdLookup.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// Beside SearchSite's code tables: K100 to K102 and K200 are listed; C001
// (no province, no sales person), K103 (blocked), K104 (no province) and
// K105 (its sales person's row is gone) never are. Group GR's codes joined
// to its own code read like GRADE's ("GR" + "ADEA"), and TYPE has a code A
// described as GRADE's B is, so a look-up or a range that leaves its group
// shows.
const char* kCustomers = R"(
Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (10, 'K100', N'ร้านสมใจ', 'Somjai Shop', N'1 ถนนหนึ่ง', 1, '02-111-2222', '02-111-2223', 1, 'N')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (11, 'K101', N'Joe''s ร้านค้า', 'Joe''s Store', N'2 ถนนสอง', 2, '053-123456', Null, 2, 'N')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (12, 'K102', N'บ้านสวน', 'Ban Suan', N'3 ถนนสาม', 3, '043-999000', Null, 1, 'N')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (13, 'K103', N'ร้านปิดแล้ว', 'Closed', N'4', 1, '02-111-9999', Null, 1, 'Y')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (14, 'K104', N'ร้านไม่มีจังหวัด', 'No Province', N'5', Null, Null, Null, 1, 'N')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (15, 'K105', N'ร้านพนักงานหาย', 'Gone Rep', N'6', 1, Null, Null, 99, 'N')
Insert Into Customer (Id, Code, Name, NameEng, Address1, Province, PhoneNo, FaxNo, Salesman, Blocked) Values (16, 'K200', N'กมลพาณิชย์', 'Kamon Panich', N'7', 1, '02-500-1111', Null, 2, 'N')
Set Identity_Insert Customer Off
Set Identity_Insert CusAttrGroup On
Insert Into CusAttrGroup (Id, Code, Description) Values (1, 'GRADE', N'ระดับ')
Insert Into CusAttrGroup (Id, Code, Description) Values (2, 'TYPE', N'กลุ่ม')
Insert Into CusAttrGroup (Id, Code, Description) Values (3, 'GR', N'ภาค')
Set Identity_Insert CusAttrGroup Off
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (1, 'A', N'ดีมาก')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (1, 'B', N'ดี')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (1, 'C', N'พอใช้')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (1, 'D', N'เฝ้าระวัง')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (2, 'A', N'ดี')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (2, 'RT', N'ร้านค้าปลีก')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (3, 'N', N'เหนือ')
Insert Into CustomerAttribute (Customer, GroupCode) Values (10, 'GRADEA')
Insert Into CustomerAttribute (Customer, GroupCode) Values (11, 'GRADEB')
Insert Into CustomerAttribute (Customer, GroupCode) Values (12, 'GRADEC')
Insert Into CustomerAttribute (Customer, GroupCode) Values (16, 'GRADED')
Insert Into CustomerAttribute (Customer, GroupCode) Values (10, 'TYPERT')
Insert Into CustomerAttribute (Customer, GroupCode) Values (11, 'TYPEA')
Insert Into CustomerAttribute (Customer, GroupCode) Values (12, 'GRN')
)";

const QStringList kListed{"K100", "K101", "K102", "K200"};

class CustomerSearch : public SearchSite {
protected:
    void SetUp() override
    {
        SearchSite::SetUp();
        site.business(QString::fromUtf8(kCustomers));
        dm.LastCustomerSearch.clear();
        TF_SearchSalesman::SortField = 0;
    }

    TF_SearchCustomer& window() { return *TF_SearchCustomer::instance(); }

    // Opens the window as its caller does; `step` is what the clerk does in it.
    int open(const std::function<void(TF_SearchCustomer&)>& step)
    {
        onNextModal([&](QDialog& dialog) { step(static_cast<TF_SearchCustomer&>(dialog)); });
        return window().exec();
    }

    static QStringList codes(TF_SearchCustomer& w) { return column(w.grid(), "Code"); }

    // From the Thai-name box, where the window opens, back to the attribute
    // grid (first in the tab order), then down to the row of `group`.
    static void toAttributeRow(TF_SearchCustomer& w, const QString& group)
    {
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_Backtab, Qt::ShiftModifier);
        ASSERT_TRUE(focusIsIn("DgSelectCusAttr")) << qPrintable(focusDescription());
        db::Query& groups = w.FaSelectCustomerAttr1->QCusAttrGroup;
        for (int i = 0; i < groups.recordCount() && groups.asString("Code").trimmed() != group; ++i)
            press(Qt::Key_Down);
        ASSERT_EQ(groups.asString("Code").trimmed(), group);
    }

    // A cell editor hands its text to the grid from the event loop, as
    // Qt's delegates do, so the loop runs after a key in the grid.
    static void pressInGrid(int key)
    {
        press(key);
        QApplication::processEvents();
    }

    static QString attribute(TF_SearchCustomer& w, const char* field)
    {
        return w.FaSelectCustomerAttr1->QCusAttrGroup.asString(QLatin1String(field));
    }
};

// ---------------------------------------------------------------- filters

TEST_F(CustomerSearch, EnterWithNothingTypedListsTheUnblockedCustomersOnFileByCodeAndEnterChooses)
{
    const int result = open([&](TF_SearchCustomer& w) {
        EXPECT_FOCUS("CustomerName");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(codes(w), kListed) << "blocked, province-less and sales-person-less customers stay out";
        EXPECT_FOCUS("ListData");
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(window().SelectedCode, "K101");
    EXPECT_EQ(window().SelectedName, "Joe's ร้านค้า");
}

TEST_F(CustomerSearch, CodeIsAPrefixWhileTelephoneFaxAndNamesAreContained)
{
    struct Case {
        const char* box;
        QString typed;
        QStringList expected;
    };
    const QVector<Case> cases{
        {"CustomerCode", "K1", {"K100", "K101", "K102"}},
        {"CustomerCode", "100", {}},
        {"PhoneNo", "111-2", {"K100"}},
        {"Fax", "2223", {"K100"}},
        {"CustomerName", "สวน", {"K102"}},
        {"CustomerName", "Joe's", {"K101"}},
        {"CustomerNameEng", "joe's", {"K101"}},
        {"CustomerNameEng", "an", {"K102", "K200"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed.toStdString());
        open([&](TF_SearchCustomer& w) {
            for (QLineEdit* b : {w.CustomerCode, w.PhoneNo, w.Fax, w.CustomerNameEng}) {
                clickInto(b);  // the boxes keep their text between openings
                press(Qt::Key_A, Qt::ControlModifier);
                press(Qt::Key_Delete);
            }
            clickInto(w.findChild<QLineEdit*>(c.box));
            typeHere(c.typed);
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(codes(w), c.expected);
            press(Qt::Key_Escape);
        });
    }
}

TEST_F(CustomerSearch, HostileTextIsSearchedAsTypedWithoutADatabaseError)
{
    const QStringList typed{"'", "O'Ton'", "%", "_", "[", "[a-z]%", "'; Drop Table Customer --", QString(2000, 'x'),
                            "สม'ใจ"};
    const int before = count("Select Count(*) From Customer");
    for (const QString& text : typed) {
        SCOPED_TRACE(text.left(30).toStdString());
        open([&](TF_SearchCustomer& w) {
            typeHere(text.left(60));
            pressChecked(Qt::Key_Return);
            EXPECT_TRUE(w.QSearch.isOpen());
            press(Qt::Key_Escape);
        });
    }
    EXPECT_EQ(count("Select Count(*) From Customer"), before);
}

TEST_F(CustomerSearch, ChoosingFromAnEmptyListIsOkWithAnEmptyCode)
{
    const int result = open([&](TF_SearchCustomer& w) {
        typeHere("ไม่มีลูกค้าชื่อนี้");
        pressChecked(Qt::Key_Return);
        EXPECT_TRUE(w.QSearch.isEmpty());
        EXPECT_FOCUS("CustomerName");
        QTest::mouseClick(w.Btok, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted) << "the inquiry window empties its customer box on this";
    EXPECT_TRUE(window().SelectedCode.isEmpty());
    EXPECT_TRUE(window().SelectedName.isEmpty());
}

TEST_F(CustomerSearch, TheNameTypedLastComesBackOnlyWhenTheSetupRowSaysSo)
{
    site.business("Update Config Set ShowLastSearch = 'Y'");
    open([&](TF_SearchCustomer& w) {
        typeHere("สม");
        clickInto(w.CustomerCode);  // leaving the name box keeps it
        typeHere("K1");
        press(Qt::Key_Escape);
    });
    open([&](TF_SearchCustomer& w) {
        EXPECT_EQ(w.CustomerName->text(), "สม");
        EXPECT_EQ(w.CustomerCode->text(), "K1") << "the code box keeps its text between openings";
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(codes(w), QStringList{"K100"});
        press(Qt::Key_Escape);
    });
    site.business("Update Config Set ShowLastSearch = 'N'");
    dm.QConfig.close();
    open([&](TF_SearchCustomer& w) {
        EXPECT_TRUE(w.CustomerName->text().isEmpty());
        press(Qt::Key_Escape);
    });
}

// ---------------------------------------------------------------- attribute ranges

TEST_F(CustomerSearch, ARangeFromAToCTakesBothBoundsAndEnterInTheGridNeverSearches)
{
    open([&](TF_SearchCustomer& w) {
        toAttributeRow(w, "GRADE");
        typeHere("a");
        pressInGrid(Qt::Key_Return);
        EXPECT_EQ(w.FaSelectCustomerAttr1->grid()->currentField(), "EndAttrCode");
        typeHere("c");
        pressInGrid(Qt::Key_Return);
        EXPECT_FALSE(w.QSearch.isOpen()) << "Enter in the attribute grid is the grid's";
        EXPECT_EQ(attribute(w, "BeginAttrCode"), "A") << "codes are upper case";
        EXPECT_EQ(attribute(w, "EndAttrCode"), "C");
        EXPECT_EQ(w.FaSelectCustomerAttr1->QCusAttrGroup.recordCount(), 3) << "no row was added";
        QTest::mouseClick(w.BtSearch, Qt::LeftButton);
        EXPECT_EQ(codes(w), (QStringList{"K100", "K101", "K102"}));
        press(Qt::Key_Escape);
    });
    open([&](TF_SearchCustomer& w) {
        EXPECT_TRUE(attribute(w, "BeginAttrCode").isEmpty()) << "ranges are emptied at every opening";
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(codes(w), kListed);
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, AnEndCodeAloneRunsFromTheGroupsStartAndOddEntryIsDropped)
{
    open([&](TF_SearchCustomer& w) {
        toAttributeRow(w, "GRADE");
        press(Qt::Key_Return);  // on to the end code, nothing typed
        typeHere("b-'%");
        pressInGrid(Qt::Key_Return);
        EXPECT_EQ(attribute(w, "EndAttrCode"), "B") << "only letters and digits stay";
        QTest::mouseClick(w.BtSearch, Qt::LeftButton);
        EXPECT_EQ(codes(w), (QStringList{"K100", "K101"}));
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, AStartCodeAloneRunsToTheGroupsEnd)
{
    open([&](TF_SearchCustomer& w) {
        toAttributeRow(w, "GRADE");
        typeHere("c");
        pressInGrid(Qt::Key_Return);
        QTest::mouseClick(w.BtSearch, Qt::LeftButton);
        EXPECT_EQ(codes(w), (QStringList{"K102", "K200"})) << "grades C and D";
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, F5InACodeCellListsTheRowsGroupNarrowingAsYouTypeAndTheChoiceLandsThere)
{
    open([&](TF_SearchCustomer& w) {
        toAttributeRow(w, "GRADE");
        press(Qt::Key_Return);  // the end column
        onNextModal([&](QDialog& dialog) {
            auto& look = static_cast<TFrSearchCusAttrCode&>(dialog);
            EXPECT_FOCUS("ListData");
            EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"A", "B", "C", "D"})) << "GRADE's codes only";
            clickInto(look.Description);
            typeHere("ดี");
            EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"A", "B"})) << "narrowed as typed, within the group";
            EXPECT_FOCUS("Description");
            QTest::mouseClick(look.FullWord, Qt::LeftButton, Qt::NoModifier, QPoint(6, look.FullWord->height() / 2));
            clickInto(look.Description);
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), QStringList{"B"});
            EXPECT_FOCUS("ListData");
            press(Qt::Key_Return);
        });
        press(Qt::Key_F5);
        EXPECT_EQ(attribute(w, "EndAttrCode"), "B");
        EXPECT_TRUE(attribute(w, "BeginAttrCode").isEmpty());
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, TheWholeWordLookUpMatchesACodeAsWellAsADescription)
{
    open([&](TF_SearchCustomer& w) {
        toAttributeRow(w, "TYPE");
        onNextModal([&](QDialog& dialog) {
            auto& look = static_cast<TFrSearchCusAttrCode&>(dialog);
            clickInto(look.Description);
            QTest::mouseClick(look.FullWord, Qt::LeftButton, Qt::NoModifier, QPoint(6, look.FullWord->height() / 2));
            clickInto(look.Description);
            typeHere("RT");
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), QStringList{"RT"});
            press(Qt::Key_Escape);
        });
        press(Qt::Key_F5);
        EXPECT_TRUE(attribute(w, "BeginAttrCode").isEmpty()) << "Cancel leaves the cell as it was";
        press(Qt::Key_Escape);
    });
}

// ---------------------------------------------------------------- pickers, titles, captions

TEST_F(CustomerSearch, TheSalesPersonAndProvinceComeThroughTheirPickersF5)
{
    open([&](TF_SearchCustomer& w) {
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        EXPECT_FOCUS("Salesman");
        typeHere("S9");
        EXPECT_TRUE(w.FaGetSalesman1->Salesman->text().isEmpty()) << "the box is filled by its search only";
        onNextModal([&](QDialog&) {
            pressChecked(Qt::Key_Return);
            press(Qt::Key_Down);  // S01, S02
            press(Qt::Key_Return);
        });
        press(Qt::Key_F5);
        EXPECT_EQ(w.FaGetSalesman1->Salesman->text(), "S02");
        press(Qt::Key_Tab);
        EXPECT_FOCUS("Province");
        onNextModal([&](QDialog& dialog) {
            auto& look = static_cast<TF_SearchMisc&>(dialog);
            EXPECT_EQ(look.windowTitle(), "ค้นหา รายชื่อจังหวัด");
            EXPECT_FALSE(column(look.grid(), "Code").contains("BKX")) << "provinces only";
            typeHere("CMI");
            pressChecked(Qt::Key_Return);
            press(Qt::Key_Return);
        });
        press(Qt::Key_F5);
        EXPECT_EQ(w.FaGetProvince1->Province->text(), "CMI");
        EXPECT_EQ(w.FaGetProvince1->ProvinceName->text(), "เชียงใหม่");
        EXPECT_EQ(w.QNull.asInteger("ProvinceId"), 2);
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(codes(w), QStringList{"K101"});
        press(Qt::Key_Escape);
    });
    open([&](TF_SearchCustomer& w) {
        EXPECT_TRUE(w.FaGetProvince1->Province->text().isEmpty()) << "the pickers start empty";
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, TitleClicksPickTheOrderOfTheirColumnAndEveryOpeningStartsByCode)
{
    open([&](TF_SearchCustomer& w) {
        pressChecked(Qt::Key_Return);
        clickTitle(w.grid(), "Name");
        EXPECT_EQ(codes(w), (QStringList{"K101", "K200", "K102", "K100"})) << "Joe's, กมล, บ้าน, ร้าน";
        clickTitle(w.grid(), "Description");
        EXPECT_EQ(codes(w).mid(2), (QStringList{"K102", "K101"})) << "by province: กรุงเทพ twice, ขอนแก่น, เชียงใหม่";
        press(Qt::Key_Escape);
    });
    open([&](TF_SearchCustomer& w) {
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(codes(w), kListed);
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, EnglishCaptionsLeaveTheFaxAndTheLastTwoTitlesThai)
{
    asUser(2);
    open([&](TF_SearchCustomer& w) {
        EXPECT_EQ(w.Label2->text(), "Customer");
        EXPECT_EQ(w.Name->text(), "ThaiName");
        EXPECT_EQ(w.FaGetSalesman1->Label21->text(), "SalesPerson");
        EXPECT_EQ(w.FaGetProvince1->Label2->text(), "Province");
        EXPECT_EQ(w.LFax->text(), "แฟกซ์");
        EXPECT_EQ(w.Btok->text(), "Choose");
        QStringList titles;
        for (const widgets::GridColumn& c : w.grid()->columns())
            titles << c.title;
        EXPECT_EQ(titles, (QStringList{"Thai Name", "Code", "Sales", "Address", "Eng Name", "โทรศัพท์", "แฟกซ์"}));
        EXPECT_EQ(w.FaSelectCustomerAttr1->grid()->columns().at(1).title, "From Code");
        press(Qt::Key_Escape);
    });
    asUser(1);
    open([&](TF_SearchCustomer& w) {
        EXPECT_EQ(w.Label2->text(), "รหัสลูกค้า");
        EXPECT_EQ(w.grid()->columns().first().title, "ชื่อลูกค้า (ไทย)");
        press(Qt::Key_Escape);
    });
}

TEST_F(CustomerSearch, ThePointOfSaleWindowPassesItsProvinceButtonOnToTheFrame)
{
    TF_SearchCustomerPos* pos = TF_SearchCustomerPos::instance();
    onNextModal([&](QDialog&) {
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        EXPECT_FOCUS("Province");
        onNextModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "ค้นหา รายชื่อจังหวัด");
            pressChecked(Qt::Key_Return);
            press(Qt::Key_Return);
        });
        QTest::mouseClick(pos->FaGetProvince1->BtSearchShipProvince, Qt::LeftButton);
        EXPECT_EQ(pos->FaGetProvince1->Province->text(), "ANG") << "the first province by code";
        press(Qt::Key_Escape);
    });
    pos->exec();
}

} // namespace
