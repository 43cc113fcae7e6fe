#include "platform/sound_recorder.h"

#include "platform/clock.h"
#include "platform/media_backends.h"

#include <QFile>
#include <QHash>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace tv {

SoundRecorder& SoundRecorder::instance() {
    static SoundRecorder recorder;
    return recorder;
}

void SoundRecorder::start(const QString& path) {
    path_ = path;
    startMs_ = Clock::instance().nowMs();
    playings_.clear();
}

int SoundRecorder::begin(const QString& path, bool midi, int playCount, double fromSeconds,
                         int volume, double rate) {
    if (!active()) return 0;
    const qint64 now = Clock::instance().nowMs();
    Playing p{path, midi, playCount, fromSeconds, rate > 0 ? rate : 1, now, -1, {{now, volume}}};
    playings_.emplace(next_, std::move(p));
    return next_++;
}

void SoundRecorder::setVolume(int playing, int volume) {
    auto it = playings_.find(playing);
    if (it == playings_.end() || it->second.endMs >= 0) return;
    it->second.volumes.emplace_back(Clock::instance().nowMs(), volume);
}

void SoundRecorder::end(int playing) {
    auto it = playings_.find(playing);
    if (it != playings_.end() && it->second.endMs < 0) it->second.endMs = Clock::instance().nowMs();
}

bool SoundRecorder::finish(QString* error) {
    if (!active()) return true;
    const qint64 endMs = Clock::instance().nowMs();
    const qint64 frames = std::max<qint64>(0, (endMs - startMs_) * kMixRate / 1000);
    std::vector<float> mix(size_t(frames) * 2, 0.0f);

    auto frameAt = [&](qint64 ms) {
        return std::clamp<qint64>((ms - startMs_) * kMixRate / 1000, 0, frames);
    };
    QHash<QString, std::vector<qint16>> decoded;
    for (const auto& [number, p] : playings_) {
        auto found = decoded.find(p.path);
        if (found == decoded.end())
            found =
                decoded.insert(p.path, p.midi ? renderMidiPcm(p.path) : decodeStreamPcm(p.path));
        const std::vector<qint16>& source = *found;
        const qint64 sourceFrames = qint64(source.size() / 2);
        if (sourceFrames == 0) continue;
        const qint64 first = frameAt(p.beginMs);
        const qint64 last = p.endMs < 0 ? frames : frameAt(p.endMs);
        const qint64 offset = qint64(p.fromSeconds * kMixRate);
        // Played n times: the source repeats n times and then falls silent.
        const qint64 length = p.playCount <= 0 ? -1 : sourceFrames * p.playCount;
        size_t v = 0;
        double gain = volumeGain(p.volumes.front().second);
        for (qint64 f = first; f < last; ++f) {
            const qint64 at = offset + qint64(double(f - first) * p.rate);
            if (length >= 0 && at >= length) break;
            const qint64 ms = startMs_ + f * 1000 / kMixRate;
            while (v + 1 < p.volumes.size() && p.volumes[v + 1].first <= ms)
                gain = volumeGain(p.volumes[++v].second);
            const qint64 s = (at % sourceFrames) * 2;
            mix[size_t(f) * 2] += float(source[size_t(s)] * gain);
            mix[size_t(f) * 2 + 1] += float(source[size_t(s) + 1] * gain);
        }
    }

    QByteArray out(44 + qsizetype(mix.size()) * 2, '\0');
    char* h = out.data();
    auto put32 = [](char* at, quint32 v) { qToLittleEndian<quint32>(v, at); };
    auto put16 = [](char* at, quint16 v) { qToLittleEndian<quint16>(v, at); };
    memcpy(h, "RIFF", 4);
    put32(h + 4, quint32(out.size() - 8));
    memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 2);
    put32(h + 24, kMixRate);
    put32(h + 28, kMixRate * 4);
    put16(h + 32, 4);
    put16(h + 34, 16);
    memcpy(h + 36, "data", 4);
    put32(h + 40, quint32(mix.size() * 2));
    for (size_t i = 0; i < mix.size(); ++i) {
        const auto sample = qint16(std::clamp(std::lround(mix[i]), -32768L, 32767L));
        qToLittleEndian<qint16>(sample, h + 44 + 2 * i);
    }

    const QString path = path_;
    path_.clear();
    playings_.clear();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        if (error) *error = path + ": " + file.errorString();
        return false;
    }
    return true;
}

} // namespace tv
