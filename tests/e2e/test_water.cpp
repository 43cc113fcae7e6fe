// Rippling water: a rectangle of a picture frame moves under its mask, the rest of the frame
// stays still, the options switch turns it off, and virtual time makes it repeatable.

#include "e2e_harness.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QRect kWater(40, 100, 200, 80);
// Inside the water: the mask is white on the left half and black on the right.
const QRect kRippling(kWater.x(), kWater.y(), kWater.width() / 2, kWater.height());
const QRect kStill(kWater.x() + kWater.width() / 2, kWater.y(), kWater.width() / 2,
                   kWater.height());

// Fine stripes in both directions, so that any displacement changes the pixels.
QImage pattern() {
    QImage image(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256));
    return image;
}

TestProject lake(int speed = 8, bool reverse = false) {
    TestProject p;
    p.writeImage("Frames/lake.bmp", pattern(), "BMP");
    p.writeFrame("Start", pictureFrame("lake.bmp"));
    p.writeFrame("Dry", colourFrame(0x000080));
    tv::WaterFile water;
    water.Left = qint16(kWater.x());
    water.Top = qint16(kWater.y());
    water.Width = qint16(kWater.width());
    water.Height = qint16(kWater.height());
    water.Wave = 4;
    water.Speed = qint16(speed);
    water.hasReverse = reverse;
    water.Reverse = reverse;
    QImage mask(kWater.size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = mask.width() / 2; x < mask.width(); ++x)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    p.writeWater("Start", water, mask);
    return p;
}

QImage shot(const TestProject& p, const QString& name) {
    return QImage(p.root() + "/../" + name).convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `area` differ between two pictures.
int differing(const QImage& a, const QImage& b, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// How many pixels outside `area` differ.
int differingOutside(const QImage& a, const QImage& b, const QRect& area) {
    return differing(a, b, a.rect()) - differing(a, b, area);
}

} // namespace

TEST(Water, TheRectangleRipplesUnderTheWhiteOfItsMaskAndNothingElseMoves) {
    TestProject p = lake();
    const RunResult r = p.play("wait 500\nscreenshot a.png\nwait 330\nscreenshot b.png\n"
                               "exec GoToFrame \"Dry\"\nwait 100\nscreenshot dry.png\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QImage still = pattern();
    const QImage a = shot(p, "a.png"), b = shot(p, "b.png");
    ASSERT_EQ(a.size(), still.size());
    // The water under the white of the mask moves, and differs from the still picture.
    EXPECT_GT(differing(a, b, kRippling), kRippling.width() * kRippling.height() / 3);
    EXPECT_GT(differing(a, still, kRippling), kRippling.width() * kRippling.height() / 3);
    // Under the black of the mask and outside the rectangle the frame stays as it is.
    EXPECT_EQ(differing(a, still, kStill), 0);
    EXPECT_EQ(differing(b, still, kStill), 0);
    EXPECT_EQ(differingOutside(a, still, kWater), 0);
    EXPECT_EQ(differingOutside(b, still, kWater), 0);
    // The next frame has no water: none of it is left on the screen.
    const QImage dry = shot(p, "dry.png");
    EXPECT_EQ(dry.pixel(kWater.center()) & 0xFFFFFF, 0x800000u);
}

TEST(Water, TheSameVirtualInstantGivesTheSamePicture) {
    QImage first;
    for (int run = 0; run < 2; ++run) {
        TestProject p = lake(12, true);
        const RunResult r = p.play("wait 700\nscreenshot same.png\n");
        ASSERT_EQ(r.exitCode, 0) << show(r);
        const QImage image = shot(p, "same.png");
        ASSERT_FALSE(image.isNull());
        if (run == 0)
            first = image;
        else
            EXPECT_EQ(differing(first, image, image.rect()), 0);
    }
    EXPECT_GT(differing(first, pattern(), kRippling), 0) << "the water was moving";
}

TEST(Water, SwitchingEffectsOffShowsTheStillPictureAndOnRipplesAgain) {
    TestProject p = lake();
    const RunResult r = p.play("wait 400\n"
                               "menu Disable Real-Time Effects\n"
                               "wait 100\nscreenshot off1.png\nwait 300\nscreenshot off2.png\n"
                               "exec MsgBox \"[\" & GetEffectsStatus() & \"]\"\n"
                               "exec InvertEffectsStatus\n"
                               "wait 400\nscreenshot on.png\n"
                               "exec InvertEffectsStatus\n"
                               "exec GoToFrame \"Dry\"\nexec GoToFrame \"Start\"\n"
                               "wait 400\nscreenshot reopened.png\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter("[False]").size(), 1) << show(r);
    const QImage still = pattern();
    EXPECT_EQ(differing(shot(p, "off1.png"), still, still.rect()), 0);
    EXPECT_EQ(differing(shot(p, "off2.png"), still, still.rect()), 0);
    EXPECT_GT(differing(shot(p, "on.png"), still, kRippling), 0) << "switched on, it ripples";
    EXPECT_EQ(differing(shot(p, "reopened.png"), still, still.rect()), 0)
        << "a frame opened with effects off has still water";
}

TEST(Water, ASpeedOfMinusTwoHoldsTheWaveStillAndABrokenFileIsReportedOnce) {
    TestProject frozen = lake(-2);
    RunResult r = frozen.play("wait 100\nscreenshot f1.png\nwait 500\nscreenshot f2.png\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(differing(shot(frozen, "f1.png"), shot(frozen, "f2.png"), kWater), 0);

    TestProject broken = lake();
    broken.writeFile("Frames/Start.rwe", "0,0,0,0,0,0,40,100\r\n");
    r = broken.play("wait 200\nscreenshot b.png\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log
                  .filter(errorReportLine(" Error initializing the Rippling Water effect. Input "
                                          "past end of file"))
                  .size(),
              1)
        << show(r);
    EXPECT_EQ(differing(shot(broken, "b.png"), pattern(), kWater), 0);
}
