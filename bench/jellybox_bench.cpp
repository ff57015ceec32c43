// Costs of one tick, real and plain. Run with the usual Google Benchmark flags.

#include "baseline_lattice.h"
#include "headless_lattice.h"
#include "jbnode.h"
#include "qjellybox.h"
#include "shared_state.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// Far enough in that the cube is wobbling and no coordinate is a round number any more.
constexpr int warmUpTicks = 1000;

void LatticeTick(benchmark::State& state)
{
    HeadlessLattice lattice;
    for (int t = 0; t < warmUpTicks; ++t)
        lattice.tick();
    for (auto _ : state)
        lattice.tick();
}
BENCHMARK(LatticeTick);

void DisplayOnly(benchmark::State& state)
{
    HeadlessLattice lattice;
    for (int t = 0; t < warmUpTicks; ++t)
        lattice.tick();
    // The nodes do not move here; turning the view every time makes every dot move instead.
    bool turned = false;
    for (auto _ : state) {
        turned = !turned;
        xang = turned ? 30 : 0;
        for (int slot : latticeSlots)
            lattice.nodes()[slot]->display();
    }
    xang = 0;
}
BENCHMARK(DisplayOnly);

void MotionOnly(benchmark::State& state)
{
    HeadlessLattice lattice;
    for (int t = 0; t < warmUpTicks; ++t)
        lattice.tick();
    for (auto _ : state)
        for (int slot : latticeSlots)
            lattice.nodes()[slot]->move();
}
BENCHMARK(MotionOnly);

void BaselineTick(benchmark::State& state)
{
    BaselineLattice lattice;
    for (int t = 0; t < warmUpTicks; ++t)
        lattice.tick(0, 0);
    for (auto _ : state) {
        lattice.tick(0, 0);
        benchmark::DoNotOptimize(lattice.pos.data());
    }
}
BENCHMARK(BaselineTick);

// What jellybox-sim --ticks 1000000 does, as plain arithmetic.
void BaselineMillionTicks(benchmark::State& state)
{
    for (auto _ : state) {
        BaselineLattice lattice;
        for (int t = 0; t < 1000000; ++t)
            lattice.tick(0, 0);
        benchmark::DoNotOptimize(lattice.pos.data());
    }
}
BENCHMARK(BaselineMillionTicks)->Iterations(1)->Unit(benchmark::kMillisecond);

QTimer* windowTimer(QJellyBox& box)
{
    QTimer* timer = box.findChild<QTimer*>();
    timer->stop();
    return timer;
}

// The window's own tick: its nodes and the canvas update, the canvas shown in the window.
void WindowTick(benchmark::State& state)
{
    QJellyBox box;
    QTimer* timer = windowTimer(box);
    const QMetaMethod timeout = QMetaMethod::fromSignal(&QTimer::timeout);
    for (auto _ : state)
        timeout.invoke(timer, Qt::DirectConnection);
}
BENCHMARK(WindowTick);

// The same with the events the tick posts handled, the repaint among them (offscreen).
void WindowTickAndRepaint(benchmark::State& state)
{
    QJellyBox box;
    QTimer* timer = windowTimer(box);
    const QMetaMethod timeout = QMetaMethod::fromSignal(&QTimer::timeout);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        timeout.invoke(timer, Qt::DirectConnection);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(WindowTickAndRepaint);

// A yardstick that drifted from the lattice would measure something else.
bool baselineMatches()
{
    HeadlessLattice real;
    BaselineLattice plain;
    for (int t = 0; t < warmUpTicks; ++t) {
        real.tick();
        plain.tick(0, 0);
    }
    for (int n = 0; n < BaselineLattice::count; ++n) {
        const JBNode* node = real.nodes()[latticeSlots[n]];
        const dddcoord p = plain.pos[n], v = plain.vel[n];
        if (node->pos.x != p.x || node->pos.y != p.y || node->pos.z != p.z || node->vel.x != v.x ||
            node->vel.y != v.y || node->vel.z != v.z || node->dotPos().x() != plain.sx[n] ||
            node->dotPos().y() != plain.sy[n])
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!baselineMatches()) {
        std::fputs("jellybox-bench: the baseline no longer matches the lattice bit for bit\n", stderr);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
