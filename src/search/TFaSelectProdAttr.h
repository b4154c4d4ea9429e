#pragma once

#include "AttributeRangeFrame.h"

#include "db/Query.h"

// The product-attribute ranges: one row per attribute group of a product
// type; F5 opens a fresh product attribute-code look-up each time.
class TFaSelectProdAttr : public search::AttributeRangeFrame {
    Q_OBJECT
public:
    explicit TFaSelectProdAttr(QWidget* parent = nullptr);

    widgets::DbGrid* DgSelectProdAttr = nullptr;
    db::Query QProdAttrGroup;

    // The groups of `productType` again, every range empty.
    void reopen(const QString& productType = QStringLiteral("P"));

protected:
    bool lookUpCode(int groupId, QString& code) override;
};
