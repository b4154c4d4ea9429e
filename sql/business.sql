-- One company's business database: setup row, code tables, customers,
-- products with their units, prices and stock, and the sales, purchase,
-- point-of-sale and production documents the price inquiry reads.
--
-- Run once, inside an empty database; batches end at GO lines. Nothing here
-- is guarded: a second run stops at its first batch with "There is already
-- an object named 'NullTable' ...", before anything else is touched.
--
-- Conventions:
-- - Ids are IdNo (int) identities; flags are CharFlag, 'Y' for yes and
--   anything else, Null included, for no.
-- - Text that people read or type in Thai is nvarchar, so that it survives a
--   server whose default collation has no Thai code page; codes are varchar.
-- - Address and name parts that statements glue together with + are
--   Not Null Default '', because one Null would blank the whole result.
-- - A code column is only made unique when it is Not Null (SQL Server lets a
--   unique index hold one Null only). Uniqueness is a unique index, so both
--   engines name the index when they refuse a duplicate.
-- - Foreign keys are left out where the program expects the parent to be
--   missing at times and copes (a product's tax code and default warehouse,
--   a customer's province and salesman) and where a value is not an id of
--   one table (promotion customer 0 = every customer, price types and other
--   Misc codes, project ids).

-- First, and with base types only: on a second run this is what fails.
Create Table NullTable (
  Id Int Not Null Constraint PK_NullTable Primary Key,
  Constraint CK_NullTable_OneRow Check (Id = 1)
)
GO
-- Some statements need a FROM that yields exactly one row.
Insert Into NullTable (Id) Values (1)
GO

-- Nullable unless a column says otherwise, whatever the session's default:
-- the program adds CharFlag columns to filled tables without saying Null.
Exec sp_addtype IdNo, 'int', 'NULL'
GO
Exec sp_addtype CharFlag, 'char(1)', 'NULL'
GO

-- ---------------------------------------------------------------- setup

-- The company's setup row: exactly one, Id 1. The program adds further
-- columns (ShowProductPriceList) itself.
Create Table Config (
  Id                  IdNo Not Null Constraint PK_Config Primary Key Constraint DF_Config_Id Default 1,
  -- decimals of small-unit quantities; Null shows up to six
  OnhandDecimal       Int Null,
  -- written right before and after every unit name in quantity texts
  UnitLeft            NVarChar(5) Null Constraint DF_Config_UnitLeft Default '(',
  UnitRight           NVarChar(5) Null Constraint DF_Config_UnitRight Default ')',
  DisplayFraction     CharFlag Null Constraint DF_Config_DisplayFraction Default 'N',
  -- layout of the product search result (0 to 9)
  SearchProductNo     Int Null Constraint DF_Config_SearchProductNo Default 0,
  -- 0 name begins with, 1 name contains
  SearchProductMethod Int Null Constraint DF_Config_SearchProductMethod Default 1,
  ShowLastSearch      CharFlag Null Constraint DF_Config_ShowLastSearch Default 'N',
  PicturePath         NVarChar(255) Null,
  RunYear             Int Null,
  IvRefSO             CharFlag Null Constraint DF_Config_IvRefSO Default 'N',
  MrRefPO             CharFlag Null Constraint DF_Config_MrRefPO Default 'N',
  EditPricePO         CharFlag Null Constraint DF_Config_EditPricePO Default 'N',
  Constraint CK_Config_OneRow Check (Id = 1)
)
GO
Insert Into Config (Id, RunYear) Values (1, Year(GetDate()))
GO

Create Table accountperiod (
  Id          IdNo Identity(1,1) Not Null Constraint PK_accountperiod Primary Key,
  AccountYear Int Not Null,
  StartDate   DateTime Not Null,
  EndDate     DateTime Not Null,
  Closed      CharFlag Not Null Constraint DF_accountperiod_Closed Default 'N',
  Constraint CK_accountperiod_Dates Check (EndDate >= StartDate)
)
GO
Create Unique Index UQ_accountperiod_AccountYear On accountperiod (AccountYear)
GO

-- Code tables, one group per GroupCode: PRICETYPE, CITY, PTYPE, PGROUP,
-- DEPARTMENT, TRANSPORT and others.
Create Table Misc (
  Id          IdNo Identity(1,1) Not Null Constraint PK_Misc Primary Key,
  GroupCode   VarChar(20) Not Null,
  Code        VarChar(20) Not Null,
  Description NVarChar(60) Null
)
GO
Create Unique Index UQ_Misc_GroupCode_Code On Misc (GroupCode, Code)
GO

Create Table Tax (
  Id          IdNo Identity(1,1) Not Null Constraint PK_Tax Primary Key,
  Code        VarChar(10) Not Null,
  Description NVarChar(60) Null,
  Rate        Decimal(9,4) Not Null Constraint DF_Tax_Rate Default 0
)
GO
Create Unique Index UQ_Tax_Code On Tax (Code)
GO

-- Warehouses and storage locations (IsLocation 'Y').
Create Table Warehouse (
  Id         IdNo Identity(1,1) Not Null Constraint PK_Warehouse Primary Key,
  Code       VarChar(20) Not Null,
  Name       NVarChar(100) Null,
  IsLocation CharFlag Null Constraint DF_Warehouse_IsLocation Default 'N',
  Blocked    CharFlag Null Constraint DF_Warehouse_Blocked Default 'N',
  FlagIn     CharFlag Null Constraint DF_Warehouse_FlagIn Default 'Y',
  FlagOut    CharFlag Null Constraint DF_Warehouse_FlagOut Default 'Y'
)
GO
Create Unique Index UQ_Warehouse_Code On Warehouse (Code)
GO

-- Sales persons; Status 'N' is suspended. Department is a Misc DEPARTMENT id.
Create Table Salesman (
  Id         IdNo Identity(1,1) Not Null Constraint PK_Salesman Primary Key,
  Code       VarChar(10) Not Null,
  Name       NVarChar(30) Not Null Constraint DF_Salesman_Name Default '',
  Surname    NVarChar(30) Not Null Constraint DF_Salesman_Surname Default '',
  -- the name as documents print it; the customer search sorts by it
  SalesName  NVarChar(70) Null,
  Department IdNo Null,
  Status     CharFlag Not Null Constraint DF_Salesman_Status Default 'Y',
  StartDate  DateTime Null,
  StopDate   DateTime Null,
  Address1   NVarChar(100) Not Null Constraint DF_Salesman_Address1 Default '',
  Address2   NVarChar(100) Not Null Constraint DF_Salesman_Address2 Default '',
  Address3   NVarChar(100) Not Null Constraint DF_Salesman_Address3 Default '',
  Province   IdNo Null,
  ZipCode    VarChar(10) Null,
  PhoneNo    VarChar(50) Null,
  FaxNo      VarChar(50) Null,
  EMail      VarChar(100) Null
)
GO
Create Unique Index UQ_Salesman_Code On Salesman (Code)
GO

-- ---------------------------------------------------------------- customers

-- Province is a Misc CITY id, PriceType a Misc PRICETYPE id.
Create Table Customer (
  Id          IdNo Identity(1,1) Not Null Constraint PK_Customer Primary Key,
  Code        VarChar(20) Not Null,
  Name        NVarChar(150) Not Null,
  NameEng     NVarChar(150) Null,
  Address1    NVarChar(100) Not Null Constraint DF_Customer_Address1 Default '',
  Address2    NVarChar(100) Not Null Constraint DF_Customer_Address2 Default '',
  Address3    NVarChar(100) Not Null Constraint DF_Customer_Address3 Default '',
  Province    IdNo Null,
  ZipCode     VarChar(10) Null,
  PhoneNo     VarChar(50) Null,
  FaxNo       VarChar(50) Null,
  EMail       VarChar(100) Null,
  TaxNo       VarChar(20) Null,
  Salesman    IdNo Null,
  PriceType   IdNo Null,
  CreditDays  Int Null,
  CreditLimit Decimal(18,2) Null,
  Remark      NVarChar(255) Null,
  Blocked     CharFlag Not Null Constraint DF_Customer_Blocked Default 'N'
)
GO
Create Unique Index UQ_Customer_Code On Customer (Code)
GO
Create Index IX_Customer_Name On Customer (Name)
GO

Create Table CusAttrGroup (
  Id          IdNo Identity(1,1) Not Null Constraint PK_CusAttrGroup Primary Key,
  Code        VarChar(10) Not Null,
  Description NVarChar(60) Null
)
GO
Create Unique Index UQ_CusAttrGroup_Code On CusAttrGroup (Code)
GO

Create Table CusAttrCode (
  Id           IdNo Identity(1,1) Not Null Constraint PK_CusAttrCode Primary Key,
  CusAttrGroup IdNo Not Null,
  Code         VarChar(10) Not Null,
  Description  NVarChar(60) Null,
  Constraint FK_CusAttrCode_CusAttrGroup Foreign Key (CusAttrGroup) References CusAttrGroup (Id)
)
GO
Create Unique Index UQ_CusAttrCode_CusAttrGroup_Code On CusAttrCode (CusAttrGroup, Code)
GO

-- GroupCode is the group's code immediately followed by the attribute's
-- code, so that a range within one group is a range of this column.
Create Table CustomerAttribute (
  Id          IdNo Identity(1,1) Not Null Constraint PK_CustomerAttribute Primary Key,
  Customer    IdNo Not Null,
  CusAttrCode IdNo Null,
  GroupCode   VarChar(20) Not Null,
  Constraint FK_CustomerAttribute_Customer Foreign Key (Customer) References Customer (Id),
  Constraint FK_CustomerAttribute_CusAttrCode Foreign Key (CusAttrCode) References CusAttrCode (Id)
)
GO
Create Unique Index UQ_CustomerAttribute_Customer_GroupCode On CustomerAttribute (Customer, GroupCode)
GO
Create Index IX_CustomerAttribute_GroupCode On CustomerAttribute (GroupCode, Customer)
GO

Create Table Vendor (
  Id       IdNo Identity(1,1) Not Null Constraint PK_Vendor Primary Key,
  Code     VarChar(20) Not Null,
  Name     NVarChar(150) Not Null,
  Address1 NVarChar(100) Not Null Constraint DF_Vendor_Address1 Default '',
  Address2 NVarChar(100) Not Null Constraint DF_Vendor_Address2 Default '',
  Address3 NVarChar(100) Not Null Constraint DF_Vendor_Address3 Default '',
  PhoneNo  VarChar(50) Null,
  FaxNo    VarChar(50) Null,
  Blocked  CharFlag Not Null Constraint DF_Vendor_Blocked Default 'N'
)
GO
Create Unique Index UQ_Vendor_Code On Vendor (Code)
GO

-- ---------------------------------------------------------------- products

Create Table productgroup (
  Id          IdNo Identity(1,1) Not Null Constraint PK_productgroup Primary Key,
  Code        VarChar(20) Not Null,
  Description NVarChar(100) Null,
  ProductType CharFlag Null
)
GO
Create Unique Index UQ_productgroup_Code On productgroup (Code)
GO

-- ProductType: P finished goods, S service, M materials, R raw material (and
-- the suite's other letters). PType and PGroup are Misc PTYPE / PGROUP ids.
-- Blocked and MasterCode may be Null, which some statements read as 'N'.
Create Table Product (
  Id              IdNo Identity(1,1) Not Null Constraint PK_Product Primary Key,
  Code            VarChar(30) Not Null,
  ThaiName        NVarChar(150) Not Null,
  EngName         NVarChar(150) Null,
  PosName         NVarChar(60) Null,
  ProductDesc     NVarChar(1000) Null,
  Remark          NVarChar(255) Null,
  TechNicName1    NVarChar(100) Null,
  TechNicName2    NVarChar(100) Null,
  ProductType     CharFlag Not Null Constraint DF_Product_ProductType Default 'P',
  PType           IdNo Null,
  PGroup          IdNo Null,
  ProductGroup    IdNo Null,
  TaxCode         IdNo Null,
  DefaultWh       IdNo Null,
  -- prices include ('I') or exclude ('E') the tax
  PriceIE         CharFlag Null Constraint DF_Product_PriceIE Default 'I',
  PrintFrac       CharFlag Null Constraint DF_Product_PrintFrac Default 'N',
  UseSerial       CharFlag Null Constraint DF_Product_UseSerial Default 'N',
  LotControl      CharFlag Null Constraint DF_Product_LotControl Default 'N',
  PriceByVolumn   CharFlag Null Constraint DF_Product_PriceByVolumn Default 'N',
  VolumnUnit      NVarChar(20) Null,
  -- discount text as the clerk writes it, e.g. 5%+2%
  Discount        VarChar(30) Null,
  PerDiscountOver Decimal(9,2) Null,
  -- may its stock go below zero
  Negative        CharFlag Null Constraint DF_Product_Negative Default 'N',
  Blocked         CharFlag Null Constraint DF_Product_Blocked Default 'N',
  MasterCode      CharFlag Null Constraint DF_Product_MasterCode Default 'N',
  Size_W          Decimal(18,4) Null,
  Size_L          Decimal(18,4) Null,
  Size_H          Decimal(18,4) Null,
  CartonsUnits    Int Null,
  Cartons         Decimal(18,4) Null,
  NetWeight       Decimal(18,4) Null,
  GrossWeight     Decimal(18,4) Null,
  -- picture file names, relative to Config.PicturePath
  Picture1        NVarChar(255) Null,
  Picture2        NVarChar(255) Null,
  Picture3        NVarChar(255) Null,
  Picture1Desc    NVarChar(100) Null,
  Picture2Desc    NVarChar(100) Null,
  Picture3Desc    NVarChar(100) Null,
  Constraint FK_Product_productgroup Foreign Key (ProductGroup) References productgroup (Id)
)
GO
Create Unique Index UQ_Product_Code On Product (Code)
GO
Create Index IX_Product_ThaiName On Product (ThaiName)
GO
Create Index IX_Product_PType On Product (PType)
GO
Create Index IX_Product_PGroup On Product (PGroup)
GO

-- What the product searches list. The columns are named, not *, so that the
-- columns the program adds to Product later do not change the view.
Create View ProductView As
Select P.Id, P.Code, P.ThaiName, P.EngName, P.PosName, P.Remark, P.ProductType,
       P.PType, P.PGroup, P.ProductGroup, P.TaxCode, P.DefaultWh, P.Blocked, P.MasterCode,
       P.Size_W, P.Size_L, P.Size_H, P.TechNicName1, P.TechNicName2,
       P.Picture1, P.Picture2, P.Picture3
From Product P
GO

-- A product's units. Fraction is the number of small units in one of this
-- unit; stock is counted in the small unit (SmallUnitFlag 'Y').
Create Table ProductUnits (
  Id             IdNo Identity(1,1) Not Null Constraint PK_ProductUnits Primary Key,
  Product        IdNo Not Null,
  UnitName       NVarChar(20) Not Null,
  UnitDesc       NVarChar(100) Null,
  Fraction       Int Not Null,
  VolumnFraction Decimal(18,4) Null,
  BarCode        VarChar(30) Null,
  PurcPrice      Decimal(18,4) Null,
  LabourCost     Decimal(18,4) Null,
  SaleFlag       CharFlag Null Constraint DF_ProductUnits_SaleFlag Default 'N',
  PurcFlag       CharFlag Null Constraint DF_ProductUnits_PurcFlag Default 'N',
  StockUnitFlag  CharFlag Null Constraint DF_ProductUnits_StockUnitFlag Default 'N',
  SmallUnitFlag  CharFlag Null Constraint DF_ProductUnits_SmallUnitFlag Default 'N',
  Constraint FK_ProductUnits_Product Foreign Key (Product) References Product (Id)
)
GO
-- Also the index of every look-up of a product's units.
Create Unique Index UQ_ProductUnits_Product_UnitName On ProductUnits (Product, UnitName)
GO
Create Index IX_ProductUnits_BarCode On ProductUnits (BarCode)
GO

-- The price list: one price per product unit and price type (a Misc
-- PRICETYPE id).
Create Table ProductPrice (
  Id           IdNo Identity(1,1) Not Null Constraint PK_ProductPrice Primary Key,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  PriceType    IdNo Not Null,
  Price        Decimal(18,4) Not Null,
  Constraint FK_ProductPrice_Product Foreign Key (Product) References Product (Id),
  Constraint FK_ProductPrice_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Unique Index UQ_ProductPrice_ProductUnits_PriceType On ProductPrice (ProductUnits, PriceType)
GO
Create Index IX_ProductPrice_Product_PriceType On ProductPrice (Product, PriceType)
GO

-- A customer's own price for a product unit; Price may be empty while the
-- discount still counts.
Create Table customerproductprice (
  Id           IdNo Identity(1,1) Not Null Constraint PK_customerproductprice Primary Key,
  Customer     IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Price        Decimal(18,4) Null,
  Quantity     Int Null,
  Discount     VarChar(30) Null,
  Constraint FK_customerproductprice_Customer Foreign Key (Customer) References Customer (Id),
  Constraint FK_customerproductprice_Product Foreign Key (Product) References Product (Id),
  Constraint FK_customerproductprice_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Unique Index UQ_customerproductprice_Customer_Product_ProductUnits
  On customerproductprice (Customer, Product, ProductUnits)
GO
Create Index IX_customerproductprice_ProductUnits On customerproductprice (ProductUnits, Customer)
GO

-- Prices agreed with a customer within one project.
Create Table CustomerProductPriceProject (
  Id           IdNo Identity(1,1) Not Null Constraint PK_CustomerProductPriceProject Primary Key,
  Customer     IdNo Not Null,
  Project      IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Price        Decimal(18,4) Null,
  Discount     VarChar(30) Null,
  Constraint FK_CustomerProductPriceProject_Customer Foreign Key (Customer) References Customer (Id),
  Constraint FK_CustomerProductPriceProject_Product Foreign Key (Product) References Product (Id),
  Constraint FK_CustomerProductPriceProject_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Unique Index UQ_CustomerProductPriceProject_Customer_Product
  On CustomerProductPriceProject (Customer, Product, ProductUnits, Project)
GO

-- Promotion lines; Customer 0 is every customer, so it is no foreign key.
-- Start and stop dates are whole days, both included.
Create Table promotion_dt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_promotion_dt Primary Key,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  PriceType    IdNo Not Null,
  Customer     IdNo Not Null Constraint DF_promotion_dt_Customer Default 0,
  StartDate    DateTime Not Null,
  StopDate     DateTime Not Null,
  Price        Decimal(18,4) Null,
  DiscPercent  VarChar(30) Null,
  Constraint FK_promotion_dt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_promotion_dt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint CK_promotion_dt_Dates Check (StopDate >= StartDate)
)
GO
Create Index IX_promotion_dt_Product On promotion_dt (Product, ProductUnits, PriceType, Customer)
GO

-- Stock per product, unit, warehouse and balance year, in small units.
Create Table productonhand (
  Id           IdNo Identity(1,1) Not Null Constraint PK_productonhand Primary Key,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Warehouse    IdNo Not Null,
  BalanceYear  Int Not Null,
  Quantity     Decimal(18,4) Not Null Constraint DF_productonhand_Quantity Default 0,
  Constraint FK_productonhand_Product Foreign Key (Product) References Product (Id),
  Constraint FK_productonhand_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint FK_productonhand_Warehouse Foreign Key (Warehouse) References Warehouse (Id)
)
GO
Create Unique Index UQ_productonhand_Product_Warehouse_BalanceYear
  On productonhand (Product, Warehouse, BalanceYear, ProductUnits)
GO
Create Index IX_productonhand_Warehouse On productonhand (Warehouse)
GO

-- Lots; HasExpired 'N' is a lot that never expires.
Create Table LotNo (
  Id          IdNo Identity(1,1) Not Null Constraint PK_LotNo Primary Key,
  Code        VarChar(30) Not Null,
  Description NVarChar(100) Null,
  ExpiredDate DateTime Null,
  HasExpired  CharFlag Null Constraint DF_LotNo_HasExpired Default 'Y'
)
GO
Create Unique Index UQ_LotNo_Code On LotNo (Code)
GO
Create Index IX_LotNo_ExpiredDate On LotNo (ExpiredDate)
GO

Create Table LotOnHand (
  Id          IdNo Identity(1,1) Not Null Constraint PK_LotOnHand Primary Key,
  Product     IdNo Not Null,
  LotNo       IdNo Not Null,
  Warehouse   IdNo Not Null,
  BalanceYear Int Not Null,
  Quantity    Decimal(18,4) Not Null Constraint DF_LotOnHand_Quantity Default 0,
  Constraint FK_LotOnHand_Product Foreign Key (Product) References Product (Id),
  Constraint FK_LotOnHand_LotNo Foreign Key (LotNo) References LotNo (Id),
  Constraint FK_LotOnHand_Warehouse Foreign Key (Warehouse) References Warehouse (Id)
)
GO
Create Unique Index UQ_LotOnHand_Product_LotNo_Warehouse_BalanceYear
  On LotOnHand (Product, LotNo, Warehouse, BalanceYear)
GO

Create Table SerialNo (
  Id      IdNo Identity(1,1) Not Null Constraint PK_SerialNo Primary Key,
  Product IdNo Not Null,
  Serial  VarChar(50) Not Null,
  OnHand  CharFlag Null Constraint DF_SerialNo_OnHand Default 'N',
  Constraint FK_SerialNo_Product Foreign Key (Product) References Product (Id)
)
GO
Create Unique Index UQ_SerialNo_Product_Serial On SerialNo (Product, Serial)
GO

-- Where a product unit is bought: one row per unit and vendor, with the
-- vendor's own code and price for it.
Create Table PartSource (
  Id           IdNo Identity(1,1) Not Null Constraint PK_PartSource Primary Key,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Vendor       IdNo Not Null,
  PurchaseCode VarChar(30) Null,
  PurchaseName NVarChar(150) Null,
  Price        Decimal(18,4) Null,
  DiscountStr  VarChar(30) Null,
  LastPrice    Decimal(18,4) Null,
  LastDocCode  VarChar(10) Null,
  LastDocNo    VarChar(30) Null,
  LastDate     DateTime Null,
  Constraint FK_PartSource_Product Foreign Key (Product) References Product (Id),
  Constraint FK_PartSource_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint FK_PartSource_Vendor Foreign Key (Vendor) References Vendor (Id)
)
GO
Create Unique Index UQ_PartSource_ProductUnits_Vendor On PartSource (ProductUnits, Vendor)
GO
Create Index IX_PartSource_Vendor_PurchaseCode On PartSource (Vendor, PurchaseCode)
GO

-- Product attributes: groups per product type, codes per group.
Create Table ProdAttrGroup (
  Id          IdNo Identity(1,1) Not Null Constraint PK_ProdAttrGroup Primary Key,
  Code        VarChar(10) Not Null,
  Description NVarChar(60) Null,
  ProductType CharFlag Not Null Constraint DF_ProdAttrGroup_ProductType Default 'P'
)
GO
Create Unique Index UQ_ProdAttrGroup_Code On ProdAttrGroup (Code)
GO
Create Index IX_ProdAttrGroup_ProductType On ProdAttrGroup (ProductType)
GO

Create Table ProdAttrCode (
  Id            IdNo Identity(1,1) Not Null Constraint PK_ProdAttrCode Primary Key,
  ProdAttrGroup IdNo Not Null,
  Code          VarChar(10) Not Null,
  Description   NVarChar(60) Null,
  Constraint FK_ProdAttrCode_ProdAttrGroup Foreign Key (ProdAttrGroup) References ProdAttrGroup (Id)
)
GO
Create Unique Index UQ_ProdAttrCode_ProdAttrGroup_Code On ProdAttrCode (ProdAttrGroup, Code)
GO

-- As CustomerAttribute: GroupCode is group code + attribute code.
Create Table ProductAttribute (
  Id           IdNo Identity(1,1) Not Null Constraint PK_ProductAttribute Primary Key,
  Product      IdNo Not Null,
  ProdAttrCode IdNo Null,
  GroupCode    VarChar(20) Not Null,
  Constraint FK_ProductAttribute_Product Foreign Key (Product) References Product (Id),
  Constraint FK_ProductAttribute_ProdAttrCode Foreign Key (ProdAttrCode) References ProdAttrCode (Id)
)
GO
Create Unique Index UQ_ProductAttribute_Product_GroupCode On ProductAttribute (Product, GroupCode)
GO
Create Index IX_ProductAttribute_GroupCode On ProductAttribute (GroupCode, Product)
GO

-- A product's one attribute code per group, by id.
Create Table productattr (
  Id            IdNo Identity(1,1) Not Null Constraint PK_productattr Primary Key,
  Product       IdNo Not Null,
  ProdAttrGroup IdNo Not Null,
  ProdAttrCode  IdNo Not Null,
  Constraint FK_productattr_Product Foreign Key (Product) References Product (Id),
  Constraint FK_productattr_ProdAttrGroup Foreign Key (ProdAttrGroup) References ProdAttrGroup (Id),
  Constraint FK_productattr_ProdAttrCode Foreign Key (ProdAttrCode) References ProdAttrCode (Id)
)
GO
Create Unique Index UQ_productattr_Product_ProdAttrGroup On productattr (Product, ProdAttrGroup)
GO

-- Free-text facts about a product, one per kind (a Misc id).
Create Table ProductInFo (
  Id       IdNo Identity(1,1) Not Null Constraint PK_ProductInFo Primary Key,
  Product  IdNo Not Null,
  Misc     IdNo Not Null,
  MemoDesc NVarChar(255) Null,
  Constraint FK_ProductInFo_Product Foreign Key (Product) References Product (Id)
)
GO
Create Unique Index UQ_ProductInFo_Product_Misc On ProductInFo (Product, Misc)
GO

-- Which ProductInFo kinds hold a product's material and model: one row.
Create Table WorkId (
  Id       IdNo Not Null Constraint PK_WorkId Primary Key Constraint DF_WorkId_Id Default 1,
  Material IdNo Null,
  Model    IdNo Null,
  Constraint CK_WorkId_OneRow Check (Id = 1)
)
GO
Insert Into WorkId (Id) Values (1)
GO

-- Stock and production figures per product, kept as display texts by the
-- manufacturing programs.
Create Table ProductonhandMFG (
  Product     IdNo Not Null Constraint PK_ProductonhandMFG Primary Key,
  Onhand      NVarChar(60) Null,
  WorkOrderOH NVarChar(60) Null,
  PreIsQty    NVarChar(60) Null,
  WKIsQty     NVarChar(60) Null,
  OH_WKIsQty  NVarChar(60) Null,
  Constraint FK_ProductonhandMFG_Product Foreign Key (Product) References Product (Id)
)
GO

-- ---------------------------------------------------------------- sales orders

-- Document headers: Delflag 'Y' cancelled, Clear 'Y' settled. Both are
-- Not Null, as the statements test them with <>.
Create Table SoHd (
  Id             IdNo Identity(1,1) Not Null Constraint PK_SoHd Primary Key,
  SoNo           VarChar(30) Not Null,
  SoDate         DateTime Not Null,
  Customer       IdNo Not Null,
  Salesman       IdNo Null,
  Transportation IdNo Null,
  Remark         NVarChar(255) Null,
  Delflag        CharFlag Not Null Constraint DF_SoHd_Delflag Default 'N',
  DelRemark      NVarChar(255) Null,
  Clear          CharFlag Not Null Constraint DF_SoHd_Clear Default 'N',
  Constraint FK_SoHd_Customer Foreign Key (Customer) References Customer (Id)
)
GO
Create Unique Index UQ_SoHd_SoNo On SoHd (SoNo)
GO
Create Index IX_SoHd_Customer On SoHd (Customer)
GO

Create Table SoDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_SoDt Primary Key,
  SoHd         IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Quantity     Decimal(18,4) Not Null,
  Fraction     Int Not Null,
  Price        Decimal(18,4) Not Null,
  Discount     VarChar(30) Null,
  Total        Decimal(18,2) Not Null Constraint DF_SoDt_Total Default 0,
  Clear        CharFlag Not Null Constraint DF_SoDt_Clear Default 'N',
  Constraint FK_SoDt_SoHd Foreign Key (SoHd) References SoHd (Id),
  Constraint FK_SoDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_SoDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Index IX_SoDt_SoHd On SoDt (SoHd)
GO
Create Index IX_SoDt_Product On SoDt (Product)
GO

Create Table SoShip (
  Id             IdNo Identity(1,1) Not Null Constraint PK_SoShip Primary Key,
  SoHd           IdNo Not Null,
  ShipName       NVarChar(150) Null,
  Address1       NVarChar(100) Not Null Constraint DF_SoShip_Address1 Default '',
  Address2       NVarChar(100) Not Null Constraint DF_SoShip_Address2 Default '',
  Address3       NVarChar(100) Not Null Constraint DF_SoShip_Address3 Default '',
  Province       IdNo Null,
  ZipCode        VarChar(10) Null,
  Transportation IdNo Null,
  Constraint FK_SoShip_SoHd Foreign Key (SoHd) References SoHd (Id)
)
GO
Create Index IX_SoShip_SoHd On SoShip (SoHd)
GO

-- ---------------------------------------------------------------- invoices

Create Table IvHd (
  Id             IdNo Identity(1,1) Not Null Constraint PK_IvHd Primary Key,
  IvNo           VarChar(30) Not Null,
  IvDate         DateTime Not Null,
  IvType         CharFlag Not Null Constraint DF_IvHd_IvType Default 'N',
  Customer       IdNo Not Null,
  Salesman       IdNo Null,
  Warehouse      IdNo Null,
  Transportation IdNo Null,
  SoHd           IdNo Null,
  -- 'Y': the invoice does not take the goods out of stock
  NotCutStock    CharFlag Not Null Constraint DF_IvHd_NotCutStock Default 'N',
  Remark         NVarChar(255) Null,
  Delflag        CharFlag Not Null Constraint DF_IvHd_Delflag Default 'N',
  DelRemark      NVarChar(255) Null,
  Clear          CharFlag Not Null Constraint DF_IvHd_Clear Default 'N',
  Constraint FK_IvHd_Customer Foreign Key (Customer) References Customer (Id),
  Constraint FK_IvHd_SoHd Foreign Key (SoHd) References SoHd (Id)
)
GO
Create Unique Index UQ_IvHd_IvNo On IvHd (IvNo)
GO
Create Index IX_IvHd_Customer On IvHd (Customer)
GO

-- SoDt is the order line the invoice line delivers, IvDtB an earlier
-- invoice line that this one completes.
Create Table IvDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_IvDt Primary Key,
  IvHd         IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  SoDt         IdNo Null,
  IvDtB        IdNo Null,
  Quantity     Decimal(18,4) Not Null,
  Fraction     Int Not Null,
  Price        Decimal(18,4) Not Null,
  Discount     VarChar(30) Null,
  Total        Decimal(18,2) Not Null Constraint DF_IvDt_Total Default 0,
  Constraint FK_IvDt_IvHd Foreign Key (IvHd) References IvHd (Id),
  Constraint FK_IvDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_IvDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint FK_IvDt_SoDt Foreign Key (SoDt) References SoDt (Id)
)
GO
Create Index IX_IvDt_IvHd On IvDt (IvHd)
GO
Create Index IX_IvDt_Product On IvDt (Product)
GO
Create Index IX_IvDt_SoDt On IvDt (SoDt)
GO

Create Table IvShip (
  Id             IdNo Identity(1,1) Not Null Constraint PK_IvShip Primary Key,
  IvHd           IdNo Not Null,
  ShipName       NVarChar(150) Null,
  Address1       NVarChar(100) Not Null Constraint DF_IvShip_Address1 Default '',
  Address2       NVarChar(100) Not Null Constraint DF_IvShip_Address2 Default '',
  Address3       NVarChar(100) Not Null Constraint DF_IvShip_Address3 Default '',
  Province       IdNo Null,
  ZipCode        VarChar(10) Null,
  Transportation IdNo Null,
  Constraint FK_IvShip_IvHd Foreign Key (IvHd) References IvHd (Id)
)
GO
Create Index IX_IvShip_IvHd On IvShip (IvHd)
GO

-- ---------------------------------------------------------------- purchases

Create Table PoHd (
  Id      IdNo Identity(1,1) Not Null Constraint PK_PoHd Primary Key,
  PoNo    VarChar(30) Not Null,
  PoDate  DateTime Not Null,
  Vendor  IdNo Not Null,
  Remark  NVarChar(255) Null,
  Delflag CharFlag Not Null Constraint DF_PoHd_Delflag Default 'N',
  Clear   CharFlag Not Null Constraint DF_PoHd_Clear Default 'N',
  Constraint FK_PoHd_Vendor Foreign Key (Vendor) References Vendor (Id)
)
GO
Create Unique Index UQ_PoHd_PoNo On PoHd (PoNo)
GO
Create Index IX_PoHd_Vendor On PoHd (Vendor)
GO

Create Table PoDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_PoDt Primary Key,
  PoHd         IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Quantity     Decimal(18,4) Not Null,
  Fraction     Int Not Null,
  Price        Decimal(18,4) Not Null,
  Total        Decimal(18,2) Not Null Constraint DF_PoDt_Total Default 0,
  Clear        CharFlag Not Null Constraint DF_PoDt_Clear Default 'N',
  Constraint FK_PoDt_PoHd Foreign Key (PoHd) References PoHd (Id),
  Constraint FK_PoDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_PoDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Index IX_PoDt_PoHd On PoDt (PoHd)
GO
Create Index IX_PoDt_Product On PoDt (Product)
GO

-- Goods receipts.
Create Table MrHd (
  Id        IdNo Identity(1,1) Not Null Constraint PK_MrHd Primary Key,
  MrNo      VarChar(30) Not Null,
  MrDate    DateTime Not Null,
  Vendor    IdNo Not Null,
  Warehouse IdNo Null,
  Remark    NVarChar(255) Null,
  Delflag   CharFlag Not Null Constraint DF_MrHd_Delflag Default 'N',
  Constraint FK_MrHd_Vendor Foreign Key (Vendor) References Vendor (Id)
)
GO
Create Unique Index UQ_MrHd_MrNo On MrHd (MrNo)
GO
Create Index IX_MrHd_Vendor On MrHd (Vendor)
GO

Create Table MrDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_MrDt Primary Key,
  MrHd         IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  PoDt         IdNo Null,
  Quantity     Decimal(18,4) Not Null,
  Fraction     Int Not Null,
  Price        Decimal(18,4) Not Null,
  Total        Decimal(18,2) Not Null Constraint DF_MrDt_Total Default 0,
  Constraint FK_MrDt_MrHd Foreign Key (MrHd) References MrHd (Id),
  Constraint FK_MrDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_MrDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint FK_MrDt_PoDt Foreign Key (PoDt) References PoDt (Id)
)
GO
Create Index IX_MrDt_MrHd On MrDt (MrHd)
GO
Create Index IX_MrDt_Product On MrDt (Product)
GO
Create Index IX_MrDt_PoDt On MrDt (PoDt)
GO

-- ---------------------------------------------------------------- point of sale

Create Table PosHd (
  Id       IdNo Identity(1,1) Not Null Constraint PK_PosHd Primary Key,
  PosNo    VarChar(30) Not Null,
  PosDate  DateTime Not Null,
  Customer IdNo Not Null,
  Delflag  CharFlag Not Null Constraint DF_PosHd_Delflag Default 'N',
  Constraint FK_PosHd_Customer Foreign Key (Customer) References Customer (Id)
)
GO
Create Unique Index UQ_PosHd_PosNo On PosHd (PosNo)
GO
Create Index IX_PosHd_Customer On PosHd (Customer)
GO

Create Table PosDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_PosDt Primary Key,
  PosHd        IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Quantity     Decimal(18,4) Not Null,
  Price        Decimal(18,4) Not Null,
  Total        Decimal(18,2) Not Null Constraint DF_PosDt_Total Default 0,
  Constraint FK_PosDt_PosHd Foreign Key (PosHd) References PosHd (Id),
  Constraint FK_PosDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_PosDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Index IX_PosDt_PosHd On PosDt (PosHd)
GO
Create Index IX_PosDt_Product On PosDt (Product)
GO

-- The second point-of-sale program keeps its bills apart.
Create Table PosHeader (
  Id       IdNo Identity(1,1) Not Null Constraint PK_PosHeader Primary Key,
  PosNo    VarChar(30) Not Null,
  PosDate  DateTime Not Null,
  Customer IdNo Not Null,
  Delflag  CharFlag Not Null Constraint DF_PosHeader_Delflag Default 'N',
  Constraint FK_PosHeader_Customer Foreign Key (Customer) References Customer (Id)
)
GO
Create Unique Index UQ_PosHeader_PosNo On PosHeader (PosNo)
GO
Create Index IX_PosHeader_Customer On PosHeader (Customer)
GO

Create Table PosDetail (
  Id           IdNo Identity(1,1) Not Null Constraint PK_PosDetail Primary Key,
  PosHeader    IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  Quantity     Decimal(18,4) Not Null,
  Price        Decimal(18,4) Not Null,
  Total        Decimal(18,2) Not Null Constraint DF_PosDetail_Total Default 0,
  Constraint FK_PosDetail_PosHeader Foreign Key (PosHeader) References PosHeader (Id),
  Constraint FK_PosDetail_Product Foreign Key (Product) References Product (Id),
  Constraint FK_PosDetail_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Index IX_PosDetail_PosHeader On PosDetail (PosHeader)
GO
Create Index IX_PosDetail_Product On PosDetail (Product)
GO

-- ---------------------------------------------------------------- production

Create Table BomHd (
  Id           IdNo Identity(1,1) Not Null Constraint PK_BomHd Primary Key,
  Code         VarChar(30) Not Null,
  Description  NVarChar(100) Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Null,
  Quantity     Decimal(18,4) Null,
  Constraint FK_BomHd_Product Foreign Key (Product) References Product (Id),
  Constraint FK_BomHd_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Unique Index UQ_BomHd_Code On BomHd (Code)
GO
Create Index IX_BomHd_Product On BomHd (Product)
GO

-- Production orders: FinishedGoods is made, Quantity counted in ProductUnits.
Create Table WorkOrderHd (
  Id            IdNo Identity(1,1) Not Null Constraint PK_WorkOrderHd Primary Key,
  WorkOrderNo   VarChar(30) Not Null,
  WorkDate      DateTime Not Null,
  Customer      IdNo Not Null,
  SoHd          IdNo Null,
  FinishedGoods IdNo Not Null,
  ProductUnits  IdNo Not Null,
  Quantity      Decimal(18,4) Not Null,
  BomHd         IdNo Null,
  Remark        NVarChar(255) Null,
  Clear         CharFlag Not Null Constraint DF_WorkOrderHd_Clear Default 'N',
  Delflag       CharFlag Not Null Constraint DF_WorkOrderHd_Delflag Default 'N',
  Constraint FK_WorkOrderHd_Customer Foreign Key (Customer) References Customer (Id),
  Constraint FK_WorkOrderHd_SoHd Foreign Key (SoHd) References SoHd (Id),
  Constraint FK_WorkOrderHd_Product Foreign Key (FinishedGoods) References Product (Id),
  Constraint FK_WorkOrderHd_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id),
  Constraint FK_WorkOrderHd_BomHd Foreign Key (BomHd) References BomHd (Id)
)
GO
Create Unique Index UQ_WorkOrderHd_WorkOrderNo On WorkOrderHd (WorkOrderNo)
GO
Create Index IX_WorkOrderHd_FinishedGoods On WorkOrderHd (FinishedGoods)
GO
Create Index IX_WorkOrderHd_Customer On WorkOrderHd (Customer)
GO

-- What has been finished against a production order.
Create Table MFGFinishDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_MFGFinishDt Primary Key,
  WorkOrderHd  IdNo Not Null,
  Product      IdNo Not Null,
  ProductUnits IdNo Not Null,
  FinishDate   DateTime Null,
  Quantity     Decimal(18,4) Not Null,
  Fraction     Int Not Null,
  Constraint FK_MFGFinishDt_WorkOrderHd Foreign Key (WorkOrderHd) References WorkOrderHd (Id),
  Constraint FK_MFGFinishDt_Product Foreign Key (Product) References Product (Id),
  Constraint FK_MFGFinishDt_ProductUnits Foreign Key (ProductUnits) References ProductUnits (Id)
)
GO
Create Index IX_MFGFinishDt_WorkOrderHd On MFGFinishDt (WorkOrderHd, Product)
GO

-- Item headers of a project (the project id comes from the project programs).
Create Table projectitemhd (
  Id          IdNo Identity(1,1) Not Null Constraint PK_projectitemhd Primary Key,
  Project     IdNo Not Null,
  Code        VarChar(30) Not Null,
  Description NVarChar(150) Null
)
GO
Create Unique Index UQ_projectitemhd_Project_Code On projectitemhd (Project, Code)
GO

-- ---------------------------------------------------------------- numbering, accounts, log

-- One numbering run per document code and year. A new number is LastNo + 1,
-- zero-padded to DocumentLength digits, after Prefix. AutoRun other than 'Y'
-- means the clerk types the numbers.
Create Table DocumentNo (
  Id             IdNo Identity(1,1) Not Null Constraint PK_DocumentNo Primary Key,
  DocCode        VarChar(10) Not Null,
  DocYear        Int Not Null,
  Description    NVarChar(60) Null,
  Prefix         VarChar(15) Not Null Constraint DF_DocumentNo_Prefix Default '',
  LastNo         Int Not Null Constraint DF_DocumentNo_LastNo Default 0,
  DocumentLength Int Not Null Constraint DF_DocumentNo_DocumentLength Default 0,
  AutoRun        CharFlag Not Null Constraint DF_DocumentNo_AutoRun Default 'Y',
  Constraint CK_DocumentNo_LastNo Check (LastNo >= 0),
  Constraint CK_DocumentNo_DocumentLength Check (DocumentLength Between 0 And 15)
)
GO
Create Unique Index UQ_DocumentNo_DocCode_DocYear On DocumentNo (DocCode, DocYear)
GO

-- A document code that takes its numbers from another code's run.
Create Table DocNoConvert (
  Id          IdNo Identity(1,1) Not Null Constraint PK_DocNoConvert Primary Key,
  DocCode     VarChar(10) Not Null,
  ConvertCode VarChar(10) Not Null,
  Constraint CK_DocNoConvert_Codes Check (DocCode <> ConvertCode)
)
GO
Create Unique Index UQ_DocNoConvert_DocCode On DocNoConvert (DocCode)
GO

Create Table accountchart (
  Id      IdNo Identity(1,1) Not Null Constraint PK_accountchart Primary Key,
  Code    VarChar(20) Not Null,
  Name    NVarChar(150) Not Null,
  NameEng NVarChar(150) Null
)
GO
Create Unique Index UQ_accountchart_Code On accountchart (Code)
GO

-- Which account each kind of posting goes to.
Create Table accountinterface (
  Id           IdNo Identity(1,1) Not Null Constraint PK_accountinterface Primary Key,
  Code         VarChar(20) Not Null,
  Description  NVarChar(150) Null,
  AccountChart IdNo Null,
  Constraint FK_accountinterface_accountchart Foreign Key (AccountChart) References accountchart (Id)
)
GO
Create Unique Index UQ_accountinterface_Code On accountinterface (Code)
GO

-- General-ledger postings made from documents: a header per posted document
-- (by its id and number) and its debit and credit lines.
Create Table GLHd (
  Id          IdNo Identity(1,1) Not Null Constraint PK_GLHd Primary Key,
  DocumentId  Int Not Null,
  DocumentNo  VarChar(20) Not Null,
  GLDate      DateTime Not Null Constraint DF_GLHd_GLDate Default GetDate(),
  Description NVarChar(150) Null
)
GO
Create Index IX_GLHd_Document On GLHd (DocumentId, DocumentNo)
GO
Create Table GLDt (
  Id           IdNo Identity(1,1) Not Null Constraint PK_GLDt Primary Key,
  GLHd         IdNo Not Null,
  AccountChart IdNo Not Null,
  Debit        Money Not Null Constraint DF_GLDt_Debit Default 0,
  Credit       Money Not Null Constraint DF_GLDt_Credit Default 0,
  Constraint FK_GLDt_GLHd Foreign Key (GLHd) References GLHd (Id),
  Constraint FK_GLDt_accountchart Foreign Key (AccountChart) References accountchart (Id)
)
GO
Create Index IX_GLDt_GLHd On GLDt (GLHd)
GO

-- What users did, written by UserAddLog; a log takes any ids it is given.
Create Table UserLog (
  Id             IdNo Identity(1,1) Not Null Constraint PK_UserLog Primary Key,
  UserId         Int Null,
  MenuId         Int Null,
  FunctionListId Int Null,
  DocumentId     Int Null,
  Remark         NVarChar(255) Null,
  LogDate        DateTime Not Null Constraint DF_UserLog_LogDate Default GetDate()
)
GO
Create Index IX_UserLog_LogDate On UserLog (LogDate)
GO

-- ---------------------------------------------------------------- procedures

-- The id of the product's serial number, registered as on hand when it is
-- new. A blank serial registers nothing and gives Null.
Create Procedure CreateSerialNo
  @ProductId  IdNo,
  @SerialCode VarChar(50),
  @SerialId   IdNo Output
As
  Set NoCount On
  Set @SerialId = Null
  If LTrim(RTrim(Coalesce(@SerialCode, ''))) = ''
    Return 1

  Select @SerialId = Id From SerialNo Where (Product = @ProductId) And (Serial = @SerialCode)
  If @SerialId Is Null
  Begin
    Insert Into SerialNo (Product, Serial, OnHand) Values (@ProductId, @SerialCode, 'Y')
    Set @SerialId = Scope_Identity()
  End
  Return 0
GO

-- The next document number of a code and year (through DocNoConvert when the
-- code borrows another code's run). Empty when the run is missing or not
-- automatic. Without transactions, a number is taken only by the caller whose
-- update still finds the LastNo it read; the others read again.
Create Procedure NewDocumentNo
  @DocCode VarChar(10),
  @DocYear Int,
  @NewNo   VarChar(30) Output
As
  Set NoCount On
  Declare @Code VarChar(10), @Prefix VarChar(15), @LastNo Int, @Length Int, @AutoRun Char(1)
  Declare @Digits VarChar(15), @Tries Int
  Set @NewNo = ''

  Set @Code = @DocCode
  Select @Code = ConvertCode From DocNoConvert Where DocCode = @DocCode

  Set @Tries = 0
  While @Tries < 50
  Begin
    Set @LastNo = Null
    Select @Prefix = Prefix, @LastNo = LastNo, @Length = DocumentLength, @AutoRun = AutoRun
    From DocumentNo
    Where (DocCode = @Code) And (DocYear = @DocYear)
    If (@LastNo Is Null) Or (Coalesce(@AutoRun, 'N') <> 'Y')
      Return 1

    Update DocumentNo Set LastNo = @LastNo + 1
    Where (DocCode = @Code) And (DocYear = @DocYear) And (LastNo = @LastNo)
    If @@ROWCOUNT = 1
    Begin
      Set @Digits = Convert(VarChar(15), @LastNo + 1)
      If Len(@Digits) < @Length
        Set @Digits = Replicate('0', @Length - Len(@Digits)) + @Digits
      Set @NewNo = RTrim(Coalesce(@Prefix, '')) + @Digits
      Return 0
    End
    Set @Tries = @Tries + 1
  End
  Return 2
GO

Create Procedure UserAddLog
  @UserId         Int,
  @MenuId         Int,
  @FunctionListId Int,
  @DocumentId     Int,
  @Remark         NVarChar(255)
As
  Set NoCount On
  Insert Into UserLog (UserId, MenuId, FunctionListId, DocumentId, Remark, LogDate)
  Values (@UserId, @MenuId, @FunctionListId, @DocumentId, @Remark, GetDate())
  Return 0
GO

-- The database server's clock, which every workstation should go by.
Create Procedure ServerTime
  @ServerTime DateTime Output
As
  Set NoCount On
  Set @ServerTime = GetDate()
  Return 0
GO
