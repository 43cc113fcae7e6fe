// The demo game's media, drawn and synthesised here so that nothing is downloaded and nothing is
// a hand-made binary. demo/demo.yaml names them; torvane-build copies them into the project.
//
//   make-demo-media OUTPUT_FOLDER

#include "mediagen/mediagen.h"

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
#include <functional>

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

// A harbour at dusk: sky, sea, a pier and a moored boat, for the old sailor's dialogue.
QImage harbourPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(30, 40, 90));
    sky.setColorAt(1, QColor(230, 150, 90));
    p.fillRect(0, 0, kWidth, 260, sky);
    QLinearGradient sea(0, 260, 0, kHeight);
    sea.setColorAt(0, QColor(40, 70, 110));
    sea.setColorAt(1, QColor(10, 25, 50));
    p.fillRect(0, 260, kWidth, kHeight - 260, sea);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 120));
    p.drawEllipse(QPoint(470, 250), 40, 40);
    p.fillRect(0, 260, kWidth, 6, QColor(40, 70, 110));
    // Light on the waves, which the rippling water sets moving.
    for (int y = 338; y < 392; y += 9)
        for (int x = (y * 37) % 120; x < kWidth; x += 120)
            p.fillRect(x, y, 34, 2, QColor(90, 130, 175));
    p.setBrush(QColor(90, 60, 35));
    p.drawRect(0, 300, 300, 24);
    for (int x = 20; x < 300; x += 60)
        p.drawRect(x, 324, 10, 60);
    QPainterPath hull;
    hull.moveTo(360, 330);
    hull.lineTo(560, 330);
    hull.lineTo(530, 370);
    hull.lineTo(390, 370);
    hull.closeSubpath();
    p.setBrush(QColor(120, 40, 30));
    p.drawPath(hull);
    p.setBrush(QColor(70, 50, 30));
    p.drawRect(455, 200, 6, 130);
    // A lighthouse far out on its rock, on the horizon: the way to the game's second disc.
    p.setBrush(QColor(50, 45, 45));
    p.drawEllipse(QRect(572, 250, 52, 20));
    for (int band = 0; band < 4; ++band) {
        p.setBrush(band % 2 ? QColor(190, 40, 40) : QColor(240, 240, 235));
        p.drawRect(591, 200 + band * 14, 14, 14);
    }
    p.setBrush(QColor(255, 230, 140));
    p.drawRect(589, 188, 18, 12);
    return image;
}

// The lighthouse close up at night, its lamp lit and its beam over the sea. The picture lies on
// the demo's second disc only, so that the game finds it there.
QImage lighthousePicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(5, 10, 35));
    sky.setColorAt(1, QColor(30, 50, 90));
    p.fillRect(0, 0, kWidth, 300, sky);
    p.fillRect(0, 300, kWidth, kHeight - 300, QColor(10, 30, 55));
    p.setPen(Qt::NoPen);
    QPainterPath beam;
    beam.moveTo(330, 110);
    beam.lineTo(kWidth, 40);
    beam.lineTo(kWidth, 180);
    beam.closeSubpath();
    p.setBrush(QColor(255, 240, 170, 90));
    p.drawPath(beam);
    p.setBrush(QColor(60, 55, 50));
    p.drawEllipse(QRect(180, 380, 280, 80));
    for (int band = 0; band < 5; ++band) {
        p.setBrush(band % 2 ? QColor(190, 40, 40) : QColor(240, 240, 235));
        p.drawRect(290, 150 + band * 48, 60, 48);
    }
    p.setBrush(QColor(255, 230, 140));
    p.drawRect(285, 90, 70, 60);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(280, 80, 80, 10);
    return image;
}

// The view from the garden's lookout hill, a full circle for the panorama: the picture's left
// edge joins its right edge, and column x faces x × 360 / width degrees round. A sky with the
// sun at 180 degrees over a meadow and, round the horizon, five landmarks in plain colours wide
// enough to fill the view's centre when it faces them: a yellow tower across the seam (0
// degrees), the hall's red door with a lamp post on its right (45), a blue house (135), the
// green garden gate (225) and a purple tent (315). The door and the gate are the frame's
// hotspots.
constexpr int kPanoramaWidth = 2048;
constexpr int kPanoramaHeight = 480;

QImage panoramaPicture() {
    QImage image(kPanoramaWidth, kPanoramaHeight, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(70, 120, 200));
    sky.setColorAt(1, QColor(170, 210, 240));
    p.fillRect(0, 0, kPanoramaWidth, 300, sky);
    p.fillRect(0, 300, kPanoramaWidth, kPanoramaHeight - 300, QColor(90, 150, 70));
    p.fillRect(0, 300, kPanoramaWidth, 4, QColor(60, 110, 50));
    const auto landmark = [&](int centre, int width, int top, QColor colour) {
        // Drawn twice so that one across the seam shows on both edges.
        for (int shift : {0, kPanoramaWidth})
            p.fillRect(centre - width / 2 + shift, top, width, 330 - top, colour);
    };
    landmark(0, 128, 110, QColor(240, 200, 40));          // tower
    landmark(256, 128, 130, QColor(200, 40, 40));         // door
    p.fillRect(192, 130, 128, 24, QColor(120, 80, 40));   // the door's lintel
    p.fillRect(346, 150, 20, 180, QColor(245, 245, 245)); // lamp post
    landmark(768, 192, 150, QColor(40, 80, 200));         // house
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 50, 40));
    p.drawPolygon(QPolygon({QPoint(652, 150), QPoint(768, 90), QPoint(884, 150)})); // its roof
    p.setBrush(QColor(255, 240, 150));
    p.drawEllipse(QPoint(1024, 80), 28, 28);        // the sun, due south
    landmark(1280, 128, 130, QColor(40, 160, 60));  // gate
    landmark(1792, 160, 170, QColor(150, 60, 160)); // tent
    return image;
}

// The harbour's water mask, for the sea between the pier and the dialogue (y 334 to 394 of the
// frame): white water ripples; the pier's posts and the boat's hull, black, stay as they are.
QImage harbourMask() {
    constexpr int top = 334;
    QImage image(kWidth, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x = 20; x < 300; x += 60)
        p.fillRect(x - 1, 0, 12, 384 - top + 1, Qt::black);
    QPainterPath hull;
    hull.moveTo(358, 330 - top);
    hull.lineTo(562, 330 - top);
    hull.lineTo(531, 371 - top);
    hull.lineTo(389, 371 - top);
    hull.closeSubpath();
    p.fillPath(hull, Qt::black);
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

// Inventory icons: 32 x 32 pictures on a plain ground of their own colour.
QImage iconPicture(QColor ground, const std::function<void(QPainter&)>& draw) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(ground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

QImage keyIcon() {
    return iconPicture(QColor(70, 45, 25), [](QPainter& p) {
        p.setPen(QPen(QColor(220, 180, 60), 3));
        p.drawEllipse(QPoint(9, 16), 5, 5);
        p.drawLine(14, 16, 28, 16);
        p.drawLine(24, 16, 24, 22);
    });
}

QImage flowerIcon() {
    return iconPicture(QColor(40, 110, 40), [](QPainter& p) {
        p.setPen(QPen(QColor(20, 70, 20), 2));
        p.drawLine(16, 18, 16, 30);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 60));
        for (int i = 0; i < 5; ++i) {
            const double a = i * 2 * M_PI / 5;
            p.drawEllipse(QPointF(16 + 6 * std::cos(a), 12 + 6 * std::sin(a)), 4, 4);
        }
        p.setBrush(QColor(250, 220, 60));
        p.drawEllipse(QPointF(16, 12), 3, 3);
    });
}

QImage ribbonIcon() {
    return iconPicture(QColor(30, 50, 110), [](QPainter& p) {
        p.setPen(QPen(QColor(240, 240, 250), 3));
        p.drawLine(4, 24, 28, 8);
        p.drawLine(4, 8, 28, 24);
    });
}

QImage bouquetIcon() {
    return iconPicture(QColor(110, 40, 90), [](QPainter& p) {
        p.setPen(QPen(QColor(240, 240, 250), 3));
        p.drawLine(12, 30, 16, 20);
        p.drawLine(20, 30, 16, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 60));
        for (QPoint c : {QPoint(10, 10), QPoint(22, 10), QPoint(16, 6), QPoint(16, 15)})
            p.drawEllipse(c, 5, 5);
    });
}

// A sign with a word on it, for the garden's way back, way out and way up to the lookout.
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

// The welcome window's scheme: a night sea tiled behind everything, and three brass plaques as
// its buttons.
constexpr QSize kTileSize(80, 80);
constexpr QSize kPlaqueSize(208, 36);

QImage welcomeTile() {
    QImage image(kTileSize, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient deep(0, 0, 0, kTileSize.height());
    deep.setColorAt(0, QColor(14, 28, 62));
    deep.setColorAt(0.5, QColor(18, 34, 72));
    deep.setColorAt(1, QColor(14, 28, 62));
    p.fillRect(image.rect(), deep);
    p.setRenderHint(QPainter::Antialiasing);
    // Two swells, one wave length across the tile so that neighbours join.
    for (int row = 0; row < 2; ++row) {
        QPainterPath wave;
        const double base = 22 + 40 * row;
        wave.moveTo(-1, base);
        for (int x = 0; x <= kTileSize.width(); ++x)
            wave.lineTo(x, base + 3 * std::sin(2 * M_PI * (x + 20 * row) / kTileSize.width()));
        p.setPen(QPen(QColor(32, 54, 100), 1.4));
        p.drawPath(wave);
    }
    // A few stars, clear of the edges.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 226, 255, 160));
    for (const QPointF star : {QPointF(12, 9), QPointF(57, 47), QPointF(33, 71)})
        p.drawEllipse(star, 0.9, 0.9);
    return image;
}

QImage plaque(const QString& word) {
    QImage image(kPlaqueSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(image.rect()).adjusted(1, 1, -1, -1);
    QLinearGradient brass(0, 0, 0, kPlaqueSize.height());
    brass.setColorAt(0, QColor(250, 222, 140));
    brass.setColorAt(0.5, QColor(222, 176, 84));
    brass.setColorAt(1, QColor(170, 122, 44));
    p.setPen(QPen(QColor(92, 60, 20), 2));
    p.setBrush(brass);
    p.drawRoundedRect(body, 10, 10);
    p.setPen(QPen(QColor(255, 240, 200, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(3, 3, -3, -3), 7, 7);
    QFont font("Liberation Serif");
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 244, 214, 140));
    p.drawText(image.rect().translated(0, 1), Qt::AlignCenter, word);
    p.setPen(QColor(70, 40, 10));
    p.drawText(image.rect(), Qt::AlignCenter, word);
    return image;
}

// The title music: a short rising tune on a piano, then a chord.
QByteArray themeMidi() {
    QList<tv::mediagen::MidiNote> notes;
    const int tune[] = {60, 64, 67, 72, 67, 64, 65, 69, 72, 77};
    for (int i = 0; i < 10; ++i)
        notes.append({tune[i], i * 250, 240, 90});
    for (int key : {60, 64, 67, 72})
        notes.append({key, 2500, 1200, 80});
    return tv::mediagen::midiFile(notes, 0, 120);
}

// A torch flame of four pictures on a transparent background, for an animated hotspot.
QList<QImage> torchFrames() {
    QList<QImage> frames;
    const QColor flames[] = {QColor(250, 200, 40), QColor(250, 140, 30), QColor(240, 90, 20),
                             QColor(250, 160, 40)};
    for (int i = 0; i < 4; ++i) {
        QImage image(32, 64, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 60, 30));
        p.drawRect(12, 34, 8, 30);
        p.setBrush(flames[i]);
        p.drawEllipse(QRect(6 + (i % 2) * 2, 6 + i, 20 - (i % 2) * 2, 30 - i));
        frames << image;
    }
    return frames;
}

// The cellar's candle: a small flickering light, looping as a hotspot video.
QByteArray candleVideo() {
    QList<QImage> frames;
    for (int i = 0; i < 10; ++i) {
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(QColor(40, 20, 10));
        QPainter p(&image);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 220, 200));
        p.drawRect(26, 34, 12, 26);
        p.setBrush(QColor(255, 180 + (i % 3) * 20, 60));
        p.drawEllipse(QRect(26, 10 + (i % 2), 12, 22));
        frames << image;
    }
    return tv::mediagen::mjpegAvi(frames, 10);
}

using tv::mediagen::writeFile;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-media OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    bool ok = QDir().mkpath(folder);
    ok = ok && hallPicture().save(folder + "Hall.jpg", "JPG", 92);
    ok = ok && gardenTile().save(folder + "Grass.bmp", "BMP");
    ok = ok && harbourPicture().save(folder + "Harbour.jpg", "JPG", 92);
    ok = ok && harbourMask().save(folder + "harbour-mask.bmp", "BMP");
    ok = ok && panoramaPicture().save(folder + "Panorama.jpg", "JPG", 95);
    // The second disc's folders as the editor lays a disc out: Data/<game title>/Frames.
    const QString disc2 = folder + "Disc2/Data/The Torvane Demo/Frames/";
    ok =
        ok && QDir().mkpath(disc2) && lighthousePicture().save(disc2 + "Lighthouse.jpg", "JPG", 92);
    ok = ok && writeFile(folder + "bell.wav", bellWav());
    ok = ok && keyPicture().save(folder + "key.png", "PNG");
    ok = ok && keyIcon().save(folder + "key-icon.png", "PNG");
    ok = ok && flowerIcon().save(folder + "flower.png", "PNG");
    ok = ok && ribbonIcon().save(folder + "ribbon.png", "PNG");
    ok = ok && bouquetIcon().save(folder + "bouquet.png", "PNG");
    ok = ok && signPicture("Back", QColor(60, 60, 160)).save(folder + "back.bmp", "BMP");
    ok = ok && signPicture("Exit", QColor(160, 40, 40)).save(folder + "exit.bmp", "BMP");
    ok = ok && signPicture("Lookout", QColor(40, 120, 120)).save(folder + "lookout.bmp", "BMP");
    ok = ok && welcomeTile().save(folder + "welcome-tile.png", "PNG");
    ok = ok && plaque("New Game").save(folder + "welcome-start.png", "PNG");
    ok = ok && plaque("Load Game").save(folder + "welcome-load.png", "PNG");
    ok = ok && plaque("Quit").save(folder + "welcome-exit.png", "PNG");
    namespace gen = tv::mediagen;
    ok = ok && writeFile(folder + "theme.mid", themeMidi());
    ok = ok && writeFile(folder + "wind.wav", gen::wavTone(196, 4000, 22050, 1, 16, 0.25));
    ok = ok && writeFile(folder + "rain.wav", gen::wavTone(294, 4000, 22050, 1, 16, 0.25));
    ok = ok && writeFile(folder + "torch.gif", gen::animatedGif(torchFrames(), 12));
    ok = ok && writeFile(folder + "candle.avi", candleVideo());
    // The way into the cellar: three colours, a second each, played once over the frame.
    ok = ok && writeFile(folder + "stairs.avi",
                         gen::colourSequenceVideo(
                             {QColor(30, 30, 120), QColor(120, 30, 30), QColor(30, 120, 30)}, 320,
                             240, 10, 10));
    if (!ok) {
        std::fprintf(stderr, "make-demo-media: could not write the media into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
