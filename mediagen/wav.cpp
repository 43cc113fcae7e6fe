// WAV files: tones and silence written, recordings read back and measured.

#include "mediagen/byte_writer.h"
#include "mediagen/mediagen.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tv::mediagen {

namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;

// A WAV of `frames` sample frames whose value at frame i is sample(i) (-1 ... 1).
template <class Sample>
QByteArray pcmWav(qint64 frames, int sampleRate, int channels, int bits, Sample sample) {
    if (sampleRate <= 0 || channels <= 0 || frames < 0 || (bits != 8 && bits != 16)) return {};
    const int blockAlign = channels * bits / 8;
    const qint64 dataSize = frames * blockAlign;
    if (dataSize > 0x7FFFFF00) return {};

    detail::ByteWriter w;
    w.tag("RIFF");
    w.le32(quint32(36 + dataSize + (dataSize & 1)));
    w.tag("WAVE");
    w.tag("fmt ");
    w.le32(16);
    w.le16(kFormatPcm);
    w.le16(quint32(channels));
    w.le32(quint32(sampleRate));
    w.le32(quint32(sampleRate * blockAlign));
    w.le16(quint32(blockAlign));
    w.le16(quint32(bits));
    w.tag("data");
    w.le32(quint32(dataSize));
    w.bytes().reserve(w.size() + dataSize + 1);
    for (qint64 i = 0; i < frames; ++i) {
        const double v = std::clamp(sample(i), -1.0, 1.0);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8)
                w.u8(128 + int(std::lround(v * 127.0)));
            else
                w.le16(quint16(qint16(std::lround(v * 32767.0))));
        }
    }
    if (dataSize & 1) w.u8(0); // chunks keep an even length
    return w.bytes();
}

qint64 framesFor(int ms, int sampleRate) {
    return std::max<qint64>(0, std::llround(double(ms) * sampleRate / 1000.0));
}

// The sample frames [first, last) of the stretch, clipped to the recording.
std::pair<qint64, qint64> stretch(const WavData& wav, double startMs, double lengthMs) {
    const qint64 total = wav.frameCount();
    if (wav.sampleRate <= 0 || total == 0 || !(lengthMs > 0)) return {0, 0};
    const auto at = [&](double ms) {
        return std::clamp<qint64>(std::llround(ms * wav.sampleRate / 1000.0), 0, total);
    };
    return {at(startMs), at(startMs + lengthMs)};
}

float decodeSample(const uchar* p, int format, int bits) {
    if (format == kFormatFloat) {
        if (bits == 32) return qFromLittleEndian<float>(p);
        return float(qFromLittleEndian<double>(p));
    }
    switch (bits) {
    case 8:
        return (int(p[0]) - 128) / 128.0f;
    case 16:
        return qFromLittleEndian<qint16>(p) / 32768.0f;
    case 24: {
        // Sign-extend the three bytes through the top of a 32-bit word.
        const qint32 v = qint32(quint32(p[0]) << 8 | quint32(p[1]) << 16 | quint32(p[2]) << 24);
        return float(v / 2147483648.0);
    }
    default:
        return float(qFromLittleEndian<qint32>(p) / 2147483648.0);
    }
}

} // namespace

QByteArray wavTone(double hz, int ms, int sampleRate, int channels, int bits, double amplitude) {
    if (sampleRate <= 0) return {};
    const double step = 2.0 * std::numbers::pi * hz / sampleRate;
    return pcmWav(framesFor(ms, sampleRate), sampleRate, channels, bits,
                  [&](qint64 i) { return amplitude * std::sin(step * double(i)); });
}

QByteArray wavSilence(int ms, int sampleRate, int channels, int bits) {
    return pcmWav(framesFor(ms, sampleRate), sampleRate, channels, bits,
                  [](qint64) { return 0.0; });
}

double WavData::durationMs() const {
    return sampleRate > 0 ? frameCount() * 1000.0 / sampleRate : 0.0;
}

std::optional<WavData> readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parseWav(file.readAll());
}

std::optional<WavData> parseWav(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") return std::nullopt;

    int format = 0, channels = 0, sampleRate = 0, blockAlign = 0, bits = 0;
    bool haveFormat = false;
    qsizetype pos = 12;
    while (pos + 8 <= size) {
        const QByteArray id = bytes.mid(pos, 4);
        qint64 chunkSize = qFromLittleEndian<quint32>(data + pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt " && chunkSize >= 16 && body + chunkSize <= size) {
            format = qFromLittleEndian<quint16>(data + body);
            channels = qFromLittleEndian<quint16>(data + body + 2);
            sampleRate = int(qFromLittleEndian<quint32>(data + body + 4));
            blockAlign = qFromLittleEndian<quint16>(data + body + 12);
            bits = qFromLittleEndian<quint16>(data + body + 14);
            // The extensible form names the real format in the first bytes of its GUID.
            if (format == kFormatExtensible && chunkSize >= 26)
                format = qFromLittleEndian<quint16>(data + body + 24);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return std::nullopt;
            const qint64 left = size - body;
            if (chunkSize > left || (chunkSize == 0 && left > 0)) chunkSize = left;
            const bool intOk =
                format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool floatOk = format == kFormatFloat && (bits == 32 || bits == 64);
            if ((!intOk && !floatOk) || channels <= 0 || sampleRate <= 0 ||
                blockAlign != channels * bits / 8)
                return std::nullopt;
            WavData wav;
            wav.sampleRate = sampleRate;
            wav.channels = channels;
            const qint64 frames = chunkSize / blockAlign;
            wav.samples.resize(frames * channels);
            const int width = bits / 8;
            for (qint64 i = 0; i < frames * channels; ++i)
                wav.samples[i] = decodeSample(data + body + i * width, format, bits);
            return wav;
        }
        pos = body + chunkSize + (chunkSize & 1);
    }
    return std::nullopt;
}

double toneLevel(const WavData& wav, double hz, double startMs, double lengthMs) {
    const auto [first, last] = stretch(wav, startMs, lengthMs);
    const qint64 n = last - first;
    if (n < 2) return 0.0;
    // Goertzel at the exact frequency, under a Hann window so that other tones and the edges of
    // the stretch leak little into it. Scaled by the window's sum: a sine of amplitude A gives A.
    const double coeff = 2.0 * std::cos(2.0 * std::numbers::pi * hz / wav.sampleRate);
    double s1 = 0, s2 = 0, windowSum = 0;
    const int ch = wav.channels;
    for (qint64 i = 0; i < n; ++i) {
        double x = 0;
        for (int c = 0; c < ch; ++c)
            x += wav.samples[(first + i) * ch + c];
        x /= ch;
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(n - 1));
        windowSum += w;
        const double s = x * w + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = std::max(0.0, s1 * s1 + s2 * s2 - coeff * s1 * s2);
    return 2.0 * std::sqrt(power) / windowSum;
}

double rmsLevel(const WavData& wav, double startMs, double lengthMs) {
    const auto [first, last] = stretch(wav, startMs, lengthMs);
    if (last <= first) return 0.0;
    double sum = 0;
    for (qint64 i = first * wav.channels; i < last * wav.channels; ++i)
        sum += double(wav.samples[i]) * wav.samples[i];
    return std::sqrt(sum / double((last - first) * wav.channels));
}

} // namespace tv::mediagen
