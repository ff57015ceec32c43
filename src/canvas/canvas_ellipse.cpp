#include "canvas_ellipse.h"

#include "canvas.h"

#include <QPainter>
#include <QRectF>

#include <cmath>

CanvasEllipse::CanvasEllipse(int width, int height, Canvas* canvas)
    : owner(canvas), w(width), h(height)
{
    if (owner != nullptr)
        owner->addItem(this);
}

CanvasEllipse::~CanvasEllipse()
{
    if (owner != nullptr)
        owner->removeItem(this);
}

void CanvasEllipse::setBrush(const QBrush& brush)
{
    if (brush == fill)
        return;
    changed();
    fill = brush;
}

void CanvasEllipse::show()
{
    if (visible)
        return;
    changed();
    visible = true;
}

void CanvasEllipse::hide()
{
    if (!visible)
        return;
    changed();
    visible = false;
}

QRect CanvasEllipse::boundingRect() const
{
    // Beyond this no canvas reaches, and the corners of a far square would not fit in an int.
    constexpr float far = 1 << 20;
    if (!(std::fabs(px) < far && std::fabs(py) < far))
        return {};
    // The square's corners out to whole pixels: an aliased fill paints nothing beyond them.
    const int left = static_cast<int>(std::floor(px - w / 2.0));
    const int top = static_cast<int>(std::floor(py - h / 2.0));
    const int right = static_cast<int>(std::ceil(px + w / 2.0));
    const int bottom = static_cast<int>(std::ceil(py + h / 2.0));
    return QRect(left, top, right - left, bottom - top);
}

void CanvasEllipse::draw(QPainter& painter) const
{
    painter.drawEllipse(QRectF(px - w / 2.0, py - h / 2.0, w, h));
}

void CanvasEllipse::changed()
{
    if (pending || owner == nullptr)
        return;
    pending = true;
    owner->itemChanged(this);
}
