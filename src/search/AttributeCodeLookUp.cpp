#include "AttributeCodeLookUp.h"

#include "widgets/DbGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace search {

AttributeCodeLookUp::AttributeCodeLookUp(QWidget* parent, const QString& name, const QString& title, QSize size,
                                         int descriptionWidth, int codeWidth)
    : SearchDialog(parent)
{
    setObjectName(name);
    caption(this, title);
    setFixedSize(size);

    Description = new QLineEdit(this);
    Description->setObjectName(QStringLiteral("Description"));
    Description->setFixedWidth(286);
    Label1 = boxLabel(Description, QStringLiteral("Label1"), QStringLiteral("รายละเอียด"));
    FullWord = new QCheckBox(QStringLiteral("หาเต็มคำ"), this);
    FullWord->setObjectName(QStringLiteral("FullWord"));
    BtOk = chooseButton(QStringLiteral("BtOk"), QStringLiteral("เลือก"));
    BtCancel = cancelButton(QStringLiteral("BtCancel"), QStringLiteral("ไม่เลือก"));

    grid_->setObjectName(QStringLiteral("ListData"));
    grid_->setCaption(title);
    grid_->setColumns({{QStringLiteral("DESCRIPTION"), QStringLiteral("รายละเอียด"), charsFor(descriptionWidth)},
                       {QStringLiteral("CODE"), QStringLiteral("รหัส"), charsFor(codeWidth)}});

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
}

void AttributeCodeLookUp::showStep()
{
    FullWord->setChecked(false);
    Description->clear();
    search();
}

void AttributeCodeLookUp::takeResult()
{
    SelectedCode = QSearch.asString(QStringLiteral("Code"));
}

void AttributeCodeLookUp::clearResult()
{
    SelectedCode.clear();
}

} // namespace search
