#pragma once

#include "lattice.h"

#include <QGraphicsScene>
#include <QMetaMethod>
#include <QTimer>

class JBNode;

// The window's lattice without the window: the same nodes and springs built by the same
// assembleLattice() on a scene of its own, published in JBCanvas, and connected to a timer that
// is never started. A tick emits that timer's timeout, so the nodes step in exactly the
// connection order the window's timer uses. The dots are taken off the scene once built (see
// the constructor); their places are kept all the same. Needs a QApplication; one at a time.
class HeadlessLattice {
public:
    HeadlessLattice();
    ~HeadlessLattice();
    HeadlessLattice(const HeadlessLattice&) = delete;
    HeadlessLattice& operator=(const HeadlessLattice&) = delete;

    void tick() { timeout.invoke(&timer, Qt::DirectConnection); }

    const JBNodeTable& nodes() const { return table; }
    JBNode* node(int i, int j, int k) const { return table[nodeIndex(i, j, k)]; }

private:
    QTimer timer;
    QGraphicsScene scene;
    JBNodeTable table{};  // owns the nodes, which own their springs
    QMetaMethod timeout;
};
