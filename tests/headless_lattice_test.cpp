// The headless lattice and jellybox-sim must be the window's lattice, not a likeness of it.

#include "headless_lattice.h"
#include "jbnode.h"
#include "measures.h"
#include "qjellybox.h"
#include "shared_state.h"
#include "sim_process.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct NodeState {
    double px, py, pz, vx, vy, vz, sx, sy;
};

NodeState stateOf(const JBNode* n)
{
    return {n->pos.x, n->pos.y, n->pos.z, n->vel.x, n->vel.y, n->vel.z, n->dotPos().x(), n->dotPos().y()};
}

// EXPECT_EQ on doubles is exact: these must agree to the last bit.
void expectSame(const NodeState& a, const NodeState& b, int slot)
{
    EXPECT_EQ(a.px, b.px) << "slot " << slot;
    EXPECT_EQ(a.py, b.py) << "slot " << slot;
    EXPECT_EQ(a.pz, b.pz) << "slot " << slot;
    EXPECT_EQ(a.vx, b.vx) << "slot " << slot;
    EXPECT_EQ(a.vy, b.vy) << "slot " << slot;
    EXPECT_EQ(a.vz, b.vz) << "slot " << slot;
    EXPECT_EQ(a.sx, b.sx) << "slot " << slot;
    EXPECT_EQ(a.sy, b.sy) << "slot " << slot;
}

// The window's lattice after its own timer's timeout fired this many times.
std::vector<NodeState> windowAfter(int ticks, int xAngle, int yAngle)
{
    QJellyBox box;
    QTimer* timer = box.findChild<QTimer*>();
    timer->stop();
    xang = xAngle;
    yang = yAngle;
    const QMetaMethod timeout = QMetaMethod::fromSignal(&QTimer::timeout);
    for (int t = 0; t < ticks; ++t)
        timeout.invoke(timer, Qt::DirectConnection);
    std::vector<NodeState> states;
    for (int slot : latticeSlots)
        states.push_back(stateOf(box.node(slot)));
    xang = 0;
    yang = 0;
    return states;
}

std::vector<double> fields(const QByteArray& line)
{
    std::vector<double> values;
    for (const QByteArray& f : line.split(','))
        values.push_back(std::strtod(f.constData(), nullptr));
    return values;
}

}  // namespace

TEST(Headless, TakesItsCanvasAlong)
{
    { HeadlessLattice lattice; EXPECT_NE(nullptr, JBCanvas); }
    EXPECT_EQ(nullptr, JBCanvas);
}

TEST(SimTool, PrintsTheWindowsStateExactly)
{
    // The tool draws its last tick alone, the window every tick. At 10 and 180 degrees one dot
    // lies at depth -400 on tick 13, on the viewer's plane, and did not on tick 12.
    for (auto [ticks, x, y] : {std::tuple{500, 30, -45}, std::tuple{500, -180, 180}, std::tuple{13, 10, 180}}) {
        const QByteArray out = runSim({"--ticks", QString::number(ticks), "--xang", QString::number(x),
                                       "--yang", QString::number(y)});
        const QList<QByteArray> lines = out.trimmed().split('\n');
        ASSERT_EQ(126, lines.size());
        EXPECT_EQ("i,j,k,px,py,pz,vx,vy,vz,sx,sy", lines[0]);
        const auto window = windowAfter(ticks, x, y);
        for (int n = 0; n < 125; ++n) {
            const std::vector<double> f = fields(lines[n + 1]);
            ASSERT_EQ(11u, f.size());
            const int slot = latticeSlots[n];
            EXPECT_EQ(slot, static_cast<int>(100 * f[0] + 10 * f[1] + f[2]));
            expectSame(window[n], {f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]}, slot);
        }
    }
}

TEST(SimTool, PictureIsTheWindowsCanvasTurnedByItsLeftArrow)
{
    // Turned one degree before every 20th tick from 170, the view passes 180 and jumps to -180.
    QTemporaryDir dir;
    const QString png = dir.filePath("cube.png");
    runSim({"--ticks", "300", "--xang", "170", "--yang", "-40", "--turn-every", "20", "--png", png});
    const QImage picture(png);
    ASSERT_EQ(QSize(780, 580), picture.size());

    // The window's own picture, repainted a tick at a time as it is on the screen.
    QJellyBox box;
    box.findChild<QTimer*>()->stop();
    xang = 170;
    yang = -40;
    QCoreApplication::processEvents();
    const QMetaMethod timeout = QMetaMethod::fromSignal(&QTimer::timeout);
    for (int t = 1; t <= 300; ++t) {
        if (t % 20 == 0) {
            QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
            QCoreApplication::sendEvent(&box, &left);
        }
        timeout.invoke(box.findChild<QTimer*>(), Qt::DirectConnection);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(-176, xang);
    const QImage window = box.grab(QRect(0, 0, 780, 580)).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(window, picture.convertToFormat(QImage::Format_RGB32));
    xang = 0;
    yang = 0;
}

TEST(SimTool, EnergyRowsAreTheLatticesMeasure)
{
    const QList<QByteArray> lines = runSim({"--ticks", "12", "--energy", "5"}).trimmed().split('\n');
    ASSERT_EQ(4, lines.size());  // ticks 0, 5 and 10; 12 is no multiple of 5
    EXPECT_EQ("tick,energy", lines[0]);
    HeadlessLattice lattice;
    for (int row = 0; row < 3; ++row) {
        const std::vector<double> f = fields(lines[row + 1]);
        ASSERT_EQ(2u, f.size());
        EXPECT_EQ(5.0 * row, f[0]);
        EXPECT_EQ(latticeEnergy(lattice.nodes()), f[1]);
        for (int t = 0; t < 5; ++t)
            lattice.tick();
    }
}
