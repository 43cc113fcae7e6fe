// The game's side of the interfaces that the script parts and the shell declare: each operation
// forwards to the part of the player that owns it.

#include "engine/game.h"
#include "platform/core/run_flags.h"
#include "platform/menu.h"
#include "script/function_library.h"

namespace tv {

QObject& Game::hotspotControls() {
    return hotspots.Area();
}

void Game::runQuestionScript(const QString& code) {
    scripts.ExecuteVBScriptAndConsequences(code, true);
}

void Game::runCombinationScript(const QString& code) {
    scripts.ExecuteVBScriptAndConsequences(code, true);
}

void Game::runHotspotAction(int k) {
    actions.MakeActionAndConsequences(k, 0, true);
}

QObject* Game::presentationObject(const QString& scriptName) {
    if (scriptName == "LoopingVideo") return &video.VideoPlayers();
    if (scriptName == "MediaPlayerObject") return &video.CustomMediaPlayer();
    if (scriptName == "AnimatedGifObject") return &video.AniGif();
    if (scriptName == "AnimatedGifCanvasObject") return &video.AniGifBox();
    if (scriptName == "AudioPlayerObject") return &audio.players();
    if (scriptName == "Text") return &texts.Text();
    if (scriptName == "MessageObject") return &texts.LabelMessageBox();
    if (scriptName == "MessageCanvasObject") return &texts.FrameMessageBox();
    if (scriptName == "MessageTimerObject") return &texts.TimerMessageBox();
    if (scriptName == "DialogueObject") return &dialogues.lblDialogue();
    if (scriptName == "DialogueCanvasObject") return &dialogues.fmeDialogue();
    if (scriptName == "ExitMenuObject") return shell.mnuExit();
    if (scriptName == "SaveMenuObject") return shell.mnuSaveGame();
    if (scriptName == "LoadMenuObject") return shell.mnuLoadGame();
    if (scriptName == "OptionsMenuObject") return shell.mnuOptions();
    if (scriptName == "DebugMenuObject") return shell.mnuDebug();
    if (scriptName == "DisableEffectsMenuObject") return shell.mnuDisableEffects();
    if (scriptName == "TransitionsMenuObject") return shell.mnuDisableTransitions();
    if (scriptName == "InventoryItemObject") return &inventory.PickedObject();
    if (scriptName == "InventoryButtonObject") return &inventory.Inventory2();
    if (scriptName == "InventoryCanvasObject") return &inventory.Inventory1();
    if (scriptName == "InventoryBackgroundObject") return &inventory.Inventory_Background();
    if (scriptName == "InventoryTimerObject") return &inventory.TimerInventory();
    if (scriptName == "RipplingWaterObject") return &water.PicRipplingWater();
    if (scriptName == "PictureBoxObject") return picBox_.get();
    return nullptr;
}

void Game::prepareTransition(int transitionNumber) {
    transitions.TransitionStep1(transitionNumber);
}

void Game::simulateHotspotClick(int hotspot) {
    actions.SimulateHotspotClick(hotspot);
}

void Game::updateHotspots() {
    hotspots.ShowOrNotShowAreas();
}

QPoint Game::clickPosition() const {
    return hotspots.clickPosition();
}

void Game::saveClickPosition(double leftTwips, double topTwips) {
    hotspots.SaveClickPos(leftTwips, topTwips);
}

int Game::mergedHotspotIndex() const {
    return hotspots.mergedIndex();
}

void Game::executeConsequences() {
    actions.ExecuteConsequences();
}

void Game::reapplyPointers() {
    hotspots.ResetDefaultPointer();
    hotspots.applyHotspotPointers();
}

void Game::showMessage(const QString& text) {
    texts.ShowTextMessage(text, true, false);
}

void Game::stopPresentation() {
    texts.stopMessageTimer();
    video.StopOneTimeVideoPlayer();
    for (int i = 1; i <= Audio::kChannels; ++i)
        audio.MPlayer(i).Stop();
}

void Game::toggleTransitions() {
    transitions.EnableOrDisableTransitions();
    shell.syncChecks();
    shell.rememberOption("DisableTransitions", transitions.disabled);
}

void Game::toggleEffects() {
    const bool pictureFrame = CurrentFrame.BackgroundMode == 1 && !CurrentFrame.BackgroundTiled;
    water.EnableOrDisableEffects(CurrentFrame.FrameName, pictureFrame);
    shell.syncChecks();
    shell.rememberOption("DisableEffects", water.effectsDisabled);
}

void Game::setOptionsDisabled(bool transitionsOff, bool effectsOff) {
    transitions.disabled = transitionsOff;
    water.effectsDisabled = effectsOff;
}

void Game::coverMouseDown(int button) {
    if (!video.IsVideoPlaying()) shell.menusForPress(button);
}

void Game::pauseComponents() {
    components.PauseComponents();
}
void Game::resumeComponents() {
    components.ResumeComponents();
}

// Components that appear during transitions are drawn over the transition's cover. One that
// disappears before a cross-fade leaves the frame before the old frame is captured (so the
// blend has no trace of it); the others after. On the cover a component stays where it was in
// a cross-fade and moves with the new frame in a slide.
void Game::componentsIntoTransition(int number, bool beforeCapture) {
    const bool crossFade = number == Transitions::Unnamed || number == Transitions::AlphaBlending;
    for (const RuntimeComponents::Row& row : components.ComponentsList()) {
        if (!row.appearDuringTransitions) continue;
        if ((crossFade && row.disappearBeforeAlphaBlending) != beforeCapture) continue;
        const ComponentWithEventsClass* sink = components.runtime.sink(row.sink);
        WidgetControl* control = sink ? sink->component() : nullptr;
        if (!control || control->container() == &transitions.picWhere()) continue;
        componentsInTransition_.push_back({control, control->pixelGeometry().topLeft()});
        control->setContainer(&transitions.picWhere());
    }
}

void Game::componentsWithNewFrame(QPoint newFrameAt) {
    for (const ComponentInTransition& c : componentsInTransition_) {
        if (!c.control) continue;
        QRect r = c.control->pixelGeometry();
        r.moveTopLeft(c.at + newFrameAt);
        c.control->setPixelGeometry(r);
    }
}

void Game::componentsOutOfTransition(int /*number*/) {
    for (const ComponentInTransition& c : componentsInTransition_) {
        if (!c.control) continue;
        c.control->setContainer(pictureBox_);
        QRect r = c.control->pixelGeometry();
        r.moveTopLeft(c.at);
        c.control->setPixelGeometry(r);
    }
    componentsInTransition_.clear();
}

void Game::pauseForCd() {
    cdFrameTimer_ = Timer1.enabled();
    cdMessageTimer_ = texts.TimerMessageBox().enabled();
    RunFlags& f = runFlags();
    f.stopMovie = true;
    f.skipTransition = true;
    Timer1.setEnabled(false);
    timedEvents.PauseTimedEvents();
    stopPresentation();
}

void Game::resumeAfterCd() {
    Timer1.setEnabled(cdFrameTimer_);
    texts.TimerMessageBox().setEnabled(cdMessageTimer_);
    timedEvents.StartTimedEvents();
}

void Game::stopForCd() {
    scripts.VBScriptAction().StopEverything();
}

bool Game::askForCd(const QString& message, const QString& drive) {
    if (!runFromCd_) runFromCd_ = std::make_unique<RunFromCd>();
    return runFromCd_->ask(message, drive);
}

void Game::addInventoryItem(const QString& name, bool silently) {
    inventory.AddPickedObject(name, silently);
}

void Game::showInventoryButton(bool shown) {
    if (shown)
        inventory.showButton();
    else
        inventory.hideButton();
}

void Game::captureFrame(PictureBox& into, bool withoutScreenCapture) {
    if (withoutScreenCapture)
        transitions.CaptureCurrentFrame(into);
    else
        transitions.CaptureActualFrame(into);
}

void Game::setTransitionDestination(QObject* pictureBox) {
    transitions.destination = pictureBox;
}

void Game::showMenus(bool shown) {
    if (shown)
        shell.ShowMenus();
    else
        shell.HideMenus();
}

void Game::addComponent(const QString& progId, const QString& name, bool duringTransitions,
                        bool beforeAlphaBlending) {
    components.AddAdditionalComponent(progId, name, duringTransitions, beforeAlphaBlending);
}

void Game::removeComponent(const QString& name) {
    components.RemoveAdditionalComponent(name);
}

QObject* Game::component(const QString& name) const {
    return components.GetComponentRef(name);
}

bool Game::componentExists(const QString& name) const {
    return components.exists(name);
}

bool Game::progIdExists(const QString& progId) const {
    return components.DoesProgIDExist(progId);
}

} // namespace tv
