#pragma once
// The player's script engine on our own VBScript engine. Host objects come in through the QObject
// bridge; what scripts reach beyond the language (MsgBox, InputBox, LoadPicture) is served here.
// Engine failures pass through as the one classic error type, with their place in the code.

#include "platform/script_engine.h"

#include <memory>

namespace vbs {
class Engine;
} // namespace vbs

namespace tv {

class VbsHostServices;

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
    void SetDefaultBoxTitle(const QString& title) override;

private:
    std::unique_ptr<VbsHostServices> services_;
    std::unique_ptr<vbs::Engine> engine_;
};

} // namespace tv
