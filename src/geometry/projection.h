#pragma once

#include "truncate.h"
#include "vector.h"

#include <limits>

// Perspective: pulls p's whole-number x and y towards the canvas point (400, 300) by a fraction
// that grows with depth; a point at depth f stays where its x and y put it. At depth exactly -f
// the result is NaN (a node then keeps its dot where it was).
inline ddcoord xycoord(dddcoord p, float f)
{
    const double denominator = f + p.z;
    if (denominator == 0.0) {
        constexpr float nan = std::numeric_limits<float>::quiet_NaN();
        return {nan, nan};
    }
    // Whole numbers held as doubles: exact for every int, so 400 - ix cannot overflow.
    const double ix = truncated(p.x);
    const double iy = truncated(p.y);
    const double d = 0.5 - f / denominator;
    return {static_cast<float>(ix + (400 - ix) * d), static_cast<float>(iy + (300 - iy) * d)};
}
