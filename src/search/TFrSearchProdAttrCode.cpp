#include "TFrSearchProdAttrCode.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrSearchProdAttrCode::TFrSearchProdAttrCode(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TFrSearchProdAttrCode"));
    caption(this, QStringLiteral("ค้นหาคุณสมบัติสินค้า"));
    setFixedSize(410, 306);

    Description = new QLineEdit(this);
    Description->setObjectName(QStringLiteral("Description"));
    Description->setFixedWidth(286);
    Label1 = boxLabel(Description, QStringLiteral("Label1"), QStringLiteral("รายละเอียด"));
    FullWord = new QCheckBox(QStringLiteral("หาเต็มคำ"), this);
    FullWord->setObjectName(QStringLiteral("FullWord"));
    BtOk = chooseButton(QStringLiteral("BtOk"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("ค้นหาคุณสมบัติสินค้า"));
    grid_->setColumns({{QStringLiteral("DESCRIPTION"), QStringLiteral("รายละเอียด"), charsFor(306)},
                       {QStringLiteral("CODE"), QStringLiteral("รหัส"), charsFor(78)}});

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Description, 0, 1);
    layout->addWidget(FullWord, 1, 1);
    layout->addWidget(grid_, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons, 3, 0, 1, 2);
    setFirstBox(Description);
}

void TFrSearchProdAttrCode::showStep()
{
    FullWord->setChecked(false);
    Description->clear();
    search();
}

QStringList TFrSearchProdAttrCode::statement()
{
    QStringList lines{QStringLiteral("Select Id,Code,Description From ProdAttrCode"),
                      QStringLiteral("Where ProdAttrGroup = ") + QString::number(AttrGroupId)};
    const QString text = Description->text().trimmed();
    if (!text.isEmpty())
        lines << (FullWord->isChecked()
                      ? QStringLiteral("And Description = ") + db::quoted(text)
                      : QStringLiteral("And Description Like ")
                            + db::quoted(QLatin1Char('%') + db::likeText(text) + QLatin1Char('%')));
    return lines;
}

void TFrSearchProdAttrCode::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TFrSearchProdAttrCode::clearResult()
{
    SelectedCode.clear();
}
