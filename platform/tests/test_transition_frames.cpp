#include "platform/transition_frames.h"

#include <QColor>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tv::transition;

namespace {

constexpr int kW = 64;
constexpr int kH = 48;

// Every pixel names its place: red = x, green = y; blue tells the two frames apart.
QImage coordinates(int blue) {
    QImage image(kW, kH, QImage::Format_RGB32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            image.setPixel(x, y, qRgb(x, y, blue));
    return image;
}

QImage solid(QRgb colour, QSize size = {kW, kH}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The frame (0 old, 1 new) and its pixel seen at (x, y) of a picture.
struct Seen {
    int frame;
    int x;
    int y;
};

Seen seen(const QImage& picture, int x, int y) {
    const QRgb p = picture.pixel(x, y);
    return {qBlue(p) == 0 ? 0 : 1, qRed(p), qGreen(p)};
}

} // namespace

TEST(TransitionFrames, TheCrossFadeBlendsWithOneAlphaAndEndsOnEachFrame) {
    Composer c;
    c.setPictures(solid(qRgb(200, 0, 40)), solid(qRgb(0, 100, 240)));
    EXPECT_EQ(c.crossFade(0).pixel(3, 3), qRgb(200, 0, 40));
    EXPECT_EQ(c.crossFade(255).pixel(3, 3), qRgb(0, 100, 240));
    const QRgb half = c.crossFade(128).pixel(kW - 1, kH - 1);
    EXPECT_NEAR(qRed(half), 100, 2);
    EXPECT_NEAR(qGreen(half), 50, 2);
    EXPECT_NEAR(qBlue(half), 140, 2);
    const QRgb quarter = c.crossFade(64).pixel(0, 0);
    EXPECT_NEAR(qRed(quarter), 150, 2);
    EXPECT_NEAR(qBlue(quarter), 90, 2);
    // Out-of-range alphas are held to the ends.
    EXPECT_EQ(c.crossFade(-5).pixel(0, 0), qRgb(200, 0, 40));
    EXPECT_EQ(c.crossFade(300).pixel(0, 0), qRgb(0, 100, 240));
}

TEST(TransitionFrames, EachSlideMovesThePairSoTheNewFrameComesInFromItsSide) {
    Composer c;
    c.setPictures(coordinates(0), coordinates(255));
    const int dx = 16, dy = 12;

    // From the left: the new frame's right part at the left edge, the old frame pushed right.
    QImage p = c.slide(Slide::FromLeft, dx);
    Seen s = seen(p, 0, 5);
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(s.x, kW - dx);
    s = seen(p, dx, 5);
    EXPECT_EQ(s.frame, 0);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.y, 5);

    // From the right: the old frame pushed left, the new frame's left part at the right edge.
    p = c.slide(Slide::FromRight, dx);
    s = seen(p, 0, 7);
    EXPECT_EQ(s.frame, 0);
    EXPECT_EQ(s.x, dx);
    s = seen(p, kW - dx, 7);
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(s.x, 0);

    // From the top: the new frame's bottom rows at the top, the old frame pushed down.
    p = c.slide(Slide::FromTop, dy);
    s = seen(p, 9, 0);
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(s.y, kH - dy);
    s = seen(p, 9, dy);
    EXPECT_EQ(s.frame, 0);
    EXPECT_EQ(s.y, 0);
    EXPECT_EQ(s.x, 9);

    // From the bottom: the old frame pushed up, the new frame's top rows at the bottom.
    p = c.slide(Slide::FromBottom, dy);
    s = seen(p, 9, 0);
    EXPECT_EQ(s.frame, 0);
    EXPECT_EQ(s.y, dy);
    s = seen(p, 9, kH - dy);
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(s.y, 0);

    // At the ends of the way each slide shows one whole frame.
    for (Slide kind : {Slide::FromLeft, Slide::FromRight, Slide::FromTop, Slide::FromBottom}) {
        const int way = kind == Slide::FromLeft || kind == Slide::FromRight ? kW : kH;
        EXPECT_EQ(c.slide(kind, 0), coordinates(0));
        EXPECT_EQ(c.slide(kind, way), coordinates(255));
        EXPECT_EQ(c.slide(kind, way + 40), coordinates(255)) << "held to its way";
    }
}

TEST(TransitionFrames, OffsetsFollowProgressAlongTheSlidesWay) {
    Composer c;
    c.setPictures(coordinates(0), coordinates(255));
    EXPECT_EQ(c.offsetAt(Slide::FromRight, 0.5), kW / 2);
    EXPECT_EQ(c.offsetAt(Slide::FromLeft, 0.25), kW / 4);
    EXPECT_EQ(c.offsetAt(Slide::FromTop, 0.5), kH / 2);
    EXPECT_EQ(c.offsetAt(Slide::FromBottom, 1.0), kH);
    EXPECT_EQ(c.offsetAt(Slide::FromBottom, 1.7), kH);
    EXPECT_EQ(c.offsetAt(Slide::FromLeft, -1), 0);
}

TEST(TransitionFrames, ThePictureOnShowStaysWhileTheNextIsComposed) {
    Composer c;
    c.setPictures(solid(qRgb(255, 0, 0)), solid(qRgb(0, 0, 255)));
    const QImage shown = c.crossFade(0); // held as a control holds its picture
    const uchar* bits = shown.constBits();
    c.crossFade(255);
    EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));
    // The third picture goes into the first buffer again, which the holder now shares: it keeps
    // its own copy, and the composer's buffer is another.
    const QImage& third = c.crossFade(255);
    EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_NE(third.constBits(), bits);
}

TEST(TransitionFrames, ANewFrameOfAnotherSizeIsFittedAndMarginsGoBlack) {
    Composer c;
    c.setPictures(solid(qRgb(10, 20, 30)), solid(qRgb(255, 255, 255), QSize(kW / 2, kH * 2)));
    EXPECT_EQ(c.size(), QSize(kW, kH));
    const QImage& full = c.crossFade(255);
    EXPECT_EQ(full.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(full.pixel(kW - 1, 1), qRgb(0, 0, 0)) << "where the new picture does not reach";

    c.setPictures(solid(qRgb(1, 2, 3)), QImage());
    EXPECT_EQ(c.crossFade(255).pixel(5, 5), qRgb(0, 0, 0)) << "no new picture: black";

    QImage picture = solid(qRgb(90, 90, 90));
    blackenMargins(picture, QMargins(3, 2, 5, 4));
    EXPECT_EQ(picture.pixel(2, 20), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(3, 20), qRgb(90, 90, 90));
    EXPECT_EQ(picture.pixel(20, 1), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(20, 2), qRgb(90, 90, 90));
    EXPECT_EQ(picture.pixel(kW - 5, 20), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(kW - 6, 20), qRgb(90, 90, 90));
    EXPECT_EQ(picture.pixel(20, kH - 4), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(20, kH - 5), qRgb(90, 90, 90));
}
