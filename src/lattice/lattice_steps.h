#pragma once

#include "lattice.h"
#include "vector.h"

#include <vector>

// The lattice stepped a pass at a time rather than node by node: every dot, then every
// position, then every velocity, each spring's pull worked out once for both its ends. Every
// node ends each tick with the bits that its own animate() gives it when the timer calls them in
// lattice order, at less than half the cost. The window steps this way while nobody can see it,
// and jellybox-sim always.
class LatticeSteps {
public:
    explicit LatticeSteps(const JBNodeTable& nodes);

    // Every dot where its node is now, for the current view angles.
    void display() const;
    // One tick's motion of every node.
    void move();

private:
    // Small and side by side: a tick walks them all, and they must stay in the processor's
    // nearest cache beside the nodes (the coupling records lie apart, all over the heap).
    struct Spring {
        int first;  // the end built first, in lattice order
        int second;
        double strength;
        double length;
    };

    std::vector<JBNode*> inOrder;  // lattice order
    std::vector<Spring> springs;   // in the order the lattice built them
    std::vector<dddcoord> forces;  // on each node, this tick
};
