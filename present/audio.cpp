#include "present/audio.h"

#include "data/file_locator.h"
#include "data/project.h"
#include "data/record_values.h"
#include "data/reports.h"
#include "data/sound_channel_file.h"
#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/run_flags.h"
#include "platform/timer_control.h"

#include <cmath>

namespace tv {

const QString Audio::kWarningText = QStringLiteral(
    "WARNING: Another program may be using the audio hardware resources, an audio file may be "
    "damaged, or your audio drivers may be unable to play at the same time an audio file and the "
    "audio track of a video file. Although this error can be safely ignored, it may result in "
    "some sound files not being played. It is recommended that you close all the other Windows "
    "applications that are running, and that you restart the program.\r\n\r\n"
    "This message will not reappear until you restart the program.");

namespace {
// Player errors inside a fade are not reported; one failing step must not keep the others (and
// the end of the fade) from happening.
template <class Step> void quietly(Step step) {
    try {
        step();
    } catch (const VbError&) {
    }
}

bool endsWithMid(const QString& name) {
    return name.endsWith(QLatin1String("mid"), Qt::CaseInsensitive);
}

QString areasPath(const QString& name) {
    return project().folders.AreasFolder + name;
}
} // namespace

Audio::Audio(TimerControl& fadeTimer) : fadeTimer_(fadeTimer) {
    for (int i = 1; i <= kChannels; ++i) {
        players_[i] = std::make_unique<MediaPlayer>("MPlayer", i);
        SoundChannels[i].Player = static_cast<qint16>(i);
    }
}

int Audio::checked(int channel) {
    if (channel < 1 || channel > kChannels) throw vbError(err::SubscriptOutOfRange);
    return channel;
}

MediaPlayer& Audio::MPlayer(int element) {
    if (element < 1 || element > kChannels) throw vbError(err::ControlArrayElementDoesNotExist);
    return *players_[element];
}

int Audio::levelToVolume(double level) {
    double volume = std::nearbyint((level - 10) * 400);
    // Far outside the player's range either way (it refuses them); kept within int so that the
    // conversion is defined.
    if (!(volume >= -1e9)) volume = -1e9;
    if (volume > 1e9) volume = 1e9;
    return static_cast<int>(volume);
}

bool Audio::isAlreadyPlaying(const QString& path) const {
    for (int i = 1; i <= kChannels; ++i)
        if (players_[i]->isPlaying() && players_[i]->fileName() == path) return true;
    return false;
}

void Audio::playOn(MediaPlayer& player, const QString& path, int playCount, int volume) {
    player.Stop();
    player.setFileName(path);
    player.setPlayCount(playCount);
    player.setVolume(volume);
    player.Play();
}

void Audio::playFrameMedia(MediaPlayer& player, const QString& path, int playCount, int volume) {
    try {
        playOn(player, path, playCount, volume);
    } catch (const VbError& e) {
        if (e.number() != err::FileNotFound) showWarning();
    }
}

void Audio::StopAnyWavOrMP3() {
    for (int i = 1; i <= kChannels; ++i) {
        MediaPlayer& p = *players_[i];
        if (p.fileName().size() > 4 && p.playState() == MediaPlayer::Playing) p.Stop();
    }
}

void Audio::ResetPlayers() {
    for (int i = 1; i <= kChannels; ++i) {
        players_[i]->Stop();
        SoundChannels[i].Player = static_cast<qint16>(i);
        // With every player stopped there is no old sound left to fade out.
        SoundChannels[i].PreviousPlayer = 0;
    }
}

// ---- Requests ----------------------------------------------------------------------------

namespace {
struct ChannelRequest {
    qint16 code = 0;
    bool fade = false;
    bool loop = false;
    double volume = 0;
    QString file;
};

// Converted before anything changes, so that a value that does not convert leaves the channel
// as it was.
ChannelRequest parseRow(const QList<RecordValue>& values) {
    auto value = [&](qsizetype i) { return i < values.size() ? values[i] : RecordValue::empty(); };
    return {toInt16(value(0)), toBool(value(1)), toBool(value(2)), toNumber(value(3)),
            toText(value(4))};
}

void assign(SoundChannel& c, const ChannelRequest& row, bool keepIfPlaying) {
    c.RequestCode = row.code;
    c.Fade = row.fade;
    c.Loop = row.loop;
    c.StartVolume = c.TargetVolume;
    c.TargetVolume = row.volume;
    c.PendingFile = row.file;
    c.KeepIfPlaying = keepIfPlaying;
}
} // namespace

bool Audio::writeFrameChannelRow(int channel, const QList<RecordValue>& values) {
    if (channel < 1 || channel > kChannels) return false;
    const ChannelRequest row = parseRow(values);
    // A fade still running from an earlier request is no pending request: it ends here.
    if (fadeRunning_[channel]) finishFade(channel);
    SoundChannel& c = SoundChannels[channel];
    if (!((!row.file.isEmpty() && c.PendingFile.isEmpty()) || (row.code > 1 && c.RequestCode < 2)))
        return false;
    assign(c, row, true);
    return row.fade;
}

void Audio::applyFrameChannelRows(const QList<QList<RecordValue>>& rows,
                                  const RecordValue& fadeMilliseconds) {
    bool fade = false;
    for (qsizetype i = 0; i < rows.size() && i < kChannels; ++i)
        fade = writeFrameChannelRow(static_cast<int>(i + 1), rows[i]) || fade;
    if (fade) setFadeSeconds(toNumber(fadeMilliseconds) / 1000);
}

void Audio::writeActionChannelRow(int channel, const QList<RecordValue>& values) {
    if (channel < 1 || channel > kChannels) return;
    const ChannelRequest row = parseRow(values);
    if (fadeRunning_[channel]) finishFade(channel);
    assign(SoundChannels[channel], row, false);
}

void Audio::setFadeSeconds(double seconds) {
    FadeDuration = seconds > 0 ? seconds : 0;
}

void Audio::RunChannelRequests() {
    int k = 1;
    try {
        for (; k <= kChannels; ++k)
            runChannelRequest(k);
    } catch (const VbError&) {
        // The failed request is dropped, or every later call would fail on it again and never
        // reach the channels behind it.
        clearRequest(k);
        showWarning();
    }
    FadeStartTime = 0;
}

void Audio::runChannelRequest(int k) {
    SoundChannel& c = SoundChannels[k];
    if (fadeRunning_[k]) {
        // Started by an earlier call and not finished (a frame change that no click or frame
        // timer preceded): carrying it out again would start its file a second time.
        finishFade(k);
        return;
    }
    if (c.Fade) {
        // Stops and volume changes need nothing now: the fade steps carry them out.
        const QString path =
            c.PendingFile.isEmpty() ? QString() : FindMediaFile(areasPath(c.PendingFile));
        if (path.isEmpty())
            c.PendingFile.clear();
        else
            startFadeIn(k, path);
        fadeRunning_[k] = true;
        return;
    }
    if (c.RequestCode == kStopRequest) MPlayer(c.Player).Stop();
    if (!c.PendingFile.isEmpty()) {
        const QString path = FindMediaFile(areasPath(c.PendingFile));
        if (path.isEmpty()) {
            c.PendingFile.clear();
        } else if (!(c.KeepIfPlaying && isAlreadyPlaying(path))) {
            stopOtherMidi(c.PendingFile);
            startOn(c.Player, path, c.Loop, levelToVolume(c.TargetVolume));
        }
    }
    if (c.RequestCode == kVolumeRequest) setLevel(c.Player, c.TargetVolume);
    c.RequestCode = 0;
    c.PendingFile.clear();
    c.PreviousPlayer = 0;
}

void Audio::startFadeIn(int k, const QString& path) {
    SoundChannel& c = SoundChannels[k];
    stopOtherMidi(c.PendingFile);
    const int own = c.Player;
    const int free = MPlayer(own).isPlaying() ? freePlayer() : 0;
    if (free == 0) {
        // Nothing to cross-fade from, or no player to cross-fade onto: the channel's own player
        // starts the new file silently and fades it in.
        c.PreviousPlayer = 0;
        startOn(own, path, c.Loop, levelToVolume(0));
        return;
    }
    startOn(free, path, c.Loop, levelToVolume(0));
    // The old sound fades out on the old player, and every channel keeps a player of its own:
    // the channel that was served by the free player takes the old one.
    for (int j = 1; j <= kChannels; ++j)
        if (j != k && SoundChannels[j].Player == free) SoundChannels[j].Player = c.Player;
    c.PreviousPlayer = c.Player;
    c.Player = static_cast<qint16>(free);
}

void Audio::startOn(int player, const QString& path, bool loop, int volume) {
    // A channel may have been given a player that still fades another channel's old sound out;
    // once it plays something new, that fade must neither touch nor stop it.
    for (int j = 1; j <= kChannels; ++j)
        if (SoundChannels[j].PreviousPlayer == player) SoundChannels[j].PreviousPlayer = 0;
    playOn(MPlayer(player), path, loop ? 0 : 1, volume);
}

void Audio::stopOtherMidi(const QString& newFile) {
    if (newFile.size() <= 4 || !endsWithMid(newFile)) return;
    for (int i = 1; i <= kChannels; ++i)
        if (endsWithMid(players_[i]->fileName())) players_[i]->Stop();
}

int Audio::freePlayer() const {
    for (int i = 1; i <= kChannels; ++i)
        if (players_[i]->playState() != MediaPlayer::Playing) return i;
    return 0;
}

void Audio::clearRequest(int k) {
    SoundChannel& c = SoundChannels[k];
    c.RequestCode = 0;
    c.PendingFile.clear();
    c.PreviousPlayer = 0;
    c.Fade = false;
    fadeRunning_[k] = false;
}

void Audio::setLevel(int player, double level) {
    MPlayer(player).setVolume(levelToVolume(level));
}

void Audio::showWarning() {
    if (runFlags().quitting || AudioWarningShown) return;
    DialogService::instance().msgBox(kWarningText, mb::OKOnly | mb::Exclamation, kWarningTitle);
    AudioWarningShown = true;
}

// ---- Fades -------------------------------------------------------------------------------

void Audio::finishFade(int k) {
    SoundChannel& c = SoundChannels[k];
    if (c.RequestCode == kStopRequest) quietly([&] { MPlayer(c.Player).Stop(); });
    if (c.RequestCode == kVolumeRequest) quietly([&] { setLevel(c.Player, c.TargetVolume); });
    if (!c.PendingFile.isEmpty()) {
        quietly([&] { setLevel(c.Player, c.TargetVolume); });
        if (c.PreviousPlayer != 0) quietly([&] { MPlayer(c.PreviousPlayer).Stop(); });
    }
    clearRequest(k);
}

void Audio::fadeStep(int k, double a) {
    const SoundChannel& c = SoundChannels[k];
    if (c.RequestCode == kStopRequest)
        quietly([&] { setLevel(c.Player, (1 - a) * c.StartVolume); });
    if (c.RequestCode == kVolumeRequest)
        quietly([&] { setLevel(c.Player, c.StartVolume + a * (c.TargetVolume - c.StartVolume)); });
    if (!c.PendingFile.isEmpty()) {
        quietly([&] { setLevel(c.Player, a * c.TargetVolume); });
        if (c.PreviousPlayer != 0)
            quietly([&] { setLevel(c.PreviousPlayer, (1 - a) * c.StartVolume); });
    }
}

bool Audio::UpdateChannelFades(double progress) {
    const bool finish = progress >= 1;
    const double a = progress > 0 ? progress : 0; // a transition's first step may say 0 or less
    bool fading = false;
    for (int k = 1; k <= kChannels; ++k) {
        SoundChannel& c = SoundChannels[k];
        if (c.Fade) {
            fading = true;
            if (finish)
                finishFade(k);
            else
                fadeStep(k, a);
        } else if (finish) {
            c.RequestCode = 0;
            c.PendingFile.clear();
            c.PreviousPlayer = 0;
        }
    }
    if (fading && !finish) return true;
    fadeTimer_.setEnabled(false);
    return false;
}

bool Audio::TimerAudioFadeTick() {
    const double now = Clock::instance().secondsSinceMidnight();
    if (FadeStartTime == 0) {
        FadeStartTime = now;
        return true;
    }
    const double elapsed = now - FadeStartTime;
    // A fade that runs past midnight would see time go backwards: it ends at once.
    if (elapsed < 0 || elapsed >= FadeDuration) {
        UpdateChannelFades(1);
        fadeTimer_.setEnabled(false);
        return false;
    }
    return UpdateChannelFades(elapsed / FadeDuration);
}

void Audio::resetForNewGame() {
    for (int k = 1; k <= kChannels; ++k) {
        SoundChannel fresh;
        fresh.Player = SoundChannels[k].Player; // the mapping is ResetPlayers' part
        SoundChannels[k] = fresh;
    }
    fadeRunning_.fill(false);
    FadeDuration = 0;
    FadeStartTime = 0;
    AudioWarningShown = false;
    fadeTimer_.setEnabled(false);
}

// ---- The older sound-channel data --------------------------------------------------------

void Audio::PlaySoundChannels(RecordReader& in) {
    // The rows read before a broken one still play, then the failure is reported.
    SoundChannelData data;
    bool readFailed = false;
    try {
        data.read(in);
    } catch (const VbError&) {
        readFailed = true;
    }
    bool failed = readFailed;
    try {
        for (qsizetype i = 0; i < data.rows.size(); ++i) {
            const SoundChannelRow& row = data.rows[i];
            MediaPlayer& player = channelPlayer(static_cast<int>(i + 1));
            if (row.stop) player.Stop();
            if (row.play && !row.file.isEmpty()) {
                // 0 plays once, any other value (a text included) for ever.
                bool once = false;
                quietly([&] { once = toNumber(row.repeat) == 0; });
                playOn(player, ResolveMediaFile(areasPath(row.file)), once ? 1 : 0,
                       levelToVolume(8));
            }
        }
    } catch (const VbError&) {
        failed = true;
    }
    if (failed) standardErrorReport(" Unable to load old sound system information.");
}

} // namespace tv
