#include "headless_lattice.h"

#include "jbnode.h"
#include "shared_state.h"

HeadlessLattice::HeadlessLattice()
    : timeout(QMetaMethod::fromSignal(&QTimer::timeout))
{
    // As the window sets up its canvas, for the nodes to be built on.
    scene.setItemIndexMethod(QGraphicsScene::NoIndex);
    scene.setSceneRect(0, 0, 780, 580);
    JBCanvas = &scene;
    assembleLattice(table, &timer);
    // Then the dots come off it. A dot keeps its own place; the canvas only keeps the books for
    // repainting, which nothing here does, and that bookkeeping cost a tenth of every tick.
    const QList<QGraphicsItem*> dots = scene.items();
    for (QGraphicsItem* dot : dots)
        scene.removeItem(dot);
}

HeadlessLattice::~HeadlessLattice()
{
    // Off the canvas the nodes are this object's; each takes its springs along.
    for (int slot : latticeSlots)
        delete table[slot];
    if (JBCanvas == &scene)
        JBCanvas = nullptr;
}
