// The unit look-ups driven as a clerk drives them: the product module's unit
// search opens TFrSearchUnit, the keys go to whatever has the focus, and the
// result is what the module hands back. TF_SearchProductUnits is opened as a
// caller would open it (nothing in the program does yet).

#include "ProductSite.h"

#include "search/TF_SearchProductUnits.h"
#include "search/TFrSearchUnit.h"
#include "support/ModalDialog.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QCheckBox>
#include <QTest>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

namespace {

class UnitSearch : public ProductModule {
protected:
    void TearDown() override
    {
        widgets::destroyGlobalWindows();
        ProductModule::TearDown();
    }

    // The unit names the open dialog lists, top to bottom.
    static QStringList listed(QDialog& dialog, const char* field)
    {
        auto* search = static_cast<search::SearchDialog*>(&dialog);
        QStringList names;
        for (int row = 0; row < search->QSearch.recordCount(); ++row)
            names << search->QSearch.valueAt(row, search->QSearch.fieldIndex(QLatin1String(field))).toString();
        return names;
    }
};

TEST_F(UnitSearch, ListsThePurchaseUnitsAtOnceAndEnterChoosesOnTheGrid)
{
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ค้นหาหน่วยนับ"));
        EXPECT_EQ(listed(dialog, "UnitName"), (QStringList{"Box", "Carton"})) << "Piece is a sale unit only";
        EXPECT_FOCUS("DgSearch");
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(product.SearchUnitName(1));
    EXPECT_EQ(product.SearchCode, "Carton");
}

TEST_F(UnitSearch, EnterClosesWithOkWhateverHasTheFocus)
{
    onNextModal([](QDialog& dialog) {
        for (int tab = 0; tab < 3 && !focusIsIn(QStringLiteral("BtCancel")); ++tab)
            press(Qt::Key_Tab);
        EXPECT_FOCUS("BtCancel");
        press(Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(product.SearchUnitName(1));
    EXPECT_EQ(product.SearchCode, "Box");
}

TEST_F(UnitSearch, EscapeAndAnEmptyListAnswerFalseWithNoCode)
{
    product.SearchCode = QStringLiteral("left over");
    onNextModal([](QDialog&) { press(Qt::Key_Escape); });
    EXPECT_FALSE(product.SearchUnitName(1));
    EXPECT_EQ(product.SearchCode, "");

    // F1000's units become sale units only: opened for purchase units, the
    // list is empty, and Enter closes with Cancel.
    site.business(QStringLiteral("Update ProductUnits Set PurcFlag = 'N' Where Product = 10"));
    onNextModal([](QDialog& dialog) {
        EXPECT_TRUE(listed(dialog, "UnitName").isEmpty());
        press(Qt::Key_Return);
    });
    EXPECT_FALSE(product.SearchUnitName(10));
    EXPECT_EQ(product.SearchCode, "");
}

TEST_F(UnitSearch, SelectorsOffListNothingAndTheyCombineByOr)
{
    TFrSearchUnit* dialog = TFrSearchUnit::instance();
    dialog->UnitProductId = 1;
    onNextModal([](QDialog& d) {
        EXPECT_TRUE(listed(d, "UnitName").isEmpty()) << "all four selectors off";
        press(Qt::Key_Return);
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(dialog->SelectedUnitName, "");

    dialog->UnitForSale = true;
    dialog->UnitForSmall = true;
    onNextModal([](QDialog& d) {
        EXPECT_EQ(listed(d, "UnitName"), (QStringList{"Piece", "Box"})) << "by ascending fraction";
        press(Qt::Key_Escape);
    });
    dialog->exec();
}

TEST_F(UnitSearch, EnglishCaptionsForAUserWhoseLanguageIsNotThai)
{
    config.Run.ThaiLanguage = false;
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Search Product Unit");
        auto* grid = dialog.findChild<widgets::DbGrid*>(QStringLiteral("DgSearch"));
        ASSERT_NE(grid, nullptr);
        QStringList titles;
        for (const widgets::GridColumn& c : grid->columns())
            titles << c.title;
        EXPECT_EQ(titles, (QStringList{"Unit Name", "Pack Qnty", "BarCode"}));
        press(Qt::Key_Escape);
    });
    product.SearchUnitName(1);
}

// The module's other look-ups, each opened by its operation: what the clerk
// chooses becomes SearchCode, a cancel leaves it empty.
TEST_F(UnitSearch, WarehouseLotAndBarCodeSearchesHandBackTheChoice)
{
    site.business(QStringLiteral("Insert Into LotNo (Code, Description, HasExpired) Values ('L-0001', N'ล็อตแรก', 'N')"));
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TF_SearchWareHouse");
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(product.SearchWarehouse());
    EXPECT_EQ(product.SearchCode, "MAIN") << "the list comes by code: A-01, MAIN, RMA, SHOP";

    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TFrSearchLotNo");
        typeHere(QStringLiteral("L-0"));
        press(Qt::Key_Return);
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(product.SearchLotNo());
    EXPECT_EQ(product.SearchCode, "L-0001");

    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TFrSearchBarCode");
        press(Qt::Key_Return);  // every bar code, by bar code
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(product.SearchProductBarCode());
    EXPECT_EQ(product.SearchCode, "8850011");

    onNextModal([](QDialog&) { press(Qt::Key_Escape); });
    EXPECT_FALSE(product.SearchProductBarCode());
    EXPECT_EQ(product.SearchCode, "");
}

// The product search hands back the code of the product chosen by part of its
// name; a blocked product with a matching name is never offered. Finished
// goods (type P, the column's default) are never listed by this search.
TEST_F(UnitSearch, ProductSearchHandsBackTheChosenCode)
{
    site.business(QStringLiteral("Update Product Set ProductType = 'M' Where Code In ('A100', 'B200')"));
    onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TF_SearchProduct");
        EXPECT_FOCUS("ProductName");
        typeHere(QStringLiteral("ดื่ม"));
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "Code"), QStringList{"A100"});
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(product.SearchProduct());
    EXPECT_EQ(product.SearchCode, "A100");

    onNextModal([](QDialog& dialog) {
        typeHere(QStringLiteral("เลิก"));
        press(Qt::Key_Return);
        EXPECT_TRUE(listed(dialog, "Code").isEmpty()) << "B200 is blocked";
        press(Qt::Key_Escape);
    });
    EXPECT_FALSE(product.SearchProduct());
    EXPECT_EQ(product.SearchCode, "");
}

class ProductUnitSearch : public UnitSearch {
protected:
    void SetUp() override
    {
        UnitSearch::SetUp();
        site.business(QString::fromUtf8(kPriceRows));
    }

    // Opens the window as a caller would and runs `clerk` in it.
    QString chosen(std::function<void(QDialog&)> clerk)
    {
        onNextModal(std::move(clerk));
        TF_SearchProductUnits* window = TF_SearchProductUnits::instance();
        window->exec();
        return window->SelectedBarcode;
    }
};

TEST_F(ProductUnitSearch, EmptyNameListsEveryUnitPricedForThePointOfSaleType)
{
    const QString barcode = chosen([](QDialog& dialog) {
        EXPECT_FOCUS("InputName");
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "barcode"), (QStringList{"8850010", "8850011", "8850020"}))
            << "by bar code; a price of 0 or of another type never lists";
        EXPECT_FOCUS("SearchGrid");
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(barcode, "8850011");
}

TEST_F(ProductUnitSearch, NameContainedOrWholeAndTypedQuotesAreText)
{
    chosen([](QDialog& dialog) {
        typeHere(QStringLiteral("ดื่ม"));
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "Code"), (QStringList{"A100", "A100"}));
        press(Qt::Key_Escape);
    });

    chosen([](QDialog& dialog) {
        typeHere(QStringLiteral("ดื่ม"));
        press(Qt::Key_Tab);
        EXPECT_FOCUS("FullWord");
        press(Qt::Key_Space);
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("FullWord"))->isChecked());
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        EXPECT_TRUE(listed(dialog, "Code").isEmpty()) << "part of a name is no whole name";
        press(Qt::Key_Escape);
    });

    const QString barcode = chosen([](QDialog& dialog) {
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("FullWord"))->isChecked()) << "cleared at show";
        typeHere(QStringLiteral("เลิกขาย"));
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "Code"), QStringList{"B200"});
        press(Qt::Key_Return);
    });
    EXPECT_EQ(barcode, "8850020");

    for (const QString& hostile : {QStringLiteral("'"), QStringLiteral("น้ำ' or '1'='1"), QStringLiteral("[%_")}) {
        SCOPED_TRACE(hostile.toStdString());
        chosen([&](QDialog& dialog) {
            typeHere(hostile);
            press(Qt::Key_Return);
            EXPECT_TRUE(listed(dialog, "Code").isEmpty());
            press(Qt::Key_Escape);
        });
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ProductUnitSearch, TitleClicksSortUntilTheWindowIsShownAgain)
{
    const auto clickTitle = [](QDialog& dialog, const char* field) {
        auto* grid = dialog.findChild<widgets::DbGrid*>(QStringLiteral("SearchGrid"));
        QHeaderView* titles = grid->view()->horizontalHeader();
        const int column = grid->columnOfField(QLatin1String(field));
        const int x = titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2;
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, titles->height() / 2));
    };
    chosen([&](QDialog& dialog) {
        press(Qt::Key_Return);
        clickTitle(dialog, "price");
        EXPECT_EQ(listed(dialog, "barcode"), (QStringList{"8850020", "8850010", "8850011"})) << "cheapest first";
        clickTitle(dialog, "price");
        EXPECT_EQ(listed(dialog, "barcode"), (QStringList{"8850011", "8850010", "8850020"})) << "then dearest first";
        for (int tab = 0; tab < 3 && !focusIsIn(QStringLiteral("InputName")); ++tab)
            press(Qt::Key_Tab);
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "barcode"), (QStringList{"8850011", "8850010", "8850020"})) << "a new search keeps it";
        press(Qt::Key_Escape);
    });
    chosen([](QDialog& dialog) {
        press(Qt::Key_Return);
        EXPECT_EQ(listed(dialog, "barcode"), (QStringList{"8850010", "8850011", "8850020"})) << "by bar code again";
        press(Qt::Key_Escape);
    });
}

TEST_F(ProductUnitSearch, ChoosingFromAnEmptyListLeavesTheWindowOpen)
{
    const QString barcode = chosen([](QDialog& dialog) {
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        EXPECT_FOCUS("Bok");
        press(Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "nothing to choose yet";
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(barcode, "");
}

} // namespace
