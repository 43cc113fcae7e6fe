#include "platform/clock.h"

namespace tv {

Clock& Clock::instance() {
    static Clock clock;
    return clock;
}

Clock::Clock() {
    real_.start();
}

void Clock::setMode(Mode mode) {
    if (mode == mode_) return;
    const qint64 now = nowMs();
    mode_ = mode;
    if (mode == Mode::Virtual) {
        virtualNow_ = now;
    } else {
        realOffset_ = now - real_.elapsed();
    }
}

qint64 Clock::nowMs() const {
    return mode_ == Mode::Virtual ? virtualNow_ : real_.elapsed() + realOffset_;
}

void Clock::advanceTo(qint64 ms) {
    if (mode_ == Mode::Virtual && ms > virtualNow_) virtualNow_ = ms;
}

} // namespace tv
