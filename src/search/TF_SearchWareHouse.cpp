#include "TF_SearchWareHouse.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TF_SearchWareHouse* F_SearchWareHouse = nullptr;

TF_SearchWareHouse::TF_SearchWareHouse(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TF_SearchWareHouse"));
    caption(this, QStringLiteral("ค้นหาตำแหน่งเก็บ"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(522, 273);

    SearchText = new QLineEdit(this);
    SearchText->setObjectName(QStringLiteral("SearchText"));
    SearchText->setFixedWidth(157);
    Label1 = boxLabel(SearchText, QStringLiteral("Label1"), QStringLiteral("ค้นหา รหัสหรือชื่อ"));
    BSearch = searchButton(QStringLiteral("BSearch"), QStringLiteral("ค้นหา"), QStringLiteral("Search"));
    Bok = chooseButton(QStringLiteral("Bok"), QStringLiteral("เลือก"), QStringLiteral("Choose"));
    BCancel = cancelButton(QStringLiteral("BCancel"), QStringLiteral("ไม่เลือก"), QStringLiteral("Cancel"));

    grid_->setObjectName(QStringLiteral("DisplayGrid"));
    grid_->setCaption(QStringLiteral("ค้นหาตำแหน่งเก็บ"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(SearchText, 0, 1);
    layout->addWidget(BSearch, 0, 2);
    layout->setColumnStretch(3, 1);
    layout->addWidget(grid_, 1, 0, 1, 6);
    layout->addWidget(Bok, 0, 4);
    layout->addWidget(BCancel, 0, 5);
    setGridFocusAlways(true);
}

TF_SearchWareHouse* TF_SearchWareHouse::instance()
{
    return widgets::globalWindow(F_SearchWareHouse);
}

void TF_SearchWareHouse::showStep()
{
    const bool inEnglish = english();
    grid_->setColumns({{QStringLiteral("code"), inEnglish ? QStringLiteral("WH Code") : QStringLiteral("รหัส"),
                        charsFor(109)},
                       {QStringLiteral("name"),
                        inEnglish ? QStringLiteral("WareHouse Description") : QStringLiteral("รายละเอียด"),
                        charsFor(340)}});
    // The whole list shows without typing.
    search();
}

QStringList TF_SearchWareHouse::statement()
{
    QString sql = WarehouseUnblockedOnly
        ? QStringLiteral("select code,name from warehouse where Coalesce(blocked,'N') = 'N' ")
        : QStringLiteral("select code,name from warehouse ");
    bool condition = WarehouseUnblockedOnly;
    if (WarehouseLocationFilter == 1 || WarehouseLocationFilter == 2) {
        sql += condition ? QStringLiteral(" and  ") : QStringLiteral(" where ");
        sql += WarehouseLocationFilter == 1 ? QStringLiteral("(Coalesce(IsLocation,'N')='N') ")
                                            : QStringLiteral("(Coalesce(IsLocation,'N')='Y') ");
        condition = true;
    }
    const QString text = SearchText->text().trimmed();
    if (!text.isEmpty()) {
        const QString pattern = db::quoted(db::containing(text));
        sql += (condition ? QStringLiteral(" and ") : QStringLiteral(" where ")) + QStringLiteral("((code like ")
            + pattern + QStringLiteral(")") + QStringLiteral(" or ") + QStringLiteral("      (name like ") + pattern
            + QStringLiteral(")) ");
    }
    sql += QStringLiteral(" order by code ");
    return {sql};
}

void TF_SearchWareHouse::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TF_SearchWareHouse::clearResult()
{
    SelectedCode.clear();
}
