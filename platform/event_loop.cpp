#include "platform/event_loop.h"

#include "platform/clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

namespace tv {

namespace {
// Under virtual time a busy wait with nothing scheduled still needs the clock to move, or a loop
// that waits for time to pass would never end: it moves by one display frame.
constexpr qint64 kIdleStepMs = 16;
} // namespace

EventLoop& EventLoop::instance() {
    static EventLoop* loop = new EventLoop; // lives as long as the program; never destroyed
                                            // after QApplication
    return *loop;
}

EventLoop::EventLoop() {
    wake_.setSingleShot(true);
    // The wake timer only wakes Qt's dispatcher (also inside nested dialogs); what is due is
    // decided by our own deadlines against the Clock.
    connect(&wake_, &QTimer::timeout, this, [this] {
        fireDue();
        armWakeTimer();
    });
}

EventLoop::DeadlineId EventLoop::schedule(qint64 atMs, std::function<void()> callback) {
    const DeadlineId id = nextId_++;
    deadlines_.emplace(atMs, Entry{id, std::move(callback)});
    armWakeTimer();
    return id;
}

void EventLoop::cancel(DeadlineId id) {
    for (auto it = deadlines_.begin(); it != deadlines_.end(); ++it) {
        if (it->second.id == id) {
            deadlines_.erase(it);
            return;
        }
    }
}

qint64 EventLoop::nextDeadline() const {
    return deadlines_.empty() ? -1 : deadlines_.begin()->first;
}

void EventLoop::armWakeTimer() {
    if (Clock::instance().isVirtual() || deadlines_.empty() || !QCoreApplication::instance()) {
        wake_.stop();
        return;
    }
    const qint64 delay = std::max<qint64>(0, nextDeadline() - Clock::instance().nowMs());
    wake_.start(static_cast<int>(std::min<qint64>(delay, 1 << 30)));
}

bool EventLoop::fireDue() {
    bool fired = false;
    // One pass fires what is due now; a callback that schedules a deadline for "now" again (a
    // timer with a tiny interval) runs on the next pass, so a pass always ends.
    const qint64 now = Clock::instance().nowMs();
    const DeadlineId limit = nextId_;
    for (;;) {
        auto it = deadlines_.begin();
        while (it != deadlines_.end() && it->first <= now && it->second.id >= limit)
            ++it;
        if (it == deadlines_.end() || it->first > now) break;
        auto callback = std::move(it->second.callback);
        deadlines_.erase(it);
        fired = true;
        callback();
    }
    return fired;
}

bool EventLoop::processWindowEvents() {
    if (!QCoreApplication::instance()) return false;
    QCoreApplication::sendPostedEvents();
    // Objects released with deleteLater() while no Qt loop runs go here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* dispatcher = QThread::currentThread()->eventDispatcher();
    bool any = false;
    // A bounded number of passes: a handler that keeps posting events must not freeze us here.
    for (int pass = 0; pass < 100 && dispatcher && dispatcher->processEvents(QEventLoop::AllEvents);
         ++pass)
        any = true;
    return any;
}

bool EventLoop::drain() {
    bool any = processWindowEvents();
    any = fireDue() || any;
    return any;
}

bool EventLoop::advanceToNextDeadline(qint64 limitMs) {
    const qint64 next = nextDeadline();
    if (next < 0 || (limitMs >= 0 && next > limitMs)) return false;
    Clock::instance().advanceTo(next);
    return true;
}

void EventLoop::doEvents() {
    if (drain()) return;
    auto& clock = Clock::instance();
    if (clock.isVirtual()) {
        if (!advanceToNextDeadline(-1)) clock.advanceTo(clock.nowMs() + kIdleStepMs);
        fireDue();
    } else {
        // Nothing to do: give the processor back for a moment instead of spinning.
        QThread::usleep(500);
    }
}

void EventLoop::wait(qint64 ms) {
    auto& clock = Clock::instance();
    const qint64 target = clock.nowMs() + std::max<qint64>(0, ms);
    for (;;) {
        drain();
        if (clock.nowMs() >= target || quitRequested_) break;
        if (clock.isVirtual()) {
            if (!advanceToNextDeadline(target)) clock.advanceTo(target);
        } else {
            armWakeTimer();
            const qint64 left = target - clock.nowMs();
            if (left > 0) {
                auto* dispatcher = QThread::currentThread()->eventDispatcher();
                // Sleep until an event arrives, bounded by the end of the wait.
                QTimer limit;
                limit.setSingleShot(true);
                limit.start(static_cast<int>(std::min<qint64>(left, 1 << 30)));
                if (dispatcher) dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
    }
    drain();
}

void EventLoop::sleep(qint64 ms) {
    if (ms <= 0) return;
    auto& clock = Clock::instance();
    if (clock.isVirtual()) {
        clock.advanceTo(clock.nowMs() + ms);
    } else {
        QThread::msleep(static_cast<unsigned long>(ms));
    }
}

int EventLoop::exec() {
    quitRequested_ = false;
    auto& clock = Clock::instance();
    while (!quitRequested_) {
        if (drain()) continue;
        if (clock.isVirtual() && advanceToNextDeadline(-1)) continue;
        armWakeTimer();
        auto* dispatcher = QThread::currentThread()->eventDispatcher();
        if (!dispatcher) break;
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    }
    return exitCode_;
}

void EventLoop::quit(int code) {
    exitCode_ = code;
    quitRequested_ = true;
    if (auto* dispatcher = QThread::currentThread()->eventDispatcher()) dispatcher->wakeUp();
}

} // namespace tv
