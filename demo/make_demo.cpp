// Builds the bundled demo game: its project data through the project writers, and its media
// drawn and synthesised here, so nothing is downloaded and nothing is a hand-made binary.
//
//   make-demo OUTPUT_FOLDER

#include "data/frame_record.h"
#include "data/project.h"
#include "platform/records.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A castle hall at dusk: a gradient sky, a floor and an arched doorway.
QImage hallPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(40, 30, 90));
    sky.setColorAt(1, QColor(200, 120, 60));
    p.fillRect(image.rect(), sky);
    p.fillRect(0, 360, kWidth, 120, QColor(70, 55, 40));
    p.setBrush(QColor(120, 110, 100));
    p.setPen(Qt::NoPen);
    p.drawRect(220, 120, 200, 240);
    QPainterPath arch;
    arch.moveTo(270, 360);
    arch.lineTo(270, 220);
    arch.arcTo(270, 170, 100, 100, 180, -180);
    arch.lineTo(370, 360);
    arch.closeSubpath();
    p.setBrush(QColor(20, 15, 10));
    p.drawPath(arch);
    return image;
}

// A small garden tile: grass with a flower, repeated over the frame.
QImage gardenTile() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(40, 140, 60));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 220, 40));
    p.drawEllipse(QPoint(32, 24), 6, 6);
    p.setBrush(QColor(30, 110, 45));
    p.drawRect(0, 44, 64, 4);
    return image;
}

// A short bell: a decaying sine, 8-bit mono at 22050 Hz.
QByteArray bellWav() {
    const int rate = 22050, samples = rate * 3 / 2;
    QByteArray data(samples, 0);
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        const double v = std::sin(2 * M_PI * 880 * t) * std::exp(-3 * t);
        data[i] = static_cast<char>(128 + 100 * v);
    }
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + data.size());
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate) << quint16(1)
      << quint16(8);
    s.writeRawData("data", 4);
    s << quint32(data.size());
    s.writeRawData(data.constData(), data.size());
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

tv::FrameRecord frame(int mode, const QString& background, bool tiled, double seconds,
                      const QString& next) {
    tv::FrameRecord r;
    r.BackgroundMode = static_cast<qint16>(mode);
    r.Background = background;
    r.BackgroundTiled = tiled;
    r.TimerEnabled = true;
    r.TimerSeconds = tv::RecordValue::ofNumber(seconds);
    r.TimerTarget = next;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo OUTPUT_FOLDER\n");
        return 2;
    }
    const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    for (const char* sub : {"Frames", "FramesData", "Areas", "Icons", "Config", "Temp"})
        QDir().mkpath(root + sub);

    tv::ProjectSettings s;
    s.ProjectName = "TorvaneDemo";
    s.GameTitle = "The Torvane Demo";
    s.InitialFrame = "Title";
    s.GameVersion = "Version 0.1";
    s.ProjectWidth = kWidth;
    s.ProjectHeight = kHeight;
    s.Author = "The Torvane Player developers";
    s.MenusAlwaysVisible = true;
    s.SkipWelcomeScreen = true;
    s.save(root + "Config/General");

    // Title: a plain colour (0x00BBGGRR: dark blue), then the hall.
    tv::writeFrameRecord(frame(0, QString::number(0x602010), false, 3, "Hall"),
                         root + "Frames/Title.fme");
    // Hall: a picture, with a bell as its frame sound, then the garden.
    tv::FrameRecord hall = frame(1, "Hall.jpg", false, 3, "Garden");
    hall.SoundFile = "bell.wav";
    hall.SoundLoops = false;
    tv::writeFrameRecord(hall, root + "Frames/Hall.fme");
    // Garden: a tiled picture, then back to the previous frame.
    tv::writeFrameRecord(frame(1, "Grass.bmp", true, 3, "[last visited frame]"),
                         root + "Frames/Garden.fme");

    bool ok = hallPicture().save(root + "Frames/Hall.jpg", "JPG", 92);
    ok = gardenTile().save(root + "Frames/Grass.bmp", "BMP") && ok;
    ok = writeFile(root + "Areas/bell.wav", bellWav()) && ok;
    if (!ok) {
        std::fprintf(stderr, "make-demo: could not write the media into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
