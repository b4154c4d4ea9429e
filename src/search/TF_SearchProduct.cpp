#include "TF_SearchProduct.h"

#include "ProductStatement.h"
#include "TFaSelectProdAttr.h"

#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/MessageBox.h"
#include "widgets/UpperCaseEntry.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TF_SearchProduct* F_SearchProduct = nullptr;
bool TF_SearchProduct::ProductSortByName = false;

TF_SearchProduct::TF_SearchProduct(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TF_SearchProduct"));
    caption(this, QStringLiteral("ค้นหา สินค้า"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(598, 415);

    GroupAttr = new QGroupBox(QStringLiteral("คุณสมบัติสินค้า"), this);
    GroupAttr->setObjectName(QStringLiteral("GroupAttr"));
    FaSelectProdAttr1 = new TFaSelectProdAttr(GroupAttr);
    FaSelectProdAttr1->setObjectName(QStringLiteral("FaSelectProdAttr1"));
    Panel1 = new QFrame(GroupAttr);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(30);
    ProductCode = new QLineEdit(Panel1);
    ProductCode->setObjectName(QStringLiteral("ProductCode"));
    ProductCode->setMaxLength(60);
    widgets::setUpperCaseEntry(ProductCode);
    SearchMethod = new QComboBox(Panel1);
    SearchMethod->setObjectName(QStringLiteral("SearchMethod"));
    SearchMethod->addItems({QStringLiteral("ขึ้นต้นด้วย"), QStringLiteral("ประกอบด้วย")});
    ProductName = new QLineEdit(Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setMaxLength(60);
    Label1 = boxLabel(ProductCode, QStringLiteral("Label1"), QStringLiteral("รหัสสินค้า"));
    Name = boxLabel(ProductName, QStringLiteral("Name"), QStringLiteral("ชื่อสินค้า"));
    SearchMethod->setAccessibleName(Name->text());
    auto* filters = new QHBoxLayout(Panel1);
    filters->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, ProductCode, SearchMethod, Name, ProductName})
        filters->addWidget(w);
    auto* group = new QVBoxLayout(GroupAttr);
    group->addWidget(FaSelectProdAttr1, 1);
    group->addWidget(Panel1);

    PanelButton = new QFrame(this);
    PanelButton->setObjectName(QStringLiteral("PanelButton"));
    PanelButton->setFixedWidth(90);
    BtSearch = searchButton(QStringLiteral("BtSearch"), QStringLiteral("ค้นหา"));
    BtOK = chooseButton(QStringLiteral("BtOK"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));
    auto* buttons = new QVBoxLayout(PanelButton);
    for (QPushButton* b : {BtSearch, BtOK, BtCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("ค้นหา สินค้า"));
    grid_->setColumns({{QStringLiteral("CODE"), QStringLiteral("รหัส"), charsFor(151)},
                       {QStringLiteral("THAINAME"), QStringLiteral("ชื่อสินค้า"), charsFor(423)}});
    connect(grid_, &widgets::DbGrid::titleClicked, this, [this](const QString& field) {
        ProductSortByName = field.toUpper() != QLatin1String("CODE");
        search();
    });

    auto* left = new QVBoxLayout;
    left->addWidget(GroupAttr, 1);
    left->addWidget(grid_, 1);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addWidget(PanelButton);
    setTabOrder(ProductCode, SearchMethod);
    setTabOrder(SearchMethod, ProductName);

    setFirstBox(ProductName);
    setEmptyChoice(EmptyChoice::StayOpen);
    leaveKeysTo(FaSelectProdAttr1);
}

TF_SearchProduct* TF_SearchProduct::instance()
{
    return widgets::globalWindow(F_SearchProduct);
}

void TF_SearchProduct::showStep()
{
    FaSelectProdAttr1->reopen();
    ProductSortByName = false;
    SearchMethod->setCurrentIndex(1);
    SelectedCode.clear();
    ProductCode->clear();
    ProductName->clear();
}

bool TF_SearchProduct::maySearch()
{
    if (!ProductName->text().trimmed().isEmpty() || !ProductCode->text().trimmed().isEmpty())
        return true;
    widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("กรุณาป้อนรหัส หรือ ชื่อบางส่วน เพื่อค้นหา"),
                         this);
    return false;
}

QStringList TF_SearchProduct::statement()
{
    return search::productStatement({ProductCode->text(), ProductName->text(), SearchMethod->currentIndex() == 1,
                                     FaSelectProdAttr1->ranges(), ProductSortByName});
}

void TF_SearchProduct::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TF_SearchProduct::clearResult()
{
    SelectedCode.clear();
}
