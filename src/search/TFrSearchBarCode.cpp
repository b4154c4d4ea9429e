#include "TFrSearchBarCode.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"
#include "widgets/SettingsFile.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFrSearchBarCode* FrSearchBarCode = nullptr;
int TFrSearchBarCode::SortField = 0;

namespace {

const QString kSection = QStringLiteral("SEARCHBARCODE");
constexpr int kOrderLine = 5;
const QStringList kOrderLines{QStringLiteral("Order By U.BarCode"), QStringLiteral("Order By P.Code"),
                              QStringLiteral("Order By P.ThaiName")};
const QStringList kSortTitles{QStringLiteral("BARCODE"), QStringLiteral("CODE"), QStringLiteral("THAINAME")};

struct Column {
    const char* field;
    const char* title;
    int pixels;
};
const Column kColumns[] = {
    {"BarCode", "รหัส", 130},
    {"Code", "รหัสสินค้า", 100},
    {"ThaiName", "ชื่อสินค้า", 250},
    {"UnitName", "หน่วยนับ", 86},
};

QString columnKey(int column)
{
    return QStringLiteral("Column%1Width").arg(column);
}

} // namespace

TFrSearchBarCode::TFrSearchBarCode(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TFrSearchBarCode"));
    caption(this, QStringLiteral("ค้นหา Barcode สินค้า"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setMinimumWidth(kMinimumWidth);
    resize(594, 287);

    PnHeader = new QFrame(this);
    PnHeader->setObjectName(QStringLiteral("PnHeader"));
    PnHeader->setFixedHeight(57);
    Code = new QLineEdit(PnHeader);
    Code->setObjectName(QStringLiteral("Code"));
    Code->setMaxLength(60);
    SearchMethod = new QComboBox(PnHeader);
    SearchMethod->setObjectName(QStringLiteral("SearchMethod"));
    SearchMethod->addItems({QStringLiteral("ขึ้นต้นด้วย"), QStringLiteral("ประกอบด้วย")});
    Name = new QLineEdit(PnHeader);
    Name->setObjectName(QStringLiteral("Name"));
    Name->setMaxLength(60);
    Label2 = boxLabel(Code, QStringLiteral("Label2"), QStringLiteral("Barcode"));
    Label1 = boxLabel(Name, QStringLiteral("Label1"), QStringLiteral("ชื่อสินค้า"));
    SearchMethod->setAccessibleName(Label1->text());
    BtSearch = searchButton(QStringLiteral("BtSearch"), QStringLiteral("ค้นหา"));
    Btok = chooseButton(QStringLiteral("Btok"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));
    auto* header = new QGridLayout(PnHeader);
    header->setContentsMargins(4, 2, 4, 2);
    header->addWidget(Label2, 0, 0);
    header->addWidget(Code, 0, 1);
    header->addWidget(BtSearch, 0, 3);
    header->addWidget(Label1, 1, 0);
    header->addWidget(SearchMethod, 1, 1);
    header->addWidget(Name, 1, 2);
    header->addWidget(Btok, 1, 3);
    header->addWidget(BtCancel, 1, 4);
    header->setColumnStretch(2, 1);

    grid_->setObjectName(QStringLiteral("DgSearch"));
    grid_->setCaption(QStringLiteral("ค้นหา Barcode สินค้า"));
    setSortSelector(&SortField, kSortTitles, true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(PnHeader);
    outer->addWidget(grid_, 1);

    QSearch.setSql({"Select U.Id, U.BarCode, U.Product, U.UnitName, P.Code, P.ThaiName", "From ProductUnits U",
                    "Inner Join Product P On (P.Id = U.Product)",
                    "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) And ",
                    "  Not (U.BarCode Is Null) And (U.BarCode <> '')", "Order By P.ThaiName",
                    "/* Don't Move SQL Lines */"});
    setFirstBox(Name);
    setDoubleClickChooses(false);
}

TFrSearchBarCode* TFrSearchBarCode::instance()
{
    return widgets::globalWindow(FrSearchBarCode);
}

void TFrSearchBarCode::showStep()
{
    restorePlacement();
    Code->clear();
    Name->clear();
    SearchMethod->setCurrentIndex(int(DM->Config().asInteger(QStringLiteral("SearchProductMethod"))));
}

QStringList TFrSearchBarCode::statement()
{
    QStringList lines = QSearch.sql();
    lines[kOrderLine] = kOrderLines.value(SortField, kOrderLines.first());
    const QString name = db::likeText(Name->text().trimmed());
    QSearch.setParam(QStringLiteral("GetCode"), db::startingWith(Code->text().trimmed()));
    QSearch.setParam(QStringLiteral("GetName"), SearchMethod->currentIndex() == 1
                                                    ? QLatin1Char('%') + name + QLatin1Char('%')
                                                    : name + QLatin1Char('%'));
    return lines;
}

void TFrSearchBarCode::takeResult()
{
    SelectedBarcode = QSearch.asString(QStringLiteral("BarCode"));
}

void TFrSearchBarCode::clearResult()
{
    SelectedBarcode.clear();
}

void TFrSearchBarCode::done(int code)
{
    savePlacement();
    search::SearchDialog::done(code);
}

// ---------------------------------------------------------------- placement

QString TFrSearchBarCode::settingsFile() const
{
    const QString folder = DMConfig ? DMConfig->StartFolder() : QDir::currentPath();
    return QDir(folder).filePath(QStringLiteral("QEL.INI"));
}

void TFrSearchBarCode::restorePlacement()
{
    const QHash<QString, QString> saved = widgets::readSettingsSection(settingsFile(), kSection);
    QVector<widgets::GridColumn> columns;
    for (int i = 0; i < int(std::size(kColumns)); ++i) {
        const int pixels = saved.value(columnKey(i).toUpper()).toInt();
        columns.append({QLatin1String(kColumns[i].field), QString::fromUtf8(kColumns[i].title),
                        charsFor(pixels > 0 ? pixels : kColumns[i].pixels)});
    }
    grid_->setColumns(columns);
    bool ok[4] = {};
    const QRect place(saved.value(QStringLiteral("LEFT")).toInt(&ok[0]), saved.value(QStringLiteral("TOP")).toInt(&ok[1]),
                      saved.value(QStringLiteral("WIDTH")).toInt(&ok[2]),
                      saved.value(QStringLiteral("HEIGHT")).toInt(&ok[3]));
    if (ok[0] && ok[1] && ok[2] && ok[3] && place.height() > 0)
        setGeometry(place.x(), place.y(), std::max(place.width(), kMinimumWidth), place.height());
}

void TFrSearchBarCode::savePlacement()
{
    const QRect place = geometry();
    QList<QPair<QString, QString>> values{{QStringLiteral("Left"), QString::number(place.x())},
                                          {QStringLiteral("Top"), QString::number(place.y())},
                                          {QStringLiteral("Width"), QString::number(place.width())},
                                          {QStringLiteral("Height"), QString::number(place.height())}};
    const QHeaderView* titles = grid_->view()->horizontalHeader();
    for (int i = 0; i < titles->count(); ++i)
        values.append({columnKey(i), QString::number(titles->sectionSize(i))});
    // A settings file that cannot be written costs the clerk only the
    // window's place, never the choice.
    widgets::writeSettingsSection(settingsFile(), kSection, values);
}
