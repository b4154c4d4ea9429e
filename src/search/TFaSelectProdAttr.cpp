#include "TFaSelectProdAttr.h"

#include "TFrSearchProdAttrCode.h"

#include "widgets/DbGrid.h"

#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QTableView>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString kBegin = QStringLiteral("BeginAttrCode");
const QString kEnd = QStringLiteral("EndAttrCode");
constexpr int kCodeWidth = 10;  // ProdAttrCode.Code

} // namespace

TFaSelectProdAttr::TFaSelectProdAttr(QWidget* parent) : QFrame(parent), QProdAttrGroup(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFaSelectProdAttr"));
    DgSelectProdAttr = new widgets::DbGrid(this);
    DgSelectProdAttr->setObjectName(QStringLiteral("DgSelectProdAttr"));
    DgSelectProdAttr->setCaption(QStringLiteral("คุณสมบัติสินค้า"));
    DgSelectProdAttr->setEnterMovesToNextCell(true);
    DgSelectProdAttr->setCursor(Qt::PointingHandCursor);
    DgSelectProdAttr->setQuery(&QProdAttrGroup);
    const int perChar = DgSelectProdAttr->pixelsForChars(1) - DgSelectProdAttr->pixelsForChars(0);
    DgSelectProdAttr->setColumns({{QStringLiteral("Description"), QStringLiteral("คุณสมบัติสินค้า"), 160 / perChar, false,
                                   Qt::AlignRight | Qt::AlignVCenter},
                                  {kBegin, QStringLiteral("เริ่มต้น"), 120 / perChar, true},
                                  {kEnd, QStringLiteral("สิ้นสุด"), 120 / perChar, true}});
    DgSelectProdAttr->setCellStyler([](const QString& field, int, const QVariant&) {
        widgets::CellStyle style;
        if (field.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
            style.background = QColor(240, 240, 240);
        return style;
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DgSelectProdAttr);

    QProdAttrGroup.setSql({"SELECT G.Id, G.Code, G.Description,", "  C.Id BeginAttrId, C.Code BeginAttrCode,",
                           "  C.Id EndAttrId, C.Code EndAttrCode,",
                           "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) BeginGroupCode,",
                           "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) EndGroupCode", "FROM ProdAttrGroup G",
                           "Left Outer Join ProdAttrCode C On (C.ProdAttrGroup = G.Id)  And (C.Id = 0)",
                           "Where (G.ProductType = :GetType)", "ORDER By G.Description"});

    // The description column is never left selected: entering the grid or a
    // click there lands on the start code.
    const auto toCodeColumn = [this] {
        if (codeField().isEmpty() && !QProdAttrGroup.isEmpty())
            DgSelectProdAttr->setCurrentColumn(DgSelectProdAttr->columnOfField(kBegin));
    };
    connect(DgSelectProdAttr, &widgets::DbGrid::focusIn, this, toCodeColumn);
    connect(DgSelectProdAttr->view()->selectionModel(), &QItemSelectionModel::currentChanged, this, toCodeColumn,
            Qt::QueuedConnection);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this, this, &TFaSelectProdAttr::chooseCode,
                             Qt::WidgetWithChildrenShortcut);
    f5->setObjectName(QStringLiteral("F5"));
}

void TFaSelectProdAttr::reopen(const QString& productType)
{
    QProdAttrGroup.close();
    QProdAttrGroup.setParam(QStringLiteral("GetType"), productType);
    QProdAttrGroup.open();
    DgSelectProdAttr->setEnabled(!QProdAttrGroup.isEmpty());
}

QVector<search::AttributeRange> TFaSelectProdAttr::ranges() const
{
    QVector<search::AttributeRange> list;
    if (!QProdAttrGroup.isOpen())
        return list;
    const int code = QProdAttrGroup.fieldIndex(QStringLiteral("Code"));
    const int begin = QProdAttrGroup.fieldIndex(kBegin);
    const int end = QProdAttrGroup.fieldIndex(kEnd);
    // Codes are upper-case letters and digits, no longer than the column,
    // whatever went into the cell.
    static const QRegularExpression other(QStringLiteral("[^A-Z0-9]"));
    const auto shaped = [](const QVariant& value) {
        return db::variantToText(value).toUpper().remove(other).left(kCodeWidth);
    };
    for (int row = 0; row < QProdAttrGroup.recordCount(); ++row)
        list.append({db::variantToText(QProdAttrGroup.valueAt(row, code)), shaped(QProdAttrGroup.valueAt(row, begin)),
                     shaped(QProdAttrGroup.valueAt(row, end))});
    return list;
}

QString TFaSelectProdAttr::codeField() const
{
    const QString field = DgSelectProdAttr->currentField();
    if (field.compare(kBegin, Qt::CaseInsensitive) == 0)
        return kBegin;
    if (field.compare(kEnd, Qt::CaseInsensitive) == 0)
        return kEnd;
    return QString();
}

void TFaSelectProdAttr::chooseCode()
{
    if (!QProdAttrGroup.isOpen() || QProdAttrGroup.isEmpty())
        return;
    const QString field = codeField().isEmpty() ? kBegin : codeField();
    // A fresh look-up for each use.
    TFrSearchProdAttrCode look(window());
    look.AttrGroupId = int(QProdAttrGroup.asInteger(QStringLiteral("Id")));
    if (look.exec() == QDialog::Accepted)
        QProdAttrGroup.setValue(field, look.SelectedCode);
}
