#pragma once

#include <QWidget>

class Canvas;

// A widget showing one canvas, unscrolled, at its top-left; beyond the canvas the widget's own
// background shows. A paint event paints only what it is asked for: the background there and
// the items that reach into it.
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

    Canvas* shown = nullptr;
};
