// Costs of one tick, real and plain. Run with the usual Google Benchmark flags.

#include "headless_lattice.h"
#include "jbnode.h"
#include "plain_lattice.h"
#include "qjellybox.h"
#include "shared_state.h"
#include "wide_registers.h"

#include <QApplication>
#include <QMetaMethod>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// Far enough in that the cube is wobbling and no coordinate is a round number any more.
constexpr int warmUpTicks = 1000;

void LatticeTick(benchmark::State& state)
{
    const bool drawn = state.range(0) != 0;
    HeadlessLattice lattice;
    for (int t = 0; t < warmUpTicks; ++t)
        lattice.tick();
    for (auto _ : state)
        lattice.tick(drawn);
}
BENCHMARK(LatticeTick)->ArgName("drawn")->Arg(1)->Arg(0);

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

// The yardstick: the same arithmetic as plain loops over arrays, written apart from the lattice.
void PlainLoopTick(benchmark::State& state)
{
    const int drawn = static_cast<int>(state.range(0));
    plain_lattice lattice;
    plain_lattice_init(&lattice);
    for (int t = 0; t < warmUpTicks; ++t)
        plain_lattice_tick(&lattice, 0, 0, 1);
    for (auto _ : state) {
        plain_lattice_tick(&lattice, 0, 0, drawn);
        benchmark::DoNotOptimize(lattice.dot);
        benchmark::DoNotOptimize(lattice.vx);
    }
}
BENCHMARK(PlainLoopTick)->ArgName("drawn")->Arg(1)->Arg(0);

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

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);  // for the window's benchmarks
    // Qt's start leaves the wide registers in use (wide_registers.h); the plain loop, run alone,
    // would pay for that on every instruction.
    releaseWideRegisters();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
