#include "TF_SearchCustomer.h"

#include "TFaGetProvince.h"
#include "TFaGetSalesman.h"
#include "TFaSelectCustomerAttr.h"

#include "data/TDM.h"
#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/TKIdLookup.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TF_SearchCustomer* F_SearchCustomer = nullptr;
int TF_SearchCustomer::CustomerSortIndex = 0;

namespace {

const QStringList kOrderLines{QStringLiteral("Order By C.Code"), QStringLiteral("Order By C.Name"),
                              QStringLiteral("Order By S.SalesName"), QStringLiteral("Order By P.Description")};
// The title that picks each order; the titles after the fourth pick none.
const QStringList kSortTitles{QStringLiteral("CODE"),    QStringLiteral("NAME"),    QStringLiteral("SALESNAME"),
                              QStringLiteral("DESCRIPTION"), QStringLiteral("NAMEENG"), QStringLiteral("PHONENO"),
                              QStringLiteral("FAXNO")};

} // namespace

TF_SearchCustomer::TF_SearchCustomer(QWidget* parent) : search::SearchDialog(parent), QNull(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TF_SearchCustomer"));
    caption(this, QStringLiteral("ค้นหาลูกค้า/สมาชิก"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(982, 453);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(91);
    BtSearch = searchButton(QStringLiteral("BtSearch"), QStringLiteral("ค้นหา"), QStringLiteral("Search"));
    Btok = chooseButton(QStringLiteral("Btok"), QStringLiteral("เลือก"), QStringLiteral("Choose"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"), QStringLiteral("Cancel"));
    auto* buttons = new QVBoxLayout(Panel1);
    for (QPushButton* b : {BtSearch, Btok, BtCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);

    GroupAttr = new QGroupBox(this);
    GroupAttr->setObjectName(QStringLiteral("GroupAttr"));
    GroupAttr->setFixedHeight(215);
    FaSelectCustomerAttr1 = new TFaSelectCustomerAttr(GroupAttr);
    FaSelectCustomerAttr1->setObjectName(QStringLiteral("FaSelectCustomerAttr1"));
    leaveKeysTo(FaSelectCustomerAttr1);

    Panel2 = new QWidget(GroupAttr);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto box = [this](const QString& name) {
        auto* b = new QLineEdit(Panel2);
        b->setObjectName(name);
        b->setMaxLength(60);
        return b;
    };
    CustomerCode = box(QStringLiteral("CustomerCode"));
    PhoneNo = box(QStringLiteral("PhoneNo"));
    Fax = box(QStringLiteral("Fax"));
    CustomerName = box(QStringLiteral("CustomerName"));
    CustomerNameEng = box(QStringLiteral("CustomerNameEng"));
    Label2 = boxLabel(CustomerCode, QStringLiteral("Label2"), QStringLiteral("รหัสลูกค้า"));
    Label3 = boxLabel(PhoneNo, QStringLiteral("Label3"), QStringLiteral("โทรศัพท์"));
    LFax = boxLabel(Fax, QStringLiteral("LFax"), QStringLiteral("แฟกซ์"));
    Name = boxLabel(CustomerName, QStringLiteral("Name"), QStringLiteral("ชื่อลูกค้า (ไทย)"));
    Label1 = boxLabel(CustomerNameEng, QStringLiteral("Label1"), QStringLiteral("ชื่อลูกค้า (อังกฤษ)"));
    caption(Label2, Label2->text(), QStringLiteral("Customer"));
    caption(Label3, Label3->text(), QStringLiteral("Phone"));
    caption(Name, Name->text(), QStringLiteral("ThaiName"));
    caption(Label1, Label1->text(), QStringLiteral("EngName"));

    // The pickers' boxes are filled through their searches only (F5 or the
    // button); read-only rather than disabled, so that the keyboard reaches
    // them and their buttons.
    FaGetSalesman1 = new TFaGetSalesman(Panel2);
    FaGetSalesman1->setObjectName(QStringLiteral("FaGetSalesman1"));
    FaGetSalesman1->Salesman->setReadOnly(true);
    FaGetSalesman1->Salesman->setEmptyAllowed(true);
    FaGetSalesman1->Salesman->bindTo(&QNull, QStringLiteral("SalesId"));
    caption(FaGetSalesman1->Label21, FaGetSalesman1->Label21->text(), QStringLiteral("SalesPerson"));
    FaGetProvince1 = new TFaGetProvince(Panel2);
    FaGetProvince1->setObjectName(QStringLiteral("FaGetProvince1"));
    FaGetProvince1->Province->setReadOnly(true);
    FaGetProvince1->Province->bindTo(&QNull, QStringLiteral("ProvinceId"));
    caption(FaGetProvince1->Label2, FaGetProvince1->Label2->text(), QStringLiteral("Province"));

    auto* filters = new QGridLayout(Panel2);
    filters->setContentsMargins(0, 0, 0, 0);
    filters->addWidget(Label2, 0, 0);
    filters->addWidget(CustomerCode, 0, 1);
    filters->addWidget(Label3, 0, 2);
    filters->addWidget(PhoneNo, 0, 3);
    filters->addWidget(LFax, 0, 4);
    filters->addWidget(Fax, 0, 5);
    filters->addWidget(Name, 1, 0);
    filters->addWidget(CustomerName, 1, 1, 1, 3);
    filters->addWidget(Label1, 1, 4);
    filters->addWidget(CustomerNameEng, 1, 5);
    filters->addWidget(FaGetSalesman1, 2, 0, 1, 4);
    filters->addWidget(FaGetProvince1, 2, 4, 1, 2);
    auto* group = new QVBoxLayout(GroupAttr);
    group->addWidget(FaSelectCustomerAttr1, 1);
    group->addWidget(Panel2);

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("ค้นหาลูกค้า/สมาชิก"));
    setResultColumns(false);
    setSortSelector(&CustomerSortIndex, kSortTitles, true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(GroupAttr, 0, 0);
    layout->addWidget(grid_, 1, 0);
    layout->addWidget(Panel1, 0, 1, 2, 1);
    layout->setRowStretch(1, 1);

    const QList<QWidget*> order{FaSelectCustomerAttr1->grid(), CustomerCode, PhoneNo, Fax, CustomerName, CustomerNameEng,
                                FaGetSalesman1->Salesman, FaGetProvince1->Province, grid_};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    setFirstBox(CustomerName);

    connect(CustomerName, &QLineEdit::editingFinished, this, [this] {
        if (DM)
            DM->LastCustomerSearch = CustomerName->text();
    });
    QNull.setSql({"Select 0 SalesId, 0 ProvinceId", "From NullTable"});
    setEmptyChoice(EmptyChoice::Accept);
}

TF_SearchCustomer* TF_SearchCustomer::instance()
{
    return widgets::globalWindow(F_SearchCustomer);
}

void TF_SearchCustomer::setResultColumns(bool inEnglish)
{
    const auto title = [inEnglish](const char* thai, const char* english) {
        return inEnglish ? QString::fromUtf8(english) : QString::fromUtf8(thai);
    };
    grid_->setColumns({{QStringLiteral("Name"), title("ชื่อลูกค้า (ไทย)", "Thai Name"), charsFor(143)},
                       {QStringLiteral("Code"), title("รหัส", "Code"), charsFor(80)},
                       {QStringLiteral("SalesName"), title("นักงานขาย", "Sales"), charsFor(107)},
                       {QStringLiteral("Description"), title("ที่อยู่-จังหวัด", "Address"), charsFor(314)},
                       {QStringLiteral("NameEng"), title("ชื่อลูกค้า (อังกฤษ)", "Eng Name"), charsFor(126)},
                       {QStringLiteral("PhoneNO"), QStringLiteral("โทรศัพท์"), charsFor(84)},
                       {QStringLiteral("FaxNO"), QStringLiteral("แฟกซ์"), charsFor(82)}});
}

void TF_SearchCustomer::showStep()
{
    const bool inEnglish = english();
    setResultColumns(inEnglish);
    if (inEnglish)
        FaSelectCustomerAttr1->setTitles(QStringLiteral("Customer Attribute"), QStringLiteral("From Code"),
                                         QStringLiteral("To Code"));
    else
        FaSelectCustomerAttr1->setTitles(QStringLiteral("คุณสมบัติ"), QStringLiteral("เริ่มต้น"), QStringLiteral("สิ้นสุด"));
    CustomerSortIndex = 0;
    QNull.close();
    FaSelectCustomerAttr1->reopen();
    QNull.open();
    // The pickers start empty, as their scratch row does.
    FaGetSalesman1->Salesman->clear();
    FaGetProvince1->Province->clear();
    const bool showLast = DM && DM->Config().asString(QStringLiteral("ShowLastSearch")) == QLatin1String("Y");
    CustomerName->setText(showLast ? DM->LastCustomerSearch : QString());
}

QStringList TF_SearchCustomer::statement()
{
    if (DM)
        DM->LastCustomerSearch = CustomerName->text();
    const auto startsWith = [](const QString& text) { return db::quoted(db::startingWith(text)); };
    const auto contains = [](const QString& text) { return db::quoted(db::containing(text)); };
    QStringList lines{
        "Select C.Code, C.Name, C.NameEng, LTrim(RTrim(C.Address1))+' '+LTrim(RTrim(C.Address2))+' '"
        "+LTrim(RTrim(C.Address3))+' '+P.Description Description,",
        "S.Name + '  ' + S.Surname SalesName, C.PhoneNO, C.FaxNO ",
        "From Customer C",
        "Inner Join Misc P On (P.Id = C.Province) And (P.Code Like " + startsWith(FaGetProvince1->Province->text()) + ")",
        "Inner Join Salesman S On (S.Id = C.Salesman) And (S.Code Like " + startsWith(FaGetSalesman1->Salesman->text())
            + ")",
        IncludeBlocked ? "Where(C.Blocked<>'Z' )" : "Where(C.Blocked='N' )"};
    if (const QString code = CustomerCode->text().trimmed(); !code.isEmpty())
        lines << "And (C.Code Like " + startsWith(code) + ")";
    if (const QString phone = PhoneNo->text().trimmed(); !phone.isEmpty())
        lines << "  And (C.PhoneNo Like " + contains(phone) + ")";
    if (const QString fax = Fax->text().trimmed(); !fax.isEmpty())
        lines << "  And (C.FaxNo Like " + contains(fax) + ")";
    if (const QString name = CustomerName->text().trimmed(); !name.isEmpty())
        lines << "  And (C.Name Like " + contains(name) + ")";
    if (!CustomerNameEng->text().trimmed().isEmpty())
        lines << "  And (C.Nameeng Like " + contains(CustomerNameEng->text()) + ")";
    lines << FaSelectCustomerAttr1->conditions(QStringLiteral("C.Id"), QStringLiteral("CustomerAttribute"),
                                               QStringLiteral("Customer"));
    if (CustomerSortIndex >= 0 && CustomerSortIndex < kOrderLines.size())
        lines << kOrderLines[CustomerSortIndex];
    return lines;
}

void TF_SearchCustomer::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("CODE"));
    SelectedName = QSearch.asString(QStringLiteral("Name"));
}

void TF_SearchCustomer::clearResult()
{
    SelectedCode.clear();
    SelectedName.clear();
}
