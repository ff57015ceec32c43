#include "headless_lattice.h"

#include "shared_state.h"

HeadlessLattice::HeadlessLattice()
{
    // As the window sets up its canvas, for the nodes to be built on; no timer to connect.
    canvas.resize(780, 580);
    JBCanvas = &canvas;
    assembleLattice(table, nullptr);
}

HeadlessLattice::~HeadlessLattice()
{
    if (JBCanvas == &canvas)
        JBCanvas = nullptr;
}
