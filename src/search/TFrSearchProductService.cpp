#include "TFrSearchProductService.h"

#include "PicturePanel.h"
#include "ProductServiceLayout.h"
#include "ProductTypeGroup.h"
#include "TF_SearchMisc.h"
#include "TFaSelectProdAttr.h"

#include "config/TDMConfig.h"
#include "data/ProductPicture.h"
#include "data/TDM.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/MessageBox.h"
#include "widgets/TKIdLookup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

TFrSearchProductService* FrSearchProductService = nullptr;

namespace {

TFrSearchProductService::ProductionDetailOpener& opener()
{
    static TFrSearchProductService::ProductionDetailOpener theOpener;
    return theOpener;
}

// The attribute groups of finished goods serve raw material and the mixed
// choice too.
QString attributeType(const QString& letter)
{
    static const QStringList finished{QStringLiteral("A"), QStringLiteral("P"), QStringLiteral("R"), QStringLiteral("B")};
    return finished.contains(letter) ? QStringLiteral("P") : letter;
}

const QString kGridHint = QStringLiteral(
    "กด Double - Click เพื่อเลือก\n                 หรือ\n***********************************\n"
    "      F12 : Preview Picture\n***********************************");

} // namespace

TFrSearchProductService::TFrSearchProductService(QWidget* parent)
    : TFrSearch(parent), MData(QStringLiteral("DMDATA")), MData2(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFrSearchProductService"));
    caption(this, QStringLiteral("ค้นหาสินค้า/บริการ"), QStringLiteral("Search Product Code"));
    setFixedSize(954, 421);
    buildFilters();
    buildLayout();

    connect(&QSearch, &db::Query::currentRowChanged, this, [this] { showPicture(); });
    connect(&QSearch, &db::Query::opened, this, &TFrSearchProductService::trimFigures);
    connect(ProductName, &QLineEdit::editingFinished, this, [this] {
        if (DM)
            DM->LastProductSearch = ProductName->text();
    });
    connect(SelectProductType, &search::ProductTypeGroup::itemClicked, this, &TFrSearchProductService::typeClicked);
    connect(PType, &TKIdLookup::searchKey, BtSearchPType, &QToolButton::click);
    connect(PGroup, &TKIdLookup::searchKey, BtSearchPGroup, &QToolButton::click);
    connect(BtSearchPType, &QToolButton::clicked, this, [this] {
        pickMisc(PType, QStringLiteral("ค้นหา ชนิดสินค้า"), QStringLiteral("Search Product Type"), QStringLiteral("PTYPE"));
    });
    connect(BtSearchPGroup, &QToolButton::clicked, this, [this] {
        pickMisc(PGroup, QStringLiteral("ค้นหา กลุ่มสินค้า"), QStringLiteral("Search Product Group"),
                 QStringLiteral("PGROUP"));
    });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("แสดงรายละเอียดการผลิต"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &TFrSearchProductService::ShowProductionDetail);
    connect(grid_->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(grid_->view()->viewport()->mapToGlobal(at));
    });

    MData.openInMemory({QStringLiteral("PType")});
    MData.append();
    MData2.openInMemory({QStringLiteral("PGroup")});
    MData2.append();
    PType->bindTo(&MData, QStringLiteral("PType"));
    PGroup->bindTo(&MData2, QStringLiteral("PGroup"));
    resetFilterRows();
    setFirstBox(ProductName);
}

TFrSearchProductService* TFrSearchProductService::instance()
{
    return widgets::globalWindow(FrSearchProductService);
}

void TFrSearchProductService::setProductionDetailOpener(ProductionDetailOpener newOpener)
{
    opener() = std::move(newOpener);
}

const TFrSearchProductService::ProductionDetailOpener& TFrSearchProductService::productionDetailOpener()
{
    return opener();
}

// ---------------------------------------------------------------- layout

void TFrSearchProductService::buildFilters()
{
    PnAttr = new QFrame(this);
    PnAttr->setObjectName(QStringLiteral("PnAttr"));
    PnAttr->setFixedHeight(134);
    FaSelectProdAttr1 = new TFaSelectProdAttr(PnAttr);
    FaSelectProdAttr1->setObjectName(QStringLiteral("FaSelectProdAttr1"));
    FaSelectProdAttr1->setFixedWidth(549);
    leaveKeysTo(FaSelectProdAttr1);
    SelectProductType = new search::ProductTypeGroup(PnAttr);
    SelectProductType->setObjectName(QStringLiteral("SelectProductType"));
    ProductTypeItems = SelectProductType->items();
    auto* attr = new QHBoxLayout(PnAttr);
    attr->setContentsMargins(0, 0, 0, 0);
    attr->addWidget(FaSelectProdAttr1);
    attr->addWidget(SelectProductType, 1);

    const auto codeBox = [this](TKIdLookup*& box, QLabel*& description, QToolButton*& button, const QString& name,
                                const QString& group, const QString& hint) {
        box = new TKIdLookup(PanelHeader);
        box->setObjectName(name);
        box->setTable(QStringLiteral("Misc"), QStringLiteral("Id"), QStringLiteral("Code"), QStringLiteral("Description"));
        box->setRestriction(QStringLiteral("GroupCode = '%1'").arg(group));
        box->setEmptyAllowed(true);
        // Filled through the look-up only; read-only rather than disabled, so
        // that the keyboard reaches it and F5.
        box->setReadOnly(true);
        box->setFixedWidth(60);
        description = new QLabel(PanelHeader);
        description->setObjectName(name + QStringLiteral("Desc"));
        description->setMinimumWidth(110);
        box->setDescriptionLabel(description);
        button = new QToolButton(PanelHeader);
        button->setObjectName(QStringLiteral("BtSearch") + name);
        button->setText(QStringLiteral("..."));
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::PointingHandCursor);
    };
    codeBox(PType, PTypeDesc, BtSearchPType, QStringLiteral("PType"), QStringLiteral("PTYPE"),
            QStringLiteral("ค้นหา ชนิดสินค้า"));
    codeBox(PGroup, PGroupDesc, BtSearchPGroup, QStringLiteral("PGroup"), QStringLiteral("PGROUP"),
            QStringLiteral("ค้นหา กลุ่มสินค้า"));

    SearchMethod = new QComboBox(PanelHeader);
    SearchMethod->setObjectName(QStringLiteral("SearchMethod"));
    SearchMethod->addItems({QStringLiteral("ขึ้นต้นด้วย"), QStringLiteral("ประกอบด้วย")});
    SearchMethod->setAccessibleName(QStringLiteral("วิธีค้นหาชื่อ"));
    ProductName = new QLineEdit(PanelHeader);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setMaxLength(60);
    ProductName->setToolTip(QStringLiteral("กด F1 ไปช่องรหัส"));
    // Sizes enter the statement as numbers: digits with at most one point.
    const auto* sizeValidator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,14}(\\.\\d{0,4})?")), this);
    for (QLineEdit** box : {&Size_W, &Size_L, &Size_H}) {
        *box = new QLineEdit(PanelHeader);
        (*box)->setValidator(sizeValidator);
        (*box)->setFixedWidth(50);
    }
    Size_W->setObjectName(QStringLiteral("Size_W"));
    Size_L->setObjectName(QStringLiteral("Size_L"));
    Size_H->setObjectName(QStringLiteral("Size_H"));
}

void TFrSearchProductService::buildLayout()
{
    // The inherited header strip gets two rows for the product's boxes.
    auto* codeLabel = PanelHeader->findChild<QLabel*>(QStringLiteral("Label1"));
    delete PanelHeader->layout();
    PanelHeader->setFixedHeight(62);
    Code->setFixedWidth(110);
    Name = boxLabel(ProductName, QStringLiteral("Name"), QStringLiteral("ชื่อ"));
    caption(Name, Name->text(), QStringLiteral("Name"));
    caption(codeLabel, codeLabel->text(), QStringLiteral("Code"));
    QLabel* kindLabel = boxLabel(PType, QStringLiteral("Label2"), QStringLiteral("ชนิดสินค้า"));
    QLabel* groupLabel = boxLabel(PGroup, QStringLiteral("Label3"), QStringLiteral("กลุ่มสินค้า"));
    QLabel* widthLabel = boxLabel(Size_W, QStringLiteral("Label4"), QStringLiteral("กว้าง"));
    QLabel* lengthLabel = boxLabel(Size_L, QStringLiteral("Label5"), QStringLiteral("ยาว"));
    QLabel* heightLabel = boxLabel(Size_H, QStringLiteral("Label6"), QStringLiteral("สูง"));
    const auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* w : widgets)
            line->addWidget(w);
        return line;
    };
    QHBoxLayout* first = row({codeLabel, Code, SearchMethod, kindLabel, PType, BtSearchPType, PTypeDesc});
    first->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(BtSearch), static_cast<QWidget*>(BtOk), static_cast<QWidget*>(BtCancel)})
        first->addWidget(w);
    QHBoxLayout* second = row({Name, ProductName, widthLabel, Size_W, lengthLabel, Size_L, heightLabel, Size_H,
                               groupLabel, PGroup, BtSearchPGroup, PGroupDesc});
    second->setStretch(1, 1);
    auto* header = new QVBoxLayout(PanelHeader);
    header->setContentsMargins(4, 2, 4, 2);
    header->setSpacing(2);
    header->addLayout(first);
    header->addLayout(second);

    HidePanel = new search::PicturePanel(this);
    HidePanel->setObjectName(QStringLiteral("HidePanel"));
    HidePanel->setFixedWidth(242);
    ProductImage = HidePanel->image();
    ProductImage->setObjectName(QStringLiteral("ProductImage"));

    fcStatusBar1 = new QStatusBar(this);
    fcStatusBar1->setObjectName(QStringLiteral("fcStatusBar1"));
    fcStatusBar1->setSizeGripEnabled(false);
    auto* glyph = new QLabel(fcStatusBar1);
    glyph->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(16, 16));
    fcStatusBar1->addWidget(glyph);
    fcStatusBar1->addWidget(new QLabel(QStringLiteral("Preview Picture (F12)"), fcStatusBar1));
    fcStatusBar1->addWidget(new QLabel(QStringLiteral("QEL Product Search Manager"), fcStatusBar1), 1);

    grid_->setCaption(QStringLiteral("ค้นหาสินค้า/บริการ"));
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->removeWidget(grid_);
    outer->insertWidget(0, PnAttr);
    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(grid_, 1);
    body->addWidget(HidePanel);
    outer->addLayout(body, 1);
    outer->addWidget(fcStatusBar1);

    const QList<QWidget*> order{FaSelectProdAttr1->grid(), Code, SearchMethod, PType, ProductName, Size_W, Size_L,
                                Size_H, BtOk, BtCancel, PGroup, grid_};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFrSearchProductService::applyLayout(int number)
{
    layoutNumber_ = number;
    const search::ProductServiceLayout layout = search::productServiceLayout(number);
    const bool inEnglish = english();
    QVector<widgets::GridColumn> columns;
    for (int i = 0; i < layout.columns.size(); ++i) {
        const search::LayoutColumn& c = layout.columns[i];
        static const char* const englishTitles[] = {"Code", "Name", "Remark"};
        const QString title =
            inEnglish && i < (layout.hasRemark ? 3 : 2) ? QLatin1String(englishTitles[i]) : c.title;
        columns.append({c.field, title, charsFor(c.width), false,
                        (c.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter});
        grid_->setTitleAlignment(c.field, c.titleCentred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid_->setColumns(columns);
    grid_->view()->setContextMenuPolicy(layout.detailMenu ? Qt::CustomContextMenu : Qt::NoContextMenu);
}

void TFrSearchProductService::applyEnglish()
{
    const bool inEnglish = english();
    SelectProductType->setEnglish(inEnglish);
    SearchMethod->setItemText(0, inEnglish ? QStringLiteral("Start With") : QStringLiteral("ขึ้นต้นด้วย"));
    SearchMethod->setItemText(1, inEnglish ? QStringLiteral("Consist Of") : QStringLiteral("ประกอบด้วย"));
    if (inEnglish)
        FaSelectProdAttr1->setTitles(QStringLiteral("Product Attribute"), QStringLiteral("From Code"),
                                     QStringLiteral("To Code"));
    else
        FaSelectProdAttr1->setTitles(QStringLiteral("คุณสมบัติสินค้า"), QStringLiteral("เริ่มต้น"), QStringLiteral("สิ้นสุด"));
}

// ---------------------------------------------------------------- show

void TFrSearchProductService::showStep()
{
    TFrSearch::showStep();
    db::Query& config = DM->Config();
    if (!english())
        grid_->setToolTip(kGridHint);
    resetFilterRows();
    applyLayout(int(config.asInteger(QStringLiteral("SearchProductNo"))));
    applyEnglish();
    PictureFolder = productPictureFolder(config.asString(QStringLiteral("PicturePath")));
    HidePanel->hide();
    if (MasterCodeFlag.trimmed().isEmpty())
        MasterCodeFlag = QStringLiteral("N");
    KeyField = QStringLiteral("Code");
    SearchMethod->setCurrentIndex(int(config.asInteger(QStringLiteral("SearchProductMethod"))));
    ResultValue.clear();
    Code->clear();
    // A new opening sorts by code again.
    QSearch.setSql({});
    SelectProductType->setEnabled(true);
    reopenAttributes();
    fixTypeChoice();
    fillNameBox();
}

void TFrSearchProductService::resetFilterRows()
{
    PType->clear();
    PGroup->clear();
    MData.setValue(QStringLiteral("PType"), 0);
    MData2.setValue(QStringLiteral("PGroup"), 0);
}

void TFrSearchProductService::fillNameBox()
{
    const bool showLast = DM && DM->Config().asString(QStringLiteral("ShowLastSearch")) == QLatin1String("Y");
    ProductName->setText(showLast ? DM->LastProductSearch : QString());
}

void TFrSearchProductService::reopenAttributes()
{
    FaSelectProdAttr1->reopen(attributeType(ProductTypeFilter.trimmed()));
}

void TFrSearchProductService::fixTypeChoice()
{
    const int item = search::ProductTypeGroup::itemOf(ProductTypeFilter.trimmed());
    if (item == search::ProductTypeGroup::kUnknown)
        return;
    SelectProductType->choose(item);
    if (item < 0) {
        SelectProductType->setEnabled(true);
        return;
    }
    SelectProductType->setEnabled(false);
    if (item == 2)
        FaSelectProdAttr1->grid()->setEnabled(false);
}

void TFrSearchProductService::typeClicked(int item)
{
    const QString letter = search::ProductTypeGroup::letterOf(item);
    ProductTypeFilter = letter;
    ResultValue.clear();
    Code->clear();
    fillNameBox();
    SelectProductType->setEnabled(true);
    reopenAttributes();
    SelectProductType->choose(item);
    if (letter == QLatin1String("M"))
        FaSelectProdAttr1->grid()->setEnabled(false);
    QSearch.close();
    ProductName->setFocus();
}

search::ProductTypeChoice TFrSearchProductService::typeChoice() const
{
    return SelectProductType->choice();
}

// ---------------------------------------------------------------- keys and look-ups

bool TFrSearchProductService::dialogKey(QKeyEvent* key)
{
    if (key->key() == Qt::Key_F12) {
        HidePanel->setVisible(!HidePanel->isVisible());
        return true;
    }
    if (key->key() == Qt::Key_F1 && QApplication::focusWidget() == ProductName) {
        Code->setFocus();
        return true;
    }
    return false;
}

void TFrSearchProductService::pickMisc(TKIdLookup* box, const QString& thai, const QString& english,
                                       const QString& group)
{
    // A look-up of its own for each use, so that no other user's group or
    // caption is disturbed.
    TF_SearchMisc look;
    look.setWindowTitle(TFrSearch::english() ? english : thai);
    look.MiscGroup = group;
    if (look.exec() != QDialog::Accepted)
        return;
    box->setFocus();
    box->setText(look.SelectedCode);
}

// ---------------------------------------------------------------- search

QStringList TFrSearchProductService::statement()
{
    // A search that finds nothing leaves the clerk in the code box; one
    // that finds rows moves on to the list.
    if (Code->isEnabled())
        Code->setFocus();
    if (DM)
        DM->LastProductSearch = ProductName->text();
    search::ProductServiceCriteria c;
    c.layout = layoutNumber_;
    c.runYear = int(DM->Config().asInteger(QStringLiteral("RunYear")));
    c.code = Code->text();
    c.name = ProductName->text();
    c.nameContains = SearchMethod->currentIndex() == 1;
    c.includeBlocked = IncludeBlocked;
    c.masterCode = MasterCodeFlag;
    c.type = typeChoice();
    c.width = Size_W->text();
    c.length = Size_L->text();
    c.height = Size_H->text();
    c.kind = int(MData.asInteger(QStringLiteral("PType")));
    c.group = int(MData2.asInteger(QStringLiteral("PGroup")));
    c.ranges = FaSelectProdAttr1->ranges();
    c.customerSite = search::isCustomerSite(DM->BusinessDatabaseName, DMConfig ? DMConfig->Run.UserCode : QString());
    // A title click rewrote the order line of the statement in QSearch; the
    // order stays until the window is opened again.
    const QStringList previous = QSearch.sql();
    if (!previous.isEmpty() && previous.last().contains(QLatin1String("ORDER BY "), Qt::CaseInsensitive))
        c.orderLine = previous.last();
    return search::productServiceStatement(c);
}

// ---------------------------------------------------------------- picture, detail

void TFrSearchProductService::trimFigures()
{
    // str() pads its figures to ten places: in a narrow right-aligned
    // column the blanks would push the digits out of sight.
    for (const widgets::GridColumn& c : grid_->columns()) {
        const int column = QSearch.fieldIndex(c.field);
        if (column < 0 || !(c.alignment & Qt::AlignRight))
            continue;
        for (int row = 0; row < QSearch.recordCount(); ++row) {
            const QVariant value = QSearch.valueAt(row, column);
            if (value.metaType().id() == QMetaType::QString)
                QSearch.setValueAt(row, column, value.toString().trimmed());
        }
    }
}

void TFrSearchProductService::showPicture()
{
    if (HidePanel->isHidden())
        return;
    const QString stored = QSearch.isOpen() && !QSearch.isEmpty() && QSearch.hasField(QStringLiteral("Picture1"))
        ? QSearch.asString(QStringLiteral("Picture1"))
        : QString();
    HidePanel->showPicture(stored, productPictureFile(PictureFolder, stored));
}

void TFrSearchProductService::ShowProductionDetail()
{
    if (!QSearch.isOpen())
        return;
    if (QSearch.isEmpty()) {
        widgets::showMessage(widgets::MessageKind::Plain, QStringLiteral("ไม่พบข้อมูลสินค้าที่ต้องการ !!"), this);
        return;
    }
    const QString code = QSearch.asString(QStringLiteral("Code")).trimmed();
    if (code.isEmpty()) {
        widgets::showMessage(widgets::MessageKind::Plain, QStringLiteral("ไม่มีข้อมูลรหัสสินค้า !!"), this);
        return;
    }
    if (productionDetailOpener())
        productionDetailOpener()(code.toUpper(), this);
}
