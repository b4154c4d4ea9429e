#include "PickerFrame.h"

#include "widgets/TKIdLookup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace search {

PickerFrame::PickerFrame(const QString& caption, const QString& boxName, int boxWidth, const QString& hint,
                         QWidget* parent)
    : QFrame(parent)
{
    caption_ = new QLabel(caption, this);
    box_ = new TKIdLookup(this);
    box_->setObjectName(boxName);
    box_->setFixedWidth(boxWidth);
    box_->setAccessibleName(caption);
    caption_->setBuddy(box_);
    name_ = new QLabel(this);
    box_->setDescriptionLabel(name_);
    button_ = new QToolButton(this);
    button_->setAutoRaise(true);
    button_->setText(QStringLiteral("..."));
    button_->setToolTip(hint);
    button_->setAccessibleName(hint);
    button_->setCursor(Qt::PointingHandCursor);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setEnabled(false);

    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->addWidget(caption_);
    row_->addWidget(box_);
    row_->addWidget(button_);
    row_->addWidget(name_, 1);

    connect(button_, &QToolButton::clicked, this, [this] { pick(); });
    connect(box_, &TKIdLookup::searchKey, this, [this] { pick(); });
    box_->installEventFilter(this);
}

bool PickerFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_) {
        if (event->type() == QEvent::FocusIn) {
            button_->setEnabled(true);
        } else if (event->type() == QEvent::FocusOut) {
            button_->setEnabled(false);
            left();
        }
    }
    return QFrame::eventFilter(watched, event);
}

void PickerFrame::takeCode(const QString& code)
{
    box_->setText(code);
    if (box_->isEnabled() && box_->isVisible())
        box_->setFocus();
}

} // namespace search
