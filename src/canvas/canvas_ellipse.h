#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

class Canvas;

// A filled ellipse of one colour without an outline, centred on its position. It starts hidden
// at (0, 0). Every setter tells the canvas only when something really changed, and the canvas
// repaints it only where its pixels did, so an item that stays put costs nothing.
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
            if (shown)
                changed();
            px = x;
        }
    }
    void setY(float y)
    {
        if (y != py) {
            if (shown)
                changed();
            py = y;
        }
    }

    int width() const { return w; }
    int height() const { return h; }

    QColor color() const { return QColor::fromRgba(rgba); }
    void setColor(const QColor& color);

    bool isVisible() const { return visible; }
    void show();
    void hide();

    Canvas* canvas() const { return owner; }

    // The whole canvas pixels it paints (at the canvas's pixel ratio, rounded out to whole
    // canvas pixels); empty where it is hidden or too far off to paint any.
    QRect boundingRect() const;

private:
    friend class Canvas;

    // One row of the pixels it paints, in the picture's device pixels, ends included.
    struct Run {
        int y;
        int left;
        int right;
        bool operator==(const Run&) const = default;
    };
    using Runs = std::vector<Run>;

    void changed();
    // The pixels it paints now at this many device pixels a canvas pixel: those whose centres
    // lie inside it. Into runs, keeping its room: the canvas settles every item through one list.
    void runsAt(double ratio, Runs& runs) const;
    static QRect boxOf(const Runs& runs);

    Canvas* owner;
    float px = 0.0f;
    float py = 0.0f;
    int w;
    int h;
    QRgb rgba = qRgb(0, 0, 0);
    bool visible = false;

    // What the canvas's picture shows of it and where the canvas files it: only while the
    // canvas keeps a picture, and only then does the canvas hear of changes. Kept apart, the
    // lattice's nodes stay small enough for a headless tick to run in the nearest cache.
    struct Shown {
        Runs runs;
        QRgb rgba = 0;
        QRect box;
        QRect chunks;
    };
    std::unique_ptr<Shown> shown;
    Shown showing(double ratio) const;  // what a picture at this ratio shows of it now
    bool pending = false;  // changed since the canvas's last update()
    std::uint64_t order = 0;
};
