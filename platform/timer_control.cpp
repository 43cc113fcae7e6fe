#include "platform/timer_control.h"

#include "platform/clock.h"
#include "platform/core/errors.h"

#include <QPointer>

namespace tv {

TimerControl::TimerControl(const QString& name, QObject* parent, int index)
    : QObject(parent), index_(index) {
    setObjectName(name);
}

TimerControl::~TimerControl() {
    if (pending_) EventLoop::instance().cancel(pending_);
}

void TimerControl::setEnabled(bool enabled) {
    enabled_ = enabled;
    reschedule();
}

void TimerControl::setInterval(qint64 ms) {
    if (ms < 0 || ms > kMaxInterval) throw vbError(err::InvalidPropertyValue);
    interval_ = static_cast<int>(ms);
    reschedule();
}

void TimerControl::copyFrom(const TimerControl& other) {
    tag_ = other.tag_;
    interval_ = other.interval_;
    setEnabled(other.enabled_);
}

void TimerControl::reschedule() {
    auto& loop = EventLoop::instance();
    if (pending_) {
        loop.cancel(pending_);
        pending_ = 0;
    }
    // While the handler runs, the countdown restarts when it returns (see fire()).
    if (!enabled_ || interval_ <= 0 || firing_) return;
    pending_ = loop.schedule(Clock::instance().nowMs() + interval_, [this] { fire(); });
}

void TimerControl::fire() {
    pending_ = 0;
    if (!enabled_ || interval_ <= 0) return;
    QPointer<TimerControl> self(this);
    firing_ = true;
    // A handler that pumps events (a wait) must not receive the same tick again inside itself.
    emit Timer();
    if (!self) return;
    firing_ = false;
    reschedule();
}

} // namespace tv
