#include "TFrInquiryPrice.h"

#include "OfferPrinter.h"

#include "config/TDMConfig.h"
#include "widgets/NumberMask.h"
#include "data/ProductPicture.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "db/Quoting.h"
#include "search/TF_SearchCustomer.h"
#include "search/TFrSearchProductService.h"
#include "widgets/DbGrid.h"
#include "widgets/ElidedLabel.h"
#include "widgets/Light.h"
#include "widgets/MessageBox.h"
#include "widgets/PageControl.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

TFrInquiryPrice* FrInquiryPrice = nullptr;
QString TFrInquiryPrice::PictureFolder;
QString TFrInquiryPrice::StartFolder;

namespace {

const QString kAlias = QStringLiteral("DMDATA");
const QString kCaption = QStringLiteral("โปรแกรมสอบถามราคาทางโทรศัพท์");
const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kHeaderGrey(64, 64, 64);
// How the grids write amounts and counts.
const QString kMoney = QStringLiteral("###,##0.00");
const QString kCount = QStringLiteral("###,##0.##");

// Offer-list fields and the width of the text ones.
const QStringList kOfferFields{QStringLiteral("ProductCode"), QStringLiteral("ProductName"),
                               QStringLiteral("WareHouse"),   QStringLiteral("Quantity"),
                               QStringLiteral("Price"),       QStringLiteral("Total"),
                               QStringLiteral("Units")};
constexpr int kOfferTextWidth = 20;
// What the offer list's number fields hold: a quantity is a 32-bit whole
// number, a price a non-negative amount of money.
constexpr double kQuantityMin = std::numeric_limits<qint32>::min();
constexpr double kQuantityMax = std::numeric_limits<qint32>::max();
constexpr double kPriceMax = 922337203685477.5807;

// A text cut to fit an offer-list field: whole characters as the reader
// sees them (a Thai letter keeps its vowel and tone marks, an emoji both
// halves), never longer than the field.
QString offerText(const QString& text)
{
    if (text.size() <= kOfferTextWidth)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.setPosition(kOfferTextWidth);
    if (!characters.isAtBoundary())
        characters.toPreviousBoundary();
    return text.left(qMax(0, int(characters.position())));
}

// A typed code as the prefix pattern of a LIKE literal.
QString codePrefix(const QLineEdit* box)
{
    return db::quoted(db::startingWith(box->text().trimmed()));
}

bool hasRow(const db::Query& q)
{
    return q.isOpen() && !q.isEmpty();
}

QPixmap drawnIcon(const QColor& colour, const QString& glyph, int size = 16)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 3, 3);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(size - 5);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    return pm;
}

// The picture at the left of the offer area: a price tag.
QPixmap decorativePicture()
{
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF tag{{10, 20}, {40, 6}, {66, 32}, {36, 62}, {10, 50}};
    p.setBrush(QColor(255, 200, 60));
    p.setPen(QPen(QColor(120, 80, 0), 2));
    p.drawPolygon(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(22, 26), 4, 4);
    p.setPen(QColor(120, 80, 0));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(18);
    p.setFont(f);
    p.drawText(QRectF(24, 24, 36, 30), Qt::AlignCenter, QStringLiteral("฿"));
    return pm;
}

} // namespace

TFrInquiryPrice::TFrInquiryPrice(QWidget* parent)
    : QDialog(parent),
      QCustomer(kAlias),
      QProduct(kAlias),
      QUnits(kAlias),
      QPrice(kAlias),
      QLastMr(kAlias),
      Qonhand(kAlias),
      QHistory(kAlias),
      QStockUnit(kAlias),
      QDemoSo(QString())
{
    // Created before the data modules: nothing here may touch them.
    setObjectName(QStringLiteral("TFrInquiryPrice"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    buildStatements();
    buildLayout();
    // Laid out for 792 by 560; a larger window gives the room to the grids.
    // The size limit is set once: the grids' wishes change with every
    // product, and the window's frame need not follow them.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(792, 560);
    resize(792, 560);
    qApp->installEventFilter(this);
}

TFrInquiryPrice::~TFrInquiryPrice()
{
    qApp->removeEventFilter(this);
}

void TFrInquiryPrice::buildStatements()
{
    QUnits.setSql({"Select Id UnitId, Product, UnitName ,Barcode,UnitDesc,PurcPrice", "From ProductUnits",
                   "Where Product = :Id"});
    QPrice.setSql({"Select M.Id PriceId, M.Description, ", "       Coalesce(P.Price,0)Price", "From Misc M",
                   "Left Outer Join ProductPrice P On (P.PriceType = M.Id) And (P.ProductUnits = :UnitId)",
                   "Where (M.GroupCode = 'PRICETYPE')", "union all",
                   "select 0 PriceId, 'ราคาขายลูกค้า' Description, Price ", "From CustomerProductPrice Cp ",
                   "Where (ProductUnits = :UnitId) And (Cp.Customer = :Customer)"});
    Qonhand.setSql({"select Id, Code, sumqnty, OnhandStr, (Case When sumqnty > 0 Then 1 When sumqnty < 0 Then 2 "
                    "Else 3 End) Rec",
                    QStringLiteral("From(\r\tselect  w.id, w.code,"),
                    "\t            (select sum(quantity) from productonhand ",
                    "\t             where warehouse=w.id and product=:id and balanceyear=:inputyear) sumqnty,",
                    QStringLiteral("\t            '") + QString(40, QLatin1Char(' ')) + QStringLiteral("' OnhandStr"),
                    "\tfrom warehouse w",
                    ") As M",
                    "order by Rec, sumqnty Desc"});
    QStockUnit.setSql({"select id ", "from productunits", "where (product=:pid) and (stockunitflag='Y')"});
    QLastMr.setSql({"select top 1 M.Price,M.Productunits,U.UnitName,H.MrDate", "From MrDt M", "Inner Join MrHd H",
                    "On (H.Id=M.Mrhd) and (H.Delflag<>'Y')", "Inner Join ProductUnits U", "On (U.Id=M.ProductUnits)",
                    "Where M.Product=:Id", "Order by H.MrDate Desc"});
    QHistory.setSql({
        "Select  'ขายเชื่อ' IvType,H.IvDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From Ivdt D",
        "            Inner Join Ivhd H On (H.id=D.Ivhd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        "Select  'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From PosDt D",
        "            Inner Join PosHd H  On (H.Id=D.PosHd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        "Select 'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name",
        "            From PosDetail D",
        "            Inner Join PosHeader H On (H.Id=D.PosHeader) and (H.Delflag <> 'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Order By 1,2"});

    // The unit, last-purchase and on-hand panels follow the product row; the
    // prices follow the unit row.
    connect(&QProduct, &db::Query::currentRowChanged, this, [this] {
        for (db::Query* detail : {&QUnits, &QLastMr, &Qonhand}) {
            if (detail->isOpen())
                openDetail(*detail);
        }
    });
    connect(&QUnits, &db::Query::currentRowChanged, this, [this] {
        if (QPrice.isOpen())
            openDetail(QPrice);
    });
}

void TFrInquiryPrice::openDetail(db::Query& detail)
{
    const bool product = hasRow(QProduct);
    if (&detail == &QPrice) {
        QPrice.setParam(QStringLiteral("UnitId"), hasRow(QUnits) ? QUnits.value(QStringLiteral("UnitId")) : QVariant());
    } else {
        const QVariant id = product ? QProduct.value(QStringLiteral("Id")) : QVariant();
        detail.setParam(QStringLiteral("Id"), id);
        if (&detail == &Qonhand)
            Qonhand.setParam(QStringLiteral("inputyear"),
                             product ? QProduct.value(QStringLiteral("InputYear")) : QVariant());
    }
    detail.close();
    detail.open();
}

QFrame* TFrInquiryPrice::panelHeader(const QString& caption, widgets::Light* light, QWidget* parent)
{
    auto* header = new QFrame(parent);
    header->setFixedHeight(20);
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window, kHeaderGrey);
    header->setPalette(pal);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(4, 1, 4, 1);
    auto* label = new QLabel(caption, header);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
    row->addWidget(label, 1);
    light->setParent(header);
    row->addWidget(light);
    return header;
}

void TFrInquiryPrice::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    QFont bold = font();
    bold.setBold(true);

    // Entry strip.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(83);
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* entry = new QHBoxLayout(Panel1);
    auto* codes = new QGridLayout;
    // Named for the box it searches, so that the two read apart.
    auto makeSearchButton = [this](const QString& name, const QString& boxCaption) {
        auto* b = new QToolButton(Panel1);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setToolTip(QStringLiteral("ค้นหารหัสกลุ่ม"));
        b->setCursor(Qt::PointingHandCursor);
        b->setIcon(drawnIcon(QColor(40, 110, 200), QStringLiteral("?")));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(QStringLiteral("ค้นหารหัสกลุ่ม ") + boxCaption);
        return b;
    };
    auto* customerLabel = new QLabel(QStringLiteral("รหัสลูกค้า"), Panel1);
    customerLabel->setFont(bold);
    GetCustomerCode = new QLineEdit(Panel1);
    GetCustomerCode->setObjectName(QStringLiteral("GetCustomerCode"));
    GetCustomerCode->setAccessibleName(customerLabel->text());
    customerLabel->setBuddy(GetCustomerCode);
    BtSearchCustomer = makeSearchButton(QStringLiteral("BtSearchCustomer"), customerLabel->text());
    CustomerName = new widgets::ElidedLabel(QStringLiteral("-"), Panel1);
    CustomerName->setObjectName(QStringLiteral("CustomerName"));
    auto* productLabel = new QLabel(QStringLiteral("รหัสสินค้า"), Panel1);
    productLabel->setFont(bold);
    GetProductCode = new QLineEdit(Panel1);
    GetProductCode->setObjectName(QStringLiteral("GetProductCode"));
    GetProductCode->setAccessibleName(productLabel->text());
    productLabel->setBuddy(GetProductCode);
    BtSearchProduct = makeSearchButton(QStringLiteral("BtSearchProduct"), productLabel->text());
    ProductName = new widgets::ElidedLabel(QStringLiteral("-"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    for (QLabel* l : {CustomerName, ProductName})
        l->setFont(bold);
    GetCustomerCode->setFixedWidth(120);
    GetProductCode->setFixedWidth(120);
    codes->addWidget(customerLabel, 0, 0);
    codes->addWidget(GetCustomerCode, 0, 1);
    codes->addWidget(BtSearchCustomer, 0, 2);
    codes->addWidget(CustomerName, 0, 3);
    codes->addWidget(productLabel, 1, 0);
    codes->addWidget(GetProductCode, 1, 1);
    codes->addWidget(BtSearchProduct, 1, 2);
    codes->addWidget(ProductName, 1, 3);
    codes->setColumnStretch(3, 1);
    entry->addLayout(codes, 1);

    Panel11 = new QFrame(Panel1);
    Panel11->setObjectName(QStringLiteral("Panel11"));
    Panel11->setAutoFillBackground(true);
    QPalette whitePanel = Panel11->palette();
    whitePanel.setColor(QPalette::Window, Qt::white);
    Panel11->setPalette(whitePanel);
    auto* buttons = new QHBoxLayout(Panel11);
    auto makeButton = [&](const QString& name, const QString& caption, const QColor& colour, const QString& glyph) {
        auto* b = new QPushButton(drawnIcon(colour, glyph, 20), caption, Panel11);
        b->setObjectName(name);
        b->setFlat(true);
        b->setMinimumHeight(56);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(bold);
        buttons->addWidget(b);
        return b;
    };
    BtNew = makeButton(QStringLiteral("BtNew"), QStringLiteral("เริ่มใหม่ <F3>"), QColor(60, 140, 60), QStringLiteral("+"));
    BtExec = makeButton(QStringLiteral("BtExec"), QStringLiteral("Load ราคา"), QColor(40, 110, 200), QStringLiteral("฿"));
    BtAdd = makeButton(QStringLiteral("BtAdd"), QStringLiteral("&Add <F7>"), QColor(200, 120, 20), QStringLiteral("↓"));
    entry->addWidget(Panel11);
    outer->addWidget(Panel1);

    // Information area.
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setMinimumHeight(197);
    auto* info = new QVBoxLayout(Panel2);
    info->setContentsMargins(2, 2, 2, 2);
    PageCtrl = new widgets::PageControl(Panel2);
    PageCtrl->setObjectName(QStringLiteral("PageCtrl"));
    PageCtrl->setFocusPolicy(Qt::NoFocus);
    info->addWidget(PageCtrl);

    auto makeInfoGrid = [this](const QString& name, const QString& caption, QWidget* parent) {
        auto* g = new widgets::DbGrid(parent);
        g->setObjectName(name);
        g->setCaption(caption);
        g->setReadOnly(true);
        g->setRowIndicator(true);
        g->setRowSelect(true);
        g->setWordWrap(true);
        g->setAlternateRowColor(QColor(240, 250, 255));
        g->setTitleColors(kSilver, Qt::black);
        QFont small = g->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        g->setTitleFont(small);
        // Columns as wide as what they show; a list longer than the panel
        // scrolls rather than hiding its last rows.
        g->setFitColumnsToContent(true);
        g->setScrollBarPolicies(Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded);
        watchGridFocus(g);
        return g;
    };

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* panels = new QHBoxLayout(TabSheet1);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(2);
    // Each panel is as wide as its grid's columns; room beyond that goes to
    // them in turn.
    auto makePanel = [&](const QString& caption, widgets::Light* light, widgets::DbGrid*& grid, const QString& gridName,
                         int stretch, QFrame* frame = nullptr) {
        QFrame* p = frame ? frame : new QFrame(TabSheet1);
        auto* v = new QVBoxLayout(p);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        v->addWidget(panelHeader(caption, light, p));
        grid = makeInfoGrid(gridName, caption, p);
        v->addWidget(grid);
        panels->addWidget(p, stretch);
        return p;
    };
    Light5 = new widgets::Light(kNavy);
    Light5->setObjectName(QStringLiteral("Light5"));
    Light1 = new widgets::Light(kSilver);
    Light1->setObjectName(QStringLiteral("Light1"));
    Light2 = new widgets::Light(kSilver);
    Light2->setObjectName(QStringLiteral("Light2"));
    Light4 = new widgets::Light(kSilver);
    Light4->setObjectName(QStringLiteral("Light4"));
    makePanel(QStringLiteral("ปริมาณคงเหลือ"), Light5, DgOnhand, QStringLiteral("DgOnhand"), 0);
    makePanel(QStringLiteral("หน่วยสินค้า"), Light1, DgUnits, QStringLiteral("DgUnits"), 0);
    Panel5 = new QFrame(TabSheet1);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    makePanel(QStringLiteral("ข้อมูลราคาขาย"), Light2, DgPrice, QStringLiteral("DgPrice"), 0, Panel5);
    DgOnhand->setFooterVisible(true);
    DgOnhand->setColumns({{QStringLiteral("code"), QStringLiteral("คลัง"), 10, false},
                          {QStringLiteral("OnhandStr"), QStringLiteral("คงเหลือ"), 40, false}});
    DgOnhand->setQuery(&Qonhand);
    DgUnits->setQuery(&QUnits);
    DgPrice->setColumns({{QStringLiteral("Description"), QStringLiteral("รายละเอียดราคา"), 20, false},
                         {QStringLiteral("Price"), QStringLiteral("ราคา"), 10, false, Qt::AlignRight | Qt::AlignVCenter,
                          kMoney}});
    DgPrice->setTitleAlignment(QStringLiteral("Price"), Qt::AlignRight | Qt::AlignVCenter);
    DgPrice->setQuery(&QPrice);
    PageCtrl->addTab(TabSheet1, drawnIcon(QColor(40, 110, 200), QStringLiteral("i")), QStringLiteral("ข้อมูลสินค้า"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* historyBox = new QVBoxLayout(TabSheet2);
    historyBox->setContentsMargins(0, 0, 0, 0);
    historyBox->setSpacing(0);
    historyBox->addWidget(panelHeader(QStringLiteral("ประวัติการขายลูกค้า"), Light4, TabSheet2));
    DgHistory = new widgets::DbGrid(TabSheet2);
    DgHistory->setObjectName(QStringLiteral("DgHistory"));
    DgHistory->setCaption(QStringLiteral("ประวัติการขายลูกค้า"));
    DgHistory->setReadOnly(true);
    DgHistory->setRowIndicator(false);
    DgHistory->setAlternateRowColor(QColor());
    DgHistory->setTitleColors(kSilver, Qt::black);
    // Centred titles, but the numbers' titles stand right.
    for (const char* field : {"Code", "Name", "IvType", "IvDate", "UnitName"})
        DgHistory->setTitleAlignment(QLatin1String(field), Qt::AlignCenter);
    for (const char* field : {"Price", "Quantity", "Total"})
        DgHistory->setTitleAlignment(QLatin1String(field), Qt::AlignRight | Qt::AlignVCenter);
    DgHistory->setScrollBarPolicies(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAsNeeded);
    DgHistory->setDateField(QStringLiteral("IvDate"));
    DgHistory->setFitColumnsToContent(true);
    DgHistory->setSpareWidthField(QStringLiteral("Name"));
    watchGridFocus(DgHistory);
    DgHistory->setQuery(&QHistory);
    historyBox->addWidget(DgHistory);
    PageCtrl->addTab(TabSheet2, drawnIcon(QColor(60, 140, 60), QStringLiteral("H")), QStringLiteral("ประวัติการขายลูกค้า"));

    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    auto* pictures = new QHBoxLayout(TabSheet3);
    pictures->setContentsMargins(4, 2, 4, 2);
    for (int i = 1; i <= 3; ++i) {
        auto* pic = new QLabel(TabSheet3);
        pic->setObjectName(QStringLiteral("Pic%1").arg(i));
        pic->setFixedSize(193, 166);
        pic->setScaledContents(true);
        pic->setCursor(Qt::PointingHandCursor);
        pic->setFrameShape(QFrame::Box);
        pictures->addWidget(pic);
        (i == 1 ? Pic1 : i == 2 ? Pic2 : Pic3) = pic;
    }
    PageCtrl->addTab(TabSheet3, drawnIcon(QColor(160, 60, 160), QStringLiteral("P")), QStringLiteral("รูปภาพสินค้า"));
    connect(PageCtrl, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageCtrl->widget(index) == TabSheet2)
            LoadHistory();
    });
    outer->addWidget(Panel2, 3);

    // Offer area.
    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* offer = new QVBoxLayout(Panel3);
    offer->setContentsMargins(0, 0, 0, 0);
    offer->setSpacing(0);
    auto* strip = new QFrame(Panel3);
    strip->setAutoFillBackground(true);
    QPalette dark = strip->palette();
    dark.setColor(QPalette::Window, kHeaderGrey);
    dark.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(dark);
    strip->setFixedHeight(24);
    auto* stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(6, 2, 6, 2);
    auto* lastLabel = new QLabel(QStringLiteral("ราคาซื้อล่าสุด"), strip);
    lastLabel->setFont(bold);
    LastMrPrice = new QLabel(QStringLiteral("-"), strip);
    LastMrPrice->setObjectName(QStringLiteral("LastMrPrice"));
    auto* dateLabel = new QLabel(QStringLiteral("วันที่"), strip);
    dateLabel->setFont(bold);
    MrDateText = new QLabel(strip);
    MrDateText->setObjectName(QStringLiteral("MrDateText"));
    stripRow->addWidget(lastLabel);
    stripRow->addWidget(LastMrPrice, 1);
    stripRow->addWidget(dateLabel);
    stripRow->addWidget(MrDateText);
    offer->addWidget(strip);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    auto* picture = new QLabel(Panel3);
    picture->setPixmap(decorativePicture());
    picture->setAlignment(Qt::AlignCenter);
    picture->setFixedWidth(84);
    middle->addWidget(picture);
    DgSoDt = new widgets::DbGrid(Panel3);
    DgSoDt->setObjectName(QStringLiteral("DgSoDt"));
    DgSoDt->setCaption(QStringLiteral("รายการสั่งซื้อ"));
    DgSoDt->setRowIndicator(true);
    DgSoDt->setFooterVisible(true);
    DgSoDt->setFooterHeight(30);
    DgSoDt->setEnterMovesToNextCell(true);
    DgSoDt->setAlternateRowColor(QColor(192, 220, 192));
    DgSoDt->setTitleColors(kSilver, kNavy);
    DgSoDt->setTitleFont(bold);
    DgSoDt->setDeleteConfirmText(QStringLiteral("ลบรายการ ?"));
    // A quantity is a whole number; a price keeps every decimal typed (the
    // grid shows two, the total uses them all).
    DgSoDt->setNumericField(QStringLiteral("Quantity"), 0, kQuantityMin, kQuantityMax);
    DgSoDt->setNumericField(QStringLiteral("Price"), -1, 0, kPriceMax);
    connect(DgSoDt, &widgets::DbGrid::editRefused, this, &TFrInquiryPrice::refuseOfferEntry);
    setOfferColumns(true);
    for (const char* field : {"Price", "Quantity", "Total"})
        DgSoDt->setTitleAlignment(QLatin1String(field), Qt::AlignRight | Qt::AlignVCenter);
    DgSoDt->setQuery(&QDemoSo);
    watchGridFocus(DgSoDt);
    connect(DgSoDt, &widgets::DbGrid::fieldChanged, this, [this](const QString& field, int) {
        const QString upper = field.toUpper();
        if (upper == QLatin1String("PRICE") || upper == QLatin1String("QUANTITY"))
            RecalcOfferTotals();
    });
    // The grid's own delete asks first; deleting recomputes the footers too.
    connect(DgSoDt, &widgets::DbGrid::deleteRequested, this, [this](int row) {
        QDemoSo.moveTo(row);
        DeleteOfferLine();
    });
    auto* popup = new QMenu(DgSoDt);
    auto* deleteLine = popup->addAction(QStringLiteral("ลบรายการ"));
    deleteLine->setObjectName(QStringLiteral("N1"));
    connect(deleteLine, &QAction::triggered, this, &TFrInquiryPrice::DeleteOfferLine);
    DgSoDt->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DgSoDt, &QWidget::customContextMenuRequested, this,
            [popup, this](const QPoint& at) { popup->exec(DgSoDt->mapToGlobal(at)); });
    middle->addWidget(DgSoDt, 1);
    offer->addLayout(middle, 1);

    auto* bottom = new QFrame(Panel3);
    bottom->setAutoFillBackground(true);
    bottom->setPalette(dark);
    bottom->setFixedHeight(34);
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(6, 2, 6, 2);
    BtSave = new QPushButton(drawnIcon(QColor(40, 110, 200), QStringLiteral("P"), 18),
                             QStringLiteral("พิมพ์รายการสั่งซื้อ <F10>"), bottom);
    BtSave->setObjectName(QStringLiteral("BtSave"));
    BtSave->setFont(bold);
    BtSave->setFocusPolicy(Qt::NoFocus);
    bottomRow->addStretch(1);
    bottomRow->addWidget(BtSave);
    offer->addWidget(bottom);
    outer->addWidget(Panel3, 2);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrInquiryPrice::BlinkLights);
    Timer1->start();

    connect(BtNew, &QPushButton::clicked, this, &TFrInquiryPrice::ResetInquiry);
    connect(BtExec, &QPushButton::clicked, this, [this] {
        QHistory.setParamNull(QStringLiteral("GetCus"));
        QHistory.setParamNull(QStringLiteral("GetProduct"));
        if (!GetCustomerCode->text().isEmpty())
            LookUpCustomer();
        if (!GetProductCode->text().isEmpty())
            LoadProduct();
    });
    connect(BtAdd, &QPushButton::clicked, this, &TFrInquiryPrice::AddOfferLine);
    connect(BtSave, &QPushButton::clicked, this, &TFrInquiryPrice::PrintOffer);
    connect(BtSearchCustomer, &QToolButton::clicked, this, &TFrInquiryPrice::SearchCustomer);
    connect(BtSearchProduct, &QToolButton::clicked, this, &TFrInquiryPrice::SearchProduct);

    setTabOrder(GetCustomerCode, GetProductCode);
}

void TFrInquiryPrice::watchGridFocus(widgets::DbGrid* grid)
{
    // While a grid has the focus, the keys act in the grid only.
    connect(grid, &widgets::DbGrid::focusIn, this, [this] { keyPreview_ = false; });
    connect(grid, &widgets::DbGrid::focusOut, this, [this] { keyPreview_ = true; });
}

void TFrInquiryPrice::setOfferColumns(bool withPrices)
{
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QVector<widgets::GridColumn> columns{{QStringLiteral("ProductCode"), QStringLiteral("รหัสสินค้า"), 15, false},
                                         {QStringLiteral("ProductName"), QStringLiteral("ชื่อสินค้า"), 36, false},
                                         {QStringLiteral("WareHouse"), QStringLiteral("คลังสินค้า"), 9, false},
                                         {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 7, true, right, kCount},
                                         {QStringLiteral("Units"), QStringLiteral("หน่วย"), 10, false}};
    if (withPrices) {
        columns.append({QStringLiteral("Price"), QStringLiteral("ราคา"), 10, true, right, kMoney});
        columns.append({QStringLiteral("Total"), QStringLiteral("รวมเงิน"), 10, false, right, kMoney});
    }
    DgSoDt->setColumns(columns);
}

// ---------------------------------------------------------------- show, close

void TFrInquiryPrice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A restore from minimised is a show event from the window system: the
    // inquiry and the offer list stay as they were.
    if (event->spontaneous())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The show step runs from the event loop right after the window appears,
    // so that an error in it reaches the error handler with the window intact.
    QTimer::singleShot(0, this, &TFrInquiryPrice::ShowStep);
}

void TFrInquiryPrice::ShowStep()
{
    // Showing the window reconnects the business database, which re-reads
    // its setup row.
    DM->connection().close();
    DM->connection().open();
    Panel5->setVisible(DMConfig->Run.CanSeeSalePrice);
    PictureFolder = productPictureFolder(DM->Config().asString(QStringLiteral("PicturePath")));
    StartFolder = QDir::currentPath();
    ResetInquiry();
}

void TFrInquiryPrice::closeEvent(QCloseEvent* event)
{
    DM->connection().close();
    QDialog::closeEvent(event);
}

void TFrInquiryPrice::keyPressEvent(QKeyEvent* event)
{
    // A dialog would take Escape for "cancel" and vanish with the offer list,
    // past the close step. Here it means nothing at window level (an open
    // cell editor has already taken it to cancel the edit).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- searches

// A chosen code only goes into its box; Enter there (or BtExec) loads it.
void TFrInquiryPrice::SearchCustomer()
{
    TF_SearchCustomer* search = TF_SearchCustomer::instance();
    // The customer search answers OK on an empty list too: with nothing
    // chosen, the code the clerk typed stays.
    if (search->exec() != QDialog::Accepted || search->SelectedCode.isEmpty())
        return;
    GetCustomerCode->setText(search->SelectedCode);
    GetCustomerCode->setFocus();
}

void TFrInquiryPrice::SearchProduct()
{
    TFrSearchProductService* search = TFrSearchProductService::instance();
    // Whatever type another caller fixed, the clerk may choose any here.
    search->ProductTypeFilter.clear();
    if (search->exec() != QDialog::Accepted)
        return;
    GetProductCode->setText(search->ResultValue);
    GetProductCode->setFocus();
}

// ---------------------------------------------------------------- keys

bool TFrInquiryPrice::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only as the key reaches the focused control, not again as it goes up
    // to its parents. The window's own focus widget, not the application's:
    // a window the window manager has not activated still gets its keys.
    if (!widget || widget->window() != this || widget != focusWidget())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // A loaded product keeps the focus in its code box, text selected: F7,
    // F10 and F3 work at once, and the next code typed replaces this one.
    // Moving on would put the focus into a grid, where those keys are off.
    if (watched == GetProductCode && enter && !GetProductCode->text().isEmpty()) {
        LoadProduct();
        GetProductCode->setFocus();
        GetProductCode->selectAll();
        return true;
    }
    // The window sees every key first, while no grid has the focus; the key
    // then goes on to the focused control.
    if (keyPreview_)
        handleWindowKey(key);
    // F5 is taken here: the search dialog puts a filter of its own on the
    // application while it is open, which would hand this same key to this
    // filter a second time if it went on.
    if (key->key() == Qt::Key_F5 && (watched == GetCustomerCode || watched == GetProductCode)) {
        (watched == GetCustomerCode ? BtSearchCustomer : BtSearchProduct)->click();
        return true;
    }
    if (watched == GetCustomerCode && enter && !GetCustomerCode->text().isEmpty())
        LookUpCustomer();
    return false;
}

bool TFrInquiryPrice::handleWindowKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_F3:
        ResetInquiry();
        return true;
    case Qt::Key_F7:
        AddOfferLine();
        return true;
    case Qt::Key_F10:
        PrintOffer();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        focusNextChild();
        return true;
    case Qt::Key_Up:
        focusPreviousChild();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- inquiry

void TFrInquiryPrice::ResetInquiry()
{
    QDemoSo.openInMemory(kOfferFields);
    RecalcOfferTotals();
    for (db::Query* q : {&Qonhand, &QLastMr, &QCustomer, &QProduct, &QHistory, &QUnits, &QPrice})
        q->close();
    DgOnhand->clearFooterTexts();
    PageCtrl->setCurrentWidget(TabSheet1);
    for (widgets::Light* light : {Light1, Light2, Light4})
        light->setBrushColour(kSilver);
    LastMrPrice->setText(QStringLiteral("-"));
    MrDateText->clear();
    GetProductCode->clear();
    ProductName->setText(QStringLiteral("-"));
    GetCustomerCode->clear();
    CustomerName->setText(QStringLiteral("-"));
    loadPlaceholderPictures();
    GetCustomerCode->setFocus();
}

void TFrInquiryPrice::LookUpCustomer()
{
    // A look-up the database breaks off leaves no name of the customer
    // before under the code just typed.
    try {
        lookUpCustomerRow();
    } catch (...) {
        QCustomer.close();
        CustomerName->setText(QStringLiteral("-"));
        throw;
    }
}

void TFrInquiryPrice::lookUpCustomerRow()
{
    QCustomer.close();
    QCustomer.setSql({"Select C.Id,C.Code,C.Name From Customer C",
                      "Where (C.Code Like " + codePrefix(GetCustomerCode) + ")", "Order By C.Code"});
    QCustomer.open();
    if (QCustomer.isEmpty()) {
        widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("ไม่พบรหัสลูกค้าที่ป้อน"), this);
        GetCustomerCode->setFocus();
        return;
    }
    CustomerName->setText(QCustomer.asString(QStringLiteral("Name")));
}

void TFrInquiryPrice::LoadProduct()
{
    // A load the database breaks off leaves nothing of the product before
    // (name, stock, last purchase price) under the code just typed.
    try {
        loadProductPanels();
    } catch (...) {
        forgetProduct();
        throw;
    }
}

void TFrInquiryPrice::forgetProduct()
{
    for (db::Query* q : {&Qonhand, &QLastMr, &QPrice, &QUnits, &QProduct, &QStockUnit})
        q->close();
    ProductName->setText(QStringLiteral("-"));
    LastMrPrice->setText(QStringLiteral("-"));
    MrDateText->clear();
    DgOnhand->clearFooterTexts();
    loadPlaceholderPictures();
}

void TFrInquiryPrice::loadProductPanels()
{
    fillProductPanels();
    // The grids have fitted their columns by now; the panels follow them.
    fitPanelsToGrids();
    // Told once the panels are filled, so that the window behind the
    // message is not left half-drawn.
    if (QProduct.isEmpty()) {
        widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("ไม่พบรหัสสินค้าที่ป้อน"), this);
        GetProductCode->setFocus();
    }
}

void TFrInquiryPrice::fillProductPanels()
{
    // Each grid fits its columns once, to what the load leaves in it.
    const widgets::DbGrid::FittingHold onhand(DgOnhand), units(DgUnits), prices(DgPrice);
    loadPlaceholderPictures();
    for (db::Query* q : {&Qonhand, &QLastMr, &QPrice, &QUnits, &QProduct})
        q->close();
    QProduct.setSql({"Select P.Id,P.Code,P.ThaiName,P.Picture1,P.Picture2,P.Picture3, ",
                     "       Picture1Desc,Picture2Desc,Picture3Desc,Year(GetDate()) InputYear ", "From Product P ",
                     "Where (Code  Like " + codePrefix(GetProductCode) + ")", "Order By P.Code"});
    QProduct.open();
    openDetail(QUnits);
    SetGridColumnsUnits();
    QPrice.setParam(QStringLiteral("Customer"), QCustomer.isOpen() ? QVariant(QCustomer.asInteger(QStringLiteral("Id")))
                                                                   : QVariant(0));
    openDetail(QPrice);
    fillLastPurchasePrice();
    if (!QProduct.isEmpty())
        ProductName->setText(QProduct.asString(QStringLiteral("ThaiName")));
    fillOnhandTexts();
    loadPictures();
}

void TFrInquiryPrice::fitPanelsToGrids()
{
    // The grids' columns follow what they show; the panels follow the grids
    // now rather than whenever the layouts next look (a grid on a hidden
    // tab tells its panel nothing). Only a grid that asks for another size
    // moves its panel: laying the tab page out again repaints the whole
    // tab control behind it.
    bool moved = false;
    for (widgets::DbGrid* grid : {DgOnhand, DgUnits, DgPrice}) {
        grid->settleScrollBars();
        QSize& laidOut = panelHints_[grid];
        const QSize wanted = grid->sizeHint();
        if (wanted == laidOut)
            continue;
        laidOut = wanted;
        moved = true;
        grid->parentWidget()->layout()->invalidate();
        grid->parentWidget()->updateGeometry();
    }
    if (moved)
        TabSheet1->layout()->invalidate();
}

bool TFrInquiryPrice::event(QEvent* event)
{
    // A layout that settles asks its parent's to follow in a later round of
    // the event loop, and each round that changes something paints the
    // window again: they all settle before the window is painted, so that
    // a product load is painted once.
    if (event->type() == QEvent::UpdateRequest) {
        for (int round = 0; round < 8; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    return QDialog::event(event);
}

void TFrInquiryPrice::fillLastPurchasePrice()
{
    if (!DMConfig->Run.CanSeeCost) {
        LastMrPrice->setText(QStringLiteral("ไม่มีสิทธิ์เห็นราคาซื้อ"));
        MrDateText->clear();
        return;
    }
    openDetail(QLastMr);
    if (QLastMr.isEmpty()) {
        LastMrPrice->setText(QStringLiteral("ไม่พบ"));
        MrDateText->clear();
        return;
    }
    LastMrPrice->setText(QLastMr.asString(QStringLiteral("UnitName")).trimmed() + QStringLiteral(" ละ ")
                         + formatNumber(QStringLiteral("###,##0.00"), QLastMr.asFloat(QStringLiteral("Price")))
                         + QStringLiteral(" บาท"));
    const QDateTime date = QLastMr.asDateTime(QStringLiteral("MrDate"));
    MrDateText->setText(widgets::QueryModel::dateText(date.date()));
}

void TFrInquiryPrice::fillOnhandTexts()
{
    DgOnhand->clearFooterTexts();
    // No product, no stock: every warehouse at nought in no unit would read
    // as a fault.
    if (!hasRow(QProduct)) {
        Qonhand.close();
        return;
    }
    openDetail(Qonhand);
    if (Qonhand.isEmpty())
        return;
    // Every warehouse is read before the next statement runs: a half-read
    // result is set aside by it and read again from the start after.
    const int rows = Qonhand.recordCount();
    QStockUnit.close();
    QStockUnit.setParam(QStringLiteral("PId"), hasRow(QProduct) ? QProduct.value(QStringLiteral("Id")) : QVariant());
    QStockUnit.open();
    const int stockUnit = int(QStockUnit.asInteger(QStringLiteral("Id")));
    const int text = Qonhand.fieldIndex(QStringLiteral("OnhandStr"));
    const int sum = Qonhand.fieldIndex(QStringLiteral("SumQnty"));
    QList<double> quantities;
    quantities.reserve(rows);
    double total = 0;
    for (int row = 0; row < rows; ++row) {
        quantities.append(db::variantToFloat(Qonhand.valueAt(row, sum)));
        total += quantities.back();
    }
    quantities.append(total);
    const QStringList texts = DM->QuantityTexts(stockUnit, quantities);
    QVector<QVariant> shown;
    shown.reserve(rows);
    for (int row = 0; row < rows; ++row)
        shown.append(texts.at(row));
    Qonhand.setColumnValues(text, shown);
    Qonhand.first();
    DgOnhand->setFooterText(QStringLiteral("Code"), QStringLiteral("รวมคงเหลือ"));
    DgOnhand->setFooterText(QStringLiteral("OnhandStr"), texts.back());
    QStockUnit.close();
}

QLabel* TFrInquiryPrice::pictureAt(int index) const
{
    return index == 1 ? Pic1 : index == 2 ? Pic2 : Pic3;
}

void TFrInquiryPrice::loadPlaceholderPictures()
{
    QDir::setCurrent(StartFolder.isEmpty() ? QDir::currentPath() : StartFolder);
    const QString path = QDir(StartFolder).filePath(QStringLiteral("NoPicture.Bmp"));
    // The placeholder does not change while the program runs: decoded once
    // (a picture that could not be read is tried again next time).
    if (placeholderPath_ == path && !placeholder_.isNull()) {
        for (int i = 1; i <= 3; ++i)
            pictureAt(i)->setPixmap(placeholder_);
        return;
    }
    QImageReader reader(path);
    const QImage placeholder = reader.read();
    placeholderPath_ = path;
    placeholder_ = QPixmap();
    if (placeholder.isNull()) {
        // Only a picture for empty boxes: say once what is wrong with it,
        // and let the inquiry go on with the boxes empty.
        for (int i = 1; i <= 3; ++i)
            pictureAt(i)->clear();
        if (brokenPlaceholder_ != path) {
            brokenPlaceholder_ = path;
            const QFileInfo file(path);
            const QString problem = !file.exists()       ? QStringLiteral("ไม่มีไฟล์นี้")
                                    : file.size() == 0 ? QStringLiteral("ไฟล์ว่าง (0 ไบต์)")
                                                       : reader.errorString();
            widgets::showMessage(widgets::MessageKind::Error,
                                 QStringLiteral("อ่านรูปภาพ \"%1\" ไม่ได้: %2").arg(path, problem), this);
        }
        return;
    }
    brokenPlaceholder_.clear();  // mended: a later fault is told again
    placeholder_ = QPixmap::fromImage(placeholder);
    for (int i = 1; i <= 3; ++i)
        pictureAt(i)->setPixmap(placeholder_);
}

void TFrInquiryPrice::loadPictures()
{
    if (!hasRow(QProduct))
        return;
    for (int i = 1; i <= 3; ++i) {
        const QString name = QProduct.asString(QStringLiteral("Picture%1").arg(i)).trimmed();
        if (name.isEmpty())
            continue;
        const QString path = productPictureFile(PictureFolder, name);
        if (!QFileInfo::exists(path))
            continue;
        // Read in the format the extension names.
        QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
        const QImage image = reader.read();
        if (image.isNull())
            throw db::DbError(QStringLiteral("Cannot read the picture \"%1\": %2").arg(path, reader.errorString()));
        pictureAt(i)->setPixmap(QPixmap::fromImage(image));
        pictureAt(i)->setToolTip(QProduct.asString(QStringLiteral("Picture%1Desc").arg(i)));
    }
}

void TFrInquiryPrice::SetGridColumnsUnits()
{
    if (!QUnits.isOpen())
        return;
    QVector<widgets::GridColumn> columns{{QStringLiteral("UnitName"), QStringLiteral("ชื่อหน่วย"), 10, false},
                                         {QStringLiteral("BarCode"), QStringLiteral("รหัสบาร์โค้ด"), 15, false}};
    if (DMConfig->Run.CanSeeCost)
        columns.append({QStringLiteral("PurcPrice"), QStringLiteral("ซื้อมาตรฐาน"), 10, false,
                        Qt::AlignRight | Qt::AlignVCenter, kMoney});
    columns.append({QStringLiteral("UnitDesc"), QStringLiteral("คำอธิบาย"), 10, false});
    DgUnits->setColumns(columns);
}

void TFrInquiryPrice::SetGridColumnsHistory()
{
    if (!QHistory.isOpen())
        return;
    const bool prices = DMConfig->Run.CanSeeSalePrice;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QVector<widgets::GridColumn> columns{{QStringLiteral("Code"), QStringLiteral("รหัสลูกค้า"), 10, false},
                                         {QStringLiteral("Name"), QStringLiteral("ชื่อลูกค้า"), 30, false},
                                         {QStringLiteral("IvType"), QStringLiteral("ประเภท"), 10, false},
                                         {QStringLiteral("IvDate"), QStringLiteral("วันที่"), 10, false},
                                         {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 10, false, right, kCount}};
    if (prices)
        columns.append({QStringLiteral("Price"), QStringLiteral("ราคา"), 10, false, right, kMoney});
    columns.append({QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 5, false});
    if (prices)
        columns.append({QStringLiteral("Total"), QStringLiteral("รวมเงิน"), 5, false, right, kMoney});
    DgHistory->setColumns(columns);
}

void TFrInquiryPrice::LoadHistory()
{
    // Both parameters are set before the one run: opening after each would
    // read the whole history twice and show only the second result anyway.
    const bool customer = hasRow(QCustomer);
    const bool product = hasRow(QProduct);
    if (!customer && !product)
        return;
    const widgets::DbGrid::FittingHold fitOnce(DgHistory);
    QHistory.close();
    if (customer)
        QHistory.setParam(QStringLiteral("GetCus"), QCustomer.value(QStringLiteral("Id")));
    if (product)
        QHistory.setParam(QStringLiteral("GetProduct"), QProduct.value(QStringLiteral("Id")));
    QHistory.open();
    SetGridColumnsHistory();
}

void TFrInquiryPrice::BlinkLights()
{
    auto blink = [](widgets::Light* light, const QColor& off, const QColor& on) {
        light->setBrushColour(light->brushColour() == off ? on : off);
    };
    if (hasRow(QUnits))
        blink(Light1, kSilver, kRed);
    if (hasRow(QPrice))
        blink(Light2, kSilver, kRed);
    if (hasRow(QHistory))
        blink(Light4, kSilver, kRed);
    if (hasRow(Qonhand))
        blink(Light5, kBlack, kBlue);
}

// ---------------------------------------------------------------- offer list

void TFrInquiryPrice::AddOfferLine()
{
    if (!hasRow(QProduct)) {
        widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("ไม่มีสินค้าที่จะเพิ่มในรายการ"), this);
        return;
    }
    // Everything is read before the line is added, so that an error leaves
    // no empty line behind.
    const QString code = QProduct.asString(QStringLiteral("Code"));
    const QString name = QProduct.asString(QStringLiteral("ThaiName"));
    const QString warehouse = Qonhand.asString(QStringLiteral("Code"));
    const bool prices = DMConfig->Run.CanSeeSalePrice;
    const QVariant price = prices ? QPrice.value(QStringLiteral("Price")) : QVariant();
    const QString unit = QUnits.asString(QStringLiteral("UnitName"));

    QDemoSo.append();
    QDemoSo.setValue(QStringLiteral("ProductCode"), offerText(code));
    QDemoSo.setValue(QStringLiteral("ProductName"), offerText(name));
    QDemoSo.setValue(QStringLiteral("WareHouse"), offerText(warehouse));
    QDemoSo.setValue(QStringLiteral("Quantity"), 1);
    if (prices) {
        QDemoSo.setValue(QStringLiteral("Price"), db::variantToFloat(price));
        QDemoSo.setValue(QStringLiteral("Total"), db::variantToFloat(price));
    }
    if (!prices)
        setOfferColumns(false);
    QDemoSo.setValue(QStringLiteral("Units"), offerText(unit));
    RecalcOfferTotals();
}

void TFrInquiryPrice::refuseOfferEntry(const QString& field, const QString& typed)
{
    const int column = DgSoDt->columnOfField(field);
    const QString title = column >= 0 ? DgSoDt->columns().at(column).title : field;
    const QLocale numbers(QLocale::English);
    const QString rule = field.compare(QLatin1String("Quantity"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("จำนวนเต็มตั้งแต่ %1 ถึง %2")
              .arg(numbers.toString(qint64(kQuantityMin)), numbers.toString(qint64(kQuantityMax)))
        : QStringLiteral("ตัวเลขตั้งแต่ 0 ถึง %1").arg(numbers.toString(kPriceMax, 'f', 2));
    widgets::showMessage(widgets::MessageKind::Warning,
                         QStringLiteral("\"%1\" ใช้ไม่ได้: ช่อง \"%2\" ต้องเป็น%3 ค่าเดิมยังอยู่").arg(typed, title, rule),
                         this);
}

void TFrInquiryPrice::DeleteOfferLine()
{
    if (QDemoSo.isEmpty())
        return;
    QDemoSo.deleteCurrent();
    RecalcOfferTotals();
}

void TFrInquiryPrice::RecalcOfferTotals()
{
    if (!QDemoSo.isOpen())
        return;
    const int current = QDemoSo.recNo();
    const int quantity = QDemoSo.fieldIndex(QStringLiteral("Quantity"));
    const int price = QDemoSo.fieldIndex(QStringLiteral("Price"));
    const int total = QDemoSo.fieldIndex(QStringLiteral("Total"));
    double sum = 0;
    int count = 0;
    for (int row = 0; row < QDemoSo.recordCount(); ++row) {
        const double line = db::variantToFloat(QDemoSo.valueAt(row, price)) * db::variantToFloat(QDemoSo.valueAt(row, quantity));
        if (QDemoSo.valueAt(row, total) != QVariant(line))
            QDemoSo.setValueAt(row, total, line);
        sum += line;
        ++count;
    }
    QDemoSo.moveTo(current);
    DgSoDt->setFooterText(QStringLiteral("ProductName"), QStringLiteral("รายการสินค้าจำนวน ")
                                                             + formatNumber(QStringLiteral("###,##0"), count)
                                                             + QStringLiteral(" รายการ"));
    DgSoDt->setFooterText(QStringLiteral("Total"), formatNumber(QStringLiteral("###,##0.00"), sum));
}

void TFrInquiryPrice::PrintOffer()
{
    OfferPrinter printer;
    printer.print(QDemoSo, StartFolder, GetCustomerCode->text().trimmed(),
                  CustomerName->text() == QLatin1String("-") ? QString() : CustomerName->text());
}
