#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstring>
#include <memory>

// An animation of the canvas written a frame at a time, every frame shown for the same time.
// Once it fails it takes nothing more, and error() says why in one line.
class VideoEncoder {
public:
    virtual ~VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The next frame, of the size the encoder was opened for.
    virtual bool add(const QImage& frame) = 0;
    // Ends the animation after the frames added so far, at least one, and leaves a whole file.
    virtual bool finish() = 0;
    // Never finished: no file is left behind, as none could be played.
    virtual void abandon() = 0;

    const QString& error() const { return why; }

protected:
    VideoEncoder() = default;
    bool fail(const QString& message)
    {
        if (why.isEmpty())
            why = message;
        return false;
    }

private:
    QString why;
};

// What the system says of an errno, for the encoders' messages.
inline QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

struct OpenedVideo {
    std::unique_ptr<VideoEncoder> encoder;  // or none, and
    QString error;                          // why, in one line
};

// The encoder that the file name's suffix asks for, its file already open for writing, so that
// an unknown format, a missing encoder or a file that cannot be written is known before the
// first frame is made.
OpenedVideo openVideo(const QString& path, QSize size, int frameMilliseconds);
