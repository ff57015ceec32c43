#include "canvas_point.h"
#include "projection.h"
#include "truncate.h"
#include "turn.h"
#include "vector.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

void expectSame(dddcoord expected, dddcoord actual)
{
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
    EXPECT_EQ(expected.z, actual.z);
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(Vector, ArithmeticIsComponentWise)
{
    expectSame({3, 0, 0}, vsub({5, 0, 0}, {2, 0, 0}));
    expectSame({4, -1, 9}, vadd({1, 2, 3}, {3, -3, 6}));
    expectSame({-2, 1, 0.5}, vmult({4, -2, -1}, -0.5));
    EXPECT_EQ(5.0, vabs({3, 4, 0}));
    EXPECT_EQ(13.0, vabs({3, 4, 12}));
}

TEST(Vector, NormalizeMultipliesByTheReciprocalLength)
{
    expectSame({0, 0, 1}, normalize({0, 0, 2}));
    // 49 * (1/49) is one ulp short of 1; a division would give 1 exactly.
    EXPECT_EQ(0.9999999999999999, normalize({49, 0, 0}).x);
}

TEST(Vector, NormalizeOfZeroIsZero)
{
    expectSame(null, normalize(null));
}

TEST(Truncation, TowardZeroWithinInt32)
{
    EXPECT_EQ(2.0, truncated(2.9));
    EXPECT_EQ(-2.0, truncated(-2.9));
    EXPECT_EQ(2147483647.0, truncated(2147483647.9));
    EXPECT_EQ(-2147483648.0, truncated(-2147483648.9));
}

TEST(Truncation, SaturatesFiniteValuesOutsideInt32)
{
    EXPECT_EQ(2147483647.0, truncated(2147483648.0));
    EXPECT_EQ(-2147483648.0, truncated(-2147483649.0));
    EXPECT_EQ(2147483647.0, truncated(1e300));
    EXPECT_EQ(-2147483648.0, truncated(-1e300));
}

TEST(Truncation, PassesNonFiniteValuesThrough)
{
    EXPECT_EQ(inf, truncated(inf));
    EXPECT_EQ(-inf, truncated(-inf));
    EXPECT_TRUE(std::isnan(truncated(notANumber)));
}

TEST(Turn, ConstantsKeepTheirShortPi)
{
    EXPECT_EQ(0x400921FB54442EEAu, std::bit_cast<std::uint64_t>(halfTurn));
    EXPECT_EQ(0x3F91DF46A2529E84u, std::bit_cast<std::uint64_t>(degreesToRadians));
}

TEST(Turn, TruncatesTowardZero)
{
    expectSame({70, 7.5, 70}, xzturn({0, 7.5, 100}, 45));
    expectSame({-70, 7.5, 70}, xzturn({0, 7.5, 100}, -45));
    expectSame({2.5, 70, 70}, yzturn({2.5, 0, 100}, 45));
}

TEST(Turn, NegativeDepthTurnsAboutTheOrigin)
{
    // Without the half-turn the point would be mirrored to (2.5, 70, 70).
    expectSame({2.5, -70, -70}, yzturn({2.5, 0, -100}, 45));
    expectSame({-70, 0, -70}, xzturn({0, 0, -100}, 45));
}

TEST(Turn, ZeroDegreesStillTruncates)
{
    expectSame({10, 3.3, 20}, xzturn({10.7, 3.3, 20.9}, 0));
    expectSame({-1.5, -3, 20}, yzturn({-1.5, -3.99, 20.9}, 0));
}

TEST(Turn, QuarterTurnLandsOnTheOtherAxis)
{
    // cos of the float quarter turn is about -4.4e-8: z truncates to 0, not -1.
    expectSame({100, 0, 0}, xzturn({0, 0, 100}, 90));
    expectSame({0, -100, 0}, yzturn({0, 0, 100}, -90));
    // 10/0 is +inf, whose arctangent is a quarter turn: the point stays on +x.
    expectSame({10, 0, 0}, xzturn({10, 0, 0}, 0));
}

TEST(Turn, PointOnTheAxisIsUnchanged)
{
    expectSame({0, 5, 0}, xzturn({0, 5, 0}, 30));
    expectSame({-7.25, 0, 0}, yzturn({-7.25, 0, 0}, -180));
}

TEST(Turn, OutOfRangeResultsSaturateAndNonFiniteOnesPassThrough)
{
    const dddcoord far = xzturn({0, 0, 1e10}, 0);
    EXPECT_EQ(2147483647.0, far.z);
    EXPECT_EQ(0.0, far.x);
    EXPECT_EQ(-2147483648.0, xzturn({0, 0, -1e10}, 0).z);

    const dddcoord broken = yzturn({1, notANumber, 5}, 10);
    EXPECT_EQ(1.0, broken.x);
    EXPECT_TRUE(std::isnan(broken.y));
    EXPECT_TRUE(std::isnan(broken.z));
}

TEST(Projection, PullsTowardsTheCentreWithDepth)
{
    const ddcoord near = xycoord({200, 75, 880}, 400);
    EXPECT_EQ(237.5f, near.x);
    EXPECT_EQ(117.1875f, near.y);

    const ddcoord atViewingDistance = xycoord({123.9, -45.2, 400}, 400);
    EXPECT_EQ(123.0f, atViewingDistance.x);
    EXPECT_EQ(-45.0f, atViewingDistance.y);
}

TEST(Projection, NearerThanTheViewingDistancePushesAway)
{
    const ddcoord s = xycoord({-0.9, 300.9, 0}, 400);
    EXPECT_EQ(-200.0f, s.x);
    EXPECT_EQ(300.0f, s.y);
}

TEST(Projection, BehindTheViewerCarriesThroughTheCentre)
{
    const ddcoord centre = xycoord({100, 50, -1200}, 400);  // d is exactly 1
    EXPECT_EQ(400.0f, centre.x);
    EXPECT_EQ(300.0f, centre.y);

    const ddcoord beyond = xycoord({300, 300, -600}, 400);  // d = 2.5
    EXPECT_EQ(550.0f, beyond.x);
    EXPECT_EQ(300.0f, beyond.y);
}

TEST(Projection, DepthMinusViewingDistanceShowsAsOneUnitNearer)
{
    const ddcoord s = xycoord({200.7, 75, -400}, 400);
    const ddcoord nearer = xycoord({200.7, 75, -399}, 400);
    EXPECT_EQ(nearer.x, s.x);
    EXPECT_EQ(nearer.y, s.y);
    EXPECT_EQ(-79700.0f, s.x);  // pushed 399.5 times its distance away from the centre
}

TEST(CanvasPoint, TurnsAboutTheViewAxesThenProjects)
{
    // A point straight ahead of the canvas centre shows there, in front or half turned behind,
    // even where the half turn lands it at depth -400 exactly (from z = 900).
    for (double z : {700.0, 900.0})
        for (int yAngle : {0, 180, -180}) {
            const ddcoord centre = canvasPoint({400, 300, z}, 0, yAngle);
            EXPECT_EQ(400.0f, centre.x) << z << ", " << yAngle;
            EXPECT_EQ(300.0f, centre.y) << z << ", " << yAngle;
        }
    // The nearest lattice corner, straight on: depth 880 pulls it 0.1875 of the way in, from
    // y = 76, not 75: the zero-degree turn truncated y - 300 = -225 one unit nearer zero.
    const ddcoord corner = canvasPoint({200, 75, 500}, 0, 0);
    EXPECT_EQ(237.5f, corner.x);
    EXPECT_EQ(118.0f, corner.y);

    // At general angles, so that a turn the wrong way shows. Worked out apart from this code
    // (Python doubles, rounded to float with struct.pack('f') wherever the turns round); every
    // turned component lies at least 0.15 from a whole number, so a last-bit sine cannot move it.
    // The corner goes from (237.5, 118) right and up: a positive xAngle swings the cube to the
    // right, a positive yAngle down, each about an axis in front of it.
    struct Case {
        dddcoord pos;
        int xAngle;
        int yAngle;
        ddcoord shown;
    };
    for (const Case& c : {Case{{200, 75, 500}, 30, -20, {442.3178f, -11.160346f}},
                          Case{{600, 475, 900}, -75, 20, {-250.1304f, 555.3178f}},
                          // the second turn meets negative depth
                          Case{{300, 175, 600}, 123, 45, {925.0325f, 48.188313f}}}) {
        const ddcoord s = canvasPoint(c.pos, c.xAngle, c.yAngle);
        EXPECT_EQ(c.shown.x, s.x) << c.xAngle << ", " << c.yAngle;
        EXPECT_EQ(c.shown.y, s.y) << c.xAngle << ", " << c.yAngle;
    }
}
