#include "script/function_library.h"

#include "data/file_locator.h"
#include "data/project.h"
#include "data/reports.h"
#include "engine/game.h"
#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/settings_store.h"
#include "platform/vberror.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <optional>

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

void VBScriptActionModule::StopEverything() {
    GameFlags& f = flags();
    f.quitting = true;
    game_.pictureBox().setVisible(false);
    f.stopMovie = true;
    game_.Timer1.setEnabled(false);
    game_.texts.stopMessageTimer();
    game_.timedEvents.PauseTimedEvents();
    game_.video.StopOneTimeVideoPlayer();
    for (int i = 1; i <= Audio::kChannels; ++i)
        game_.audio.MPlayer(i).Stop();
    // Files the classic runtime kept open by number do not exist here: every reader closes its
    // file when it is done.
    game_.shell.ShowMenus();
}

void VBScriptActionModule::Message(const QString& sText) {
    game_.texts.ShowTextMessage(sText, true, false);
}

void VBScriptActionModule::AddItem(const QString& sText, bool bDoNotPopup) {
    game_.inventory.AddPickedObject(sText, bDoNotPopup);
}

void VBScriptActionModule::RemoveAllItems() {
    try {
        Inventory& inventory = game_.inventory;
        // Stops should an item refuse to go, rather than loop for ever.
        for (int count = inventory.itemCount(); count > 0; count = inventory.itemCount()) {
            inventory.RemovePickedObject(1);
            if (inventory.itemCount() >= count) break;
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error removing all the inventory items. ", e);
    }
}

void VBScriptActionModule::RemoveItem(const QString& sItemName, bool bRemoveDuplicates) {
    try {
        Inventory& inventory = game_.inventory;
        for (int i = inventory.itemCount(); i >= 1; --i) {
            if (inventory.itemName(i).compare(sItemName, Qt::CaseInsensitive) != 0) continue;
            inventory.RemovePickedObject(i);
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
        game_.inventory.hideButton();
    } catch (const VbError& e) {
        standardErrorReport(" Error hiding inventory. ", e);
    }
}

void VBScriptActionModule::ShowInventoryButton() {
    if (!project().settings.UseInventory) return;
    try {
        game_.inventory.showButton();
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
    const bool timerWasOn = game_.Timer1.enabled();
    game_.window().setEnabled(false);
    game_.Timer1.setEnabled(false);
    try {
        desktop::runAndWait(externalFile(sFileTitle), [] { EventLoop::instance().doEvents(); });
    } catch (const VbError& e) {
        game_.window().setEnabled(true);
        game_.Timer1.setEnabled(timerWasOn);
        reportOpenFailure(sFileTitle, e);
        return;
    }
    game_.window().setEnabled(true);
    game_.Timer1.setEnabled(timerWasOn);
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
        if (!refControl) throw VbError(err::ObjectVariableNotSet);
        if (!refControl->setProperty("Picture", QVariant::fromValue(*picture)))
            throw VbError(err::ObjectDoesNotSupport);
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
        throw VbError(err::ObjectRequired);
    }
    // A bare name is saved in the game's own folder, as a relative path is.
    const QString path = QDir::isAbsolutePath(sFileName) || sFileName.startsWith('\\')
                             ? sFileName
                             : project().folders.RootFolder + sFileName;
    picture.save(files::resolve(path));
}

void VBScriptActionModule::CaptureFrame(QObject* PictureBoxRef, bool bWithoutScreenCapture) {
    auto* box = qobject_cast<PictureBox*>(PictureBoxRef);
    if (!box) throw VbError(PictureBoxRef ? err::TypeMismatch : err::ObjectVariableNotSet);
    if (bWithoutScreenCapture)
        game_.transitions.CaptureCurrentFrame(*box);
    else
        game_.transitions.CaptureActualFrame(*box);
}

void VBScriptActionModule::SetTransitionDestination(QObject* picRef) {
    game_.transitions.destination = picRef;
}

bool VBScriptActionModule::GetTransitionsStatus() const {
    return !game_.transitions.disabled;
}
bool VBScriptActionModule::GetEffectsStatus() const {
    return !game_.water.effectsDisabled;
}
void VBScriptActionModule::InvertTransitionsStatus() {
    game_.transitions.EnableOrDisableTransitions();
}
void VBScriptActionModule::InvertEffectsStatus() {
    game_.water.EnableOrDisableEffects();
}

bool VBScriptActionModule::LoadControl(QObject* ObjectRef) {
    return loadControlReference(ObjectRef);
}
bool VBScriptActionModule::UnloadControl(QObject* ObjectRef) {
    return unloadControlReference(ObjectRef);
}

void VBScriptActionModule::ChangeDisplayResolution(int iResolution) {
    try {
        game_.shell.ChangeDisplayResolution(iResolution);
    } catch (const VbError& e) {
        standardErrorReport(" Error changing display resolution. ", e);
    }
}
void VBScriptActionModule::ChangeDisplayResolutionOnLoadGame(int iResolution) {
    game_.savedGames.resolutionOnLoad = iResolution;
}

namespace {
QSize screenPixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}
} // namespace

int VBScriptActionModule::GetDisplayResolutionX() const {
    return screenPixels().width();
}
int VBScriptActionModule::GetDisplayResolutionY() const {
    return screenPixels().height();
}

void VBScriptActionModule::ChangeDefaultCursor(const QString& sFileName) {
    try {
        if (!sFileName.isEmpty() && sFileName.toLower() != "default" &&
            !files::fileExists(ResolveMediaFile(project().folders.IconsFolder + sFileName)))
            return;
        project().settings.DefaultPointer = sFileName;
        game_.hotspots.ResetDefaultPointer();
        game_.hotspots.applyHotspotPointers();
    } catch (const VbError& e) {
        standardErrorReport(" Unable to change the default cursor. ", e);
    }
}

QString VBScriptActionModule::DDir(const QString& sPathName, int iAttributes) {
    constexpr int kDirectory = 16;
    if (sPathName.isEmpty()) {
        // The next match; with no pattern given yet, the classic invalid call.
        if (!dirStarted_) throw VbError(err::InvalidCall);
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
    game_.components.AddAdditionalComponent(sProgID, sComponentName, bAppearDuringTransitions,
                                            bDisappearBeforeAlphablending);
}
void VBScriptActionModule::RemoveComponent(const QString& sComponentName) {
    game_.components.RemoveAdditionalComponent(sComponentName);
}
QObject* VBScriptActionModule::Component(const QString& sComponentName) const {
    return game_.components.GetComponentRef(sComponentName);
}
bool VBScriptActionModule::DoesComponentExist(const QString& sComponentName) const {
    const QList<QStringList>& rows = game_.components.ComponentsList;
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        if (!rows[i].isEmpty() && rows[i][0].compare(sComponentName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
bool VBScriptActionModule::IsComponentInstalled(const QString& sComponentName) const {
    return game_.components.DoesProgIDExist(sComponentName);
}

void VBScriptActionModule::DoComponentsEvents() {
    Form& window = game_.window();
    window.setEnabled(false);
    EventLoop::instance().doEvents();
    EventLoop::instance().sleep(5);
    window.setEnabled(true);
}

void VBScriptActionModule::QuitDialogue() {
    game_.dialogues.endDialogue();
}
void VBScriptActionModule::ShowMenu() {
    game_.shell.ShowMenus();
}
void VBScriptActionModule::HideMenu() {
    game_.shell.HideMenus();
}

} // namespace tv
