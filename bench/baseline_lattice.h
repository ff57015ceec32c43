#pragma once

// The lattice's tick written as a plain loop over arrays: the yardstick the real lattice, with
// its QObject signals and graphics items, is measured against. The arithmetic is the nodes'
// own, operation for operation, so that both give the same bits; the turns and the projection
// are the geometry library's.

#include "vector.h"
#include "view.h"

#include <array>
#include <cmath>

class BaselineLattice {
public:
    static constexpr int count = 125;

    // The cube as assembleLattice() builds it, at rest, every dot at (100, 100).
    BaselineLattice()
    {
        for (int n = 0; n < count; ++n) {
            const int i = n / 25, j = n / 5 % 5, k = n % 5;
            pos[n] = {200.0 + 100 * i, 75.0 + 100 * j, 500.0 + 100 * k};
            vel[n] = null;
            mass[n] = 1.0;
            sx[n] = 100.0;
            sy[n] = 100.0;
            // A node's springs in the order its list gets them: first to the neighbours built
            // before it (i, j, k lower), then from those built after it (k, j, i higher).
            int m = 0;
            if (i > 0) partners[n][m++] = n - 25;
            if (j > 0) partners[n][m++] = n - 5;
            if (k > 0) partners[n][m++] = n - 1;
            if (k < 4) partners[n][m++] = n + 1;
            if (j < 4) partners[n][m++] = n + 5;
            if (i < 4) partners[n][m++] = n + 25;
            degree[n] = m;
        }
    }

    void tick(int xang, int yang)
    {
        for (int n = 0; n < count; ++n) {
            display(n, xang, yang);
            dddcoord& p = pos[n];
            p = {p.x + vel[n].x * positionStep, p.y + vel[n].y * positionStep, p.z + vel[n].z * positionStep};
            double fx = 0.0, fy = 0.0, fz = 0.0;
            for (int e = 0; e < degree[n]; ++e) {
                const int q = partners[n][e];
                // Nodes step in index order: a partner below n has already moved this tick.
                const dddcoord& o = pos[q];
                const dddcoord there = q < n ? o
                                             : dddcoord{o.x + vel[q].x * positionStep, o.y + vel[q].y * positionStep,
                                                        o.z + vel[q].z * positionStep};
                const double dx = there.x - p.x, dy = there.y - p.y, dz = there.z - p.z;
                const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
                if (length == 0.0)
                    continue;
                const double f = (length - restLength) * strength;
                const double inverse = 1.0 / length;
                fx = fx + (dx * inverse) * f;
                fy = fy + (dy * inverse) * f;
                fz = fz + (dz * inverse) * f;
            }
            vel[n].x = vel[n].x + (fx * velocityStep) / mass[n];
            vel[n].y = vel[n].y + (fy * velocityStep) / mass[n];
            vel[n].z = vel[n].z + (fz * velocityStep) / mass[n];
        }
    }

    std::array<dddcoord, count> pos;
    std::array<dddcoord, count> vel;
    std::array<double, count> mass;
    std::array<double, count> sx;  // the dots
    std::array<double, count> sy;

private:
    static constexpr double restLength = 90.0;
    static constexpr double strength = 1.0;
    static constexpr double positionStep = 0.05;
    static constexpr double velocityStep = 0.1;

    void display(int n, int xang, int yang)
    {
        const ddcoord s = canvasPoint(pos[n], xang, yang);
        if (std::isfinite(s.x) && std::isfinite(s.y)) {
            sx[n] = s.x;
            sy[n] = s.y;
        }
    }

    std::array<std::array<int, 6>, count> partners{};
    std::array<int, count> degree{};
};
