#pragma once

class Canvas;

// Process-wide, on the GUI thread only. The view writes them; every node reads them.
extern Canvas* JBCanvas;          // the one canvas every node puts its dot on
extern int xang;                  // turn in the x-z plane, whole degrees, -180..180
extern int yang;                  // turn in the y-z plane, whole degrees, -180..180
