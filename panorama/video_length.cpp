#include "panorama/video_length.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <mpv/client.h>

#include <clocale>
#include <cmath>

namespace tv::pano {

namespace {

// Opening a file takes milliseconds; a file that hangs the demuxer is given up on.
constexpr int kOpenLimitMs = 10000;

} // namespace

int videoFrameCount(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) return 0;
    std::setlocale(LC_NUMERIC, "C"); // libmpv refuses to start under another numeric locale
    mpv_handle* mpv = mpv_create();
    if (!mpv) return 0;
    for (const auto& [name, value] : {std::pair{"config", "no"},
                                      {"terminal", "no"},
                                      {"load-scripts", "no"},
                                      {"ytdl", "no"},
                                      {"vo", "null"},
                                      {"ao", "null"},
                                      {"aid", "no"},
                                      {"pause", "yes"}})
        mpv_set_option_string(mpv, name, value);
    int frames = 0;
    if (mpv_initialize(mpv) >= 0) {
        const QByteArray file = path.toUtf8();
        const char* command[] = {"loadfile", file.constData(), nullptr};
        mpv_command(mpv, command);
        QElapsedTimer timer;
        timer.start();
        bool loaded = false;
        while (!loaded && timer.elapsed() < kOpenLimitMs) {
            const mpv_event* event = mpv_wait_event(mpv, 1);
            if (event->event_id == MPV_EVENT_FILE_LOADED) loaded = true;
            if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN)
                break;
        }
        int64_t count = 0;
        double duration = 0, fps = 0;
        if (loaded) {
            if (mpv_get_property(mpv, "estimated-frame-count", MPV_FORMAT_INT64, &count) >= 0 &&
                count > 0) {
                frames = static_cast<int>(count);
            } else if (mpv_get_property(mpv, "duration", MPV_FORMAT_DOUBLE, &duration) >= 0 &&
                       mpv_get_property(mpv, "container-fps", MPV_FORMAT_DOUBLE, &fps) >= 0) {
                frames = static_cast<int>(std::lround(duration * fps));
            }
        }
    }
    mpv_terminate_destroy(mpv);
    return frames;
}

} // namespace tv::pano
