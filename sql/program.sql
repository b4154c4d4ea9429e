-- The price-inquiry program's own changes to a company's business database,
-- the same statements its version check runs (guarded: running them again
-- changes nothing). Run after business.sql; batches end at "/" lines.
If (Not Exists (select Id from SysObjects Where Name = 'CheckVersionProgramEXE'))
   Begin
      Create Table CheckVersionProgramEXE
        (Id            IdNo Identity(1,1) Not Null,
         ProgramEXE       VarChar(30) Not Null,
         Version	 IdNo Not Null,
         LastUpdate    DateTime)
      Create  UNIQUE Index  CheckVersionProgramIndexProgramEXE On CheckVersionProgramEXE(ProgramEXE)
   End
/
If Not exists (select Id from SysColumns Where Name = 'CheckSerialPurc' And Id = (select Id From SysObjects Where Name = 'Product'))
  Alter Table Product Add CheckSerialPurc CharFlag
/
If Not exists (select Id from SysColumns Where Name = 'CheckSerialSale' And Id = (select Id From SysObjects Where Name = 'Product'))
  Alter Table Product Add CheckSerialSale CharFlag
/
If Not exists (select Id from SysColumns Where Name = 'CheckSerialStock' And Id = (select Id From SysObjects Where Name = 'Product'))
  Alter Table Product Add CheckSerialStock CharFlag
/
If Not exists (select Id from SysColumns Where Name = 'CheckSerialOnhand' And Id = (select Id From SysObjects Where Name = 'Product'))
  Alter Table Product Add CheckSerialOnhand CharFlag
/
Update Product Set CheckSerialPurc =  UseSerial Where CheckSerialPurc Is Null
/
Update Product Set CheckSerialSale =  UseSerial Where CheckSerialSale Is Null
/
Update Product Set CheckSerialStock =  UseSerial Where CheckSerialStock Is Null
/
Update Product Set CheckSerialOnhand =  UseSerial Where CheckSerialOnhand Is Null
/
If Not exists (select Id from SysColumns Where Name = 'ProductFree' And Id = (select Id From SysObjects Where Name = 'Product'))
  Alter Table Product Add ProductFree CharFlag   -- สามารถขายราคา 0 ได้ หรือไม่ (ของแถม)
/
If Not Exists (Select Id From SysColumns Where Name = 'ShowProductPriceList' And Id = (Select Id From SysObjects Where Name = 'Config'))
   Alter Table Config Add ShowProductPriceList CharFlag Null
/
