#pragma once
// Saving and loading games: the save and load dialogs, the save folder, the saved-game file and
// the steps that put a loaded game back on screen. A save is written whole or not at all, and a
// saved game is read and checked in full before the running game is touched, so that neither a
// failed save nor a broken file costs the player anything.

#include "platform/core/records.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace tv {

class Form;
class ImageBox;
class PictureBox;
class ScriptHost;
class TimedEvents;
class TimerControl;
class VariablesCollection;
struct SavedGameFile;

// What saving and loading need of the game around them; the main window implements it.
class SavedGameSite {
public:
    virtual PictureBox& pictureBox() = 0;
    virtual ImageBox& BackImage() = 0;
    virtual TimerControl& frameTimer() = 0;
    virtual void ResetAll() = 0;
    // The frame a save resumes at: where the running dialogue began, else the current frame.
    virtual QString frameToSave() const = 0;
    virtual void setCurrentFrameName(const QString& frame) = 0;
    virtual void OpenFrame(const QString& frame, bool withTransition = false,
                           int transitionNumber = 0, double transitionSeconds = 0) = 0;
    virtual VariablesCollection& disappearedHotspots() = 0;
    virtual int inventoryItemCount() const = 0;
    virtual QString inventoryItemName(int item) const = 0;
    virtual void addInventoryItem(const QString& name, bool silently) = 0;
    virtual QStringList frameHistory() const = 0;
    virtual void setFrameHistory(const QStringList& entries) = 0;
    virtual void changeDisplayResolution(int code) = 0;
    // The main window shows (after a load from the welcome window it was not shown yet).
    virtual void showGameWindow() = 0;
    // The welcome window: whether its offer to switch the display is shown and ticked, and
    // hiding it.
    virtual bool welcomeResolutionTicked() const = 0;
    virtual void hideWelcome() = 0;

protected:
    ~SavedGameSite() = default;
};

class SavedGameDialog;

class SavedGames {
public:
    SavedGames();
    ~SavedGames();

    // Until the game attaches itself, the dialogs do not open.
    void attach(SavedGameSite& site, ScriptHost& scripts, TimedEvents& timedEvents);

    // Modal save dialog; the frame timer and the timed events wait while it is open.
    void ShowSaveGameWindow();
    // Modal load dialog; does nothing when `abortIfATimerIsEnabled` and a script timer runs.
    void ShowLoadGameWindow(bool abortIfATimerIsEnabled);
    // The welcome window's load dialog: shown without waiting.
    void showLoadGameWindowFromWelcome();

    // The dialog on screen, or nullptr.
    Form* openDialog() const;

    // The display mode that loading a saved game applies (0: none).
    int resolutionOnLoad = 0;

    // The folder saves go to, ending in a separator: "Savegames/<title>/" in the user's
    // documents folder. With `create`, missing levels are made; without, a folder that does not
    // exist gives the project's folder, as does a system without a documents folder.
    static QString saveFolder(bool create);
    // The saves of `folder`, oldest first (names without ".sav").
    static QStringList listSaves(const QString& folder);
    // The picture shown beside a save in the dialogs.
    static QString thumbnailPath(const QString& savePath);
    // Whether `name` has a character a save name may not hold.
    static bool hasForbiddenCharacter(const QString& name);
    // A variant variable's value as a saved game writes it, and back: numbers come back as the
    // smallest kind that holds them, as reading into a variant gives them.
    static RecordValue recordValueOf(const QVariant& value);
    static QVariant variantOf(const RecordValue& value);
    // The state of the game as a saved game holds it.
    SavedGameFile currentState() const;

    // The dialogs' buttons.
    bool save(SavedGameDialog& dialog, const QString& name);
    void load(SavedGameDialog& dialog, const QString& name);
    void removeSave(SavedGameDialog& dialog, const QString& name);
    void cancelLoad(SavedGameDialog& dialog);

private:
    void apply(const SavedGameFile& file);

    SavedGameSite* site_ = nullptr;
    ScriptHost* scripts_ = nullptr;
    TimedEvents* timedEvents_ = nullptr;
    QPointer<SavedGameDialog> dialog_;
    bool cancelled_ = false;
};

} // namespace tv
