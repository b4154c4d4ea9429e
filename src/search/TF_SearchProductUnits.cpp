#include "TF_SearchProductUnits.h"

#include "config/TDMConfig.h"
#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TF_SearchProductUnits* F_SearchProductUnits = nullptr;

TF_SearchProductUnits::TF_SearchProductUnits(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TF_SearchProductUnits"));
    caption(this, QStringLiteral("ค้นหาชื่อสินค้า"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(908, 563);

    InputName = new QLineEdit(this);
    InputName->setObjectName(QStringLiteral("InputName"));
    InputName->setMaxLength(60);
    Label1 = boxLabel(InputName, QStringLiteral("Label1"), QStringLiteral("ชื่อสินค้า"));
    FullWord = new QCheckBox(QStringLiteral("หาเต็มคำ"), this);
    FullWord->setObjectName(QStringLiteral("FullWord"));
    BSearch = searchButton(QStringLiteral("BSearch"), QStringLiteral("ค้นหา"));
    Bok = chooseButton(QStringLiteral("Bok"), QStringLiteral("เลือก"));
    BCancel = cancelButton(QStringLiteral("BCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("SearchGrid"));
    grid_->setCaption(QStringLiteral("ค้นหาชื่อสินค้า"));
    grid_->setFixedHeight(500);
    grid_->setColumns({
        {QStringLiteral("barcode"), QStringLiteral("รหัสบาร์โค้ด"), charsFor(130)},
        {QStringLiteral("Code"), QStringLiteral("รหัสสินค้า"), charsFor(100)},
        {QStringLiteral("unitname"), QStringLiteral("หน่วย"), charsFor(86)},
        {QStringLiteral("thainame"), QStringLiteral("ชื่อสินค้า/บริการ"), charsFor(440)},
        {QStringLiteral("price"), QStringLiteral("ราคาขาย/หน่วย"), charsFor(81), false, Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("#,##0.00")},
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(InputName, 0, 1);
    layout->addWidget(BSearch, 0, 2);
    layout->addWidget(FullWord, 0, 3);
    layout->setColumnStretch(4, 1);
    layout->addWidget(Bok, 0, 5);
    layout->addWidget(BCancel, 0, 6);
    layout->addWidget(grid_, 1, 0, 1, 7);
    setFirstBox(InputName);
    setTitleSort(&sort_);
    setEmptyChoice(EmptyChoice::StayOpen);
}

TF_SearchProductUnits* TF_SearchProductUnits::instance()
{
    return widgets::globalWindow(F_SearchProductUnits);
}

void TF_SearchProductUnits::showStep()
{
    sort_ = search::TitleSort();
    QSearch.setSql({});
    SelectedBarcode.clear();
    FullWord->setChecked(false);
    InputName->clear();
}

QStringList TF_SearchProductUnits::statement()
{
    const QString priceType = QString::number(DMConfig->Run.PosPriceType);
    QStringList lines{
        "select u.id,u.barcode, P.Code, u.unitname,p.thainame,x.price",
        "from productunits u",
        "inner join product p on p.id=u.product",
        "Inner join productprice x on x.product=u.product and x.productunits=u.id",
    };
    const QString name = InputName->text().trimmed();
    if (name.isEmpty()) {
        lines << QStringLiteral("where x.price > 0 and x.pricetype=") + priceType;
    } else {
        lines << (FullWord->isChecked()
                      ? QStringLiteral("where p.thainame = ") + db::quoted(name)
                      : QStringLiteral("where p.thainame like ")
                          + db::quoted(QLatin1Char('%') + db::likeText(name) + QLatin1Char('%')))
              << QStringLiteral(" and (x.price > 0) and x.pricetype=") + priceType;
    }
    // A title click rewrites the last statement's order line; it holds
    // until the window is shown again.
    const QStringList last = QSearch.sql();
    lines << (last.isEmpty() ? QStringLiteral("Order By BarCode") : last.last());
    return lines;
}

void TF_SearchProductUnits::takeResult()
{
    SelectedBarcode = QSearch.asString(QStringLiteral("BarCode"));
}

void TF_SearchProductUnits::clearResult()
{
    SelectedBarcode.clear();
}
