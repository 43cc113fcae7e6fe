#pragma once
// The one adapter between Qt's meta-object system and the script engine: any QObject is a
// script object. Members are found by name without regard to case (cached per class):
// Q_PROPERTY properties, Q_INVOKABLE methods (the overload with a matching argument count), the
// default member named by Q_CLASSINFO("DefaultMember", ...), and For Each over a Q_INVOKABLE
// `NewEnum()` that returns a QVariantList. Values convert between QVariant and script values.

#include "vbscript/value.h"

#include <QObject>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

namespace tv::bridge {

// A script object for `object` (the same QObject gives objects that `Is` finds equal).
vbs::Object* wrap(QObject* object);
// The QObject behind a script object, or nullptr for script-class instances.
QObject* unwrap(const vbs::Object* object);

vbs::Value toScript(const QVariant& value);
QVariant fromScript(const vbs::Value& value);

// Events from signals: every signal of `source` (declared in its class, not QObject's) calls
// `handler` with the signal's name and its arguments. Arguments passed by reference (a classic
// event's Cancel) are written back from the list when the handler returns. The connections end
// with the returned object (or with `source`).
using EventHandler = std::function<void(const QString& event, QVariantList& args)>;
std::unique_ptr<QObject> connectEvents(QObject* source, EventHandler handler);

// A script object (an instance of a script class) kept in a QVariant, so that the host can
// hold it and hand it back.
class ScriptObjectHandle {
public:
    ScriptObjectHandle() = default;
    explicit ScriptObjectHandle(vbs::Object* object);
    ScriptObjectHandle(const ScriptObjectHandle& other);
    ScriptObjectHandle& operator=(const ScriptObjectHandle& other);
    ~ScriptObjectHandle();
    vbs::Object* get() const { return object_; }

private:
    vbs::Object* object_ = nullptr;
};

} // namespace tv::bridge

Q_DECLARE_METATYPE(tv::bridge::ScriptObjectHandle)
