#include "script/saved_games.h"

#include "data/project.h"
#include "data/reports.h"
#include "data/saved_game_file.h"
#include "data/ui_texts.h"
#include "platform/automation.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/event_loop.h"
#include "platform/mouse_pointer.h"
#include "platform/screen.h"
#include "platform/timer_control.h"
#include "script/saved_game_dialog.h"
#include "script/script_host.h"
#include "script/timed_events.h"
#include "script/variables.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {
// The characters a save name may not hold, as the messages show them.
const QString kForbidden = QStringLiteral("\\/:*?\"<>|,");
const QString kForbiddenShown = QStringLiteral("\" \\ / : * ? < > | ,");
constexpr int kThumbnailWidth = 160;

void pause(qint64 ms) {
    EventLoop& loop = EventLoop::instance();
    loop.doEvents();
    loop.wait(ms);
}

} // namespace

RecordValue SavedGames::recordValueOf(const QVariant& v) {
    if (!v.isValid()) return RecordValue::empty();
    switch (v.metaType().id()) {
    case QMetaType::Nullptr:
        return RecordValue::null();
    case QMetaType::Bool:
        return RecordValue::ofBool(v.toBool());
    case QMetaType::QString:
        return RecordValue::ofString(v.toString());
    case QMetaType::QDateTime:
        return RecordValue::ofDate(v.toDateTime());
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::Int:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return RecordValue::ofNumber(v.toDouble());
    default:
        return RecordValue::ofString(v.toString());
    }
}

QVariant SavedGames::variantOf(const RecordValue& r) {
    switch (r.kind) {
    case RecordValue::Kind::String:
        return r.text;
    case RecordValue::Kind::Number:
        if (r.number == std::trunc(r.number)) {
            if (r.number >= -32768 && r.number <= 32767)
                return QVariant::fromValue<qint16>(static_cast<qint16>(r.number));
            if (r.number >= -2147483648.0 && r.number <= 2147483647.0)
                return QVariant(static_cast<int>(r.number));
        }
        return QVariant(r.number);
    case RecordValue::Kind::Boolean:
        return QVariant(r.boolean);
    case RecordValue::Kind::Null:
        return QVariant::fromValue(nullptr);
    case RecordValue::Kind::Date:
        return QVariant(r.date);
    case RecordValue::Kind::Error:
        return QVariant(r.errorNumber);
    case RecordValue::Kind::Empty:
        break;
    }
    return {};
}

namespace {
bool writeWhole(const QString& path, const QByteArray& bytes) {
    // Written beside the old save and renamed over it once complete: a failure anywhere leaves
    // the old save as it was.
    // A buffer that fails to reach the disk (a full disk) does not fail the commit by itself:
    // flush first and give up the new file when anything went wrong.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
} // namespace

SavedGames::SavedGames() = default;

SavedGames::~SavedGames() {
    delete dialog_.data();
}

void SavedGames::attach(SavedGameSite& site, ScriptHost& scripts, TimedEvents& timedEvents) {
    site_ = &site;
    scripts_ = &scripts;
    timedEvents_ = &timedEvents;
}

Form* SavedGames::openDialog() const {
    if (!dialog_ || !dialog_->window().isVisible()) return nullptr;
    return &dialog_->window();
}

QString SavedGames::saveFolder(bool create) {
    const ProjectFolders& folders = project().folders;
    const QString personal = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (personal.isEmpty()) return folders.RootFolder;
    // A slash would make a folder of its own on this system.
    QString title = project().settings.GameTitle;
    title.replace('/', '_');
    const QString savegames = QDir(personal).filePath("Savegames");
    const QString folder = QDir(savegames).filePath(title) + "/";
    if (create) {
        QDir dir;
        for (const QString& level : {personal, savegames, folder})
            if (!QFileInfo(level).isDir()) dir.mkdir(level);
        return folder;
    }
    return QFileInfo(folder).isDir() ? folder : folders.RootFolder;
}

QStringList SavedGames::listSaves(const QString& folder) {
    struct Save {
        QString name;
        QDateTime time;
    };
    QList<Save> saves;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {"*.sav"}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString file = entry.fileName();
        // The pattern is case-sensitive, as the classic file list's is.
        if (file.size() <= 4 || !file.endsWith(".sav")) continue;
        const Save save{file.chopped(4), entry.lastModified()};
        // Before the first later save: oldest first, equal times in listing order.
        auto later = std::find_if(saves.begin(), saves.end(),
                                  [&](const Save& s) { return s.time > save.time; });
        saves.insert(later, save);
    }
    QStringList names;
    for (const Save& s : saves)
        names.append(s.name);
    return names;
}

QString SavedGames::thumbnailPath(const QString& savePath) {
    return savePath + ".png";
}

bool SavedGames::hasForbiddenCharacter(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return kForbidden.contains(c); });
}

SavedGameFile SavedGames::currentState() const {
    SavedGameFile file;
    if (!site_) return file;
    file.Frame = site_->frameToSave();
    GameVariables& variables = scripts_->variables();
    for (QObject* entry : variables.Variables.entries()) {
        auto* v = static_cast<ClassVariable*>(entry);
        file.Integers.append({v->name(), v->value()});
    }
    for (QObject* entry : site_->disappearedHotspots().entries()) {
        auto* v = static_cast<ClassVariable*>(entry);
        file.Disappeared.append({v->name(), v->value()});
    }
    for (int i = 1; i <= site_->inventoryItemCount(); ++i)
        file.Items.append(site_->inventoryItemName(i));
    file.History = site_->frameHistory();
    const ProjectSettings& s = project().settings;
    file.ProjectName = s.ProjectName;
    file.GameTitle = s.GameTitle;
    file.Date = savedGameDate();
    for (QObject* entry : variables.VariablesVariant.entries()) {
        auto* v = static_cast<ClassVariableVariant*>(entry);
        file.Variants.append({v->name(), recordValueOf(v->value())});
    }
    return file;
}

void SavedGames::ShowSaveGameWindow() {
    if (!site_) return;
    TimerControl& timer = site_->frameTimer();
    const bool timerWasOn = timer.enabled();
    timer.setEnabled(false);
    timedEvents_->PauseTimedEvents();
    {
        auto dialog = std::make_unique<SavedGameDialog>(SavedGameDialog::Kind::Save, *this);
        dialog_ = dialog.get();
        dialog->fillList();
        dialog->window().Show(1);
    }
    timer.setEnabled(timerWasOn);
    timedEvents_->StartTimedEvents();
}

void SavedGames::ShowLoadGameWindow(bool abortIfATimerIsEnabled) {
    if (!site_) return;
    if (abortIfATimerIsEnabled) {
        TimerSet& timers = timedEvents_->TimerObject();
        for (int i = 0; i <= timers.ubound(); ++i)
            if (timers.exists(i) && timers.at(i).enabled() && timers.at(i).interval() > 0) return;
    }
    TimerControl& timer = site_->frameTimer();
    const bool timerWasOn = timer.enabled();
    timer.setEnabled(false);
    timedEvents_->PauseTimedEvents();
    cancelled_ = false;
    {
        auto dialog = std::make_unique<SavedGameDialog>(SavedGameDialog::Kind::Load, *this);
        dialog_ = dialog.get();
        dialog->fillList();
        dialog->window().Show(1);
    }
    if (cancelled_) {
        timer.setEnabled(timerWasOn);
        timedEvents_->StartTimedEvents();
    }
}

void SavedGames::showLoadGameWindowFromWelcome() {
    if (!site_) return;
    delete dialog_.data();
    cancelled_ = false;
    auto* dialog = new SavedGameDialog(SavedGameDialog::Kind::Load, *this);
    dialog_ = dialog;
    dialog->setProperty("modeless", true);
    dialog->fillList();
    dialog->window().Show();
}

void SavedGames::cancelLoad(SavedGameDialog& dialog) {
    cancelled_ = true;
    dialog.window().Hide();
    if (dialog.property("modeless").toBool()) dialog.deleteLater();
}

bool SavedGames::save(SavedGameDialog& dialog, const QString& name) {
    Q_UNUSED(dialog);
    const UiTexts& t = uiTexts();
    const QString title = project().settings.GameTitle;
    const QString folder = saveFolder(true);
    DialogService& boxes = DialogService::instance();
    if (hasForbiddenCharacter(name)) {
        boxes.msgBox(t[35] + "\r\n" + kForbiddenShown, mb::Information, title);
        return false;
    }
    if (name.isEmpty()) {
        boxes.msgBox(t[23], mb::Information, t[21]);
        return false;
    }
    const QString path = folder + name + ".sav";
    if (QFileInfo::exists(path) &&
        boxes.msgBox("'" + name + "' " + t[24], mb::OKCancel | mb::Question, t[21]) == mb::Cancel)
        return false;
    RecordWriter out;
    currentState().write(out);
    if (!writeWhole(path, out.bytes())) {
        standardErrorReport(" Unable to save '" + path + "'.\r\nVerify that this file is not " +
                            "Read-Only and that it does not contain any of the following " +
                            "characters: " + kForbiddenShown);
        return false;
    }
    // The picture is a convenience: a save without one is whole.
    automation::saveThumbnail(site_->pictureBox(), thumbnailPath(path), kThumbnailWidth);
    return true;
}

void SavedGames::removeSave(SavedGameDialog& dialog, const QString& name) {
    const UiTexts& t = uiTexts();
    DialogService& boxes = DialogService::instance();
    if (name.isEmpty()) {
        boxes.msgBox(t[9], mb::Information, t[26]);
        return;
    }
    const QString path = saveFolder(false) + name + ".sav";
    if (boxes.msgBox(t[27] + " '" + path + "'?", mb::OKCancel | mb::Question, t[26]) != mb::OK)
        return;
    if (!QFile::remove(path)) {
        standardErrorReport(" Unable to remove '" + path + "'.");
        return;
    }
    QFile::remove(thumbnailPath(path));
    dialog.fillList();
}

void SavedGames::load(SavedGameDialog& dialog, const QString& name) {
    const UiTexts& t = uiTexts();
    Form& window = dialog.window();
    window.setEnabled(false);
    if (name.isEmpty()) {
        DialogService::instance().msgBox(t[9], mb::Information, t[17]);
        window.setEnabled(true);
        return;
    }
    // The whole file is read before the game is touched: a file that cannot be read leaves the
    // running game as it was.
    const QString path = saveFolder(false) + name + ".sav";
    SavedGameFile file;
    try {
        file = readSavedGameFile(path);
    } catch (const VbError& e) {
        standardErrorReport(" Unable to load '" + path + "'.\r\n\r\n", e);
        window.setEnabled(true);
        return;
    }

    const ProjectSettings& s = project().settings;
    site_->BackImage().setVisible(false);
    setScreenPointer(pointer::ArrowHourglass);
    pause(300);
    if (s.SkipWelcomeScreen) {
        if (resolutionOnLoad != 0) site_->changeDisplayResolution(resolutionOnLoad);
    } else if (site_->welcomeResolutionTicked() && s.OfferResolutionChange == 1) {
        window.Hide();
        site_->hideWelcome();
        site_->changeDisplayResolution(s.DisplayResolution + 1);
    }
    pause(300);
    site_->ResetAll();
    pause(500);
    apply(file);
    window.Hide();
    if (dialog.property("modeless").toBool()) dialog.deleteLater();

    const QString frame = resumeLocation(project().folders.ConfigFolder + "Resume", file.Frame);
    site_->setCurrentFrameName(frame);
    pause(200);
    scripts_->ExecuteOnLoadVBScript();
    pause(200);
    site_->OpenFrame(frame, false, 0, 0);
    pause(300);
    site_->BackImage().setVisible(true);
    site_->showGameWindow();
    cancelled_ = false;
    if (!s.SkipWelcomeScreen) site_->hideWelcome();
    pause(300);
    setScreenPointer(pointer::Default);
}

void SavedGames::apply(const SavedGameFile& file) {
    GameVariables& variables = scripts_->variables();
    for (const auto& [name, value] : file.Integers)
        variables.ChangeVariableValue(name, value);
    VariablesCollection& disappeared = site_->disappearedHotspots();
    for (const auto& [frame, hotspot] : file.Disappeared)
        disappeared.Add(frame, hotspot);
    for (const QString& item : file.Items)
        site_->addInventoryItem(item, false);
    if (file.hasHistory) site_->setFrameHistory(file.History);
    for (const auto& [name, value] : file.Variants)
        variables.ChangeVariableVariantValue(name, variantOf(value));
}

} // namespace tv
