#include "jbnode.h"

#include "canvas_point.h"
#include "shared_state.h"

#include <QColor>

#include <cmath>

namespace {

constexpr double restLength = 90.0;
constexpr double positionStep = 0.05;
constexpr double velocityStep = 0.1;

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

inline dddcoord JBNode::advancedPos() const
{
    return {pos.x + vel.x * positionStep, pos.y + vel.y * positionStep, pos.z + vel.z * positionStep};
}

void JBNode::animate()
{
    display();
    move();
    show();
}

void JBNode::move()
{
    pos = advancedPos();
    ++advances;
    const dddcoord force = springForce();
    vel.x = vel.x + (force.x * velocityStep) / mass;
    vel.y = vel.y + (force.y * velocityStep) / mass;
    vel.z = vel.z + (force.z * velocityStep) / mass;
}

void JBNode::display()
{
    const ddcoord s = canvasPoint(pos, xang, yang);
    // At depth -400 (yang at +-180) the projection has no finite answer: keep the last place.
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
        const dddcoord d = vsub(there, pos);
        const double length = vabs(d);
        if (length == 0.0)
            continue;  // coincident ends have no direction to pull in
        const double f = (length - c->length) * c->strength;
        force = vadd(force, vmult(normalize(d), f));
    }
    return force;
}
