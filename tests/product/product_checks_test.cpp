// The product data module's code checks and unit look-ups, run on a real
// site with the module as start-up creates it. Each case names the row of
// ProductSite.h that makes it visible.

#include "ProductSite.h"

namespace {

using Checks = ProductModule;

TEST_F(Checks, ProductExistsOnlyWhenSellableWithTaxAndWarehouse)
{
    EXPECT_TRUE(product.ExistsProduct(QStringLiteral("A100")));
    EXPECT_EQ(product.QChkProduct.asInteger(QStringLiteral("Id")), 1) << "the found row stays open for the caller";
    EXPECT_EQ(product.QChkProduct.asString(QStringLiteral("WhCode")), "MAIN");
    EXPECT_DOUBLE_EQ(product.QChkProduct.asFloat(QStringLiteral("TaxRate")), 7.0);

    for (const char* code : {"B200", "M300", "NT500", "NW600", "A10", "A1000", ""}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(product.ExistsProduct(QLatin1String(code)));
    }
    // Hostile text is bound, not spliced: it finds nothing and breaks nothing.
    for (const QString& code : {QStringLiteral("A100' Or '1'='1"), QStringLiteral("%"), QString(10000, QLatin1Char('x'))}) {
        SCOPED_TRACE(code.left(20).toStdString());
        EXPECT_FALSE(product.ExistsProduct(code));
    }
    EXPECT_EQ(site.businessRows(QStringLiteral("Select Count(*) From Product")), QStringList{"10"});
}

TEST_F(Checks, EmptyBlockedCountsAsSellableForTheProductButNotForItsBarCode)
{
    setSetupRow(2, QStringLiteral("N"));
    EXPECT_TRUE(product.ExistsProduct(QStringLiteral("E400")));
    EXPECT_EQ(product.SpecialName, "") << "the display-name statement compares Blocked without Coalesce";
    EXPECT_FALSE(product.ExistsBarCode(QStringLiteral("8850040")));
}

TEST_F(Checks, SpecialNameOnlyWithSearchProductNoTwo)
{
    EXPECT_TRUE(product.ExistsProduct(QStringLiteral("A100")));
    EXPECT_EQ(product.SpecialName, "");

    setSetupRow(2, QStringLiteral("N"));
    EXPECT_TRUE(product.ExistsProduct(QStringLiteral("A100")));
    EXPECT_EQ(product.SpecialName, QStringLiteral("น้ำดื่ม")) << "trimmed on both sides by the statement";

    EXPECT_FALSE(product.ExistsProduct(QStringLiteral("B200")));
    EXPECT_EQ(product.SpecialName, "") << "a miss clears the last product's name";
}

TEST_F(Checks, BarCodeSwitchReadsTheCodeAsABarCodeFirst)
{
    product.ProductByBarCode = true;
    EXPECT_TRUE(product.ExistsProduct(QStringLiteral("8850011")));
    EXPECT_EQ(product.QChkProduct.asString(QStringLiteral("Code")), "A100");
    EXPECT_FALSE(product.ExistsProduct(QStringLiteral("A100"))) << "a product code is no bar code";

    const QString typed = QStringLiteral("8850011");
    product.ExistsProduct(typed);
    EXPECT_EQ(typed, "8850011");
}

TEST_F(Checks, BarCodeOfABlockedProductOrWithoutTaxIsRefused)
{
    EXPECT_TRUE(product.ExistsBarCode(QStringLiteral("8850010")));
    EXPECT_EQ(product.QChkBarCode.asString(QStringLiteral("UnitName")), "Piece");
    EXPECT_EQ(product.QChkBarCode.asInteger(QStringLiteral("ProductId")), 1);
    EXPECT_FALSE(product.ExistsBarCode(QStringLiteral("8850020"))) << "blocked product";
    EXPECT_FALSE(product.ExistsBarCode(QString())) << "units without a bar code are never found";
}

TEST_F(Checks, UnitKindsJoinedByOrForTheCheck)
{
    EXPECT_TRUE(product.ExistsProductUnit(1, QStringLiteral("Box"), TDmProduct::PurchaseUnit));
    EXPECT_EQ(product.QChkUnit.asInteger(QStringLiteral("Fraction")), 12);
    EXPECT_FALSE(product.ExistsProductUnit(1, QStringLiteral("Piece"), TDmProduct::PurchaseUnit));
    EXPECT_TRUE(product.ExistsProductUnit(1, QStringLiteral("Piece"), TDmProduct::PurchaseUnit | TDmProduct::SmallUnit));
    EXPECT_FALSE(product.ExistsProductUnit(1, QStringLiteral("Carton"), TDmProduct::SaleUnit | TDmProduct::StockUnit));
    EXPECT_FALSE(product.ExistsProductUnit(2, QStringLiteral("Box"), TDmProduct::SaleUnit)) << "another product's unit";
    for (const char* unit : {"Piece", "Box", "Carton"}) {
        SCOPED_TRACE(unit);
        EXPECT_FALSE(product.ExistsProductUnit(1, QLatin1String(unit), {})) << "no kind asked: never found";
    }
}

TEST_F(Checks, FirstUnitIsTheSmallestWithAllAskedKinds)
{
    EXPECT_EQ(product.GetFirstUnit(10, TDmProduct::SaleUnit), "Piece")
        << "Single (fraction 0) is a sale unit too, but its NULL purchase flag matches no pattern";
    EXPECT_EQ(product.GetFirstUnit(10, TDmProduct::SaleUnit | TDmProduct::StockUnit), "Carton");
    EXPECT_EQ(product.GetFirstUnit(1, TDmProduct::PurchaseUnit), "Box");
    EXPECT_EQ(product.GetFirstUnit(1, TDmProduct::PurchaseUnit | TDmProduct::SmallUnit), "");
    EXPECT_EQ(product.GetFirstUnit(1, {}), "Piece") << "no kind asked: the smallest unit";
    EXPECT_EQ(product.GetFirstUnit(99, TDmProduct::SaleUnit), "");
}

TEST_F(Checks, StockAndSmallUnits)
{
    EXPECT_EQ(product.GetStockUnit(1), "Box");
    EXPECT_EQ(product.QStockUnit.asInteger(QStringLiteral("Id")), 11);
    EXPECT_EQ(product.GetSmallUnit(1), "Piece");
    EXPECT_EQ(product.GetStockUnit(9), "") << "N900 has no stock unit";
    EXPECT_EQ(product.GetSmallUnit(99), "");
}

TEST_F(Checks, LotExpiresAfterItsExpiryMoment)
{
    site.business(QStringLiteral(R"(
Insert Into LotNo (Code, HasExpired, ExpiredDate) Values ('L-NEVER', 'N', '2000-01-01')
Insert Into LotNo (Code, HasExpired, ExpiredDate) Values ('L-MARCH', 'Y', '2026-03-15')
Insert Into LotNo (Code, HasExpired, ExpiredDate) Values ('L-EMPTY', Null, Null)
)"));
    const QDateTime midnight(QDate(2026, 3, 15), QTime(0, 0));
    EXPECT_TRUE(product.ExistsLotNo(QStringLiteral("L-MARCH"), midnight));
    EXPECT_EQ(product.QChkLotNo.asString(QStringLiteral("Code")), "L-MARCH");
    EXPECT_TRUE(messages.isEmpty());

    EXPECT_FALSE(product.ExistsLotNo(QStringLiteral("L-MARCH"), midnight.addSecs(1)));
    ASSERT_EQ(messages, QStringList{QStringLiteral("LotNo หมดอายุแล้ว")});
    EXPECT_EQ(messageKinds.value(0), widgets::MessageKind::Information);

    messages.clear();
    EXPECT_TRUE(product.ExistsLotNo(QStringLiteral("L-NEVER"), midnight)) << "HasExpired N never expires";
    EXPECT_FALSE(product.ExistsLotNo(QStringLiteral("L-NONE"), midnight));
    EXPECT_TRUE(messages.isEmpty()) << "an unknown lot is an answer, no message";

    EXPECT_FALSE(product.ExistsLotNo(QStringLiteral("L-EMPTY"), QDateTime(QDate(1900, 1, 1), QTime(0, 0))));
    EXPECT_EQ(messages.size(), 1) << "no expiry date counts as expired before any date";
}

TEST_F(Checks, LotOnHandSumsBalanceYearsUpToTheOneAsked)
{
    site.business(QStringLiteral(R"(
Insert Into LotNo (Code, HasExpired) Values ('L1', 'N')
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity) Values (1, 1, 1, 2025, 10.5)
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity) Values (1, 1, 1, 2026, 5)
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity) Values (1, 1, 1, 2027, 100)
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity) Values (1, 1, 2, 2026, 7)
)"));
    EXPECT_DOUBLE_EQ(product.LotNoOnHand(1, 1, 1, 2026), 15.5) << "2025 and 2026, not 2027 nor the other warehouse";
    EXPECT_DOUBLE_EQ(product.LotNoOnHand(1, 1, 2, 2026), 7.0);
    EXPECT_DOUBLE_EQ(product.LotNoOnHand(1, 1, 1, 2024), 0.0) << "an empty sum reads as 0";
    EXPECT_DOUBLE_EQ(product.LotNoOnHand(1, 2, 1, 2026), 0.0);
}

TEST_F(Checks, SerialNumberIsRegisteredThenCheckedOnHand)
{
    site.business(QStringLiteral("Insert Into SerialNo (Product, Serial, OnHand) Values (7, 'SN-SOLD', 'N')"));
    EXPECT_FALSE(product.ExistsSerialNo(QStringLiteral("SN-SOLD"), 7)) << "sold: not on hand";
    EXPECT_TRUE(product.ExistsSerialNo(QStringLiteral("SN-NEW"), 7)) << "registered as on hand by the procedure";
    EXPECT_EQ(site.businessRows(QStringLiteral("Select OnHand From SerialNo Where Serial = 'SN-NEW'")), QStringList{"Y"});

    EXPECT_FALSE(product.ExistsSerialNo(QStringLiteral("SN-A100"), 1)) << "A100 does not use serial numbers";
    EXPECT_EQ(site.businessRows(QStringLiteral("Select Count(*) From SerialNo Where Product = 1")), QStringList{"0"});

    site.business(QStringLiteral("Update Product Set CheckSerialOnhand = 'Y' Where Id = 7"));
    EXPECT_FALSE(product.ExistsSerialNo(QStringLiteral("SN-LATER"), 7)) << "checked on hand elsewhere: not registered";
}

TEST_F(Checks, WarehouseAttributeVendorAndProjectCodes)
{
    EXPECT_TRUE(product.ExistsWarehouse(QStringLiteral("A-01")));
    EXPECT_EQ(product.QChkWarehouse.asString(QStringLiteral("islocation")), "Y");
    EXPECT_FALSE(product.ExistsWarehouse(QStringLiteral("NOWHERE")));

    EXPECT_TRUE(product.ExistsProdAttrCode(1, QStringLiteral("RED")));
    EXPECT_FALSE(product.ExistsProdAttrCode(2, QStringLiteral("RED"))) << "another group";

    EXPECT_TRUE(product.ExistsVendorPartCode(QStringLiteral("VP-11"), 1));
    EXPECT_EQ(product.QChkPartSource.asString(QStringLiteral("UnitName")), "Box");
    EXPECT_FALSE(product.ExistsVendorPartCode(QStringLiteral("VP-11"), 2));

    EXPECT_TRUE(product.ExistsProjectItemCode(QStringLiteral("IT-1"), 7));
    EXPECT_FALSE(product.ExistsProjectItemCode(QStringLiteral("IT-1"), 8));
}

TEST_F(Checks, PartSourceLeavesTheStandardPricesOpenToo)
{
    EXPECT_TRUE(product.ExistsPartSource(11, 1));
    EXPECT_EQ(product.QExistsPartSource.asMoney(QStringLiteral("Price")).toString(), "100.55");
    EXPECT_EQ(product.QPriceStandard.asMoney(QStringLiteral("PurcPrice")).toString(), "95.25");
    EXPECT_FALSE(product.ExistsPartSource(11, 2));
    EXPECT_EQ(product.QPriceStandard.asMoney(QStringLiteral("PurcPrice")).toString(), "95.25")
        << "opened even when the vendor has no record";
}

} // namespace
