#pragma once

#include "vector.h"

// Where a point of the simulation's space shows on the canvas for the view angles: xAngle turns
// it about the vertical line x = 400, z = 50, yAngle then about the horizontal line y = 300,
// z = 60, and the depth grows by 380 before the perspective with viewing distance 400. NaN
// where the turned point lands at depth -400 exactly.
ddcoord canvasPoint(dddcoord pos, int xAngle, int yAngle);
