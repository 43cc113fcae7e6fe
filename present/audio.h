#pragma once
// The seven sound channels, each served by one media player of the set MPlayer (1 to 7). Frames
// and hotspot actions write requests into the channel table; RunChannelRequests carries them
// out, at once or as fades that the fade timer (or a transition) moves on. A cross-fade starts
// the new sound on a free player and fades the old one out, so the channel-to-player mapping
// changes over time. The frame sound plays on the player of channel 6, the music on the player
// of channel 7.

#include "platform/core/records.h"
#include "platform/media_player.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

namespace tv {

class RecordReader;
class TimerControl;

// One channel of the table. Volumes are levels of the project's 0-10 scale.
struct SoundChannel {
    // The pending request: 0 none; 3 stop the channel; 4 change its volume; 1 and 2 neither.
    qint16 RequestCode = 0;
    QString PendingFile; // to start, relative to the Areas folder; "" = none
    bool Fade = false;   // carry the request out as a fade
    bool Loop = false;   // repeat the started file for ever
    qint16 Player = 0;   // the MPlayer element that serves the channel now
    // During a cross-fade, the element that still plays the channel's old sound; 0 = none.
    qint16 PreviousPlayer = 0;
    double StartVolume = 0; // at the start of a fade: the channel's previous target
    double TargetVolume = 0;
    // Leave the file alone when some player already plays that very file.
    bool KeepIfPlaying = false;
};

class Audio {
public:
    static constexpr int kChannels = 7;
    static constexpr int kFrameSoundChannel = 6;
    static constexpr int kMusicChannel = 7;
    static constexpr qint16 kStopRequest = 3;
    static constexpr qint16 kVolumeRequest = 4;
    // The fade timer's interval.
    static constexpr int kFadeTickMs = 100;
    static inline const QString kWarningTitle = QStringLiteral("AUDIO PROBLEM");
    static const QString kWarningText;

    // `fadeTimer` is the main window's TimerAudioFade: its owner calls TimerAudioFadeTick on
    // every tick; Audio switches it off once no fade is left.
    explicit Audio(TimerControl& fadeTimer);

    MediaPlayer& MPlayer(int element);
    // The set MPlayer as scripts reach it ("AudioPlayerObject").
    MediaPlayerSet& players() { return playerSet_; }
    // The player that serves channel 1 to 7 now.
    MediaPlayer& channelPlayer(int channel) {
        return MPlayer(SoundChannels[checked(channel)].Player);
    }
    const SoundChannel& channel(int k) const { return SoundChannels[checked(k)]; }

    // Volume levels of project data (0 to 10) to hundredths of a decibel: 7 -> -1200.
    static int levelToVolume(double level);

    // Whether some player 1 to 7 is playing exactly this file.
    bool isAlreadyPlaying(const QString& path) const;
    // Stops, loads, sets play count and volume, starts.
    void playOn(MediaPlayer& player, const QString& path, int playCount, int volume);
    // The same for the frame's sound and music: a file that cannot be played brings up the
    // audio warning (once a game) and a missing one, which the file lookup has reported already,
    // nothing more; the frame goes on either way.
    void playFrameMedia(MediaPlayer& player, const QString& path, int playCount, int volume);

    void StopAnyWavOrMP3();
    // Stops players 1 to 7 and binds channel i to player i.
    void ResetPlayers();

    // Channel request rows: up to 5 values (code, fade, loop, volume 0-10, file name); missing
    // values count as empty. Rows for channels outside 1 to 7 are ignored. Values that do not
    // convert raise the conversion's error.
    //
    // A frame's row is written only when it brings a file to a channel without a pending file,
    // or a code above 1 to a channel whose pending code is below 2, so that a request still
    // pending from the action that opened the frame stays in force; the frame does not restart
    // a file some player already plays. True when the row was written and asks for a fade.
    bool writeFrameChannelRow(int channel, const QList<RecordValue>& values);
    // All rows of a frame record (row i is channel i, rows past 7 ignored); when a written row
    // asks for a fade, the fade time becomes `fadeMilliseconds` / 1000.
    void applyFrameChannelRows(const QList<QList<RecordValue>>& rows,
                               const RecordValue& fadeMilliseconds);
    // An action's row is always written, and restarts its file even when it plays already.
    void writeActionChannelRow(int channel, const QList<RecordValue>& values);
    // The fade time in seconds; negative times count as 0 (the fade ends at its next tick).
    void setFadeSeconds(double seconds);
    double fadeDuration() const { return FadeDuration; }

    // Carries out the pending requests of channels 1 to 7. A fade still running from an earlier
    // call is finished first. A player that fails shows the audio warning (once a game) and
    // leaves the remaining channels for this call.
    void RunChannelRequests();
    // Moves the fades to `progress` (0 to 1); 1 or more finishes them. True while some fade
    // goes on; otherwise the fade timer is switched off. Player errors are not reported.
    bool UpdateChannelFades(double progress);
    // The fade timer's tick: the first tick starts the fade clock, later ones move the fades by
    // the time of day; a fade that passes its duration or midnight ends. True while the timer
    // stays on.
    bool TimerAudioFadeTick();

    // The older sound-channel data (a frame's ".chn" file, or a hotspot's ".fm5" record) at the
    // reader's position: stops and starts the players of channels 1 to 5 directly.
    void PlaySoundChannels(RecordReader& in);

    // A new game: no requests, no fades, and the audio warning may show again.
    void resetForNewGame();
    bool audioWarningShown() const { return AudioWarningShown; }

private:
    MediaPlayerSet playerSet_{"MPlayer", [this](int i) { return &MPlayer(i); }, 1, kChannels};
    static int checked(int channel);
    void runChannelRequest(int k);
    void startFadeIn(int k, const QString& path);
    // Plays a file on a player, taking the player back from any cross-fade that was fading an
    // old sound out on it.
    void startOn(int player, const QString& path, bool loop, int volume);
    void stopOtherMidi(const QString& newFile);
    int freePlayer() const;
    void finishFade(int k);
    void fadeStep(int k, double progress);
    void clearRequest(int k);
    void setLevel(int player, double level);
    void showWarning();

    TimerControl& fadeTimer_;
    std::array<std::unique_ptr<MediaPlayer>, kChannels + 1> players_;
    // Index 0 holds no channel.
    std::array<SoundChannel, kChannels + 1> SoundChannels;
    // Channels whose fade RunChannelRequests has started and that has not finished yet.
    std::array<bool, kChannels + 1> fadeRunning_{};
    double FadeDuration = 0;  // seconds
    double FadeStartTime = 0; // seconds since midnight; 0 = the fade clock has not started
    bool AudioWarningShown = false;
};

} // namespace tv
