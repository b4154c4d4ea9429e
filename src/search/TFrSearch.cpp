#include "TFrSearch.h"

#include "TitleSort.h"

#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/MessageBox.h"
#include "widgets/UpperCaseEntry.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFrSearch* FrSearch = nullptr;

namespace {

const QString kHint = QStringLiteral("สีแดง : เอกสารยกเลิก\nสีน้ำเงิน : เอกสารรับ/จ่ายแล้ว");

// The state columns in the order they are looked at; only the first one the
// result has counts.
struct StateColumn {
    const char* field;
    const char* marker;
    QColor colour;
};
const StateColumn kStateColumns[] = {
    {"DelFlag", "Y", QColor(255, 0, 0)},
    {"Clear", "Y", QColor(0, 0, 255)},
    {"Active", "N", QColor(255, 0, 0)},
};

} // namespace

TFrSearch::TFrSearch(QWidget* parent) : search::SearchDialog(parent), DelSQL(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFrSearch"));
    caption(this, QStringLiteral("ค้นหา"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(528, 279);

    PanelHeader = new QFrame(this);
    PanelHeader->setObjectName(QStringLiteral("PanelHeader"));
    PanelHeader->setFixedHeight(32);
    Code = new QLineEdit(PanelHeader);
    Code->setObjectName(QStringLiteral("Code"));
    Code->setFixedWidth(120);
    widgets::setUpperCaseEntry(Code);
    QLabel* codeLabel = boxLabel(Code, QStringLiteral("Label1"), QStringLiteral("รหัส"));
    BtSearch = searchButton(QStringLiteral("BtSearch"), QStringLiteral("ค้นหา"), QStringLiteral("Search"));
    BtOk = chooseButton(QStringLiteral("BtOk"), QStringLiteral("เลือก"), QStringLiteral("Choose"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"), QStringLiteral("Cancel"));
    auto* header = new QHBoxLayout(PanelHeader);
    header->setContentsMargins(4, 2, 4, 2);
    for (QWidget* w : std::initializer_list<QWidget*>{codeLabel, Code, BtSearch, BtOk, BtCancel})
        header->addWidget(w);
    header->addStretch(1);

    grid_->setObjectName(QStringLiteral("DgSearch"));
    grid_->setCaption(QStringLiteral("ค้นหา"));
    grid_->setCellStyler([this](const QString&, int row, const QVariant&) { return cellStyle(row); });

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(PanelHeader);
    outer->addWidget(grid_, 1);

    setFirstBox(Code);
    setCodeBox(Code);
    setTitleSort(&SortState());
}

TFrSearch* TFrSearch::instance()
{
    return widgets::globalWindow(FrSearch);
}

search::TitleSort& TFrSearch::SortState()
{
    static search::TitleSort state;
    return state;
}

void TFrSearch::showStep()
{
    const bool inEnglish = english();
    for (QPushButton* b : {BtSearch, BtOk, BtCancel}) {
        QFont f = b->font();
        if (inEnglish)
            f.setPointSize(8);
        b->setFont(f);
    }
    grid_->setToolTip(inEnglish ? QString() : kHint);
    Code->clear();
}

QStringList TFrSearch::statement()
{
    return QSearch.sql();
}

QString TFrSearch::rowText(const QString& field) const
{
    return QSearch.hasField(field) ? QSearch.asString(field) : QString();
}

bool TFrSearch::mayChoose()
{
    if (rowText(QStringLiteral("DelFlag")) != QLatin1String("Y"))
        return true;
    widgets::showMessage(widgets::MessageKind::Information,
                         english() ? QStringLiteral("Document Was Deleted") : QStringLiteral("เอกสารถูกยกเลิกแล้ว"), this);
    if (QSearch.hasField(QStringLiteral("DelRemark")))
        widgets::showMessage(widgets::MessageKind::Information,
                             QStringLiteral("สาเหตุยกเลิก : ") + QSearch.asString(QStringLiteral("DelRemark")), this);
    ResultValue.clear();
    return false;
}

void TFrSearch::takeResult()
{
    ResultValue = QSearch.asString(KeyField);
}

void TFrSearch::clearResult()
{
    ResultValue.clear();
}

widgets::CellStyle TFrSearch::cellStyle(int row) const
{
    widgets::CellStyle style;
    for (const StateColumn& state : kStateColumns) {
        const int column = QSearch.fieldIndex(QLatin1String(state.field));
        if (column < 0)
            continue;
        // The current row keeps the grid's selection colour over either.
        style.background = db::variantToText(QSearch.valueAt(row, column)) == QLatin1String(state.marker)
            ? state.colour
            : palette().color(QPalette::Window);
        return style;
    }
    return style;
}

// ---------------------------------------------------------------- permanent delete

bool TFrSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == grid_->view()->viewport() && isDeleteGesture(event)) {
        deleteCancelledDocument();
        return true;
    }
    return search::SearchDialog::eventFilter(watched, event);
}

bool TFrSearch::isDeleteGesture(const QEvent* event) const
{
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::RightButton && mouse->buttons() == Qt::RightButton
        && (mouse->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier);
}

void TFrSearch::deleteCancelledDocument()
{
    // Only an already cancelled document, of a table the caller named.
    if (TableName.trimmed().isEmpty() || !QSearch.isOpen() || QSearch.isEmpty()
        || !QSearch.hasField(QStringLiteral("Id")) || !QSearch.hasField(QStringLiteral("Delflag")))
        return;
    const qint64 id = QSearch.asInteger(QStringLiteral("Id"));
    if (id <= 0 || QSearch.asString(QStringLiteral("Delflag")) != QLatin1String("Y"))
        return;
    const QColor blue(0, 0, 255);
    if (!widgets::confirmInColour(QStringLiteral("Confirm Delete #1/2 ?"), blue, Qt::white, this)
        || !widgets::confirmInColour(QStringLiteral("Confirm Delete #2/2 ?"), blue, Qt::white, this))
        return;
    QStringList& lines = DelSQL.lines();
    lines.clear();
    const QString table = TableName.trimmed().toUpper();
    if (table == QLatin1String("IVHD"))
        lines << QStringLiteral("Delete From IvShip Where IvHd=") + QString::number(id);
    else if (table == QLatin1String("SOHD"))
        lines << QStringLiteral("Delete From SoShip Where SoHd=") + QString::number(id);
    lines << QStringLiteral("Delete From ") + TableName + QStringLiteral(" Where Id=") + QString::number(id);
    // A failure goes to the error handler and leaves the list as it was.
    DelSQL.execute();
    search();
}
