#include "TF_SearchMisc.h"

#include "TitleSort.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TF_SearchMisc* F_SearchMisc = nullptr;

TF_SearchMisc::TF_SearchMisc(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TF_SearchMisc"));
    setFixedSize(457, 244);

    EnterString = new QLineEdit(this);
    EnterString->setObjectName(QStringLiteral("EnterString"));
    EnterString->setFixedWidth(371);
    Label1 = boxLabel(EnterString, QStringLiteral("Label1"), QStringLiteral("รายละเอียด"));
    // Kept for the layout the sites know; it never changed the search.
    FullWord = new QCheckBox(QStringLiteral("หาเต็มคำ"), this);
    FullWord->setObjectName(QStringLiteral("FullWord"));
    FullWord->hide();
    Bok = chooseButton(QStringLiteral("Bok"), QStringLiteral("เลือก"));
    BCancel = cancelButton(QStringLiteral("BCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("รายละเอียด"));
    grid_->setRowIndicator(true);
    grid_->setColumns({{QStringLiteral("description"), QStringLiteral("รายละเอียด"), charsFor(300)},
                       {QStringLiteral("code"), QStringLiteral("รหัส"), charsFor(80)}});

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(EnterString, 0, 1, 1, 3);
    layout->addWidget(grid_, 1, 0, 1, 4);
    layout->addWidget(FullWord, 2, 0);
    layout->setColumnStretch(1, 1);
    layout->addWidget(Bok, 2, 2);
    layout->addWidget(BCancel, 2, 3);

    QSearch.setSql({"select id,code,groupcode,description  from misc",
                    "where (groupcode=:inputgroup)  and ((description like :inputname)  or (code like :inputname))",
                    "order by Code"});
    setFirstBox(EnterString);
    setCodeBox(EnterString);
    setTitleSort(&SortState());
}

TF_SearchMisc* TF_SearchMisc::instance()
{
    return widgets::globalWindow(F_SearchMisc);
}

search::TitleSort& TF_SearchMisc::SortState()
{
    static search::TitleSort state({QStringLiteral("REMARK"), QStringLiteral("REFERENCE"), QStringLiteral("MEMO")});
    return state;
}

void TF_SearchMisc::showStep()
{
    FullWord->setChecked(false);
    EnterString->clear();
    search();
}

QStringList TF_SearchMisc::statement()
{
    QSearch.setParam(QStringLiteral("inputgroup"), MiscGroup);
    QSearch.setParam(QStringLiteral("inputname"),
                     db::containing(EnterString->text()));
    return QSearch.sql();
}

void TF_SearchMisc::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
    SelectedDescription = QSearch.asString(QStringLiteral("Description"));
}

void TF_SearchMisc::clearResult()
{
    SelectedCode.clear();
    SelectedDescription.clear();
}
