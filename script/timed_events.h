#pragma once
// Code that scripts schedule for later. Timed events run a piece of code after a delay, once or
// for ever, and belong to the frame on screen. Script timers (the set TimerObject) tick the
// author procedures TimerObject0, TimerObject1, ... while scripts keep them enabled.

#include "platform/timer_control.h"

#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace tv {

class ScriptHost;
class ScriptSite;

// An indexed set of timer controls as scripts see it: element 0 exists from the start, others
// are loaded and unloaded by index.
class TimerSet : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(int UBound READ ubound)
public:
    TimerSet(const QString& name, std::function<void(int)> onTick);
    ~TimerSet() override;

    int count() const { return static_cast<int>(timers_.size()); }
    int ubound() const { return timers_.empty() ? -1 : timers_.rbegin()->first; }
    bool exists(int index) const { return timers_.count(index) != 0; }
    TimerControl& at(int index) const; // VbError 340 when missing

    Q_INVOKABLE QObject* Item(int index) const { return &at(index); }
    // Loads element `index` as a copy of element 0 (disabled); VbError 360 when it exists.
    Q_INVOKABLE void Load(int index);
    // Element 0 stays; VbError 340 when missing.
    Q_INVOKABLE void Unload(int index);
    Q_INVOKABLE QVariantList NewEnum() const;

private:
    QString name_;
    std::function<void(int)> onTick_;
    std::map<int, std::unique_ptr<TimerControl>> timers_;
};

class TimedEvents {
public:
    TimedEvents(ScriptSite& site, ScriptHost& scripts);
    ~TimedEvents();

    // Returns the new event's index, 0 when refused (over 65 seconds) or failed.
    int CreateTimedEvent(double duration, const QString& code, bool repeatForever);
    void RemoveTimedEvent(int index);
    void ResetTimedEvents();
    void StartTimedEvents();
    void PauseTimedEvents();

    TimerSet& TimedEvent() { return *events_; }
    TimerSet& TimerObject() { return *scriptTimers_; }

private:
    struct Record {
        bool active = false;
        bool repeat = false;
        QString code;
    };
    void eventTick(int index);
    void scriptTimerTick(int index);

    ScriptSite& site_;
    ScriptHost& scripts_;
    std::unique_ptr<TimerSet> events_;
    std::unique_ptr<TimerSet> scriptTimers_;
    std::vector<Record> records_{Record()};
};

} // namespace tv
