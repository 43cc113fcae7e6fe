#pragma once
// The main window `Game`: it holds the frame display and the timers, and one object per part of
// the player, and wires the parts together. Operations of the main window live in the class of
// the part that owns them; Game forwards to them. The parts outside the engine reach the game
// only through the interfaces they declare (ScriptSite, ShellSite, GameSession), which Game
// implements by forwarding.

#include "components/components.h"
#include "data/frame_record.h"
#include "data/multi_cd.h"
#include "engine/actions.h"
#include "engine/frame_history.h"
#include "engine/frame_state.h"
#include "engine/hotspots.h"
#include "platform/control_set.h"
#include "platform/timer_control.h"
#include "present/audio.h"
#include "present/dialogues.h"
#include "present/frame_texts.h"
#include "present/inventory.h"
#include "present/presentation_hooks.h"
#include "present/rippling_water.h"
#include "present/transitions.h"
#include "present/video.h"
#include "script/debug_tools.h"
#include "script/saved_games.h"
#include "script/script_host.h"
#include "script/script_site.h"
#include "script/timed_events.h"
#include "script/variables.h"
#include "shell/game_session.h"
#include "shell/main_window_shell.h"
#include "shell/shell_site.h"

#include "shell/run_from_cd.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <memory>
#include <vector>

namespace tv {

class Form;
class PictureBox;
class ImageBox;
class FrameOpening;
class FrameTimer;
class ComponentSite;

class Game : public QObject,
             public GameSession,
             public ScriptSite,
             public ShellSite,
             public DialogueSite,
             public InventorySite,
             public CdPromptSite,
             public TransitionSite,
             public SavedGameSite {
    Q_OBJECT
public:
    // The main window's load event: window, frame display, timers, players.
    Game();
    ~Game() override;

    void ResetAll() override;
    void StartNewGame() override;
    void OpenFrame(const QString& frame, bool withTransition = false, int transitionNumber = 0,
                   double transitionSeconds = 0) override;
    void StartUnloading() override { shell.StartUnloading(); }
    void show() override;
    void setUnloadedHandler(std::function<void()> handler) override;
    void showLoadGameWindowFromWelcome() override { savedGames.showLoadGameWindowFromWelcome(); }
    void setWelcomeLink(std::function<bool()> resolutionTicked,
                        std::function<void()> hide) override;

    Form& window() override { return *window_; }
    PictureBox& pictureBox() override { return *pictureBox_; }
    ImageBox& BackImage() override { return *backImage_; }
    ImageBox& ImageTile() { return *imageTile_; }

    // Timers of the main window.
    TimerControl Timer1{"Timer1"};
    TimerControl TimerAudioFade{"TimerAudioFade"};
    TimerControl TimerRipplingWater{"TimerRipplingWater"};

    // State of the open game.
    CurrentFrameState CurrentFrame;
    FrameRecord frameRecord; // kept for the frame timer's transition fields
    FrameHistory FramesHistory;

    // The parts of the player.
    Audio audio{TimerAudioFade};
    Video video;
    FrameTexts texts;
    RipplingWater water{TimerRipplingWater};
    Dialogues dialogues{*this, texts};
    Inventory inventory{*this};
    Transitions transitions{*this, Timer1, audio, texts, video, inventory};
    GameVariables variables;
    SavedGames savedGames;
    ScriptHost scripts{*this, variables, timedEvents, savedGames};
    TimedEvents timedEvents{*this, scripts};
    DebugTools debugTools{*this, scripts};
    Components components;
    Hotspots hotspots{*this};
    Actions actions{*this};
    MainWindowShell shell{*this};

    // What the script parts ask of the game.
    QObject& hotspotControls() override;
    TimerControl& frameTimer() override { return Timer1; }
    QString currentFrameName() const override { return CurrentFrame.FrameName; }
    QString previousFrame() override { return FramesHistory.goBack(); }
    void prepareTransition(int transitionNumber) override;
    void simulateHotspotClick(int hotspot) override;
    void updateHotspots() override;
    QPoint clickPosition() const override;
    void saveClickPosition(double leftTwips, double topTwips) override;
    int mergedHotspotIndex() const override;
    int mergedTextIndex() const override { return texts.mergedTextIndex(); }
    void executeConsequences() override;
    void reapplyPointers() override;
    QObject* presentationObject(const QString& scriptName) override;
    void showMessage(const QString& text) override;
    void stopPresentation() override;
    int inventoryItemCount() const override { return inventory.itemCount(); }
    QString inventoryItemName(int item) const override { return inventory.itemName(item); }
    void addInventoryItem(const QString& name, bool silently) override;
    void removeInventoryItem(int item) override { inventory.RemovePickedObject(item); }
    void showInventoryButton(bool shown) override;
    void captureFrame(PictureBox& into, bool withoutScreenCapture) override;
    void setTransitionDestination(QObject* pictureBox) override;
    bool transitionsEnabled() const override { return !transitions.disabled; }
    bool effectsEnabled() const override { return !water.effectsDisabled; }
    void toggleTransitions() override;
    void toggleEffects() override;
    void setOptionsDisabled(bool transitionsOff, bool effectsOff) override;
    void endDialogue() override { dialogues.endDialogue(); }
    void showMenus(bool shown) override;
    void changeDisplayResolution(int code) override { shell.ChangeDisplayResolution(code); }
    QStringList pluginProcedures() const override { return components.pluginProcedures(); }
    QStringList pluginStartupTexts() const override { return components.pluginStartupTexts(); }
    void addComponent(const QString& progId, const QString& name, bool duringTransitions,
                      bool beforeAlphaBlending) override;
    void removeComponent(const QString& name) override;
    QObject* component(const QString& name) const override;
    bool componentExists(const QString& name) const override;
    bool progIdExists(const QString& progId) const override;

    // What a dialogue asks of the game.
    void runQuestionScript(const QString& code) override;
    void runHotspotAction(int k) override;
    int hotspotCount() const override { return CurrentFrame.HotspotCount; }

    // What the inventory asks of the game.
    void runCombinationScript(const QString& code) override;
    void itemMouseDown(int button) override { shell.menusForPress(button); }
    bool oneTimeVideoPlaying() const override { return video.IsVideoPlaying(); }

    // What the shell asks of the game.
    void stopEffects() override { TimerRipplingWater.setEnabled(false); }
    bool transitionRunning() const override { return transitions.running(); }
    void showLoadGameWindow() override { savedGames.ShowLoadGameWindow(true); }
    void showSaveGameWindow() override { savedGames.ShowSaveGameWindow(); }
    void finishUnloading() override;

    // What a transition asks of the game.
    void coverMouseDown(int button) override;
    void pauseComponents() override;
    void resumeComponents() override;
    void componentsIntoTransition(int number, bool beforeCapture) override;
    void componentsWithNewFrame(QPoint newFrameAt) override;
    void componentsOutOfTransition(int number) override;
    // What saving and loading ask of the game.
    QString frameToSave() const override;
    void setCurrentFrameName(const QString& frame) override { CurrentFrame.FrameName = frame; }
    VariablesCollection& disappearedHotspots() override { return hotspots.Disappear; }
    QStringList frameHistory() const override { return FramesHistory.entries(); }
    void setFrameHistory(const QStringList& entries) override { FramesHistory.setEntries(entries); }
    void showGameWindow() override { show(); }
    bool welcomeResolutionTicked() const override;
    void hideWelcome() override;

    // What the CD lookup asks of the game while a disc is missing.
    void pauseForCd() override;
    void resumeAfterCd() override;
    void stopForCd() override;
    bool askForCd(const QString& message, const QString& drive) override;

private:
    Form* window_ = nullptr;
    PictureBox* pictureBox_ = nullptr;
    ImageBox* backImage_ = nullptr;
    ImageBox* imageTile_ = nullptr;
    std::unique_ptr<ControlSet<PictureBox>> picBox_;
    std::unique_ptr<FrameOpening> frameOpening_;
    std::unique_ptr<FrameTimer> frameTimer_;
    std::unique_ptr<ComponentSite> componentSite_;
    std::function<void()> unloadedHandler_;
    std::function<bool()> welcomeResolutionTicked_;
    std::function<void()> hideWelcome_;
    std::unique_ptr<RunFromCd> runFromCd_;
    bool cdFrameTimer_ = false;   // Timer1 was running when the disc was asked for
    bool cdMessageTimer_ = false; // and the message timer
    // Components on the transition's cover, with where they sat in the frame display.
    struct ComponentInTransition {
        QPointer<Control> control;
        QPoint at;
    };
    std::vector<ComponentInTransition> componentsInTransition_;
};

} // namespace tv
