#include "vector.h"

#include <cmath>

dddcoord vadd(dddcoord a, dddcoord b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

dddcoord vsub(dddcoord a, dddcoord b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

dddcoord vmult(dddcoord a, double s) { return {a.x * s, a.y * s, a.z * s}; }

double vabs(dddcoord a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

dddcoord normalize(dddcoord a)
{
    const double length = vabs(a);
    if (length == 0.0)
        return null;  // no direction to give; the spring step never asks
    // One reciprocal, three products: the rounding differs from three divisions.
    return vmult(a, 1.0 / length);
}
