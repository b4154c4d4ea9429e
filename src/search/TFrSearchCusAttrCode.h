#pragma once

#include "AttributeCodeLookUp.h"

// The customer attribute-code look-up: the codes of one attribute group
// whose description or code contains the typed text (or equals it, whole
// word), narrowed again at every keystroke. The list has the focus at
// opening when it has rows.
class TFrSearchCusAttrCode : public search::AttributeCodeLookUp {
    Q_OBJECT
public:
    explicit TFrSearchCusAttrCode(QWidget* parent = nullptr);

    static TFrSearchCusAttrCode* instance();

protected:
    QStringList statement() override;
    void showStep() override;
};

extern TFrSearchCusAttrCode* FrSearchCusAttrCode;
