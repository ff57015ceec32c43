#pragma once

#include "canvas.h"
#include "jbnode.h"
#include "lattice.h"
#include "lattice_steps.h"

// The window's lattice without the window: the same nodes and springs built by the same
// assembleLattice() on a canvas of its own that no view shows, published in JBCanvas, and
// stepped as the window steps them while nobody sees it (LatticeSteps). Needs no QApplication;
// one at a time.
class HeadlessLattice {
public:
    HeadlessLattice();
    ~HeadlessLattice();
    HeadlessLattice(const HeadlessLattice&) = delete;
    HeadlessLattice& operator=(const HeadlessLattice&) = delete;

    // One tick; undrawn, the dots stay where the last drawn tick put them. A drawn tick's dots
    // are those of a window that drew every tick.
    void tick(bool drawn = true);

    const JBNodeTable& nodes() const { return table; }
    JBNode* node(int i, int j, int k) const { return table[nodeIndex(i, j, k)]; }

private:
    Canvas canvas;  // owns the nodes, which own their springs
    JBNodeTable table{};
    LatticeSteps steps;
};
