#pragma once

#include <QPointer>
#include <QRegion>
#include <QWidget>

class Canvas;
class QImage;
class QPainter;
class QWindow;

// A widget showing one canvas, unscrolled, at its top-left; beyond the canvas the widget's own
// background shows. It draws nothing itself: a paint event copies what it is asked for from
// the canvas's picture. What changed on the canvas reaches the screen at once, or on Wayland
// when the compositor asks for the next frame.
class CanvasView : public QWidget {
    Q_OBJECT

public:
    explicit CanvasView(QWidget* parent = nullptr);
    ~CanvasView() override;

    Canvas* canvas() const { return shown; }
    void setCanvas(Canvas* canvas);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class Canvas;
    void canvasGone();
    void present(const QRegion& changed);
    bool copyPicture(QPainter& painter, const QImage& picture);

    Canvas* shown = nullptr;

    // Drawn at the compositor's pace: the changes since the last frame, and the window asked
    // for the next one.
    const bool onFrames;
    QRegion unpresented;
    QPointer<QWindow> framesFrom;
    bool frameAsked = false;
};
