#pragma once

// The view angles stay within -180..180 whole degrees. One past an end jumps to the other end,
// not by a modulo: a fast drag past 180 lands on -180 whatever its size. The window's keys and
// mouse and jellybox-sim's turning view share this rule.
inline int wrappedAngle(int degrees)
{
    if (degrees > 180)
        return -180;
    if (degrees < -180)
        return 180;
    return degrees;
}
