#pragma once

// A real site with the product data module created as start-up creates it
// (after the configuration and business modules), and rows that make each
// case of the module visible. Messages are collected instead of shown.

#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "product/TDmProduct.h"
#include "widgets/MessageBox.h"

#include <QLocale>
#include <gtest/gtest.h>

// Products (code: what it is for)
//   A100 (1)   water: Piece 10 (small, sale), Box 11 (12, stock, sale+purchase),
//              Carton 12 (144, purchase only, no bar code)
//   B200 (2)   blocked             M300 (3)  master code
//   E400 (4)   Blocked empty (NULL), bar code 8850040
//   NT500 (5)  tax code missing    NW600 (6) default warehouse missing
//   S700 (7)   serial numbers, registered on first check
//   P800 (8)   stock unit = small unit (Piece, 1)
//   N900 (9)   no stock unit
//   F1000 (10) Carton 100 (12) and Piece 101 (1) both sale; Single 102
//              (fraction 0, sale, purchase flag NULL)
// Price types: 19 the point-of-sale type, 20 wholesale, 21 member.
// Customers: C001 (1), C002 (2), C003 (3).
inline const char* kProductRows = R"(
Set Identity_Insert Tax On
Insert Into Tax (Id, Code, Rate) Values (1, 'V7', 7)
Set Identity_Insert Tax Off
Set Identity_Insert Warehouse On
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (1, 'MAIN', N'คลังใหญ่', 'N')
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (2, 'SHOP', N'หน้าร้าน', 'N')
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (3, 'RMA', N'สินค้าคืน', 'N')
Insert Into Warehouse (Id, Code, Name, IsLocation) Values (4, 'A-01', N'ชั้น 1', 'Y')
Set Identity_Insert Warehouse Off
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked, MasterCode) Values (1, 'A100', N'  น้ำดื่ม  ', 1, 1, 'N', 'N')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked, MasterCode) Values (2, 'B200', N'เลิกขาย', 1, 1, 'Y', 'N')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked, MasterCode) Values (3, 'M300', N'รหัสหลัก', 1, 1, 'N', 'Y')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, Blocked, MasterCode) Values (4, 'E400', N'ว่าง', 1, 1, Null, Null)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (5, 'NT500', N'ไม่มีภาษี', 99, 1)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (6, 'NW600', N'ไม่มีคลัง', 1, 99)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh, UseSerial, CheckSerialOnhand) Values (7, 'S700', N'สว่าน', 1, 1, 'Y', 'N')
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (8, 'P800', N'ชิ้นเดียว', 1, 1)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (9, 'N900', N'ไม่มีหน่วยเก็บ', 1, 1)
Insert Into Product (Id, Code, ThaiName, TaxCode, DefaultWh) Values (10, 'F1000', N'หน่วยแรก', 1, 1)
Set Identity_Insert Product Off
Set Identity_Insert ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, PurcPrice, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (10, 1, 'Piece', 1, '8850010', Null, 'Y', 'N', 'N', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, PurcPrice, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (11, 1, 'Box', 12, '8850011', 95.25, 'Y', 'Y', 'Y', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, PurcPrice, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (12, 1, 'Carton', 144, Null, 1100, 'N', 'Y', 'N', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (20, 2, 'Piece', 1, '8850020', 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (40, 4, 'Piece', 1, '8850040', 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, BarCode, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (70, 7, 'Set', 1, '8850070', 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (80, 8, 'Piece', 1, 'Y', 'Y', 'Y', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (90, 9, 'Piece', 1, 'Y', 'Y', 'N', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (100, 10, 'Carton', 12, 'Y', 'Y', 'Y', 'N')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (101, 10, 'Piece', 1, 'Y', 'Y', 'N', 'Y')
Insert Into ProductUnits (Id, Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
  Values (102, 10, 'Single', 0, 'Y', Null, 'N', 'N')
Set Identity_Insert ProductUnits Off

Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name) Values (1, 'C001', N'ร้านสมใจ')
Insert Into Customer (Id, Code, Name) Values (2, 'C002', N'ร้านค้าส่ง')
Insert Into Customer (Id, Code, Name) Values (3, 'C003', N'ลูกค้าใหม่')
Set Identity_Insert Customer Off
Set Identity_Insert Vendor On
Insert Into Vendor (Id, Code, Name) Values (1, 'V01', N'ผู้ผลิตน้ำ')
Insert Into Vendor (Id, Code, Name) Values (2, 'V02', N'ผู้ค้าส่ง')
Set Identity_Insert Vendor Off
Insert Into PartSource (Product, ProductUnits, Vendor, PurchaseCode, PurchaseName, Price)
  Values (1, 11, 1, 'VP-11', N'น้ำ 12 ขวด', 100.55)
Insert Into PartSource (Product, ProductUnits, Vendor, PurchaseCode, PurchaseName, Price)
  Values (1, 12, 2, 'VP-12', N'น้ำ ลัง', Null)
Set Identity_Insert ProdAttrGroup On
Insert Into ProdAttrGroup (Id, Code, Description) Values (1, 'COLOR', N'สี')
Insert Into ProdAttrGroup (Id, Code, Description) Values (2, 'SIZE', N'ขนาด')
Set Identity_Insert ProdAttrGroup Off
Insert Into ProdAttrCode (ProdAttrGroup, Code, Description) Values (1, 'RED', N'แดง')
Insert Into projectitemhd (Project, Code, Description) Values (7, 'IT-1', N'งานระบบน้ำ')
)";

// Price lists: A100's Piece 19.99 and Box 220 for the point-of-sale type,
// Box 210.1 and Carton 2400.0001 wholesale; B200's Piece 5; E400's Piece 0;
// S700's Set only wholesale.
inline const char* kPriceRows = R"(
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 10, 19, 19.99)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 11, 19, 220)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 11, 20, 210.1)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 12, 20, 2400.0001)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (2, 20, 19, 5)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (4, 40, 19, 0)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (7, 70, 20, 1500)
)";

class ProductModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        DMConfig = &config;
        DM = &dm;
        DmProduct = &product;
        dm.setDatabaseArgument(QStringLiteral("ACME"));
        previousHandler = widgets::setMessageHandler([this](widgets::MessageKind kind, const QString& text) {
            messages.append(text);
            messageKinds.append(kind);
            return true;
        });
        site.business(QString::fromUtf8(kProductRows));
        config.GetCompanyConfig(QStringLiteral("ACME"));  // point-of-sale price type 19
        config.CheckRight(12, 1);                         // ADMIN, who reads Thai
    }
    void TearDown() override
    {
        widgets::setMessageHandler(previousHandler);
        DmProduct = nullptr;
        DM = nullptr;
        DMConfig = nullptr;
    }

    // Setup row values the module reads at every call.
    void setSetupRow(int searchProductNo, const QString& displayFraction)
    {
        site.business(QStringLiteral("Update Config Set SearchProductNo = %1, DisplayFraction = '%2'")
                          .arg(searchProductNo)
                          .arg(displayFraction));
        dm.QConfig.close();  // re-read, as the next connection would
    }

    TestSite site;
    TDMConfig config;
    TDM dm;
    TDmProduct product;
    QStringList messages;
    QList<widgets::MessageKind> messageKinds;
    widgets::MessageHandler previousHandler;
};
