#pragma once

#include <QColor>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <vector>

class CanvasEllipse;
class CanvasView;

// A fixed-size drawing area: a background and the ellipses on it. Items report their changes as
// they happen; update() then has every view showing the canvas repaint exactly the areas that
// changed since the last update(), and nothing else. Made for many items of which any share
// moves at a time: a repaint costs what moved, not the size of the canvas.
class Canvas : public QObject {
    Q_OBJECT

public:
    explicit Canvas(QObject* parent = nullptr);
    ~Canvas() override;  // deletes the items still on it; its views go blank

    void resize(int width, int height);
    QSize size() const { return area.size(); }
    int width() const { return area.width(); }
    int height() const { return area.height(); }

    QColor backgroundColor() const { return background; }
    void setBackgroundColor(const QColor& color);

    // In the order they were put on the canvas, which is the order they are drawn in.
    const std::vector<CanvasEllipse*>& items() const { return itemList; }

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
    void setChanged(const QRect& rect);
    void setAllChanged();
    void settleItems();
    QRegion changedRegion();
    void clearChanges();

    QRect area;
    QColor background = Qt::white;
    std::vector<CanvasEllipse*> itemList;
    std::vector<CanvasView*> views;

    // The change record. Items changed since the last update() are settled there: each marks
    // the area it showed and the area it shows now. Areas are marked in square chunks, so that
    // the repaint is a handful of rectangles whatever the number of items that moved, and
    // building it costs the chunks, not the items squared.
    std::vector<CanvasEllipse*> changedItems;
    int columns = 0;
    std::vector<unsigned char> changedChunks;  // row by row
    int firstChangedRow = 0;                   // the rows holding marks: first to last
    int lastChangedRow = -1;
    std::vector<QRect> bands;                  // scratch for update(), kept to spare allocations
};
