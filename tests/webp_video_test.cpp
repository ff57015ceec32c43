// jellybox-sim's WebP animation, decoded by libwebp's own animation decoder: every frame is, to
// the pixel, what --png writes after the tick it stands for, and it lasts as long as its ticks.

#include "sim_process.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <webp/demux.h>

TEST(WebPVideo, FramesAreThePicturesOfTheirTicks)
{
    // Turning, so that every frame differs from the one before even where the dots hardly move.
    QTemporaryDir dir;
    const QStringList view{"--xang", "-3", "--yang", "4", "--turn-every", "2"};
    const QString video = dir.filePath("cube.webp");
    runSim(QStringList{"--ticks", "14", "--frame-every", "4", "--video", video} + view);

    QFile file(video);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(nullptr, decoder);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder, &info));
    EXPECT_EQ(780u, info.canvas_width);
    EXPECT_EQ(580u, info.canvas_height);
    EXPECT_EQ(0u, info.loop_count);  // for ever
    EXPECT_EQ(3u, info.frame_count);  // after ticks 4, 8 and 12; 14 makes no fourth

    for (int frame = 0; WebPAnimDecoderHasMoreFrames(decoder); ++frame) {
        uint8_t* pixels = nullptr;
        int endsAt = 0;  // milliseconds from the start
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &endsAt));
        EXPECT_EQ(40 * (frame + 1), endsAt);
        const QString png = dir.filePath(QStringLiteral("tick%1.png").arg(4 * (frame + 1)));
        runSim(QStringList{"--ticks", QString::number(4 * (frame + 1)), "--png", png} + view);
        const QImage decoded(pixels, 780, 580, QImage::Format_RGBA8888);
        EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGBA8888), decoded) << "frame " << frame;
    }
    WebPAnimDecoderDelete(decoder);
}
