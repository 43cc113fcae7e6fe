#pragma once
// What the player needs of its script engine: the members of the classic script control. Our
// VBScript engine stands behind it (createScriptEngine); every failure is a VbError that carries
// its place in the code (line() and column(), 0 when it has none).

#include "platform/core/errors.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace tv {

struct ScriptProcedure {
    QString Name;
    int NumArgs = 0;
    bool HasReturnValue = false;
};

class ScriptEngine {
public:
    // Both engines of the main window start with this time-out.
    static constexpr int kDefaultTimeoutMs = 15000;
    static constexpr int kNoTimeout = -1;

    virtual ~ScriptEngine() = default;

    // Forgets every added name and all added code. Fails while a script of this engine runs.
    virtual void Reset() = 0;
    // Makes `object` a global script name; with `addMembers` its public members become global
    // names too. Fails when the name is taken or reserved.
    // With `beforeBuiltins` the members also replace the engine's functions of the same name.
    virtual void AddObject(const QString& name, QObject* object, bool addMembers,
                           bool beforeBuiltins = false) = 0;
    // Adds code; its procedures become callable. A syntax error fails with its place.
    virtual void AddCode(const QString& code) = 0;
    // Runs a procedure to its end. A missing procedure, a run-time error or the time-out fails.
    virtual QVariant Run(const QString& procedureName, const QVariantList& args = {}) = 0;
    virtual QVariant Eval(const QString& expression) = 0;
    // Milliseconds; kNoTimeout for none.
    virtual int Timeout() const = 0;
    virtual void SetTimeout(int milliseconds) = 0;
    // The procedures of the added code, in code order.
    virtual QVector<ScriptProcedure> Procedures() const = 0;
    virtual bool isRunning() const = 0;
    // The title of the scripts' MsgBox and InputBox when they give none (the game's title).
    virtual void SetDefaultBoxTitle(const QString& title) = 0;
};

// An engine as scripts see it (the classic control's Language and Timeout).
class ScriptControlObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Language READ language)
    Q_PROPERTY(int Timeout READ timeout WRITE setTimeout)
public:
    explicit ScriptControlObject(ScriptEngine& engine) : engine_(engine) {}
    QString language() const { return QStringLiteral("VBScript"); }
    int timeout() const { return engine_.Timeout(); }
    void setTimeout(int milliseconds) { engine_.SetTimeout(milliseconds); }

private:
    ScriptEngine& engine_;
};

// A new VBScript engine. Every engine made here shares one compile cache, so the same
// procedures text is compiled once however often it is added. Scripts' MsgBox and InputBox go
// through the dialog service, so that automated runs log and answer them.
std::unique_ptr<ScriptEngine> createScriptEngine();

} // namespace tv
