#include "jbnode.h"

#include "canvas_point.h"
#include "shared_state.h"

#include <QColor>

#include <cmath>

namespace {

constexpr double restLength = 90.0;

}  // namespace

JBNode::JBNode()
    : CanvasEllipse(3, 3, JBCanvas)
{
    setX(100.0f);
    setY(100.0f);
    setColor(QColor(255, 50, 100));
    show();
}

JBNode::~JBNode()
{
    for (JBCoupling* c = couplings; c != nullptr;) {
        JBCoupling* next = c->next;
        delete c;
        c = next;
    }
}

void JBNode::setCoupling(JBNode* other, double strength)
{
    addCoupling(new JBCoupling{strength, restLength, other, nullptr});
    other->addCoupling(new JBCoupling{strength, restLength, this, nullptr});
}

void JBNode::addCoupling(JBCoupling* c)
{
    JBCoupling** end = &couplings;
    while (*end != nullptr)
        end = &(*end)->next;
    *end = c;
}

void JBNode::animate()
{
    display();
    move();
    show();
}

void JBNode::move()
{
    advance();
    accelerate(springForce());
}

void JBNode::display()
{
    const ddcoord s = canvasPoint(pos, xang, yang);
    // A position gone non-finite has no place on the canvas: the dot keeps its last one.
    if (std::isfinite(s.x) && std::isfinite(s.y)) {
        setX(s.x);
        setY(s.y);
    }
}

dddcoord JBNode::springForce() const
{
    // Every partner is seen where it stands after its own advance of this tick, whether it
    // steps before or after this node: the step stays symplectic and keeps the energy. Reading
    // half-advanced neighbours in tick order instead pumps energy in until the cube flies apart.
    dddcoord force = null;
    for (const JBCoupling* c = couplings; c != nullptr; c = c->next) {
        const JBNode* partner = c->partner;
        const dddcoord there = partner->advances < advances ? partner->advancedPos() : partner->pos;
        if (const auto p = pull(c->strength, c->length, pos, there))
            force = vadd(force, *p);
    }
    return force;
}
