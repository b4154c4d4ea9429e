#include "TFrSearchUnit.h"

#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TFrSearchUnit* FrSearchUnit = nullptr;

TFrSearchUnit::TFrSearchUnit(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TFrSearchUnit"));
    caption(this, QStringLiteral("ค้นหาหน่วยนับ"), QStringLiteral("Search Product Unit"));
    setFixedSize(335, 155);

    BtSelected = chooseButton(QStringLiteral("BtSelected"), QStringLiteral("เลือก"), QStringLiteral("Choose"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"), QStringLiteral("Cancel"));

    grid_->setObjectName(QStringLiteral("DgSearch"));
    grid_->setCaption(QStringLiteral("หน่วยนับ"));
    grid_->setFixedHeight(124);

    auto* strip = new QHBoxLayout;
    strip->addWidget(BtSelected);
    strip->addWidget(BtCancel);
    strip->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(strip);
    layout->addWidget(grid_);

    lines_ = QStringList{
        "SELECT U.UnitName, U.Fraction, U.Barcode",
        "FROM ProductUnits U",
        "Where (U.Product = :GetPart) And",
        "      ((U.PurcFlag Like :ForPurc) Or (U.SaleFlag Like :ForSale) Or",
        "       (U.StockUnitFlag Like :ForStock) Or (U.SmallUnitFlag Like :ForSmall))",
        "Order By U.Fraction",
        "/* Don't Move SQL Line */",
        " ",
        " ",
    };
    QSearch.setParam(QStringLiteral("GetPart"), 0);
    for (const char* p : {"ForPurc", "ForSale", "ForStock", "ForSmall"})
        QSearch.setParam(QLatin1String(p), QString());
    // Whatever has the focus, the grid is where the choice is.
    setGridFocusAlways(true);
}

TFrSearchUnit* TFrSearchUnit::instance()
{
    return widgets::globalWindow(FrSearchUnit);
}

void TFrSearchUnit::showStep()
{
    const bool inEnglish = english();
    grid_->setColumns({
        {QStringLiteral("UnitName"), inEnglish ? QStringLiteral("Unit Name") : QStringLiteral("หน่วยนับ"), charsFor(107)},
        {QStringLiteral("Fraction"), inEnglish ? QStringLiteral("Pack Qnty") : QStringLiteral("อัตราส่วนหน่วยย่อย"),
         charsFor(103), false, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("Barcode"), inEnglish ? QStringLiteral("BarCode") : QStringLiteral("Barcode"), charsFor(99)},
    });
    clearResult();
    // The list is complete at once.
    search();
}

QStringList TFrSearchUnit::statement()
{
    // A selector that is off binds "X%", which no flag matches.
    const auto pattern = [](bool on) { return on ? QStringLiteral("Y%") : QStringLiteral("X%"); };
    QSearch.setParam(QStringLiteral("ForPurc"), pattern(UnitForPurchase));
    QSearch.setParam(QStringLiteral("ForSale"), pattern(UnitForSale));
    QSearch.setParam(QStringLiteral("ForStock"), pattern(UnitForStock));
    QSearch.setParam(QStringLiteral("ForSmall"), pattern(UnitForSmall));
    QSearch.setParam(QStringLiteral("GetPart"), UnitProductId);
    return lines_;
}

void TFrSearchUnit::takeResult()
{
    SelectedUnitName = QSearch.asString(QStringLiteral("UNITNAME"));
}

void TFrSearchUnit::clearResult()
{
    SelectedUnitName.clear();
}

bool TFrSearchUnit::dialogKey(QKeyEvent* key)
{
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    choose();
    return true;
}
