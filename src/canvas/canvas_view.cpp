#include "canvas_view.h"

#include "canvas.h"
#include "canvas_ellipse.h"

#include <QPaintEvent>
#include <QPainter>

CanvasView::CanvasView(QWidget* parent)
    : QWidget(parent)
{
    // Every pixel asked for is painted below; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasView::~CanvasView()
{
    if (shown != nullptr)
        shown->removeView(this);
}

void CanvasView::setCanvas(Canvas* canvas)
{
    if (canvas == shown)
        return;
    if (shown != nullptr)
        shown->removeView(this);
    shown = canvas;
    if (shown != nullptr)
        shown->addView(this);
    update();
}

void CanvasView::canvasGone()
{
    shown = nullptr;
    update();
}

void CanvasView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRegion& asked = event->region();
    const QRect area = shown != nullptr ? QRect(QPoint(0, 0), shown->size()) : QRect();
    const bool withinCanvas = area.contains(asked.boundingRect());
    if (!withinCanvas) {
        for (const QRect& r : asked.subtracted(area))
            painter.fillRect(r, palette().window());
        // Items reaching past the canvas's edge are cut off there, as on the canvas itself.
        painter.setClipRect(area);
    }
    if (shown == nullptr)
        return;
    for (const QRect& r : asked)
        painter.fillRect(r & area, shown->backgroundColor());
    painter.setPen(Qt::NoPen);
    for (const CanvasEllipse* item : shown->items()) {
        if (!item->isVisible() || !asked.intersects(item->boundingRect()))
            continue;
        if (item->brush() != painter.brush())
            painter.setBrush(item->brush());
        item->draw(painter);
    }
}
