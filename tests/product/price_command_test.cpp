// qel-db price, run in-process on a real site (Server.Dat names it, as at a
// customer's): what an administrator reads for each source of a price, and
// what a wrong command line or a wrong code gets.

#include "ProductSite.h"

#include "support/ToolRun.h"

namespace {

class PriceCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        site.business(QString::fromUtf8(kProductRows));
        site.business(QString::fromUtf8(kPriceRows));
        site.business(QStringLiteral(R"(
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount) Values (2, 1, 11, 0, 6, '5%')
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount) Values (3, 1, 11, 199, 6, Null)
Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, StopDate, Price, DiscPercent)
  Values (1, 10, 19, 0, '2026-03-01', '2026-03-31', 18.5, '3')
Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, StopDate, Price, DiscPercent)
  Values (1, 10, 19, 1, '2026-03-01', '2026-03-31', 18.75, Null)
)"));
    }

    static ToolOutcome price(const QStringList& options)
    {
        return runTool(QStringList{"--database", "ACME", "price"} + options);
    }
    static QString said(const QString& price, const QString& discount, int quantity, const QString& source)
    {
        return QStringLiteral("price: %1\ndiscount: %2\nquantity: %3\nsource: %4\n")
            .arg(price, discount)
            .arg(quantity)
            .arg(source);
    }

    TestSite site;
};

TEST_F(PriceCommand, EachSourceIsNamed)
{
    const struct {
        QStringList options;
        QString expected;
    } rows[] = {
        {{"--product", "A100", "--unit", "Piece", "--type", "19", "--date", "2026-04-01"},
         said("19.99", "", 1, "price list")},
        {{"--product", "A100", "--unit", "Piece", "--type", "21", "--date", "2026-04-01"},
         said("19.99", "", 1, "price list of the point-of-sale price type (19)")},
        {{"--customer", "C002", "--product", "A100", "--unit", "Box", "--type", "20"},
         said("210.10", "5%", 1, "price list")},
        {{"--customer", "C003", "--product", "A100", "--unit", "Box", "--type=20"}, said("199.00", "", 1, "customer price")},
        {{"--customer", "C001", "--product", "A100", "--unit", "Piece", "--type", "19", "--date", "2026-03-31"},
         said("18.75", "", 1, "promotion for the customer")},
        {{"--customer", "C002", "--product", "A100", "--unit", "Piece", "--type", "19", "--date=2026-03-01"},
         said("18.50", "3", 1, "promotion for all customers")},
        {{"--product", "A100", "--unit", "Carton", "--type", "19"}, said("0.00", "", 1, "none (0)")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options.join(' ').toStdString());
        const ToolOutcome o = price(row.options);
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        EXPECT_EQ(o.out, row.expected);
    }
}

TEST_F(PriceCommand, UnknownCodesAndCompaniesAreSaidAndFail)
{
    const struct {
        QStringList arguments;
        QString error;
    } rows[] = {
        {{"--database", "ACME", "price", "--product", "Z9", "--unit", "Piece", "--type", "19"},
         "No product has the code Z9.\n"},
        {{"--database", "ACME", "price", "--product", "A100", "--unit", "Dozen", "--type", "19"},
         "The product A100 has no unit Dozen.\n"},
        {{"--database", "ACME", "price", "--customer", "C'9", "--product", "A100", "--unit", "Piece", "--type", "19"},
         "No customer has the code C'9.\n"},
        {{"--database", "NOPE", "price", "--product", "A100", "--unit", "Piece", "--type", "19"},
         "Not Found Database : NOPE\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ToolOutcome o = runTool(row.arguments);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err, row.error);
        EXPECT_EQ(o.out, "");
    }
}

TEST_F(PriceCommand, IncompleteCommandLinesAreRefusedWithUsage)
{
    for (const QStringList& arguments :
         {QStringList{"price", "--product", "A100", "--unit", "Piece", "--type", "19"},
          QStringList{"--database", "ACME", "price", "--product", "A100", "--unit", "Piece"},
          QStringList{"--database", "ACME", "price", "--product", "A100", "--unit", "Piece", "--type", "x"},
          QStringList{"--database", "ACME", "price", "--product", "A100", "--unit", "Piece", "--type", "19", "--date",
                      "31/03/2026"},
          QStringList{"--database", "ACME", "price", "A100"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolOutcome o = runTool(arguments);
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.err.startsWith("qel-db: ")) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains("Usage: qel-db"));
    }
}

} // namespace
