#include "headless_lattice.h"

#include "shared_state.h"

namespace {

// As the window sets up its canvas, for the nodes to be built on; no timer to connect.
JBNodeTable assembled(Canvas& canvas)
{
    canvas.resize(780, 580);
    JBCanvas = &canvas;
    JBNodeTable table{};
    assembleLattice(table, nullptr);
    return table;
}

}  // namespace

HeadlessLattice::HeadlessLattice()
    : table(assembled(canvas)), steps(table)
{
}

HeadlessLattice::~HeadlessLattice()
{
    if (JBCanvas == &canvas)
        JBCanvas = nullptr;
}

void HeadlessLattice::tick(bool drawn)
{
    if (drawn)
        steps.display();
    steps.move();
}
