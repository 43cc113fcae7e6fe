#pragma once
// The open frame: its name, background and hotspot count.

#include <QString>

namespace tv {

struct CurrentFrameState {
    QString FrameName;
    qint16 BackgroundMode = 0; // 0 plain colour, 1 picture
    QString Background;        // the colour as a decimal number, or the picture file name
    bool BackgroundTiled = false;
    qint16 HotspotCount = 0;

    void clear() { *this = CurrentFrameState(); }
};

} // namespace tv
