#pragma once
// One thread, one loop. The loop processes window events and fires the deadlines that timer
// controls and media players register with it, all against the one Clock. Waits inside event
// handlers pump the same loop again (re-entrant pumping is normal and must stay safe).

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

namespace tv {

class EventLoop : public QObject {
    Q_OBJECT
public:
    using DeadlineId = quint64;

    static EventLoop& instance();

    // Calls `callback` once when the clock reaches `atMs`. Returns an id for cancel().
    DeadlineId schedule(qint64 atMs, std::function<void()> callback);
    void cancel(DeadlineId id);
    // The earliest pending deadline, or -1.
    qint64 nextDeadline() const;

    // The classic DoEvents: process pending window events, then fire due deadlines. Under
    // virtual time an idle pass also moves the clock to the next deadline, so that busy-wait
    // loops of the game (waiting for a video to end, say) make progress.
    void doEvents();
    // Process pending events and fire what is due, without moving virtual time. Returns whether
    // anything happened.
    bool drain();
    // Let `ms` milliseconds pass while processing events (instant under virtual time).
    void wait(qint64 ms);
    // Let `ms` milliseconds pass without processing anything (the classic Sleep).
    void sleep(qint64 ms);

    // The main loop: runs until quit(). Under virtual time an idle loop jumps to the next
    // deadline; in real time it sleeps until an event or the next deadline.
    int exec();
    void quit(int code = 0);
    bool quitRequested() const { return quitRequested_; }

private:
    EventLoop();
    bool processWindowEvents();
    bool fireDue();
    void armWakeTimer();
    bool advanceToNextDeadline(qint64 limitMs);

    struct Entry {
        DeadlineId id;
        std::function<void()> callback;
    };
    std::multimap<qint64, Entry> deadlines_;
    DeadlineId nextId_ = 1;
    QTimer wake_;
    bool quitRequested_ = false;
    int exitCode_ = 0;
};

} // namespace tv
