#include "measures.h"

#include "jbnode.h"

double latticeEnergy(const JBNodeTable& nodes)
{
    double kinetic = 0.0;
    double springs = 0.0;
    for (int slot : latticeSlots) {
        const JBNode* node = nodes[slot];
        const double speed = vabs(node->vel);
        kinetic += speed * speed;
        for (const JBCoupling* c = node->couplings; c != nullptr; c = c->next) {
            const double stretch = vabs(vsub(c->partner->pos, node->pos)) - c->length;
            springs += c->strength * stretch * stretch;
        }
    }
    // Each spring appears in both of its nodes' lists.
    return kinetic / 4 + springs / 4;
}

dddcoord centreOfMass(const JBNodeTable& nodes)
{
    dddcoord weighted = null;
    double mass = 0.0;
    for (int slot : latticeSlots) {
        const JBNode* node = nodes[slot];
        weighted = vadd(weighted, vmult(node->pos, node->mass));
        mass += node->mass;
    }
    return vmult(weighted, 1.0 / mass);
}
