#pragma once
// What the player needs of its script engine: the members of the classic script control. The real
// VBScript engine plugs in behind this interface; until then a do-nothing engine stands in.

#include "platform/vberror.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace tv {

// A failure inside the engine: a classic error with the place in the code where it happened.
class ScriptError : public VbError {
public:
    ScriptError(int number, const QString& description, int line = 0, int column = 0)
        : VbError(number, description), line_(line), column_(column) {}
    int line() const { return line_; }
    int column() const { return column_; }

private:
    int line_;
    int column_;
};

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

// Stands in until the VBScript engine lands: it keeps names and the time-out, runs nothing and
// reports every procedure as missing.
class NullScriptEngine : public ScriptEngine {
public:
    void Reset() override;
    void AddObject(const QString& name, QObject* object, bool addMembers,
                   bool beforeBuiltins = false) override;
    void AddCode(const QString& code) override;
    QVariant Run(const QString& procedureName, const QVariantList& args = {}) override;
    QVariant Eval(const QString& expression) override;
    int Timeout() const override { return timeout_; }
    void SetTimeout(int milliseconds) override { timeout_ = milliseconds; }
    QVector<ScriptProcedure> Procedures() const override { return {}; }
    bool isRunning() const override { return false; }

private:
    QStringList names_;
    int timeout_ = kDefaultTimeoutMs;
};

using ScriptEngineFactory = std::unique_ptr<ScriptEngine> (*)();

// The engine the player creates; the real engine installs its factory when it is linked in.
std::unique_ptr<ScriptEngine> createScriptEngine();
void setScriptEngineFactory(ScriptEngineFactory factory);

} // namespace tv
