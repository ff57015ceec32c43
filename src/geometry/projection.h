#pragma once

#include "vector.h"

// Perspective: pulls p's whole-number x and y towards the canvas point (400, 300) by a fraction
// that grows with depth; a point at depth f stays where its x and y put it. At depth exactly -f
// the result is NaN (a node then keeps its dot where it was).
ddcoord xycoord(dddcoord p, float f);
