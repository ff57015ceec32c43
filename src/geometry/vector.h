#pragma once

#include <cmath>

// A point or vector in the simulation's space: x to the right, y downward, z away from the viewer.
struct dddcoord {
    double x;
    double y;
    double z;
};

// A point on the canvas.
struct ddcoord {
    float x;
    float y;
};

inline constexpr dddcoord null{0.0, 0.0, 0.0};

// Inline: the spring step calls these 600 times a tick, and a call per operation cost more
// than the arithmetic. Inlining cannot change a result: nothing is contracted or reordered.
inline dddcoord vadd(dddcoord a, dddcoord b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

inline dddcoord vsub(dddcoord a, dddcoord b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }  // a - b

inline dddcoord vmult(dddcoord a, double s) { return {a.x * s, a.y * s, a.z * s}; }

inline double vabs(dddcoord a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

inline dddcoord normalize(dddcoord a)
{
    const double length = vabs(a);
    if (length == 0.0)
        return null;  // no direction to give; the spring step never asks
    // One reciprocal, three products: the rounding differs from three divisions.
    return vmult(a, 1.0 / length);
}
