#pragma once

#include "canvas_ellipse.h"
#include "repaint_area.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>

#include <vector>

class CanvasView;

// A fixed-size drawing area: a background and the ellipses on it. Made for many items of which
// any share moves at a time, it keeps a picture of itself while a view shows it: items report
// their changes as they happen, and update() redraws the picture only where an item's pixels
// changed, then has every view repaint just there, which is a copy. A canvas no view shows
// keeps no picture and draws nothing.
class Canvas : public QObject {
    Q_OBJECT

public:
    explicit Canvas(QObject* parent = nullptr);
    ~Canvas() override;  // deletes the items still on it; its views go blank

    void resize(int width, int height);
    QSize size() const { return area.size(); }
    int width() const { return area.width(); }
    int height() const { return area.height(); }

    // Drawn opaque: there is nothing under a canvas to show through.
    QColor backgroundColor() const { return background; }
    void setBackgroundColor(const QColor& color);

    // In the order they were put on the canvas, which is the order they are drawn in.
    const std::vector<CanvasEllipse*>& items() const { return itemList; }

    // The canvas drawn whole into a new image at this many device pixels a canvas pixel, as its
    // views show it once update() has run; whether or not a view shows it.
    QImage toImage(qreal pixelRatio = 1.0) const;

public slots:
    void update();

private:
    friend class CanvasEllipse;
    friend class CanvasView;

    void addItem(CanvasEllipse* item);
    void removeItem(CanvasEllipse* item);
    void itemChanged(CanvasEllipse* item);
    void addView(CanvasView* view);
    void removeView(CanvasView* view);

    // The picture at this many device pixels a canvas pixel, drawn whole if it was not kept at
    // that ratio. One picture serves every view; they are meant to share one ratio.
    const QImage& pictureAt(qreal ratio);
    qreal pixelRatio() const { return ratio; }
    // The canvas pixels holding a rectangle of the picture's device pixels.
    static QRect canvasPixels(const QRect& device, qreal ratio);

    QImage emptyImage(qreal pixelRatio) const;  // the background alone
    void drawWhole();
    void repaintWhole();  // after a change of the whole canvas, where views show it
    void stopDrawing();
    void settle(CanvasEllipse* item);
    void markChanged(const QRect& device);
    void file(CanvasEllipse* item, const QRect& chunks);
    static bool drawnBefore(const CanvasEllipse* a, const CanvasEllipse* b);
    QRect chunksUnder(const QRect& device) const;
    QRect devicePixels(const QRect& canvas) const;
    class Rows;
    void redraw(const QRect& area, const Rows& rows);
    static void paint(const CanvasEllipse::Shown& shown, const QRect& within, const Rows& rows);

    QRect area;
    QColor background = Qt::white;
    std::vector<CanvasEllipse*> itemList;
    std::uint64_t nextOrder = 0;
    std::vector<CanvasView*> views;
    std::vector<CanvasEllipse*> changedItems;
    CanvasEllipse::Runs settling;  // what the item being settled paints now
    RepaintArea repaintArea;

    // While a view shows the canvas. Its items are filed in square chunks of the picture, so
    // that a changed area is redrawn from the few items that reach into it.
    bool drawing = false;
    QImage picture;  // null while nothing is drawn
    QRect pictureArea;
    QRgb backgroundPixel = 0;
    qreal ratio = 1.0;
    int chunkColumns = 0;
    std::vector<std::vector<CanvasEllipse*>> filed;  // chunk by chunk, row by row, in drawing order
};
