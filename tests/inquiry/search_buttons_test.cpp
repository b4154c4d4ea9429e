// The inquiry window's search buttons as the clerk uses them, keys only
// (Clerk.h): F5 in a code box opens its search, what is chosen lands in the
// box and nothing loads until Enter; Escape in a search changes nothing.
// The searches are the program's own, on a real site.

#include "Clerk.h"
#include "InquiryFixture.h"

#include "support/ModalDialog.h"
#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "inquiry/TFrInquiryPrice.h"
#include "search/TF_SearchCustomer.h"
#include "search/TFrSearchProductService.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Customers are listed by the customer search only with a province and a
// sales person on file.
const char* kData = R"(
Set Identity_Insert Misc On
Insert Into Misc (Id, GroupCode, Code, Description) Values (1, 'CITY', 'BKK', N'กรุงเทพมหานคร')
Set Identity_Insert Misc Off
Set Identity_Insert Salesman On
Insert Into Salesman (Id, Code, Name, Surname) Values (1, 'S01', N'สมชาย', N'ใจดี')
Set Identity_Insert Salesman Off
Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name, Province, Salesman) Values (1, 'C001', N'ร้านสมใจ', 1, 1)
Insert Into Customer (Id, Code, Name, Province, Salesman) Values (2, 'C002', N'ร้านมั่งมี', 1, 1)
Set Identity_Insert Customer Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType) Values (1, 'A100', N'น้ำดื่ม', 'P')
Set Identity_Insert Product Off
Insert Into ProductUnits (Product, UnitName, Fraction, SaleFlag, SmallUnitFlag) Values (1, N'ขวด', 1, 'Y', 'Y')
)";

class SearchButtons : public InquiryFixture {
protected:
    void SetUp() override
    {
        site.business(QString::fromUtf8(kData));
        attach("ACME");
        open();
    }
    void TearDown() override
    {
        window.reset();
        widgets::destroyGlobalWindows();
        InquiryFixture::TearDown();
    }

    // Everything the clerk reads in the window that a search could change.
    QStringList visible() const
    {
        const TFrInquiryPrice& w = *window;
        return {w.GetCustomerCode->text(), w.CustomerName->text(), w.GetProductCode->text(), w.ProductName->text(),
                QString::number(w.QUnits.recordCount()), QString::number(w.Qonhand.recordCount()),
                QString::number(w.QPrice.recordCount()), w.LastMrPrice->text()};
    }

    TestSite site;
};

TEST_F(SearchButtons, F5FindsACustomerByNameAndEnterLooksItUp)
{
    TFrInquiryPrice& w = *window;
    ASSERT_EQ(clerk::focused(), w.GetCustomerCode);
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TF_SearchCustomer");
        EXPECT_FOCUS("CustomerName");
        typeHere(QString::fromUtf8("มั่ง"));
        press(Qt::Key_Return);  // searches; the list takes the focus
        EXPECT_FOCUS("ListData");
        press(Qt::Key_Return);  // chooses
    });
    clerk::press(Qt::Key_F5);
    EXPECT_EQ(w.GetCustomerCode->text(), "C002");
    EXPECT_EQ(clerk::focused(), w.GetCustomerCode);
    EXPECT_EQ(w.CustomerName->text(), "-") << "choosing does not look the customer up";
    EXPECT_FALSE(w.QCustomer.isOpen());

    clerk::press(Qt::Key_Return);
    EXPECT_EQ(w.CustomerName->text(), QString::fromUtf8("ร้านมั่งมี"));
    EXPECT_EQ(clerk::focused(), w.GetProductCode);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

TEST_F(SearchButtons, EscapeInEitherSearchChangesNothing)
{
    TFrInquiryPrice& w = *window;
    clerk::enter("C001");
    clerk::enter("A100");
    ASSERT_EQ(w.ProductName->text(), QString::fromUtf8("น้ำดื่ม"));
    const QStringList before = visible();

    // Product box (it keeps the focus after a load).
    ASSERT_EQ(clerk::focused(), w.GetProductCode);
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TFrSearchProductService");
        press(Qt::Key_Escape);
    });
    clerk::press(Qt::Key_F5);
    EXPECT_EQ(visible(), before);

    // Customer box, typed over but not yet entered.
    clerk::tabTo(w.GetCustomerCode, true);
    clerk::type("C0");
    const QStringList typed = visible();
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TF_SearchCustomer");
        typeHere(QString::fromUtf8("สมใจ"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    clerk::press(Qt::Key_F5);
    EXPECT_EQ(visible(), typed);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

TEST_F(SearchButtons, ChoosingFromAnEmptyCustomerListKeepsTheTypedCode)
{
    TFrInquiryPrice& w = *window;
    clerk::type("C00");
    onNextModal([](QDialog& dialog) {
        typeHere("nobody");
        press(Qt::Key_Return);  // finds nothing
        auto* choose = dialog.findChild<QPushButton*>("Btok");
        ASSERT_NE(choose, nullptr);
        QTest::mouseClick(choose, Qt::LeftButton);
    });
    clerk::press(Qt::Key_F5);
    EXPECT_EQ(w.GetCustomerCode->text(), "C00") << "the customer search answers OK with nothing chosen";
    EXPECT_EQ(w.CustomerName->text(), "-");
}

TEST_F(SearchButtons, TheProductSearchOpensWithEveryProductTypeAllowed)
{
    TFrInquiryPrice& w = *window;
    TFrSearchProductService* search = TFrSearchProductService::instance();
    QString filterWhenShown = "not shown";
    for (int opening = 0; opening < 2; ++opening) {
        // Another caller restricted the search to services.
        search->ProductTypeFilter = "S";
        onNextModal([&](QDialog&) {
            filterWhenShown = search->ProductTypeFilter;
            press(Qt::Key_Escape);
        });
        if (opening == 0) {
            clerk::tabTo(w.GetProductCode);
            clerk::press(Qt::Key_F5);
        } else {
            QTest::mouseClick(w.BtSearchProduct, Qt::LeftButton);
        }
        EXPECT_EQ(filterWhenShown, QString()) << "opening " << opening;
        filterWhenShown = "not shown";
    }
    EXPECT_EQ(w.GetProductCode->text(), QString());
}

TEST_F(SearchButtons, TheButtonsSayWhatTheyDo)
{
    for (QToolButton* b : {window->BtSearchCustomer, window->BtSearchProduct}) {
        EXPECT_EQ(b->toolTip(), QString::fromUtf8("ค้นหารหัสกลุ่ม")) << b->objectName().toStdString();
        EXPECT_EQ(b->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(b->autoRaise()) << "flat";
    }
    EXPECT_EQ(window->BtSearchCustomer->accessibleName(), QString::fromUtf8("ค้นหารหัสกลุ่ม รหัสลูกค้า"));
    EXPECT_EQ(window->BtSearchProduct->accessibleName(), QString::fromUtf8("ค้นหารหัสกลุ่ม รหัสสินค้า"));
}

} // namespace
