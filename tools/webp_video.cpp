#include "webp_video.h"

#include <QFile>

#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Every frame encoded whole by libwebp and put in the animation by its muxer. Its animation
// encoder, which stores changes between frames, was no smaller here (docs/design.md) and merges a frame
// that repeats the one before into one longer frame.
class WebPVideo final : public VideoEncoder {
public:
    WebPVideo(const QString& path, std::FILE* file, WebPMux* mux, int frameMilliseconds)
        : path(path), file(file), mux(mux), frameMilliseconds(frameMilliseconds)
    {
    }
    ~WebPVideo() override
    {
        if (file != nullptr)
            abandon();
        WebPMuxDelete(mux);
    }

    bool add(const QImage& frame) override
    {
        if (!error().isEmpty())
            return false;
        // Bytes in the order R, G, B, X whatever the machine's byte order.
        const QImage rgbx = frame.convertToFormat(QImage::Format_RGBX8888);
        WebPConfig config;
        WebPPicture picture;
        if (!WebPConfigInit(&config) || !WebPPictureInit(&picture))
            return fail(QStringLiteral("libwebp is not the version it was built with"));
        config.lossless = 1;
        picture.use_argb = 1;  // lossless works on ARGB; no conversion to YUV
        picture.width = rgbx.width();
        picture.height = rgbx.height();
        WebPMemoryWriter encoded;
        WebPMemoryWriterInit(&encoded);
        picture.writer = WebPMemoryWrite;
        picture.custom_ptr = &encoded;
        bool added = WebPPictureImportRGBX(&picture, rgbx.constBits(), static_cast<int>(rgbx.bytesPerLine())) &&
                     WebPEncode(&config, &picture);
        const int encodeError = picture.error_code;
        WebPPictureFree(&picture);
        if (added) {
            WebPMuxFrameInfo info;
            std::memset(&info, 0, sizeof info);
            info.bitstream.bytes = encoded.mem;
            info.bitstream.size = encoded.size;
            info.duration = frameMilliseconds;
            info.id = WEBP_CHUNK_ANMF;
            info.dispose_method = WEBP_MUX_DISPOSE_NONE;
            info.blend_method = WEBP_MUX_NO_BLEND;  // whole and opaque: nothing shows through
            added = WebPMuxPushFrame(mux, &info, 1) == WEBP_MUX_OK;  // 1: the muxer keeps a copy
        }
        WebPMemoryWriterClear(&encoded);
        if (!added)
            return fail(QStringLiteral("libwebp cannot add a frame to %1 (error %2)").arg(path).arg(encodeError));
        return true;
    }

    bool finish() override
    {
        if (!error().isEmpty())
            return false;
        WebPData data;
        WebPDataInit(&data);
        if (WebPMuxAssemble(mux, &data) != WEBP_MUX_OK)
            return fail(QStringLiteral("libwebp cannot put the animation %1 together").arg(path));
        const bool written = std::fwrite(data.bytes, 1, data.size, file) == data.size;
        const int writeError = errno;
        WebPDataClear(&data);
        const bool closed = std::fclose(file) == 0;
        const int closeError = errno;
        file = nullptr;
        if (!written || !closed)
            return fail(QStringLiteral("cannot write the video %1: %2")
                            .arg(path, systemError(written ? closeError : writeError)));
        return true;
    }

    void abandon() override
    {
        if (file == nullptr)
            return;
        std::fclose(file);
        file = nullptr;
        QFile::remove(path);
    }

private:
    QString path;
    std::FILE* file;  // open from the start, written when the animation is finished
    WebPMux* mux;
    int frameMilliseconds;
};

}  // namespace

OpenedVideo openWebPVideo(const QString& path, QSize size, int frameMilliseconds)
{
    WebPMux* mux = WebPMuxNew();
    // Over and over, as the cube wobbles on; the background is white as the canvas's.
    const WebPMuxAnimParams animation{0xffffffff, 0};
    if (mux == nullptr || WebPMuxSetAnimationParams(mux, &animation) != WEBP_MUX_OK ||
        WebPMuxSetCanvasSize(mux, size.width(), size.height()) != WEBP_MUX_OK) {
        WebPMuxDelete(mux);
        return {nullptr, QStringLiteral("libwebp cannot start an animation of %1 x %2")
                             .arg(size.width())
                             .arg(size.height())};
    }
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (file == nullptr) {
        const QString why = systemError(errno);
        WebPMuxDelete(mux);
        return {nullptr, QStringLiteral("cannot write the video %1: %2").arg(path, why)};
    }
    return {std::make_unique<WebPVideo>(path, file, mux, frameMilliseconds), QString()};
}
