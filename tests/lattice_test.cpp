#include "canvas.h"
#include "jbnode.h"
#include "lattice.h"
#include "measures.h"
#include "qjellybox.h"
#include "shared_state.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

namespace {

void expectSame(dddcoord expected, dddcoord actual)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.x), std::bit_cast<std::uint64_t>(actual.x));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.y), std::bit_cast<std::uint64_t>(actual.y));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.z), std::bit_cast<std::uint64_t>(actual.z));
}

std::vector<const JBNode*> partners(const JBNode* node)
{
    std::vector<const JBNode*> result;
    for (const JBCoupling* c = node->couplings; c != nullptr; c = c->next)
        result.push_back(c->partner);
    return result;
}

// One tick of the window: every node, then the repaint, in connection order.
void tick(QJellyBox& box, int times = 1)
{
    QTimer* timer = box.findChild<QTimer*>();
    for (int t = 0; t < times; ++t)
        QMetaObject::invokeMethod(timer, "timeout");
}

// A box whose timer stays still, so the test alone decides when it ticks.
std::unique_ptr<QJellyBox> stillBox()
{
    auto box = std::make_unique<QJellyBox>();
    box->findChild<QTimer*>()->stop();
    return box;
}

JBNodeTable tableOf(const QJellyBox& box)
{
    JBNodeTable table{};
    for (int slot : latticeSlots)
        table[slot] = box.node(slot);
    return table;
}

// Nodes on a private canvas, for steps of one or two nodes.
class NodeStep : public testing::Test {
protected:
    void SetUp() override
    {
        JBCanvas = &canvas;
        xang = 0;
        yang = 0;
    }
    void TearDown() override { JBCanvas = nullptr; }

    JBNode* nodeAt(dddcoord pos, dddcoord vel = null)
    {
        JBNode* node = new JBNode;  // the canvas owns it
        node->pos = pos;
        node->vel = vel;
        return node;
    }

    Canvas canvas;
};

}  // namespace

TEST(LatticeAssembly, FillsExactlyTheSlotsWhoseDigitsAreLatticeIndices)
{
    const auto box = stillBox();
    int filled = 0;
    for (int slot = 0; slot < 1000; ++slot) {
        const int i = slot / 100, j = slot / 10 % 10, k = slot % 10;
        const bool inLattice = i < 5 && j < 5 && k < 5;
        ASSERT_EQ(inLattice, box->node(slot) != nullptr) << "slot " << slot;
        if (!inLattice)
            continue;
        ++filled;
        expectSame({200.0 + 100 * i, 75.0 + 100 * j, 500.0 + 100 * k}, box->node(slot)->pos);
        expectSame(null, box->node(slot)->vel);
        EXPECT_EQ(1.0, box->node(slot)->mass);
        EXPECT_EQ(QPointF(100, 100), box->node(slot)->dotPos());
    }
    EXPECT_EQ(125, filled);
}

TEST(LatticeAssembly, CouplingListsFollowTheBuildOrder)
{
    const auto box = stillBox();
    auto at = [&](int i, int j, int k) -> const JBNode* { return box->node(nodeIndex(i, j, k)); };

    EXPECT_EQ((std::vector{at(0, 0, 1), at(0, 1, 0), at(1, 0, 0)}), partners(at(0, 0, 0)));
    EXPECT_EQ((std::vector{at(1, 2, 2), at(2, 1, 2), at(2, 2, 1), at(2, 2, 3), at(2, 3, 2), at(3, 2, 2)}),
              partners(at(2, 2, 2)));
    EXPECT_EQ((std::vector{at(3, 4, 4), at(4, 3, 4), at(4, 4, 3)}), partners(at(4, 4, 4)));

    int records = 0;
    for (int slot : latticeSlots) {
        for (const JBCoupling* c = box->node(slot)->couplings; c != nullptr; c = c->next) {
            ++records;
            EXPECT_EQ(1.0, c->strength);
            EXPECT_EQ(90.0, c->length);
        }
    }
    EXPECT_EQ(600, records);
}

TEST(LatticeAssembly, StartsStretchedAtRest)
{
    const auto box = stillBox();
    const JBNodeTable table = tableOf(*box);
    EXPECT_EQ(15000.0, latticeEnergy(table));
    expectSame({400, 275, 700}, centreOfMass(table));
}

TEST(LatticeAssembly, FirstTickPullsTheCornerInwards)
{
    const auto box = stillBox();
    tick(*box);
    expectSame({1, 1, 1}, box->node(nodeIndex(0, 0, 0))->vel);
    expectSame({-1, -1, -1}, box->node(nodeIndex(4, 4, 4))->vel);
    // Positions moved with the velocity from before the tick: not at all.
    expectSame({200, 75, 500}, box->node(nodeIndex(0, 0, 0))->pos);
}

TEST_F(NodeStep, WithoutCouplingsTheVelocityIsKept)
{
    JBNode* node = nodeAt({10, 20, 30}, {1, -2, 4});
    node->animate();
    expectSame({1, -2, 4}, node->vel);
    expectSame({10 + 1 * 0.05, 20 + -2 * 0.05, 30 + 4 * 0.05}, node->pos);
}

TEST_F(NodeStep, SpringForceFollowsStretchAndMass)
{
    // Stretched by 10 it pulls, compressed by 10 it pushes; mass 2 halves the change.
    JBNode* a = nodeAt({0, 0, 0});
    JBNode* stretched = nodeAt({100, 0, 0});
    a->setCoupling(stretched, 1.0);
    a->animate();
    expectSame({1, 0, 0}, a->vel);
    expectSame({0, 0, 0}, a->pos);  // advanced with the velocity from before the tick

    JBNode* b = nodeAt({0, 0, 0});
    JBNode* compressed = nodeAt({0, 80, 0});
    b->mass = 2.0;
    b->setCoupling(compressed, 1.0);
    b->animate();
    expectSame({0, -0.5, 0}, b->vel);
}

TEST_F(NodeStep, SetCouplingAppendsOneRecordToEachList)
{
    JBNode* a = nodeAt({0, 0, 0});
    JBNode* b = nodeAt({100, 0, 0});
    JBNode* c = nodeAt({0, 100, 0});
    a->setCoupling(c, 2.0);
    b->setCoupling(a, 1.0);
    b->setCoupling(a, 1.0);  // no duplicate check: a second spring
    EXPECT_EQ((std::vector<const JBNode*>{c, b, b}), partners(a));
    EXPECT_EQ((std::vector<const JBNode*>{a, a}), partners(b));
    EXPECT_EQ((std::vector<const JBNode*>{a}), partners(c));
    EXPECT_EQ(2.0, c->couplings->strength);

    b->animate();
    expectSame({-2, 0, 0}, b->vel);
}

TEST_F(NodeStep, CoincidentEndsContributeNothing)
{
    JBNode* a = nodeAt({0, 0, 0});
    JBNode* twin = nodeAt({0, 0, 0});
    JBNode* far = nodeAt({100, 0, 0});
    a->setCoupling(twin, 1.0);
    a->setCoupling(far, 1.0);
    a->animate();
    expectSame({1, 0, 0}, a->vel);
}

TEST_F(NodeStep, DisplayShowsThePositionOnEntry)
{
    JBNode* moving = nodeAt({200, 75, 500}, {1000, 0, 0});
    JBNode* stillHere = nodeAt({200, 75, 500});
    JBNode* stillThere = nodeAt({250, 75, 500});
    EXPECT_EQ(QPointF(100, 100), moving->dotPos());

    moving->animate();
    stillHere->animate();
    EXPECT_EQ(stillHere->dotPos(), moving->dotPos());

    moving->animate();
    stillThere->animate();
    EXPECT_EQ(stillThere->dotPos(), moving->dotPos());
    EXPECT_NE(stillHere->dotPos(), stillThere->dotPos());
}

TEST_F(NodeStep, PartnersSeeEachOtherAfterTheSameAdvance)
{
    // Stepped in either order, a pair ends in the same state to the last bit.
    auto run = [this](bool firstA) {
        JBNode* a = nodeAt({0, 0, 0}, {3, -1, 2});
        JBNode* b = nodeAt({95, 10, -5}, {-4, 0.5, 7});
        a->setCoupling(b, 1.0);
        for (int t = 0; t < 50; ++t) {
            (firstA ? a : b)->animate();
            (firstA ? b : a)->animate();
        }
        return std::pair{a, b};
    };
    const auto [a1, b1] = run(true);
    const auto [a2, b2] = run(false);
    expectSame(a1->pos, a2->pos);
    expectSame(a1->vel, a2->vel);
    expectSame(b1->pos, b2->pos);
    expectSame(b1->vel, b2->vel);
}

TEST(LatticeTick, TurningMovesOnlyTheDots)
{
    const auto plain = stillBox();
    const auto turned = stillBox();
    for (int t = 0; t < 40; ++t) {
        xang = 0;
        yang = 0;
        tick(*plain);
        xang = 37 - t;
        yang = t % 2 == 0 ? 180 : -95;
        tick(*turned);
    }
    xang = 0;
    yang = 0;
    int movedDots = 0;
    for (int slot : latticeSlots) {
        expectSame(plain->node(slot)->pos, turned->node(slot)->pos);
        expectSame(plain->node(slot)->vel, turned->node(slot)->vel);
        movedDots += plain->node(slot)->dotPos() != turned->node(slot)->dotPos();
    }
    EXPECT_EQ(125, movedDots);
}
