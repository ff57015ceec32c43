#include "qjellybox.h"

#include "canvas.h"
#include "shared_state.h"
#include "unseen_ticks.h"
#include "view_angle.h"
#include "wide_registers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr int tickMilliseconds = 10;

}  // namespace

QJellyBox::QJellyBox(QWidget* parent)
    : CanvasView(parent)
{
    JBCanvas = new Canvas(this);
    setCanvas(JBCanvas);

    xang = 0;
    yang = 0;
    mousey = 0;
    mousex = 0;

    setFixedSize(800, 600);
    // Shown unscrolled at the top-left; the strip beyond it is the window's own background.
    JBCanvas->resize(780, 580);

    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    auto* timer = new QTimer(this);
    timer->start(tickMilliseconds);

    // First, so that the nodes' arithmetic does not pay for the last tick's drawing.
    connect(timer, &QTimer::timeout, this, &releaseWideRegisters);

    // ---- the lattice: 125 nodes and their springs, stepped by the timer in lattice order ----
    assembleLattice(nodes, timer);

    // After the nodes, so that the repaint shows every dot of this tick.
    connect(timer, &QTimer::timeout, JBCanvas, &Canvas::update);
    connect(timer, &QTimer::timeout, this, &QJellyBox::debug_update);

    // Nobody sees it: the timer rests and the lattice keeps time by the clock, undrawn.
    auto* unseen = new UnseenTicks(timer, nodes, JBCanvas, this);
    connect(this, &CanvasView::seenChanged, unseen, &UnseenTicks::setSeen);

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
    degrees = wrappedAngle(degrees);
    if (degrees == xang)
        return;
    xang = degrees;
    emit xAngleChanged(degrees);
}

void QJellyBox::setYAngle(int degrees)
{
    degrees = wrappedAngle(degrees);
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
    // With mouse tracking on, a hover arrives here too; only a drag turns the cube.
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
        // The parent gets the key.
        e->ignore();
        break;
    }
}
