#pragma once

#include "vector.h"

// These reproduce a pi of 3.14159265359, not the full-precision one; the dots' places depend on it.
inline constexpr double halfTurn = 3.14159265359;
inline constexpr double degreesToRadians = halfTurn / 180;

// Turns p by whole degrees through polar coordinates held in single precision; the turned
// components come back truncated toward zero. xzturn measures the angle from +z towards +x and
// leaves y untouched; yzturn does the same with y and leaves x untouched. A point on the axis
// (both turned components 0) comes back unchanged.
dddcoord xzturn(dddcoord p, int degrees);
dddcoord yzturn(dddcoord p, int degrees);
