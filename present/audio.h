#pragma once
// The seven sound channels, each served by one media player of the set MPlayer (1 to 7). The
// frame sound plays on the player of channel 6, the music on the player of channel 7.

#include "platform/media_player.h"

#include <QList>
#include <QObject>
#include <array>
#include <memory>

namespace tv {

class RecordReader;
struct RecordValue;

class Audio {
public:
    static constexpr int kChannels = 7;
    static constexpr int kFrameSoundChannel = 6;
    static constexpr int kMusicChannel = 7;

    Audio();

    MediaPlayer& MPlayer(int element);
    MediaPlayer& channelPlayer(int channel) { return MPlayer(channelToPlayer_[channel]); }

    // Volume levels of project data (0 to 10) to hundredths of a decibel: 7 -> -1200.
    static int levelToVolume(double level);

    // Whether some player 1 to 7 is playing exactly this file.
    bool isAlreadyPlaying(const QString& path) const;
    // Stops, loads, sets play count and volume, starts.
    void playOn(MediaPlayer& player, const QString& path, int playCount, int volume);

    void StopAnyWavOrMP3();
    // Stops players 1 to 7 and binds channel i to player i.
    void ResetPlayers();

    // Channel requests and fades arrive with the sound-channel tables; until then frames and
    // actions that ask for them play nothing extra.
    void PlaySoundChannels(RecordReader&) {}
    void setFadeSeconds(double) {}
    void writeActionChannelRow(int /*channel*/, const QList<RecordValue>& /*values*/) {}
    void RunChannelRequests() {}
    void UpdateChannelFades(double) {}
    void resetFadeState() {}

private:
    std::array<std::unique_ptr<MediaPlayer>, kChannels + 1> players_;
    std::array<int, kChannels + 1> channelToPlayer_{};
};

} // namespace tv
