#pragma once

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <chrono>

class Canvas;
class QImage;
class QPainter;
class QWindow;

// A widget showing one canvas, unscrolled, at its top-left; beyond the canvas the widget's own
// background shows. It draws nothing itself: a paint event copies what it is asked for from
// the canvas's picture. What changed on the canvas reaches the screen at once, or on Wayland
// when the compositor asks for the next frame. It tells whether anyone can see it, so that
// whoever changes the canvas can rest while nobody does.
class CanvasView : public QWidget {
    Q_OBJECT

public:
    explicit CanvasView(QWidget* parent = nullptr);
    ~CanvasView() override;

    Canvas* canvas() const { return shown; }
    void setCanvas(Canvas* canvas);

    // Its window shown, neither minimised nor unexposed as the platform reports it, and on
    // Wayland the compositor still taking the frames it is offered. Emitted on a change, before
    // the window paints what it shows again.
    bool isSeen() const { return seen; }

signals:
    void seenChanged(bool seen);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class Canvas;
    void canvasGone();
    void present(const QRegion& changed);
    bool copyPicture(QPainter& painter, const QImage& picture);
    void watch(QWindow* window);
    void noteSight();

    Canvas* shown = nullptr;
    QPointer<QWindow> watched;  // the window whose events tell the sight and bring the frames
    bool seen = true;

    // Drawn at the compositor's pace: the changes since the last frame, and the window asked
    // for the next one. A compositor takes no frames of a window nobody can see.
    const bool onFrames;
    QRegion unpresented;
    bool frameAsked = false;
    std::chrono::steady_clock::time_point frameAskedAt;
    bool framesLate = false;
};
