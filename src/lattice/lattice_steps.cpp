#include "lattice_steps.h"

#include "jbnode.h"
#include "wide_registers.h"

#include <algorithm>

LatticeSteps::LatticeSteps(const JBNodeTable& nodes)
{
    // The springs once each, from the records to nodes built later. Taken in the order they
    // were built, a node meets its springs to earlier nodes first, in the order those were
    // built, then its own: the order its coupling list holds them in, so that its force is
    // summed in the window's order. Both records of a spring hold the same strength and length,
    // as setCoupling made them.
    for (int slot : latticeSlots)
        inOrder.push_back(nodes[slot]);
    for (auto node = inOrder.begin(); node != inOrder.end(); ++node)
        for (const JBCoupling* c = (*node)->couplings; c != nullptr; c = c->next) {
            const auto partner = std::find(node + 1, inOrder.end(), c->partner);
            if (partner != inOrder.end())
                springs.push_back({static_cast<int>(node - inOrder.begin()),
                                   static_cast<int>(partner - inOrder.begin()), c->strength, c->length});
        }
    forces.resize(inOrder.size());
}

void LatticeSteps::display() const
{
    releaseWideRegisters();
    for (JBNode* node : inOrder)
        node->display();
}

void LatticeSteps::move()
{
    releaseWideRegisters();
    for (JBNode* node : inOrder)
        node->advance();
    std::fill(forces.begin(), forces.end(), null);
    for (const Spring& s : springs)
        if (const auto p = JBNode::pull(s.strength, s.length, inOrder[s.first]->pos, inOrder[s.second]->pos)) {
            forces[s.first] = vadd(forces[s.first], *p);
            forces[s.second] = vsub(forces[s.second], *p);
        }
    for (std::size_t n = 0; n < inOrder.size(); ++n)
        inOrder[n]->accelerate(forces[n]);
}
