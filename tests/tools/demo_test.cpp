// qel-db create-demo and generate: the folders they make are what the price
// inquiry runs on, so the tests read them back through the access layer the
// way the program does, and check the cases the README sends a new user to.

#include "Demo.h"
#include "Generator.h"
#include "QelDb.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/StoredProc.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

namespace {

using Outcome = ToolOutcome;

// A site folder read through two named connections, as the program opens it.
class SiteReader {
public:
    SiteReader(const QString& folder, const QString& business, const QString& aliasPrefix)
        : configAlias_(aliasPrefix + QStringLiteral("_CONFIG")),
          businessAlias_(aliasPrefix + QStringLiteral("_BUSINESS")),
          config_(configAlias_),
          business_(businessAlias_)
    {
        const QString server = QStringLiteral("SERVER NAME=sqlite:") + folder;
        config_.params() = {QStringLiteral("DATABASE NAME=QEL_CONFIG"), server};
        business_.params() = {QStringLiteral("DATABASE NAME=") + business, server};
    }
    ~SiteReader()
    {
        config_.close();
        business_.close();
    }

    // Every row as "a|b|c", NULL as <null>.
    QStringList rows(const QStringList& sql, const QVariantMap& params = {}) { return rowsOn(businessAlias_, sql, params); }
    QStringList rows(const QString& sql, const QVariantMap& params = {}) { return rows(QStringList{sql}, params); }
    QStringList configRows(const QString& sql, const QVariantMap& params = {})
    {
        return rowsOn(configAlias_, {sql}, params);
    }
    QString scalar(const QString& sql, const QVariantMap& params = {})
    {
        const QStringList r = rows(sql, params);
        return r.isEmpty() ? QString() : r.first().section(QLatin1Char('|'), 0, 0);
    }
    const QString& configAlias() const { return configAlias_; }

    void close()
    {
        config_.close();
        business_.close();
    }

private:
    static QStringList rowsOn(const QString& alias, const QStringList& sql, const QVariantMap& params)
    {
        db::Query q(alias);
        q.setSql(sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            q.setParam(it.key(), it.value());
        q.open();
        QStringList out;
        for (int r = 0; r < q.recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < q.fieldCount(); ++c) {
                const QVariant v = q.valueAt(r, c);
                cells.append(v.isNull() ? QStringLiteral("<null>") : db::variantToText(v));
            }
            out.append(cells.join(QLatin1Char('|')));
        }
        return out;
    }

    QString configAlias_;
    QString businessAlias_;
    db::Connection config_;
    db::Connection business_;
};

// The check digit rule of EAN-13, written out independently of the script.
bool validEan13(const QString& code)
{
    if (code.size() != 13)
        return false;
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        if (!code.at(i).isDigit())
            return false;
        sum += code.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return code.at(12).isDigit() && code.at(12).digitValue() == (10 - sum % 10) % 10;
}

// The statements the inquiry window runs for its panels.
const QStringList kPricePanel = {
    QStringLiteral("Select M.Id PriceId, M.Description, Coalesce(P.Price,0) Price"),
    QStringLiteral("From Misc M"),
    QStringLiteral("Left Outer Join ProductPrice P On (P.PriceType = M.Id) And (P.ProductUnits = :UnitId)"),
    QStringLiteral("Where (M.GroupCode = 'PRICETYPE')"),
    QStringLiteral("union all"),
    QStringLiteral("select 0 PriceId, 'ราคาขายลูกค้า' Description, Price"),
    QStringLiteral("From CustomerProductPrice Cp"),
    QStringLiteral("Where (ProductUnits = :UnitId) And (Cp.Customer = :Customer)"),
};
const QStringList kStockPanel = {
    QStringLiteral("select Id, Code, sumqnty From ("),
    QStringLiteral("  select w.id, w.code, (select sum(quantity) from productonhand"),
    QStringLiteral("    where warehouse = w.id and product = :id and balanceyear = :inputyear) sumqnty"),
    QStringLiteral("  from warehouse w) As M"),
};
const QStringList kLastPurchase = {
    QStringLiteral("select top 1 M.Price, U.UnitName, H.MrDate"),
    QStringLiteral("From MrDt M"),
    QStringLiteral("Inner Join MrHd H On (H.Id = M.Mrhd) and (H.Delflag <> 'Y')"),
    QStringLiteral("Inner Join ProductUnits U On (U.Id = M.ProductUnits)"),
    QStringLiteral("Where M.Product = :Id"),
    QStringLiteral("Order by H.MrDate Desc"),
};
const QStringList kHistoryPanel = {
    QStringLiteral("Select 'ขายเชื่อ' IvType, H.IvDate IvDate, D.Quantity, D.Price, C.Code"),
    QStringLiteral("From Ivdt D Inner Join Ivhd H On (H.id = D.Ivhd) and (H.Delflag <> 'Y')"),
    QStringLiteral("Inner Join Customer C On (H.Customer = C.Id)"),
    QStringLiteral("Where H.Customer = :GetCus Or D.Product = :GetProduct"),
    QStringLiteral("Union All"),
    QStringLiteral("Select 'ขายสด' IvType, H.PosDate IvDate, D.Quantity, D.Price, C.Code"),
    QStringLiteral("From PosDt D Inner Join PosHd H On (H.Id = D.PosHd) and (H.Delflag <> 'Y')"),
    QStringLiteral("Inner Join Customer C On (H.Customer = C.Id)"),
    QStringLiteral("Where H.Customer = :GetCus Or D.Product = :GetProduct"),
    QStringLiteral("Union All"),
    QStringLiteral("Select 'ขายสด' IvType, H.PosDate IvDate, D.Quantity, D.Price, C.Code"),
    QStringLiteral("From PosDetail D Inner Join PosHeader H On (H.Id = D.PosHeader) and (H.Delflag <> 'Y')"),
    QStringLiteral("Inner Join Customer C On (H.Customer = C.Id)"),
    QStringLiteral("Where H.Customer = :GetCus Or D.Product = :GetProduct"),
    QStringLiteral("Order By 1, 2"),
};

// ---- the demo site ---------------------------------------------------------

// One demo site for the whole suite: building it is the slow part.
class DemoSite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        folder_ = dir_->filePath(QStringLiteral("site"));
        first_ = new Outcome(runTool({QStringLiteral("create-demo"), folder_}));
        site_ = new SiteReader(folder_, QStringLiteral("DEMO"), QStringLiteral("DEMOSITE"));
    }
    static void TearDownTestSuite()
    {
        delete site_;
        delete first_;
        delete dir_;
        site_ = nullptr;
        first_ = nullptr;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(first_->status, 0) << first_->err.toStdString(); }

    static QString id(const QString& table, const QString& code)
    {
        return site_->scalar(QStringLiteral("Select Id From %1 Where Code = :Code").arg(table), {{QStringLiteral("Code"), code}});
    }
    static QString unitId(const QString& product, const QString& unitName)
    {
        return site_->scalar(QStringLiteral("Select U.Id From ProductUnits U Inner Join Product P On P.Id = U.Product "
                                            "Where P.Code = :Code And U.UnitName = :Unit"),
                             {{QStringLiteral("Code"), product}, {QStringLiteral("Unit"), unitName}});
    }

    static QTemporaryDir* dir_;
    static QString folder_;
    static Outcome* first_;
    static SiteReader* site_;
};
QTemporaryDir* DemoSite::dir_ = nullptr;
QString DemoSite::folder_;
Outcome* DemoSite::first_ = nullptr;
SiteReader* DemoSite::site_ = nullptr;

TEST_F(DemoSite, FolderHoldsTheServerFilePlaceholderAndLoadablePictures)
{
    QFile server(QDir(folder_).filePath(QStringLiteral("Server.Dat")));
    ASSERT_TRUE(server.open(QIODevice::ReadOnly));
    const QString firstLine = QString::fromUtf8(server.readLine()).trimmed();
    EXPECT_EQ(firstLine, QStringLiteral("sqlite:") + QFileInfo(folder_).absoluteFilePath());

    // The offer list's print layout, as the program's report engine reads it.
    QFile layout(QDir(folder_).filePath(QStringLiteral("Form_ChkPrice.frf")));
    ASSERT_TRUE(layout.open(QIODevice::ReadOnly));
    EXPECT_TRUE(layout.readAll().contains("[SUM(Total)"));

    const QImage placeholder(QDir(folder_).filePath(QStringLiteral("NoPicture.Bmp")));
    ASSERT_FALSE(placeholder.isNull());
    // Large enough to fill a picture box of the window without blowing up.
    EXPECT_GE(placeholder.width(), 150);
    EXPECT_GE(placeholder.height(), 120);

    int jpeg = 0;
    int bitmap = 0;
    const QDir pictures(QDir(folder_).filePath(QStringLiteral("pictures")));
    for (const QFileInfo& f : pictures.entryInfoList(QDir::Files)) {
        SCOPED_TRACE(f.fileName().toStdString());
        QImageReader reader(f.absoluteFilePath());
        const QByteArray format = reader.format();
        const QImage img = reader.read();
        EXPECT_FALSE(img.isNull()) << reader.errorString().toStdString();
        if (f.suffix().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0) {
            EXPECT_EQ(format, QByteArray("jpeg"));
            ++jpeg;
        } else if (f.suffix().isEmpty()) {
            EXPECT_EQ(format, QByteArray("jpeg")) << "a name without an extension is drawn as JPEG";
        } else {
            EXPECT_EQ(f.suffix().toLower(), QStringLiteral("bmp"));
            EXPECT_EQ(format, QByteArray("bmp"));
            ++bitmap;
        }
    }
    EXPECT_GT(jpeg, 0);
    EXPECT_GT(bitmap, 0);
}

TEST_F(DemoSite, EveryPictureNamedHasItsFileButTheOneKeptMissing)
{
    const QDir pictures(QDir(folder_).filePath(QStringLiteral("pictures")));
    const QStringList named = site_->rows(QStringLiteral(
        "Select Code, Coalesce(Picture1, ''), Coalesce(Picture2, ''), Coalesce(Picture3, '') From Product"));
    int withPictures = 0;
    int without = 0;
    QStringList missing;
    for (const QString& row : named) {
        const QStringList cells = row.split(QLatin1Char('|'));
        bool any = false;
        for (int i = 1; i <= 3; ++i) {
            const QString name = cells.at(i).trimmed();
            if (name.isEmpty())
                continue;
            any = true;
            if (!pictures.exists(name))
                missing.append(name);
        }
        ++(any ? withPictures : without);
    }
    EXPECT_EQ(missing, QStringList{QString::fromLatin1(qeldb::kDemoMissingPicture)});
    EXPECT_GT(withPictures, 0);
    EXPECT_GT(without, 0);

    // The cases the README points to.
    EXPECT_EQ(site_->rows(QStringLiteral("Select Picture2 From Product Where Code = 'H4002'")),
              QStringList{QString::fromLatin1(qeldb::kDemoMissingPicture)});
    EXPECT_EQ(site_->rows(QStringLiteral("Select Coalesce(Picture1, '') + Coalesce(Picture2, '') + Coalesce(Picture3, '') "
                                         "From Product Where Code = 'D1002'")),
              QStringList{QString()});
    const QStringList t6001 = site_->rows(QStringLiteral(
        "Select Coalesce(Picture2, ''), Picture3, Picture3Desc From Product Where Code = 'T6001'"));
    ASSERT_EQ(t6001.size(), 1);
    const QStringList cells = t6001.first().split(QLatin1Char('|'));
    EXPECT_TRUE(cells.at(0).isEmpty());
    EXPECT_TRUE(pictures.exists(cells.at(1)));
    EXPECT_FALSE(cells.at(2).isEmpty());
}

TEST_F(DemoSite, CompanyMenuAndUsersAreRegistered)
{
    const QString picturePath = QDir(QFileInfo(folder_).absoluteFilePath()).filePath(QStringLiteral("pictures"));
    const QStringList company = site_->configRows(QStringLiteral(
        "Select C.Code, F.PicturePath, F.DefaultWh, F.POS1_Wh, F.DefaultTax, F.POS1_PriceType From DatabaseList L "
        "Inner Join Company C On C.Id = L.Company Inner Join CompanyConfig F On F.Company = C.Id "
        "Where L.DatabaseName = 'DEMO'"));
    ASSERT_EQ(company.size(), 1);
    const QStringList c = company.first().split(QLatin1Char('|'));
    EXPECT_EQ(c.at(0), QStringLiteral("DEMO"));
    EXPECT_EQ(c.at(1), picturePath);
    // The ids point into the business database.
    EXPECT_EQ(c.at(2), id(QStringLiteral("Warehouse"), QStringLiteral("MAIN")));
    EXPECT_EQ(c.at(3), id(QStringLiteral("Warehouse"), QStringLiteral("SHOP")));
    EXPECT_EQ(c.at(4), id(QStringLiteral("Tax"), QStringLiteral("V7")));
    EXPECT_EQ(site_->scalar(QStringLiteral("Select GroupCode From Misc Where Id = :Id"), {{QStringLiteral("Id"), c.at(5)}}),
              QStringLiteral("PRICETYPE"));

    EXPECT_EQ(site_->configRows(QStringLiteral("Select Description, Command From Menu Where Id = 12")),
              QStringList{QStringLiteral("โปรแกรมสอบถามราคาทางโทรศัพท์|PRICEINQUIRY.EXE")});
    EXPECT_EQ(site_->rows(QStringLiteral("Select OnhandDecimal, UnitLeft, UnitRight, PicturePath, RunYear From Config")),
              QStringList{QStringLiteral("2|(|)|%1|%2").arg(picturePath).arg(QDate::currentDate().year())});
}

TEST_F(DemoSite, UsersGetTheRightsTheReadmeGivesThem)
{
    // The documented ids, through the procedure the program asks.
    struct User {
        int id;
        const char* code;
        const char* access;
        const char* language;
        const char* cost;
        const char* salePrice;
    };
    const User users[] = {
        {1, "ADMIN", "Y", "1", "Y", "Y"},
        {2, "CLERK", "Y", "2", "N", "N"},
        {3, "GUEST", "N", "1", "N", "N"},
        {4, "SALES", "Y", "1", "N", "Y"},
    };
    for (const User& u : users) {
        SCOPED_TRACE(u.code);
        db::StoredProc proc(site_->configAlias(), QStringLiteral("MENUCAPTION"));
        proc.addParam(QStringLiteral("Result"), db::ParamDirection::Result, QMetaType::Int);
        proc.addParam(QStringLiteral("@MENUID"), db::ParamDirection::Input, QMetaType::Int);
        proc.addParam(QStringLiteral("@USERID"), db::ParamDirection::Input, QMetaType::Int);
        for (const char* out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
            proc.addParam(QString::fromLatin1(out), db::ParamDirection::Output);
        proc.addParam(QStringLiteral("@SALESID"), db::ParamDirection::Output, QMetaType::Int);
        proc.setParam(QStringLiteral("@MENUID"), 12);
        proc.setParam(QStringLiteral("@USERID"), u.id);
        proc.execProc();
        EXPECT_EQ(proc.asString(QStringLiteral("@USERCODE")), QString::fromLatin1(u.code));
        EXPECT_EQ(proc.asString(QStringLiteral("@ACCESS_R")), QString::fromLatin1(u.access));
        EXPECT_EQ(site_->configRows(QStringLiteral("Select LanguageNo, CanSeeCost, CanSeeSalePrice From username "
                                                   "Where Id = :Id"),
                                    {{QStringLiteral("Id"), u.id}}),
                  QStringList{QStringLiteral("%1|%2|%3").arg(QLatin1String(u.language), QLatin1String(u.cost),
                                                             QLatin1String(u.salePrice))});
    }
}

TEST_F(DemoSite, EveryProductHasOneSmallAndOneStockUnitAndValidBarCodes)
{
    EXPECT_GE(site_->scalar(QStringLiteral("Select Count(*) From Product")).toInt(), 200);
    // Products whose small or stock unit is not exactly one: only the
    // made-to-order basket, which has no small unit on purpose.
    EXPECT_EQ(site_->rows(QStringLiteral(
                  "Select P.Code From Product P Where "
                  "(Select Count(*) From ProductUnits U Where U.Product = P.Id And U.SmallUnitFlag = 'Y') <> 1 Or "
                  "(Select Count(*) From ProductUnits U Where U.Product = P.Id And U.StockUnitFlag = 'Y') <> 1")),
              QStringList{QStringLiteral("G8003")});
    EXPECT_EQ(site_->scalar(QStringLiteral("Select Count(*) From ProductUnits U Inner Join Product P On P.Id = U.Product "
                                           "Where P.Code = 'G8003' And U.SmallUnitFlag = 'N' And U.StockUnitFlag = 'Y'")),
              QStringLiteral("1"));
    EXPECT_EQ(site_->rows(QStringLiteral("Select Id From ProductUnits Where SmallUnitFlag = 'Y' And Fraction <> 1")),
              QStringList());
    const int sameUnit = site_->scalar(QStringLiteral(
        "Select Count(*) From ProductUnits Where SmallUnitFlag = 'Y' And StockUnitFlag = 'Y'")).toInt();
    const int products = site_->scalar(QStringLiteral("Select Count(*) From Product")).toInt();
    EXPECT_GT(sameUnit, 0);
    EXPECT_LT(sameUnit, products);
    // The fractions a trader packs in: single pieces up to large cases.
    const QStringList fractions = site_->rows(QStringLiteral("Select Distinct Fraction From ProductUnits"));
    for (const char* f : {"1", "12", "24", "144"})
        EXPECT_TRUE(fractions.contains(QString::fromLatin1(f))) << f;

    const QStringList codes = site_->rows(QStringLiteral("Select BarCode From ProductUnits Where BarCode Is Not Null"));
    EXPECT_GT(codes.size(), products);
    QSet<QString> seen;
    for (const QString& code : codes) {
        EXPECT_TRUE(validEan13(code)) << code.toStdString();
        EXPECT_FALSE(seen.contains(code)) << code.toStdString();
        seen.insert(code);
    }
}

TEST_F(DemoSite, EveryPriceTypeIsPricedExceptForTheProductAwaitingPrices)
{
    const int types = site_->scalar(QStringLiteral("Select Count(*) From Misc Where GroupCode = 'PRICETYPE'")).toInt();
    EXPECT_GE(types, 4);
    EXPECT_EQ(site_->scalar(QStringLiteral("Select GroupCode From Misc Where Id = 19")), QStringLiteral("PRICETYPE"));
    // Units with a price of some types but not all.
    EXPECT_EQ(site_->rows(QStringLiteral("Select U.Id From ProductUnits U Where "
                                         "(Select Count(*) From ProductPrice P Where P.ProductUnits = U.Id) Not In (0, :Types)"),
                          {{QStringLiteral("Types"), types}}),
              QStringList());
    EXPECT_EQ(site_->rows(QStringLiteral("Select Distinct P.Code From Product P Inner Join ProductUnits U On U.Product = P.Id "
                                         "Where Not Exists (Select 1 From ProductPrice X Where X.ProductUnits = U.Id)")),
              QStringList{QStringLiteral("H4099")});
    // Larger units cost more than the small one, for every type.
    EXPECT_EQ(site_->rows(QStringLiteral(
                  "Select L.Id From ProductPrice L Inner Join ProductUnits U On U.Id = L.ProductUnits "
                  "Inner Join ProductUnits S On S.Product = U.Product And S.SmallUnitFlag = 'Y' "
                  "Inner Join ProductPrice SP On SP.ProductUnits = S.Id And SP.PriceType = L.PriceType "
                  "Where U.Fraction > 1 And L.Price <= SP.Price")),
              QStringList());
}

TEST_F(DemoSite, C001HasItsOwnPriceForD1001)
{
    const QString customer = id(QStringLiteral("Customer"), QStringLiteral("C001"));
    const QString pack = unitId(QStringLiteral("D1001"), QStringLiteral("แพ็ค"));
    const QStringList prices = site_->rows(kPricePanel, {{QStringLiteral("UnitId"), pack}, {QStringLiteral("Customer"), customer}});
    const int types = site_->scalar(QStringLiteral("Select Count(*) From Misc Where GroupCode = 'PRICETYPE'")).toInt();
    ASSERT_EQ(prices.size(), types + 1) << prices.join(QLatin1Char('\n')).toStdString();
    const QStringList own = prices.last().split(QLatin1Char('|'));
    EXPECT_EQ(own.at(0), QStringLiteral("0"));
    const double retail = site_->scalar(QStringLiteral("Select Price From ProductPrice Where ProductUnits = :U And PriceType = 19"),
                                        {{QStringLiteral("U"), pack}})
                              .toDouble();
    EXPECT_GT(own.at(2).toDouble(), 0);
    EXPECT_LT(own.at(2).toDouble(), retail);

    // Another customer sees only the list.
    const QString other = id(QStringLiteral("Customer"), QStringLiteral("C004"));
    EXPECT_EQ(site_->rows(kPricePanel, {{QStringLiteral("UnitId"), pack}, {QStringLiteral("Customer"), other}}).size(), types);

    // The bottle, the unit the window shows first, has C001's price too.
    const QString bottle = unitId(QStringLiteral("D1001"), QStringLiteral("ขวด"));
    const QStringList perBottle = site_->rows(kPricePanel, {{QStringLiteral("UnitId"), bottle}, {QStringLiteral("Customer"), customer}});
    ASSERT_EQ(perBottle.size(), types + 1);
    EXPECT_GT(perBottle.last().section(QLatin1Char('|'), 2, 2).toDouble(), 0);

    // For D1002 C001 keeps the list price and gets a discount only.
    EXPECT_EQ(site_->rows(QStringLiteral("Select Price, Discount From customerproductprice Where Customer = :C And ProductUnits = :U"),
                          {{QStringLiteral("C"), customer},
                           {QStringLiteral("U"), unitId(QStringLiteral("D1002"), QStringLiteral("ขวด"))}}),
              QStringList{QStringLiteral("0|5%")});
}

TEST_F(DemoSite, D1001IsStockedInSeveralWarehousesWithMixedSignsAndUnits)
{
    const QString product = id(QStringLiteral("Product"), QStringLiteral("D1001"));
    const int year = QDate::currentDate().year();
    const int fraction = site_->scalar(QStringLiteral("Select Fraction From ProductUnits Where Product = :P And StockUnitFlag = 'Y'"),
                                       {{QStringLiteral("P"), product}})
                             .toInt();
    ASSERT_GT(fraction, 1);
    int positive = 0, negative = 0, zeroOrNone = 0, loose = 0;
    for (const QString& row : site_->rows(kStockPanel, {{QStringLiteral("id"), product}, {QStringLiteral("inputyear"), year}})) {
        const QString q = row.section(QLatin1Char('|'), 2, 2);
        const double quantity = q == QLatin1String("<null>") ? 0 : q.toDouble();
        if (quantity > 0)
            ++positive;
        else if (quantity < 0)
            ++negative;
        else
            ++zeroOrNone;
        // Whole stock units and a remainder of small units.
        if (std::abs(quantity) > fraction && std::fmod(std::abs(quantity), fraction) != 0)
            ++loose;
    }
    EXPECT_GE(positive, 3);
    EXPECT_GE(negative, 1);
    EXPECT_GE(zeroOrNone, 1);
    EXPECT_GE(loose, 1);
    // One warehouse holds the stock booked under two units.
    EXPECT_FALSE(site_->rows(QStringLiteral("Select Warehouse From productonhand Where Product = :P And BalanceYear = :Y "
                                            "Group By Warehouse Having Count(Distinct ProductUnits) > 1"),
                             {{QStringLiteral("P"), product}, {QStringLiteral("Y"), year}})
                     .isEmpty());
    // Last year's balance is there but is not this year's stock.
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From productonhand Where Product = :P And BalanceYear = :Y"),
                            {{QStringLiteral("P"), product}, {QStringLiteral("Y"), year - 1}}),
              QStringLiteral("0"));
}

TEST_F(DemoSite, WarehousesIncludeReturnsLocationsAndAClosedOne)
{
    EXPECT_EQ(site_->rows(QStringLiteral("Select Code From Warehouse Where Code = 'RMA'")), QStringList{QStringLiteral("RMA")});
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From Warehouse Where IsLocation = 'Y'")), QStringLiteral("0"));
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From Warehouse Where Blocked = 'Y'")), QStringLiteral("0"));
    // Stock rows of every sign across the company.
    for (const char* sign : {"Quantity > 0", "Quantity < 0", "Quantity = 0"})
        EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From productonhand Where ") + QLatin1String(sign)),
                  QStringLiteral("0"))
            << sign;
}

TEST_F(DemoSite, PromotionsRunTodayForC001AndForEveryCustomer)
{
    const QString today = QStringLiteral("DateAdd(day, DateDiff(day, 0, GetDate()), 0)");
    const QString running = QStringLiteral("Select Count(*) From promotion_dt Where Customer = :C And %1 Between StartDate And StopDate").arg(today);
    EXPECT_NE(site_->scalar(running, {{QStringLiteral("C"), id(QStringLiteral("Customer"), QStringLiteral("C001"))}}),
              QStringLiteral("0"));
    EXPECT_NE(site_->scalar(running, {{QStringLiteral("C"), 0}}), QStringLiteral("0"));
    // And some that are over or yet to come, which must not count today.
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From promotion_dt Where StopDate < %1").arg(today)),
              QStringLiteral("0"));
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From promotion_dt Where StartDate > %1").arg(today)),
              QStringLiteral("0"));
}

TEST_F(DemoSite, LastPurchasePriceIsNotTheNewerCancelledReceipt)
{
    const QString product = id(QStringLiteral("Product"), QStringLiteral("D1001"));
    const QStringList last = site_->rows(kLastPurchase, {{QStringLiteral("Id"), product}});
    ASSERT_EQ(last.size(), 1);
    const QString lastPrice = last.first().section(QLatin1Char('|'), 0, 0);
    // A cancelled receipt came after the one shown, at another price.
    const QStringList cancelled = site_->rows(
        QStringLiteral("Select M.Price From MrDt M Inner Join MrHd H On H.Id = M.MrHd "
                       "Where M.Product = :P And H.Delflag = 'Y' And H.MrDate > "
                       "(Select Max(H2.MrDate) From MrDt M2 Inner Join MrHd H2 On H2.Id = M2.MrHd "
                       " Where M2.Product = :P And H2.Delflag <> 'Y')"),
        {{QStringLiteral("P"), product}});
    ASSERT_FALSE(cancelled.isEmpty());
    EXPECT_NE(cancelled.first(), lastPrice);
}

TEST_F(DemoSite, HistoryHoldsCreditAndCashSalesWithoutTheCancelledOnes)
{
    const QString customer = id(QStringLiteral("Customer"), QStringLiteral("C001"));
    const QString product = id(QStringLiteral("Product"), QStringLiteral("D1001"));
    const QStringList history = site_->rows(kHistoryPanel, {{QStringLiteral("GetCus"), customer}, {QStringLiteral("GetProduct"), product}});
    QSet<QString> kinds;
    for (const QString& row : history)
        kinds.insert(row.section(QLatin1Char('|'), 0, 0));
    EXPECT_EQ(kinds, (QSet<QString>{QStringLiteral("ขายเชื่อ"), QStringLiteral("ขายสด")}));

    // Every table of the history has cancelled documents, and they stay out.
    int lines = 0;
    for (const auto& [header, detail, link] :
         {std::tuple{"IvHd", "IvDt", "IvHd"}, std::tuple{"PosHd", "PosDt", "PosHd"}, std::tuple{"PosHeader", "PosDetail", "PosHeader"}}) {
        SCOPED_TRACE(header);
        const QString count = QStringLiteral("Select Count(*) From %1 D Inner Join %2 H On H.Id = D.%3 "
                                             "Where H.Delflag %4 'Y' And (H.Customer = :C Or D.Product = :P)");
        const QVariantMap p{{QStringLiteral("C"), customer}, {QStringLiteral("P"), product}};
        EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From %1 Where Delflag = 'Y'").arg(QLatin1String(header))),
                  QStringLiteral("0"));
        lines += site_->scalar(count.arg(QLatin1String(detail), QLatin1String(header), QLatin1String(link), QStringLiteral("<>")), p).toInt();
    }
    EXPECT_EQ(history.size(), lines);
}

TEST_F(DemoSite, CustomersSalesPeopleAndAttributesLookReal)
{
    // Only the documented customer lacks a province, so only it drops out of
    // the customer search.
    EXPECT_EQ(site_->rows(QStringLiteral("Select C.Code From Customer C Where Not Exists "
                                         "(Select 1 From Misc M Where M.Id = C.Province And M.GroupCode = 'CITY')")),
              QStringList{QStringLiteral("C029")});
    EXPECT_EQ(site_->rows(QStringLiteral("Select Code From Customer Where Blocked = 'Y'")), QStringList{QStringLiteral("C028")});
    EXPECT_EQ(site_->rows(QStringLiteral("Select Code From Salesman Where Status = 'N'")), QStringList{QStringLiteral("S05")});
    EXPECT_EQ(site_->rows(QStringLiteral("Select S.Code From Salesman S Where Not Exists "
                                         "(Select 1 From Misc M Where M.Id = S.Department And M.GroupCode = 'DEPARTMENT')")),
              QStringList{QStringLiteral("S07")})
        << "only the documented sales person lacks a department";
    // Attribute codes are stored as group code + attribute code.
    EXPECT_EQ(site_->rows(QStringLiteral("Select A.Id From CustomerAttribute A Inner Join CusAttrCode C On C.Id = A.CusAttrCode "
                                         "Inner Join CusAttrGroup G On G.Id = C.CusAttrGroup Where A.GroupCode <> G.Code + C.Code")),
              QStringList());
    EXPECT_EQ(site_->rows(QStringLiteral("Select A.Id From ProductAttribute A Inner Join ProdAttrCode C On C.Id = A.ProdAttrCode "
                                         "Inner Join ProdAttrGroup G On G.Id = C.ProdAttrGroup Where A.GroupCode <> G.Code + C.Code")),
              QStringList());
    EXPECT_EQ(site_->scalar(QStringLiteral("Select Count(*) From CustomerAttribute A Inner Join Customer C On C.Id = A.Customer "
                                           "Where C.Code = 'C001'")),
              QStringLiteral("3"));
    EXPECT_EQ(site_->scalar(QStringLiteral("Select Count(*) From Misc Where GroupCode = 'CITY'")), QStringLiteral("77"))
        << "every province";
    for (const char* group : {"PTYPE", "PGROUP", "CITY"})
        EXPECT_GE(site_->scalar(QStringLiteral("Select Count(Distinct Id) From Misc Where GroupCode = '%1'").arg(QLatin1String(group))).toInt(), 5)
            << group;
}

TEST_F(DemoSite, LotsSerialsAndWorkOrdersCoverTheirStates)
{
    const QString today = QStringLiteral("DateAdd(day, DateDiff(day, 0, GetDate()), 0)");
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From LotNo Where HasExpired = 'Y' And ExpiredDate < %1").arg(today)),
              QStringLiteral("0"));
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From LotNo Where HasExpired = 'Y' And ExpiredDate > %1").arg(today)),
              QStringLiteral("0"));
    EXPECT_NE(site_->scalar(QStringLiteral("Select Count(*) From LotNo Where HasExpired = 'N'")), QStringLiteral("0"));
    EXPECT_EQ(site_->rows(QStringLiteral("Select Distinct S.OnHand From SerialNo S Inner Join Product P On P.Id = S.Product "
                                         "Where P.Code = 'W7010' And P.UseSerial = 'Y' Order By S.OnHand")),
              (QStringList{QStringLiteral("N"), QStringLiteral("Y")}));
    EXPECT_EQ(site_->rows(QStringLiteral("Select Distinct Clear From WorkOrderHd Where Delflag <> 'Y' Order By Clear")),
              (QStringList{QStringLiteral("N"), QStringLiteral("Y")}));
    EXPECT_EQ(site_->scalar(QStringLiteral("Select Count(*) From Tax")).toInt() > 0, true);
    // The working lists of the script do not stay behind.
    EXPECT_EQ(site_->rows(QStringLiteral("Select Name From SysObjects Where Name Like 'Demo%'")), QStringList());
}

TEST_F(DemoSite, EveryCodeTheReadmeNamesExists)
{
    QFile readme(QStringLiteral(QEL_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("\n## Demo\n"));
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    const QString section = text.mid(start, end < 0 ? -1 : end - start);

    static const QRegularExpression code(QStringLiteral("`([A-Z0-9][A-Z0-9-]*)`"));
    QStringList codes;
    for (auto it = code.globalMatch(section); it.hasNext();)
        codes.append(it.next().captured(1));
    EXPECT_GE(codes.size(), 20);
    for (const QString& c : codes) {
        SCOPED_TRACE(c.toStdString());
        const QVariantMap p{{QStringLiteral("Code"), c}};
        const int found =
            site_->scalar(QStringLiteral("Select (Select Count(*) From Product Where Code = :Code) + "
                                         "(Select Count(*) From Customer Where Code = :Code) + "
                                         "(Select Count(*) From Warehouse Where Code = :Code) + "
                                         "(Select Count(*) From Salesman Where Code = :Code) + "
                                         "(Select Count(*) From LotNo Where Code = :Code) + "
                                         "(Select Count(*) From SoHd Where SoNo = :Code) + "
                                         "(Select Count(*) From IvHd Where IvNo = :Code) + "
                                         "(Select Count(*) From WorkOrderHd Where WorkOrderNo = :Code) + "
                                         "(Select Count(*) From Misc Where GroupCode = :Code)"),
                          p)
                .toInt()
            + site_->configRows(QStringLiteral("Select Code From username Where Code = :Code"), p).size()
            + site_->configRows(QStringLiteral("Select DatabaseName From DatabaseList Where DatabaseName = :Code"), p).size();
        // BENCH is the name generate gives, not part of the demo.
        EXPECT_TRUE(found > 0 || c == QLatin1String("BENCH"));
    }
}

TEST_F(DemoSite, ASecondCreateDemoIntoTheSameFolderIsRefused)
{
    const QString products = site_->scalar(QStringLiteral("Select Count(*) From Product"));
    site_->close();
    const Outcome again = runTool({QStringLiteral("create-demo"), folder_});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("QEL_CONFIG"))) << again.err.toStdString();
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_EQ(site_->scalar(QStringLiteral("Select Count(*) From Product")), products);
    EXPECT_EQ(site_->configRows(QStringLiteral("Select Count(*) From DatabaseList")), QStringList{QStringLiteral("1")});
}

// ---- command line ------------------------------------------------------------

TEST(DemoCommandLine, CreateDemoAndGenerateRefuseWhatTheyCannotHonour)
{
    struct Case {
        QStringList arguments;
        const char* why;
    };
    const Case cases[] = {
        {{QStringLiteral("create-demo")}, "create-demo takes one folder"},
        {{QStringLiteral("create-demo"), QStringLiteral("a"), QStringLiteral("b")}, "create-demo takes one folder"},
        {{QStringLiteral("--server"), QStringLiteral("HOST"), QStringLiteral("create-demo"), QStringLiteral("a")}, "--server"},
        {{QStringLiteral("--database"), QStringLiteral("X"), QStringLiteral("create-demo"), QStringLiteral("a")}, "--database"},
        {{QStringLiteral("generate"), QStringLiteral("a")}, "--products"},
        {{QStringLiteral("generate"), QStringLiteral("--products"), QStringLiteral("5")}, "folder"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products"), QStringLiteral("0")}, "--products"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products=1000001")}, "1,000,000"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products"), QStringLiteral("5"),
          QStringLiteral("--invoice-lines"), QStringLiteral("20000001")},
         "--invoice-lines"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products"), QStringLiteral("5"),
          QStringLiteral("--warehouses"), QStringLiteral("x")},
         "--warehouses"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products"), QStringLiteral("5"),
          QStringLiteral("--seed")},
         "--seed"},
        {{QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("--products"), QStringLiteral("5"),
          QStringLiteral("--rows"), QStringLiteral("9")},
         "--rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const qeldb::CommandLine cl = qeldb::parseCommandLine(c.arguments);
        EXPECT_EQ(cl.outcome, qeldb::CommandLine::Outcome::UsageError);
        EXPECT_TRUE(cl.error.contains(QString::fromLatin1(c.why))) << cl.error.toStdString();
    }

    // Options in either form, the database from the tool's own option.
    const qeldb::CommandLine ok = qeldb::parseCommandLine(
        {QStringLiteral("generate"), QStringLiteral("dir"), QStringLiteral("--products=7"), QStringLiteral("--seed"),
         QStringLiteral("9"), QStringLiteral("--database"), QStringLiteral("BIG")});
    ASSERT_EQ(ok.outcome, qeldb::CommandLine::Outcome::Run) << ok.error.toStdString();
    EXPECT_EQ(ok.options.database, QStringLiteral("BIG"));
    qeldb::GenerateRequest request;
    QString why;
    ASSERT_TRUE(qeldb::parseGenerateArguments(ok.options.arguments, &request, &why)) << why.toStdString();
    EXPECT_EQ(request.folder, QStringLiteral("dir"));
    EXPECT_EQ(request.products, 7);
    EXPECT_EQ(request.seed, 9);
    EXPECT_EQ(request.warehouses, 50);
    EXPECT_EQ(request.years, 2);
    EXPECT_EQ(request.historyLines(), 7);
    EXPECT_EQ(request.customers(), 1);
    EXPECT_EQ(qeldb::parseCommandLine({QStringLiteral("generate"), QStringLiteral("dir"), QStringLiteral("--products"),
                                       QStringLiteral("7")})
                  .options.database,
              QStringLiteral("BENCH"));
    EXPECT_TRUE(qeldb::usageText().contains(QStringLiteral("create-demo DIR")));
    EXPECT_TRUE(qeldb::usageText().contains(QStringLiteral("generate DIR --products N")));
}

// ---- generate ----------------------------------------------------------------

class GeneratedCompany : public ::testing::Test {
protected:
    Outcome generate(const QString& folder, const QStringList& options)
    {
        return runTool(QStringList{QStringLiteral("generate"), folder} + options);
    }

    // Figures over everything generated, so that any difference in content
    // shows.
    static QStringList checksum(const QString& folder, const QString& database)
    {
        SiteReader site(folder, database, QStringLiteral("GENSUM"));
        QStringList sums;
        for (const char* sql : {
                 "Select Count(*), Sum(Convert(Float, Len(ThaiName)) * Id), Sum(Convert(Float, Len(EngName)) * PGroup) From Product",
                 "Select Sum(Convert(Float, Fraction) * Id), Sum(Convert(Float, Len(BarCode)) + Convert(Float, Right(BarCode, 3))) From ProductUnits",
                 "Select Sum(Convert(Float, Price) * Id) From ProductPrice",
                 "Select Count(*), Sum(Convert(Float, Quantity) * Warehouse * Product) From productonhand",
                 "Select Count(*), Sum(Convert(Float, Total) * Product) From IvDt",
                 "Select Count(*), Sum(Convert(Float, Total) * Product) From PosDt",
                 "Select Count(*), Sum(Convert(Float, Total) * Product) From PosDetail",
                 "Select Count(*), Sum(Convert(Float, Len(Name)) * Id * Province) From Customer",
             })
            sums += site.rows(QString::fromLatin1(sql));
        return sums;
    }

    QTemporaryDir dir_;
};

TEST_F(GeneratedCompany, MakesExactlyTheAskedSizesAndRegistersTheDatabase)
{
    const QString folder = dir_.filePath(QStringLiteral("bench"));
    const Outcome o = generate(folder, {QStringLiteral("--products"), QStringLiteral("500"), QStringLiteral("--warehouses"),
                                        QStringLiteral("7"), QStringLiteral("--years"), QStringLiteral("3"),
                                        QStringLiteral("--invoice-lines"), QStringLiteral("801")});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("BENCH"))) << o.out.toStdString();

    SiteReader site(folder, QStringLiteral("BENCH"), QStringLiteral("GENSIZE"));
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From Product")), QStringLiteral("500"));
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From ProductUnits")), QStringLiteral("1500"));
    const int types = site.scalar(QStringLiteral("Select Count(*) From Misc Where GroupCode = 'PRICETYPE'")).toInt();
    EXPECT_GE(types, 4);
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From ProductPrice")).toInt(), 1500 * types);
    EXPECT_EQ(site.rows(QStringLiteral("Select Code From Warehouse Where Code In ('MAIN', 'RMA') Order By Code")),
              (QStringList{QStringLiteral("MAIN"), QStringLiteral("RMA")}));
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From Warehouse")), QStringLiteral("7"));
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From Customer")), QStringLiteral("50"));
    EXPECT_EQ(site.scalar(QStringLiteral("Select (Select Count(*) From IvDt) + (Select Count(*) From PosDt) + "
                                         "(Select Count(*) From PosDetail)")),
              QStringLiteral("801"));
    EXPECT_EQ(site.rows(QStringLiteral("Select Distinct BalanceYear From productonhand Order By BalanceYear")).size(), 3);
    EXPECT_EQ(site.rows(QStringLiteral("Select Max(BalanceYear) From productonhand")),
              QStringList{QString::number(QDate::currentDate().year())});
    // Stock in a share of the warehouses, never all of them for all.
    const int stock = site.scalar(QStringLiteral("Select Count(*) From productonhand")).toInt();
    EXPECT_GT(stock, 500 * 3);
    EXPECT_LT(stock, 500 * 3 * 7);
    EXPECT_EQ(site.rows(QStringLiteral(
                  "Select P.Id From Product P Where "
                  "(Select Count(*) From ProductUnits U Where U.Product = P.Id And U.SmallUnitFlag = 'Y') <> 1 Or "
                  "(Select Count(*) From ProductUnits U Where U.Product = P.Id And U.StockUnitFlag = 'Y') <> 1")),
              QStringList());
    // Services, materials and raw materials beside the finished goods, so
    // that a search leaving finished goods out has something to find.
    const int notFinished = site.scalar(QStringLiteral("Select Count(*) From Product Where ProductType <> 'P'")).toInt();
    EXPECT_GT(notFinished, 500 / 25);
    EXPECT_LT(notFinished, 500 / 6);
    EXPECT_EQ(site.rows(QStringLiteral("Select Distinct ProductType From Product Order By ProductType")),
              (QStringList{QStringLiteral("M"), QStringLiteral("P"), QStringLiteral("R"), QStringLiteral("S")}));
    for (const QString& code : site.rows(QStringLiteral("Select BarCode From ProductUnits")))
        ASSERT_TRUE(validEan13(code)) << code.toStdString();
    // Every history line points at a header and prices its unit.
    EXPECT_EQ(site.rows(QStringLiteral("Select D.Id From IvDt D Left Join IvHd H On H.Id = D.IvHd Where H.Id Is Null "
                                       "Or D.Total <> D.Quantity * D.Price")),
              QStringList());
    EXPECT_EQ(site.rows(QStringLiteral("Select Id From Misc Where Id = 19 And GroupCode = 'PRICETYPE'")),
              QStringList{QStringLiteral("19")});

    EXPECT_EQ(site.configRows(QStringLiteral("Select C.Code From DatabaseList L Inner Join Company C On C.Id = L.Company "
                                             "Where L.DatabaseName = 'BENCH'")),
              QStringList{QStringLiteral("BENCH")});
    EXPECT_EQ(site.configRows(QStringLiteral("Select Command From Menu Where Id = 12")),
              QStringList{QStringLiteral("PRICEINQUIRY.EXE")});
    QFile server(QDir(folder).filePath(QStringLiteral("Server.Dat")));
    ASSERT_TRUE(server.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(server.readLine()).trimmed(), QStringLiteral("sqlite:") + QFileInfo(folder).absoluteFilePath());
    EXPECT_FALSE(QImage(QDir(folder).filePath(QStringLiteral("NoPicture.Bmp"))).isNull());
}

TEST_F(GeneratedCompany, StocksEachProductInAboutTenWarehousesAndTheFirstInAll)
{
    const QString folder = dir_.filePath(QStringLiteral("wide"));
    const Outcome o = generate(folder, {QStringLiteral("--products"), QStringLiteral("400"), QStringLiteral("--warehouses"),
                                        QStringLiteral("120"), QStringLiteral("--invoice-lines"), QStringLiteral("10")});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    SiteReader site(folder, QStringLiteral("BENCH"), QStringLiteral("GENWIDE"));
    // Per product and year: how many warehouses, and whether MAIN is one.
    const QString perProduct = QStringLiteral(
        "(Select Product, BalanceYear, Count(*) N, Sum(Case When Warehouse = 1 Then 1 Else 0 End) Main, "
        "Count(Distinct Warehouse) Distinct_ From productonhand Group By Product, BalanceYear) X");
    EXPECT_EQ(site.rows(QStringLiteral("Select BalanceYear, N From ") + perProduct
                        + QStringLiteral(" Where Product = 1 Order By BalanceYear"))
                  .size(),
              2);
    EXPECT_EQ(site.scalar(QStringLiteral("Select Min(N) From ") + perProduct + QStringLiteral(" Where Product = 1")),
              QStringLiteral("120"));
    const QStringList others = site.rows(QStringLiteral("Select Count(*), Min(N), Max(N), Avg(Convert(Float, N)), Min(Main), "
                                                        "Max(Main), Sum(N - Distinct_) From ")
                                         + perProduct + QStringLiteral(" Where Product > 1"));
    ASSERT_EQ(others.size(), 1);
    const QStringList f = others.first().split(QLatin1Char('|'));
    EXPECT_EQ(f.at(0), QStringLiteral("798")) << "every other product, both years";
    EXPECT_GE(f.at(1).toInt(), 4);
    EXPECT_LE(f.at(2).toInt(), 13);
    EXPECT_NEAR(f.at(3).toDouble(), 10.0, 1.5);
    EXPECT_EQ(f.at(4), QStringLiteral("1")) << "MAIN holds every product";
    EXPECT_EQ(f.at(5), QStringLiteral("1"));
    EXPECT_EQ(f.at(6), QStringLiteral("0")) << "no warehouse twice for a product and year";
    // The same warehouses both years, and the stock spread over all of them.
    EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From productonhand A Where Not Exists (Select 1 From "
                                         "productonhand B Where B.Product = A.Product And B.Warehouse = A.Warehouse "
                                         "And B.BalanceYear <> A.BalanceYear)")),
              QStringLiteral("0"));
    EXPECT_GE(site.scalar(QStringLiteral("Select Count(Distinct Warehouse) From productonhand Where Product > 1")).toInt(),
              110);
    EXPECT_TRUE(o.out.contains(QStringLiteral("400 products"))) << o.out.toStdString();
}

TEST_F(GeneratedCompany, TheSameSeedGivesTheSameDataAnotherSeedOtherData)
{
    const QStringList options = {QStringLiteral("--products"), QStringLiteral("500"), QStringLiteral("--warehouses"),
                                 QStringLiteral("10")};
    const QString a = dir_.filePath(QStringLiteral("a"));
    const QString b = dir_.filePath(QStringLiteral("b"));
    const QString c = dir_.filePath(QStringLiteral("c"));
    ASSERT_EQ(generate(a, options + QStringList{QStringLiteral("--seed"), QStringLiteral("42")}).status, 0);
    ASSERT_EQ(generate(b, options + QStringList{QStringLiteral("--seed"), QStringLiteral("42")}).status, 0);
    ASSERT_EQ(generate(c, options + QStringList{QStringLiteral("--seed"), QStringLiteral("43")}).status, 0);
    const QStringList first = checksum(a, QStringLiteral("BENCH"));
    EXPECT_EQ(checksum(b, QStringLiteral("BENCH")), first);
    const QStringList other = checksum(c, QStringLiteral("BENCH"));
    // Same sizes, other content.
    EXPECT_EQ(other.first().section(QLatin1Char('|'), 0, 0), first.first().section(QLatin1Char('|'), 0, 0));
    EXPECT_NE(other, first);
}

TEST_F(GeneratedCompany, JoinsAnExistingSiteAndRefusesADatabaseItHas)
{
    const QString folder = dir_.filePath(QStringLiteral("site"));
    ASSERT_EQ(runTool({QStringLiteral("create-demo"), folder}).status, 0);
    const Outcome o = generate(folder, {QStringLiteral("--products"), QStringLiteral("20"), QStringLiteral("--database"),
                                        QStringLiteral("Big")});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    {
        SiteReader site(folder, QStringLiteral("BIG"), QStringLiteral("GENJOIN"));
        EXPECT_EQ(site.configRows(QStringLiteral("Select DatabaseName From DatabaseList Order By DatabaseName")),
                  (QStringList{QStringLiteral("BIG"), QStringLiteral("DEMO")}));
        // The demo's users are kept, not made twice.
        EXPECT_EQ(site.configRows(QStringLiteral("Select Count(*) From username")), QStringList{QStringLiteral("4")});
        EXPECT_EQ(site.scalar(QStringLiteral("Select Count(*) From Product")), QStringLiteral("20"));
    }
    const Outcome again = generate(folder, {QStringLiteral("--products"), QStringLiteral("20"), QStringLiteral("--database"),
                                            QStringLiteral("BIG")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("BIG"))) << again.err.toStdString();

    const Outcome config = generate(folder, {QStringLiteral("--products"), QStringLiteral("20"), QStringLiteral("--database"),
                                             QStringLiteral("QEL_CONFIG")});
    EXPECT_EQ(config.status, 1);
    EXPECT_TRUE(config.err.contains(QStringLiteral("QEL_CONFIG"))) << config.err.toStdString();
}

// ---- the built tool, without a display ---------------------------------------

TEST(DemoProgram, CreateDemoRunsWithoutAGraphicalPlatform)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/qel-db");
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "skipped: qel-db is not built next to the tests (looked for " << program.toStdString() << ")";
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(program, {QStringLiteral("create-demo"), QStringLiteral("here")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // A relative folder is made absolute for the server file.
    QFile server(dir.filePath(QStringLiteral("here/Server.Dat")));
    ASSERT_TRUE(server.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(server.readLine()).trimmed(),
              QStringLiteral("sqlite:") + QFileInfo(dir.filePath(QStringLiteral("here"))).absoluteFilePath());
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("here/NoPicture.Bmp"))).isNull());
}

// ---- the script on SQL Server -----------------------------------------------

// Runs only when QEL_TEST_MSSQL names a server: the demo script must run there
// too, after the three schema scripts.
TEST(DemoOnSqlServer, TheDemoScriptRunsAfterTheSchemaScripts)
{
    const QString server = qEnvironmentVariable("QEL_TEST_MSSQL");
    if (server.isEmpty())
        GTEST_SKIP() << "skipped: QEL_TEST_MSSQL is not set, so there is no SQL Server to test against";
    const QStringList login = {QStringLiteral("--server"), server, QStringLiteral("--user"),
                               qEnvironmentVariable("QEL_TEST_MSSQL_USER", QStringLiteral("qel")),
                               QStringLiteral("--password"),
                               qEnvironmentVariable("QEL_TEST_MSSQL_PASSWORD", QStringLiteral("marigold"))};
    const QString name = QStringLiteral("qeldemo_test_%1").arg(QDateTime::currentMSecsSinceEpoch());
    ASSERT_EQ(runTool(login + QStringList{QStringLiteral("create"), name}).status, 0);
    const QDir sql(QStringLiteral(QEL_SOURCE_DIR "/sql"));
    const Outcome script = runTool(login + QStringList{QStringLiteral("--database"), name, QStringLiteral("script"),
                                                       sql.filePath(QStringLiteral("business.sql")),
                                                       sql.filePath(QStringLiteral("program.sql")),
                                                       sql.filePath(QStringLiteral("demo.sql"))});
    const Outcome products = runTool(login + QStringList{QStringLiteral("--database"), name, QStringLiteral("query"),
                                                         QStringLiteral("SELECT COUNT(*) n FROM Product")});
    runTool(login + QStringList{QStringLiteral("--database"), QStringLiteral("master"), QStringLiteral("query"),
                                QStringLiteral("DROP DATABASE [") + name + QLatin1Char(']')});
    EXPECT_EQ(script.status, 0) << script.err.toStdString();
    EXPECT_NE(products.out, QStringLiteral("n\n0\n"));
}

} // namespace
