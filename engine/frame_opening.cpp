#include "engine/frame_opening.h"

#include "data/file_locator.h"
#include "data/project.h"
#include "data/record_values.h"
#include "data/reports.h"
#include "engine/game.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/picture.h"

#include <QPointer>
#include <QScopeGuard>
#include <cmath>

namespace tv {

namespace {
// Leaves the opening silently once the game has begun to quit.
struct Quitting {};
void checkQuitting() {
    if (runFlags().quitting) throw Quitting{};
}

const QString kLinkHint =
    "Verify that the 'Initial Frame' exists and that the 'Go to another frame' option in the "
    "Hotspot Properties is linked to an existing frame.";

// The classic Val(): the leading number of a text, 0 when there is none.
double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == '.' || t[end] == '-' || t[end] == '+' ||
                              t[end] == 'e' || t[end] == 'E'))
        ++end;
    for (; end > 0; --end) {
        bool ok = false;
        const double v = t.left(end).toDouble(&ok);
        if (ok) return v;
    }
    return 0;
}
} // namespace

void FrameOpening::OpenFrame(const QString& frame, bool withTransition, int transitionNumber,
                             double transitionSeconds) {
    const ProjectFolders& folders = project().folders;
    // An opening that stops before its transition ran leaves no cover over the frame.
    const auto coverDown = qScopeGuard([this, withTransition] {
        if (withTransition) game_.transitions.abandon();
    });
    // The name checks come before any work and report even while quitting.
    if (frame.isEmpty()) {
        standardErrorReport(" A program link is broken.");
        return;
    }
    if (!files::fileExists(folders.FramesFolder + frame + ".fme")) {
        standardErrorReport(" A program link is broken. The frame named \"" + frame +
                            "\" could not be found. " + kLinkHint);
        return;
    }
    try {
        build(frame, withTransition, transitionNumber, transitionSeconds);
    } catch (const Quitting&) {
    } catch (const VbError& e) {
        if (!runFlags().quitting)
            standardErrorReport(
                " Unable to load the frame called '" + frame + "'. " + kLinkHint + " ", e);
    }
}

void FrameOpening::build(const QString& frame, bool withTransition, int transitionNumber,
                         double transitionSeconds) {
    Game& g = game_;
    const ProjectFolders& folders = project().folders;

    // 3-4: the old frame's timers stop; new hotspots and texts number from 1 again.
    g.Timer1.setEnabled(false);
    g.Timer1.setInterval(0);
    g.timedEvents.ResetTimedEvents();
    g.hotspots.resetMergedIndex();

    // 5: the header; a header that cannot be read is reported and the opening goes on empty.
    g.CurrentFrame.clear();
    readHeader(frame);
    EventLog::instance().write("frame " + frame);

    checkQuitting();
    applyControlSwitches();
    g.FramesHistory.FramesHistoryAdd(frame);

    // 8: the whole record.
    checkQuitting();
    g.frameRecord = FrameRecord();
    g.frameRecord = readFrameRecord(folders.FramesFolder + frame + ".fme");
    const FrameRecord& r = g.frameRecord;
    g.audio.applyFrameChannelRows(r.ChannelRows, r.FadeDuration);

    // 9: a running water effect finishes its step before the frame changes; water loaded but
    // not yet started (a frame left during its own opening) goes too.
    g.water.stopForFrameChange();

    const bool videoFirst = !r.VideoFile.isEmpty() && r.VideoFirst && !withTransition;
    checkQuitting();
    if (videoFirst) g.video.StopOneTimeVideoPlayer();
    checkQuitting();
    if (videoFirst) startOneTimeVideo();

    checkQuitting();
    if (r.StopAllSounds) g.audio.StopAnyWavOrMP3();
    checkQuitting();
    if (r.MusicFile.isEmpty() && r.StopMusic) g.audio.channelPlayer(Audio::kMusicChannel).Stop();
    checkQuitting();
    playFrameSound();

    checkQuitting();
    g.texts.ResetFrameTexts();
    checkQuitting();
    g.hotspots.ResetFrameAreas();
    checkQuitting();
    paintBackground();

    checkQuitting();
    g.texts.LoadTexts(frame);
    g.CurrentFrame.HotspotCount = ReadHotspotCount(frame);
    checkQuitting();
    g.hotspots.LoadAreas();

    checkQuitting();
    bool stopGame = false;
    runStartupScript(stopGame);
    if (stopGame) {
        g.StartUnloading();
        return;
    }

    checkQuitting();
    g.hotspots.ShowOrNotShowAreas();
    g.inventory.bringToFront();

    checkQuitting();
    if (!r.StopAllSounds) {
        const QString chn = folders.FramesFolder + frame + ".chn";
        if (files::fileExists(chn)) {
            RecordReader in = RecordReader::open(files::resolve(chn));
            g.audio.PlaySoundChannels(in);
        }
    }

    checkQuitting();
    playMusic();

    const bool videoLater = !r.VideoFile.isEmpty() && (!r.VideoFirst || withTransition);
    checkQuitting();
    if (videoLater) g.video.StopOneTimeVideoPlayer();

    checkQuitting();
    const bool effectsOff = g.water.effectsDisabled; // the "Disable Real-Time Effects" tick
    if (!effectsOff && g.CurrentFrame.BackgroundMode == 1 && !g.CurrentFrame.BackgroundTiled)
        g.water.LoadWaveEffectIfAny(frame);

    // 26: the audio fade runs on its own timer, or with the transition.
    g.audio.RunChannelRequests();
    // A transition that does not animate (switched off, no duration, no such number) leaves the
    // fade to its timer, as a frame without one does, rather than half done.
    const bool animated =
        withTransition && g.transitions.animates(transitionNumber, transitionSeconds);
    if (withTransition) g.transitions.TransitionStep2(transitionNumber, transitionSeconds);
    if (!animated) g.TimerAudioFade.setEnabled(true);
    // A script's choice of where the transition draws holds for one frame change only.
    g.transitions.destination = nullptr;

    if (!g.dialogues.active()) {
        const QString dlg = folders.FramesDataFolder + frame + ".dlg";
        if (files::fileExists(dlg)) g.dialogues.loadAndDisplay(files::resolve(dlg));
    }

    checkQuitting();
    if (videoLater) startOneTimeVideo();

    checkQuitting();
    waitForVideo();

    checkQuitting();
    if (!effectsOff && g.water.effectActive()) g.water.start();

    checkQuitting();
    armFrameTimer();
    g.timedEvents.StartTimedEvents();
}

void FrameOpening::readHeader(const QString& frame) {
    Game& g = game_;
    g.CurrentFrame.FrameName = frame;
    FrameHeader header;
    try {
        readFrameHeader(project().folders.FramesFolder + frame + ".fme", header);
    } catch (const VbError& e) {
        standardErrorReport(" Unable to load the frame called '" + frame + "'. ", e);
    }
    g.CurrentFrame.BackgroundMode = header.BackgroundMode;
    g.CurrentFrame.Background = header.Background;
    g.CurrentFrame.BackgroundTiled = header.BackgroundTiled;
    g.CurrentFrame.HotspotCount = ReadHotspotCount(frame);
}

qint16 FrameOpening::ReadHotspotCount(const QString& frame) {
    const QString lks = project().folders.FramesFolder + frame + ".lks";
    try {
        return readHotspotCount(lks);
    } catch (const VbError& e) {
        DialogService::instance().msgBox("Error reading the hotspots count from the file \"" +
                                             files::resolve(lks) + "\".\r\n\r\n" + errorText(e),
                                         mb::Exclamation, "Error");
        return 0;
    }
}

void FrameOpening::applyControlSwitches() {
    Game& g = game_;
    if (g.scripts.ControlsReferenceMode != 0) return;
    // Only the existence of these variables matters, never their values.
    bool referenceAll = false, noTimeout = false;
    auto look = [&](const QString& name) {
        const QString lower = name.toLower();
        referenceAll = referenceAll || lower == "reference_all_controls";
        noTimeout = noTimeout || lower == "disable_script_timeout";
    };
    for (QObject* entry : g.variables.Variables.entries())
        look(static_cast<ClassVariable*>(entry)->name());
    for (QObject* entry : g.variables.VariablesVariant.entries())
        look(static_cast<ClassVariableVariant*>(entry)->name());
    g.scripts.ControlsReferenceMode = referenceAll ? 2 : 1;
    if (noTimeout) {
        g.scripts.ScriptControl().SetTimeout(ScriptEngine::kNoTimeout);
        g.scripts.ScriptControl2().SetTimeout(ScriptEngine::kNoTimeout);
    }
}

void FrameOpening::playFrameSound() {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    MediaPlayer& player = g.audio.channelPlayer(Audio::kFrameSoundChannel);
    if (r.RestartSound) player.Stop();
    if (r.SoundFile.isEmpty()) return;
    const QString path = ResolveMediaFile(project().folders.AreasFolder + r.SoundFile);
    // A frame whose sound already plays from the previous frame continues without a break.
    if (!g.audio.isAlreadyPlaying(path) || r.RestartSound)
        g.audio.playFrameMedia(player, path, r.SoundLoops ? 0 : 1, Audio::levelToVolume(7));
}

void FrameOpening::paintBackground() {
    Game& g = game_;
    PictureBox& display = g.pictureBox();
    const CurrentFrameState& f = g.CurrentFrame;
    if (f.BackgroundMode == 0) {
        display.setPicture(Picture());
        display.Cls();
        const auto colour = static_cast<quint32>(static_cast<qint64>(leadingNumber(f.Background)));
        if (colour != display.backColor()) display.setBackColor(colour);
        return;
    }
    const QString path = ResolveMediaFile(project().folders.FramesFolder + f.Background);
    if (f.BackgroundTiled) {
        display.setPicture(Picture());
        ImageBox& tile = g.ImageTile();
        tile.setPicture(Picture::load(path));
        const int tileWidth = tile.Width(), tileHeight = tile.Height();
        const int width = display.ScaleWidth(), height = display.ScaleHeight();
        if (tileWidth > 0 && tileHeight > 0) {
            for (int x = 0; x <= width; x += tileWidth)
                for (int y = 0; y <= height; y += tileHeight)
                    display.PaintPicture(tile.picture(), x, y);
        }
        tile.setPicture(Picture());
    } else {
        display.setBackColor(0);
        display.Cls();
        display.setPicture(Picture::load(path));
    }
}

void FrameOpening::runStartupScript(bool& stopGame) {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    const ProjectSettings& s = project().settings;
    VBScriptActionModule& requests = g.scripts.VBScriptAction();
    requests.ResetModule();

    auto joined = [](const QStringList& texts) {
        QString out;
        for (const QString& t : texts)
            if (!t.isEmpty()) out += t + "\r\n";
        return out;
    };
    const QString everyFrame = s.FrameScriptEnabled ? s.FrameScript : QString();
    const QString pluginsFirst = joined(g.components.firstFrameStartTexts());
    const QString startup = r.startupScriptText();
    QString quoted = startup;
    quoted.replace("\"", "\"\"");
    const QString expanded = g.components.ExpandPluginActions(quoted, false);
    const QString call = r.CallProcedure ? r.procedureCallText() : QString();
    const QString pluginsSecond = joined(g.components.secondFrameStartTexts());
    if (everyFrame.isEmpty() && pluginsFirst.isEmpty() && startup.isEmpty() && call.isEmpty() &&
        pluginsSecond.isEmpty())
        return;
    const QString code = everyFrame + "\r\n" + pluginsFirst + "\r\n" + expanded + "\r\n" + call +
                         "\r\n" + pluginsSecond;
    g.scripts.ExecuteVBScript(code, true);
    stopGame = requests.bStopGame;
}

void FrameOpening::playMusic() {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    if (r.MusicFile.isEmpty()) return;
    const QString path = ResolveMediaFile(project().folders.FramesFolder + r.MusicFile);
    g.audio.playFrameMedia(g.audio.channelPlayer(Audio::kMusicChannel), path, 1,
                           Audio::levelToVolume(8));
}

void FrameOpening::startOneTimeVideo() {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    g.shell.HideMenus();
    runFlags().stopMovie = false;
    g.video.PlayMovieWithStop(r.VideoFile,
                              VideoPlacement::of(r.VideoAtPosition, r.VideoUnplaced, r.VideoLeft,
                                                 r.VideoTop, r.VideoWidth, r.VideoHeight));
}

void FrameOpening::waitForVideo() {
    Game& g = game_;
    g.hotspots.SetScreenPointerArrow();
    while (g.video.IsVideoPlaying() && !runFlags().stopMovie) {
        EventLoop::instance().doEvents();
        g.shell.HideMenus();
        EventLoop::instance().doEvents();
    }
    g.hotspots.SetScreenPointerDefault();
    g.video.StopOneTimeVideoPlayer();
    runFlags().stopMovie = false;
    g.video.restartLoopingVideos();
}

void FrameOpening::armFrameTimer() {
    Game& g = game_;
    const FrameRecord& r = g.frameRecord;
    if (!r.TimerEnabled) return;
    try {
        g.Timer1.setTag(r.TimerTarget);
        g.Timer1.setEnabled(true);
        // Rounded half to even, as the classic conversion to a whole number does.
        const double ms = std::nearbyint(toNumber(r.TimerSeconds) * 1000);
        if (!(std::abs(ms) < 2147483648.0)) throw vbError(err::Overflow);
        g.Timer1.setInterval(static_cast<qint64>(ms));
    } catch (const VbError&) {
        standardErrorReport(" Unable to load timer duration.");
    }
}

} // namespace tv
