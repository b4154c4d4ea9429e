#include "ProductTypeGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace search {

namespace {

struct TypeItem {
    const char* letter;
    const char* thai;
    const char* english;
};
constexpr TypeItem kTypeItems[] = {
    {"P", "สินค้าสำเร็จรูป", "Trade Product"},
    {"S", "บริการ", "Service"},
    {"M", "วัสดุ/เบ็ดเตล็ด", "Misc"},
    {"R", "วัตถุดิบ", "Raw Material"},
    {"A", "สินค้าสำเร็จรูป / วัตถุดิบ", "Finish Good/Raw Material"},
};
constexpr int kItemCount = int(std::size(kTypeItems));

} // namespace

ProductTypeGroup::ProductTypeGroup(QWidget* parent) : QGroupBox(QStringLiteral("ประเภทสินค้า"), parent)
{
    setStyleSheet(QStringLiteral("QGroupBox { color: navy; font-weight: bold; }"));
    items_ = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(0);
    for (int i = 0; i < kItemCount; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(kTypeItems[i].thai), this);
        item->setObjectName(QStringLiteral("SelectProductType%1").arg(i));
        items_->addButton(item, i);
        layout->addWidget(item);
    }
    connect(items_, &QButtonGroup::idClicked, this, &ProductTypeGroup::itemClicked);
}

int ProductTypeGroup::itemOf(const QString& letter)
{
    if (letter.isEmpty())
        return -1;
    if (letter == QLatin1String("B"))
        return 0;
    for (int i = 0; i < kItemCount; ++i) {
        if (letter == QLatin1String(kTypeItems[i].letter))
            return i;
    }
    return kUnknown;
}

QString ProductTypeGroup::letterOf(int item)
{
    return item >= 0 && item < kItemCount ? QString::fromLatin1(kTypeItems[item].letter) : QString();
}

void ProductTypeGroup::choose(int item)
{
    if (item >= 0 && item < kItemCount) {
        items_->button(item)->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last item by itself.
    items_->setExclusive(false);
    for (QAbstractButton* b : items_->buttons())
        b->setChecked(false);
    items_->setExclusive(true);
}

ProductTypeChoice ProductTypeGroup::choice() const
{
    return static_cast<ProductTypeChoice>(items_->checkedId());
}

void ProductTypeGroup::setEnglish(bool english)
{
    for (int i = 0; i < kItemCount; ++i)
        items_->button(i)->setText(QString::fromUtf8(english ? kTypeItems[i].english : kTypeItems[i].thai));
}

} // namespace search
