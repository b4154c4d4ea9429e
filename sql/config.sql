-- QEL_CONFIG: what every company of the suite shares: the companies and
-- their business databases, the menu, the users and their rights, the error
-- log and the software settings.
--
-- Run once, inside an empty QEL_CONFIG database; batches end at GO lines.
-- Nothing here is guarded: a second run stops at the first CREATE with
-- "There is already an object named ...".
--
-- Text that people read or type in Thai is nvarchar, so that it survives a
-- server whose default collation has no Thai code page; codes are varchar.
-- Indexes that must refuse duplicates are unique indexes rather than UNIQUE
-- constraints: both engines then name the index in the refusal.

Create Table Company (
  Id            Int Identity(1,1) Not Null Constraint PK_Company Primary Key,
  Code          VarChar(10) Not Null,
  Password      VarChar(128) Null,
  NameThai      NVarChar(150) Not Null,
  NameEng       NVarChar(150) Null,
  ShortName     NVarChar(30) Null,
  Address1      NVarChar(100) Null,
  Address2      NVarChar(100) Null,
  Address3      NVarChar(100) Null,
  Address4      NVarChar(100) Null,
  Province      NVarChar(50) Null,
  Zip           VarChar(10) Null,
  Telephone     VarChar(50) Null,
  Fax           VarChar(50) Null,
  EMail         VarChar(100) Null,
  Logo          Image Null,
  TaxNo         VarChar(20) Null,
  InstallDate   DateTime Null,
  RunYear       Int Null,
  LocalServer   VarChar(100) Null,
  FUNDNAME      NVarChar(100) Null,
  -- Null reads as "not the head office" (the company query says 'N')
  TaxBranchHead Char(1) Null,
  TaxBranchCode VarChar(5) Null,
  TaxBranchName NVarChar(100) Null
)
GO
Create Unique Index UQ_Company_Code On Company (Code)
GO

-- One row per company. The warehouse, tax and price-type ids point into the
-- company's business databases, so they cannot be foreign keys here.
Create Table CompanyConfig (
  Company           Int Not Null Constraint PK_CompanyConfig Primary Key,
  PicturePath       NVarChar(255) Null,
  Public_Price_IE   Char(1) Null Constraint DF_CompanyConfig_Public_Price_IE Default 'I',
  DefaultWh         Int Null,
  DefaultTax        Int Null,
  POS1_Wh           Int Null,
  POS1_TaxCode      VarChar(10) Null,
  POS1_Price_IE     Char(1) Null Constraint DF_CompanyConfig_POS1_Price_IE Default 'I',
  POS1_PriceType    Int Null,
  POS1_SumDetail    Char(1) Null Constraint DF_CompanyConfig_POS1_SumDetail Default 'N',
  DefaultPosComPort VarChar(10) Null,
  -- may be left empty (0 or Null): the company query joins the menu loosely
  DefaultPosMenuId  Int Null,
  Constraint FK_CompanyConfig_Company Foreign Key (Company) References Company (Id)
)
GO

-- Every business database on the server, by the name the menu program passes
-- on the command line. A name belongs to one company only: the program looks
-- the company up by it with a single-valued subquery.
Create Table DatabaseList (
  DatabaseName VarChar(128) Not Null Constraint PK_DatabaseList Primary Key,
  Company      Int Not Null,
  Description  NVarChar(100) Null,
  YearNo       Int Null,
  Constraint FK_DatabaseList_Company Foreign Key (Company) References Company (Id)
)
GO
Create Index IX_DatabaseList_Company On DatabaseList (Company)
GO

-- Menu ids are fixed numbers known to the menu program, hence no identity.
-- The program adds the integer column Version itself when it is missing.
Create Table Menu (
  Id          Int Not Null Constraint PK_Menu Primary Key,
  Description NVarChar(100) Not Null,
  Command     VarChar(100) Null,
  MenuOption  VarChar(20) Null
)
GO
Create Index IX_Menu_Command On Menu (Command)
GO

-- Users of the whole suite. Rights flags are 'Y' for yes; anything else,
-- Null included, is no. SalesId is the Salesman.Id of the business databases
-- that this user sells as.
Create Table username (
  Id                          Int Identity(1,1) Not Null Constraint PK_username Primary Key,
  Code                        VarChar(20) Not Null,
  PasswordHash                VarChar(128) Null,
  FullName                    NVarChar(100) Null,
  -- 1 is Thai; any other number gets the English captions
  LanguageNo                  Int Null Constraint DF_username_LanguageNo Default 1,
  SalesId                     Int Null,
  EditSalePrice               Char(1) Null Constraint DF_username_EditSalePrice Default 'N',
  Approve_Quo                 Char(1) Null Constraint DF_username_Approve_Quo Default 'N',
  Approve_SO                  Char(1) Null Constraint DF_username_Approve_SO Default 'N',
  Approve_IV                  Char(1) Null Constraint DF_username_Approve_IV Default 'N',
  Approve_PO                  Char(1) Null Constraint DF_username_Approve_PO Default 'N',
  Approved_PORQ               Char(1) Null Constraint DF_username_Approved_PORQ Default 'N',
  ApproveTranWH               Char(1) Null Constraint DF_username_ApproveTranWH Default 'N',
  ApproveTranBranch           Char(1) Null Constraint DF_username_ApproveTranBranch Default 'N',
  ApproveWorkOrder            Char(1) Null Constraint DF_username_ApproveWorkOrder Default 'N',
  CanSeeCost                  Char(1) Null Constraint DF_username_CanSeeCost Default 'N',
  CanSeeSalePrice             Char(1) Null Constraint DF_username_CanSeeSalePrice Default 'N',
  CanModifyCusSale            Char(1) Null Constraint DF_username_CanModifyCusSale Default 'N',
  Approve_PreIs               Char(1) Null Constraint DF_username_Approve_PreIs Default 'N',
  ApproveCustomerDropUse      Char(1) Null Constraint DF_username_ApproveCustomerDropUse Default 'N',
  ApproveCustomerDropCredit   Char(1) Null Constraint DF_username_ApproveCustomerDropCredit Default 'N',
  CanModifyCredit             Char(1) Null Constraint DF_username_CanModifyCredit Default 'N',
  CanSetProductBlock          Char(1) Null Constraint DF_username_CanSetProductBlock Default 'N',
  CanSetProductMinus          Char(1) Null Constraint DF_username_CanSetProductMinus Default 'N',
  CanSaleCreditOnReturnCheque Char(1) Null Constraint DF_username_CanSaleCreditOnReturnCheque Default 'N'
)
GO
Create Unique Index UQ_username_Code On username (Code)
GO

-- What one user may do in one menu entry. No row means no right at all.
Create Table UserRight (
  UserName Int Not Null,
  Menu     Int Not Null,
  Access_R Char(1) Not Null Constraint DF_UserRight_Access_R Default 'N',
  Add_R    Char(1) Not Null Constraint DF_UserRight_Add_R Default 'N',
  Modify_R Char(1) Not Null Constraint DF_UserRight_Modify_R Default 'N',
  Delete_R Char(1) Not Null Constraint DF_UserRight_Delete_R Default 'N',
  Constraint PK_UserRight Primary Key (UserName, Menu),
  Constraint FK_UserRight_username Foreign Key (UserName) References username (Id),
  Constraint FK_UserRight_Menu Foreign Key (Menu) References Menu (Id)
)
GO
Create Index IX_UserRight_Menu On UserRight (Menu)
GO

-- The error log takes whatever the program reports, also for a menu entry
-- or user that is not registered (yet), so it has no foreign keys. Messages
-- can be of any length.
Create Table errorlog (
  Id        Int Identity(1,1) Not Null Constraint PK_errorlog Primary Key,
  Menu      Int Null,
  UserName  Int Null,
  ErrorDate DateTime Not Null Constraint DF_errorlog_ErrorDate Default GetDate(),
  ErrorMsg  NText Null,
  CompName  NVarChar(64) Null,
  LogName   NVarChar(256) Null
)
GO
Create Index IX_errorlog_ErrorDate On errorlog (ErrorDate)
GO

-- The suite's own settings: one row, the mail route of the error reports.
Create Table softwareconfig (
  Id           Int Not Null Constraint PK_softwareconfig Primary Key Constraint DF_softwareconfig_Id Default 1,
  SoftwareName NVarChar(100) Null,
  MailServer   VarChar(100) Null,
  MailPort     Int Null Constraint DF_softwareconfig_MailPort Default 25,
  MailUser     VarChar(100) Null,
  MailSender   VarChar(100) Null,
  SupportMail  VarChar(100) Null,
  Constraint CK_softwareconfig_OneRow Check (Id = 1)
)
GO
Insert Into softwareconfig (Id) Values (1)
GO

-- The caption of a menu entry and what a user may do there. A user without a
-- rights row for the entry gets 'N' everywhere; the user's code and linked
-- salesman come from the user row (Null when there is none).
Create Procedure MENUCAPTION
  @MENUID   Int,
  @USERID   Int,
  @CAPTION  NVarChar(100) Output,
  @ACCESS_R Char(1) Output,
  @ADD_R    Char(1) Output,
  @MODIFY_R Char(1) Output,
  @DELETE_R Char(1) Output,
  @USERCODE VarChar(20) Output,
  @SALESID  Int Output
As
  Set NoCount On
  Select @CAPTION = Null, @USERCODE = Null, @SALESID = Null,
         @ACCESS_R = 'N', @ADD_R = 'N', @MODIFY_R = 'N', @DELETE_R = 'N'

  Select @CAPTION = Description From Menu Where Id = @MENUID

  Select @ACCESS_R = Access_R, @ADD_R = Add_R, @MODIFY_R = Modify_R, @DELETE_R = Delete_R
  From UserRight
  Where (UserName = @USERID) And (Menu = @MENUID)

  Select @USERCODE = Code, @SALESID = SalesId From username Where Id = @USERID
  Return 0
GO

-- Writes one error-log row stamped with the server's time. The message
-- parameter is of unlimited length, so a long message is neither cut nor
-- refused; computer and log-on names are cut to their columns.
Create Procedure AddErrorLog
  @CompName NVarChar(64),
  @LogName  NVarChar(256),
  @UserId   Int,
  @MenuId   Int,
  @ErrorMsg NVarChar(Max)
As
  Set NoCount On
  Insert Into errorlog (Menu, UserName, ErrorDate, ErrorMsg, CompName, LogName)
  Values (@MenuId, @UserId, GetDate(), @ErrorMsg, @CompName, @LogName)
  Return 0
GO
