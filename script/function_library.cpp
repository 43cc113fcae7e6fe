#include "script/function_library.h"

#include "data/file_locator.h"
#include "data/project.h"
#include "data/reports.h"
#include "engine/game.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/settings_store.h"
#include "platform/vberror.h"

namespace tv {

VBScriptActionModule::VBScriptActionModule(Game& game) : game_(game) {}

void VBScriptActionModule::GoToFrame(const QString& sFrameName, double dTransDuration,
                                     int iTransNumber) {
    sFrameToLoad = sFrameName;
    dTransitionDuration = dTransDuration;
    iTransitionNumber = static_cast<qint16>(iTransNumber);
    iHotspotNumber = 0;
}

void VBScriptActionModule::ResetModule() {
    sFrameToLoad.clear();
    iTransitionNumber = 1;
    bStopGame = false;
    bPopupLoadGame = false;
    bPopupSaveGame = false;
    dTransitionDuration = 0;
}

QVariant VBScriptActionModule::Quit() {
    bStopGame = true;
    return {};
}

QString VBScriptActionModule::GetCurrentFrameName() const {
    return game_.CurrentFrame.FrameName;
}

void VBScriptActionModule::SimulateHotspotClick(int iHotspotIndex) {
    game_.actions.SimulateHotspotClick(iHotspotIndex);
}

void VBScriptActionModule::UpdateHotspotsState() {
    game_.hotspots.ShowOrNotShowAreas();
}

QObject* VBScriptActionModule::GetVariableReferenceFromName(const QString& sVariableName) const {
    return game_.variables.GetVariableReferenceFromName(sVariableName);
}

QString VBScriptActionModule::GetEncryptedFileName(const QString& sUnencryptedFileName) const {
    return tv::GetEncryptedFileName(sUnencryptedFileName);
}

QString VBScriptActionModule::GetPath(int iPath) const {
    const ProjectFolders& f = project().folders;
    switch (iPath) {
    case 0:
    case 1:
        return f.RootFolder;
    case 3:
        return f.ConfigFolder;
    case 4:
        return f.AreasFolder;
    case 5:
        return f.FramesFolder;
    case 6:
        return f.FramesDataFolder;
    case 7:
        return f.IconsFolder;
    default:
        return f.ExternalFolder;
    }
}

int VBScriptActionModule::GetClickPositionX() const {
    return game_.hotspots.clickPosition().x();
}
int VBScriptActionModule::GetClickPositionY() const {
    return game_.hotspots.clickPosition().y();
}
int VBScriptActionModule::GetProjectWidth() const {
    return project().settings.ProjectWidth;
}
int VBScriptActionModule::GetProjectHeight() const {
    return project().settings.ProjectHeight;
}
int VBScriptActionModule::GetMergedHotspotIndex() const {
    return game_.hotspots.mergedIndex();
}
void VBScriptActionModule::AllowControlsReferencesNextTime() {
    game_.ControlsReferenceMode = 2;
}
void VBScriptActionModule::DoNotAllowControlsReferencesNextTime() {
    game_.ControlsReferenceMode = 1;
}

QString VBScriptActionModule::ConvertQuotesIntoDoubleQuotes(const QString& sString) const {
    QString s = sString;
    return s.replace("\"", "\"\"");
}

double VBScriptActionModule::leadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const int start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i].isDigit())
        ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i].isDigit())
            ++i;
    }
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        int j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && text[j].isDigit()) {
            while (j < text.size() && text[j].isDigit())
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0;
}

double VBScriptActionModule::ConvertToNumber(const QVariant& vValue) const {
    if (vValue.typeId() == QMetaType::Bool) return vValue.toBool() ? -1 : 0;
    return leadingNumber(vValue.toString());
}

namespace {
QString parameterKey(const QString& name) {
    return "_" + name;
}

// Bare names live in the project's External folder; a name with a folder is used as given.
QString externalFile(const QString& name) {
    if (name.contains('\\') || name.contains('/')) return files::resolve(name);
    return files::resolve(project().folders.ExternalFolder + name);
}
} // namespace

void VBScriptActionModule::SaveParameter(const QString& sParameterName,
                                         const QVariant& ParameterValue) {
    try {
        SettingsStore().save("Software", project().settings.ProjectName,
                             parameterKey(sParameterName), ParameterValue.toString());
    } catch (const VbError& e) {
        standardErrorReport(" Unable to save the parameter named \"" + sParameterName + "\". ", e);
    }
}

QString VBScriptActionModule::LoadParameter(const QString& sParameterName,
                                            const QVariant& DefaultParameterValue) const {
    try {
        return SettingsStore().get("Software", project().settings.ProjectName,
                                   parameterKey(sParameterName), DefaultParameterValue.toString());
    } catch (const VbError& e) {
        standardErrorReport(" Unable to load the parameter named \"" + sParameterName + "\". ", e);
        return {};
    }
}

QString VBScriptActionModule::ReadINI(const QString& sFileName, const QString& sSection,
                                      const QString& sKeyName) const {
    if (sFileName.isEmpty() || sSection.isEmpty() || sKeyName.isEmpty()) return {};
    const QString path = externalFile(sFileName);
    if (!files::fileExists(path)) return {};
    return iniRead(path, sSection, sKeyName);
}

void VBScriptActionModule::WriteINI(const QString& sFileName, const QString& sSection,
                                    const QString& sKeyName, const QVariant& vNewString) {
    if (sFileName.isEmpty() || sSection.isEmpty() || sKeyName.isEmpty()) return;
    iniWrite(externalFile(sFileName), sSection, sKeyName, vNewString.toString());
}

void VBScriptActionModule::CreateObject(const QVariant&) {
    const QString more = files::resolve(project().folders.ConfigFolder + "More");
    if (iniRead(more, "General", "AllowCreateObject") != "1")
        DialogService::instance().msgBox("For security reasons, the \"CreateObject\" function is "
                                         "disabled in this version of VBScript.",
                                         mb::Information, "Unavailable Function");
}

void VBScriptActionModule::RefreshWindow() {
    game_.window().Refresh();
}

int VBScriptActionModule::CreateTimedEvent(double Duration, const QString& sCode,
                                           bool bRepeatForever) {
    return game_.timedEvents.CreateTimedEvent(Duration, sCode, bRepeatForever);
}

void VBScriptActionModule::RemoveTimedEvent(int index) {
    game_.timedEvents.RemoveTimedEvent(index);
}

} // namespace tv
