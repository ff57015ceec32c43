#pragma once

#include <cmath>
#include <cstdint>

// Truncation toward zero to a 32-bit integer, returned as a double. A finite value outside the
// int32 range saturates at its nearest limit; NaN and infinities pass through as they are, so
// callers can see that a result is not finite. No value ever reaches an out-of-range int
// conversion.
inline double truncated(double v)
{
    // Nearly always within range: one test before the conversion, the rest only when not.
    if (std::fabs(v) < 2147483648.0)
        return static_cast<double>(static_cast<std::int32_t>(v));
    if (!std::isfinite(v))
        return v;
    if (v >= 2147483648.0)
        return 2147483647.0;
    if (v <= -2147483649.0)
        return -2147483648.0;
    return static_cast<double>(static_cast<std::int32_t>(v));
}
