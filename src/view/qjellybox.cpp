#include "qjellybox.h"

#include "shared_state.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>

namespace {

constexpr int tickMilliseconds = 10;

int wrapped(int degrees)
{
    // A jump, not a modulo: a fast drag past 180 lands on -180 whatever its size.
    if (degrees > 180)
        degrees = -180;
    if (degrees < -180)
        degrees = 180;
    return degrees;
}

}  // namespace

QJellyBox::QJellyBox(QWidget* parent)
    : QGraphicsView(parent)
{
    JBCanvas = new QGraphicsScene(this);
    // Every dot moves on every tick: a spatial index would be rebuilt for nothing.
    JBCanvas->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(JBCanvas);

    xang = 0;
    yang = 0;
    mousey = 0;
    mousex = 0;

    setFixedSize(800, 600);
    JBCanvas->setSceneRect(0, 0, 780, 580);
    // The canvas sits unscrolled at the top-left; the viewport is larger, so no scroll bars.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The whole cube moves each tick: one repaint is cheaper than 125 dirty rectangles.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // Repainted whole every tick, a cached background is still copied in full each frame, on
    // top of the viewport's own fill. drawBackground's solid fills cover every pixel once and
    // cost less: no cache, and no fill before them.
    setCacheMode(QGraphicsView::CacheNone);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Every dot sets its own pen and brush and nothing is antialiased: no state to save
    // around each of the 125 items, no margins to add for smoothed edges.
    setOptimizationFlags(QGraphicsView::DontSavePainterState
                         | QGraphicsView::DontAdjustForAntialiasing);

    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    auto* timer = new QTimer(this);
    timer->start(tickMilliseconds);

    // ---- the lattice: 125 nodes and their springs, stepped by the timer in lattice order ----
    assembleLattice(nodes, timer);

    // After the nodes, so that the repaint shows every dot of this tick. The drawing area is
    // repainted, not the whole scene invalidated: the moved dots are already marked dirty.
    connect(timer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    connect(timer, &QTimer::timeout, this, &QJellyBox::debug_update);

    show();
}

QJellyBox::~QJellyBox()
{
    // The canvas goes with this view (it is a child); nobody may reach it afterwards.
    if (JBCanvas != nullptr && JBCanvas->parent() == this)
        JBCanvas = nullptr;
}

void QJellyBox::setXAngle(int degrees)
{
    degrees = wrapped(degrees);
    if (degrees == xang)
        return;
    xang = degrees;
    emit xAngleChanged(degrees);
}

void QJellyBox::setYAngle(int degrees)
{
    degrees = wrapped(degrees);
    if (degrees == yang)
        return;
    yang = degrees;
    emit yAngleChanged(degrees);
}

void QJellyBox::debug_update() {}

void QJellyBox::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    mousex = at.x();
    mousey = at.y();
}

void QJellyBox::mouseMoveEvent(QMouseEvent* e)
{
    // The view may switch mouse tracking on by itself; only a drag turns the cube.
    if (e->buttons() == Qt::NoButton)
        return;
    const QPoint at = e->position().toPoint();
    setXAngle(xang + (at.x() - mousex));
    setYAngle(yang + (mousey - at.y()));
    mousex = at.x();
    mousey = at.y();
}

void QJellyBox::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left:
        setXAngle(xang + 1);
        break;
    case Qt::Key_Right:
        setXAngle(xang - 1);
        break;
    default:
        // Not the base view's: it would scroll on Up and Down. The parent gets the key.
        e->ignore();
        break;
    }
}

void QJellyBox::drawBackground(QPainter* painter, const QRectF& rect)
{
    // The canvas in the base colour, the strip beyond it in the window's own; each pixel once.
    const QRectF canvas = sceneRect();
    painter->fillRect(rect & canvas, palette().base());
    const QRegion strip = QRegion(rect.toAlignedRect()).subtracted(QRegion(canvas.toAlignedRect()));
    for (const QRect& part : strip)
        painter->fillRect(part, palette().window());
}
