// The product data module's on-hand texts: the formatter with the worked
// Box 12 / Piece examples, and the four operations on stored on-hand rows.

#include "ProductSite.h"

#include "product/OnHandText.h"

namespace {

TEST(OnHandText, BoxOfTwelvePieces)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        double quantity;
        const char* text;
    } rows[] = {
        {30, "2 Box 6 Piece"},   {-30, "- 2 Box 6 Piece"}, {24, "2 Box"},       {6, " 6 Piece"},
        {0, "0 Box"},            {12.5, "1 Box .5 Piece"}, {1234 * 12, "1,234 Box"}, {0.25, " .25 Piece"},
        {-6, "-  6 Piece"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.quantity);
        // The whole-unit pattern ends in a blank, so "2 Box" really is "2 " + "Box".
        EXPECT_EQ(product::onHandText(row.quantity, 12, QStringLiteral("Box"), QStringLiteral("Piece")),
                  QString::fromUtf8(row.text));
    }
}

TEST(OnHandText, StockUnitOfOneSmallUnitAndNoStockUnit)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(product::onHandText(2.5, 1, QStringLiteral("Piece"), QStringLiteral("Piece")), "2.5 Piece");
    EXPECT_EQ(product::onHandText(1234567, 1, QStringLiteral("Piece"), QStringLiteral("Piece")), "1,234,567 Piece");
    EXPECT_EQ(product::onHandText(0, 1, QStringLiteral("Piece"), QStringLiteral("Piece")), "0 Piece");
    EXPECT_EQ(product::onHandText(7, 0, QString(), QStringLiteral("Piece")), "7 ") << "no stock unit: fraction 1";
    EXPECT_EQ(product::onHandText(7.5, 0, QString(), QStringLiteral("Piece")), "7  .5 Piece");
}

TEST(OnHandText, SeparatorsFollowTheRegionalSettings)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(product::onHandText(1234 * 12 + 0.5, 12, QStringLiteral("Box"), QStringLiteral("Piece")),
              "1.234 Box ,5 Piece");
    EXPECT_EQ(product::onHandText(1234.5, 1, QStringLiteral("Piece"), QStringLiteral("Piece")), "1.234,5 Piece");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

class OnHand : public ProductModule {
protected:
    void SetUp() override
    {
        ProductModule::SetUp();
        // A100 in small units (Piece): MAIN 30 under Box, 6 under Piece;
        // SHOP -30; RMA 24; a year before and after that must not count.
        site.business(QStringLiteral(R"(
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 11, 1, 2026, 30)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 10, 1, 2026, 6)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 11, 2, 2026, -30)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 11, 3, 2026, 24)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 11, 1, 2025, 1000)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 11, 1, 2027, 1000)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (9, 90, 1, 2026, 7)
)"));
    }
};

TEST_F(OnHand, WholeProductOverAllWarehousesOfTheYear)
{
    EXPECT_EQ(product.ProductQuantity(1, 2026), "2 Box 6 Piece") << "36 - 30 + 24 = 30 pieces";
    EXPECT_EQ(product.ProductQuantity(1, 2024), "0 Box") << "a year without rows";
    EXPECT_EQ(product.ProductQuantity(9, 2026), "7 ") << "N900 has no stock unit";
    EXPECT_EQ(product.WHOnHandQnty, 0.0) << "only the warehouse operations keep their sum";
}

TEST_F(OnHand, OneWarehouseKeepsItsSignedSum)
{
    EXPECT_EQ(product.ProductWHQuantity(1, 2, 2026), "- 2 Box 6 Piece");
    EXPECT_EQ(product.WHOnHandQnty, -30.0);
    EXPECT_EQ(product.ProductWHQuantity(1, 1, 2026), "3 Box");
    EXPECT_EQ(product.WHOnHandQnty, 36.0);
    EXPECT_EQ(product.ProductWHQuantity(1, 4, 2026), "0 Box");
    EXPECT_EQ(product.WHOnHandQnty, 0.0);
}

TEST_F(OnHand, OneUnitInOneWarehouseNeverCountsTheReturnsStore)
{
    EXPECT_EQ(product.ProductUnitsWHQuantity(1, 11, 1, 2026), "2 Box 6 Piece");
    EXPECT_EQ(product.WHOnHandQnty, 30.0);
    EXPECT_EQ(product.ProductUnitsWHQuantity(1, 10, 1, 2026), " 6 Piece");
    EXPECT_EQ(product.ProductUnitsWHQuantity(1, 11, 3, 2026), "0 Box") << "RMA holds 24 but never counts";
    EXPECT_EQ(product.WHOnHandQnty, 0.0);
    EXPECT_EQ(product.ProductWHQuantity(1, 3, 2026), "2 Box") << "the warehouse operation does count it";
}

TEST_F(OnHand, GivenQuantityInTheProductsUnits)
{
    product.WHOnHandQnty = 5;
    EXPECT_EQ(product.ShowQuantity(1, 12.5), "1 Box .5 Piece");
    EXPECT_EQ(product.ShowQuantity(8, 2.5), "2.5 Piece") << "P800: stock unit = small unit";
    EXPECT_EQ(product.ShowQuantity(99, 12), "Error") << "no such product";
    EXPECT_EQ(product.WHOnHandQnty, 5.0);
}

} // namespace
