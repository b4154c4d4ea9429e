#include "TFrSearchCusAttrCode.h"

#include "db/Quoting.h"
#include "widgets/DbGrid.h"
#include "widgets/GlobalWindows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrSearchCusAttrCode* FrSearchCusAttrCode = nullptr;

TFrSearchCusAttrCode::TFrSearchCusAttrCode(QWidget* parent) : search::SearchDialog(parent)
{
    setObjectName(QStringLiteral("TFrSearchCusAttrCode"));
    caption(this, QStringLiteral("ค้นหาคุณสมบัติลูกค้า"));
    setFixedSize(380, 305);

    Description = new QLineEdit(this);
    Description->setObjectName(QStringLiteral("Description"));
    Description->setFixedWidth(286);
    Label1 = boxLabel(Description, QStringLiteral("Label1"), QStringLiteral("รายละเอียด"));
    FullWord = new QCheckBox(QStringLiteral("หาเต็มคำ"), this);
    FullWord->setObjectName(QStringLiteral("FullWord"));
    BtOk = chooseButton(QStringLiteral("BtOk"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(QStringLiteral("ค้นหาคุณสมบัติลูกค้า"));
    grid_->setColumns({{QStringLiteral("DESCRIPTION"), QStringLiteral("รายละเอียด"), charsFor(273)},
                       {QStringLiteral("CODE"), QStringLiteral("รหัส"), charsFor(80)}});

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

    connect(Description, &QLineEdit::textEdited, this, &TFrSearchCusAttrCode::refresh);
}

TFrSearchCusAttrCode* TFrSearchCusAttrCode::instance()
{
    return widgets::globalWindow(FrSearchCusAttrCode);
}

void TFrSearchCusAttrCode::showStep()
{
    FullWord->setChecked(false);
    Description->clear();
    search();  // the list takes the focus when it has rows
    if (QSearch.isEmpty())
        Description->setFocus();
}

QStringList TFrSearchCusAttrCode::statement()
{
    QStringList lines{QStringLiteral("Select Id,Code,Description From CusAttrCode"),
                      QStringLiteral("Where CusAttrGroup = ") + QString::number(AttrGroupId)};
    const QString text = Description->text().trimmed();
    if (text.isEmpty())
        return lines;
    // Both alternatives within the group.
    if (FullWord->isChecked()) {
        const QString t = db::quoted(text);
        lines << QStringLiteral("And ((Description = %1) or (Code = %1)) ").arg(t);
    } else {
        const QString t = db::quoted(db::containing(text));
        lines << QStringLiteral("And ((Description Like %1) or (Code Like %1)) ").arg(t);
    }
    return lines;
}

void TFrSearchCusAttrCode::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void TFrSearchCusAttrCode::clearResult()
{
    SelectedCode.clear();
}
