#include "lattice.h"

#include "jbnode.h"

#include <QTimer>

void assembleLattice(JBNodeTable& nodes, QTimer* timer)
{
    for (int n : latticeSlots) {
        const int i = n / 100;
        const int j = n / 10 % 10;
        const int k = n % 10;
        JBNode* node = new JBNode;
        nodes[n] = node;
        node->pos = {200.0 + 100 * i, 75.0 + 100 * j, 500.0 + 100 * k};
        node->vel = null;
        node->mass = 1.0;
        node->couplings = nullptr;
        // Springs to the neighbours already built; the lists' order is the force sum's.
        if (i > 0)
            node->setCoupling(nodes[n - 100], 1.0);
        if (j > 0)
            node->setCoupling(nodes[n - 10], 1.0);
        if (k > 0)
            node->setCoupling(nodes[n - 1], 1.0);
        if (timer != nullptr)
            QObject::connect(timer, &QTimer::timeout, node, &JBNode::animate);
    }
}
