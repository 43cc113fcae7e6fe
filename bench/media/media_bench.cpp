// Media figures on this machine, printed rather than asserted (a busy shared machine fails
// nothing):
//   - from Play to the first sound of a WAV reaching the output (the player's position moves),
//     median of many starts; the target is under 20 ms;
//   - a 640x480, 30 frames a second video drawn into the frame display in real time: processor
//     time of the whole process (decoder threads included) as a share of one core; the target is
//     under 30%.
//
//   bench_media [SECONDS_OF_VIDEO]

#include "mediagen/mediagen.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/video_player.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void playToFirstSound(const QString& dir) {
    const QString wav = dir + "/tone.wav";
    tv::mediagen::writeFile(wav, tv::mediagen::wavTone(440, 2000, 44100, 2));
    tv::MediaPlayer player("MPlayer", 1);
    std::vector<double> startOnly, withLoad;
    for (int run = 0; run < 30; ++run) {
        QElapsedTimer t;
        t.start();
        player.setFileName(wav);
        const double loaded = double(t.nsecsElapsed()) / 1e6;
        QElapsedTimer p;
        p.start();
        player.Play();
        while (player.currentPosition() <= 0 && p.elapsed() < 2000)
            tv::EventLoop::instance().drain();
        startOnly.push_back(double(p.nsecsElapsed()) / 1e6);
        withLoad.push_back(loaded + startOnly.back());
        player.Stop();
    }
    std::printf("play to first sound of a WAV: median %.1f ms (%.1f ms with loading the file), "
                "%zu starts\n",
                median(startOnly), median(withLoad), startOnly.size());
}

void videoLoad(const QString& dir, int seconds) {
    QList<QImage> frames;
    // A moving picture, so that every frame is really decoded and drawn anew.
    for (int i = 0; i < 30; ++i) {
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(QColor(20, 40, 90));
        QPainter painter(&image);
        painter.fillRect(i * 20, 100 + i * 5, 120, 120, QColor(230, 200, 40));
        painter.drawText(20, 40, QString("frame %1").arg(i));
        frames << image;
    }
    const QString avi = dir + "/clip.avi";
    tv::mediagen::writeFile(avi, tv::mediagen::mjpegAvi(frames, 30));

    tv::Form form("Game");
    tv::PictureBox display(&form, "PictureBox");
    form.setPixelGeometry(QRect(0, 0, 640, 480));
    display.setPixelGeometry(QRect(0, 0, 640, 480));
    tv::VideoPlayer video(&display, "VideoPlayer");
    video.setFileName(avi);
    video.setPlayCount(0);
    form.Show();
    video.Play();
    int painted = 0;
    QObject::connect(&video.player(), &tv::MediaPlayer::frameChanged, [&painted] { ++painted; });
    const double cpu0 = processSeconds();
    QElapsedTimer wall;
    wall.start();
    tv::EventLoop::instance().wait(seconds * 1000);
    const double cpu = processSeconds() - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000;
    video.Stop();
    std::printf("640x480 30 fps video drawn into the frame display: %.0f%% of one core "
                "(%.1f s processor time in %.1f s, %d pictures)\n",
                100 * cpu / elapsed, cpu, elapsed, painted);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    tv::Clock::instance().setMode(tv::Clock::Mode::Real);
    tv::setSoundOutput(tv::SoundOutput::None);
    QTemporaryDir dir;
    playToFirstSound(dir.path());
    videoLoad(dir.path(), seconds);
    return 0;
}
