// Sound and video through libmpv. One mpv instance for each player; its events arrive on mpv's
// own thread and are handled on the window thread. Videos are drawn by mpv's software renderer
// into an image that the player's control paints, so a video is never a window of its own and
// shows headless and in screenshots too.

#include "platform/core/errors.h"
#include "platform/media_backends.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <clocale>
#include <cmath>
#include <mpv/client.h>
#include <mpv/render.h>

namespace tv {

namespace {

// Loading a local file takes milliseconds; a file that takes this long is taken as unplayable
// rather than left to hang the game.
constexpr int kLoadLimitMs = 10000;
// A video shows its first picture before the game goes on, so that what the player sees (and a
// screenshot) does not depend on how fast the decoder thread was.
constexpr int kFirstPictureLimitMs = 3000;

void setOption(mpv_handle* mpv, const char* name, const char* value) {
    mpv_set_option_string(mpv, name, value); // an option this libmpv lacks is simply not set
}

// The options every instance shares: no configuration, scripts, key bindings or on-screen
// controls of mpv's own; start paused and stay on the last frame at the end.
mpv_handle* createInstance(bool video, const char* audioOutput) {
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* mpv = mpv_create();
    if (!mpv) throw vbError(err::OutOfMemory);
    for (const auto& [name, value] : {std::pair{"config", "no"},
                                      {"terminal", "no"},
                                      {"input-default-bindings", "no"},
                                      {"input-vo-keyboard", "no"},
                                      {"osc", "no"},
                                      {"ytdl", "no"},
                                      {"load-scripts", "no"},
                                      {"load-stats-overlay", "no"},
                                      {"load-osd-console", "no"},
                                      {"load-auto-profiles", "no"},
                                      {"osd-level", "0"},
                                      {"sub-auto", "no"},
                                      {"audio-file-auto", "no"},
                                      {"audio-display", "no"},
                                      {"hwdec", "no"},
                                      {"idle", "yes"},
                                      {"keep-open", "yes"},
                                      {"pause", "yes"},
                                      {"volume-max", "100"}})
        setOption(mpv, name, value);
    setOption(mpv, "ao", audioOutput);
    setOption(mpv, "vo", video ? "libmpv" : "null");
    setOption(mpv, "vid", video ? "auto" : "no");
    if (!video) {
        // Sound files say what they are in their first bytes and first half second; FFmpeg's
        // default look at five seconds of them makes every start several times slower.
        setOption(mpv, "demuxer-lavf-probesize", "32768");
        setOption(mpv, "demuxer-lavf-analyzeduration", "0.5");
    }
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        throw vbError(err::DeviceIOError);
    }
    mpv_request_log_messages(mpv, "no");
    return mpv;
}

class MpvBackend : public QObject, public MediaBackend {
public:
    explicit MpvBackend(bool video) : video_(video) {}

    ~MpvBackend() override {
        if (render_) mpv_render_context_free(render_);
        if (mpv_) {
            mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
            mpv_terminate_destroy(mpv_);
        }
    }

    MediaInfo open(const QString& path) override {
        if (!QFileInfo(path).isFile()) throw vbError(err::FileNotFound);
        ensureInstance();
        loaded_ = false;
        atStart_ = true;
        frame_ = QImage();
        pictureReady_ = false;
        playing_ = false;
        setFlag("pause", true);
        const QByteArray file = path.toUtf8();
        const char* command[] = {"loadfile", file.constData(), "replace", nullptr};
        if (mpv_command(mpv_, command) < 0) throw vbError(err::InvalidFileFormat);
        waitFor([this] { return loaded_ || failed_; }, kLoadLimitMs);
        if (!loaded_) {
            failed_ = false;
            throw vbError(err::InvalidFileFormat);
        }
        MediaInfo info;
        double seconds = 0;
        if (mpv_get_property(mpv_, "duration", MPV_FORMAT_DOUBLE, &seconds) >= 0 && seconds > 0)
            info.durationMs = qint64(std::llround(seconds * 1000));
        if (video_ && hasVideoTrack()) {
            waitFor([this] { return pictureReady_; }, kFirstPictureLimitMs);
            qint64 w = 0, h = 0;
            mpv_get_property(mpv_, "dwidth", MPV_FORMAT_INT64, &w);
            mpv_get_property(mpv_, "dheight", MPV_FORMAT_INT64, &h);
            info.videoSize = QSize(int(w), int(h));
        }
        return info;
    }

    void play(int playCount, double fromSeconds) override {
        if (!mpv_) return;
        drain(); // an end reported before this start is not this start's end
        const QByteArray loops =
            playCount <= 0 ? QByteArray("inf") : QByteArray::number(playCount - 1);
        mpv_set_property_string(mpv_, "loop-file", playCount == 1 ? "no" : loops.constData());
        if (!atStart_ || fromSeconds > 0) seekTo(fromSeconds);
        atStart_ = false;
        playing_ = true;
        setFlag("pause", false);
    }

    void stop() override {
        playing_ = false;
        if (!mpv_ || !loaded_) return;
        setFlag("pause", true);
        seekTo(0);
        atStart_ = true;
    }

    void setVolume(int hundredthsOfDecibel) override {
        if (!mpv_) ensureInstance();
        // mpv's volume is cubic: a gain g is 100 * cbrt(g) on its scale.
        double volume = 100 * std::cbrt(volumeGain(hundredthsOfDecibel));
        mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume);
    }

    void setRate(double rate) override {
        if (!mpv_) ensureInstance();
        double speed = std::clamp(rate, 0.01, 100.0);
        mpv_set_property(mpv_, "speed", MPV_FORMAT_DOUBLE, &speed);
    }

    double position() const override {
        double seconds = 0;
        if (mpv_ && loaded_) mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &seconds);
        return seconds;
    }

    bool reportsEnd() const override { return true; }

    QImage renderFrame(QSize size) override {
        if (!render_ || !pictureReady_ || size.isEmpty()) return {};
        if (!dirty_ && frame_.size() == size) return frame_;
        if (frame_.size() != size) frame_ = QImage(size, QImage::Format_RGB32);
        int dimensions[2] = {size.width(), size.height()};
        char format[] = "bgr0"; // QImage's RGB32 in memory order on little-endian machines
        size_t stride = size_t(frame_.bytesPerLine());
        mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                     {MPV_RENDER_PARAM_SW_FORMAT, format},
                                     {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                     {MPV_RENDER_PARAM_SW_POINTER, frame_.bits()},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_render(render_, params) < 0) return {};
        // mpv leaves the fourth byte undefined; Qt's RGB32 wants it 0xFF, or some ways of
        // drawing take the picture as transparent.
        for (int y = 0; y < size.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(frame_.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                line[x] |= 0xFF000000u;
        }
        dirty_ = false;
        return frame_;
    }

private:
    void ensureInstance() {
        if (mpv_) return;
        const char* output = soundOutput() == SoundOutput::None ? "null"
                             : soundCardPresent()               ? "pulse,alsa,null"
                                                                : "pulse,null";
        mpv_ = createInstance(video_, output);
        mpv_observe_property(mpv_, 0, "eof-reached", MPV_FORMAT_FLAG);
        mpv_set_wakeup_callback(
            mpv_,
            [](void* context) {
                auto* backend = static_cast<MpvBackend*>(context);
                QMetaObject::invokeMethod(
                    backend, [backend] { backend->drain(); }, Qt::QueuedConnection);
            },
            this);
        if (video_) createRenderer();
    }

    void createRenderer() {
        char api[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&render_, mpv_, params) < 0) {
            render_ = nullptr;
            return;
        }
        mpv_render_context_set_update_callback(
            render_,
            [](void* context) {
                auto* backend = static_cast<MpvBackend*>(context);
                QMetaObject::invokeMethod(
                    backend, [backend] { backend->renderUpdate(); }, Qt::QueuedConnection);
            },
            this);
    }

    bool hasVideoTrack() const {
        char* vid = mpv_get_property_string(mpv_, "vid");
        const bool has = vid && QByteArray(vid) != "no";
        mpv_free(vid);
        return has;
    }

    void renderUpdate() {
        if (!render_) return;
        if (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) {
            pictureReady_ = loaded_;
            dirty_ = true;
            if (frameReady) frameReady();
        }
    }

    // Waits on mpv's events (and only those: nothing of the game runs meanwhile) until `done`.
    template <class Done> void waitFor(Done done, int limitMs) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < limitMs) {
            handle(mpv_wait_event(mpv_, 0.005));
            drain();
            if (render_) renderUpdate();
        }
    }

    void drain() {
        if (!mpv_) return;
        for (;;) {
            mpv_event* event = mpv_wait_event(mpv_, 0);
            if (event->event_id == MPV_EVENT_NONE) return;
            handle(event);
        }
    }

    void handle(mpv_event* event) {
        switch (event->event_id) {
        case MPV_EVENT_FILE_LOADED:
            loaded_ = true;
            failed_ = false;
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<mpv_event_end_file*>(event->data);
            if (end->reason == MPV_END_FILE_REASON_ERROR) {
                failed_ = true;
                loaded_ = false;
            }
            break;
        }
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* property = static_cast<mpv_event_property*>(event->data);
            if (property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data) &&
                playing_) {
                playing_ = false;
                if (ended) ended();
            }
            break;
        }
        default:
            break;
        }
    }

    void seekTo(double seconds) {
        const QByteArray to = QByteArray::number(seconds, 'f', 3);
        const char* command[] = {"seek", to.constData(), "absolute+exact", nullptr};
        mpv_command(mpv_, command);
        // Until the picture at the new place is decoded mpv draws nothing: wait for it, so that
        // a rewound video never shows black.
        if (render_ && pictureReady_) {
            pictureReady_ = false;
            waitFor([this] { return pictureReady_; }, kFirstPictureLimitMs);
            pictureReady_ = true;
        }
    }

    void setFlag(const char* name, bool on) {
        int flag = on ? 1 : 0;
        mpv_set_property(mpv_, name, MPV_FORMAT_FLAG, &flag);
    }

    const bool video_;
    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    QImage frame_;
    bool loaded_ = false;
    bool failed_ = false;
    bool playing_ = false;
    bool atStart_ = true;
    bool pictureReady_ = false;
    bool dirty_ = false;
};

} // namespace

std::unique_ptr<MediaBackend> createStreamBackend(bool video) {
    return std::make_unique<MpvBackend>(video);
}

std::vector<qint16> decodeStreamPcm(const QString& path) {
    QTemporaryDir dir;
    if (!dir.isValid()) return {};
    const QString out = dir.filePath("decoded.wav");
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* mpv = mpv_create();
    if (!mpv) return {};
    const QByteArray outFile = out.toUtf8();
    const QByteArray rate = QByteArray::number(kMixRate);
    for (const auto& [name, value] : {std::pair{"config", "no"},
                                      {"terminal", "no"},
                                      {"load-scripts", "no"},
                                      {"ytdl", "no"},
                                      {"vid", "no"},
                                      {"vo", "null"},
                                      {"ao", "pcm"},
                                      {"ao-pcm-waveheader", "yes"},
                                      {"untimed", "yes"},
                                      {"audio-channels", "stereo"},
                                      {"audio-format", "s16"}})
        setOption(mpv, name, value);
    setOption(mpv, "ao-pcm-file", outFile.constData());
    setOption(mpv, "audio-samplerate", rate.constData());
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return {};
    }
    const QByteArray file = path.toUtf8();
    const char* command[] = {"loadfile", file.constData(), nullptr};
    mpv_command(mpv, command);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 120000) {
        mpv_event* event = mpv_wait_event(mpv, 1);
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN) break;
    }
    mpv_terminate_destroy(mpv); // closes the file and writes its header

    QFile wav(out);
    if (!wav.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = wav.readAll();
    // mpv writes a plain 44-byte header; find "data" anyway rather than trust the offset.
    const qsizetype at = data.indexOf("data", 12);
    if (at < 0 || at + 8 > data.size()) return {};
    const qsizetype begin = at + 8;
    const qsizetype count = (data.size() - begin) / 2;
    std::vector<qint16> samples(size_t(count & ~qsizetype(1)));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(data.constData() + begin + 2 * i);
    return samples;
}

double volumeGain(int hundredthsOfDecibel) {
    return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}

} // namespace tv
