#pragma once

#include "ProductServiceStatement.h"

#include <QGroupBox>

class QButtonGroup;

namespace search {

// The product type choice of the product and service search: five radio
// items, each standing for a type letter, under the navy title
// "ประเภทสินค้า". No item is chosen until the clerk or the caller chooses one.
class ProductTypeGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit ProductTypeGroup(QWidget* parent = nullptr);

    QButtonGroup* items() const { return items_; }

    // The item a caller's type letter fixes ("B" counts as "P"): -1 for an
    // empty letter, kUnknown for a letter that fixes nothing.
    static constexpr int kUnknown = -2;
    static int itemOf(const QString& letter);
    static QString letterOf(int item);

    void choose(int item);  // -1: none
    ProductTypeChoice choice() const;
    void setEnglish(bool english);

signals:
    void itemClicked(int item);

private:
    QButtonGroup* items_ = nullptr;
};

} // namespace search
