// The program's own statements, word for word as the windows and data
// modules hold them, run on the embedded engine against small tables.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Query.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class ConfigStatements : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral(R"(
Create Table Company (Id Int Not Null Primary Key, Code VarChar(10), Password VarChar(20), NameThai NVarChar(100),
  NameEng VarChar(100), ShortName VarChar(20), Address1 NVarChar(100), Address2 NVarChar(100), Address3 NVarChar(100),
  Address4 NVarChar(100), Province NVarChar(50), Zip VarChar(10), Telephone VarChar(30), Fax VarChar(30),
  EMail VarChar(60), Logo Image, TaxNo VarChar(20), InstallDate DateTime, RunYear Int, LocalServer VarChar(30),
  FUNDNAME VarChar(30), TaxBranchHead Char(1), TaxBranchCode VarChar(10), TaxBranchName NVarChar(60))
Create Table DatabaseList (DatabaseName VarChar(30) Not Null, Company Int Not Null References Company(Id),
  Description NVarChar(60), YearNo Int)
Create Table Menu (Id Int Not Null Primary Key, Command VarChar(60), MenuOption VarChar(20), Description NVarChar(60))
Create Table CompanyConfig (Company Int Not Null Primary Key, PicturePath VarChar(200), Public_Price_IE Char(1),
  DefaultWh Int, POS1_Wh Int, POS1_TaxCode VarChar(10), POS1_Price_IE Char(1), POS1_PriceType Int,
  POS1_SumDetail Char(1), DefaultPosComPort VarChar(10), DefaultTax Int, DefaultPosMenuId Int)
Create Table softwareconfig (Id Int, Name VarChar(30))
Create Table username (Id Int Not Null Primary Key, Code VarChar(10), FullName NVarChar(60), LanguageNo Int,
  EditSalePrice Char(1), Approve_Quo Char(1), Approve_SO Char(1), Approve_IV Char(1), Approve_PO Char(1),
  Approved_PORQ Char(1), ApproveTranWH Char(1), ApproveTranBranch Char(1), ApproveWorkOrder Char(1),
  CanSeeCost Char(1), CanSeeSalePrice Char(1), CanModifyCusSale Char(1), Approve_PreIs Char(1),
  ApproveCustomerDropUse Char(1), ApproveCustomerDropCredit Char(1), CanModifyCredit Char(1),
  CanSetProductBlock Char(1), CanSetProductMinus Char(1), CanSaleCreditOnReturnCheque Char(1))
Insert Into Company (Id, Code, NameThai, Address1, Address2, Address3, Address4, Zip, TaxNo, RunYear)
  Values (7, 'C7', N'บริษัท ทดสอบ จำกัด', ' 12 ถนนสุขุมวิท ', '', NULL, 'กรุงเทพฯ', '10110', '0105550000001', 2026)
Insert Into DatabaseList Values ('ACME', 7, N'บัญชีหลัก', 2026)
Insert Into Menu Values (55, 'POS.EXE', 'P', N'ขายหน้าร้าน')
Insert Into CompanyConfig Values (7, 'D:\Pictures\', 'I', 3, 4, 'V7', 'E', 19, 'Y', 'COM1', 2, 55)
Insert Into username (Id, Code, FullName, LanguageNo, CanSeeCost, CanSeeSalePrice, EditSalePrice)
  Values (34, 'SOMCHAI ', N'สมชาย ใจดี', 1, 'Y', 'y', NULL)
)"));
    }

    EmbeddedDb db;
};

TEST_F(ConfigStatements, CompanyConfigurationQueryFindsTheDatabaseWithoutRegardToCase)
{
    const QStringList lines{
        "SELECT C.Company, C.PicturePath, C.Public_Price_IE, C.DefaultWh,",
        "  C.POS1_Wh, C.POS1_TaxCode, C.POS1_Price_IE, C.POS1_PriceType,",
        "  C.POS1_SumDetail, C.DefaultPosComPort,C.DefaultTax,",
        "  C.DefaultPosMenuId,M.Command,M.MenuOption,",
        "  O.Description, O.YearNo,",
        "  P.Id, P.Code, P.Password, P.NameThai, P.NameEng, P.ShortName,",
        "  P.Address1, P.Address2, P.Address3, P.Address4, P.Province, P.Zip,",
        "  P.Telephone, P.Fax, P.EMail, P.Logo, P.TaxNo, P.InstallDate, P.RunYear,",
        "  P.LocalServer,P.FUNDNAME, P.TaxBranchHead, P.TaxBranchCode, P.TaxBranchName",
        "FROM CompanyConfig C",
        "Inner Join DatabaseList O On (O.Company = C.Company) ",
        "Inner Join Company P On (P.Id = O.Company)",
        "Left Outer Join Menu M On (M.Id = C.DefaultPosMenuId)",
        "Where (O.DatabaseName = :GetName)"};
    auto q = db.open(lines, {{"GetName", "acme"}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->asInteger("id"), 7);
    EXPECT_EQ(q->asInteger("DefaultWH"), 3);
    EXPECT_EQ(q->asInteger("Pos1_PriceType"), 19);
    EXPECT_EQ(q->asString("Pos1_SumDetail"), "Y");
    EXPECT_EQ(q->asString("Command"), "POS.EXE");
    EXPECT_EQ(q->asString("NameThai"), QStringLiteral("บริษัท ทดสอบ จำกัด"));
    EXPECT_EQ(q->asString("PicturePath"), "D:\\Pictures\\");
    EXPECT_TRUE(q->isNull("Address3"));
    EXPECT_EQ(q->asString("Address3"), "");
    EXPECT_THROW(q->asInteger("DefaultPosComPort"), db::DbError) << "text that is no number is not read as one";

    auto none = db.open(lines, {{"GetName", "NOPE"}});
    EXPECT_TRUE(none->isEmpty());
    EXPECT_TRUE(none->isOpen());
}

TEST_F(ConfigStatements, CompanyQueryWithCoalesceAndDistinctSubquery)
{
    auto q = db.open(QStringList{
                         "SELECT ID,CODE, PASSWORD, NAMETHAI, NAMEENG, SHORTNAME, ",
                         "  ADDRESS1, ADDRESS2, ADDRESS3, ADDRESS4, PROVINCE, ZIP, ",
                         "  TELEPHONE, FAX, EMAIL, LOGO, TAXNO, RUNYEAR,FUNDNAME, Coalesce(TaxBranchHead, 'N') "
                         "TaxBranchHead, Coalesce(TaxBranchCode, '') TaxBranchCode, TaxBranchName",
                         "FROM COMPANY",
                         "Where (Id = (Select Distinct Company From DatabaseList Where DatabaseName = :GetName))"},
                     {{"GetName", "ACME"}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->asString("TaxBranchHead"), "N");
    EXPECT_TRUE(!q->isNull("TaxBranchCode"));
    EXPECT_EQ(q->asString("TaxBranchCode"), "");
    EXPECT_EQ(q->asInteger("RUNYEAR"), 2026);

    auto all = db.open(QStringList{"select *", "from softwareconfig"});
    EXPECT_TRUE(all->isEmpty());
    EXPECT_EQ(all->fieldCount(), 2);
}

TEST_F(ConfigStatements, UserQueryWithBlankTrailingLinesAndMissingUser)
{
    const QStringList lines{
        "select fullname,languageno,EditSalePrice,Approve_Quo,Approve_SO,Approve_IV,Approve_PO, Approved_PORQ,",
        "       ApproveTranWH,ApproveTranBranch,ApproveWorkOrder,CanSeeCost,CanSeeSalePrice,CanModifyCusSale,",
        "       Approve_PreIs, CanModifyCusSale, ApproveCustomerDropUse, ApproveCustomerDropCredit,",
        "       CanModifyCredit, CanSetProductBlock, CanSetProductMinus, CanSaleCreditOnReturnCheque",
        "from  username",
        "where id=:uid",
        " ",
        " ",
        " "};
    auto q = db.open(lines, {{"uid", 34}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->asString("FullName"), QStringLiteral("สมชาย ใจดี"));
    EXPECT_EQ(q->asInteger("LanguageNo"), 1);
    EXPECT_EQ(q->asString("CanSeeCost"), "Y");
    EXPECT_EQ(q->asString("CanSeeSalePrice"), "y") << "flags are stored as typed; callers compare exactly";

    auto missing = db.open(lines, {{"uid", 35}});
    EXPECT_TRUE(missing->isEmpty());
    EXPECT_EQ(missing->asString("FullName"), "");
    EXPECT_EQ(missing->asInteger("LanguageNo"), 0);
}

TEST_F(ConfigStatements, ErrorLogListingJoinsAndSortsNewestFirst)
{
    db.exec(QStringLiteral("Create Table errorlog (Id Int Identity(1,1) Not Null, menu Int, username Int, "
                           "errordate DateTime, errormsg Text)"));
    db.exec(QStringLiteral("Insert Into errorlog (menu, username, errordate, errormsg) Values (55, 34, '01/15/2026', 'old')"));
    db.exec(QStringLiteral("Insert Into errorlog (menu, username, errordate, errormsg) Values (55, 34, :d, 'new')"),
            {{"d", QDateTime(QDate(2026, 3, 1), QTime(9, 30))}});
    auto q = db.open(QStringList{"select u.code,m.description,errordate,errormsg", "from errorlog e",
                                 "inner join menu m on m.id=e.menu", "inner join username u on u.id=e.username",
                                 "order by errordate desc"});
    EXPECT_EQ(rowsOf(*q), (QStringList{QStringLiteral("SOMCHAI |ขายหน้าร้าน|2026-03-01 09:30:00.000|new"),
                                       QStringLiteral("SOMCHAI |ขายหน้าร้าน|2026-01-15 00:00:00.000|old")}));
    EXPECT_EQ(q->asDateTime("errordate"), QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
}

TEST_F(ConfigStatements, MenuVersionStatementsRaiseEveryEntryOfTheSameCommand)
{
    db.exec(QStringLiteral("Alter Table Menu Add Version Integer"));
    db.exec(QStringLiteral("Insert Into Menu (Id, Command) Values (56, ' pos.exe ')"));
    db.exec(QStringLiteral("Insert Into Menu (Id, Command) Values (57, 'OTHER.EXE')"));
    db.exec(QStringLiteral("Insert Into Menu (Id, Command) Values (58, '')"));
    db.exec(QStringLiteral("Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null"));
    const QStringList raise{
        "Update Menu Set Version = :GetVersion",
        "Where (Coalesce(Version, 0) < :GetVersion)",
        "      And(LTrim(RTrim(Coalesce(Command, ''))) <> '')",
        "      And(Upper(LTrim(RTrim(Coalesce(Command, '')))) = (Select Upper(LTrim(RTrim(Coalesce(Command, '')))) "
        "From Menu Where Id = :MenuId))"};
    db::Query q(db.alias());
    q.setSql(raise);
    q.setParam("GetVersion", 5);
    q.setParam("MenuId", 55);
    q.execSql();
    EXPECT_EQ(db.rows("Select Id, Version From Menu Order By Id"),
              (QStringList{"55|5", "56|5", "57|3", "58|3"}));
    q.setParam("GetVersion", 4);
    q.execSql();
    EXPECT_EQ(db.scalar("Select Version From Menu Where Id = :MenuId", {{"MenuId", 55}}), "5");
}

// ---------------------------------------------------------------------------

class BusinessStatements : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral(R"(
Create Table Config (Id Int, OnhandDecimal Int, UnitLeft VarChar(5), UnitRight VarChar(5), SearchProductNo Int,
  PicturePath VarChar(200))
Create Table Tax (Id Int Not Null Primary Key, Code VarChar(10), Rate Decimal(6,2))
Create Table Warehouse (Id Int Not Null Primary Key, Code VarChar(10) Not Null, Name NVarChar(60),
  FlagIn Char(1), FlagOut Char(1), IsLocation Char(1), Blocked Char(1))
Create Table Product (Id Int Not Null Primary Key, Code VarChar(20) Not Null, ThaiName NVarChar(100),
  EngName VarChar(100), PosName NVarChar(40), ProductType Char(1), PriceIE Char(1), PrintFrac Char(1),
  UseSerial Char(1), LotControl Char(1), TaxCode Int, DefaultWh Int, PriceByVolumn Char(1), Discount VarChar(20),
  VolumnUnit VarChar(10), Blocked Char(1), Negative Char(1), ProductFree Char(1), Size_W Decimal(10,2),
  Size_L Decimal(10,2), Size_H Decimal(10,2), CartonsUnits Int, Cartons Int, NetWeight Float, GrossWeight Float,
  ProductDesc NVarChar(200), CheckSerialPurc Char(1), CheckSerialSale Char(1), CheckSerialStock Char(1),
  CheckSerialOnhand Char(1), PerDiscountOver Decimal(6,2), MasterCode Char(1), Remark NVarChar(100),
  Picture1 VarChar(60), Picture2 VarChar(60), Picture3 VarChar(60), Picture1Desc NVarChar(60),
  Picture2Desc NVarChar(60), Picture3Desc NVarChar(60))
Create Unique Index ProductCode On Product (Code)
Create View ProductView As Select * From Product
Create Table ProductUnits (Id Int Not Null Primary Key, Product Int Not Null References Product(Id),
  UnitName NVarChar(20) Not Null, Fraction Int, VolumnFraction Float, BarCode VarChar(30), UnitDesc NVarChar(40),
  PurcPrice Money, LabourCost Money, SaleFlag Char(1), PurcFlag Char(1), StockUnitFlag Char(1), SmallUnitFlag Char(1))
Create Index ProductUnitsBarCode On ProductUnits (BarCode)
Create Table Misc (Id Int Not Null Primary Key, Code VarChar(10), Description NVarChar(60), GroupCode VarChar(10))
Create Table ProductPrice (Id Int Identity(1,1) Not Null, Product Int, ProductUnits Int References ProductUnits(Id),
  PriceType Int, Price Money Not Null)
Create Table Customer (Id Int Not Null Primary Key, Code VarChar(20) Not Null, Name NVarChar(100))
Create Table CustomerProductPrice (Id Int Identity(1,1) Not Null, Customer Int, Product Int, ProductUnits Int,
  Price Money, Quantity Int, Discount VarChar(20))
Create Table promotion_dt (id Int Identity(1,1) Not Null, product Int, productunits Int, pricetype Int, customer Int,
  startdate DateTime, stopdate DateTime, price Money, discpercent VarChar(10))
Create Table productonhand (Id Int Identity(1,1) Not Null, product Int, productunits Int, warehouse Int,
  balanceyear Int, quantity Float)
Create Table LotNo (Id Int Not Null Primary Key, Code VarChar(20), HasExpired Char(1), ExpiredDate DateTime)
Create Table LotOnHand (Product Int, LotNo Int, Warehouse Int, BalanceYear Int, Quantity Float)
Create Table SerialNo (Id Int Identity(1,1) Not Null, Product Int, Serial VarChar(40), OnHand Char(1))
Create Table ProdAttrCode (Id Int Not Null Primary Key, ProdAttrGroup Int, Code VarChar(10), Description NVarChar(60))
Create Table PartSource (Id Int Not Null Primary Key, Product Int, ProductUnits Int, Vendor Int, Price Money,
  PurchaseCode VarChar(30), PurchaseName NVarChar(60), DiscountStr VarChar(20), lastprice Money,
  lastdoccode VarChar(10), lastdocno VarChar(20), lastdate DateTime)
Create Table projectitemhd (id Int Not Null Primary Key, project Int, code VarChar(20))
Create Table MrHd (Id Int Not Null Primary Key, MrDate DateTime, DelFlag Char(1))
Create Table MrDt (Id Int Not Null Primary Key, MrHd Int References MrHd(Id), Product Int, ProductUnits Int, Price Money)
Create Table IvHd (Id Int Not Null Primary Key, IvDate DateTime, Customer Int, DelFlag Char(1))
Create Table IvDt (Id Int Not Null Primary Key, IvHd Int, Product Int, ProductUnits Int, Quantity Float, Price Money,
  Total Money)
Create Table PosHd (Id Int Not Null Primary Key, PosDate DateTime, Customer Int, DelFlag Char(1))
Create Table PosDt (Id Int Not Null Primary Key, PosHd Int, Product Int, ProductUnits Int, Quantity Float,
  Price Money, Total Money)
Create Table PosHeader (Id Int Not Null Primary Key, PosDate DateTime, Customer Int, DelFlag Char(1))
Create Table PosDetail (Id Int Not Null Primary Key, PosHeader Int, Product Int, ProductUnits Int, Quantity Float,
  Price Money, Total Money)

Insert Into Config (Id, OnhandDecimal, UnitLeft, UnitRight, SearchProductNo) Values (1, 2, '(', ')', 1)
Insert Into Tax Values (1, 'V7', 7)
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (1, 'MAIN', N'คลังใหญ่', 'N')
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (2, 'SHOP', N'หน้าร้าน', 'N')
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (3, 'RMA', N'ของเสีย', 'N')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked, MasterCode, UseSerial, CheckSerialOnhand, Picture1, Picture1Desc)
  Values (10, 'A100', N'  น้ำดื่ม 600 มล.  ', 1, 1, 'N', NULL, 'Y', 'N', 'a100.jpg', N'ขวด')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked) Values (11, 'A1001', N'น้ำดื่มแพ็ค', 1, 1, NULL)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked) Values (12, 'B200', N'สินค้าระงับ', 1, 1, 'Y')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (13, 'C300', N'ไม่มีคลัง', 1, 99)
Insert Into ProductUnits Values (100, 10, N'ขวด', 1, 1, '8850001000011', N'ขวดเดียว', 12.5, 0.5, 'Y', 'Y', 'N', 'Y')
Insert Into ProductUnits Values (101, 10, N'โหล', 12, 12, '8850001000028', NULL, 140, 0, 'Y', 'Y', 'Y', 'N')
Insert Into ProductUnits Values (102, 10, N'ลัง', 144, 144, NULL, NULL, 1600, 0, 'N', 'Y', 'N', 'N')
Insert Into ProductUnits Values (110, 11, N'แพ็ค', 1, 1, '8850001000035', NULL, 60, 0, 'Y', 'Y', 'Y', 'Y')
Insert Into Misc Values (19, 'RETAIL', N'ราคาขายปลีก', 'PRICETYPE')
Insert Into Misc Values (20, 'WHOLE', N'ราคาขายส่ง', 'PRICETYPE')
Insert Into Misc Values (30, 'BKK', N'กรุงเทพฯ', 'CITY')
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (10, 100, 19, 15)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (10, 101, 19, 170)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (10, 101, 20, 160)
Insert Into Customer Values (1, 'C001', N'ร้านสมใจ')
Insert Into Customer Values (2, 'C0010', N'ร้านสมใจ สาขา 2')
Insert Into Customer Values (3, 'c0002', N'ลูกค้าตัวเล็ก')
Insert Into CustomerProductPrice (Customer, Product, ProductUnits, Price, Quantity, Discount) Values (1, 10, 101, 150, 6, '5%')
Insert Into promotion_dt (product, productunits, pricetype, customer, startdate, stopdate, price, discpercent)
  Values (10, 101, 19, 0, '2026-12-01', '2026-12-31', 155, '3')
Insert Into promotion_dt (product, productunits, pricetype, customer, startdate, stopdate, price, discpercent)
  Values (10, 101, 19, 1, '12/05/2026', '20261210', 149, NULL)
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity) Values (10, 100, 1, 2026, 30)
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity) Values (10, 101, 1, 2026, -5)
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity) Values (10, 100, 2, 2026, -2)
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity) Values (10, 100, 3, 2026, 7)
Insert Into productonhand (product, productunits, warehouse, balanceyear, quantity) Values (10, 100, 1, 2025, 1000)
Insert Into LotNo Values (1, 'LOT-A', 'N', NULL)
Insert Into LotNo Values (2, 'LOT-B', 'Y', '2026-06-30')
Insert Into LotOnHand Values (10, 2, 1, 2025, 4)
Insert Into LotOnHand Values (10, 2, 1, 2026, 6)
Insert Into LotOnHand Values (10, 2, 1, 2027, 100)
Insert Into MrHd Values (1, '2026-11-01', 'N')
Insert Into MrHd Values (2, '2026-11-20', 'Y')
Insert Into MrHd Values (3, '2026-11-15', NULL)
Insert Into MrDt Values (1, 1, 10, 101, 120)
Insert Into MrDt Values (2, 2, 10, 101, 99)
Insert Into MrDt Values (3, 3, 10, 100, 11.25)
Insert Into IvHd Values (1, '2026-10-01', 1, 'N')
Insert Into IvHd Values (2, '2026-10-02', 2, 'Y')
Insert Into IvDt Values (1, 1, 10, 101, 2, 170, 340)
Insert Into IvDt Values (2, 1, 11, 110, 1, 60, 60)
Insert Into IvDt Values (3, 2, 10, 101, 5, 170, 850)
Insert Into PosHd Values (1, '2026-09-01', 2, 'N')
Insert Into PosDt Values (1, 1, 10, 100, 3, 15, 45)
Insert Into PosHeader Values (1, '2026-08-01', 3, 'N')
Insert Into PosDetail Values (1, 1, 11, 110, 1, 60, 60)
)"));
    }

    EmbeddedDb db;
};

TEST_F(BusinessStatements, ProductCheckMatchesExactCodeAndSkipsBlockedOrUnjoinable)
{
    const QStringList chk{
        "SELECT P.Id, P.Code, P.ThaiName, P.EngName, P.PosName, P.ProductType,P.PriceIE ,P.PrintFrac,",
        "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, P.PriceByVolumn,P.Discount,W.flagin,w.flagout,",
        "  P.VolumnUnit, T.Rate TaxRate, W.Code WhCode, W.Name WhName,P.Blocked,P.Negative, "
        "Coalesce(P.ProductFree,'N')ProductFree,",
        "  P.Size_W,P.Size_L,P.Size_H,P.CartonsUnits,P.Cartons,P.NetWeight,P.GrossWeight, P.ProductDesc, "
        "Coalesce(P.CheckSerialPurc,'N')CheckSerialPurc, Coalesce(P.CheckSerialSale,'N')CheckSerialSale, "
        "Coalesce(P.CheckSerialStock,'N')CheckSerialStock,  Coalesce(P.CheckSerialOnhand,'N')CheckSerialOnhand, "
        "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
        "FROM Product P",
        "INNER JOIN Tax T On (T.Id = P.TaxCode)",
        "INNER JOIN Warehouse W On (W.Id = P.DefaultWh)",
        "WHERE (P.Code = :GetCode) AND (Coalesce(P.Blocked,'N') <> 'Y')  And (Coalesce(P.MasterCode,'N')<>'Y')",
        "/*     And  (ProductType <> 'S') And (P.ProductType <> 'M') */",
        "/* ห้ามย้ายบรรทัด */",
        " ", " ", " ", " ", " ", " ", " "};
    auto q = db.open(chk, {{"GetCode", "a100"}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->asInteger("Id"), 10);
    EXPECT_DOUBLE_EQ(q->asFloat("TaxRate"), 7.0);
    EXPECT_EQ(q->asString("WhCode"), "MAIN");
    EXPECT_EQ(q->asString("ProductFree"), "N");
    EXPECT_EQ(q->asInteger("PerDiscountOver"), 0);
    EXPECT_EQ(db.open(chk, {{"GetCode", "A10"}})->recordCount(), 0) << "no prefix match here";
    EXPECT_EQ(db.open(chk, {{"GetCode", "A1001"}})->recordCount(), 1) << "a NULL Blocked counts as N";
    EXPECT_EQ(db.open(chk, {{"GetCode", "B200"}})->recordCount(), 0);
    EXPECT_EQ(db.open(chk, {{"GetCode", "C300"}})->recordCount(), 0) << "default warehouse missing";

    const QStringList special{"Select P.Id, P.Code,", "       ltrim(rtrim(P.ThaiName)) ThaiName,",
                              "       P.Remark, P.ProductType ,P.Picture1 ", "From ProductView P",
                              "WHERE (P.Code = :GetCode) AND (P.Blocked <> 'Y') "};
    EXPECT_EQ(db.open(special, {{"GetCode", "A100"}})->asString("ThaiName"), QStringLiteral("น้ำดื่ม 600 มล."));
    EXPECT_EQ(db.open(special, {{"GetCode", "A1001"}})->recordCount(), 0) << "NULL <> 'Y' is not true";
}

TEST_F(BusinessStatements, UnitChecksUseLikePatternsOnFlags)
{
    const QStringList chkUnit{"SELECT Id, UnitName, Fraction, VolumnFraction,BarCode,PurcPrice,LabourCost",
                              "From ProductUnits",
                              "Where (Product = :GetProduct) And (UnitName = :GetUnit) And",
                              "  ((SaleFlag Like :SaleUnit) Or (PurcFlag Like :PurcUnit) Or",
                              "   (SmallUnitFlag Like :SmallUnit) Or (StockUnitFlag Like :StockUnit))"};
    auto sale = db.open(chkUnit, {{"GetProduct", 10}, {"GetUnit", QStringLiteral("โหล")}, {"SaleUnit", "Y%"},
                                  {"PurcUnit", "X%"}, {"SmallUnit", "X%"}, {"StockUnit", "X%"}});
    EXPECT_EQ(sale->recordCount(), 1);
    auto none = db.open(chkUnit, {{"GetProduct", 10}, {"GetUnit", QStringLiteral("ลัง")}, {"SaleUnit", "Y%"},
                                  {"PurcUnit", "X%"}, {"SmallUnit", "X%"}, {"StockUnit", "X%"}});
    EXPECT_EQ(none->recordCount(), 0);

    const QStringList first{"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction,U.PurcPrice",
                            "FROM ProductUnits U", "WHERE (U.Product = :GetId) And",
                            "  (U.SaleFlag Like :SaleUnit) And (U.PurcFlag Like :PurcUnit) And",
                            "  (U.SmallUnitFlag Like :SmallUnit) And (U.StockUnitFlag Like :StockUnit)",
                            "Order By U.Fraction"};
    auto q = db.open(first, {{"GetId", 10}, {"SaleUnit", "Y%"}, {"PurcUnit", "%"}, {"SmallUnit", "%"},
                             {"StockUnit", "%"}});
    ASSERT_EQ(q->recordCount(), 2);
    EXPECT_EQ(q->asString("UnitName"), QStringLiteral("ขวด"));

    const QStringList fraction{"SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd",
                               "FROM ProductUnits U",
                               "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
                               "Where (U.Id = :GetUnit)"};
    auto f = db.open(fraction, {{"GetUnit", 101}});
    EXPECT_EQ(rowsOf(*f), QStringList{QStringLiteral("โหล|12|ขวด|10")});
    EXPECT_TRUE(db.open(fraction, {{"GetUnit", 0}})->isEmpty());
}

TEST_F(BusinessStatements, BarCodeCheckWithCorrelatedPriceSubquery)
{
    const QStringList chk{
        "Select U.Id, U.BarCode, U.Fraction, U.UnitName,",
        "  U.PurcFlag, U.SaleFlag, U.SmallUnitFlag, U.StockUnitFlag,",
        "  P.Id ProductId, P.Code, P.ThaiName, P.EngName, P.PosName, ",
        "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, ",
        "  U.PurcPrice, U.LabourCost,",
        "  T.Rate TaxRate, ",
        "  W.Code WhCode, W.Name WhName,",
        "  (Select Pp.Price from ProductPrice Pp Where pp.ProductUnits = U.Id And pp.PriceType = 19) price, "
        "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
        "From ProductUnits U",
        "Inner Join Product P On (P.Id = U.Product)",
        "Inner Join Tax T On (T.Id = P.TaxCode)",
        "Inner Join Warehouse W On (W.Id = P.DefaultWh)",
        "Where (U.BarCode = :GetCode) AND (P.Blocked <> 'Y') And (U.BarCode Is Not Null)"};
    auto q = db.open(chk, {{"GetCode", "8850001000028"}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->asInteger("ProductId"), 10);
    EXPECT_DOUBLE_EQ(q->asFloat("price"), 170);
    EXPECT_TRUE(db.open(chk, {{"GetCode", "8850001000035"}})->isEmpty())
        << "a NULL Blocked is not <> 'Y' in this statement";
}

TEST_F(BusinessStatements, LotSerialAndWarehouseChecks)
{
    auto lotSum = db.open(QStringList{"SELECT Sum(L.Quantity) LotQnty", "FROM LotOnHand L",
                                      "WHERE (L.Product = :GetProduct) And",
                                      "  (L.LotNo = :GetLotNo) And (L.BalanceYear <= :GetYear) And (L.Warehouse = "
                                      ":GetWarehouse)"},
                          {{"GetProduct", 10}, {"GetLotNo", 2}, {"GetYear", 2026}, {"GetWarehouse", 1}});
    EXPECT_DOUBLE_EQ(lotSum->asFloat("LotQnty"), 10.0);
    auto noLot = db.open(QStringList{"SELECT Sum(L.Quantity) LotQnty", "FROM LotOnHand L",
                                     "WHERE (L.Product = :GetProduct) And",
                                     "  (L.LotNo = :GetLotNo) And (L.BalanceYear <= :GetYear) And (L.Warehouse = "
                                     ":GetWarehouse)"},
                         {{"GetProduct", 10}, {"GetLotNo", 9}, {"GetYear", 2026}, {"GetWarehouse", 1}});
    ASSERT_EQ(noLot->recordCount(), 1);
    EXPECT_TRUE(noLot->isNull("LotQnty"));
    EXPECT_DOUBLE_EQ(noLot->asFloat("LotQnty"), 0.0);

    auto lot = db.open(QStringList{"SELECT Id, Code, HasExpired, ExpiredDate", "FROM LotNo", "WHERE (Code = :GetCode)"},
                       {{"GetCode", "lot-b"}});
    EXPECT_EQ(lot->asDateTime("ExpiredDate"), QDateTime(QDate(2026, 6, 30), QTime(0, 0)));

    auto wh = db.open(QStringList{"SELECT W.Id, W.Code, W.Name,W.islocation", "FROM WareHouse W",
                                  "WHERE (W.Code = :GetCode)"},
                      {{"GetCode", "shop  "}});
    EXPECT_EQ(wh->asInteger("Id"), 2) << "trailing blanks and case do not count";

    db.exec(QStringLiteral("Insert Into SerialNo (Product, Serial, OnHand) Values (10, 'SN-1', 'N')"));
    auto serial = db.open(QStringList{"SELECT Id, Serial, OnHand", "FROM SerialNo",
                                      "WHERE (Product = :GetProduct) And (Serial = :GetSerial)"},
                          {{"GetProduct", 10}, {"GetSerial", "sn-1"}});
    EXPECT_EQ(serial->asString("OnHand"), "N");

    auto item = db.open(QStringList{"select id,code", "from projectitemhd", "where project=:projectid and code=:code"},
                        {{"projectid", 1}, {"code", "X"}});
    EXPECT_TRUE(item->isEmpty());
}

TEST_F(BusinessStatements, SellingPriceStatements)
{
    auto price = db.open(QStringList{"SELECT Price", "FROM ProductPrice",
                                     "Where (Product = :GetProduct) And (ProductUnits = :GetUnits) And (PriceType = "
                                     ":GetType)"},
                         {{"GetProduct", 10}, {"GetUnits", 101}, {"GetType", 20}});
    EXPECT_DOUBLE_EQ(price->asFloat("Price"), 160);

    auto stock = db.open(QStringList{"SELECT P.Price,U.Fraction,U.Id", "FROM ProductPrice P",
                                     "Inner Join ProductUnits U On (U.Product=P.Product) And (U.StockUnitFlag='Y') "
                                     "And (U.Id=P.ProductUnits)",
                                     "Where (P.Product = :GetProduct)  And (P.PriceType = :GetType) "},
                         {{"GetProduct", 10}, {"GetType", 19}});
    EXPECT_EQ(rowsOf(*stock), QStringList{"170|12|101"});

    auto cust = db.open(QStringList{"select price,quantity,discount", "from customerproductprice",
                                    "where customer=:cid and product=:pid and productunits=:uid"},
                        {{"CId", 1}, {"PId", 10}, {"UId", 101}});
    EXPECT_EQ(rowsOf(*cust), QStringList{"150|6|5%"});

    const QStringList promo{"select price,discpercent", "from promotion_dt",
                            "where product=:pid and productunits=:uid and pricetype=:tid and customer=:cid",
                            "           and (:pdate between startdate and stopdate)", "order by id desc"};
    auto mine = db.open(promo, {{"pid", 10}, {"uid", 101}, {"tid", 19}, {"cid", 1},
                                {"pdate", QDateTime(QDate(2026, 12, 10), QTime(0, 0))}});
    EXPECT_EQ(rowsOf(*mine), QStringList{"149|<null>"}) << "mm/dd/yyyy and yyyymmdd literals were stored as dates";
    auto after = db.open(promo, {{"pid", 10}, {"uid", 101}, {"tid", 19}, {"cid", 1},
                                 {"pdate", QDateTime(QDate(2026, 12, 11), QTime(0, 0))}});
    EXPECT_TRUE(after->isEmpty());
    auto all = db.open(promo, {{"pid", 10}, {"uid", 101}, {"tid", 19}, {"cid", 0},
                               {"pdate", QDate(2026, 12, 31)}});
    EXPECT_EQ(rowsOf(*all), QStringList{"155|3"});
}

TEST_F(BusinessStatements, InquiryLookupsTakeTheLowestCodeOfThePrefix)
{
    auto cust = db.open(QStringList{"Select C.Id,C.Code,C.Name From Customer C", "Where (C.Code Like 'c00' + '%')",
                                    "Order By C.Code"});
    EXPECT_EQ(rowsOf(*cust), (QStringList{QStringLiteral("3|c0002|ลูกค้าตัวเล็ก"), QStringLiteral("1|C001|ร้านสมใจ"),
                                          QStringLiteral("2|C0010|ร้านสมใจ สาขา 2")}))
        << "case-insensitive order: c0002 < C001 < C0010";
    auto exact = db.open(QStringList{"Select C.Id,C.Code,C.Name From Customer C", "Where (C.Code Like 'C001%')",
                                     "Order By C.Code"});
    EXPECT_EQ(exact->asString("Code"), "C001");

    auto product = db.open(QStringList{"Select P.Id,P.Code,P.ThaiName,P.Picture1,P.Picture2,P.Picture3, ",
                                       "       Picture1Desc,Picture2Desc,Picture3Desc,Year(GetDate()) InputYear ",
                                       "From Product P ", "Where (Code  Like 'a10%')", "Order By P.Code"});
    ASSERT_EQ(product->recordCount(), 2);
    EXPECT_EQ(product->asString("Code"), "A100");
    EXPECT_EQ(product->asInteger("InputYear"), QDate::currentDate().year());
    EXPECT_EQ(product->asString("Picture1Desc"), QStringLiteral("ขวด"));
}

TEST_F(BusinessStatements, PanelQueries)
{
    auto units = db.open(QStringList{"Select Id UnitId, Product, UnitName ,Barcode,UnitDesc,PurcPrice",
                                     "From ProductUnits", "Where Product = :Id"},
                         {{"Id", 10}});
    EXPECT_EQ(units->recordCount(), 3);
    EXPECT_EQ(units->fieldNames().first(), "UnitId");

    const QStringList price{"Select M.Id PriceId, M.Description, ", "       Coalesce(P.Price,0)Price", "From Misc M",
                            "Left Outer Join ProductPrice P On (P.PriceType = M.Id) And (P.ProductUnits = :UnitId)",
                            "Where (M.GroupCode = 'PRICETYPE')", "union all",
                            "select 0 PriceId, 'ราคาขายลูกค้า' Description, Price ", "From CustomerProductPrice Cp ",
                            "Where (ProductUnits = :UnitId) And (Cp.Customer = :Customer)"};
    EXPECT_EQ(rowsOf(*db.open(price, {{"UnitId", 101}, {"Customer", 1}})),
              (QStringList{QStringLiteral("19|ราคาขายปลีก|170"), QStringLiteral("20|ราคาขายส่ง|160"),
                           QStringLiteral("0|ราคาขายลูกค้า|150")}));
    EXPECT_EQ(rowsOf(*db.open(price, {{"UnitId", 102}, {"Customer", 2}})),
              (QStringList{QStringLiteral("19|ราคาขายปลีก|0"), QStringLiteral("20|ราคาขายส่ง|0")}));

    const QStringList onhand{
        "select Id, Code, sumqnty, OnhandStr, (Case When sumqnty > 0 Then 1 When sumqnty < 0 Then 2 Else 3 End) Rec",
        QStringLiteral("From(\r\tselect  w.id, w.code,"),
        "\t            (select sum(quantity) from productonhand ",
        "\t             where warehouse=w.id and product=:id and balanceyear=:inputyear) sumqnty,",
        QStringLiteral("\t            '") + QString(40, QLatin1Char(' ')) + QStringLiteral("' OnhandStr"),
        "\tfrom warehouse w",
        ") As M",
        "order by Rec, sumqnty Desc"};
    auto q = db.open(onhand, {{"id", 10}, {"inputyear", 2026}});
    EXPECT_EQ(rowsOf(*q), (QStringList{QStringLiteral("1|MAIN|25|") + QString(40, QLatin1Char(' ')) + QStringLiteral("|1"),
                                       QStringLiteral("3|RMA|7|") + QString(40, QLatin1Char(' ')) + QStringLiteral("|1"),
                                       QStringLiteral("2|SHOP|-2|") + QString(40, QLatin1Char(' ')) + QStringLiteral("|2")}));
    auto empty = db.open(onhand, {{"id", 11}, {"inputyear", 2026}});
    EXPECT_EQ(empty->recordCount(), 3) << "every warehouse is listed";
    EXPECT_TRUE(empty->isNull("sumqnty"));

    auto stockUnit = db.open(QStringList{"select id ", "from productunits", "where (product=:pid) and (stockunitflag='Y')"},
                             {{"PId", 10}});
    EXPECT_EQ(stockUnit->asInteger("Id"), 101);

    auto lastMr = db.open(QStringList{"select top 1 M.Price,M.Productunits,U.UnitName,H.MrDate", "From MrDt M",
                                      "Inner Join MrHd H", "On (H.Id=M.Mrhd) and (H.Delflag<>'Y')",
                                      "Inner Join ProductUnits U", "On (U.Id=M.ProductUnits)", "Where M.Product=:Id",
                                      "Order by H.MrDate Desc"},
                          {{"Id", 10}});
    EXPECT_EQ(rowsOf(*lastMr), QStringList{QStringLiteral("120|101|โหล|2026-11-01 00:00:00.000")})
        << "a NULL DelFlag is not <> 'Y', and the cancelled receipt is skipped";
}

TEST_F(BusinessStatements, HistoryUnionOfThreeSalesTables)
{
    const QStringList history{
        "Select  'ขายเชื่อ' IvType,H.IvDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From Ivdt D",
        "            Inner Join Ivhd H On (H.id=D.Ivhd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        "Select  'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From PosDt D",
        "            Inner Join PosHd H  On (H.Id=D.PosHd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        "Select 'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From PosDetail D",
        "            Inner Join PosHeader H On (H.Id=D.PosHeader) and (H.Delflag <> 'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Order By 1,2"};
    auto q = db.open(history, {{"GetCus", 1}, {"GetProduct", 10}});
    QStringList types;
    for (int r = 0; r < q->recordCount(); ++r)
        types.append(db::variantToText(q->valueAt(r, 0)) + QLatin1Char('@') + db::variantToText(q->valueAt(r, 1)).left(10));
    // Thai dictionary order reads the leading vowel after its consonant: เชื่อ sorts by ช, before สด.
    EXPECT_EQ(types, (QStringList{QStringLiteral("ขายเชื่อ@2026-10-01"), QStringLiteral("ขายเชื่อ@2026-10-01"),
                                  QStringLiteral("ขายสด@2026-09-01")}));

    auto productOnly = db.open(history, {{"GetCus", QVariant()}, {"GetProduct", 11}});
    EXPECT_EQ(productOnly->recordCount(), 2) << "a NULL customer matches nothing, the product matches two lines";
}

TEST_F(BusinessStatements, SerialBatchRunsItsGuardAndAnswersWithTheVariable)
{
    const QStringList batch{"Declare @SerialId IdNo",
                            "If Exists (Select Id From product Where Id = :ProductId And UseSerial = 'Y' And "
                            "CheckSerialOnhand = 'N')",
                            "   Exec CreateSerialNo :ProductId, :SerialCode, @SerialId Output",
                            "select  @SerialId"};
    db.exec(QStringLiteral("Create Type IdNo From Int"));
    auto skipped = db.open(batch, {{"ProductId", 11}, {"SerialCode", "SN-9"}});
    ASSERT_EQ(skipped->recordCount(), 1);
    EXPECT_TRUE(skipped->valueAt(0, 0).isNull());

    try {
        db.open(batch, {{"ProductId", 10}, {"SerialCode", "SN-9"}});
        FAIL() << "the guarded EXEC should have run";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), "Could not find stored procedure 'CreateSerialNo'.");
    }
}

} // namespace
