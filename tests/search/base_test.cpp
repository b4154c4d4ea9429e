// The shared rules of every search dialog, tested once through the
// code-table look-up (the smallest dialog that has them all), and the title
// sort with no window at all. Dialogs are opened as their callers open
// them and driven with the keys a clerk presses.

#include "SearchSite.h"

#include "db/Quoting.h"
#include "search/TF_SearchMisc.h"
#include "search/TitleSort.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using search::TitleSort;

TEST(TitleSortTest, SameTitleAscendingDescendingAscendingAnotherStartsAscending)
{
    TitleSort sort;
    QStringList lines{"select a, b from t", "where a > 1  order by a, b"};
    ASSERT_TRUE(sort.click(lines, "b", 2));
    EXPECT_EQ(lines[1], "where a > 1  Order By 2") << "the text before the phrase is kept, the rest replaced";
    sort.click(lines, "B", 2);
    EXPECT_EQ(lines[1], "where a > 1  Order By 2 Desc") << "names compare in upper case";
    sort.click(lines, "b", 2);
    EXPECT_EQ(lines[1], "where a > 1  Order By 2");
    sort.click(lines, "a", 1);
    EXPECT_EQ(lines[1], "where a > 1  Order By 1");
    EXPECT_EQ(sort.LastSortField, "A");
    EXPECT_EQ(lines[0], "select a, b from t");
}

TEST(TitleSortTest, IgnoredTitlesAndLargeObjectsChangeNothing)
{
    TitleSort sort({"REMARK", "REFERENCE", "MEMO"});
    QStringList lines{"select * from t", "Order By 1"};
    const QStringList before = lines;
    EXPECT_FALSE(sort.click(lines, "Remark", 3));
    EXPECT_FALSE(sort.click(lines, "reference", 4));
    EXPECT_FALSE(sort.click(lines, "Picture", 5, true));
    EXPECT_EQ(lines, before);
    EXPECT_TRUE(sort.LastSortField.isEmpty()) << "an ignored click leaves the state alone";
    EXPECT_TRUE(TitleSort().click(lines, "reference", 4)) << "REFERENCE is ignored only where a window says so";
}

TEST(TitleSortTest, StatementWithoutOrderByIsLeftAsItIs)
{
    TitleSort sort;
    QStringList lines{"select a from t", "where a = 'ORDER BY'"};
    EXPECT_TRUE(sort.click(lines, "a", 1)) << "the caller still searches again";
    EXPECT_EQ(lines[1], "where a = 'ORDER BY'") << "no blank after the phrase: not an order line";
    EXPECT_TRUE(sort.LastSortField.isEmpty());
}

TEST(Quoting, TypedTextStaysOneLiteral)
{
    EXPECT_EQ(db::quoted("O'Neil"), "'O''Neil'");
    EXPECT_EQ(db::quoted("''"), "''''''");
    EXPECT_EQ(db::quoted(QStringLiteral("ร้าน'ดี")), QStringLiteral("N'ร้าน''ดี'")) << "Thai goes as Unicode";
    EXPECT_EQ(db::likeText("50%[a]_"), "50%[[]a]_") << "a bracket stands for itself; % and _ stay wildcards";
}

class SearchBase : public SearchSite {
protected:
    // Opens the code-table look-up for the provinces, as a caller does.
    int openCities(const std::function<void(TF_SearchMisc&)>& step)
    {
        TF_SearchMisc* look = TF_SearchMisc::instance();
        look->setWindowTitle(QStringLiteral("ค้นหาจังหวัด"));
        look->MiscGroup = QStringLiteral("CITY");
        onNextModal([&](QDialog&) { step(*look); });
        return look->exec();
    }
};

TEST_F(SearchBase, EnterSearchesAndEnterOnTheGridChooses)
{
    const int result = openCities([&](TF_SearchMisc& look) {
        EXPECT_FOCUS("EnterString");
        typeHere(QStringLiteral("เชียง"));
        pressChecked(Qt::Key_Return);
        EXPECT_FOCUS("ListData");
        EXPECT_EQ(look.EnterString->text(), QStringLiteral("เชียง")) << "the Enter character never reaches the box";
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"CMI"});
        pressChecked(Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(F_SearchMisc->SelectedCode, "CMI");
    EXPECT_EQ(F_SearchMisc->SelectedDescription, QStringLiteral("เชียงใหม่"));
    EXPECT_FALSE(F_SearchMisc->QSearch.isOpen()) << "the query closes with the dialog";
}

TEST_F(SearchBase, DownMovesFromTheCodeBoxAndDoubleClickChooses)
{
    const int result = openCities([&](TF_SearchMisc& look) {
        EXPECT_FOCUS("EnterString");
        pressChecked(Qt::Key_Down);
        EXPECT_FOCUS("ListData");
        pressChecked(Qt::Key_Down);  // now within the grid: the next row
        doubleClickRow(look.grid(), 1);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(F_SearchMisc->SelectedCode, "BKK") << "rows come by code: ANG, BKK, ...";
}

TEST_F(SearchBase, EveryOtherWayOutEmptiesTheResultAndReportsCancel)
{
    const auto chooseFirst = [](TF_SearchMisc&) {
        pressChecked(Qt::Key_Down);
        pressChecked(Qt::Key_Return);
    };
    openCities(chooseFirst);  // a choice for the next openings to empty
    ASSERT_FALSE(F_SearchMisc->SelectedCode.isEmpty());

    EXPECT_EQ(openCities([](TF_SearchMisc&) { pressChecked(Qt::Key_Escape); }), QDialog::Rejected);
    EXPECT_TRUE(F_SearchMisc->SelectedCode.isEmpty());
    EXPECT_TRUE(F_SearchMisc->SelectedDescription.isEmpty());

    openCities(chooseFirst);
    EXPECT_EQ(openCities([](TF_SearchMisc& look) { look.close(); }), QDialog::Rejected) << "the close button";
    EXPECT_TRUE(F_SearchMisc->SelectedCode.isEmpty());

    // Choosing from an empty list is no choice.
    EXPECT_EQ(openCities([](TF_SearchMisc& look) {
                  typeHere(QStringLiteral("ไม่มีจังหวัดนี้"));
                  pressChecked(Qt::Key_Return);
                  EXPECT_FOCUS("EnterString") << "no rows: the focus stays";
                  look.Bok->click();
              }),
              QDialog::Rejected);
    EXPECT_TRUE(F_SearchMisc->SelectedCode.isEmpty());
}

TEST_F(SearchBase, CodeTableListsItsGroupByCodeAndNarrowsByCodeOrDescription)
{
    openCities([&](TF_SearchMisc& look) {
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"ANG", "BKK", "CMI", "KKN", "OTN"}))
            << "the whole group at once, by code, nothing of another group";
        typeHere("k");
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), (QStringList{"BKK", "KKN"})) << "part of a code, in any case";
        clickInto(look.EnterString);
        press(Qt::Key_A, Qt::ControlModifier);
        typeHere(QStringLiteral("O'T"));
        pressChecked(Qt::Key_Return);
        EXPECT_EQ(column(look.grid(), "Code"), QStringList{"OTN"}) << "an apostrophe is searched as typed";
        pressChecked(Qt::Key_Escape);
    });
}

TEST_F(SearchBase, DescriptionTitleSortsAscendingThenDescendingAndTheOrderOutlivesTheWindow)
{
    QStringList first, second, reopened;
    openCities([&](TF_SearchMisc& look) {
        clickTitle(look.grid(), "description");
        first = column(look.grid(), "Code");
        clickTitle(look.grid(), "description");
        second = column(look.grid(), "Code");
        pressChecked(Qt::Key_Escape);
    });
    QStringList ascending = first;
    EXPECT_NE(first, (QStringList{"ANG", "BKK", "CMI", "KKN", "OTN"})) << "by description, not by code";
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_EQ(second, ascending) << "the second click sorts descending";
    openCities([&](TF_SearchMisc& look) {
        reopened = column(look.grid(), "Code");
        pressChecked(Qt::Key_Escape);
    });
    EXPECT_EQ(reopened, second) << "the order stays for the run";
}

TEST_F(SearchBase, HostileTextGivesAnAnswerAndChangesNothing)
{
    const int before = count("Select Count(*) From Misc");
    const struct {
        const char* name;
        QString text;
        QStringList codes;
    } rows[] = {
        {"a lone quote", QStringLiteral("'"), {"OTN"}},
        {"quotes that would end the literal", QStringLiteral("x'); Delete From Misc; --"), {}},
        {"percent", QStringLiteral("%"), {"ANG", "BKK", "CMI", "KKN", "OTN"}},
        {"an open bracket", QStringLiteral("["), {}},
        {"a bracket pair", QStringLiteral("[B]"), {}},
        {"10,000 characters", QString(10000, QLatin1Char('k')), {}},
        {"Thai", QStringLiteral("ขอน"), {"KKN"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        openCities([&](TF_SearchMisc& look) {
            pasteHere(row.text);
            pressChecked(Qt::Key_Return);
            EXPECT_EQ(column(look.grid(), "Code"), row.codes);
            pressChecked(Qt::Key_Escape);
        });
    }
    EXPECT_EQ(count("Select Count(*) From Misc"), before);
}

TEST_F(SearchBase, EachDialogIsMadeOnceAndGoneAtTheEnd)
{
    TF_SearchMisc* first = TF_SearchMisc::instance();
    EXPECT_EQ(TF_SearchMisc::instance(), first);
    EXPECT_EQ(F_SearchMisc, first);
    QPointer<TF_SearchMisc> watch(first);
    widgets::destroyGlobalWindows();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(F_SearchMisc, nullptr);
}

} // namespace
