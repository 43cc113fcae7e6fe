#include "script/timed_events.h"

#include "data/project.h"
#include "data/reports.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/run_flags.h"
#include "script/script_host.h"
#include "script/script_site.h"

#include <cmath>

namespace tv {

TimerSet::TimerSet(const QString& name, std::function<void(int)> onTick)
    : name_(name), onTick_(std::move(onTick)) {
    setObjectName(name);
    auto first = std::make_unique<TimerControl>(name, nullptr, 0);
    connect(first.get(), &TimerControl::Timer, this, [this] { onTick_(0); });
    timers_[0] = std::move(first);
}

TimerSet::~TimerSet() = default;

TimerControl& TimerSet::at(int index) const {
    const auto it = timers_.find(index);
    if (it == timers_.end()) throw vbError(err::ControlArrayElementDoesNotExist);
    return *it->second;
}

void TimerSet::Load(int index) {
    if (index < 0 || index > 32767) throw vbError(err::ControlArrayElementDoesNotExist);
    if (exists(index)) throw vbError(err::ObjectAlreadyLoaded);
    auto timer = std::make_unique<TimerControl>(name_, nullptr, index);
    const TimerControl& templ = at(0);
    timer->setTag(templ.tag());
    timer->setInterval(templ.interval());
    connect(timer.get(), &TimerControl::Timer, this, [this, index] { onTick_(index); });
    timers_[index] = std::move(timer);
}

void TimerSet::Unload(int index) {
    if (index == 0) throw vbError(err::CannotUnloadDesignTimeControl);
    const auto it = timers_.find(index);
    if (it == timers_.end()) throw vbError(err::ControlArrayElementDoesNotExist);
    // A timer may unload itself from its own tick; it goes once the tick is over.
    it->second.release()->deleteLater();
    timers_.erase(it);
}

QVariantList TimerSet::NewEnum() const {
    QVariantList out;
    for (const auto& [index, timer] : timers_)
        out << QVariant::fromValue<QObject*>(timer.get());
    return out;
}

TimedEvents::TimedEvents(ScriptSite& site, ScriptHost& scripts)
    : site_(site), scripts_(scripts),
      events_(std::make_unique<TimerSet>("TimedEvent", [this](int i) { eventTick(i); })),
      scriptTimers_(
          std::make_unique<TimerSet>("TimerObject", [this](int i) { scriptTimerTick(i); })) {}

TimedEvents::~TimedEvents() = default;

int TimedEvents::CreateTimedEvent(double duration, const QString& code, bool repeatForever) {
    if (duration > 65) {
        standardErrorReport(" The duration of a timed event cannot be greater than 65 seconds.");
        return 0;
    }
    const int n = events_->ubound() + 1;
    try {
        events_->Load(n);
        if (static_cast<int>(records_.size()) <= n) records_.resize(n + 1);
        events_->at(n).setInterval(static_cast<qint64>(std::nearbyint(duration * 1000)));
        records_[n] = Record{true, repeatForever, code};
        return n;
    } catch (const VbError& e) {
        standardErrorReport(QStringLiteral(" Unable to create the timed event #%1. ").arg(n), e);
        return 0;
    }
}

void TimedEvents::RemoveTimedEvent(int index) {
    if (index == 0 || index > events_->ubound()) return;
    try {
        if (index < static_cast<int>(records_.size())) records_[index].active = false;
        events_->at(index).setEnabled(false);
    } catch (const VbError& e) {
        standardErrorReport(QStringLiteral(" Unable to remove the timed event #%1. ").arg(index),
                            e);
    }
}

void TimedEvents::ResetTimedEvents() {
    records_.assign(1, Record());
    for (int index = events_->ubound(); index > 0; --index)
        if (events_->exists(index)) events_->Unload(index);
    events_->at(0).setEnabled(false);
    events_->at(0).setInterval(0);
}

void TimedEvents::StartTimedEvents() {
    for (int index = 1; index <= events_->ubound(); ++index) {
        if (!events_->exists(index) || index >= static_cast<int>(records_.size())) continue;
        TimerControl& timer = events_->at(index);
        if (records_[index].active && !timer.enabled()) timer.setEnabled(true);
    }
}

void TimedEvents::PauseTimedEvents() {
    for (const QVariant& timer : events_->NewEnum())
        qobject_cast<TimerControl*>(timer.value<QObject*>())->setEnabled(false);
}

void TimedEvents::eventTick(int index) {
    if (runFlags().quitting) return;
    if (index == 0 || index >= static_cast<int>(records_.size())) return;
    Record record = records_[index];
    if (!record.active || record.code.isEmpty()) return;
    try {
        TimerControl& timer = events_->at(index);
        if (!record.repeat) {
            records_[index].active = false;
            timer.setEnabled(false);
            timer.setInterval(0);
        }
        const bool failed = scripts_.ExecuteVBScriptAndConsequences(record.code, true);
        // The run may have opened a frame, which removed every event.
        if (failed && index < static_cast<int>(records_.size()) && events_->exists(index)) {
            records_[index].active = false;
            events_->at(index).setEnabled(false);
            events_->at(index).setInterval(0);
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error in TimedEvent_Timer. ", e);
    }
}

void TimedEvents::scriptTimerTick(int index) {
    if (runFlags().quitting) {
        if (scriptTimers_->exists(index)) scriptTimers_->at(index).setEnabled(false);
        return;
    }
    try {
        VBScriptActionModule& requests = scripts_.VBScriptAction();
        requests.ResetModule();
        scripts_.ExecuteVBScript(QStringLiteral("TimerObject%1").arg(index), true);
        site_.updateHotspots();
        if (requests.bStopGame) {
            site_.StartUnloading();
            return;
        }
        if (requests.sFrameToLoad.toLower() == "last visited frame")
            requests.sFrameToLoad = site_.previousFrame();
        if (requests.sFrameToLoad.isEmpty()) {
            StartTimedEvents();
        } else if (requests.dTransitionDuration != 0) {
            site_.prepareTransition(requests.iTransitionNumber);
            site_.OpenFrame(requests.sFrameToLoad, true, requests.iTransitionNumber,
                            requests.dTransitionDuration);
        } else {
            site_.OpenFrame(requests.sFrameToLoad, false, 0, 0);
        }
    } catch (const VbError& e) {
        DialogService::instance().msgBox(
            QStringLiteral("Unable to execute the procedure named TimerObject%1. ").arg(index) +
                errorText(e),
            mb::Critical, "Error Executing VBScript Code");
        if (scriptTimers_->exists(index)) scriptTimers_->at(index).setEnabled(false);
    }
}

} // namespace tv
