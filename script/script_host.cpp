#include "script/script_host.h"

namespace tv {

ScriptHost::ScriptHost() : engine_(createScriptEngine()), procedures_(createScriptEngine()) {
    engine_->SetTimeout(ScriptEngine::kDefaultTimeoutMs);
    procedures_->SetTimeout(ScriptEngine::kDefaultTimeoutMs);
}

// Author code runs once the script engine and its host bridge are in place; until then scripts
// are accepted and do nothing.
void ScriptHost::ExecuteVBScript(const QString&, bool) {}
void ScriptHost::ExecuteOnLoadVBScript() {}
void ScriptHost::LoadProcedures() {}

} // namespace tv
