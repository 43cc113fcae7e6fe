#pragma once
// The open frame's hotspots as frame opening calls them. Hotspot records, pictures, pointers and
// conditions come with the hotspot work; until then frames have a background and no hotspots.

#include <QString>

namespace tv {

class Hotspots {
public:
    void ResetFrameAreas() {}
    void LoadAreas(const QString& /*frame*/, int /*count*/) {}
    void ShowOrNotShowAreas() {}
    void SetScreenPointerArrow() {}
    void SetScreenPointerDefault() {}
    void ResetDefaultPointer() {}
    void clearDisappeared() {}
    // The merged-index counter: the first index given to hotspots added by the next frame.
    void resetMergedIndex() {}
};

} // namespace tv
