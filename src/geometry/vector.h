#pragma once

// A point or vector in the simulation's space: x to the right, y downward, z away from the viewer.
struct dddcoord {
    double x;
    double y;
    double z;
};

// A point on the canvas.
struct ddcoord {
    float x;
    float y;
};

inline constexpr dddcoord null{0.0, 0.0, 0.0};

dddcoord vadd(dddcoord a, dddcoord b);
dddcoord vsub(dddcoord a, dddcoord b);   // a - b
dddcoord vmult(dddcoord a, double s);
double vabs(dddcoord a);
dddcoord normalize(dddcoord a);          // null for the zero vector
