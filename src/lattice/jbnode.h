#pragma once

#include "canvas_ellipse.h"
#include "jbcoupling.h"
#include "vector.h"

#include <QObject>
#include <QPointF>

#include <cstdint>

// A point mass of the lattice that is also its own 3 x 3 dot on JBCanvas.
class JBNode : public QObject, private CanvasEllipse {
    Q_OBJECT

public:
    JBNode();
    ~JBNode() override;

    // Joins this node and other by one spring of rest length 90: one record in each list.
    void setCoupling(JBNode* other, double strength);
    // Appends c at the end of this node's list.
    void addCoupling(JBCoupling* c);

    // Where the dot is drawn on the canvas.
    QPointF dotPos() const { return {x(), y()}; }

    dddcoord pos = null;
    dddcoord vel = null;
    double mass = 1.0;
    JBCoupling* couplings = nullptr;

public slots:
    // One tick: draw the dot where the node is, advance the position, then the velocity.
    void animate();

public:
    // The two halves of animate(), callable apart so that each can be measured on its own.
    void display();
    void move();

private:
    dddcoord advancedPos() const;
    dddcoord springForce() const;

    // How many ticks this node has advanced; tells a partner whether it has moved this tick.
    std::uint64_t advances = 0;
};
