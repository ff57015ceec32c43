#include "headless_lattice.h"

#include "shared_state.h"

HeadlessLattice::HeadlessLattice()
    : timeout(QMetaMethod::fromSignal(&QTimer::timeout))
{
    // As the window sets up its canvas; no view is attached, so nothing is ever painted.
    scene.setItemIndexMethod(QGraphicsScene::NoIndex);
    scene.setSceneRect(0, 0, 780, 580);
    JBCanvas = &scene;
    assembleLattice(table, &timer);
}

HeadlessLattice::~HeadlessLattice()
{
    // The scene deletes the nodes as it goes; nobody may reach it through JBCanvas afterwards.
    scene.clear();
    if (JBCanvas == &scene)
        JBCanvas = nullptr;
}
