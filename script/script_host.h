#pragma once
// Runs the author's code in the script engines of the main window.

#include "platform/script_engine.h"
#include "script/script_requests.h"

#include <memory>

namespace tv {

class ScriptHost {
public:
    ScriptHost();

    ScriptEngine& ScriptControl() { return *engine_; }
    ScriptEngine& ScriptControl2() { return *procedures_; }
    ScriptRequests& VBScriptAction() { return requests_; }

    // Runs `code` with the game's objects; with `resetClickPosition` the last click position is
    // forgotten first.
    void ExecuteVBScript(const QString& code, bool resetClickPosition);
    // The game-start script of a new game.
    void ExecuteOnLoadVBScript();
    // Loads the project's procedures into the second engine (for the component event list).
    void LoadProcedures();

private:
    std::unique_ptr<ScriptEngine> engine_;
    std::unique_ptr<ScriptEngine> procedures_;
    ScriptRequests requests_;
};

} // namespace tv
