#pragma once

#include "video_encoder.h"

// A lossless animated WebP made with libwebp: every frame decodes to exactly the pixels it was
// given, and is shown for the same time. The file is written whole when the animation is finished.
OpenedVideo openWebPVideo(const QString& path, QSize size, int frameMilliseconds);
