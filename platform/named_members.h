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

} // namespace tv
