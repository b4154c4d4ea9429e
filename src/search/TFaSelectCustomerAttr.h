#pragma once

#include "AttributeRangeFrame.h"

#include "db/Query.h"

// The customer-attribute ranges: one row per customer-attribute group; F5
// opens the run's customer attribute-code look-up.
class TFaSelectCustomerAttr : public search::AttributeRangeFrame {
    Q_OBJECT
public:
    explicit TFaSelectCustomerAttr(QWidget* parent = nullptr);

    widgets::DbGrid* DgSelectCusAttr = nullptr;
    db::Query QCusAttrGroup;

protected:
    bool lookUpCode(int groupId, QString& code) override;
};
