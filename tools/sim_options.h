#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What one run of jellybox-sim is asked to do.
struct SimOptions {
    std::uint64_t ticks = 0;
    int xang = 0;  // at the start; held for the whole run unless turnEvery says otherwise
    int yang = 0;
    std::uint64_t energyEvery = 0;  // 0: print the final state; otherwise the energy every so many ticks
    QString png;                    // where to write the canvas after the last tick, if anywhere
    QString video;                  // where to write the canvas as an animation, if anywhere
    std::uint64_t frameEvery = 4;   // ticks a frame of the animation: K x 10 ms on screen
    std::uint64_t turnEvery = 0;    // 0: the view holds still; T: xang + 1 before every T-th tick
    bool quiet = false;             // no progress line, even on a terminal
};

// A frame is shown for K x 10 ms, and a WebP frame holds at most 2^24 - 1 ms.
inline constexpr std::uint64_t maxFrameEvery = 1000000;

struct SimRequest {
    enum class Kind { Run, Help, Error };
    Kind kind = Kind::Error;
    SimOptions options;
    QString text;  // the help text, or a one-line error message
};

// message as one line: it may quote what was typed, a file name among it, and a line break there
// must not make a second line.
QString oneLine(QString message);

// arguments as main() got them, the program name first. Nothing is run and nothing printed here,
// so that every bad input can be turned away before any output.
SimRequest parseSimArguments(const QStringList& arguments);
