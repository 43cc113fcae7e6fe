#pragma once
// The one clock of the player. Every "now", wait and timer deadline goes through it so that a run
// under virtual time behaves exactly like a run in real time, only without the waiting.

#include <QElapsedTimer>
#include <QtGlobal>

namespace tv {

class Clock {
public:
    enum class Mode { Real, Virtual };

    static Clock& instance();

    Mode mode() const { return mode_; }
    bool isVirtual() const { return mode_ == Mode::Virtual; }
    // Switching keeps the current reading, so nothing scheduled jumps.
    void setMode(Mode mode);

    // Milliseconds since the clock started.
    qint64 nowMs() const;
    // Virtual time only: move forward to `ms` (never backwards).
    void advanceTo(qint64 ms);

    // Local time of day in seconds (0 to 86,400), as the classic Timer function gives it: the
    // wall-clock time of day when the clock started, moved on by this clock's reading, so that
    // under virtual time it jumps with the clock and passes midnight like a real day.
    double secondsSinceMidnight() const;

private:
    Clock();
    Mode mode_ = Mode::Real;
    QElapsedTimer real_;
    qint64 realOffset_ = 0;
    qint64 virtualNow_ = 0;
    qint64 startTimeOfDayMs_ = 0;
};

} // namespace tv
