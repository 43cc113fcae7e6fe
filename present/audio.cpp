#include "present/audio.h"

#include "platform/core/errors.h"

#include <cmath>

namespace tv {

Audio::Audio() {
    for (int i = 1; i <= kChannels; ++i) {
        players_[i] = std::make_unique<MediaPlayer>("MPlayer", i);
        channelToPlayer_[i] = i;
    }
}

MediaPlayer& Audio::MPlayer(int element) {
    if (element < 1 || element > kChannels) throw vbError(err::ControlArrayElementDoesNotExist);
    return *players_[element];
}

int Audio::levelToVolume(double level) {
    return static_cast<int>(std::nearbyint((level - 10) * 400));
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

void Audio::StopAnyWavOrMP3() {
    for (int i = 1; i <= kChannels; ++i) {
        MediaPlayer& p = *players_[i];
        if (p.fileName().size() > 4 && p.playState() == MediaPlayer::Playing) p.Stop();
    }
}

void Audio::ResetPlayers() {
    for (int i = 1; i <= kChannels; ++i) {
        players_[i]->Stop();
        channelToPlayer_[i] = i;
    }
}

} // namespace tv
