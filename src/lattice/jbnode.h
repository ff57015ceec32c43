#pragma once

#include "canvas_ellipse.h"
#include "jbcoupling.h"
#include "vector.h"

#include <QObject>
#include <QPointF>

#include <cstdint>
#include <optional>

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
    // The ticks it has taken.
    std::uint64_t ticks() const { return advances; }

    dddcoord pos = null;
    dddcoord vel = null;
    double mass = 1.0;
    JBCoupling* couplings = nullptr;

public slots:
    // One tick: draw the dot where the node is, advance the position, then the velocity.
    void animate();

public:
    // animate() in its parts, for a lattice stepped a pass at a time: display() and advance()
    // of every node, then accelerate() of every node by the sum, in its list's order, of its
    // springs' pull() with every end advanced. The halves display() and move() are what
    // animate() does in turn.
    void display();
    void move();
    void advance()
    {
        pos = advancedPos();
        ++advances;
    }
    void accelerate(dddcoord force)
    {
        vel.x = vel.x + (force.x * velocityStep) / mass;
        vel.y = vel.y + (force.y * velocityStep) / mass;
        vel.z = vel.z + (force.z * velocityStep) / mass;
    }
    // What a spring pulls its end at `from` with, towards its other end at `to`. Worked out
    // from the other end it is exactly the negation: to - from is -(from - to) to the last bit,
    // and so is every product after it. Coincident ends pull in no direction: then there is none.
    static std::optional<dddcoord> pull(double strength, double restLength, dddcoord from, dddcoord to)
    {
        const dddcoord d = vsub(to, from);
        const double length = vabs(d);
        if (length == 0.0)
            return std::nullopt;
        // normalize(d) with its length already known: the same one reciprocal and three products.
        return vmult(vmult(d, 1.0 / length), (length - restLength) * strength);
    }

private:
    static constexpr double positionStep = 0.05;
    static constexpr double velocityStep = 0.1;

    dddcoord advancedPos() const
    {
        return {pos.x + vel.x * positionStep, pos.y + vel.y * positionStep, pos.z + vel.z * positionStep};
    }
    dddcoord springForce() const;

    // How many ticks this node has advanced; tells a partner whether it has moved this tick.
    std::uint64_t advances = 0;
};
