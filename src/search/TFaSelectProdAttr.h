#pragma once

#include "AttributeRange.h"

#include "db/Query.h"

#include <QFrame>
#include <QVector>

namespace widgets {
class DbGrid;
}

// The product-attribute ranges: one row per attribute group of a product
// type, with a start and an end code the clerk types or chooses with F5;
// ranges() reads them as codes are, upper-case letters and digits. Enter goes from the start code to the end code
// and on to the next row's start code. The rows are the groups' own and are
// never added to, removed or written back.
class TFaSelectProdAttr : public QFrame {
    Q_OBJECT
public:
    explicit TFaSelectProdAttr(QWidget* parent = nullptr);

    widgets::DbGrid* DgSelectProdAttr = nullptr;
    db::Query QProdAttrGroup;

    // The groups of `productType` again, every range empty.
    void reopen(const QString& productType = QStringLiteral("P"));
    QVector<search::AttributeRange> ranges() const;
    // The ellipsis button and F5: the code look-up for the current row's
    // group; the choice lands in the selected code column.
    void chooseCode();

private:
    QString codeField() const;
};
