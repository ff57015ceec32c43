#include "canvas_view.h"

#include "canvas.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A Wayland compositor tells a client when it takes the next frame, and Qt's update requests
// wait for it. Frames drawn faster are never shown, and each costs a commit, a buffer release
// and a frame event, every one of which wakes Qt's Wayland threads several times over.
bool compositorSetsThePace()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// A frame asked for and not taken within this time: the window is taken as seen by nobody. A
// compositor takes one every 16 ms or so; a few hundred milliseconds is none at all.
constexpr std::chrono::milliseconds framesLateAfter{300};

}  // namespace

CanvasView::CanvasView(QWidget* parent)
    : QWidget(parent), onFrames(compositorSetsThePace())
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

void CanvasView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    watch(window()->windowHandle());
}

void CanvasView::watch(QWindow* window)
{
    if (window == watched)
        return;
    if (watched != nullptr)
        watched->removeEventFilter(this);
    if (window != nullptr)
        window->installEventFilter(this);
    watched = window;
    frameAsked = false;
    framesLate = false;
}

void CanvasView::noteSight()
{
    const QWindow::Visibility visibility = watched != nullptr ? watched->visibility() : QWindow::Hidden;
    const bool now = watched != nullptr && watched->isExposed() && visibility != QWindow::Hidden
        && visibility != QWindow::Minimized && !framesLate;
    if (now == seen)
        return;
    seen = now;
    emit seenChanged(seen);
}

void CanvasView::present(const QRegion& changed)
{
    // Painted at once, within the tick: a posted update would cost the event loop three system
    // calls a tick to wake itself.
    if (!onFrames) {
        repaint(changed);
        return;
    }
    unpresented += changed;
    QWindow* window = this->window()->windowHandle();
    if (window == nullptr) {
        update(std::exchange(unpresented, QRegion()));
        return;
    }
    watch(window);
    const auto now = std::chrono::steady_clock::now();
    if (!frameAsked) {
        frameAsked = true;
        frameAskedAt = now;
        window->requestUpdate();
    } else if (!framesLate && now - frameAskedAt > framesLateAfter) {
        // Where the compositor does not say that nobody sees the window, this is how it shows.
        framesLate = true;
        noteSight();
    }
}

bool CanvasView::eventFilter(QObject* object, QEvent* event)
{
    if (object != watched)
        return QWidget::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::Expose:
        // Exposed again while a frame is asked for: the compositor is taking frames again, but
        // the frame callback that says so may have been spent on the exposure (Qt 6.4 delivers
        // no update request for one that comes while it counts the window unexposed, and asks
        // for none while it owes one). It stands for the frame: what changed is painted now,
        // and that commit's frame callback brings the update request still owed. (Frames are
        // late only while one is asked for.)
        if (watched->isExposed() && frameAsked) {
            frameAsked = false;
            framesLate = false;
            noteSight();
            repaint(std::exchange(unpresented, QRegion()));
        } else {
            noteSight();
        }
        break;
    case QEvent::WindowStateChange:
        noteSight();
        break;
    case QEvent::UpdateRequest:
        // The window's own answer to an update request repaints the whole window; only what
        // changed is wanted here. A frame at last: whoever rested draws before it is painted.
        if (!frameAsked)
            break;
        framesLate = false;
        frameAskedAt = std::chrono::steady_clock::now();  // what is drawn now joins this frame
        noteSight();
        frameAsked = false;
        repaint(std::exchange(unpresented, QRegion()));
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(object, event);
}

void CanvasView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage* picture = shown != nullptr ? &shown->pictureAt(devicePixelRatio()) : nullptr;
    if (picture != nullptr && copyPicture(painter, *picture))
        return;
    // Not painting into a plain image at the picture's scale: the painter scales and clips.
    const QRect area = shown != nullptr ? QRect(QPoint(0, 0), shown->size()) : QRect();
    for (const QRect& r : event->region().subtracted(area))
        painter.fillRect(r, palette().window());
    if (picture != nullptr)
        painter.drawImage(QRectF(area), *picture);
}

bool CanvasView::copyPicture(QPainter& painter, const QImage& picture)
{
    // A widget's painter paints into the window's backing store, an image in device pixels
    // whose repaint area is the engine's system clip. Where that image takes the picture's
    // pixels as they are, copying them there is all a repaint needs, and it costs a few
    // instructions a row where the painter's clipped image drawing costs thousands a rectangle.
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image || painter.hasClipping())
        return false;
    QImage& target = *static_cast<QImage*>(device);
    switch (target.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;  // the picture's opaque pixels read the same in all three
    default:
        return false;
    }
    const QTransform transform = painter.deviceTransform();
    const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
    const QRegion asked = engine->systemClip();
    if (transform.type() > QTransform::TxScale || transform.m11() != picture.devicePixelRatio()
        || transform.m22() != picture.devicePixelRatio() || offset.x() != transform.dx()
        || offset.y() != transform.dy() || asked.isEmpty())
        return false;

    const QRect onPicture = QRect(offset, picture.size()) & target.rect();
    const QRgb strip = palette().window().color().rgb();
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const auto row = [bits, stride](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    const uchar* const from = picture.constBits();
    const qsizetype fromStride = picture.bytesPerLine();
    for (const QRect& r : asked) {
        const QRect copied = r & onPicture;
        for (int y = copied.top(); y <= copied.bottom(); ++y)
            std::memcpy(row(y) + copied.left(),
                        from + (y - offset.y()) * fromStride + (copied.left() - offset.x()) * sizeof(QRgb),
                        copied.width() * sizeof(QRgb));
        if (copied == r)
            continue;
        for (const QRect& beyond : QRegion(r & target.rect()).subtracted(onPicture))
            for (int y = beyond.top(); y <= beyond.bottom(); ++y)
                std::fill(row(y) + beyond.left(), row(y) + beyond.right() + 1, strip);
    }
    return true;
}
