#pragma once

#include <QBrush>
#include <QRect>
#include <QVarLengthArray>

class Canvas;
class QPainter;

// A filled ellipse without an outline, centred on its position. It starts hidden at (0, 0).
// Every setter tells the canvas only when something really changed, so an item that stays put
// costs no repaint.
class CanvasEllipse {
public:
    CanvasEllipse(int width, int height, Canvas* canvas);
    virtual ~CanvasEllipse();
    CanvasEllipse(const CanvasEllipse&) = delete;
    CanvasEllipse& operator=(const CanvasEllipse&) = delete;

    // Positions are single precision: a float can hold only a rounded value, so whatever an
    // optimiser does with the conversions around a caller's float, the place stored is that float.
    float x() const { return px; }
    float y() const { return py; }
    void setX(float x)
    {
        if (x != px) {
            changed();
            px = x;
            coveredKnown = false;
        }
    }
    void setY(float y)
    {
        if (y != py) {
            changed();
            py = y;
            coveredKnown = false;
        }
    }

    int width() const { return w; }
    int height() const { return h; }

    const QBrush& brush() const { return fill; }
    void setBrush(const QBrush& brush);

    bool isVisible() const { return visible; }
    void show();
    void hide();

    Canvas* canvas() const { return owner; }

    // The whole pixels the ellipse paints; empty where it is too far off to paint any.
    QRect boundingRect() const;
    // With the painter's brush: the view sets it once for a run of items that share one.
    void draw(QPainter& painter) const;

private:
    friend class Canvas;

    void changed();
    void cover() const;
    QRect shownArea() const { return visible ? boundingRect() : QRect(); }

    Canvas* owner;
    float px = 0.0f;
    float py = 0.0f;
    int w;
    int h;
    QBrush fill;
    bool visible = false;
    bool pending = false;  // changed since the canvas's last update()
    QRect shown;           // what the views show of it as of the last update()

    // The pixels it covers, a row's run each, worked out once a move: a tick asks for them to
    // mark its repaint, to pick the items a repaint needs and to paint.
    mutable bool coveredKnown = false;
    mutable QVarLengthArray<QRect, 4> covered;
    mutable QRect coveredBox;
};
