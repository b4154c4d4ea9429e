#include "PickerFrame.h"

#include "widgets/TKIdLookup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace search {

PickerFrame::PickerFrame(QWidget* parent, const Parts& parts) : QFrame(parent)
{
    setObjectName(parts.frame);
    caption_ = new QLabel(parts.captionText, this);
    caption_->setObjectName(parts.caption);
    box_ = new TKIdLookup(this);
    box_->setObjectName(parts.box);
    box_->setFixedWidth(parts.boxWidth);
    box_->setAccessibleName(parts.captionText);
    caption_->setBuddy(box_);
    description_ = new QLabel(this);
    description_->setObjectName(parts.description);
    box_->setDescriptionLabel(description_);
    button_ = new QToolButton(this);
    button_->setObjectName(parts.button);
    button_->setAutoRaise(true);
    button_->setText(QStringLiteral("..."));
    button_->setToolTip(parts.hint);
    button_->setAccessibleName(parts.hint);
    button_->setCursor(Qt::PointingHandCursor);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setEnabled(false);

    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->addWidget(caption_);
    row_->addWidget(box_);
    row_->addWidget(button_);
    row_->addWidget(description_, 1);

    connect(button_, &QToolButton::clicked, this, &PickerFrame::searchCode);
    connect(box_, &TKIdLookup::searchKey, this, &PickerFrame::searchCode);
    box_->installEventFilter(this);
}

void PickerFrame::addMark(QWidget* mark)
{
    mark->setParent(this);
    row_->insertWidget(row_->indexOf(box_), mark);
}

bool PickerFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_) {
        if (event->type() == QEvent::FocusIn) {
            button_->setEnabled(true);
        } else if (event->type() == QEvent::FocusOut) {
            button_->setEnabled(false);
            leaveBox();
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace search
