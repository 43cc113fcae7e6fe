#pragma once
// Objects whose members include named objects that are not in their class: a form's controls
// (Me.Timer1, Me.Area(2)). The script bridge asks for a name its class table does not know.

#include <QString>

class QObject;

namespace tv {

class NamedMembers {
public:
    virtual ~NamedMembers() = default;
    // The object a script reaches under `name` (any case), or nullptr.
    virtual QObject* namedMember(const QString& name) const = 0;
};

// Objects that stand for another and lend it every member they lack: the extender of a
// run-time component (Name, Container, Object) passes the control's own members on to it, so
// that scripts call them on the component directly.
class MemberDelegate {
public:
    virtual ~MemberDelegate() = default;
    // The object that answers for members this one does not have, or nullptr.
    virtual QObject* memberDelegate() const = 0;
};

} // namespace tv
