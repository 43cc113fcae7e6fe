#pragma once
// Presentation pieces that frame opening and clicks call at fixed points. Each is filled by the
// work that brings its feature (transitions); until then a frame simply has none of them.

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

namespace tv {

struct HotspotRecord;
class Control;

// Gives a control the game's default pointer (the frame engine knows which it is).
using ApplyPointer = std::function<void(Control&)>;
// Gives a hotspot's control the pointer of hotspot `k`.
using ApplyHotspotPointer = std::function<void(Control&, int k)>;

class PictureBox;

class Transitions {
public:
    // The check mark of the "disable transitions" menu item.
    bool disabled = false;
    void EnableOrDisableTransitions() { disabled = !disabled; }
    // The next transition draws into this picture box instead of the frame display; every
    // frame opening clears it.
    QPointer<QObject> destination;
    void CaptureCurrentFrame(PictureBox& /*into*/) {}
    void CaptureActualFrame(PictureBox& /*into*/) {}
    void TransitionStep1(int /*number*/) {}
    void TransitionStep2(int /*number*/, double /*seconds*/) {}
    void reset() {}
};

} // namespace tv
