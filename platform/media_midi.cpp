// MIDI music through FluidSynth. Each player that plays MIDI has a synthesiser of its own, so
// two MIDI files can sound together; the soundfont's samples are loaded once and shared by all
// synthesisers (FluidSynth keeps one copy of a soundfont's samples for every synthesiser that
// loads the same file).

#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/core/midi_timing.h"
#include "platform/media_backends.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <fluidsynth.h>

namespace tv {

namespace {

// Full volume of the synthesiser (FluidSynth's own default, 0.2, is far quieter than the sound
// files a game plays beside its music); volumes scale it down from here.
constexpr double kBaseGain = 1.0;
// A limit on what one file may render for the recorder, so that a broken file cannot run away.
constexpr qint64 kLongestRenderMs = 30 * 60 * 1000;

QString soundfontPath() {
    QStringList candidates;
    if (!qEnvironmentVariableIsEmpty("TV_SOUNDFONT"))
        candidates << qEnvironmentVariable("TV_SOUNDFONT");
    candidates << "/usr/share/sounds/sf2/default-GM.sf2"
               << "/usr/share/sounds/sf2/TimGM6mb.sf2"
               << "/usr/share/sounds/sf2/FluidR3_GM.sf2"
               << "/usr/share/soundfonts/default.sf2";
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return path;
    return {};
}

// One settings object for every synthesiser: the same rate and timing everywhere.
fluid_settings_t* settings() {
    static fluid_settings_t* shared = [] {
        // FluidSynth reports through stderr by default; failures here become the player's errors.
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        fluid_settings_t* s = new_fluid_settings();
        fluid_settings_setnum(s, "synth.sample-rate", kMixRate);
        fluid_settings_setstr(s, "player.timing-source", "sample");
        fluid_settings_setint(s, "synth.lock-memory", 0);
        return s;
    }();
    return shared;
}

fluid_synth_t* newSynth() {
    const QString font = soundfontPath();
    if (font.isEmpty()) throw vbError(err::FileNotFound, "No General MIDI soundfont installed");
    fluid_synth_t* synth = new_fluid_synth(settings());
    if (!synth) throw vbError(err::OutOfMemory);
    if (fluid_synth_sfload(synth, QFile::encodeName(font).constData(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth);
        throw vbError(err::InvalidFileFormat, "The General MIDI soundfont cannot be read");
    }
    return synth;
}

qint64 readMidiDuration(const QString& path) {
    if (!QFileInfo(path).isFile()) throw vbError(err::FileNotFound);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw vbError(err::PermissionDenied);
    const QByteArray data = file.readAll();
    if (!looksLikeMidi(data)) throw vbError(err::InvalidFileFormat);
    return midiDurationMs(data);
}

class MidiBackend : public MediaBackend {
public:
    ~MidiBackend() override {
        stopPlayer();
        if (synth_) delete_fluid_synth(synth_);
    }

    MediaInfo open(const QString& path) override {
        stop();
        MediaInfo info;
        info.durationMs = readMidiDuration(path);
        path_ = QFile::encodeName(path);
        return info;
    }

    void play(int playCount, double /*fromSeconds*/) override {
        stopPlayer();
        if (!synth_) {
            synth_ = newSynth();
            fluid_synth_set_gain(synth_, float(gain_));
        }
        player_ = new_fluid_player(synth_);
        if (!player_ || fluid_player_add(player_, path_.constData()) != FLUID_OK)
            throw vbError(err::InvalidFileFormat);
        fluid_player_set_loop(player_, playCount <= 0 ? -1 : playCount);
        fluid_player_play(player_);
        startedAtMs_ = Clock::instance().nowMs();
        // Without a sound output nothing renders and the player costs nothing; the recorder
        // renders the same file on a synthesiser of its own.
        if (soundOutput() == SoundOutput::Device) startDriver();
    }

    void stop() override { stopPlayer(); }

    void setVolume(int hundredthsOfDecibel) override {
        gain_ = kBaseGain * volumeGain(hundredthsOfDecibel);
        if (synth_) fluid_synth_set_gain(synth_, float(gain_));
    }

    void setRate(double) override {}

    double position() const override {
        return player_ ? (Clock::instance().nowMs() - startedAtMs_) / 1000.0 : 0;
    }

    // The synthesiser never says when the music is over: the player ends it on the clock.
    bool reportsEnd() const override { return false; }

private:
    void startDriver() {
        for (const char* name : {"pulseaudio", "alsa"}) {
            // ALSA writes its complaints to the terminal when there is no sound card at all.
            if (QByteArray(name) == "alsa" && !soundCardPresent()) continue;
            fluid_settings_setstr(settings(), "audio.driver", name);
            driver_ = new_fluid_audio_driver(settings(), synth_);
            if (driver_) return;
        }
    }

    // The sound thread reads the player while it renders: it is stopped before the player goes.
    void stopPlayer() {
        if (!player_) return;
        fluid_player_stop(player_);
        if (driver_) delete_fluid_audio_driver(driver_);
        driver_ = nullptr;
        delete_fluid_player(player_);
        player_ = nullptr;
        fluid_synth_all_sounds_off(synth_, -1);
        fluid_synth_system_reset(synth_);
    }

    QByteArray path_;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    double gain_ = kBaseGain;
    qint64 startedAtMs_ = 0;
};

} // namespace

std::unique_ptr<MediaBackend> createMidiBackend() {
    return std::make_unique<MidiBackend>();
}

std::vector<qint16> renderMidiPcm(const QString& path) {
    std::vector<qint16> samples;
    try {
        const qint64 durationMs = std::min(readMidiDuration(path), kLongestRenderMs);
        fluid_synth_t* synth = newSynth();
        fluid_synth_set_gain(synth, float(kBaseGain));
        fluid_player_t* player = new_fluid_player(synth);
        const QByteArray file = QFile::encodeName(path);
        if (player && fluid_player_add(player, file.constData()) == FLUID_OK) {
            fluid_player_play(player);
            // The music, then a second for the last notes to die away.
            const qint64 frames = (durationMs + 1000) * kMixRate / 1000;
            samples.resize(size_t(frames) * 2);
            constexpr int kBlock = 1024;
            for (qint64 done = 0; done < frames; done += kBlock) {
                const int n = int(std::min<qint64>(kBlock, frames - done));
                qint16* out = samples.data() + done * 2;
                fluid_synth_write_s16(synth, n, out, 0, 2, out, 1, 2);
            }
            fluid_player_stop(player);
        }
        if (player) delete_fluid_player(player);
        delete_fluid_synth(synth);
    } catch (const VbError&) {
        samples.clear();
    }
    return samples;
}

} // namespace tv
