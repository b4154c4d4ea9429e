#include "TFrSearchProdAttrCode.h"

#include "db/Quoting.h"

#include <QCheckBox>
#include <QLineEdit>

TFrSearchProdAttrCode::TFrSearchProdAttrCode(QWidget* parent)
    : search::AttributeCodeLookUp(parent, QStringLiteral("TFrSearchProdAttrCode"), QStringLiteral("ค้นหาคุณสมบัติสินค้า"),
                                  QSize(410, 306), 306, 78)
{
    setFirstBox(Description);
}

QStringList TFrSearchProdAttrCode::statement()
{
    QStringList lines{QStringLiteral("Select Id,Code,Description From ProdAttrCode"),
                      QStringLiteral("Where ProdAttrGroup = ") + QString::number(AttrGroupId)};
    const QString text = Description->text().trimmed();
    if (!text.isEmpty())
        lines << (FullWord->isChecked() ? QStringLiteral("And Description = ") + db::quoted(text)
                                        : QStringLiteral("And Description Like ") + db::quoted(db::containing(text)));
    return lines;
}
