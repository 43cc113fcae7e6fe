#include "script/script_host.h"

#include "data/cipher.h"
#include "data/procedures_file.h"
#include "data/project.h"
#include "data/reports.h"
#include "data/ui_texts.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/ini.h"
#include "platform/core/run_flags.h"
#include "platform/screen.h"
#include "script/script_site.h"
#include "script/timed_events.h"
#include "script/variables.h"

namespace tv {

namespace {
// The text every script failure box starts with.
QString failureLead() {
    const UiTexts& t = uiTexts();
    return t[30] + " " + t[31] + "\r\n\r\n";
}

void scriptErrorBox(const QString& text) {
    DialogService::instance().msgBox(failureLead() + text, mb::Critical, uiTexts()[29]);
}

QString moreFile() {
    return files::resolve(project().folders.ConfigFolder + "More");
}
} // namespace

ScriptHost::ScriptHost(ScriptSite& site, GameVariables& variables, TimedEvents& timedEvents,
                       SavedGames& savedGames)
    : site_(site), variables_(variables), timedEvents_(timedEvents), savedGames_(savedGames),
      engine_(createScriptEngine()), procedures_(createScriptEngine()),
      library_(std::make_unique<VBScriptActionModule>(site, *this)),
      app_(std::make_unique<AppObject>()), printer_(std::make_unique<PrinterObject>()),
      printers_(std::make_unique<PrintersCollection>()),
      clipboard_(std::make_unique<ClipboardObject>()),
      engineObject_(std::make_unique<ScriptControlObject>(*engine_)),
      proceduresObject_(std::make_unique<ScriptControlObject>(*procedures_)) {
    for (ScriptEngine* e : {engine_.get(), procedures_.get()})
        e->SetTimeout(ScriptEngine::kDefaultTimeoutMs);
}

ScriptHost::~ScriptHost() {
    qDeleteAll(placeholders_);
}

void ScriptHost::LoadProcedures() {
    ProceduresFile file;
    try {
        const QString path = project().folders.ConfigFolder + "Procedures";
        std::optional<int> offset;
        if (proceduresScrambled(moreFile()))
            offset = proceduresOffset(project().settings.ProjectName);
        readProceduresFile(files::resolve(path), file, offset);
    } catch (const VbError& e) {
        DialogService::instance().msgBox("Error loading projet procedures. " + errorText(e),
                                         mb::Critical, "Error");
    }
    procedures_text_ = file.text;
}

void ScriptHost::reportRunFailure(const QString& description) {
    scriptErrorBox("Error executing script. The Scripting Engine returned the following error "
                   "message:\r\n\r\n" +
                   description);
}

bool ScriptHost::AddCodeToScriptControl(ScriptEngine& engine, const QString& startupCode) {
    try {
        engine.Reset();
    } catch (const VbError& e) {
        scriptErrorBox("Error executing script. Make sure that you are not trying to execute a "
                       "script while another script is being executed. The Scripting Engine "
                       "returned the following error message:\r\n\r\n" +
                       errorText(e));
        return false;
    }
    // A script's MsgBox without a title shows the game's.
    engine.SetDefaultBoxTitle(gameTitle());
    try {
        // The library's CreateObject replaces the engine's: scripts create no outside objects.
        engine.AddObject("Action", library_.get(), true, true);
        // Built in one buffer: the procedures text may be long and this runs before every
        // script.
        const QStringList plugins = site_.pluginProcedures();
        QString code;
        code.reserve(startupCode.size() + procedures_text_.size() + 96);
        code += QStringLiteral("Sub ") + QLatin1StringView(kWrapper) + QStringLiteral("\r\n\r\n");
        code += startupCode;
        code += QStringLiteral("\r\n\r\nEnd Sub\r\n");
        for (const QString& text : plugins) {
            code += text;
            code += QStringLiteral("\r\n");
        }
        code += QStringLiteral("\r\n");
        code += procedures_text_;
        if (interceptCode) {
            interceptCode = false;
            DialogService::instance().msgBox("The code interception function is not available in "
                                             "the compiled version of the project.",
                                             mb::Information, "Not Available");
        }
        if (code.contains("CreateObject(") &&
            iniRead(moreFile(), "General", "AllowCreateObject") != "1") {
            DialogService::instance().msgBox(
                "WARNING! The VBScript code makes calls to the \"CreateObject\" function, which "
                "for security reasons is not allowed.\r\n\r\nPlease remove the calls to that "
                "function and try again.",
                mb::Critical, "VBScript Execution Aborted");
            code = QStringLiteral("Sub ") + kWrapper + "\r\nEnd Sub";
        }
        engine.AddCode(code);
        for (QObject* variable : variables_.Variables.entries())
            engine.AddObject(static_cast<ClassVariable*>(variable)->name(), variable, true);
        for (QObject* variable : variables_.VariablesVariant.entries())
            engine.AddObject(static_cast<ClassVariableVariant*>(variable)->name(), variable, true);
        addWindowObjects(engine);
        if (ControlsReferenceMode == 2) engine.AddObject("SoftwareObjects", &site_.window(), true);
        return true;
    } catch (const VbError& e) {
        scriptErrorBox("Error executing script.\r\n- your system is not set to use chinese "
                       "characters, or other special character sets;\r\n- your global variables "
                       "do not have names that are reserved by Torvane.\r\n\r\nThe Scripting "
                       "Engine returned the following error message:\r\n\r\n" +
                       errorText(e));
        return false;
    }
}

QObject* ScriptHost::placeholder(const QString& name) {
    QObject*& object = placeholders_[name];
    if (!object) {
        object = new QObject;
        object->setObjectName(name);
    }
    return object;
}

void ScriptHost::addWindowObjects(ScriptEngine& engine) {
    struct Entry {
        const char* name;
        QObject* object;
        bool addMembers;
    };
    app_->setPath(project().folders.RootFolder);
    app_->setTitle(project().settings.GameTitle);
    // Window parts that exist are given as themselves; the others have stand-ins until their
    // features arrive, so that scripts naming them still compile.
    const Entry entries[] = {
        {"Hotspot", &site_.hotspotControls(), true},
        {"Text", nullptr, true},
        {"LoopingVideo", nullptr, true},
        {"ScreenObject", &Screen::instance(), true},
        {"AppObject", app_.get(), true},
        {"PrinterObject", printer_.get(), true},
        {"PrintersCollection", printers_.get(), true},
        {"ClipboardObject", clipboard_.get(), true},
        {"TimerObject", &timedEvents_.TimerObject(), true},
        {"CheckBoxObject", nullptr, false},
        {"LineObject", nullptr, false},
        {"ShapeObject", nullptr, false},
        {"TextBoxObject", nullptr, false},
        {"PictureBoxObject", nullptr, false},
        {"ListBoxObject", nullptr, false},
        {"ImageBoxObject", nullptr, false},
        {"FileBoxObject", nullptr, false},
        {"DirBoxObject", nullptr, false},
        {"DriveBoxObject", nullptr, false},
        {"MediaPlayerObject", nullptr, false},
        {"MessageObject", nullptr, false},
        {"MessageCanvasObject", nullptr, false},
        {"MessageTimerObject", nullptr, false},
        {"DialogueObject", nullptr, false},
        {"DialogueCanvasObject", nullptr, false},
        {"BackgroundObject", &site_.pictureBox(), false},
        {"BackgroundHotspotObject", &site_.BackImage(), false},
        {"AudioPlayerObject", nullptr, false},
        {"InventoryItemObject", nullptr, false},
        {"InventoryButtonObject", nullptr, false},
        {"InventoryCanvasObject", nullptr, false},
        {"InventoryBackgroundObject", nullptr, false},
        {"InventoryTimerObject", nullptr, false},
        {"FramesHistoryObject", nullptr, false},
        {"RipplingWaterObject", nullptr, false},
        {"AnimatedGifObject", nullptr, false},
        {"AnimatedGifCanvasObject", nullptr, false},
        {"ScriptControlObject", engineObject_.get(), false},
        {"ScriptControl2Object", proceduresObject_.get(), false},
        {"TimedEventObject", &timedEvents_.TimedEvent(), false},
        {"WindowObject", &site_.window(), false},
        {"ExitMenuObject", nullptr, false},
        {"SaveMenuObject", nullptr, false},
        {"LoadMenuObject", nullptr, false},
        {"OptionsMenuObject", nullptr, false},
        {"DebugMenuObject", nullptr, false},
        {"DisableEffectsMenuObject", nullptr, false},
        {"TransitionsMenuObject", nullptr, false},
    };
    for (const Entry& e : entries) {
        const QString name = QString::fromLatin1(e.name);
        QObject* object = e.object ? e.object : site_.presentationObject(name);
        engine.AddObject(name, object ? object : placeholder(name), e.addMembers);
    }
}

bool ScriptHost::ExecuteVBScript(const QString& code, bool resetLastClickPosition) {
    if (runFlags().quitting) return false;
    QString stripped = code;
    stripped.remove("\r\n");
    if (stripped.trimmed().isEmpty()) return false;
    if (resetLastClickPosition) site_.saveClickPosition(0, 0);
    AddCodeToScriptControl(ScriptControl(), code);
    try {
        ScriptControl().Run(QString::fromLatin1(kWrapper));
    } catch (const VbError& e) {
        reportRunFailure(errorText(e));
        return true;
    }
    return false;
}

bool ScriptHost::ExecuteVBScriptAndConsequences(const QString& code, bool resetLastClickPosition) {
    library_->ResetModule();
    const bool failed = ExecuteVBScript(code, resetLastClickPosition);
    if (!failed) site_.executeConsequences();
    return failed;
}

void ScriptHost::ExecuteOnLoadVBScript() {
    QString plugins;
    for (const QString& text : site_.pluginStartupTexts())
        if (!text.isEmpty()) plugins += text + "\r\n";
    library_->ResetModule();
    const ProjectSettings& s = project().settings;
    const bool gameStart = s.GameStartScriptEnabled && !s.GameStartScript.isEmpty();
    if (gameStart || !plugins.isEmpty())
        ExecuteVBScript(plugins + (s.GameStartScriptEnabled ? s.GameStartScript : QString()), true);
}

} // namespace tv
