#include "video_encoder.h"

#include "webm_video.h"
#include "webp_video.h"

OpenedVideo openVideo(const QString& path, QSize size, int frameMilliseconds)
{
    if (path.endsWith(QLatin1String(".webp"), Qt::CaseInsensitive))
        return openWebPVideo(path, size, frameMilliseconds);
    if (path.endsWith(QLatin1String(".webm"), Qt::CaseInsensitive))
        return openWebMVideo(path, size, frameMilliseconds);
    return {nullptr, QStringLiteral("cannot tell the video format of '%1': its name must end in .webp or .webm")
                         .arg(path)};
}
