#pragma once
// The length of a video file in frames, read by the media back end.

#include <QString>

namespace tv::pano {

// 0 when the file cannot be opened or holds no video.
int videoFrameCount(const QString& path);

} // namespace tv::pano
