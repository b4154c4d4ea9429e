#include "TFrSearchLotNo.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrSearchLotNo* FrSearchLotNo = nullptr;
int TFrSearchLotNo::SortField = 1;

namespace {

constexpr int kDateLine = 3;
constexpr int kOrderLine = 5;
constexpr int kAnyDate = 3;  // the "-" item
const QStringList kOrderLines{QString(), QStringLiteral("ORDER BY Code"), QStringLiteral("ORDER BY Description"),
                              QStringLiteral("ORDER BY ExpiredDate")};
const QStringList kSortTitles{QString(), QStringLiteral("CODE"), QStringLiteral("DESCRIPTION"),
                              QStringLiteral("EXPIREDDATE")};

} // namespace

TFrSearchLotNo::TFrSearchLotNo(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TFrSearchLotNo"));
    caption(this, QStringLiteral("ค้นหา Lot No."));
    setFixedSize(495, 307);

    Code = new QLineEdit(this);
    Code->setObjectName(QStringLiteral("Code"));
    Description = new QLineEdit(this);
    Description->setObjectName(QStringLiteral("Description"));
    DateCondition = new QComboBox(this);
    DateCondition->setObjectName(QStringLiteral("DateCondition"));
    DateCondition->addItems({QStringLiteral("<="), QStringLiteral("="), QStringLiteral(">="), QStringLiteral("-")});
    ExpiredDate = new QDateEdit(QDate::currentDate(), this);
    ExpiredDate->setObjectName(QStringLiteral("ExpiredDate"));
    ExpiredDate->setCalendarPopup(true);
    ExpiredDate->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    Label1 = boxLabel(Code, QStringLiteral("Label1"), QStringLiteral("หมายเลข Lot"));
    Label2 = boxLabel(Description, QStringLiteral("Label2"), QStringLiteral("รายละเอียด"));
    Label3 = boxLabel(ExpiredDate, QStringLiteral("Label3"), QStringLiteral("วันที่หมดอายุ"));
    DateCondition->setAccessibleName(Label3->text());
    BSearch = searchButton(QStringLiteral("BSearch"), QStringLiteral("ค้นหา"));
    BtSelect = chooseButton(QStringLiteral("BtSelect"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));
    connect(DateCondition, &QComboBox::currentIndexChanged, this,
            [this](int index) { ExpiredDate->setEnabled(index != kAnyDate); });

    grid_->setObjectName(QStringLiteral("DgSearch"));
    grid_->setCaption(QStringLiteral("ค้นหา Lot No."));
    grid_->setColumns({{QStringLiteral("Code"), QStringLiteral("หมายเลข Lot"), charsFor(90)},
                       {QStringLiteral("Description"), QStringLiteral("รายละเอียด"), charsFor(301)},
                       {QStringLiteral("ExpiredDate"), QStringLiteral("วันที่หมดอายุ"), charsFor(76)}});
    setSortSelector(&SortField, kSortTitles, false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Code, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(Description, 1, 1, 1, 3);
    layout->addWidget(Label3, 2, 0);
    layout->addWidget(DateCondition, 2, 1);
    layout->addWidget(ExpiredDate, 2, 2);
    layout->addWidget(BSearch, 2, 3);
    layout->addWidget(grid_, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtSelect);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons, 4, 0, 1, 4);
    setTabOrder(Code, Description);
    setTabOrder(Description, DateCondition);
    setTabOrder(DateCondition, ExpiredDate);

    QSearch.setSql({"SELECT Id,Code, Description, ExpiredDate, HasExpired", "FROM LotNo",
                    "WHERE (Code Like :GetCode) And ", "/* This Line Reserved for ExpiredDate Condition */",
                    "(Description Like :GetDesc)", "Order By Code"});
    setFirstBox(Code);
    setGridFocusAlways(true);
}

TFrSearchLotNo* TFrSearchLotNo::instance()
{
    return widgets::globalWindow(FrSearchLotNo);
}

void TFrSearchLotNo::showStep()
{
    DateCondition->setCurrentIndex(kAnyDate);
    ExpiredDate->setEnabled(false);
    Code->clear();
    Description->clear();
    SortField = 1;
}

QStringList TFrSearchLotNo::statement()
{
    QStringList lines = QSearch.sql();
    // The date is the program's own text, month first, which both engines
    // read the same whatever the workstation's locale.
    lines[kDateLine] = DateCondition->currentIndex() == kAnyDate
        ? QString()
        : QStringLiteral("((ExpiredDate ") + DateCondition->currentText() + QStringLiteral("'")
            + ExpiredDate->date().toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral("') Or (HasExpired = 'N')) And ");
    lines[kOrderLine] = kOrderLines.value(SortField, kOrderLines.at(1));
    QSearch.setParam(QStringLiteral("GetCode"), db::startingWith(Code->text()));
    QSearch.setParam(QStringLiteral("GetDesc"), db::startingWith(Description->text()));
    return lines;
}

void TFrSearchLotNo::takeResult()
{
    SelectedLotId = int(QSearch.asInteger(QStringLiteral("Id")));
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TFrSearchLotNo::clearResult()
{
    SelectedCode.clear();
    // A lot id left from an earlier choice would name the wrong lot.
    SelectedLotId = 0;
}
