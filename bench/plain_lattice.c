#include "plain_lattice.h"

#include <math.h>
#include <stdint.h>

static const double HALF = 3.14159265359;
#define DEG (HALF / 180)
static const double STEP = 0.05;
static const double PULL = 0.1;

/* Saturating truncation: no out-of-range or non-finite value reaches the int conversion. */
static double trunc32(double v)
{
    if (isnan(v) || isinf(v))
        return v;
    if (v >= 2147483648.0)
        return 2147483647.0;
    if (v <= -2147483649.0)
        return -2147483648.0;
    return (double)(int32_t)v;
}

/* A polar turn in single precision, truncated to whole units. */
static void turn(double *side, double *depth, int degrees)
{
    const double s = *side, d = *depth;
    if (s == 0.0 && d == 0.0)
        return;
    float a = (float)atan(s / d);
    a = (float)(a + degrees * DEG);
    if (d < 0.0)
        a = (float)(a + HALF);
    const float r = (float)sqrt(s * s + d * d);
    const float across = r * sinf(a);
    const float along = r * cosf(a);
    *side = trunc32(across);
    *depth = trunc32(along);
}

/* Perspective projection; returns 0 where there is none. */
static int xycoord(const double p[3], float f, float out[2])
{
    const double denom = f + p[2];
    if (denom == 0.0) {
        out[0] = out[1] = NAN;
        return 0;
    }
    const double ix = trunc32(p[0]);
    const double iy = trunc32(p[1]);
    const double d = 0.5 - f / denom;
    out[0] = (float)(ix + (400 - ix) * d);
    out[1] = (float)(iy + (300 - iy) * d);
    return 1;
}

void plain_lattice_init(plain_lattice *l)
{
    for (int n = 0; n < PLAIN_NODES; ++n) {
        const int i = n / 25, j = n / 5 % 5, k = n % 5;
        l->pos[n][0] = 200 + 100 * i;
        l->pos[n][1] = 75 + 100 * j;
        l->pos[n][2] = 500 + 100 * k;
        l->vel[n][0] = l->vel[n][1] = l->vel[n][2] = 0.0;
        l->mass[n] = 1.0;
        l->dot[n][0] = l->dot[n][1] = 100.0f;

        const int q[6] = {i > 0 ? n - 25 : -1, j > 0 ? n - 5 : -1, k > 0 ? n - 1 : -1,
                          k < 4 ? n + 1 : -1, j < 4 ? n + 5 : -1, i < 4 ? n + 25 : -1};
        int c = 0;
        for (int m = 0; m < 6; ++m) {
            if (q[m] < 0)
                continue;
            l->partner[n][c] = q[m];
            l->strength[n][c] = 1.0;
            l->rest[n][c] = 90.0;
            ++c;
        }
        l->partners[n] = c;
    }
}

static void display(plain_lattice *l, int n, int xang, int yang)
{
    double p[3] = {l->pos[n][0], l->pos[n][1], l->pos[n][2]};
    p[0] = p[0] - 400;
    p[2] = p[2] - 50;
    turn(&p[0], &p[2], xang);
    p[0] = p[0] + 400;
    p[1] = p[1] - 300;
    p[2] = (p[2] + 240) - 250;
    turn(&p[1], &p[2], yang);
    p[1] = p[1] + 300;
    p[2] = p[2] + 440;
    float s[2];
    if (xycoord(p, 400.0f, s) && isfinite(s[0]) && isfinite(s[1])) {
        l->dot[n][0] = s[0];
        l->dot[n][1] = s[1];
    }
}

static void motion(plain_lattice *l, int n)
{
    double *pos = l->pos[n];
    double *vel = l->vel[n];
    for (int c = 0; c < 3; ++c)
        pos[c] = pos[c] + vel[c] * STEP;

    double fx = 0.0, fy = 0.0, fz = 0.0;
    for (int m = 0; m < l->partners[n]; ++m) {
        const int q = l->partner[n][m];
        double there[3];
        /* A partner still to step this tick is seen where its own advance will put it. */
        if (q < n) {
            there[0] = l->pos[q][0];
            there[1] = l->pos[q][1];
            there[2] = l->pos[q][2];
        } else {
            there[0] = l->pos[q][0] + l->vel[q][0] * STEP;
            there[1] = l->pos[q][1] + l->vel[q][1] * STEP;
            there[2] = l->pos[q][2] + l->vel[q][2] * STEP;
        }
        const double dx = there[0] - pos[0];
        const double dy = there[1] - pos[1];
        const double dz = there[2] - pos[2];
        const double len = sqrt(dx * dx + dy * dy + dz * dz);
        if (len == 0.0)
            continue;
        const double f = (len - l->rest[n][m]) * l->strength[n][m];
        const double inv = 1.0 / len;
        fx = fx + (dx * inv) * f;
        fy = fy + (dy * inv) * f;
        fz = fz + (dz * inv) * f;
    }
    vel[0] = vel[0] + (fx * PULL) / l->mass[n];
    vel[1] = vel[1] + (fy * PULL) / l->mass[n];
    vel[2] = vel[2] + (fz * PULL) / l->mass[n];
}

void plain_lattice_tick(plain_lattice *l, int xang, int yang)
{
    for (int n = 0; n < PLAIN_NODES; ++n) {
        display(l, n, xang, yang);
        motion(l, n);
    }
}
