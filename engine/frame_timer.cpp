#include "engine/frame_timer.h"

#include "data/project.h"
#include "engine/game.h"
#include "platform/core/run_flags.h"

namespace tv {

FrameTimer::FrameTimer(Game& game) : game_(game) {
    QObject::connect(&game.Timer1, &TimerControl::Timer, [this] { onTimer(); });
}

void FrameTimer::onTimer() {
    Game& g = game_;
    // The jump waits while the inventory strip moves: try again a second later.
    if (g.inventory.moving()) {
        g.Timer1.setInterval(1000);
        return;
    }
    if (runFlags().quitting) {
        g.Timer1.setEnabled(false);
        return;
    }
    g.audio.UpdateChannelFades(1);
    const QString target = g.Timer1.tag();
    const QString lower = target.toLower();
    if (lower.isEmpty()) return;
    if (lower == "[quit]") {
        g.StartUnloading();
    } else if (lower == "[last visited frame]") {
        // With one entry or none nothing happens and the timer stays armed.
        if (g.FramesHistory.count() > 1) open(g.FramesHistory.goBack());
    } else {
        open(target);
    }
}

void FrameTimer::open(const QString& frame) {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    if (r.TimerTransition) {
        const int number = r.TimerTransitionNumber;
        const double seconds = r.TimerTransitionDuration / 1000.0;
        g.transitions.TransitionStep1(number);
        g.OpenFrame(frame, true, number, seconds);
    } else {
        g.OpenFrame(frame, false, 0, 0);
    }
}

} // namespace tv
