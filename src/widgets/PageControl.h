#pragma once

#include <QTabWidget>

namespace widgets {

// A tab control that lays its tabs and page frame out again only when its
// own size or what the tabs need changes. QTabWidget lays itself out and
// repaints whole (tabs, frame and every page's background) at each layout
// request, and a page asks for one whenever anything on it changes size:
// the inquiry's panels do at nearly every product load.
class PageControl : public QTabWidget {
public:
    explicit PageControl(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    QSize laidOutSize_;
    QSize laidOutTabs_;
};

} // namespace widgets
