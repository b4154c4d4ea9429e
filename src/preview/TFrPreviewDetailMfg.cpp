#include "TFrPreviewDetailMfg.h"

#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/NumberMask.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFrPreviewDetailMfg* FrPreviewDetailMfg = nullptr;

namespace {

const QString kTotal = QStringLiteral("#,##0.##;-#,##0.##");
const QString kQuantity = QStringLiteral("#,##0.##");

struct Total {
    const char* field;
    const char* caption;
};
const Total kTotals[] = {
    {"WorkQnty", "จำนวนสั่งผลิต รวม : "},
    {"FinishedQnty", "จำนวนผลิตเสร็จ รวม : "},
    {"WorkQntyOnHand", "จำนวนคงค้าง รวม : "},
};

} // namespace

TFrPreviewDetailMfg::TFrPreviewDetailMfg(QWidget* parent)
    : TFrSearch(parent), QGetProdDesc(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFrPreviewDetailMfg"));
    caption(this, QStringLiteral("รายละเอียดการสั่งผลิด"));
    setFixedSize(881, 418);

    LbGetProdDesc = new QLabel(PanelHeader);
    LbGetProdDesc->setObjectName(QStringLiteral("LbGetProdDesc"));
    LbGetProdDesc->setFixedWidth(789);
    QFont large = LbGetProdDesc->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    LbGetProdDesc->setFont(large);
    QPalette blue = LbGetProdDesc->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    LbGetProdDesc->setPalette(blue);
    static_cast<QHBoxLayout*>(PanelHeader->layout())->insertWidget(0, LbGetProdDesc);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    grid_->setCaption(QStringLiteral("รายละเอียดการสั่งผลิด"));
    grid_->setColumns({{QStringLiteral("WorkDate"), QStringLiteral("วันที่สั่งผลิต"), charsFor(76)},
                       {QStringLiteral("WorkOrderNo"), QStringLiteral("เลขที่สั่งผลิต"), charsFor(128)},
                       {QStringLiteral("sono"), QStringLiteral("เลขที่สั่งขาย"), charsFor(122)},
                       {QStringLiteral("CusCode"), QStringLiteral("รหัสลูกค้า"), charsFor(85)},
                       {QStringLiteral("CusName"), QStringLiteral("ชื่อลูกค้า"), charsFor(214)},
                       {QStringLiteral("WorkQnty"), QStringLiteral("จำนวนสั่งผลิต"), charsFor(73), false, right, kQuantity},
                       {QStringLiteral("FinishedQnty"), QStringLiteral("จำนวนผลิตเสร็จ"), charsFor(81), false, right,
                        kQuantity},
                       {QStringLiteral("WorkQntyOnHand"), QStringLiteral("จำนวนคงค้าง"), charsFor(71), false, right,
                        kQuantity}});
    grid_->setDateField(QStringLiteral("WorkDate"));
    // A read-only list: no choosing, sorting or colouring by state.
    grid_->setCellStyler({});
    setTitleSort(nullptr);
    setDoubleClickChooses(false);
    setFirstBox(grid_);

    PanelBottom = new QFrame(this);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setFixedHeight(41);
    auto* sums = new QHBoxLayout(PanelBottom);
    sums->addStretch(1);
    for (QLabel** label : {&LbSum01, &LbSum02, &LbSum03}) {
        *label = new QLabel(PanelBottom);
        (*label)->setFixedWidth(200);
        (*label)->setAlignment(right);
        sums->addWidget(*label);
    }
    LbSum01->setObjectName(QStringLiteral("LbSum01"));
    LbSum02->setObjectName(QStringLiteral("LbSum02"));
    LbSum03->setObjectName(QStringLiteral("LbSum03"));
    layout()->addWidget(PanelBottom);

    QSearch.setSql({
        "Select Hd.WorkDate, Hd.WorkOrderNo, C.Code CusCode, C.Name CusName,",
        "       (Select Code From Product Where Id = Hd.FinishedGoods) FinishedGoodsCode,",
        "       (Select ThaiName From Product Where Id = Hd.FinishedGoods) FinishedGoodsName,",
        "       Coalesce(Hd.Quantity, 0) * (Select Coalesce(Fraction, 0) From ProductUnits Where Id = Hd.ProductUnits) WorkQnty,",
        "       Coalesce((Select Sum(Coalesce(Quantity, 0) * Coalesce(Fraction, 0)) From MFGFinishDt Where WorkOrderHd = Hd.Id And Product = Hd.FinishedGoods), 0) FinishedQnty,",
        "       (Select UnitName From ProductUnits Where Product = Hd.FinishedGoods And SmallUnitFlag = 'Y') UnitName,",
        "       M.description TypeName,so.sono,",
        "       ( Coalesce(Hd.Quantity, 0) * (Select Coalesce(Fraction, 0) From ProductUnits Where Id = Hd.ProductUnits)",
        "         - ",
        "         Coalesce((Select Sum(Coalesce(Quantity, 0) * Coalesce(Fraction, 0)) From MFGFinishDt Where WorkOrderHd = Hd.Id And Product = Hd.FinishedGoods), 0)",
        "       ) WorkQntyOnHand",
        "From WorkOrderHd Hd",
        "Inner Join Customer C On (C.Id = Hd.Customer)",
        "Left Join SoHd so on (so.id=Hd.sohd)",
        "inner join product p on (p.id= Hd.FinishedGoods)",
        "inner join misc m on (m.id=p.ptype)",
        "Left Join BomHd B On (Hd.BomHd = B.Id)",
        "Where (Hd.Clear <> 'Y') And (Hd.Delflag = 'N')",
        "      And(P.Code = :GetProdCode)",
        "Order by FinishedGoodsCode, Hd.WorkDate",
        " ",
    });
    QGetProdDesc.setSql({
        "Select P.*,",
        "       (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') UnitName",
        "From Product P",
        "Where P.Code = :GetProdCode",
    });
}

TFrPreviewDetailMfg* TFrPreviewDetailMfg::instance()
{
    return widgets::globalWindow(FrPreviewDetailMfg);
}

void TFrPreviewDetailMfg::showFor(const QString& productCode, QWidget* parent)
{
    TFrPreviewDetailMfg window(parent);
    window.DetailProductCode = productCode;
    window.exec();
}

QStringList TFrPreviewDetailMfg::statement()
{
    return QSearch.sql();
}

void TFrPreviewDetailMfg::showStep()
{
    TFrSearch::showStep();
    for (QLabel* sum : {LbSum01, LbSum02, LbSum03})
        sum->clear();
    grid_->setToolTip(QString());
    for (QWidget* inherited : {static_cast<QWidget*>(findChild<QLabel*>(QStringLiteral("Label1"))),
                               static_cast<QWidget*>(Code), static_cast<QWidget*>(BtSearch),
                               static_cast<QWidget*>(BtOk)}) {
        if (inherited)
            inherited->hide();
    }
    BtCancel->setText(QStringLiteral("Close"));
    fill();
}

QString TFrPreviewDetailMfg::productUnit()
{
    if (QGetProdDesc.isEmpty())
        return QString();
    return QGetProdDesc.asString(QStringLiteral("UnitName")).trimmed();
}

void TFrPreviewDetailMfg::fill()
{
    const QString code = DetailProductCode.trimmed();
    QGetProdDesc.close();
    QGetProdDesc.setParam(QStringLiteral("GetProdCode"), code);
    QGetProdDesc.open();
    LbGetProdDesc->setText(QGetProdDesc.isEmpty()
                               ? QString()
                               : QStringLiteral("รหัสสินค้า : ") + QGetProdDesc.asString(QStringLiteral("Code")).trimmed()
                                   + QStringLiteral("   ชื่อสินค้า : ")
                                   + QGetProdDesc.asString(QStringLiteral("ThaiName")).trimmed());
    const QString unit = productUnit();

    QSearch.close();
    QSearch.setParam(QStringLiteral("GetProdCode"), code);
    QSearch.open();
    QLabel* const labels[] = {LbSum01, LbSum02, LbSum03};
    for (int i = 0; i < 3; ++i) {
        double sum = 0;
        const int column = QSearch.fieldIndex(QLatin1String(kTotals[i].field));
        for (int row = 0; row < QSearch.recordCount(); ++row)
            sum += db::variantToFloat(QSearch.valueAt(row, column));
        labels[i]->setText(QString::fromUtf8(kTotals[i].caption) + formatNumber(kTotal, sum) + QLatin1Char(' ') + unit);
    }
    if (!QSearch.isEmpty())
        QSearch.first();
    QGetProdDesc.close();
}

bool TFrPreviewDetailMfg::dialogKey(QKeyEvent* key)
{
    // Enter on the list closes it: nothing is chosen here.
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const QWidget* focus = QApplication::focusWidget();
    if (enter && focus && (focus == grid_ || grid_->isAncestorOf(focus))) {
        reject();
        return true;
    }
    return false;
}

bool TFrPreviewDetailMfg::eventFilter(QObject* watched, QEvent* event)
{
    // Past TFrSearch: its mouse gesture deletes documents, not here.
    return search::SearchDialog::eventFilter(watched, event);
}
