#pragma once

// The search dialogs' site: the test company's code tables, sales persons,
// warehouses, lots, bar codes and documents, with rows that make each case
// visible (an apostrophe in a name, a blocked row, a date whose day is
// above 12), and the run context of a chosen user.

#include "support/ModalDialog.h"
#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLocale>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

inline const char* kSearchData = R"(
Set Identity_Insert Misc On
Insert Into Misc (Id, GroupCode, Code, Description) Values (1, 'CITY', 'BKK', N'กรุงเทพมหานคร')
Insert Into Misc (Id, GroupCode, Code, Description) Values (2, 'CITY', 'CMI', N'เชียงใหม่')
Insert Into Misc (Id, GroupCode, Code, Description) Values (3, 'CITY', 'KKN', N'ขอนแก่น')
Insert Into Misc (Id, GroupCode, Code, Description) Values (4, 'CITY', 'ANG', N'อ่างทอง')
Insert Into Misc (Id, GroupCode, Code, Description) Values (5, 'CITY', 'OTN', N'O''Ton Bay')
Insert Into Misc (Id, GroupCode, Code, Description) Values (6, 'PTYPE', 'BKX', N'ไม่ใช่จังหวัด')
Insert Into Misc (Id, GroupCode, Code, Description) Values (7, 'DEPARTMENT', 'SALES', N'ฝ่ายขาย')
Insert Into Misc (Id, GroupCode, Code, Description) Values (8, 'DEPARTMENT', 'TELE', N'ฝ่ายโทรศัพท์')
Set Identity_Insert Misc Off
Set Identity_Insert Salesman On
Insert Into Salesman (Id, Code, Name, Surname, Department, Status) Values (1, 'S01', N'สมชาย', N'ใจดี', 7, 'Y')
Insert Into Salesman (Id, Code, Name, Surname, Department, Status) Values (2, 'S02', N'สุนีย์', N'รักงาน', 8, 'Y')
Insert Into Salesman (Id, Code, Name, Surname, Department, Status) Values (3, 'S05', N'ประสิทธิ์', N'ทองดี', 7, 'N')
Insert Into Salesman (Id, Code, Name, Surname, Department, Status) Values (4, 'S07', N'ไร้', N'สังกัด', Null, 'Y')
Insert Into Salesman (Id, Code, Name, Surname, Department, Status) Values (5, 'S10', N'Anne', N'O''Neil', 8, 'Y')
Set Identity_Insert Salesman Off
Insert Into Warehouse (Code, Name, IsLocation, Blocked) Values ('MAIN', N'คลังใหญ่', 'N', 'N')
Insert Into Warehouse (Code, Name, IsLocation, Blocked) Values ('SHOP', N'หน้าร้าน', Null, Null)
Insert Into Warehouse (Code, Name, IsLocation, Blocked) Values ('A-01', N'ชั้น A ช่อง 1', 'Y', 'N')
Insert Into Warehouse (Code, Name, IsLocation, Blocked) Values ('OLD', N'คลังเก่า', 'N', 'Y')
Insert Into Warehouse (Code, Name, IsLocation, Blocked) Values ('Z-OLD', N'ชั้นเก่า', 'Y', 'Y')
Insert Into LotNo (Code, Description, ExpiredDate, HasExpired) Values ('L-DEC', N'ล็อตธันวา', '2026-12-25', 'Y')
Insert Into LotNo (Code, Description, ExpiredDate, HasExpired) Values ('L-MAR', N'ล็อตมีนา', '2026-03-04', 'Y')
Insert Into LotNo (Code, Description, ExpiredDate, HasExpired) Values ('L-APR', N'ล็อตเมษา', '2026-04-03', 'Y')
Insert Into LotNo (Code, Description, ExpiredDate, HasExpired) Values ('L-NEVER', N'ไม่หมดอายุ', Null, 'N')
Set Identity_Insert Product On
Insert Into Product (Id, Code, ThaiName, ProductType) Values (1, 'D1001', N'น้ำดื่ม 600 มล.', 'P')
Insert Into Product (Id, Code, ThaiName, ProductType) Values (2, 'H4002', N'Joe''s น้ำยาล้างจาน', 'P')
Set Identity_Insert Product Off
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (1, N'ขวด', 1, '8850001')
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (1, N'แพ็ค', 12, '8850012')
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (1, N'ลัง', 24, '')
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (2, N'ขวด', 1, '[99]01')
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (2, N'โหล', 12, Null)
Set Identity_Insert Customer On
Insert Into Customer (Id, Code, Name) Values (1, 'C001', N'ร้านสมใจ')
Set Identity_Insert Customer Off
Set Identity_Insert SoHd On
Insert Into SoHd (Id, SoNo, SoDate, Customer, Delflag, DelRemark, Clear) Values (1, 'SO1', '2026-11-01', 1, 'N', Null, 'N')
Insert Into SoHd (Id, SoNo, SoDate, Customer, Delflag, DelRemark, Clear) Values (2, 'SO2', '2026-11-02', 1, 'Y', N'ลูกค้ายกเลิก', 'N')
Insert Into SoHd (Id, SoNo, SoDate, Customer, Delflag, DelRemark, Clear) Values (3, 'SO3', '2026-11-03', 1, 'N', Null, 'Y')
Insert Into SoHd (Id, SoNo, SoDate, Customer, Delflag, DelRemark, Clear) Values (4, 'SO4', '2026-11-04', 1, 'Y', Null, 'Y')
Set Identity_Insert SoHd Off
Insert Into SoShip (SoHd, ShipName) Values (1, N'ส่งที่ร้าน')
Insert Into SoShip (SoHd, ShipName) Values (2, N'ส่งที่โกดัง')
Insert Into SoShip (SoHd, ShipName) Values (2, N'ส่งที่สาขา')
Insert Into SoShip (SoHd, ShipName) Values (4, N'ส่งที่บ้าน')
Set Identity_Insert IvHd On
Insert Into IvHd (Id, IvNo, IvDate, Customer, Delflag, DelRemark) Values (1, 'IV1', '2026-11-05', 1, 'Y', N'ออกซ้ำ')
Insert Into IvHd (Id, IvNo, IvDate, Customer, Delflag, DelRemark) Values (2, 'IV2', '2026-11-06', 1, 'Y', Null)
Set Identity_Insert IvHd Off
Insert Into IvShip (IvHd, ShipName) Values (1, N'ส่งที่ร้าน')
Insert Into IvShip (IvHd, ShipName) Values (2, N'ส่งที่ร้าน')
Insert Into IvDt (IvHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (2, 1, 1, 1, 1, 10, 10)
)";

// Users of TestSite: 1 ADMIN reads Thai, 2 CLERK English.
class SearchSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        site.business(QString::fromUtf8(kSearchData));
        DMConfig = &config;
        DM = &dm;
        config.GetCompanyConfig(QStringLiteral("ACME"));
        dm.setDatabaseArgument(QStringLiteral("ACME"));
        config.CheckRight(12, 1);
    }
    void TearDown() override
    {
        widgets::destroyGlobalWindows();
        DM = nullptr;
        DMConfig = nullptr;
    }

    void asUser(int user) { config.CheckRight(12, user); }

    // The values of one column of a grid's rows, in the order shown.
    static QStringList column(widgets::DbGrid* grid, const char* field)
    {
        QStringList values;
        db::Query* q = grid->query();
        const int c = q && q->isOpen() ? q->fieldIndex(QLatin1String(field)) : -1;
        for (int r = 0; c >= 0 && r < q->recordCount(); ++r)
            values.append(db::variantToText(q->valueAt(r, c)).trimmed());
        return values;
    }

    // A key whose handling may run a statement: a database error fails the
    // test with the server's words instead of ending the run.
    static void pressChecked(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        try {
            press(key, modifiers);
        } catch (const db::DbError& e) {
            ADD_FAILURE() << "database error: " << qPrintable(e.message());
        }
    }

    // Clicks a grid's title, as the clerk does with the mouse.
    static void clickTitle(widgets::DbGrid* grid, const char* field)
    {
        QHeaderView* titles = grid->view()->horizontalHeader();
        const int column = grid->columnOfField(QLatin1String(field));
        ASSERT_GE(column, 0) << field << " is not shown";
        const int x = titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2;
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, titles->height() / 2));
    }

    // The point in the grid's table of a row's first shown cell.
    static QPoint cellPoint(widgets::DbGrid* grid, int row)
    {
        return grid->view()->visualRect(grid->model()->index(row, 0)).center();
    }

    static void doubleClickRow(widgets::DbGrid* grid, int row)
    {
        // A real double-click: a click, then the second press that the
        // system reports as a double-click.
        const QPoint at = cellPoint(grid, row);
        QTest::mouseClick(grid->view()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(grid->view()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    // The clerk clicks into a box.
    static void clickInto(QWidget* box) { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); }

    int count(const QString& sql) { return site.businessRows(sql).value(0).toInt(); }

    TestSite site;
    TDMConfig config;
    TDM dm;
};
