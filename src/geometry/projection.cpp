#include "projection.h"

#include "truncate.h"

#include <limits>

ddcoord xycoord(dddcoord p, float f)
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
