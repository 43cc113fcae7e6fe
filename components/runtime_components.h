#pragma once
// Run-time components: controls that scripts create by ProgID inside the frame display, find by
// name and remove, paused around transitions, whose events run the author's procedures named
// component + "_" + event.

#include "platform/controls.h"
#include "platform/named_members.h"
#include "platform/script_engine.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace tv {

// What the components need of the game.
class ComponentSite {
public:
    virtual ~ComponentSite() = default;
    // The frame display, where components are made.
    virtual ContainerControl& componentContainer() = 0;
    // The project's procedures as the second script engine holds them.
    virtual QVector<ScriptProcedure> componentProcedures() = 0;
    // An event's procedure: the requests are cleared, the procedure runs with the event's
    // parameters (raising a VbError when it fails), then the requests are carried out.
    virtual void resetScriptRequests() = 0;
    virtual void runEventProcedure(const QString& procedure, QObject* parameters) = 0;
    virtual void executeConsequences() = 0;
};

// One parameter of an event: its name (from the control's signal) and its value, which the
// procedure may change when the parameter is passed by reference.
class ComponentEventParameter : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Value")
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(QVariant Value READ value WRITE setValue)
public:
    ComponentEventParameter(QString name, QVariant value)
        : name_(std::move(name)), value_(std::move(value)) {}
    QString name() const { return name_; }
    QVariant value() const { return value_; }
    void setValue(const QVariant& value) { value_ = value; }

private:
    QString name_;
    QVariant value_;
};

// The parameter collection an event procedure receives: Count, Item(index from 0, or name)
// (the default member) and For Each.
class ComponentEventParameters : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
public:
    ComponentEventParameters(const QStringList& names, const QVariantList& values);
    int count() const { return static_cast<int>(items_.size()); }
    // Raises "Subscript out of range" for an unknown index or name.
    Q_INVOKABLE QObject* Item(const QVariant& key) const;
    Q_INVOKABLE QVariantList NewEnum() const;
    QVariantList values() const;

private:
    std::vector<std::unique_ptr<ComponentEventParameter>> items_;
};

// The host's wrapper round a component's widget: Name, Container and Object are the host's,
// every other member is the control's own.
class ComponentExtender : public WidgetControl, public MemberDelegate {
public:
    ComponentExtender(Control* container, const QString& name, QWidget* inner)
        : WidgetControl(container, name, inner) {
        setPassesKeysOn(true); // the window's shortcuts work while a component has the focus
    }
    QObject* memberDelegate() const override { return object(); }
};

// One per component: it holds the extender (the control the player made around the library's
// widget) and receives the widget's signals as events.
class ComponentWithEventsClass : public std::enable_shared_from_this<ComponentWithEventsClass> {
public:
    using Forward = std::function<void(ComponentWithEventsClass&, const QString& event,
                                       QVariantList& args, const QStringList& names)>;
    explicit ComponentWithEventsClass(Forward forward) : forward_(std::move(forward)) {}
    ~ComponentWithEventsClass() { setComponent(nullptr); }
    ComponentWithEventsClass(const ComponentWithEventsClass&) = delete;
    ComponentWithEventsClass& operator=(const ComponentWithEventsClass&) = delete;

    WidgetControl* component() const { return component_; }
    // Nothing detaches the sink.
    void setComponent(WidgetControl* control);

private:
    Forward forward_;
    QPointer<WidgetControl> component_;
    QPointer<QObject> source_; // the control's widget, whose signals the relay receives
    std::unique_ptr<QObject> relay_;
};

class RuntimeComponents {
public:
    // What makes the widget of a ProgID (raising a VbError when it cannot); the component
    // libraries unless a test says otherwise.
    using Creator = std::function<QWidget*(const QString& progId, QWidget* container)>;

    RuntimeComponents();
    ~RuntimeComponents();

    void setSite(ComponentSite* site) { site_ = site; }
    void setCreator(Creator creator) { creator_ = std::move(creator); }

    void AddAdditionalComponent(const QString& progId, const QString& name,
                                bool appearDuringTransitions, bool disappearBeforeAlphaBlending);
    // The extender of the component, or nullptr (reported) when there is none of that name.
    QObject* GetComponentRef(const QString& name);
    void RemoveAdditionalComponent(const QString& name);
    void ResetComponents();
    bool DoesProgIDExist(const QString& progId);
    void PauseComponents();
    void ResumeComponents();
    void BuildAllEventsList();
    bool exists(const QString& name) const;

    // One row per component, in creation order.
    struct Row {
        QString name; // lower-cased
        int sink = 0; // slot in the sink table
        bool appearDuringTransitions = false;
        bool disappearBeforeAlphaBlending = false;
    };
    const QList<Row>& rows() const { return rows_; }
    // The sink table's size, slot 0 (never used) included.
    int sinkSlots() const { return static_cast<int>(sinks_.size()); }
    const ComponentWithEventsClass* sink(int slot) const { return sinks_.at(slot).get(); }
    // Rows of component name and event name, lower-cased.
    const QList<QStringList>& EventsList() const { return events_; }

private:
    qsizetype find(const QString& name) const;
    WidgetControl* makeControl(const QString& progId, const QString& name);
    // Unloads a control now, or after its own event when one is running.
    void unload(WidgetControl* control);
    void forward(ComponentWithEventsClass& sink, const QString& event, QVariantList& args,
                 const QStringList& names);
    void callOnAll(const char* method);

    ComponentSite* site_ = nullptr;
    Creator creator_;
    QList<Row> rows_;
    // Shared so that an event that removes its own component finishes on a live sink.
    std::vector<std::shared_ptr<ComponentWithEventsClass>> sinks_;
    QList<QStringList> events_;
    // Controls whose events run now; they are freed only after.
    QList<QPointer<WidgetControl>> inEvent_;
};

} // namespace tv
