// The product data module's price operations on a real site: the sources of
// a selling price in their order, the promotion's days, the stock-unit mode,
// the project and purchase prices, and prices that come back exactly as
// stored.

#include "ProductSite.h"

namespace {

using Source = TDmProduct::PriceSource;

class Prices : public ProductModule {
protected:
    void SetUp() override
    {
        ProductModule::SetUp();
        site.business(QString::fromUtf8(kPriceRows));
    }

    db::Money price(int customer, int unit, int type, const QDateTime& when = kDay)
    {
        return product.GetPrice(customer, 1, unit, type, when);
    }
    void promotion(int customer, int unit, int type, const char* start, const char* stop, const char* price,
                   const char* discount)
    {
        site.business(QStringLiteral("Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, "
                                     "StopDate, Price, DiscPercent) Values (1, %1, %2, %3, '%4', '%5', %6, %7)")
                          .arg(unit)
                          .arg(type)
                          .arg(customer)
                          .arg(QLatin1String(start), QLatin1String(stop), QLatin1String(price), QLatin1String(discount)));
    }
    void customerPrice(int customer, int unit, const char* price, const char* quantity, const char* discount)
    {
        site.business(QStringLiteral("Insert Into customerproductprice (Customer, Product, ProductUnits, Price, "
                                     "Quantity, Discount) Values (%1, 1, %2, %3, %4, %5)")
                          .arg(customer)
                          .arg(unit)
                          .arg(QLatin1String(price), QLatin1String(quantity), QLatin1String(discount)));
    }

    static inline const QDateTime kDay{QDate(2026, 3, 20), QTime(10, 0)};
};

TEST_F(Prices, PriceListAsStoredThenThePointOfSaleTypeThenZero)
{
    EXPECT_EQ(price(0, 10, 19).toString(), "19.99") << "exactly as stored, no binary neighbour";
    EXPECT_EQ(product.LastPriceSource, Source::PriceList);
    EXPECT_EQ(product.PriceQnty, 1);

    EXPECT_EQ(price(0, 10, 21), db::Money::fromUnits(199900)) << "no member price: the point-of-sale type's";
    EXPECT_EQ(product.LastPriceSource, Source::FallbackType);

    EXPECT_EQ(price(0, 12, 20).units(), 24000001) << "four decimals kept";
    EXPECT_TRUE(price(0, 12, 21).isZero()) << "Carton has neither type 21 nor 19";
    EXPECT_EQ(product.LastPriceSource, Source::None);
    EXPECT_EQ(product.PriceDiscount, "");
    EXPECT_EQ(product.PriceQnty, 1);
}

TEST_F(Prices, CustomerPriceCountsAboveZeroButItsDiscountAlways)
{
    customerPrice(1, 11, "205.5", "6", "'2%'");
    customerPrice(2, 11, "0", "Null", "'5%'");
    customerPrice(3, 11, "Null", "Null", "Null");

    EXPECT_EQ(price(1, 11, 19).toString(2), "205.50");
    EXPECT_EQ(product.PriceDiscount, "2%");
    EXPECT_EQ(product.PriceQnty, 1) << "the customer's quantity is the project price's business only";
    EXPECT_EQ(product.LastPriceSource, Source::CustomerPrice);

    EXPECT_EQ(price(2, 11, 19).toString(), "220") << "a customer price of 0 leaves the list price";
    EXPECT_EQ(product.PriceDiscount, "5%") << "while its discount still counts";
    EXPECT_EQ(product.LastPriceSource, Source::PriceList);

    EXPECT_EQ(price(3, 11, 19).toString(), "220");
    EXPECT_EQ(product.PriceDiscount, "") << "a null discount clears what the last call left";
}

TEST_F(Prices, CustomerPromotionBeatsThePromotionForAllAndTheNewestLineWins)
{
    customerPrice(1, 10, "18", "Null", "'1%'");
    promotion(1, 10, 19, "2026-03-01", "2026-03-31", "19.5", "Null");  // the customer's, older and dearer
    promotion(0, 10, 19, "2026-03-01", "2026-03-31", "17.25", "'3'");
    promotion(2, 10, 19, "2026-03-01", "2026-03-31", "17", "Null");
    promotion(2, 10, 19, "2026-03-10", "2026-03-25", "16.75", "'4'");

    EXPECT_EQ(price(1, 10, 19).toString(), "19.5");
    EXPECT_EQ(product.LastPriceSource, Source::CustomerPromotion);
    EXPECT_EQ(product.PriceDiscount, "") << "the promotion's null discount replaces the customer's";

    EXPECT_EQ(price(2, 10, 19).toString(), "16.75") << "two lines for the customer: the higher id";
    EXPECT_EQ(product.PriceDiscount, "4");

    EXPECT_EQ(price(3, 10, 19).toString(), "17.25");
    EXPECT_EQ(product.LastPriceSource, Source::PromotionForAll);
    EXPECT_EQ(product.PriceDiscount, "3");

    EXPECT_EQ(price(3, 10, 20).toString(), "19.99") << "a promotion is for its price type only";
}

TEST_F(Prices, PromotionWithoutAPriceIsADiscountAtZero)
{
    promotion(0, 11, 20, "2026-03-01", "2026-03-31", "Null", "'10'");
    EXPECT_TRUE(price(1, 11, 20).isZero());
    EXPECT_EQ(product.PriceDiscount, "10");
    EXPECT_EQ(product.LastPriceSource, Source::PromotionForAll);
}

TEST_F(Prices, OnlyTheDayOfThePricingDateCounts)
{
    promotion(0, 10, 19, "2026-03-01", "2026-03-31", "15", "Null");
    EXPECT_EQ(price(0, 10, 19, QDateTime(QDate(2026, 3, 31), QTime(15, 30))).toString(), "15")
        << "15:30 on the stop date";
    EXPECT_EQ(price(0, 10, 19, QDateTime(QDate(2026, 3, 1), QTime(0, 0))).toString(), "15") << "the start date";
    EXPECT_EQ(price(0, 10, 19, QDateTime(QDate(2026, 4, 1), QTime(0, 0))).toString(), "19.99");
    EXPECT_EQ(price(0, 10, 19, QDateTime(QDate(2026, 2, 28), QTime(23, 59, 59))).toString(), "19.99");
}

TEST_F(Prices, StockUnitModeNeedsAllThreeConditions)
{
    customerPrice(1, 11, "200", "Null", "'1%'");
    customerPrice(1, 12, "2300", "Null", "'9%'");
    promotion(1, 12, 20, "2026-03-01", "2026-03-31", "Null", "'7'");

    product.PriceByStockUnit = true;
    setSetupRow(2, QStringLiteral("Y"));
    EXPECT_EQ(price(0, 12, 19).toString(), "220") << "asked for a carton: the box's price, unconverted";
    EXPECT_EQ(product.LastPriceSource, Source::StockUnitPriceList);
    EXPECT_EQ(price(1, 12, 19).toString(), "200") << "the customer price of the stock unit";
    EXPECT_EQ(product.PriceDiscount, "1%");
    EXPECT_TRUE(price(1, 12, 20).isZero()) << "the promotion of the unit asked for";
    EXPECT_EQ(product.PriceDiscount, "7");
    EXPECT_TRUE(price(0, 12, 21).isZero()) << "no fallback type in this mode";

    product.PriceByStockUnit = false;
    EXPECT_EQ(price(1, 12, 19).toString(), "2300") << "switch off: normal mode";
    product.PriceByStockUnit = true;
    setSetupRow(2, QStringLiteral("y"));
    EXPECT_EQ(price(1, 12, 19).toString(), "2300") << "DisplayFraction is compared exactly";
    setSetupRow(1, QStringLiteral("Y"));
    EXPECT_EQ(price(1, 12, 19).toString(), "2300");
}

TEST_F(Prices, ProjectPriceOverridesEverythingAndAnyCustomerPriceCounts)
{
    customerPrice(1, 11, "0", "6", "'5%'");
    EXPECT_TRUE(product.GetProjectPrice(1, 1, 11, 19, 7, kDay).isZero()) << "a customer price of 0 counts here";
    EXPECT_EQ(product.PriceQnty, 6);
    EXPECT_EQ(product.PriceDiscount, "5%");

    promotion(0, 11, 19, "2026-03-01", "2026-03-31", "199.99", "'2'");
    EXPECT_EQ(product.GetProjectPrice(1, 1, 11, 19, 7, kDay).toString(), "199.99");
    EXPECT_EQ(product.PriceQnty, 6) << "the promotion leaves the customer's quantity";
    EXPECT_EQ(product.PriceDiscount, "2");

    site.business(QStringLiteral("Insert Into CustomerProductPriceProject (Customer, Project, Product, ProductUnits, "
                                 "Price, Discount) Values (1, 7, 1, 11, 180.05, Null)"));
    EXPECT_EQ(product.GetProjectPrice(1, 1, 11, 19, 7, kDay).toString(), "180.05");
    EXPECT_EQ(product.PriceDiscount, "") << "the project's null discount replaces the promotion's";
    EXPECT_EQ(product.LastPriceSource, Source::ProjectPrice);
    EXPECT_EQ(product.GetProjectPrice(1, 1, 11, 19, 8, kDay).toString(), "199.99") << "another project";

    EXPECT_TRUE(product.GetProjectPrice(3, 1, 10, 21, 7, kDay).isZero()) << "no fallback to the point-of-sale type";
    EXPECT_EQ(product.PriceQnty, 0) << "no customer price: no quantity";
}

TEST_F(Prices, PurchasePriceFromTheVendorThenTheUnitThenTheDefault)
{
    const db::Money fallback = db::Money::fromUnits(12345);
    EXPECT_EQ(product.SetPurchasePrice(1, 1, fallback, 11).toString(), "100.55");
    EXPECT_TRUE(product.SetPurchasePrice(1, 2, fallback, 12).isZero()) << "the vendor's empty price, not the unit's";
    EXPECT_EQ(product.SetPurchasePrice(1, 2, fallback, 11).toString(), "95.25") << "no vendor row: the unit's";
    EXPECT_EQ(product.SetPurchasePrice(1, 2, fallback, 999), fallback) << "no such unit: the default";
}

} // namespace
