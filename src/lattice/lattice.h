#pragma once

#include <array>

class JBNode;
class QTimer;

// The node table: lattice indices (i, j, k) are the decimal digits of the slot number.
using JBNodeTable = std::array<JBNode*, 1000>;

constexpr int latticeSize = 5;

constexpr int nodeIndex(int i, int j, int k) { return 100 * i + 10 * j + k; }

// Builds the 5 x 5 x 5 lattice on JBCanvas into nodes and connects the timer to every node's
// animate() in lattice order (first index outermost); that order is the order of the tick.
void assembleLattice(JBNodeTable& nodes, QTimer* timer);
