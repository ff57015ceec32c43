#pragma once

#include "canvas.h"
#include "jbnode.h"
#include "lattice.h"

// The window's lattice without the window: the same nodes and springs built by the same
// assembleLattice() on a canvas of its own that no view shows, published in JBCanvas. A tick
// steps the nodes in lattice order, the order the window's timer calls them in, then updates
// the canvas as the window's timer does. Needs no QApplication; one at a time.
class HeadlessLattice {
public:
    HeadlessLattice();
    ~HeadlessLattice();
    HeadlessLattice(const HeadlessLattice&) = delete;
    HeadlessLattice& operator=(const HeadlessLattice&) = delete;

    void tick()
    {
        for (int slot : latticeSlots)
            table[slot]->animate();
        canvas.update();
    }

    const JBNodeTable& nodes() const { return table; }
    JBNode* node(int i, int j, int k) const { return table[nodeIndex(i, j, k)]; }

private:
    Canvas canvas;  // owns the nodes, which own their springs
    JBNodeTable table{};
};
