#pragma once

#include "canvas.h"
#include "jbnode.h"
#include "lattice.h"

#include <vector>

// The window's lattice without the window: the same nodes and springs built by the same
// assembleLattice() on a canvas of its own that no view shows, published in JBCanvas. A tick
// gives every node what the window's tick gives it, through the node's own arithmetic, but a
// pass at a time: every dot, every position, then every velocity, each spring's pull worked out
// once for both its ends. Needs no QApplication; one at a time.
class HeadlessLattice {
public:
    HeadlessLattice();
    ~HeadlessLattice();
    HeadlessLattice(const HeadlessLattice&) = delete;
    HeadlessLattice& operator=(const HeadlessLattice&) = delete;

    void tick();

    const JBNodeTable& nodes() const { return table; }
    JBNode* node(int i, int j, int k) const { return table[nodeIndex(i, j, k)]; }

private:
    // Small and side by side: a tick walks them all, and they must stay in the processor's
    // nearest cache beside the nodes (the coupling records lie apart, all over the heap).
    struct Spring {
        int first;  // the end built first, in lattice order
        int second;
        double strength;
        double length;
    };

    Canvas canvas;  // owns the nodes, which own their springs
    JBNodeTable table{};
    std::vector<JBNode*> inOrder;  // lattice order
    std::vector<Spring> springs;   // in the order the lattice built them
    std::vector<dddcoord> forces;  // on each node, this tick
};
