#include "script/function_library.h"

#include "data/file_locator.h"
#include "data/project.h"
#include "data/reports.h"
#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/ini.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/screen.h"
#include "script/saved_games.h"
#include "script/script_host.h"
#include "script/script_site.h"
#include "script/timed_events.h"
#include "script/variables.h"

#include <QDir>
#include <optional>

namespace tv {

VBScriptActionModule::VBScriptActionModule(ScriptSite& site, ScriptHost& host)
    : site_(site), host_(host) {}

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
    return site_.currentFrameName();
}

void VBScriptActionModule::SimulateHotspotClick(int iHotspotIndex) {
    site_.simulateHotspotClick(iHotspotIndex);
}

void VBScriptActionModule::UpdateHotspotsState() {
    site_.updateHotspots();
}

QObject* VBScriptActionModule::GetVariableReferenceFromName(const QString& sVariableName) const {
    return host_.variables().GetVariableReferenceFromName(sVariableName);
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
    return site_.clickPosition().x();
}
int VBScriptActionModule::GetClickPositionY() const {
    return site_.clickPosition().y();
}
int VBScriptActionModule::GetProjectWidth() const {
    return project().settings.ProjectWidth;
}
int VBScriptActionModule::GetProjectHeight() const {
    return project().settings.ProjectHeight;
}
int VBScriptActionModule::GetMergedTextIndex() const {
    return site_.mergedTextIndex();
}

int VBScriptActionModule::GetMergedHotspotIndex() const {
    return site_.mergedHotspotIndex();
}
void VBScriptActionModule::AllowControlsReferencesNextTime() {
    host_.ControlsReferenceMode = 2;
}
void VBScriptActionModule::DoNotAllowControlsReferencesNextTime() {
    host_.ControlsReferenceMode = 1;
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
    site_.window().Refresh();
}

int VBScriptActionModule::CreateTimedEvent(double Duration, const QString& sCode,
                                           bool bRepeatForever) {
    return host_.timedEvents().CreateTimedEvent(Duration, sCode, bRepeatForever);
}

void VBScriptActionModule::RemoveTimedEvent(int index) {
    host_.timedEvents().RemoveTimedEvent(index);
}

void VBScriptActionModule::StopEverything() {
    RunFlags& f = runFlags();
    f.quitting = true;
    site_.pictureBox().setVisible(false);
    f.stopMovie = true;
    site_.frameTimer().setEnabled(false);
    host_.timedEvents().PauseTimedEvents();
    site_.stopPresentation();
    // Files the classic runtime kept open by number do not exist here: every reader closes its
    // file when it is done.
    site_.showMenus(true);
}

void VBScriptActionModule::Message(const QString& sText) {
    site_.showMessage(sText);
}

void VBScriptActionModule::AddItem(const QString& sText, bool bDoNotPopup) {
    site_.addInventoryItem(sText, bDoNotPopup);
}

void VBScriptActionModule::RemoveAllItems() {
    try {
        // Stops should an item refuse to go, rather than loop for ever.
        for (int count = site_.inventoryItemCount(); count > 0;
             count = site_.inventoryItemCount()) {
            site_.removeInventoryItem(1);
            if (site_.inventoryItemCount() >= count) break;
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error removing all the inventory items. ", e);
    }
}

void VBScriptActionModule::RemoveItem(const QString& sItemName, bool bRemoveDuplicates) {
    try {
        for (int i = site_.inventoryItemCount(); i >= 1; --i) {
            if (site_.inventoryItemName(i).compare(sItemName, Qt::CaseInsensitive) != 0) continue;
            site_.removeInventoryItem(i);
            if (!bRemoveDuplicates) break;
        }
    } catch (const VbError& e) {
        standardErrorReport(
            " Error removing from the inventory the item named '" + sItemName + "'. ", e);
    }
}

void VBScriptActionModule::HideInventoryButton() {
    if (!project().settings.UseInventory) return;
    try {
        site_.showInventoryButton(false);
    } catch (const VbError& e) {
        standardErrorReport(" Error hiding inventory. ", e);
    }
}

void VBScriptActionModule::ShowInventoryButton() {
    if (!project().settings.UseInventory) return;
    try {
        site_.showInventoryButton(true);
    } catch (const VbError& e) {
        standardErrorReport(" Error displaying inventory. ", e);
    }
}

void VBScriptActionModule::SendEmail(const QString& sAddress) {
    if (sAddress.isEmpty()) return;
    try {
        desktop::openAddress("mailto:" + sAddress);
    } catch (const VbError&) {
        standardErrorReport(" Error opening the default mail client to send email to: " + sAddress);
    }
}

void VBScriptActionModule::OpenURL(const QString& sURL) {
    if (sURL.isEmpty()) return;
    try {
        desktop::openAddress(sURL);
    } catch (const VbError&) {
        standardErrorReport(" Error opening the following URL with the default browser:\r\n\r\n" +
                            sURL);
    }
}

namespace {
void reportOpenFailure(const QString& name, const VbError& e) {
    standardErrorReport(" Error opening the file titled '" + name + "'.\r\n\r\n", e);
}
} // namespace

void VBScriptActionModule::OpenFile(const QString& sFileTitle) {
    if (sFileTitle.isEmpty()) return;
    try {
        desktop::openDocument(externalFile(sFileTitle));
    } catch (const VbError& e) {
        reportOpenFailure(sFileTitle, e);
    }
}

void VBScriptActionModule::OpenExeFileAndWait(const QString& sFileTitle) {
    if (sFileTitle.isEmpty()) return;
    const bool timerWasOn = site_.frameTimer().enabled();
    site_.window().setEnabled(false);
    site_.frameTimer().setEnabled(false);
    try {
        desktop::runAndWait(externalFile(sFileTitle), [] { EventLoop::instance().doEvents(); });
    } catch (const VbError& e) {
        site_.window().setEnabled(true);
        site_.frameTimer().setEnabled(timerWasOn);
        reportOpenFailure(sFileTitle, e);
        return;
    }
    site_.window().setEnabled(true);
    site_.frameTimer().setEnabled(timerWasOn);
}

namespace {
// A picture of the Areas folder; empty for an empty name, nothing when the file is missing.
std::optional<Picture> areaPicture(const QString& name) {
    if (name.isEmpty()) return Picture();
    const QString path = ResolveMediaFile(project().folders.AreasFolder + name);
    if (!files::fileExists(path)) return std::nullopt;
    return Picture::load(path);
}
} // namespace

void VBScriptActionModule::LoadAPicture(QObject* refControl, const QString& sFileName) {
    try {
        const std::optional<Picture> picture = areaPicture(sFileName);
        if (!picture) return;
        if (!refControl) throw vbError(err::ObjectVariableNotSet);
        if (!refControl->setProperty("Picture", QVariant::fromValue(*picture)))
            throw vbError(err::NoSuchMember);
    } catch (const VbError& e) {
        standardErrorReport(" Error loading the following picture:'\r\n" + sFileName + "'.\r\n\r\n",
                            e);
    }
}

QVariant VBScriptActionModule::LoadGraphicFile(const QString& sFileName) {
    try {
        if (const std::optional<Picture> picture = areaPicture(sFileName))
            return QVariant::fromValue(*picture);
        return QVariant::fromValue<QObject*>(nullptr);
    } catch (const VbError& e) {
        standardErrorReport(
            " Error loading the following graphic file:'\r\n" + sFileName + "'.\r\n\r\n", e);
        return {};
    }
}

void VBScriptActionModule::SaveAPicture(const QVariant& PictureBoxRef, const QString& sFileName) {
    // A picture object, or a control whose picture is meant (its default property).
    Picture picture;
    if (PictureBoxRef.metaType() == QMetaType::fromType<Picture>()) {
        picture = PictureBoxRef.value<Picture>();
    } else if (auto* object = PictureBoxRef.value<QObject*>()) {
        if (auto* held = qobject_cast<PictureObject*>(object))
            picture = held->picture();
        else if (auto* canvas = qobject_cast<CanvasControl*>(object))
            picture = canvas->autoRedraw() ? canvas->image() : canvas->picture();
        else
            picture = object->property("Picture").value<Picture>();
    } else {
        throw vbError(err::ObjectRequired);
    }
    // A bare name is saved in the game's own folder, as a relative path is.
    const QString path = QDir::isAbsolutePath(sFileName) || sFileName.startsWith('\\')
                             ? sFileName
                             : project().folders.RootFolder + sFileName;
    picture.save(files::resolve(path));
}

void VBScriptActionModule::CaptureFrame(QObject* PictureBoxRef, bool bWithoutScreenCapture) {
    auto* box = qobject_cast<PictureBox*>(PictureBoxRef);
    if (!box) throw vbError(PictureBoxRef ? err::TypeMismatch : err::ObjectVariableNotSet);
    site_.captureFrame(*box, bWithoutScreenCapture);
}

void VBScriptActionModule::SetTransitionDestination(QObject* picRef) {
    site_.setTransitionDestination(picRef);
}

bool VBScriptActionModule::GetTransitionsStatus() const {
    return site_.transitionsEnabled();
}
bool VBScriptActionModule::GetEffectsStatus() const {
    return site_.effectsEnabled();
}
void VBScriptActionModule::InvertTransitionsStatus() {
    site_.toggleTransitions();
}
void VBScriptActionModule::InvertEffectsStatus() {
    site_.toggleEffects();
}

bool VBScriptActionModule::LoadControl(QObject* ObjectRef) {
    return loadControlReference(ObjectRef);
}
bool VBScriptActionModule::UnloadControl(QObject* ObjectRef) {
    return unloadControlReference(ObjectRef);
}

void VBScriptActionModule::ChangeDisplayResolution(int iResolution) {
    try {
        site_.changeDisplayResolution(iResolution);
    } catch (const VbError& e) {
        standardErrorReport(" Error changing display resolution. ", e);
    }
}
void VBScriptActionModule::ChangeDisplayResolutionOnLoadGame(int iResolution) {
    host_.savedGames().resolutionOnLoad = iResolution;
}

int VBScriptActionModule::GetDisplayResolutionX() const {
    return DisplayMode::current().width();
}
int VBScriptActionModule::GetDisplayResolutionY() const {
    return DisplayMode::current().height();
}

void VBScriptActionModule::ChangeDefaultCursor(const QString& sFileName) {
    try {
        if (!sFileName.isEmpty() && sFileName.toLower() != "default" &&
            !files::fileExists(ResolveMediaFile(project().folders.IconsFolder + sFileName)))
            return;
        project().settings.DefaultPointer = sFileName;
        site_.reapplyPointers();
    } catch (const VbError& e) {
        standardErrorReport(" Unable to change the default cursor. ", e);
    }
}

QString VBScriptActionModule::DDir(const QString& sPathName, int iAttributes) {
    constexpr int kDirectory = 16;
    if (sPathName.isEmpty()) {
        // The next match; with no pattern given yet, the classic invalid call.
        if (!dirStarted_) throw vbError(err::InvalidCall);
        return dirMatches_.isEmpty() ? QString() : dirMatches_.takeFirst();
    }
    const qsizetype cut = std::max(sPathName.lastIndexOf('\\'), sPathName.lastIndexOf('/'));
    // A pattern without a folder looks in the game's own folder.
    const QString folder =
        cut < 0 ? project().folders.RootFolder : files::resolve(sPathName.left(cut + 1));
    const QString pattern = sPathName.mid(cut + 1);
    dirMatches_ = files::listFolder(folder, pattern);
    if (iAttributes & kDirectory) {
        dirMatches_ += files::listFolder(folder, pattern, files::ListKind::Folders);
        dirMatches_.sort(Qt::CaseInsensitive);
    }
    dirStarted_ = true;
    return dirMatches_.isEmpty() ? QString() : dirMatches_.takeFirst();
}

void VBScriptActionModule::AddComponent(const QString& sProgID, const QString& sComponentName,
                                        bool bAppearDuringTransitions,
                                        bool bDisappearBeforeAlphablending) {
    site_.addComponent(sProgID, sComponentName, bAppearDuringTransitions,
                       bDisappearBeforeAlphablending);
}
void VBScriptActionModule::RemoveComponent(const QString& sComponentName) {
    site_.removeComponent(sComponentName);
}
QObject* VBScriptActionModule::Component(const QString& sComponentName) const {
    return site_.component(sComponentName);
}
bool VBScriptActionModule::DoesComponentExist(const QString& sComponentName) const {
    return site_.componentExists(sComponentName);
}
bool VBScriptActionModule::IsComponentInstalled(const QString& sComponentName) const {
    return site_.progIdExists(sComponentName);
}

void VBScriptActionModule::DoComponentsEvents() {
    Form& window = site_.window();
    window.setEnabled(false);
    EventLoop::instance().doEvents();
    EventLoop::instance().sleep(5);
    window.setEnabled(true);
}

void VBScriptActionModule::QuitDialogue() {
    site_.endDialogue();
}
void VBScriptActionModule::ShowMenu() {
    site_.showMenus(true);
}
void VBScriptActionModule::HideMenu() {
    site_.showMenus(false);
}

} // namespace tv
