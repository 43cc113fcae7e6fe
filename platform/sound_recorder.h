#pragma once
// Writes what the players would be heard playing into a WAV file (16-bit stereo, 44.1 kHz), for
// tests and for authors who check a game without listening. The players report what they start,
// stop and change, on the one clock; when the run ends each file is decoded for real and mixed
// at the times and volumes it had, so the file holds the run as it would have sounded, even when
// virtual time made the run take no time at all.

#include <QString>
#include <map>
#include <vector>

namespace tv {

class SoundRecorder {
public:
    static SoundRecorder& instance();

    // Starts recording from now; `path` is written by finish().
    void start(const QString& path);
    bool active() const { return !path_.isEmpty(); }

    // A player started `path` (MIDI when `midi`) `playCount` times (0 = for ever) from
    // `fromSeconds` at `volume` (hundredths of a decibel), at `rate` times its speed. Returns the
    // number of this playing, for the calls below; 0 when not recording.
    int begin(const QString& path, bool midi, int playCount, double fromSeconds, int volume,
              double rate);
    void setVolume(int playing, int volume);
    void end(int playing);

    // Decodes, mixes and writes the file; the recording stops. False, with `error` set, when the
    // file cannot be written.
    bool finish(QString* error = nullptr);

private:
    struct Playing {
        QString path;
        bool midi = false;
        int playCount = 1;
        double fromSeconds = 0;
        double rate = 1;
        qint64 beginMs = 0;
        qint64 endMs = -1;                           // -1: still playing at the end of the run
        std::vector<std::pair<qint64, int>> volumes; // from this time on, this volume
    };

    QString path_;
    qint64 startMs_ = 0;
    std::map<int, Playing> playings_;
    int next_ = 1;
};

} // namespace tv
