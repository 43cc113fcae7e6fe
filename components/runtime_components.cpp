#include "components/runtime_components.h"

#include "components/component_library.h"
#include "data/reports.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/script_bridge.h"

#include <QMetaMethod>

namespace tv {

namespace {

// The parameter names of the object's signal with that name and argument count.
QStringList signalParameterNames(const QObject* object, const QString& event, qsizetype count) {
    if (!object) return {};
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Signal && m.parameterCount() == count &&
            QString::fromLatin1(m.name()) == event) {
            QStringList names;
            for (const QByteArray& n : m.parameterNames())
                names << QString::fromLatin1(n);
            return names;
        }
    }
    return {};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Event parameters

ComponentEventParameters::ComponentEventParameters(const QStringList& names,
                                                   const QVariantList& values) {
    for (qsizetype i = 0; i < values.size(); ++i)
        items_.push_back(std::make_unique<ComponentEventParameter>(names.value(i), values[i]));
}

QObject* ComponentEventParameters::Item(const QVariant& key) const {
    if (key.metaType().id() == QMetaType::QString) {
        for (const auto& item : items_)
            if (item->name().compare(key.toString(), Qt::CaseInsensitive) == 0) return item.get();
        throw vbError(err::SubscriptOutOfRange);
    }
    bool ok = false;
    const int index = key.toInt(&ok);
    if (!ok || index < 0 || index >= count()) throw vbError(err::SubscriptOutOfRange);
    return items_[static_cast<size_t>(index)].get();
}

QVariantList ComponentEventParameters::NewEnum() const {
    QVariantList out;
    for (const auto& item : items_)
        out << QVariant::fromValue(static_cast<QObject*>(item.get()));
    return out;
}

QVariantList ComponentEventParameters::values() const {
    QVariantList out;
    for (const auto& item : items_)
        out << item->value();
    return out;
}

// ---------------------------------------------------------------------------------------------
// The sink

void ComponentWithEventsClass::setComponent(WidgetControl* control) {
    if (relay_) {
        // The relay may be inside one of the control's signals now: it is cut off at once and
        // freed later.
        if (source_) QObject::disconnect(source_, nullptr, relay_.get(), nullptr);
        relay_.release()->deleteLater();
    }
    component_ = control;
    QObject* object = control ? control->object() : nullptr;
    source_ = object;
    if (!object) return;
    relay_ = bridge::connectEvents(object, [this](const QString& event, QVariantList& args) {
        // The event's procedure may remove this very component.
        const std::shared_ptr<ComponentWithEventsClass> keep = shared_from_this();
        const QStringList names =
            signalParameterNames(component_ ? component_->object() : nullptr, event, args.size());
        forward_(*this, event, args, names);
    });
}

// ---------------------------------------------------------------------------------------------
// The components

RuntimeComponents::RuntimeComponents()
    : creator_([](const QString& progId, QWidget* container) {
          return ComponentLibraries::instance().create(progId, container);
      }) {
    sinks_.resize(1); // slot 0 is never used
}

RuntimeComponents::~RuntimeComponents() = default;

qsizetype RuntimeComponents::find(const QString& name) const {
    const QString lower = name.toLower();
    for (qsizetype i = 0; i < rows_.size(); ++i)
        if (rows_[i].name == lower) return i;
    return -1;
}

bool RuntimeComponents::exists(const QString& name) const {
    return find(name) >= 0;
}

WidgetControl* RuntimeComponents::makeControl(const QString& progId, const QString& name) {
    if (!site_) throw vbError(err::CannotCreateObject);
    ContainerControl& container = site_->componentContainer();
    QWidget* widget = creator_(progId, container.clientWidget());
    if (!widget) throw vbError(err::CannotCreateObject);
    return new ComponentExtender(&container, name, widget);
}

void RuntimeComponents::unload(WidgetControl* control) {
    if (!control) return;
    for (const QPointer<WidgetControl>& busy : inEvent_)
        if (busy == control) {
            // The control's widget is still inside its signal: it goes once that returns.
            control->setObjectName({});
            control->setVisible(false);
            control->deleteLater();
            return;
        }
    control->dispose();
}

void RuntimeComponents::AddAdditionalComponent(const QString& progId, const QString& name,
                                               bool appearDuringTransitions,
                                               bool disappearBeforeAlphaBlending) {
    if (exists(name)) {
        standardErrorReport(" A component named \"" + name +
                            "\" already exists. Please use a different name.");
        return;
    }
    if (name.contains(u' ')) {
        standardErrorReport(
            " The component name must not contain spaces or other special characters.");
        return;
    }
    try {
        sinks_.push_back(nullptr);
        const int k = static_cast<int>(sinks_.size()) - 1;
        rows_.append({name.toLower(), k, appearDuringTransitions, disappearBeforeAlphaBlending});
        sinks_[static_cast<size_t>(k)] = std::make_shared<ComponentWithEventsClass>(
            [this](ComponentWithEventsClass& sink, const QString& event, QVariantList& args,
                   const QStringList& names) { forward(sink, event, args, names); });
        WidgetControl* control = makeControl(progId, name.toLower());
        sinks_[static_cast<size_t>(k)]->setComponent(control);
    } catch (const VbError& e) {
        standardErrorReport(" Error in Game.AddAdditionalComponent. The component is probably "
                            "not installed properly.  ",
                            e);
    }
}

QObject* RuntimeComponents::GetComponentRef(const QString& name) {
    const qsizetype row = find(name);
    if (row < 0) {
        standardErrorReport(" The component named \"" + name + "\" could not be found.");
        return nullptr;
    }
    const ComponentWithEventsClass* sink = sinks_.at(static_cast<size_t>(rows_[row].sink)).get();
    return sink ? sink->component() : nullptr;
}

void RuntimeComponents::RemoveAdditionalComponent(const QString& name) {
    qsizetype row = -1;
    const QString lower = name.toLower();
    for (qsizetype i = rows_.size() - 1; i >= 0 && row < 0; --i)
        if (rows_[i].name == lower) row = i;
    if (row < 0) {
        standardErrorReport(" The component named \"" + name +
                            "\" could not be removed because it could not be found.");
        return;
    }
    // A component whose creation failed has no control: its name is simply let go, so that
    // the script can try again.
    const size_t slot = static_cast<size_t>(rows_[row].sink);
    std::shared_ptr<ComponentWithEventsClass>& sink = sinks_[slot];
    WidgetControl* control = sink ? sink->component() : nullptr;
    if (sink) sink->setComponent(nullptr);
    sink.reset();
    rows_.removeAt(row);
    unload(control);
}

void RuntimeComponents::ResetComponents() {
    while (!rows_.isEmpty()) {
        const Row row = rows_.takeLast();
        std::shared_ptr<ComponentWithEventsClass>& sink = sinks_[static_cast<size_t>(row.sink)];
        WidgetControl* control = sink ? sink->component() : nullptr;
        if (sink) sink->setComponent(nullptr);
        unload(control);
    }
    for (size_t slot = sinks_.size() - 1; slot >= 1; --slot) {
        if (sinks_[slot]) sinks_[slot]->setComponent(nullptr);
        sinks_[slot].reset();
    }
    sinks_.resize(1);
}

bool RuntimeComponents::DoesProgIDExist(const QString& progId) {
    try {
        WidgetControl* control = makeControl(progId, QStringLiteral("ProgIDTestComponent"));
        unload(control);
        return true;
    } catch (const VbError&) {
        return false;
    }
}

void RuntimeComponents::callOnAll(const char* method) {
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        const size_t slot = static_cast<size_t>(rows_[i].sink);
        const ComponentWithEventsClass* sink = slot < sinks_.size() ? sinks_[slot].get() : nullptr;
        QObject* object = sink && sink->component() ? sink->component()->object() : nullptr;
        if (!object) continue;
        // Optional: a component without the method is skipped; its errors are ignored.
        const int index =
            object->metaObject()->indexOfMethod(QByteArray(method).append("()").constData());
        if (index < 0) continue;
        try {
            object->metaObject()->method(index).invoke(object, Qt::DirectConnection);
        } catch (...) {
        }
    }
}

void RuntimeComponents::PauseComponents() {
    callOnAll("PauseComponent");
}

void RuntimeComponents::ResumeComponents() {
    callOnAll("ResumeComponent");
}

void RuntimeComponents::BuildAllEventsList() {
    events_.clear();
    if (!site_) return;
    try {
        for (const ScriptProcedure& p : site_->componentProcedures()) {
            const qsizetype underscore = p.Name.indexOf(u'_');
            if (underscore > 0)
                events_.append(
                    {p.Name.left(underscore).toLower(), p.Name.mid(underscore + 1).toLower()});
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error in BuildAllEventsList. ", e);
    }
}

void RuntimeComponents::forward(ComponentWithEventsClass& sink, const QString& event,
                                QVariantList& args, const QStringList& names) {
    WidgetControl* control = sink.component();
    if (!control || event.isEmpty() || !site_) return;
    const QString component = control->name().toLower();
    const QString lowerEvent = event.toLower();
    for (const QStringList& row : events_) {
        if (row.value(0) != component || row.value(1) != lowerEvent) continue;
        QPointer<WidgetControl> guard(control);
        inEvent_.append(guard);
        try {
            ComponentEventParameters parameters(names, args);
            site_->resetScriptRequests();
            site_->runEventProcedure(component + "_" + lowerEvent, &parameters);
            args = parameters.values();
            site_->executeConsequences();
        } catch (const VbError& e) {
            standardErrorReport("Error in Component_ObjectEvent. ", e);
        }
        inEvent_.removeOne(guard);
        return;
    }
}

} // namespace tv
