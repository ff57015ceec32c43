#pragma once

#include "video_encoder.h"

// VP9 video in WebM, made by the ffmpeg program (Debian's package ffmpeg), which is fed the raw
// frames on a socket and writes the file as they come.
OpenedVideo openWebMVideo(const QString& path, QSize size, int frameMilliseconds);
