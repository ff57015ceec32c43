#pragma once

#include "truncate.h"
#include "vector.h"

#include <cmath>

// These reproduce a pi of 3.14159265359, not the full-precision one; the dots' places depend on it.
inline constexpr double halfTurn = 3.14159265359;
inline constexpr double degreesToRadians = halfTurn / 180;

// The geometry is inline, in headers: called out of line, every step handed its 24-byte points
// through memory to the next, and that cost a third of a tick.

namespace turn_detail {

struct Turned {
    double side;   // the x or y component
    double depth;  // the z component
};

inline Turned turnInPlane(double side, double depth, int degrees)
{
    // On the axis the angle is 0/0; the point does not move under any turn.
    if (side == 0.0 && depth == 0.0)
        return {side, depth};

    // Every step rounds to float on purpose: the truncated results depend on it.
    float a = static_cast<float>(std::atan(side / depth));
    a = static_cast<float>(a + degrees * degreesToRadians);
    if (depth < 0.0)
        a = static_cast<float>(a + halfTurn);
    const float r = static_cast<float>(std::sqrt(side * side + depth * depth));
    return {truncated(r * std::sin(a)), truncated(r * std::cos(a))};
}

}  // namespace turn_detail

// Turns p by whole degrees through polar coordinates held in single precision; the turned
// components come back truncated toward zero. xzturn measures the angle from +z towards +x and
// leaves y untouched; yzturn does the same with y and leaves x untouched. A point on the axis
// (both turned components 0) comes back unchanged.
inline dddcoord xzturn(dddcoord p, int degrees)
{
    const turn_detail::Turned t = turn_detail::turnInPlane(p.x, p.z, degrees);
    return {t.side, p.y, t.depth};
}

inline dddcoord yzturn(dddcoord p, int degrees)
{
    const turn_detail::Turned t = turn_detail::turnInPlane(p.y, p.z, degrees);
    return {p.x, t.side, t.depth};
}
