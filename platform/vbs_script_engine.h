#pragma once
// The player's script engine on our own VBScript engine: host objects come in through the
// QObject bridge, and every engine failure becomes a ScriptError with its place in the code.

#include "platform/script_engine.h"

#include <memory>

namespace vbs {
class Engine;
class CompileCache;
class HostServices;
} // namespace vbs

namespace tv {

class VbsScriptEngine : public ScriptEngine {
public:
    VbsScriptEngine();
    ~VbsScriptEngine() override;

    void Reset() override;
    void AddObject(const QString& name, QObject* object, bool addMembers,
                   bool beforeBuiltins = false) override;
    void AddCode(const QString& code) override;
    QVariant Run(const QString& procedureName, const QVariantList& args = {}) override;
    QVariant Eval(const QString& expression) override;
    int Timeout() const override;
    void SetTimeout(int milliseconds) override;
    QVector<ScriptProcedure> Procedures() const override;
    bool isRunning() const override;

    // The services scripts reach beyond the language (MsgBox, InputBox, CreateObject, ...).
    void setHostServices(vbs::HostServices* services);

private:
    std::unique_ptr<vbs::Engine> engine_;
};

// Makes createScriptEngine() build VBScript engines that share one compile cache, so the same
// procedures text is compiled once however often it is added.
void installVbsScriptEngine();

} // namespace tv
