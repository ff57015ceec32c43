#pragma once

#include <array>

class JBNode;
class QTimer;

// The node table: lattice indices (i, j, k) are the decimal digits of the slot number.
using JBNodeTable = std::array<JBNode*, 1000>;

constexpr int latticeSize = 5;

constexpr int nodeIndex(int i, int j, int k) { return 100 * i + 10 * j + k; }

// The 125 filled slots in lattice order, the order in which the nodes step.
constexpr std::array<int, 125> latticeSlots = [] {
    std::array<int, 125> order{};
    int n = 0;
    for (int i = 0; i < latticeSize; ++i)
        for (int j = 0; j < latticeSize; ++j)
            for (int k = 0; k < latticeSize; ++k)
                order[n++] = nodeIndex(i, j, k);
    return order;
}();

// Builds the 5 x 5 x 5 lattice on JBCanvas into nodes and connects the timer, if there is one,
// to every node's animate() in lattice order (first index outermost); that order is the order
// of the tick.
void assembleLattice(JBNodeTable& nodes, QTimer* timer);
