#pragma once
// Runs the author's code. Before every run the engine is rebuilt: reset, the function library,
// the code wrapped in a procedure with the plugins' and the project's procedures, every game
// variable and the window's objects by name. Then the wrapper procedure runs.

#include "platform/script_engine.h"
#include "platform/system_objects.h"
#include "script/function_library.h"

#include <QHash>
#include <QObject>
#include <memory>

namespace tv {

class GameVariables;
class SavedGames;
class ScriptSite;
class TimedEvents;

class ScriptHost {
public:
    // The procedure every piece of code is wrapped in.
    static constexpr const char* kWrapper = "Procedure_that_is_going_to_be_executed";

    // The parts are the script side's own; they are kept, not used, while the game is built.
    ScriptHost(ScriptSite& site, GameVariables& variables, TimedEvents& timedEvents,
               SavedGames& savedGames);
    ~ScriptHost();

    ScriptEngine& ScriptControl() { return *engine_; }
    ScriptEngine& ScriptControl2() { return *procedures_; }
    VBScriptActionModule& VBScriptAction() { return *library_; }
    GameVariables& variables() { return variables_; }
    TimedEvents& timedEvents() { return timedEvents_; }
    SavedGames& savedGames() { return savedGames_; }

    // Runs code; true when the engine reported an error (already shown).
    bool ExecuteVBScript(const QString& code, bool resetLastClickPosition);
    // Clears the requests, runs the code and, when it ran without error, carries them out.
    bool ExecuteVBScriptAndConsequences(const QString& code, bool resetLastClickPosition);
    // The game-start code of a new or loaded game.
    void ExecuteOnLoadVBScript();
    // Rebuilds an engine around `startupCode`; false when a step failed (already shown).
    bool AddCodeToScriptControl(ScriptEngine& engine, const QString& startupCode);
    void MessageReceived(int, int, int) {}

    // The check mark of the debug menu's "intercept code" item.
    bool interceptCode = false;
    // Which of the window's objects the next runs see by name: 0 not decided yet (the frame
    // decides), 1 the usual ones, 2 every control ("SoftwareObjects").
    qint16 ControlsReferenceMode = 0;

    // Reads the project's procedures (once per game reset).
    void LoadProcedures();
    const QString& procedures() const { return procedures_text_; }
    // The second engine holds every procedure, for the component event list.
    void prepareSecondEngine() { AddCodeToScriptControl(ScriptControl2(), {}); }

private:
    void addWindowObjects(ScriptEngine& engine);
    QObject* placeholder(const QString& name);
    void reportRunFailure(const QString& description);

    ScriptSite& site_;
    GameVariables& variables_;
    TimedEvents& timedEvents_;
    SavedGames& savedGames_;
    std::unique_ptr<ScriptEngine> engine_;
    std::unique_ptr<ScriptEngine> procedures_;
    std::unique_ptr<VBScriptActionModule> library_;
    QString procedures_text_;
    // Objects that stand for window parts not built yet, so that scripts naming them compile.
    QHash<QString, QObject*> placeholders_;
    // The classic runtime's global objects.
    std::unique_ptr<AppObject> app_;
    std::unique_ptr<PrinterObject> printer_;
    std::unique_ptr<PrintersCollection> printers_;
    std::unique_ptr<ClipboardObject> clipboard_;
    std::unique_ptr<ScriptControlObject> engineObject_;
    std::unique_ptr<ScriptControlObject> proceduresObject_;
};

} // namespace tv
