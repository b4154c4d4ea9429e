#pragma once

#include <QColor>
#include <QWidget>

namespace widgets {

// A small round light in a panel header; windows blink it by changing its
// brush colour.
class Light : public QWidget {
    Q_OBJECT
public:
    explicit Light(const QColor& colour, QWidget* parent = nullptr);

    QColor brushColour() const { return colour_; }
    void setBrushColour(const QColor& colour);

    QSize sizeHint() const override { return {14, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

} // namespace widgets
