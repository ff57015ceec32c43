#include "unseen_ticks.h"

#include "canvas.h"

#include <algorithm>

UnseenTicks::UnseenTicks(QTimer* tickTimer, const JBNodeTable& nodes, Canvas* canvas, QObject* parent)
    : QObject(parent), tickTimer(tickTimer), steps(nodes), canvas(canvas)
{
    // Whole seconds at most: the system may run it with other wake-ups of its own.
    wakeTimer.setTimerType(Qt::VeryCoarseTimer);
    wakeTimer.setInterval(1000);
    connect(&wakeTimer, &QTimer::timeout, this, [this] { takeOwedTicks(false); });
}

void UnseenTicks::setSeen(bool seen)
{
    // A tick timer that somebody else stopped stays theirs.
    if (!seen && !resting && tickTimer->isActive()) {
        tickTimer->stop();
        lastTick = Clock::now();
        resting = true;
        wakeTimer.start();
    } else if (seen && resting) {
        wakeTimer.stop();
        resting = false;
        takeOwedTicks(true);
        tickTimer->start();
    }
}

void UnseenTicks::takeOwedTicks(bool drawLast)
{
    const auto tick = std::chrono::milliseconds(tickTimer->interval());
    const auto owed = std::max<Clock::rep>((Clock::now() - lastTick) / tick, 0);
    lastTick += owed * tick;
    // In lattice order as the timer steps them, with the same bits: one trajectory, drawn or not.
    for (Clock::rep t = drawLast ? 1 : 0; t < owed; ++t)
        steps.move();
    if (drawLast) {
        // The tick the window shows now, even when none is owed yet: the timer's next is near.
        steps.display();
        steps.move();
        canvas->update();
    }
}
