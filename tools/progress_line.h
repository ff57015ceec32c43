#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

// One line on a terminal, rewritten in place, saying how far a long run has come: ticks done
// of all, the rate and the time left. It shows only on a terminal and only once a run has gone
// on for a second, so scripts and short runs see nothing; finish() takes it away.
class ProgressLine {
public:
    // Shows on stream only if it is a terminal and enabled is true.
    ProgressLine(std::FILE* stream, std::uint64_t total, bool enabled);
    ~ProgressLine() { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Cheap enough for every tick: it looks at the clock once in so many.
    void update(std::uint64_t done)
    {
        if (active && done % ticksBetweenLooks == 0)
            look(done);
    }
    // Takes the line away until the next update, before something else is written to the
    // same terminal.
    void clear();
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::uint64_t ticksBetweenLooks = 1024;  // about 10 ms of ticks

    void look(std::uint64_t done);

    std::FILE* stream;
    std::uint64_t total;
    bool active;
    bool shown = false;
    Clock::time_point started = Clock::now();
    Clock::time_point lastShown = started;
};
