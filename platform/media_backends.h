#pragma once
// The media back ends behind MediaPlayer, and what the sound recorder needs of them. Internal to
// the platform layer.

#include "platform/media_player.h"

#include <QString>
#include <memory>
#include <vector>

namespace tv {

// Sound is mixed and written at this rate, in 16-bit stereo.
constexpr int kMixRate = 44100;

// libmpv: every sound and video format it knows. Video players draw through its software
// renderer; sound players never decode pictures.
std::unique_ptr<MediaBackend> createStreamBackend(bool video);
// FluidSynth with the General MIDI soundfont.
std::unique_ptr<MediaBackend> createMidiBackend();

// Whole files decoded to interleaved stereo samples at kMixRate, as fast as the machine goes.
// Empty when the file cannot be decoded.
std::vector<qint16> decodeStreamPcm(const QString& path);
std::vector<qint16> renderMidiPcm(const QString& path);

// Whether the machine has a sound card for ALSA to open (ALSA complains on the terminal about
// every attempt when there is none).
bool soundCardPresent();

// Amplitude factor of a volume in hundredths of a decibel (0 = 1, -2000 = 0.1).
double volumeGain(int hundredthsOfDecibel);

} // namespace tv
