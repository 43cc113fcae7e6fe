#include "script/debug_tools.h"

#include "data/project.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/settings_store.h"
#include "platform/menu.h"
#include "script/saved_games.h"
#include "script/script_host.h"
#include "script/script_site.h"
#include "script/variables.h"

#include <QDir>

namespace tv {

namespace {
const QString kNotAvailable = QStringLiteral("Not Available");
const QString kCodeKey = QStringLiteral("ExecuteVBScriptCode");

QString header(const QString& title) {
    const QString dashes(26, '-');
    return dashes + " " + title + " " + dashes + QString(13, ' ');
}
} // namespace

DebugTools::DebugTools(ScriptSite& site, ScriptHost& scripts) : site_(site), scripts_(scripts) {}

DebugTools::~DebugTools() = default;

void DebugTools::createMenus(MenuItem& debugMenu) {
    debug_ = &debugMenu;
    frameTemplate_ = new MenuItem(debugMenu, "mnuFrameName", QString());
    frameTemplate_->setVisible(false);
    viewVariables_ = new MenuItem(debugMenu, "mnuViewVariables", "View variables status...");
    executeCode_ = new MenuItem(debugMenu, "mnuExecuteVBScript", "Execute VBScript code...");
    editProcedures_ = new MenuItem(debugMenu, "mnuEditProcedures", "Edit procedures...");
    interceptCode_ = new MenuItem(debugMenu, "mnuInterceptCode", "Intercept code");
    QObject::connect(viewVariables_, &MenuItem::Click, [this] { ViewVariables(); });
    QObject::connect(executeCode_, &MenuItem::Click, [this] { ExecuteVBScript(); });
    QObject::connect(editProcedures_, &MenuItem::Click, [] {
        DialogService::instance().msgBox(
            "This command is not available in the compiled version of the project.",
            mb::Information, kNotAvailable);
    });
    QObject::connect(interceptCode_, &MenuItem::Click, [this] {
        scripts_.interceptCode = !scripts_.interceptCode;
        interceptCode_->setChecked(scripts_.interceptCode);
    });
    // The check mark shows what the next run will do (a run takes the switch off again).
    QObject::connect(debug_, &MenuItem::Click,
                     [this] { interceptCode_->setChecked(scripts_.interceptCode); });
}

void DebugTools::fillFrameList() {
    if (!debug_) return;
    qDeleteAll(frames_);
    frames_.clear();
    const QDir folder(project().folders.FramesFolder);
    // Frame files as the folder lists them; the pattern is case-sensitive.
    for (const QString& file :
         folder.entryList({"*.fme"}, QDir::Files | QDir::Hidden, QDir::Name)) {
        if (file.size() <= 4 || !file.endsWith(".fme")) continue;
        const QString frame = file.chopped(4);
        auto* item = new MenuItem(*debug_, "mnuFrameName", frame);
        item->setVisible(true);
        QObject::connect(item, &MenuItem::Click, [this, frame] { site_.OpenFrame(frame); });
        frames_.append(item);
    }
    editProcedures_->setEnabled(!project().settings.DisableEditProcedures);
    interceptCode_->setChecked(scripts_.interceptCode);
}

QList<MenuItem*> DebugTools::menuItems() const {
    if (!debug_) return {};
    QList<MenuItem*> items = frames_;
    items << viewVariables_ << executeCode_ << editProcedures_ << interceptCode_;
    return items;
}

QStringList DebugTools::variablesLines(const GameVariables& variables) {
    const QString q = QStringLiteral("\"");
    QStringList lines;
    lines << "This window allows you to view the value of all the project variables. To create a "
             "new project variable, click " +
                 q + "Project Variables..." + q +
                 " from the frame editor menu. To manually change the value of a variable, "
                 "click " +
                 q + "Execute VBS code..." + q + " from the Debug menu, and then enter: " + q +
                 "VARIABLE_NAME = NEW_VALUE" + q + " (without the quotes).";
    lines << QString() << QString() << header("INTEGER VARIABLES:") << QString();
    for (QObject* entry : variables.Variables.entries()) {
        auto* v = static_cast<ClassVariable*>(entry);
        lines << v->name() + " = " + QString::number(v->value());
    }
    lines << QString() << header("VARIANT VARIABLES:") << QString();
    for (QObject* entry : variables.VariablesVariant.entries()) {
        auto* v = static_cast<ClassVariableVariant*>(entry);
        lines << v->name() + " = " + SavedGames::recordValueOf(v->value()).toText();
    }
    return lines;
}

QStringList DebugTools::variablesPages(const QStringList& lines) {
    QStringList pages;
    QString page;
    for (int i = 0; i < lines.size(); ++i) {
        page += lines[i] + "\r\n";
        if ((i + 1) % kLinesPerPage == 0 && i + 1 < lines.size()) {
            pages << page;
            page = QString(52, ' ') + "\r\n";
        }
    }
    pages << page + "\r\n";
    return pages;
}

void DebugTools::ViewVariables() {
    try {
        for (const QString& page : variablesPages(variablesLines(scripts_.variables())))
            DialogService::instance().msgBox(page, mb::Information, "Variables Status");
    } catch (const VbError& e) {
        DialogService::instance().msgBox("Error displaying variables status. " + errorText(e),
                                         mb::Exclamation, "Error");
    }
}

void DebugTools::ExecuteVBScript() {
    const QString section = project().settings.ProjectName;
    QString code;
    try {
        code = SettingsStore().get("Software", section, kCodeKey, QString());
        const std::optional<QString> answer = DialogService::instance().inputBox(
            "Enter the VBScript code that you want to execute and then click OK.\r\n\r\n"
            "For example, to retrieve the value of a variable, use the following code:\r\n\r\n"
            "                MsgBox VARIABLE_NAME\r\n\r\n",
            "Execute VBScript Code (for advanced users)", code);
        if (!answer || answer->isEmpty()) return;
        code = *answer;
        scripts_.ExecuteVBScriptAndConsequences(code, true);
        SettingsStore().save("Software", section, kCodeKey, code);
    } catch (const VbError& e) {
        DialogService::instance().msgBox("Unable to execute the following VBScript code:\r\n\r\n" +
                                             code + "\r\n\r\n" + errorText(e),
                                         mb::Critical, "Error Executing VBScript Code");
    }
}

} // namespace tv
