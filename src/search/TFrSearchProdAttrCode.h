#pragma once

#include "AttributeCodeLookUp.h"

// The product attribute-code look-up: the codes of one attribute group
// whose description contains the typed text (or equals it, whole word); the
// codes themselves are not searched. Typing does not search; Enter does.
// Made fresh for each use by the attribute-range frame.
class TFrSearchProdAttrCode : public search::AttributeCodeLookUp {
    Q_OBJECT
public:
    explicit TFrSearchProdAttrCode(QWidget* parent = nullptr);

protected:
    QStringList statement() override;
};
