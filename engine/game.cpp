#include "engine/game.h"

#include "data/project.h"
#include "data/reports.h"
#include "engine/frame_opening.h"
#include "engine/frame_timer.h"
#include "engine/game_components.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/ini.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"

#include <cmath>

namespace tv {

Game::Game()
    : frameOpening_(std::make_unique<FrameOpening>(*this)),
      frameTimer_(std::make_unique<FrameTimer>(*this)) {
    setCdPromptSite(this);
    savedGames.attach(*this, scripts, timedEvents);
    window_ = new Form("Game");
    window_->setLoggedWhenShown(false); // the log has the frames it shows instead
    window_->setBackColor(0);
    pictureBox_ = new PictureBox(window_, "PictureBox");
    pictureBox_->setBackColor(0);
    pictureBox_->setAutoRedraw(true);
    pictureBox_->setBorderStyle(0);
    imageTile_ = new ImageBox(window_, "ImageTile");
    imageTile_->setVisible(false);
    backImage_ = new ImageBox(pictureBox_, "BackImage");
    backImage_->setStretch(true);
    // The spare picture boxes scripts may load and use (a panorama's picture, say); the
    // template stays hidden.
    auto* picBox = new PictureBox(pictureBox_, "PicBox");
    picBox->setVisible(false);
    picBox_ = std::make_unique<ControlSet<PictureBox>>(picBox);
    // The water lies lowest of the frame's windowed controls: dialogues, videos and the
    // inventory show above it.
    water.createControls(*window_, *pictureBox_);
    video.createControls(*window_, *pictureBox_);
    hotspots.createControls(*pictureBox_);
    texts.createControls(*pictureBox_);
    dialogues.createControls(*pictureBox_);
    inventory.createControls(*window_, *pictureBox_);
    transitions.createControls(*window_, *pictureBox_);
    componentSite_ = makeComponentSite(*this);
    components.runtime.setSite(componentSite_.get());
    connect(&video, &Video::displayRaised, this, [this] { inventory.keepAboveDisplay(); });
    // Captions are no hotspots: a press on one stops a video and cuts a transition short, and
    // looks after the menus.
    connect(&texts, &FrameTexts::captionMouseDown, this, [this](int button) {
        RunFlags& f = runFlags();
        f.stopMovie = true;
        f.skipTransition = true;
        if (!video.IsVideoPlaying()) shell.menusForPress(button);
    });
    connect(&texts, &FrameTexts::pointerOverWords, this,
            [this] { inventory.mouseMovedOverFrame(); });
    // An item dragged over the words closes the strip as one dragged over a hotspot does.
    auto itemOverWords = [this](Control* source) { inventory.HideInventoryIfItem(source); };
    connect(&texts.Text(), &ControlSetBase::DragOver, this,
            [itemOverWords](int, Control* source, double, double, int) { itemOverWords(source); });
    for (Control* c : {static_cast<Control*>(&texts.FrameMessageBox()),
                       static_cast<Control*>(&texts.LabelMessageBox())})
        connect(c, &Control::DragOver, this,
                [itemOverWords](Control* source, double, double, int) { itemOverWords(source); });
    // Scripts given the whole window reach these by name too.
    window_->addNamedMember("Area", &hotspots.Area());
    window_->addNamedMember("PicBox", picBox_.get());
    window_->addNamedMember("TimedEvent", &timedEvents.TimedEvent());
    window_->addNamedMember("TimerObject", &timedEvents.TimerObject());
    window_->addNamedMember("VideoPlayer", &video.VideoPlayers());
    window_->addNamedMember("OneTimeVideoPlayer", &video.OneTimeVideoPlayer());
    window_->addNamedMember("AniGif", &video.AniGif());
    window_->addNamedMember("AniGifBox", &video.AniGifBox());
    window_->addNamedMember("CustomMediaPlayer", &video.CustomMediaPlayer());
    window_->addNamedMember("MPlayer", &audio.players());
    window_->addNamedMember("Text", &texts.Text());
    window_->addNamedMember("FrameMessageBox", &texts.FrameMessageBox());
    window_->addNamedMember("LabelMessageBox", &texts.LabelMessageBox());
    window_->addNamedMember("TimerMessageBox", &texts.TimerMessageBox());
    window_->addNamedMember("fmeDialogue", &dialogues.fmeDialogue());
    window_->addNamedMember("lblDialogue", &dialogues.lblDialogue());
    window_->addNamedMember("PickedObject", &inventory.PickedObject());
    window_->addNamedMember("Inventory1", &inventory.Inventory1());
    window_->addNamedMember("Inventory2", &inventory.Inventory2());
    window_->addNamedMember("Inventory_Background", &inventory.Inventory_Background());
    window_->addNamedMember("TimerInventory", &inventory.TimerInventory());
    for (TimerControl* timer :
         {&Timer1, &TimerAudioFade, &TimerRipplingWater, &shell.TimerUnloadMe})
        window_->addNamedMember(timer->objectName(), timer);
    TimerAudioFade.setInterval(Audio::kFadeTickMs);
    connect(&TimerAudioFade, &TimerControl::Timer, this, [this] { audio.TimerAudioFadeTick(); });
    connect(&TimerRipplingWater, &TimerControl::Timer, this,
            [this] { water.TimerRipplingWaterTick(); });
    window_->Move(0, 0);
    // Any key stops a one-time video and cuts a transition short, as a click does; the shell
    // has the keys' own meanings, and the presses on the window around the frame.
    shell.createMenus();
    debugTools.createMenus(*shell.mnuDebug());
    connect(window_, &Form::KeyDown, this, [this](int key, int shift) {
        RunFlags& f = runFlags();
        f.stopMovie = true;
        f.skipTransition = true;
        shell.keyDown(key, shift);
    });
    connect(window_, &Control::MouseDown, this,
            [this](int button, int, double, double) { shell.windowMouseDown(button); });
    // Closing the window by hand unloads it like the exit menu does, without the question.
    connect(window_, &Form::Unload, this, [this](int&) { shell.unload(); });
}

Game::~Game() {
    components.runtime.setSite(nullptr);
    if (cdPromptSite() == this) setCdPromptSite(nullptr);
    delete window_;
}

void Game::show() {
    window_->Show();
}

void Game::setUnloadedHandler(std::function<void()> handler) {
    unloadedHandler_ = std::move(handler);
}

void Game::setWelcomeLink(std::function<bool()> resolutionTicked, std::function<void()> hide) {
    welcomeResolutionTicked_ = std::move(resolutionTicked);
    hideWelcome_ = std::move(hide);
}

bool Game::welcomeResolutionTicked() const {
    return welcomeResolutionTicked_ && welcomeResolutionTicked_();
}

void Game::hideWelcome() {
    if (hideWelcome_) hideWelcome_();
}

QString Game::frameToSave() const {
    // A dialogue goes on from where it began.
    return dialogues.active() ? dialogues.activeFrame() : CurrentFrame.FrameName;
}

void Game::finishUnloading() {
    Timer1.setEnabled(false);
    timedEvents.PauseTimedEvents();
    video.StopOneTimeVideoPlayer();
    audio.ResetPlayers();
    components.ResetComponents();
    if (unloadedHandler_) unloadedHandler_();
}

void Game::OpenFrame(const QString& frame, bool withTransition, int transitionNumber,
                     double transitionSeconds) {
    frameOpening_->OpenFrame(frame, withTransition, transitionNumber, transitionSeconds);
}

void Game::ResetAll() {
    ProjectSettings& s = project().settings;
    try {
        Timer1.setEnabled(false);
        Timer1.setInterval(0);
        TimerRipplingWater.setEnabled(false);
        timedEvents.ResetTimedEvents();
        dialogues.endDialogue();

        variables.clear();
        hotspots.clearDisappeared();
        components.ResetComponents();

        inventory.reset();
        FramesHistory.clear();
        window_->setBackColor(0);
        pictureBox_->setBackColor(0);

        audio.resetForNewGame();
        transitions.reset();
        savedGames.resolutionOnLoad = 0;
        scripts.ControlsReferenceMode = 0;
        video.StopOneTimeVideoPlayer();
        RunFlags& f = runFlags();
        f.stopMovie = true;
        f.skipTransition = true;
        water.disable();
        f.quitting = false;

        shell.CenterWindowAndPictureBox();
        backImage_->Move(0, 0, s.ProjectWidth * kTwipsPerPixel, s.ProjectHeight * kTwipsPerPixel);
        texts.hideMessage();
        hotspots.ResetDefaultPointer();
        inventory.layout();
        debugTools.fillFrameList();
        shell.restoreOptions();

        components.LoadPlugins();
        variables.LoadVariables(files::resolve(project().folders.ConfigFolder + "Variables"),
                                components.pluginVariables());
        scripts.LoadProcedures();
        scripts.prepareSecondEngine();
        components.BuildAllEventsList();

        audio.ResetPlayers();

        // A project may lengthen or shorten the script time-out; 0 or absent keeps the engine's.
        const QString timeout =
            iniRead(project().folders.ConfigFolder + "More", "General", "ScriptTimeOut");
        const double seconds = std::trunc(timeout.trimmed().toDouble());
        if (seconds != 0 && std::abs(seconds) < 2147483.0)
            scripts.ScriptControl().SetTimeout(static_cast<int>(seconds * 1000));
    } catch (const VbError& e) {
        standardErrorReport(" Unable to initialize the program. ", e);
    }
}

void Game::StartNewGame() {
    const QString initial = project().settings.InitialFrame;
    CurrentFrame.FrameName = initial;
    scripts.ExecuteOnLoadVBScript();
    OpenFrame(initial, false, 0, 0);
}

} // namespace tv
