// Builds the bundled demo game: its project data through the project writers, and its media
// drawn and synthesised here, so nothing is downloaded and nothing is a hand-made binary.
//
//   make-demo OUTPUT_FOLDER

#include "data/action_record.h"
#include "data/frame_record.h"
#include "data/hotspot_record.h"
#include "data/procedures_file.h"
#include "data/project.h"
#include "platform/records.h"
#include "script/variables.h"

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

// A brass key on a transparent background: the hall shows through around it.
QImage keyPicture() {
    QImage image(60, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 160, 40), 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(14, 15), 9, 9);
    p.drawLine(23, 15, 56, 15);
    p.drawLine(48, 15, 48, 25);
    p.drawLine(55, 15, 55, 23);
    return image;
}

// A sign with a word on it, for the garden's way back and way out.
QImage signPicture(const QString& word, QColor colour) {
    QImage image(120, 50, QImage::Format_RGB32);
    image.fill(colour);
    QPainter p(&image);
    p.setPen(Qt::white);
    QFont font("Liberation Sans");
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, word);
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

tv::HotspotRecord hotspot(int index, QRect pixels, const QString& picture, bool stretch) {
    tv::HotspotRecord r =
        tv::HotspotRecord::placed(index, pixels.x(), pixels.y(), pixels.width(), pixels.height());
    r.ShowPicture = tv::RecordValue::ofBool(!picture.isEmpty());
    r.Picture = tv::RecordValue::ofString(picture);
    r.Stretch = tv::RecordValue::ofBool(stretch);
    return r;
}

void writeHotspots(const QString& root, const QString& frame,
                   const QList<tv::HotspotRecord>& hotspots,
                   const QList<tv::ActionRecord>& actions) {
    tv::writeHotspotFile(root + "FramesData/" + frame + ".fm2", hotspots);
    tv::writeHotspotCount(static_cast<qint16>(hotspots.size()), root + "Frames/" + frame + ".lks");
    tv::writeActionFile(root + "FramesData/" + frame + ".fm3", actions);
}

tv::FrameRecord frame(int mode, const QString& background, bool tiled, double seconds,
                      const QString& next) {
    tv::FrameRecord r;
    r.BackgroundMode = static_cast<qint16>(mode);
    r.Background = background;
    r.BackgroundTiled = tiled;
    r.TimerEnabled = seconds > 0;
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

    tv::GameVariables::writeVariablesFile(root + "Config/Variables", {"HasKey"});
    tv::writeProceduresFile(root + "Config/Procedures", tv::ProceduresFile{});

    // Title: a plain colour (0x00BBGGRR: dark blue); its timer leads into the hall.
    tv::writeFrameRecord(frame(0, QString::number(0x602010), false, 3, "Hall"),
                         root + "Frames/Title.fme");

    // Hall: a picture with a bell as its frame sound. The key disappears when taken; the
    // doorway leads on only once the key is taken.
    tv::FrameRecord hall = frame(1, "Hall.jpg", false, 0, "");
    hall.TimerEnabled = false;
    hall.SoundFile = "bell.wav";
    hall.SoundLoops = false;
    tv::writeFrameRecord(hall, root + "Frames/Hall.fme");
    tv::HotspotRecord door = hotspot(2, QRect(270, 170, 100, 190), "", false);
    door.HasConditions = tv::RecordValue::ofNumber(1);
    door.MustBeOne = {"HasKey"};
    tv::ActionRecord takeKey;
    takeKey.ChangeVariable = 1;
    takeKey.VariableName = "HasKey";
    takeKey.SetToOne = tv::RecordValue::ofBool(true);
    takeKey.Disappear = tv::RecordValue::ofNumber(1);
    tv::ActionRecord enter;
    enter.GoToFrame = 1;
    enter.Destination = "Garden";
    writeHotspots(root, "Hall", {hotspot(1, QRect(80, 400, 64, 34), "key.png", false), door},
                  {takeKey, enter});

    // Garden: a tiled picture with two signs: back to the hall, and out of the game.
    tv::writeFrameRecord(frame(1, "Grass.bmp", true, 0, ""), root + "Frames/Garden.fme");
    tv::ActionRecord back;
    back.GoBack = tv::RecordValue::ofNumber(1);
    tv::ActionRecord leave;
    leave.QuitGame = tv::RecordValue::ofNumber(1);
    writeHotspots(root, "Garden",
                  {hotspot(1, QRect(40, 400, 124, 54), "back.bmp", true),
                   hotspot(2, QRect(476, 400, 124, 54), "exit.bmp", true)},
                  {back, leave});

    bool ok = hallPicture().save(root + "Frames/Hall.jpg", "JPG", 92);
    ok = gardenTile().save(root + "Frames/Grass.bmp", "BMP") && ok;
    ok = writeFile(root + "Areas/bell.wav", bellWav()) && ok;
    ok = keyPicture().save(root + "Areas/key.png", "PNG") && ok;
    ok = signPicture("Back", QColor(60, 60, 160)).save(root + "Areas/back.bmp", "BMP") && ok;
    ok = signPicture("Exit", QColor(160, 40, 40)).save(root + "Areas/exit.bmp", "BMP") && ok;
    if (!ok) {
        std::fprintf(stderr, "make-demo: could not write the media into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
