#pragma once

#include "projection.h"
#include "turn.h"
#include "vector.h"

// Where a point of the simulation's space shows on the canvas for the view angles: xAngle turns
// it about the vertical line x = 400, z = 50, yAngle then about the horizontal line y = 300,
// z = 60, and the depth grows by 380 before the perspective with viewing distance 400.
inline ddcoord canvasPoint(dddcoord pos, int xAngle, int yAngle)
{
    // The two-step z sum is kept as it rounds.
    dddcoord p = pos;
    p.x = p.x - 400;
    p.z = p.z - 50;
    p = xzturn(p, xAngle);
    p.x = p.x + 400;
    p.y = p.y - 300;
    p.z = (p.z + 240) - 250;
    p = yzturn(p, yAngle);
    p.y = p.y + 300;
    p.z = p.z + 440;
    return xycoord(p, 400.0f);
}
