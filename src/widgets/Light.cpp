#include "Light.h"

#include <QPainter>

namespace widgets {

Light::Light(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour)
{
    setFixedSize(14, 14);
}

void Light::setBrushColour(const QColor& colour)
{
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

void Light::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(colour_);
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

} // namespace widgets
