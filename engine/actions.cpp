#include "engine/actions.h"

#include "data/action_record.h"
#include "data/file_locator.h"
#include "data/project.h"
#include "data/record_helpers.h"
#include "data/record_values.h"
#include "data/reports.h"
#include "engine/game.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"

namespace tv {

namespace {
bool nonZero(const RecordValue& v) {
    return toNumber(v) != 0;
}
} // namespace

void Actions::AreaClick(int k, int button) {
    RunFlags& f = runFlags();
    if (f.quitting) return;
    f.stopMovie = true;
    f.skipTransition = true;
    if (game_.video.IsVideoPlaying() || game_.video.startingVideo() || game_.inventory.moving())
        return;
    MainWindowShell& shell = game_.shell;
    if (button == mouseButton::Right) {
        shell.menusForPress(button);
        return;
    }
    if (shell.menuOpening()) {
        shell.HideMenus();
        return;
    }
    game_.inventory.PickOrNotPickObject(k);
    game_.audio.UpdateChannelFades(1);
    MakeActionAndConsequences(k, 0, false);
}

void Actions::MakeActionAndConsequences(int k, int item, bool keepDialogue) {
    const Outcome outcome = MakeAction(k, item, keepDialogue);
    game_.video.StopOneTimeVideoPlayer();
    if (outcome == EndGame) game_.StartUnloading();
}

Actions::Outcome Actions::MakeAction(int k, int item, bool keepDialogue) {
    try {
        return act(k, item, keepDialogue);
    } catch (const VbError& e) {
        if (!runFlags().quitting)
            standardErrorReport(
                QStringLiteral(" Unable to make the action associated with the hotspot #%1. ")
                    .arg(k),
                e);
        return Normal;
    }
}

Actions::Outcome Actions::act(int k, int item, bool keepDialogue) {
    Game& g = game_;
    RunFlags& f = runFlags();
    const ProjectFolders& folders = project().folders;
    const QString frame = g.CurrentFrame.FrameName;
    f.stopMovie = true;
    f.skipTransition = true;
    f.quitting = false;

    // 2: find the record; a missing file or record ends the action quietly.
    std::optional<RecordReader> file;
    if (item != 0) {
        const QString path = folders.FramesDataFolder + frame + ".fm0";
        if (!files::fileExists(path)) return Normal;
        file.emplace(RecordReader::open(files::resolve(path)));
        if (!seekItemAction(*file, k, g.inventory.itemName(item))) return Normal;
    } else {
        const QString path = actionFilePath(folders, frame);
        if (path.isEmpty()) return Normal;
        file.emplace(RecordReader::open(path));
        if (!seekHotspotAction(*file, k)) return Normal;
    }
    RecordReader& in = *file;

    ActionRecord r;
    r.SoundLoops = true;
    // 3: read and act, group by group.
    readActionGroup(in, ActionGroup::VariableChange, r);
    if (r.ChangeVariable != 0 && !r.VariableName.isEmpty()) {
        if (toBool(r.SetToZero)) g.variables.ChangeVariableValue(r.VariableName, 0);
        if (toBool(r.SetToOne)) g.variables.ChangeVariableValue(r.VariableName, 1);
        if (toBool(r.Toggle)) g.variables.ChangeVariableValue(r.VariableName, -1);
    }
    readActionGroup(in, ActionGroup::Message, r);
    readActionGroup(in, ActionGroup::Disappear, r);
    if (nonZero(r.Disappear)) {
        if (item != 0)
            g.inventory.RemovePickedObject(item);
        else
            g.hotspots.Disappear.Add(frame, k);
    }
    readActionGroup(in, ActionGroup::Quit, r);
    if (nonZero(r.QuitGame)) return EndGame;
    readActionGroup(in, ActionGroup::GoTo, r);

    auto group = [&](ActionGroup which) {
        if (AtRecordEnd(in)) return false;
        readActionGroup(in, which, r);
        return true;
    };
    if (group(ActionGroup::StopsAndVideo)) {
        if (r.StopFrameSound != 0) g.audio.channelPlayer(Audio::kFrameSoundChannel).Stop();
        if (r.StopAllSounds != 0) g.audio.StopAnyWavOrMP3();
    }
    group(ActionGroup::SoundAndMusic);
    group(ActionGroup::GoBack);
    group(ActionGroup::MessageOption);
    if (group(ActionGroup::VariableGroups) && r.ChangeVariables != 0) {
        const qint16 values[] = {0, 1, -1};
        for (int groupIndex = 1; groupIndex <= 3; ++groupIndex)
            for (const QString& name : r.VariableGroups[groupIndex])
                if (!name.isEmpty()) g.variables.ChangeVariableValue(name, values[groupIndex - 1]);
    }
    group(ActionGroup::SoundLoops);
    group(ActionGroup::Transition);
    group(ActionGroup::ProcedureCall);
    group(ActionGroup::TransitionNumber);
    if (group(ActionGroup::Channels)) {
        g.audio.setFadeSeconds(toNumber(r.FadeDuration) / 1000);
        // The channel table has seven channels. A longer list is refused before any row is
        // written, so that no half of it waits in the table for the next action.
        if (r.ChannelRows.size() > Audio::kChannels) throw vbError(err::SubscriptOutOfRange);
        int row = 0;
        for (const ChannelRequestRow& values : r.ChannelRows)
            g.audio.writeActionChannelRow(++row, values.values);
    }
    group(ActionGroup::PickUp);
    group(ActionGroup::Script);
    file.reset();
    if (f.quitting) return Normal;

    // 5: the script, with the procedure call first.
    VBScriptActionModule& requests = g.scripts.VBScriptAction();
    requests.ResetModule();
    QString script = r.scriptText();
    script.replace("\"", "\"\"");
    const QString expanded = g.components.ExpandPluginActions(script, true);
    const QString call = r.CallProcedure ? r.procedureCallText() : QString();
    if (!expanded.isEmpty() || !call.isEmpty()) {
        requests.iHotspotNumber = static_cast<qint16>(k);
        g.scripts.ExecuteVBScript(call + "\r\n" + expanded, false);
        if (requests.bStopGame) return EndGame;
    }

    // 6: the item.
    if (r.PickUpItem) g.inventory.AddPickedObject(r.ItemName, false);

    // 7: sound and music.
    if (!f.quitting) {
        MediaPlayer& sound = g.audio.channelPlayer(Audio::kFrameSoundChannel);
        if (nonZero(r.PlaySound) && !toText(r.SoundFile).isEmpty()) {
            if (!sound.isPlaying() || r.StopFrameSound != 0) {
                const QString path = ResolveMediaFile(folders.AreasFolder + toText(r.SoundFile));
                g.audio.playFrameMedia(sound, path, r.SoundLoops ? 0 : 1, Audio::levelToVolume(7));
            }
        }
        MediaPlayer& music = g.audio.channelPlayer(Audio::kMusicChannel);
        if (nonZero(r.PlayMusic)) {
            const QString path = ResolveMediaFile(folders.FramesFolder + toText(r.MusicFile));
            g.audio.playFrameMedia(music, path, 1, Audio::levelToVolume(8));
        } else if (nonZero(r.StopMusic) && r.StopAllSounds == 0) {
            music.Stop();
        }
    }

    // 8: the hotspot's own sound channels.
    if (!f.quitting && r.StopAllSounds == 0 && item == 0) {
        const QString path = folders.FramesDataFolder + frame + ".fm5";
        if (files::fileExists(path)) {
            RecordReader sounds = RecordReader::open(files::resolve(path));
            if (seekSoundSelection(sounds, k)) g.audio.PlaySoundChannels(sounds);
        }
    }

    // 9: the audio fade runs now unless a frame change will start it.
    const bool goBack = nonZero(r.GoBack) && g.FramesHistory.count() > 1;
    const bool frameChange = !requests.sFrameToLoad.isEmpty() || r.GoToFrame != 0 || goBack;
    if (r.PlayVideo != 0 || !frameChange) {
        g.audio.RunChannelRequests();
        g.TimerAudioFade.setEnabled(true);
    }

    // 10: video, hotspot visibility, message.
    if (!f.quitting) {
        if (r.PlayVideo != 0) {
            g.shell.HideMenus();
            g.video.PlayMovieWithStop(
                r.VideoFile, VideoPlacement::of(r.VideoAtPosition, r.VideoUnplaced, r.VideoLeft,
                                                r.VideoTop, r.VideoWidth, r.VideoHeight));
        }
        g.hotspots.ShowOrNotShowAreas();
        if (!f.quitting && nonZero(r.ShowMessage))
            g.texts.showMessage(toText(r.MessageText), toBool(r.MessageOption));
        if (r.PlayVideo != 0) {
            waitForVideo();
            if (frameChange) g.audio.UpdateChannelFades(1);
        }
    }

    // 11: the frame change; the first that applies wins.
    if (!f.quitting) {
        const QString destination = scriptDestination();
        if (!destination.isEmpty()) {
            if (!keepDialogue) g.dialogues.endDialogue();
            openFrame(destination, requests.dTransitionDuration != 0, requests.iTransitionNumber,
                      requests.dTransitionDuration);
            return FrameOpened;
        }
        const bool withTransition = toNumber(r.UseTransition) == 1;
        if (r.GoToFrame != 0) {
            if (!keepDialogue) g.dialogues.endDialogue();
            openFrame(r.Destination, withTransition, r.TransitionNumber,
                      r.TransitionDuration / 1000);
            return FrameOpened;
        }
        if (nonZero(r.GoBack) && g.FramesHistory.count() > 1) {
            if (!keepDialogue) g.dialogues.endDialogue();
            openFrame(g.FramesHistory.goBack(), withTransition, r.TransitionNumber,
                      r.TransitionDuration / 1000);
            return FrameOpened;
        }
    }

    // 12: no frame change.
    g.timedEvents.StartTimedEvents();
    popUps();
    return Normal;
}

QString Actions::scriptDestination() {
    VBScriptActionModule& requests = game_.scripts.VBScriptAction();
    if (requests.sFrameToLoad.toLower() == "last visited frame")
        requests.sFrameToLoad = game_.FramesHistory.goBack();
    return requests.sFrameToLoad;
}

void Actions::openFrame(const QString& frame, bool withTransition, int number, double seconds) {
    if (withTransition) {
        game_.transitions.TransitionStep1(number);
        game_.OpenFrame(frame, true, number, seconds);
    } else {
        game_.OpenFrame(frame, false, 0, 0);
    }
}

void Actions::popUps() {
    VBScriptActionModule& requests = game_.scripts.VBScriptAction();
    if (requests.bPopupLoadGame)
        game_.savedGames.ShowLoadGameWindow(false);
    else if (requests.bPopupSaveGame)
        game_.savedGames.ShowSaveGameWindow();
}

void Actions::waitForVideo() {
    Game& g = game_;
    g.hotspots.SetScreenPointerArrow();
    while (g.video.IsVideoPlaying() && !runFlags().stopMovie)
        EventLoop::instance().doEvents();
    g.hotspots.SetScreenPointerDefault();
    runFlags().stopMovie = false;
}

void Actions::ExecuteConsequences() {
    Game& g = game_;
    VBScriptActionModule& requests = g.scripts.VBScriptAction();
    g.hotspots.ShowOrNotShowAreas();
    if (requests.bStopGame) {
        g.StartUnloading();
        return;
    }
    const QString destination = scriptDestination();
    if (!destination.isEmpty()) {
        openFrame(destination, requests.dTransitionDuration != 0, requests.iTransitionNumber,
                  requests.dTransitionDuration);
    } else {
        g.timedEvents.StartTimedEvents();
    }
    popUps();
}

void Actions::SimulateHotspotClick(int k) {
    const int element = simulatedClicks_.empty() ? 1 : simulatedClicks_.rbegin()->first + 1;
    auto timer = std::make_unique<TimerControl>("timerSimulateHotspotClick", nullptr, element);
    timer->setTag(QString::number(k));
    QObject::connect(timer.get(), &TimerControl::Timer,
                     [this, element] { simulatedClickTimer(element); });
    timer->setInterval(1);
    timer->setEnabled(true);
    simulatedClicks_[element] = std::move(timer);
}

void Actions::simulatedClickTimer(int element) {
    auto it = simulatedClicks_.find(element);
    if (it == simulatedClicks_.end()) return;
    // The element goes once it has fired, even when the click opens another frame.
    std::unique_ptr<TimerControl> timer = std::move(it->second);
    simulatedClicks_.erase(it);
    timer->setEnabled(false);
    const int hotspot = timer->tag().toInt();
    timer.release()->deleteLater();
    if (hotspot != 0) AreaClick(hotspot, 1);
}

} // namespace tv
