#include "platform/water_wave.h"

#include <QColor>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tv;

namespace {

// Every pixel names its own place: red = x, green = y.
QImage coordinates(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    return image;
}

} // namespace

TEST(WaterWave, TheWaveMovesPixelsWithinTheRectangleAndTheStrength) {
    const QImage still = coordinates(200, 120);
    QImage out(still.size(), QImage::Format_RGB32);

    wave::distort(out, still, 0, 1.0);
    EXPECT_EQ(out, still) << "no strength: the picture unchanged";

    const int strength = 6;
    wave::distort(out, still, strength, 0.5);
    EXPECT_NE(out, still);
    int moved = 0;
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            // Taken from the picture itself, at most the strength away (each direction's two
            // halves together in the vertical).
            ASSERT_LE(std::abs(qRed(p) - x), strength) << x << "," << y;
            ASSERT_LE(std::abs(qGreen(p) - y), strength) << x << "," << y;
            ASSERT_EQ(qBlue(p), 0);
            moved += (qRed(p) != x || qGreen(p) != y);
        }
    }
    EXPECT_GT(moved, out.width() * out.height() / 2) << "most of the water moves";

    // The same phase gives the same picture; a later phase another; the reverse phase another.
    QImage again(still.size(), QImage::Format_RGB32), later = again, reverse = again;
    wave::distort(again, still, strength, 0.5);
    wave::distort(later, still, strength, 0.9);
    wave::distort(reverse, still, strength, -0.5);
    EXPECT_EQ(again, out);
    EXPECT_NE(later, out);
    EXPECT_NE(reverse, out);

    // A huge setting is held to what the rectangle allows; pictures of another shape are left.
    QImage tiny = coordinates(3, 2), tinyOut(3, 2, QImage::Format_RGB32);
    wave::distort(tinyOut, tiny, 30000, 2.0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_LT(qRed(tinyOut.pixel(x, y)), 3);
    QImage other(5, 5, QImage::Format_RGB32);
    other.fill(Qt::blue);
    wave::distort(other, still, strength, 0.5);
    EXPECT_EQ(other.pixel(0, 0), qRgb(0, 0, 255));
}

TEST(WaterWave, TheMaskKeepsTheWaveWhereWhiteAndTheStillPictureWhereBlack) {
    QImage still(4, 2, QImage::Format_RGB32);
    still.fill(qRgb(10, 120, 200));
    QImage mask(4, 2, QImage::Format_RGB32);
    mask.fill(Qt::white);
    mask.setPixel(0, 0, qRgb(0, 0, 0));
    mask.setPixel(3, 1, qRgb(0, 0, 0));
    QImage water(4, 2, QImage::Format_RGB32);
    water.fill(qRgb(1, 2, 3));

    const QImage masked = wave::maskedPicture(still, mask);
    EXPECT_EQ(masked.pixel(0, 0), still.pixel(0, 0));
    EXPECT_EQ(masked.pixel(1, 0), qRgb(0, 0, 0));
    wave::maskedCopy(water, masked, mask);
    EXPECT_EQ(water.pixel(0, 0), still.pixel(0, 0));
    EXPECT_EQ(water.pixel(3, 1), still.pixel(3, 1));
    EXPECT_EQ(water.pixel(1, 0), qRgb(1, 2, 3));
    EXPECT_EQ(water.pixel(2, 1), qRgb(1, 2, 3));

    // A surface is the picture at the water's size, black where the picture does not reach.
    QImage small(2, 1, QImage::Format_ARGB32);
    small.fill(qRgb(255, 255, 255));
    const QImage s = wave::surface(small, QSize(3, 2));
    EXPECT_EQ(s.format(), QImage::Format_RGB32);
    EXPECT_EQ(s.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(s.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(s.pixel(0, 1), qRgb(0, 0, 0));
}
