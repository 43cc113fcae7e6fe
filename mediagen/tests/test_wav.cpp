#include "mediagen/mediagen.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tv::mediagen {
namespace {

void le16(QByteArray& out, quint32 v) {
    char b[2];
    qToLittleEndian(quint16(v), b);
    out.append(b, 2);
}

void le32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray out(id, 4);
    le32(out, quint32(body.size()));
    out += body;
    if (body.size() & 1) out += '\0';
    return out;
}

QByteArray fmtBody(int format, int channels, int rate, int bits) {
    QByteArray body;
    le16(body, quint32(format));
    le16(body, quint32(channels));
    le32(body, quint32(rate));
    le32(body, quint32(rate * channels * bits / 8));
    le16(body, quint32(channels * bits / 8));
    le16(body, quint32(bits));
    return body;
}

QByteArray riff(const QByteArray& chunks) {
    QByteArray out("RIFF");
    le32(out, quint32(4 + chunks.size()));
    return out + "WAVE" + chunks;
}

WavData sine(double hz, double amplitude, int ms, int rate = 8000) {
    WavData wav;
    wav.sampleRate = rate;
    wav.channels = 1;
    for (int i = 0; i < ms * rate / 1000; ++i)
        wav.samples.append(float(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate)));
    return wav;
}

TEST(Wav, ToneIsHeardAtItsFrequencyOnly) {
    for (int bits : {8, 16}) {
        SCOPED_TRACE(bits);
        const auto wav = parseWav(wavTone(440, 1000, 22050, 2, bits, 0.5));
        ASSERT_TRUE(wav);
        EXPECT_EQ(wav->sampleRate, 22050);
        EXPECT_EQ(wav->channels, 2);
        EXPECT_DOUBLE_EQ(wav->durationMs(), 1000.0);
        EXPECT_NEAR(toneLevel(*wav, 440, 0, 1000), 0.5, 0.02);
        EXPECT_NEAR(toneLevel(*wav, 440, 250, 100), 0.5, 0.02);
        EXPECT_LT(toneLevel(*wav, 880, 0, 1000), 0.02);
        EXPECT_LT(toneLevel(*wav, 470, 0, 1000), 0.02);
        EXPECT_NEAR(rmsLevel(*wav, 0, 1000), 0.5 / std::sqrt(2.0), 0.01);
    }
}

TEST(Wav, SilenceAndOddSizes) {
    const auto silence = parseWav(wavSilence(500, 11025, 1, 8));
    ASSERT_TRUE(silence);
    EXPECT_NEAR(silence->durationMs(), 500.0, 0.1);
    EXPECT_LT(toneLevel(*silence, 440, 0, 500), 1e-6);
    EXPECT_LT(rmsLevel(*silence, 0, 500), 1e-2);
    // 8-bit mono with an odd number of samples: the data chunk is padded, the header says so.
    const QByteArray odd = wavTone(300, 1, 11025, 1, 8);
    EXPECT_EQ(odd.size() % 2, 0);
    EXPECT_EQ(qFromLittleEndian<quint32>(odd.constData() + 4), quint32(odd.size() - 8));
    ASSERT_TRUE(parseWav(odd));
    EXPECT_EQ(parseWav(odd)->frameCount(), 11);

    EXPECT_TRUE(wavTone(440, 100, 22050, 1, 12).isEmpty());
    EXPECT_TRUE(wavTone(440, 100, 0).isEmpty());
}

TEST(Wav, LevelsFollowTheStretchAsked) {
    WavData wav = sine(1000, 1.0, 500);
    wav.samples.append(QVector<float>(4000, 0.0f)); // then half a second of silence
    EXPECT_NEAR(toneLevel(wav, 1000, 0, 500), 1.0, 0.02);
    EXPECT_LT(toneLevel(wav, 1000, 600, 300), 0.01);
    EXPECT_NEAR(rmsLevel(wav, 100, 300), std::sqrt(0.5), 0.01);
    EXPECT_LT(rmsLevel(wav, 600, 300), 1e-6);
    // Clipped to the recording; nothing left is silence.
    EXPECT_NEAR(toneLevel(wav, 1000, -200, 600), 1.0, 0.05);
    EXPECT_EQ(toneLevel(wav, 1000, 2000, 100), 0.0);
    EXPECT_EQ(rmsLevel(wav, 0, 0), 0.0);
    // Two tones at once: each is found at its own level.
    WavData mix = sine(500, 0.3, 400);
    const WavData other = sine(1500, 0.6, 400);
    for (int i = 0; i < mix.samples.size(); ++i)
        mix.samples[i] += other.samples[i];
    EXPECT_NEAR(toneLevel(mix, 500, 0, 400), 0.3, 0.02);
    EXPECT_NEAR(toneLevel(mix, 1500, 0, 400), 0.6, 0.02);
}

TEST(Wav, ChannelsAreMixedForTheTone) {
    // Left carries the tone, right is silent: the mix holds it at half strength.
    const WavData mono = sine(700, 0.8, 200);
    WavData stereo;
    stereo.sampleRate = mono.sampleRate;
    stereo.channels = 2;
    for (float s : mono.samples)
        stereo.samples << s << 0.0f;
    EXPECT_NEAR(toneLevel(stereo, 700, 0, 200), 0.4, 0.02);
}

TEST(Wav, ReadsOtherSampleFormatsAndSkipsUnknownChunks) {
    // 32-bit float, behind a LIST chunk of odd length.
    QByteArray floats;
    for (float v : {0.5f, -0.25f, 1.0f, 0.0f}) {
        char b[4];
        qToLittleEndian(v, b);
        floats.append(b, 4);
    }
    const QByteArray floatFile = riff(chunk("fmt ", fmtBody(3, 2, 48000, 32)) +
                                      chunk("LIST", "INFOabc") + chunk("data", floats));
    auto wav = parseWav(floatFile);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->sampleRate, 48000);
    EXPECT_EQ(wav->frameCount(), 2);
    EXPECT_EQ(wav->samples, (QVector<float>{0.5f, -0.25f, 1.0f, 0.0f}));

    // 32-bit integers in the extensible form (the format is named by the sub-format GUID).
    QByteArray ext = fmtBody(0xFFFE, 1, 8000, 32);
    le16(ext, 22);
    le16(ext, 32);
    le32(ext, 4);
    le16(ext, 1); // PCM
    ext.append(QByteArray(14, '\x10'));
    QByteArray ints;
    le32(ints, 0x40000000u);
    le32(ints, 0x80000000u);
    wav = parseWav(riff(chunk("fmt ", ext) + chunk("data", ints)));
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->samples, (QVector<float>{0.5f, -1.0f}));

    // 24-bit: three bytes, signed.
    wav = parseWav(
        riff(chunk("fmt ", fmtBody(1, 1, 8000, 24)) + chunk("data", QByteArray("\0\0\xC0", 3))));
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->samples, QVector<float>{-0.5f});
}

TEST(Wav, ARecordingCutShortRunsToTheEnd) {
    QByteArray samples;
    for (int i = 0; i < 6; ++i)
        le16(samples, quint32(qint16(1000 * i)));
    for (quint32 declared : {0u, 0xFFFFFFFFu}) {
        QByteArray file = riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)));
        file += "data";
        le32(file, declared);
        file += samples;
        const auto wav = parseWav(file);
        ASSERT_TRUE(wav) << declared;
        EXPECT_EQ(wav->frameCount(), 6);
        EXPECT_FLOAT_EQ(wav->samples[5], 5000.0f / 32768.0f);
    }
}

TEST(Wav, RejectsWhatItCannotRead) {
    EXPECT_FALSE(parseWav({}));
    EXPECT_FALSE(parseWav(QByteArray("RIFF\x04\0\0\0AVI ", 12)));
    // Data before any format.
    EXPECT_FALSE(parseWav(riff(chunk("data", "abcd"))));
    // Compressed (ADPCM) data.
    EXPECT_FALSE(parseWav(riff(chunk("fmt ", fmtBody(2, 1, 8000, 4)) + chunk("data", "abcd"))));
    EXPECT_FALSE(readWav("/nonexistent/file.wav"));
}

TEST(Wav, WrittenFileReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tone.wav");
    ASSERT_TRUE(writeFile(path, wavTone(1000, 250, 44100, 1, 16, 1.0)));
    const auto wav = readWav(path);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(wav->durationMs(), 250.0, 0.05);
    EXPECT_NEAR(toneLevel(*wav, 1000, 0, 250), 1.0, 0.02);
    EXPECT_FALSE(writeFile(dir.filePath("missing/folder/x.wav"), "x"));
}

} // namespace
} // namespace tv::mediagen
