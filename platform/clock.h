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

private:
    Clock();
    Mode mode_ = Mode::Real;
    QElapsedTimer real_;
    qint64 realOffset_ = 0;
    qint64 virtualNow_ = 0;
};

} // namespace tv
