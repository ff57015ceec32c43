#include "view.h"

#include "projection.h"
#include "turn.h"

ddcoord canvasPoint(dddcoord pos, int xAngle, int yAngle)
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
