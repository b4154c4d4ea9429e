#include "PageControl.h"

#include <QEvent>
#include <QTabBar>

namespace widgets {

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) {}

bool PageControl::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest && isVisible()) {
        const QSize tabs = tabBar()->sizeHint();
        if (size() == laidOutSize_ && tabs == laidOutTabs_) {
            // The tabs and the page stay where they are; what the page now
            // asks for still goes up to the window's layout.
            updateGeometry();
            return true;
        }
        laidOutSize_ = size();
        laidOutTabs_ = tabs;
    }
    return QTabWidget::event(event);
}

} // namespace widgets
