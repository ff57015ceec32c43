#include "plain_lattice.h"

#include <math.h>
#include <stdint.h>

static const double HALF = 3.14159265359;
#define DEG (HALF / 180)
static const double STEP = 0.05;
static const double PULL = 0.1;

/* Saturating truncation: no out-of-range or non-finite value reaches the int conversion. */
static inline double trunc32(double v)
{
    if (fabs(v) < 2147483648.0)
        return (double)(int32_t)v;
    if (isnan(v) || isinf(v))
        return v;
    return v > 0 ? 2147483647.0 : (v <= -2147483649.0 ? -2147483648.0 : (double)(int32_t)v);
}

/* A polar turn in single precision, truncated to whole units. */
static inline void turn(double *side, double *depth, double by)
{
    const double s = *side, d = *depth;
    if (s == 0.0 && d == 0.0)
        return;
    float a = (float)atan(s / d);
    a = (float)(a + by);
    if (d < 0.0)
        a = (float)(a + HALF);
    const float r = (float)sqrt(s * s + d * d);
    /* Float products, rounded as such by the casts in any C: where floats are evaluated in
     * double (FLT_EVAL_METHOD 1, GCC 12 for s390x under -std=c11) the product is exact there
     * and the cast rounds it once, as float arithmetic does. */
    *side = trunc32((float)(r * sinf(a)));
    *depth = trunc32((float)(r * cosf(a)));
}

void plain_lattice_init(plain_lattice *l)
{
    int springs = 0;
    for (int n = 0; n < PLAIN_NODES; ++n) {
        const int i = n / 25, j = n / 5 % 5, k = n % 5;
        l->x[n] = 200 + 100 * i;
        l->y[n] = 75 + 100 * j;
        l->z[n] = 500 + 100 * k;
        l->vx[n] = l->vy[n] = l->vz[n] = 0.0;
        l->mass[n] = 1.0;
        l->dot[n][0] = l->dot[n][1] = 100.0f;
        l->springs[n] = 0;
    }
    /* Springs to the lower neighbours first: then every node's lower springs exist, in order,
     * before its higher ones are added. */
    for (int n = 0; n < PLAIN_NODES; ++n) {
        const int i = n / 25, j = n / 5 % 5, k = n % 5;
        const int lower[3] = {i > 0 ? n - 25 : -1, j > 0 ? n - 5 : -1, k > 0 ? n - 1 : -1};
        for (int m = 0; m < 3; ++m) {
            if (lower[m] < 0)
                continue;
            l->from[springs] = lower[m];
            l->to[springs] = n;
            l->strength[springs] = 1.0;
            l->rest[springs] = 90.0;
            l->spring[n][l->springs[n]++] = springs;
            ++springs;
        }
    }
    /* A node's higher springs come after its lower ones, nearest neighbour (k + 1) first. */
    for (int n = 0; n < PLAIN_NODES; ++n) {
        const int i = n / 25, j = n / 5 % 5, k = n % 5;
        const int higher[3] = {k < 4 ? n + 1 : -1, j < 4 ? n + 5 : -1, i < 4 ? n + 25 : -1};
        for (int m = 0; m < 3; ++m) {
            if (higher[m] < 0)
                continue;
            for (int s = 0; s < springs; ++s)
                if (l->from[s] == n && l->to[s] == higher[m])
                    l->spring[n][l->springs[n]++] = s;
        }
    }
}

static void draw_dots(plain_lattice *l, int xang, int yang)
{
    const double xby = xang * DEG, yby = yang * DEG;
    for (int n = 0; n < PLAIN_NODES; ++n) {
        double x = l->x[n] - 400, y = l->y[n], z = l->z[n] - 50;
        turn(&x, &z, xby);
        x = x + 400;
        y = y - 300;
        z = (z + 240) - 250;
        turn(&y, &z, yby);
        y = y + 300;
        z = z + 440;
        double denom = 400.0f + z;
        if (denom == 0.0)
            denom = 1.0; /* on the viewer's plane: drawn one unit nearer */
        const double ix = trunc32(x), iy = trunc32(y), d = 0.5 - 400.0f / denom;
        const float sx = (float)(ix + (400 - ix) * d), sy = (float)(iy + (300 - iy) * d);
        if (isfinite(sx) && isfinite(sy)) {
            l->dot[n][0] = sx;
            l->dot[n][1] = sy;
        }
    }
}

void plain_lattice_tick(plain_lattice *l, int xang, int yang, int draw)
{
    if (draw)
        draw_dots(l, xang, yang);
    for (int n = 0; n < PLAIN_NODES; ++n) {
        l->x[n] = l->x[n] + l->vx[n] * STEP;
        l->y[n] = l->y[n] + l->vy[n] * STEP;
        l->z[n] = l->z[n] + l->vz[n] * STEP;
    }
    /* A spring pulls its two ends equally and oppositely: worked out from either end, a - b is
     * exactly -(b - a), and every product after it keeps that, so once is enough. */
    for (int s = 0; s < PLAIN_SPRINGS; ++s) {
        const int a = l->from[s], b = l->to[s];
        const double dx = l->x[b] - l->x[a], dy = l->y[b] - l->y[a], dz = l->z[b] - l->z[a];
        const double len = sqrt(dx * dx + dy * dy + dz * dz);
        l->pulls[s] = len != 0.0;
        if (len == 0.0)
            continue;
        const double f = (len - l->rest[s]) * l->strength[s];
        const double inv = 1.0 / len;
        l->px[s] = (dx * inv) * f;
        l->py[s] = (dy * inv) * f;
        l->pz[s] = (dz * inv) * f;
    }
    for (int n = 0; n < PLAIN_NODES; ++n) {
        double fx = 0.0, fy = 0.0, fz = 0.0;
        for (int m = 0; m < l->springs[n]; ++m) {
            const int s = l->spring[n][m];
            if (!l->pulls[s])
                continue;
            if (l->from[s] == n) {
                fx = fx + l->px[s];
                fy = fy + l->py[s];
                fz = fz + l->pz[s];
            } else {
                fx = fx - l->px[s];
                fy = fy - l->py[s];
                fz = fz - l->pz[s];
            }
        }
        l->vx[n] = l->vx[n] + (fx * PULL) / l->mass[n];
        l->vy[n] = l->vy[n] + (fy * PULL) / l->mass[n];
        l->vz[n] = l->vz[n] + (fz * PULL) / l->mass[n];
    }
}
