#pragma once

#include <QString>
#include <QWidget>

namespace widgets {

// What a screen reader finds over one cell of a grid's footer: a see-through
// child placed on the cell the footer paints, named after its column's title
// and holding the cell's text (AT-SPI reads both; the footer itself is only
// painted). It takes no clicks and paints nothing.
class FooterCell : public QWidget {
public:
    explicit FooterCell(QWidget* footer);

    void setTitleAndText(const QString& title, const QString& text);
    const QString& title() const { return title_; }
    const QString& text() const { return text_; }

private:
    QString title_;
    QString text_;
};

} // namespace widgets
