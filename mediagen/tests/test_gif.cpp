#include "mediagen/mediagen.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>

namespace tv::mediagen {
namespace {

struct Decoded {
    QList<QImage> frames;
    QList<int> delaysMs;
    int loopCount = 0;
};

// Read back the way the player reads animations.
Decoded decode(QByteArray gif) {
    QBuffer buffer(&gif);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    Decoded d;
    EXPECT_TRUE(reader.supportsAnimation());
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        QImage frame = reader.read();
        EXPECT_FALSE(frame.isNull()) << i << reader.errorString().toStdString();
        d.frames.append(frame.convertToFormat(QImage::Format_ARGB32));
        d.delaysMs.append(reader.nextImageDelay());
    }
    d.loopCount = reader.loopCount();
    return d;
}

QImage solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Distinct colours everywhere: 40 x 40 pixels, each different.
QImage gradient() {
    QImage image(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 6, (x * 13 + y * 7) % 256));
    return image;
}

TEST(Gif, FramesDelaysAndExactColoursReadBack) {
    // Colours one step apart: a palette that rounded would lose them.
    const QList<QRgb> colours = {qRgb(1, 2, 3), qRgb(1, 2, 4), qRgb(255, 0, 0), qRgb(0, 128, 255)};
    QList<QImage> frames;
    for (QRgb c : colours)
        frames.append(solid({30, 20}, c));
    frames[1].setPixel(7, 9, colours[2]);

    const Decoded d = decode(animatedGif(frames, {10, 25, 7, 100}, 0));
    ASSERT_EQ(d.frames.size(), 4);
    EXPECT_EQ(d.delaysMs, (QList<int>{100, 250, 70, 1000}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(d.frames[i].size(), QSize(30, 20));
        EXPECT_EQ(d.frames[i].pixel(0, 0), colours[i]) << i;
        EXPECT_EQ(d.frames[i].pixel(29, 19), colours[i]) << i;
    }
    EXPECT_EQ(d.frames[1].pixel(7, 9), colours[2]);
    EXPECT_EQ(d.frames[1].pixel(8, 9), colours[1]);
}

TEST(Gif, LoopCountReadsBackAsQtCountsIt) {
    const QList<QImage> frames = {solid({4, 4}, 0xFF000000), solid({4, 4}, 0xFFFFFFFF)};
    EXPECT_EQ(decode(animatedGif(frames, 5, 0)).loopCount, -1) << "for ever";
    EXPECT_EQ(decode(animatedGif(frames, 5, 3)).loopCount, 3);
    EXPECT_EQ(decode(animatedGif(frames, 5, -1)).loopCount, 0) << "no extension: one pass";
}

TEST(Gif, ManyColoursAreMappedToTheNearestOfTheCubeAndGreys) {
    const QImage many = gradient();
    const QImage grey = solid({40, 40}, qRgb(120, 120, 120));
    const Decoded d = decode(animatedGif({many, grey}, 10));
    ASSERT_EQ(d.frames.size(), 2);
    double worst = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QRgb a = d.frames[0].pixel(x, y), b = many.pixel(x, y);
            const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
            worst = std::max(worst, std::sqrt(double(dr * dr + dg * dg + db * db)));
        }
    }
    // The cube's levels are 51 apart: no colour is further than half a step on each channel.
    EXPECT_LE(worst, std::sqrt(3.0) * 25.5);
    EXPECT_GT(worst, 0) << "more than 256 colours cannot all be exact";
    // A grey between the cube's levels finds one of the extra greys (120 is 2 from 118.6).
    const QRgb g = d.frames[1].pixel(5, 5);
    EXPECT_EQ(qRed(g), qGreen(g));
    EXPECT_EQ(qGreen(g), qBlue(g));
    EXPECT_NEAR(qRed(g), 120, 4);
}

TEST(Gif, LargeNoisyPictureSurvivesTableResets) {
    // 200 colours at random over 300 x 200 pixels: the code table fills and starts over many
    // times, and codes reach their full 12 bits.
    QRandomGenerator random(42);
    QList<QRgb> palette;
    for (int i = 0; i < 200; ++i)
        palette.append(qRgb(i, 255 - i, (i * 37) % 256));
    QImage noise(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, palette[random.bounded(int(palette.size()))]);
    // Long runs of one colour, so that long strings enter the table too.
    QImage runs(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < runs.height(); ++y)
        for (int x = 0; x < runs.width(); ++x)
            runs.setPixel(x, y, palette[(x / 50 + y) % 7]);

    const Decoded d = decode(animatedGif({noise, runs}, 4));
    ASSERT_EQ(d.frames.size(), 2);
    EXPECT_EQ(d.frames[0].convertToFormat(QImage::Format_RGB32), noise);
    EXPECT_EQ(d.frames[1].convertToFormat(QImage::Format_RGB32), runs);
}

TEST(Gif, TransparentPixelsStayTransparentFromFrameToFrame) {
    QImage first = solid({10, 10}, qRgb(0, 200, 0));
    QImage second = solid({10, 10}, qRgb(200, 0, 0));
    for (int x = 0; x < 10; ++x)
        second.setPixel(x, 4, qRgba(0, 0, 0, 0)); // a clear line across the red frame
    // A smaller frame leaves the rest of the picture clear.
    const QImage third = solid({5, 5}, qRgb(0, 0, 200));

    const Decoded d = decode(animatedGif({first, second, third}, 10));
    ASSERT_EQ(d.frames.size(), 3);
    EXPECT_EQ(d.frames[0].pixel(3, 4), qRgb(0, 200, 0));
    EXPECT_EQ(d.frames[1].pixel(3, 3), qRgb(200, 0, 0));
    EXPECT_EQ(qAlpha(d.frames[1].pixel(3, 4)), 0) << "the green of the frame before is gone";
    EXPECT_EQ(d.frames[2].pixel(4, 4), qRgb(0, 0, 200));
    EXPECT_EQ(qAlpha(d.frames[2].pixel(7, 7)), 0);
}

TEST(Gif, OddInputs) {
    EXPECT_TRUE(animatedGif({}, 10).isEmpty());
    EXPECT_TRUE(animatedGif({QImage()}, 10).isEmpty());
    // One pixel, one colour: the smallest stream there is.
    const Decoded d = decode(animatedGif({solid({1, 1}, qRgb(9, 8, 7))}, 0, -1));
    ASSERT_EQ(d.frames.size(), 1);
    EXPECT_EQ(d.frames[0].pixel(0, 0), qRgb(9, 8, 7));
}

} // namespace
} // namespace tv::mediagen
