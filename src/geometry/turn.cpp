#include "turn.h"

#include "truncate.h"

#include <cmath>

namespace {

struct Turned {
    double side;   // the x or y component
    double depth;  // the z component
};

Turned turnInPlane(double side, double depth, int degrees)
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

}  // namespace

dddcoord xzturn(dddcoord p, int degrees)
{
    const Turned t = turnInPlane(p.x, p.z, degrees);
    return {t.side, p.y, t.depth};
}

dddcoord yzturn(dddcoord p, int degrees)
{
    const Turned t = turnInPlane(p.y, p.z, degrees);
    return {p.x, t.side, t.depth};
}
