// The small look-ups as their callers open them: the sales-person look-up
// through its picker's F5, the warehouse, lot and bar-code look-ups as the
// product data module will (create, show modally, read the result), and the
// lookup code box on its own.

#include "SearchSite.h"

#include "search/TF_SearchSalesman.h"
#include "search/TF_SearchWareHouse.h"
#include "search/TF_SearchMisc.h"
#include "search/TFaGetProvince.h"
#include "search/TFaGetSalesman.h"
#include "search/TFrSearchBarCode.h"
#include "search/TFrSearchLotNo.h"
#include "widgets/SettingsFile.h"
#include "widgets/TKIdLookup.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

class Lookups : public SearchSite {
protected:
    void SetUp() override
    {
        SearchSite::SetUp();
        TF_SearchSalesman::SortField = 0;
        TFrSearchLotNo::SortField = 1;
        TFrSearchBarCode::SortField = 0;
    }

    template <class Dialog>
    int open(Dialog* look, const std::function<void(Dialog&)>& step)
    {
        onNextModal([&](QDialog&) { step(*look); });
        return look->exec();
    }

    // A window holding the sales-person picker after another box, shown
    // and active, the focus in the picker's box.
    TFaGetSalesman& showPicker()
    {
        host = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(host.get());
        other = new QLineEdit(host.get());
        other->setObjectName("Other");
        layout->addWidget(other);
        picker = new TFaGetSalesman(host.get());
        layout->addWidget(picker);
        host->show();
        host->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(host.get()));
        clickInto(picker->Salesman);
        return *picker;
    }

    std::unique_ptr<QWidget> host;
    QLineEdit* other = nullptr;
    TFaGetSalesman* picker = nullptr;
};

// ---------------------------------------------------------------- sales persons

TEST_F(Lookups, SalesPersonsComeThroughThePickersF5AndTheChoiceFillsItsBox)
{
    TFaGetSalesman& p = showPicker();
    EXPECT_TRUE(p.BtSearchSalesman->isEnabled()) << "the button works while the box has the focus";
    onNextModal([&](QDialog& dialog) {
        auto& look = static_cast<TF_SearchSalesman&>(dialog);
        EXPECT_FOCUS("SName");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"S01", "S02", "S05", "S10"}))
            << "suspended persons are listed, one without a department row is not";
        EXPECT_EQ(column(look.grid(), "Description").first(), QStringLiteral("ฝ่ายขาย"));
        clickTitle(look.grid(), "NAME");
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"S01", "S02", "S05", "S10"}))
            << "a title click alone changes nothing";
        clickInto(look.SSurname);
        typeHere(QStringLiteral("O'Ne"));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"S10"}) << "an apostrophe is searched as typed";
        clickInto(look.SSurname);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"S10", "S05", "S01", "S02"}))
            << "now by first name: Anne, then the Thai names";
        pressChecked(Qt::Key_Down);
        pressChecked(Qt::Key_Down);
        pressChecked(Qt::Key_Return);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(p.Salesman->text(), "S01");
    EXPECT_EQ(p.SalesmanName->text(), QStringLiteral("สมชาย"));
    EXPECT_FOCUS("Salesman");

    // The next opening starts by code again, with empty boxes.
    onNextModal([&](QDialog& dialog) {
        auto& look = static_cast<TF_SearchSalesman&>(dialog);
        EXPECT_TRUE(look.SName->text().isEmpty());
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code").first(), "S01");
        pressChecked(Qt::Key_Escape);
    });
    p.BtSearchSalesman->click();
    EXPECT_EQ(p.Salesman->text(), "S01") << "a cancelled search changes nothing";
}

TEST_F(Lookups, CodePrefixNamesContainedAndHostileTextGivesAnAnswer)
{
    const struct {
        const char* name;
        const char* box;
        QString text;
        QStringList codes;
    } rows[] = {
        {"code prefix", "SCode", QStringLiteral("s0"), {"S01", "S02", "S05"}},
        {"part of a first name", "SName", QStringLiteral("สุ"), {"S02"}},
        {"a quote in the code", "SCode", QStringLiteral("'"), {}},
        {"percent", "SName", QStringLiteral("%"), {"S01", "S02", "S05", "S10"}},
        {"an open bracket", "SSurname", QStringLiteral("["), {}},
        {"a statement's end", "SName", QStringLiteral("x')) Delete From Salesman --"), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open<TF_SearchSalesman>(TF_SearchSalesman::instance(), [&](TF_SearchSalesman& look) {
            clickInto(look.findChild<QLineEdit*>(row.box));
            typeHere(row.text);
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), row.codes);
            pressChecked(Qt::Key_Escape);
        });
    }
    EXPECT_EQ(count("Select Count(*) From Salesman"), 5);
}

TEST_F(Lookups, LeavingThePickerWithASuspendedSalesPersonEmptiesItsBox)
{
    MessageRecorder messages;
    TFaGetSalesman& p = showPicker();
    typeHere("s05");
    EXPECT_TRUE(p.SalesmanName->text().isEmpty()) << "the box finds only sales persons in service";
    press(Qt::Key_Backtab);
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("พนักงานขาย ถูกระงับไปแล้ว  !")});
    EXPECT_TRUE(p.Salesman->text().isEmpty());
    EXPECT_FOCUS("Salesman");

    messages.texts.clear();
    typeHere("s02");
    EXPECT_EQ(p.SalesmanName->text(), QStringLiteral("สุนีย์"));
    press(Qt::Key_Backtab);
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(p.Salesman->text(), "S02");
    EXPECT_FOCUS("Other");
    EXPECT_FALSE(p.BtSearchSalesman->isEnabled()) << "the button rests while the box has no focus";
}

TEST_F(Lookups, ProvincePickerOpensAFreshProvinceLookUpAndTakesTheChoice)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* picker = new TFaGetProvince(&window);
    layout->addWidget(picker);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    clickInto(picker->Province);
    onNextModal([&](QDialog& dialog) {
        auto& look = static_cast<TF_SearchMisc&>(dialog);
        EXPECT_EQ(look.windowTitle(), QStringLiteral("ค้นหา รายชื่อจังหวัด"));
        EXPECT_NE(&look, F_SearchMisc) << "a look-up of its own";
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"ANG", "BKK", "CMI", "KKN", "OTN"})) << "provinces only";
        typeHere(QStringLiteral("ขอน"));
        pressChecked(Qt::Key_Return);
        pressChecked(Qt::Key_Return);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(picker->Province->text(), "KKN");
    EXPECT_EQ(picker->ProvinceName->text(), QStringLiteral("ขอนแก่น"));
    EXPECT_EQ(picker->Province->id(), 3);
    EXPECT_FOCUS("Province");
}

// ---------------------------------------------------------------- warehouses

TEST_F(Lookups, WarehousesShowAtOnceAndNarrowByCodeOrName)
{
    const int result = open<TF_SearchWareHouse>(TF_SearchWareHouse::instance(), [&](TF_SearchWareHouse& look) {
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"A-01", "MAIN", "OLD", "SHOP", "Z-OLD"}));
        EXPECT_FOCUS("DisplayGrid");
        clickInto(look.SearchText);
        typeHere(QStringLiteral(" ร้าน "));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"SHOP"}) << "by name, the text trimmed";
        clickInto(look.SearchText);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere("zz");
        pressChecked(Qt::Key_Return);
        EXPECT_FOCUS("DisplayGrid") << "the grid takes the focus even without rows";
        clickInto(look.SearchText);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere("old");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"OLD", "Z-OLD"}));
        pressChecked(Qt::Key_Down);
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(F_SearchWareHouse->SelectedCode, "Z-OLD");
}

TEST_F(Lookups, WarehouseOptionsComposeWithoutADatabaseError)
{
    const struct {
        bool unblocked;
        int filter;
        const char* text;
        QStringList codes;
    } rows[] = {
        {false, 0, "", {"A-01", "MAIN", "OLD", "SHOP", "Z-OLD"}},
        {true, 0, "", {"A-01", "MAIN", "SHOP"}},
        {false, 1, "", {"MAIN", "OLD", "SHOP"}},
        {false, 2, "", {"A-01", "Z-OLD"}},
        {true, 1, "", {"MAIN", "SHOP"}},
        {true, 2, "", {"A-01"}},
        {false, 0, "o", {"OLD", "SHOP", "Z-OLD"}},
        {true, 0, "o", {"SHOP"}},
        {false, 1, "o", {"OLD", "SHOP"}},
        {false, 2, "o", {"Z-OLD"}},
        {true, 1, "o", {"SHOP"}},
        {true, 2, "o", {}},
        {false, 0, "'", {}},
        {true, 2, "[A", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QStringLiteral("unblocked %1, filter %2, text \"%3\"")
                         .arg(row.unblocked)
                         .arg(row.filter)
                         .arg(QLatin1String(row.text))
                         .toStdString());
        TF_SearchWareHouse* look = TF_SearchWareHouse::instance();
        look->WarehouseUnblockedOnly = row.unblocked;
        look->WarehouseLocationFilter = row.filter;
        open<TF_SearchWareHouse>(look, [&](TF_SearchWareHouse& w) {
            clickInto(w.SearchText);  // the text of the last opening is still there
            press(Qt::Key_A, Qt::ControlModifier);
            press(Qt::Key_Delete);
            typeHere(QLatin1String(row.text));
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(w.grid(), "Code"), row.codes);
            pressChecked(Qt::Key_Escape);
        });
    }
}

TEST_F(Lookups, WarehouseTitlesAndButtonsInEnglish)
{
    asUser(2);
    open<TF_SearchWareHouse>(TF_SearchWareHouse::instance(), [&](TF_SearchWareHouse& look) {
        EXPECT_EQ(look.grid()->columns().at(0).title, "WH Code");
        EXPECT_EQ(look.grid()->columns().at(1).title, "WareHouse Description");
        EXPECT_EQ(look.Bok->text(), "Choose");
        EXPECT_EQ(look.windowTitle(), QStringLiteral("ค้นหาตำแหน่งเก็บ")) << "the caption stays Thai";
        pressChecked(Qt::Key_Escape);
    });
}

// ---------------------------------------------------------------- lots

class LotLookup : public Lookups {
protected:
    // Picks a date condition by keys: Tab from the code box past the
    // description, then Up from the "-" the dialog shows with.
    static void chooseCondition(TFrSearchLotNo& look, const char* condition)
    {
        EXPECT_FOCUS("Code");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        EXPECT_FOCUS("DateCondition");
        for (int i = 0; i < 4 && look.DateCondition->currentText() != QLatin1String(condition); ++i)
            press(Qt::Key_Up);
    }
    // Tab on to the date and type it as the box shows it: day, month, year.
    static void typeDate(const char* ddMMyyyy)
    {
        press(Qt::Key_Tab);
        EXPECT_FOCUS("ExpiredDate");
        typeHere(QLatin1String(ddMMyyyy));
    }
    QStringList lots(const char* condition, const char* ddMMyyyy)
    {
        QStringList codes;
        open<TFrSearchLotNo>(TFrSearchLotNo::instance(), [&](TFrSearchLotNo& look) {
            chooseCondition(look, condition);
            if (look.ExpiredDate->isEnabled()) {
                typeDate(ddMMyyyy);
                EXPECT_EQ(look.ExpiredDate->date().toString("dd/MM/yyyy"), QString(ddMMyyyy).insert(4, '/').insert(2, '/'));
            }
            pressChecked(Qt::Key_Return);
            codes = column(look.grid(), "Code");
            pressChecked(Qt::Key_Escape);
        });
        return codes;
    }
};

TEST_F(LotLookup, DateConditionsReadTheDateMonthFirstAndLotsThatNeverExpirePass)
{
    EXPECT_EQ(lots("-", ""), (QStringList{"L-APR", "L-DEC", "L-MAR", "L-NEVER"})) << "'-' ignores the date";
    EXPECT_EQ(lots(">=", "25122026"), (QStringList{"L-DEC", "L-NEVER"})) << "a day above 12";
    EXPECT_EQ(lots("<=", "03042026"), (QStringList{"L-APR", "L-MAR", "L-NEVER"}))
        << "the third of April: read day first it would be the fourth of March";
    EXPECT_EQ(lots("=", "04032026"), (QStringList{"L-MAR", "L-NEVER"}));
}

TEST_F(LotLookup, ShowResetsTheBoxesAndTheChoiceGivesCodeAndId)
{
    const int marId = count("Select Id From LotNo Where Code = 'L-MAR'");
    const int result = open<TFrSearchLotNo>(TFrSearchLotNo::instance(), [&](TFrSearchLotNo& look) {
        EXPECT_EQ(look.DateCondition->currentText(), "-");
        EXPECT_FALSE(look.ExpiredDate->isEnabled());
        EXPECT_FOCUS("Code");
        typeHere("l-m");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"L-MAR"}) << "a code prefix in any case";
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(FrSearchLotNo->SelectedCode, "L-MAR");
    EXPECT_EQ(FrSearchLotNo->SelectedLotId, marId);

    open<TFrSearchLotNo>(FrSearchLotNo, [&](TFrSearchLotNo& look) {
        EXPECT_TRUE(look.Code->text().isEmpty());
        chooseCondition(look, "<=");
        EXPECT_TRUE(look.ExpiredDate->isEnabled());
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Down);
        EXPECT_EQ(look.DateCondition->currentText(), "-");
        EXPECT_FALSE(look.ExpiredDate->isEnabled());
        clickTitle(look.grid(), "Description");
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_TRUE(FrSearchLotNo->SelectedCode.isEmpty());
    EXPECT_EQ(FrSearchLotNo->SelectedLotId, 0) << "no id is left from the earlier choice";
}

TEST_F(LotLookup, TitleClickOrdersTheNextSearch)
{
    open<TFrSearchLotNo>(TFrSearchLotNo::instance(), [&](TFrSearchLotNo& look) {
        pressChecked(Qt::Key_Return);
        clickTitle(look.grid(), "ExpiredDate");
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"L-APR", "L-DEC", "L-MAR", "L-NEVER"}));
        clickInto(look.Code);
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"L-NEVER", "L-MAR", "L-APR", "L-DEC"}))
            << "by expiry date, the lot without one first";
        pressChecked(Qt::Key_Escape);
    });
}

// ---------------------------------------------------------------- bar codes

TEST_F(Lookups, BarCodesOnlyOfUnitsThatHaveOneByTheCompanysNameMethod)
{
    site.business("Update Config Set SearchProductMethod = 1");
    open<TFrSearchBarCode>(TFrSearchBarCode::instance(), [&](TFrSearchBarCode& look) {
        EXPECT_EQ(look.SearchMethod->currentIndex(), 1) << "contains, as the setup row says";
        EXPECT_FOCUS("Name");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "BarCode"), (QStringList{"8850001", "8850012", "[99]01"}))
            << "units with an empty or no bar code are never listed";
        clickInto(look.Name);
        typeHere(QStringLiteral("ล้าง"));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"H4002"});
        clickTitle(look.grid(), "Code");
        EXPECT_EQ(look.QSearch.sql().at(5), "Order By P.Code") << "a title click searches at once in its order";
        pressChecked(Qt::Key_Escape);
    });
    site.business("Update Config Set SearchProductMethod = 0");
    // The setup row is read again when the business database reconnects, as
    // when the main window shows.
    dm.connection().close();
    dm.connection().open();
    const int result = open<TFrSearchBarCode>(FrSearchBarCode, [&](TFrSearchBarCode& look) {
        EXPECT_EQ(look.SearchMethod->currentIndex(), 0);
        typeHere(QStringLiteral("ล้าง"));
        pressChecked(Qt::Key_Return);
        EXPECT_TRUE(column(look.grid(), "Code").isEmpty()) << "begins with";
        clickInto(look.Name);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere(QStringLiteral("Joe's"));
        clickInto(look.Code);
        typeHere("[99");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "BarCode"), QStringList{"[99]01"}) << "quote and bracket as typed";
        doubleClickRow(look.grid(), 0);
        EXPECT_TRUE(look.isVisible()) << "a double-click does not choose here";
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(FrSearchBarCode->SelectedBarcode, "[99]01");
}

TEST_F(Lookups, BarCodeChooseOnAnEmptyListIsCancel)
{
    const int result = open<TFrSearchBarCode>(TFrSearchBarCode::instance(), [&](TFrSearchBarCode& look) {
        look.Btok->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(FrSearchBarCode->SelectedBarcode.isEmpty());
}

TEST_F(Lookups, BarCodeWindowPlaceAndColumnWidthsSurviveAReopenAndItStaysAtLeast600Wide)
{
    QFile ini(site.folder() + "/QEL.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Print]\r\nPdfFile=offer.pdf\r\n");
    ini.close();
    QRect placed;
    int nameWidth = 0;
    open<TFrSearchBarCode>(TFrSearchBarCode::instance(), [&](TFrSearchBarCode& look) {
        look.resize(400, 300);
        QTest::qWait(10);
        EXPECT_EQ(look.width(), TFrSearchBarCode::kMinimumWidth) << "widened back to 600";
        look.setGeometry(40, 60, 720, 380);
        look.grid()->view()->horizontalHeader()->resizeSection(2, 300);
        placed = look.geometry();
        nameWidth = look.grid()->view()->horizontalHeader()->sectionSize(2);
        pressChecked(Qt::Key_Escape);
    });
    const auto saved = widgets::readSettingsSection(site.folder() + "/QEL.INI", "SEARCHBARCODE");
    EXPECT_EQ(saved.value("WIDTH"), "720");
    EXPECT_EQ(widgets::readSettingsSection(site.folder() + "/QEL.INI", "Print").value("PDFFILE"), "offer.pdf")
        << "the rest of the file stays";

    widgets::destroyGlobalWindows();  // a new run
    open<TFrSearchBarCode>(TFrSearchBarCode::instance(), [&](TFrSearchBarCode& look) {
        EXPECT_EQ(look.geometry(), placed);
        EXPECT_NEAR(look.grid()->view()->horizontalHeader()->sectionSize(2), nameWidth,
                    look.grid()->pixelsForChars(1))
            << "the width comes back to within a character";
        pressChecked(Qt::Key_Escape);
    });
}

// ---------------------------------------------------------------- lookup code box

TEST_F(Lookups, CodeBoxFindsOnlyWithinItsRestrictionAndFillsItsBoundColumn)
{
    QWidget window;
    auto* box = new TKIdLookup(&window);
    auto* label = new QLabel(&window);
    box->setTable("MISC", "ID", "CODE", "Description");
    box->setRestriction("GroupCode='CITY'");
    box->setDescriptionLabel(label);
    db::Query filter;
    filter.openInMemory({"PType"});
    filter.append();
    box->bindTo(&filter, "PType");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    clickInto(box);

    typeHere("bkk");
    EXPECT_EQ(box->text(), "BKK") << "upper-case entry";
    EXPECT_EQ(label->text(), QStringLiteral("กรุงเทพมหานคร"));
    EXPECT_EQ(filter.asInteger("PType"), 1);
    press(Qt::Key_Backspace);
    typeHere("x");
    EXPECT_TRUE(label->text().isEmpty()) << "BKX is a product type, outside the restriction";
    EXPECT_EQ(filter.asInteger("PType"), 0);
    EXPECT_FALSE(box->isValid());

    QSignalSpy searches(box, &TKIdLookup::searchKey);
    press(Qt::Key_F5);
    EXPECT_EQ(searches.count(), 1) << "F5 is left to the caller";
    EXPECT_EQ(box->text(), "BKX");

    try {
        typeHere("'); Delete From Misc --");
    } catch (const db::DbError& e) {
        ADD_FAILURE() << qPrintable(e.message());
    }
    EXPECT_EQ(box->id(), 0);
    EXPECT_EQ(count("Select Count(*) From Misc"), 8);

    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    EXPECT_EQ(filter.asInteger("PType"), 0) << "an empty box leaves the filter off";
    EXPECT_TRUE(box->isValid()) << "empty is allowed unless told otherwise";
    box->setEmptyAllowed(false);
    EXPECT_FALSE(box->isValid());
}

} // namespace
