// The main data module on a real site: the business connection and its
// setup row, the offered statements, the program-file version check and the
// quantity text.

#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "widgets/NumberMask.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "widgets/MessageBox.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

class DataModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        DMConfig = &config;
        dm.setDatabaseArgument(QStringLiteral(" acme "));
        previousHandler = widgets::setMessageHandler([this](widgets::MessageKind, const QString& text) {
            messages.append(text);
            return true;
        });
    }
    void TearDown() override
    {
        widgets::setMessageHandler(previousHandler);
        DMConfig = nullptr;
    }

    // Product 1 with piece (small, 1), dozen (stock, 12) and box (144); units
    // with fractions 0 and -1 for the odd cases.
    void addUnits()
    {
        site.business(QStringLiteral(R"(
Set Identity_Insert Tax On
Insert Into Tax (Id, Code, Rate) Values (1, 'V7', 7)
Set Identity_Insert Tax Off
Set Identity_Insert Warehouse On
Insert Into Warehouse (Id, Code, Name) Values (1, 'MAIN', N'คลังใหญ่')
Set Identity_Insert Warehouse Off
Set Identity_Insert Misc On
Insert Into Misc (Id, Code, Description, GroupCode) Values (19, 'RETAIL', N'ราคาปลีก', 'PRICETYPE')
Set Identity_Insert Misc Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType, TaxCode, DefaultWh) Values (1, 'A1', N'น้ำ', 'P', 1, 1)
Set Identity_Insert Product Off
Set Identity_Insert ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (10, 1, 'PCS', 1, 'Y', 'Y', 'N', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (11, 1, 'BOX', 12, 'Y', 'Y', 'Y', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (12, 1, 'CTN', 0, 'N', 'N', 'N', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (13, 1, 'ONE', 1, 'N', 'N', 'N', 'N')
Set Identity_Insert ProductUnits Off
)"));
    }

    TestSite site;
    TDMConfig config;
    TDM dm;
    QStringList messages;
    widgets::MessageHandler previousHandler;
};

TEST_F(DataModule, BusinessConnectionListAndSetupFlags)
{
    const QStringList lines = dm.BusinessConnectionLines();
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines[0], "DATABASE NAME=acme") << "blanks removed, letter case kept";
    EXPECT_EQ(lines[1], "SERVER NAME=sqlite:" + site.folder());
    EXPECT_EQ(lines.mid(2), TDMConfig::ConfigConnectionLines().mid(2));

    site.business(QStringLiteral("Update Config Set IvRefSO = 'Y', MrRefPO = 'y', ShowProductPriceList = 'Y'"));
    int connects = 0;
    dm.setAfterConnectHook([&] { ++connects; });
    dm.connection().open();
    EXPECT_EQ(dm.BusinessDatabaseName, "acme");
    EXPECT_TRUE(dm.IvRefSO);
    EXPECT_FALSE(dm.MrRefPO) << "a lower-case y is no";
    EXPECT_FALSE(dm.EditPricePO);
    EXPECT_TRUE(dm.ShowProductPriceList);
    EXPECT_TRUE(dm.QAccountPeriod.isOpen());

    site.business(QStringLiteral("Update Config Set IvRefSO = 'N'"));
    dm.connection().close();
    dm.connection().open();
    EXPECT_FALSE(dm.IvRefSO) << "every reconnect reads the setup row again";
    EXPECT_EQ(connects, 2);
}

TEST_F(DataModule, UnknownBusinessDatabaseIsRefusedByTheServer)
{
    TDM other;
    other.setDatabaseArgument(QStringLiteral("NOPE"));
    try {
        other.connection().open();
        FAIL();
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), "Cannot open database \"NOPE\" requested by the login. The login failed.");
    }
}

TEST_F(DataModule, OfferedStatementsRunOnTheBusinessDatabase)
{
    addUnits();
    for (db::Query* q : {&dm.QProvince, &dm.QTransport, &dm.QPriceLevel, &dm.QTax, &dm.QSalesman})
        EXPECT_NO_THROW(q->open()) << qPrintable(q->sqlText());
    EXPECT_EQ(dm.QPriceLevel.recordCount(), 1);
    dm.QTaxRate.setParam("GetCode", 1);
    dm.QTaxRate.open();
    EXPECT_DOUBLE_EQ(dm.QTaxRate.asFloat("Rate"), 7);
    dm.QStockUnitQnty.setParam("GetProduct", 1);
    dm.QStockUnitQnty.open();
    EXPECT_EQ(rowsOf(dm.QStockUnitQnty), QStringList{"11|BOX|12|PCS"});
    dm.QNewId.open();
    EXPECT_EQ(dm.QNewId.fieldNames(), QStringList{"New_Id"});
    dm.QGetChkDigitBarcode.setParam("Barcode", "885000100001");
    dm.QGetChkDigitBarcode.open();
    EXPECT_EQ(dm.QGetChkDigitBarcode.asString("ChkDigit"), "9");
    dm.QGetChkDigitBarcode.setParam("Barcode", "400638133393");
    dm.QGetChkDigitBarcode.open();
    EXPECT_EQ(dm.QGetChkDigitBarcode.asString("ChkDigit"), "1");
    for (db::Query* q : {&dm.QDocumentNo, &dm.QDocConvert}) {
        q->setParam("GetCode", "IV");
        q->setParam("GetYear", 2026);
        EXPECT_NO_THROW(q->open()) << qPrintable(q->sqlText());
    }
    dm.QAcID.setParam("inputid", 1);
    EXPECT_NO_THROW(dm.QAcID.open());
    dm.SpServerTime.execProc();
    EXPECT_LT(std::abs(dm.SpServerTime.asDateTime("@ServerTime").secsTo(QDateTime::currentDateTime())), 5);
    dm.SpAddLog.setParam("@UserId", 1);
    dm.SpAddLog.setParam("@MenuId", 12);
    dm.SpAddLog.setParam("@FunctionListId", 3);
    dm.SpAddLog.setParam("@DocumentId", 0);
    dm.SpAddLog.setParam("@Remark", QStringLiteral("พิมพ์ใบเสนอราคา"));
    EXPECT_NO_THROW(dm.SpAddLog.execProc());
    dm.DelGL.setParam("id", 5);
    dm.DelGL.setParam("no", "IV-0001");
    EXPECT_NO_THROW(dm.DelGL.execute());
}

TEST_F(DataModule, ProgramFileVersionCheck)
{
    EXPECT_TRUE(dm.CheckVersionProgramEXE("PRICEINQUIRY.EXE", 3));
    EXPECT_EQ(site.businessRows("Select ProgramEXE, Version From CheckVersionProgramEXE"),
              QStringList{"PRICEINQUIRY.EXE|3"});
    EXPECT_TRUE(dm.CheckVersionProgramEXE("PRICEINQUIRY.EXE", 3)) << "equal versions pass";
    EXPECT_FALSE(dm.CheckVersionProgramEXE("priceinquiry.exe", 2));
    EXPECT_EQ(messages, QStringList{QStringLiteral("โปรแกรม priceinquiry.exe เป็นตัวเก่า กรุณา Update Program ด้วย")});
    EXPECT_EQ(site.businessRows("Select Version From CheckVersionProgramEXE"), QStringList{"3"});
}

TEST_F(DataModule, ProgramSchemaScriptIsTheInstalledOne)
{
    // sql/program.sql installs what the version check would add; running the
    // module's own copy again must change nothing.
    const QStringList before = site.businessRows("Select Name From SysColumns Where Id = (Select Id From SysObjects "
                                                 "Where Name = 'Product') Order By ColId");
    dm.RunBusinessSchemaScript();
    EXPECT_EQ(site.businessRows("Select Name From SysColumns Where Id = (Select Id From SysObjects Where Name = "
                                "'Product') Order By ColId"),
              before);
    EXPECT_TRUE(before.contains("ProductFree"));
    EXPECT_TRUE(before.contains("CheckSerialOnhand"));
}

TEST_F(DataModule, QuantityTextWorkedExamples)
{
    addUnits();
    struct Case {
        int unit;
        double quantity;
        const char* onhandDecimal;
        const char* expected;
    } cases[] = {
        {11, 30, "2", "2 (BOX) 6.00 (PCS)"},
        {11, 24, "2", "2 (BOX)"},
        {11, 6, "2", "6.00 (PCS)"},
        {11, 0, "2", "0 (BOX)"},
        {11, -30, "2", "- 2 (BOX) 6.00 (PCS)"},
        {11, -6, "2", "-  6.00 (PCS)"},
        {11, 30.5, "NULL", "2 (BOX) 6.5 (PCS)"},
        {13, 12500, "0", "12,500 (ONE)"},
        {13, 1234.5, "3", "1,234.500 (ONE)"},
        {99, -5, "2", "5.00 ERROR"},
        {0, 12, "2", "12.00 ERROR"},
        // A fraction of 1 writes the whole quantity with the given unit's name.
        {10, 7.25, "NULL", "7.25 (PCS)"},
        {13, 0, "2", "0.00 (ONE)"},
        {13, 0.5, "NULL", ".5 (ONE)"},
        {13, 2.5, "-1", "3 (ONE)"},
        // Fractions of 0 or less divide by 1 and write the rest in small units.
        {12, 7, "2", "7 (CTN)"},
        {12, 7.5, "2", "7 (CTN) 0.50 (PCS)"},
        {12, 0, "2", "0 (CTN)"},
        {11, 1.5, "2", "1.50 (PCS)"},
        {11, 30000000, "NULL", "2,500,000 (BOX)"},
    };
    for (const Case& c : cases) {
        site.business(QStringLiteral("Update Config Set OnhandDecimal = %1").arg(QLatin1String(c.onhandDecimal)));
        dm.QConfig.close();  // the setup row is read again on the next use
        EXPECT_EQ(dm.QuantityText(c.unit, c.quantity), QString::fromUtf8(c.expected))
            << "unit " << c.unit << ", quantity " << c.quantity << ", decimals " << c.onhandDecimal;
    }
    site.business(QStringLiteral("Update Config Set OnhandDecimal = 2, UnitLeft = NULL, UnitRight = '.'"));
    dm.QConfig.close();
    EXPECT_EQ(dm.QuantityText(11, 30), "2 BOX. 6.00 PCS.");
}

TEST(NumberMasks, FollowTheLocaleSeparators)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatNumber(" #,###,##0.00 ", 1234567.891, german), " 1.234.567,89 ");
    EXPECT_EQ(formatNumber("###,###,##0 ", 0, german), "0 ");
    const QLocale thai(QLocale::Thai, QLocale::Thailand);
    EXPECT_EQ(formatNumber(" #,###,###.###### ", 1234.125, thai), " 1,234.125 ");
    EXPECT_EQ(formatNumber("###,##0.00", 2.675, thai), "2.68") << "half away from zero";
    EXPECT_EQ(formatNumber("###,##0.00", -0.001, thai), "0.00") << "no minus zero";
    EXPECT_EQ(formatNumber(" #,###,##0. ", 2.5, thai), " 3 ");
}

} // namespace
