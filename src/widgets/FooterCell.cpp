#include "FooterCell.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <utility>

namespace widgets {

namespace {

// Static text with the title for a name; its text through the text
// interface, which is what screen readers speak for a label.
class FooterCellAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FooterCellAccessible(FooterCell* cell) : QAccessibleWidget(cell, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return cell()->title();
        case QAccessible::Value:
        case QAccessible::Description:
            return cell()->text();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTextInterface: read-only text without a caret.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return cell()->text().mid(start, end - start); }
    int characterCount() const override { return int(cell()->text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    FooterCell* cell() const { return static_cast<FooterCell*>(widget()); }
};

QAccessibleInterface* footerCellFactory(const QString&, QObject* object)
{
    if (auto* cell = dynamic_cast<FooterCell*>(object))
        return new FooterCellAccessible(cell);
    return nullptr;
}

} // namespace

FooterCell::FooterCell(QWidget* footer) : QWidget(footer)
{
    static const bool installed = [] {
        QAccessible::installFactory(footerCellFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FooterCell::setTitleAndText(const QString& title, const QString& text)
{
    if (title == title_ && text == text_)
        return;
    const bool named = title != title_;
    const QString old = std::exchange(text_, text);
    title_ = title;
    if (named) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    if (old != text_) {
        QAccessibleTextUpdateEvent changed(this, 0, old, text_);
        QAccessible::updateAccessibility(&changed);
    }
}

} // namespace widgets
