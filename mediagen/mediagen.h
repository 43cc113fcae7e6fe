#pragma once
// Media written by program, so that the demo, the tests and the benchmarks carry no binary files:
// tones and silence (WAV), a few notes (MIDI), videos (Motion JPEG in AVI), animated pictures
// (GIF), and the reading back of a WAV file that recorded what the player made heard.
//
// Every writer returns the whole file; writeFile puts it on disk. Invalid arguments give an
// empty result rather than a broken file.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>

namespace tv::mediagen {

// Writes the bytes whole or not at all (a failed write leaves no half file behind).
bool writeFile(const QString& path, const QByteArray& bytes);

// ---------------------------------------------------------------------------------------------
// Sound

// A sine of `hz` for `ms` milliseconds as PCM WAV; bits 8 (unsigned) or 16 (signed), every
// channel the same. amplitude is of full scale (0 ... 1).
QByteArray wavTone(double hz, int ms, int sampleRate = 22050, int channels = 1, int bits = 16,
                   double amplitude = 0.5);
QByteArray wavSilence(int ms, int sampleRate = 22050, int channels = 1, int bits = 16);

struct MidiNote {
    int key; // 60 is middle C
    int startMs;
    int lengthMs;
    int velocity = 100;
};

constexpr int kMidiTicksPerQuarter = 480;

// A standard MIDI file, format 0: one track on channel 1 with the tempo, the program (0 ... 127,
// General MIDI numbering from 0) and the notes. Times become ticks at kMidiTicksPerQuarter.
QByteArray midiFile(const QList<MidiNote>& notes, int program = 0, int bpm = 120);

// ---------------------------------------------------------------------------------------------
// Video

// An AVI of one Motion JPEG stream, every frame a key frame. Frames take the first frame's size.
QByteArray mjpegAvi(const QList<QImage>& frames, int fps);
QByteArray solidColourVideo(QColor colour, int width, int height, int fps, int frameCount);
// framesPerColour frames of each colour in turn.
QByteArray colourSequenceVideo(const QList<QColor>& colours, int width, int height, int fps,
                               int framesPerColour);

// ---------------------------------------------------------------------------------------------
// Animated pictures

// A GIF89a animation; frames are placed at the top-left corner of a picture as large as the
// largest frame. Pixels with alpha 0 become transparent. Up to 256 colours (all frames
// together) are kept exactly; more are mapped to the nearest of a colour cube and greys.
// loopCount: 0 repeats for ever, n > 0 repeats n times after the first pass, negative writes no
// loop extension at all (one pass).
QByteArray animatedGif(const QList<QImage>& frames, int delayCentiseconds, int loopCount = 0);
// The same with a delay for each frame (the last delay repeats for frames beyond the list).
QByteArray animatedGif(const QList<QImage>& frames, const QList<int>& delaysCentiseconds,
                       int loopCount = 0);

// ---------------------------------------------------------------------------------------------
// Reading back what was heard

struct WavData {
    int sampleRate = 0;
    int channels = 0;
    QVector<float> samples; // interleaved, -1 ... 1

    qint64 frameCount() const { return channels > 0 ? samples.size() / channels : 0; }
    double durationMs() const;
};

// PCM of 8, 16, 24 or 32 bits, or floating point of 32 or 64 bits; other chunks are skipped.
// A data chunk whose size was never filled in (0, or beyond the end) runs to the end of the file,
// as a recording that was cut short leaves it. nullopt for anything else.
std::optional<WavData> readWav(const QString& path);
std::optional<WavData> parseWav(const QByteArray& bytes);

// How strongly `hz` sounds in the stretch (channels mixed): about the sine's amplitude, so a
// full-scale sine gives about 1, a half-scale one 0.5, and silence or other tones about 0.
// The stretch is clipped to the recording; an empty one gives 0.
double toneLevel(const WavData& wav, double hz, double startMs, double lengthMs);
// The root mean square of all samples (every channel) in the stretch; a full-scale sine gives
// about 0.707.
double rmsLevel(const WavData& wav, double startMs, double lengthMs);

} // namespace tv::mediagen
