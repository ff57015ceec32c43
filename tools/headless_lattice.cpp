#include "headless_lattice.h"

#include "shared_state.h"

HeadlessLattice::HeadlessLattice()
    : timeout(QMetaMethod::fromSignal(&QTimer::timeout))
{
    // As the window sets up its canvas, for the nodes to be built on.
    canvas.resize(780, 580);
    JBCanvas = &canvas;
    assembleLattice(table, &timer);
    QObject::connect(&timer, &QTimer::timeout, &canvas, &Canvas::update);
}

HeadlessLattice::~HeadlessLattice()
{
    if (JBCanvas == &canvas)
        JBCanvas = nullptr;
}
