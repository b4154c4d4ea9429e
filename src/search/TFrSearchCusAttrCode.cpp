#include "TFrSearchCusAttrCode.h"

#include "db/Quoting.h"
#include "widgets/GlobalWindows.h"

#include <QCheckBox>
#include <QLineEdit>

TFrSearchCusAttrCode* FrSearchCusAttrCode = nullptr;

TFrSearchCusAttrCode::TFrSearchCusAttrCode(QWidget* parent)
    : search::AttributeCodeLookUp(parent, QStringLiteral("TFrSearchCusAttrCode"), QStringLiteral("ค้นหาคุณสมบัติลูกค้า"),
                                  QSize(380, 305), 273, 80)
{
    connect(Description, &QLineEdit::textEdited, this, &TFrSearchCusAttrCode::refresh);
}

TFrSearchCusAttrCode* TFrSearchCusAttrCode::instance()
{
    return widgets::globalWindow(FrSearchCusAttrCode);
}

void TFrSearchCusAttrCode::showStep()
{
    AttributeCodeLookUp::showStep();  // the list takes the focus when it has rows
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
    if (FullWord->isChecked())
        lines << QStringLiteral("And ((Description = %1) or (Code = %1)) ").arg(db::quoted(text));
    else
        lines << QStringLiteral("And ((Description Like %1) or (Code Like %1)) ").arg(db::quoted(db::containing(text)));
    return lines;
}
