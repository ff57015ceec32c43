#pragma once

#include "truncate.h"
#include "vector.h"

// Perspective: pulls p's whole-number x and y towards the canvas point (400, 300) by a fraction
// that grows with depth; a point at depth f stays where its x and y put it.
inline ddcoord xycoord(dddcoord p, float f)
{
    // At depth exactly -f the fraction has no value: the point is taken one unit nearer, at
    // -f + 1 (the turned depths are whole numbers), which puts it far off the canvas as it puts
    // its neighbours, unless it lies on the centre's own row or column. A place of its own, not
    // the dot's last one: a picture must not depend on which earlier ticks were drawn.
    double denominator = f + p.z;
    if (denominator == 0.0)
        denominator = 1.0;
    // Whole numbers held as doubles: exact for every int, so 400 - ix cannot overflow.
    const double ix = truncated(p.x);
    const double iy = truncated(p.y);
    const double d = 0.5 - f / denominator;
    return {static_cast<float>(ix + (400 - ix) * d), static_cast<float>(iy + (300 - iy) * d)};
}
