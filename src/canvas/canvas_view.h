#pragma once

#include <QWidget>

class Canvas;
class QImage;
class QPainter;

// A widget showing one canvas, unscrolled, at its top-left; beyond the canvas the widget's own
// background shows. It draws nothing itself: a paint event copies what it is asked for from
// the canvas's picture.
class CanvasView : public QWidget {
    Q_OBJECT

public:
    explicit CanvasView(QWidget* parent = nullptr);
    ~CanvasView() override;

    Canvas* canvas() const { return shown; }
    void setCanvas(Canvas* canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class Canvas;
    void canvasGone();
    bool copyPicture(QPainter& painter, const QImage& picture);

    Canvas* shown = nullptr;
};
