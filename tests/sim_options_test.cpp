#include "sim_options.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

SimRequest parse(std::initializer_list<const char*> args)
{
    QStringList arguments{QStringLiteral("jellybox-sim")};
    for (const char* a : args)
        arguments << QString::fromUtf8(a);
    return parseSimArguments(arguments);
}

SimOptions accepted(std::initializer_list<const char*> args)
{
    const SimRequest r = parse(args);
    EXPECT_EQ(SimRequest::Kind::Run, r.kind) << qPrintable(r.text);
    return r.options;
}

void expectRejected(std::initializer_list<const char*> args)
{
    const SimRequest r = parse(args);
    EXPECT_EQ(SimRequest::Kind::Error, r.kind);
    EXPECT_FALSE(r.text.isEmpty());
    EXPECT_FALSE(r.text.contains(u'\n'));
}

}  // namespace

TEST(SimOptionsValid, TicksAloneLeavesTheViewStraight)
{
    const SimOptions o = accepted({"--ticks", "0"});
    EXPECT_EQ(0u, o.ticks);
    EXPECT_EQ(0, o.xang);
    EXPECT_EQ(0, o.yang);
    EXPECT_EQ(0u, o.energyEvery);
    EXPECT_EQ(0u, o.turnEvery);
    EXPECT_TRUE(o.video.isEmpty());
}

TEST(SimOptionsValid, EveryOptionInEitherSpelling)
{
    const SimOptions o = accepted({"--yang=-45", "--energy", "1000", "--ticks=1000000", "--xang", "+30",
                                   "--png=cube.png", "--turn-every=7", "--video", "cube.webm",
                                   "--frame-every=6", "--quiet"});
    EXPECT_EQ(1000000u, o.ticks);
    EXPECT_EQ(30, o.xang);
    EXPECT_EQ(-45, o.yang);
    EXPECT_EQ(1000u, o.energyEvery);
    EXPECT_EQ("cube.png", o.png);
    EXPECT_EQ(7u, o.turnEvery);
    EXPECT_EQ("cube.webm", o.video);
    EXPECT_EQ(6u, o.frameEvery);
    EXPECT_TRUE(o.quiet);
}

TEST(SimOptionsValid, RangesAreInclusive)
{
    EXPECT_EQ(18446744073709551615u, accepted({"--ticks", "18446744073709551615"}).ticks);
    EXPECT_EQ(-180, accepted({"--ticks", "1", "--xang", "-180"}).xang);
    EXPECT_EQ(180, accepted({"--ticks", "1", "--yang", "180"}).yang);
    EXPECT_EQ(1u, accepted({"--ticks", "1", "--energy", "1"}).energyEvery);
    EXPECT_EQ(7u, accepted({"--ticks", "007"}).ticks);
    EXPECT_EQ(4u, accepted({"--ticks", "4", "--video", "a.webp"}).frameEvery);  // one frame
    EXPECT_EQ(1000000u, accepted({"--ticks", "1000000", "--video", "a.webp", "--frame-every", "1000000"}).frameEvery);
}

TEST(SimOptionsValid, HelpWinsOverMissingTicks)
{
    const SimRequest r = parse({"--help"});
    EXPECT_EQ(SimRequest::Kind::Help, r.kind);
    EXPECT_TRUE(r.text.contains(QStringLiteral("i,j,k,px,py,pz,vx,vy,vz,sx,sy")));
    EXPECT_EQ(SimRequest::Kind::Help, parse({"-h", "--ticks", "5"}).kind);
}

TEST(SimOptionsMissing, TicksOrAValue)
{
    expectRejected({});
    expectRejected({"--xang", "10"});
    expectRejected({"--ticks"});
    expectRejected({"--ticks="});
    expectRejected({"--ticks", "5", "--energy"});
    expectRejected({"--ticks", "5", "--png="});
}

TEST(SimOptionsNotANumber, AnythingButPlainDigits)
{
    for (const char* bad : {"abc", "5x", "1.5", "1e3", " 5", "5 ", "+5", "0x10", "", "\xd9\xa5"})
        expectRejected({"--ticks", bad});
    for (const char* bad : {"ten", "1.5", "--5", "+-5", " 5", ""})
        expectRejected({"--ticks", "1", "--xang", bad});
    expectRejected({"--ticks", "1", "--energy", "x"});
}

TEST(SimOptionsOutOfRange, NegativeOrTooLargeCounts)
{
    expectRejected({"--ticks", "-1"});
    expectRejected({"--ticks=-5"});
    expectRejected({"--ticks", "18446744073709551616"});
    expectRejected({"--ticks", "99999999999999999999999999"});
    expectRejected({"--ticks", "1", "--energy", "0"});
    expectRejected({"--ticks", "1", "--energy", "-3"});
    expectRejected({"--ticks", "1", "--energy", "18446744073709551616"});
    expectRejected({"--ticks", "1", "--turn-every", "0"});
}

TEST(SimOptionsOutOfRange, AnglesBeyondAHalfTurn)
{
    for (const char* bad : {"181", "-181", "360", "2147483648", "-99999999999"}) {
        expectRejected({"--ticks", "1", "--xang", bad});
        expectRejected({"--ticks", "1", "--yang", bad});
    }
}

TEST(SimOptionsOutOfRange, VideosWithoutFrames)
{
    expectRejected({"--ticks", "3", "--video", "a.webp"});  // the first frame is after tick 4
    expectRejected({"--ticks", "9", "--video", "a.webp", "--frame-every", "10"});
    expectRejected({"--ticks", "9", "--video", "a.webp", "--frame-every", "0"});
    expectRejected({"--ticks", "9", "--video", "a.webp", "--frame-every", "1000001"});
    expectRejected({"--ticks", "9", "--frame-every", "1"});  // of no video
    expectRejected({"--ticks", "9", "--video="});
}

TEST(SimOptionsUnknown, OptionsAndStrayArguments)
{
    expectRejected({"--ticks", "1", "--verbose"});
    expectRejected({"-ticks", "1"});  // single dash: short options t, i, c, k, s
    expectRejected({"--ticks", "1", "extra"});
    expectRejected({"5", "--ticks", "1"});
    expectRejected({"--ticks", "1", "--", "--xang"});
    expectRejected({"--help=yes"});
}

TEST(SimOptionsRepeated, EachOptionOnce)
{
    expectRejected({"--ticks", "1", "--ticks", "2"});
    expectRejected({"--ticks", "1", "--xang", "1", "--xang=1"});
}

TEST(SimOptionsMessages, OneLineEvenForTypedLineBreaks)
{
    const SimRequest r = parse({"--ticks", "1\n2"});
    ASSERT_EQ(SimRequest::Kind::Error, r.kind);
    EXPECT_FALSE(r.text.contains(u'\n'));
    EXPECT_TRUE(r.text.contains(QStringLiteral("--ticks")));
    expectRejected({"--ticks", "1", "--bad\noption"});
}
