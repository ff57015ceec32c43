#pragma once

#include "canvas.h"
#include "lattice.h"

#include <QMetaMethod>
#include <QTimer>

class JBNode;

// The window's lattice without the window: the same nodes and springs built by the same
// assembleLattice() on a canvas of its own that no view shows, published in JBCanvas, and
// connected to a timer that is never started. A tick emits that timer's timeout, so the nodes
// step in exactly the connection order the window's timer uses. Needs no QApplication; one at
// a time.
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
    Canvas canvas;  // owns the nodes, which own their springs
    JBNodeTable table{};
    QMetaMethod timeout;
};
