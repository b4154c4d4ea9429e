#include "TF_SearchSalesman.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/UpperCaseEntry.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

TF_SearchSalesman* F_SearchSalesman = nullptr;
int TF_SearchSalesman::SortField = 0;

namespace {

const QStringList kOrderLines{QStringLiteral("Order By S.Code"), QStringLiteral("Order By S.Name"),
                              QStringLiteral("Order By S.SurName"), QStringLiteral("Order By M.Description")};
const QStringList kSortTitles{QStringLiteral("CODE"), QStringLiteral("NAME"), QStringLiteral("SURNAME"),
                              QStringLiteral("DESCRIPTION")};

QString contains(const QLineEdit* box)
{
    return db::quoted(db::containing(box->text()));
}

} // namespace

TF_SearchSalesman::TF_SearchSalesman(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TF_SearchSalesman"));
    caption(this, QStringLiteral("ค้นหาพนักงานขาย"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(555, 319);

    auto box = [this](const QString& name, int maxLength) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        b->setMaxLength(maxLength);
        return b;
    };
    SCode = box(QStringLiteral("SCode"), 10);
    widgets::setUpperCaseEntry(SCode);
    SName = box(QStringLiteral("SName"), 30);
    SSurname = box(QStringLiteral("SSurname"), 30);
    Code = boxLabel(SCode, QStringLiteral("Code"), QStringLiteral("รหัส"));
    Name = boxLabel(SName, QStringLiteral("Name"), QStringLiteral("ชื่อ"));
    Surname = boxLabel(SSurname, QStringLiteral("Surname"), QStringLiteral("นามสกุล"));
    BSearch = searchButton(QStringLiteral("BSearch"), QStringLiteral("ค้นหา"));
    Bok = chooseButton(QStringLiteral("Bok"), QStringLiteral("เลือก"));
    BCancel = cancelButton(QStringLiteral("BCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("ค้นหาพนักงานขาย"));
    grid_->setColumns({{QStringLiteral("NAME"), QStringLiteral("ชื่อ"), charsFor(153)},
                       {QStringLiteral("SURNAME"), QStringLiteral("นามสกุล"), charsFor(153)},
                       {QStringLiteral("CODE"), QStringLiteral("รหัส"), charsFor(85)},
                       {QStringLiteral("description"), QStringLiteral("ชื่อแผนก"), charsFor(139)}});
    setSortSelector(&SortField, kSortTitles, false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Code, 0, 0);
    layout->addWidget(SCode, 0, 1);
    layout->addWidget(Name, 1, 0);
    layout->addWidget(SName, 1, 1);
    layout->addWidget(Surname, 1, 2);
    layout->addWidget(SSurname, 1, 3);
    layout->addWidget(BSearch, 1, 4);
    layout->addWidget(grid_, 2, 0, 1, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Bok);
    buttons->addWidget(BCancel);
    layout->addLayout(buttons, 3, 0, 1, 5);
    setTabOrder(SCode, SName);
    setTabOrder(SName, SSurname);
    setFirstBox(SName);
}

TF_SearchSalesman* TF_SearchSalesman::instance()
{
    return widgets::globalWindow(F_SearchSalesman);
}

void TF_SearchSalesman::showStep()
{
    SortField = 0;
    for (QLineEdit* b : {SCode, SName, SSurname})
        b->clear();
}

QStringList TF_SearchSalesman::statement()
{
    return {"Select S.Code, S.Name, S.Surname, M.Description From Salesman S",
            "Inner Join Misc M On (M.GroupCode  = 'DEPARTMENT') And (M.Id = S.Department)",
            "Where (S.Code Like " + db::quoted(db::startingWith(SCode->text())) + ") And (S.Name Like "
                + contains(SName) + ") And (S.SurName Like " + contains(SSurname) + ")",
            kOrderLines.value(SortField, kOrderLines.first())};
}

void TF_SearchSalesman::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TF_SearchSalesman::clearResult()
{
    SelectedCode.clear();
}

void TF_SearchSalesman::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click on the window's background chooses, as on the list.
    event->accept();
    choose();
}
