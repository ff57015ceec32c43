#pragma once

#include "lattice.h"
#include "lattice_steps.h"

#include <QObject>
#include <QTimer>

#include <chrono>

class Canvas;

// While nobody can see the window, its tick timer rests and the lattice keeps time by the
// clock: once a second it takes the ticks it owes, undrawn. Seen again, it takes what it still
// owes, the last tick drawn, before the window paints, and hands back to the tick timer: the
// first picture is the one a window that had ticked all along shows at that tick.
class UnseenTicks : public QObject {
    Q_OBJECT

public:
    UnseenTicks(QTimer* tickTimer, const JBNodeTable& nodes, Canvas* canvas, QObject* parent);

public slots:
    void setSeen(bool seen);

private:
    using Clock = std::chrono::steady_clock;  // stands still while the machine sleeps
    void takeOwedTicks(bool drawLast);

    QTimer* tickTimer;
    QTimer wakeTimer;
    LatticeSteps steps;
    Canvas* canvas;
    bool resting = false;
    Clock::time_point lastTick;
};
