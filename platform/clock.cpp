#include "platform/clock.h"

#include <QTime>

namespace tv {

Clock& Clock::instance() {
    static Clock clock;
    return clock;
}

Clock::Clock() {
    real_.start();
    startTimeOfDayMs_ = QTime::currentTime().msecsSinceStartOfDay();
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

double Clock::secondsSinceMidnight() const {
    constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;
    return static_cast<double>((startTimeOfDayMs_ + nowMs()) % kDayMs) / 1000;
}

void Clock::advanceTo(qint64 ms) {
    if (mode_ == Mode::Virtual && ms > virtualNow_) virtualNow_ = ms;
}

} // namespace tv
