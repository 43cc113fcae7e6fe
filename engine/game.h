#pragma once
// The main window `Game`: it holds the frame display and the timers, and one object per part of
// the player. Operations of the main window live in the class of the part that owns them; Game
// forwards to them.

#include "components/components.h"
#include "data/frame_record.h"
#include "engine/actions.h"
#include "engine/frame_history.h"
#include "engine/frame_state.h"
#include "engine/hotspots.h"
#include "platform/timer_control.h"
#include "present/audio.h"
#include "present/presentation_hooks.h"
#include "script/saved_games.h"
#include "script/script_host.h"
#include "script/timed_events.h"
#include "script/variables.h"
#include "shell/main_window_shell.h"

#include <QObject>
#include <memory>

namespace tv {

class Form;
class PictureBox;
class ImageBox;
class FrameOpening;
class FrameTimer;

class Game : public QObject {
    Q_OBJECT
public:
    // The main window's load event: window, frame display, timers, players.
    Game();
    ~Game() override;

    // Puts the game into its initial state.
    void ResetAll();
    // Runs the game-start script and opens the initial frame.
    void StartNewGame();
    void OpenFrame(const QString& frame, bool withTransition = false, int transitionNumber = 0,
                   double transitionSeconds = 0);
    void StartUnloading() { shell.StartUnloading(); }
    void show();

    Form& window() { return *window_; }
    PictureBox& pictureBox() { return *pictureBox_; }
    ImageBox& BackImage() { return *backImage_; }
    ImageBox& ImageTile() { return *imageTile_; }

    // Timers of the main window.
    TimerControl Timer1{"Timer1"};
    TimerControl TimerAudioFade{"TimerAudioFade"};
    TimerControl TimerRipplingWater{"TimerRipplingWater"};

    // State of the open game.
    CurrentFrameState CurrentFrame;
    FrameRecord frameRecord; // kept for the frame timer's transition fields
    qint16 ControlsReferenceMode = 0;
    FrameHistory FramesHistory;

    // The parts of the player.
    Audio audio;
    Video video;
    FrameTexts texts;
    Transitions transitions;
    RipplingWater water;
    Dialogues dialogues;
    Inventory inventory;
    ScriptHost scripts{*this};
    TimedEvents timedEvents{*this};
    GameVariables variables;
    Components components;
    SavedGames savedGames;
    Hotspots hotspots{*this};
    Actions actions{*this};
    MainWindowShell shell{*this};

signals:
    // The window has unloaded; whoever started the game decides what follows.
    void unloaded();

private:
    friend class MainWindowShell;

    Form* window_ = nullptr;
    PictureBox* pictureBox_ = nullptr;
    ImageBox* backImage_ = nullptr;
    ImageBox* imageTile_ = nullptr;
    std::unique_ptr<FrameOpening> frameOpening_;
    std::unique_ptr<FrameTimer> frameTimer_;
};

} // namespace tv
