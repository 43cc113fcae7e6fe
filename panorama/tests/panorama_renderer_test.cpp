#include "panorama/panorama_renderer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

using tv::pano::CameraAngles;
using tv::pano::Renderer;

namespace {

constexpr QRgb kBands[4] = {qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(20, 40, 210),
                            qRgb(230, 220, 20)};

QImage bands(int width = 400, int height = 100) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, kBands[x * 4 / width]);
    return image;
}

// Each pixel holds its own coordinates: red = x, green = y.
QImage coordinates() {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    return image;
}

QImage target(int width = 160, int height = 120) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    return image;
}

// --- The view as the control's matrices give it: row vectors, left-handed rotations, the
// projection's first element corrected by 0.75, drawn on the 254 flat faces of the mesh. The
// angles enter negated, which is the hit test's orientation (the plain matrices show the mirror
// of what the hit test reads). ---

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                m[i][j] += a[i][k] * b[k][j];
    return m;
}

Matrix rotationY(double a) {
    return {{{cos(a), 0, -sin(a)}, {0, 1, 0}, {sin(a), 0, cos(a)}}};
}
Matrix rotationX(double a) {
    return {{{1, 0, 0}, {0, cos(a), sin(a)}, {0, -sin(a), cos(a)}}};
}
Matrix rotationZ(double a) {
    return {{{cos(a), sin(a), 0}, {-sin(a), cos(a), 0}, {0, 0, 1}}};
}

struct Expected {
    double x;
    double y;
};

Expected byMatrices(const CameraAngles& camera, int cylinderHeight, QSize viewport, QSize picture,
                    double sx, double sy) {
    const Matrix view =
        product(product(rotationY(-camera.yaw), rotationX(-camera.pitch)), rotationZ(-camera.roll));
    const double cot = 1.0 / std::tan(1.0471973 / 2);
    const double m11 = cot * 0.75;
    const double m22 = cot;
    const double xn = 2.0 * sx / viewport.width() - 1.0;
    const double yn = 1.0 - 2.0 * sy / viewport.height();
    const std::array<double, 3> eye = {xn / m11, yn / m22, 1.0};
    // Camera to world: the view rotation's transpose.
    std::array<double, 3> d{};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            d[j] += eye[i] * view[j][i];
    const double twoPi = 6.283184;
    double angle = std::atan2(d[0], d[2]);
    if (angle < 0) angle += twoPi;
    const int k = std::min(static_cast<int>(angle / (twoPi / 254)), 253);
    const double a0 = k * twoPi / 254;
    const double a1 = (k + 1) * twoPi / 254;
    const double p0x = 100 * sin(a0), p0z = 100 * cos(a0);
    const double ex = 100 * sin(a1) - p0x, ez = 100 * cos(a1) - p0z;
    // t·(dx, dz) = p0 + s·e
    const double det = d[0] * (-ez) - d[2] * (-ex);
    const double t = (p0x * (-ez) - p0z * (-ex)) / det;
    const double s = (d[0] * p0z - d[2] * p0x) / det;
    const double u = (k + s) / 254;
    const double v = (cylinderHeight / 2.0 - t * d[1]) / cylinderHeight;
    return {u * picture.width(), v * picture.height()};
}

} // namespace

TEST(PanoramaCamera, VerticalLimitFollowsTheHeight) {
    EXPECT_NEAR(tv::pano::maximumVerticalAngle(700), std::atan(3.5) - 0.54, 1e-6);
    EXPECT_NEAR(tv::pano::maximumVerticalAngle(12000), std::atan(60.0) - 0.54, 1e-6);
    EXPECT_NEAR(tv::pano::maximumVerticalAngle(10), std::atan(0.05) - 0.54, 1e-6);
    EXPECT_LT(tv::pano::maximumVerticalAngle(10), 0);

    // Looking down past the limit stops at it; looking up stops at 2π minus it.
    const float m = tv::pano::maximumVerticalAngle(700);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {2.0f, 0, 0}, 700).pitch, m);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {-2.0f, 0, 0}, 700).pitch, tv::pano::kTwoPi - m);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {0.3f, 0, 0}, 700).pitch, 0.3f);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {-0.3f, 0, 0}, 700).pitch, tv::pano::kTwoPi - 0.3f);
    // The low cylinder's negative limit pins the pitch to one of the two bounds whichever way
    // it turns (the bounds cross: 2π minus a negative limit lies beyond 2π).
    const float low = tv::pano::maximumVerticalAngle(10);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {0.01f, 0, 0}, 10).pitch, low);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {-0.01f, 0, 0}, 10).pitch, tv::pano::kTwoPi - low);
    EXPECT_FLOAT_EQ(tv::pano::rotateCamera({}, {0, 0, 0}, 10).pitch, low);
    // Yaw passes 2π and goes on from 0.
    EXPECT_NEAR(tv::pano::rotateCamera({0, 6.2f, 0}, {0, 0.2f, 0}, 700).yaw,
                6.4f - tv::pano::kTwoPi, 1e-5);
}

TEST(PanoramaCamera, HeightIsClamped) {
    EXPECT_EQ(tv::pano::clampCylinderHeight(20000), 12000);
    EXPECT_EQ(tv::pano::clampCylinderHeight(5), 10);
    EXPECT_EQ(tv::pano::clampCylinderHeight(700), 700);
    Renderer renderer;
    EXPECT_EQ(renderer.cylinderHeight(), 700);
    renderer.setCylinderHeight(-3);
    EXPECT_EQ(renderer.cylinderHeight(), 10);
    renderer.setCylinderHeight(99999);
    EXPECT_EQ(renderer.cylinderHeight(), 12000);
}

TEST(PanoramaRenderer, EachYawShowsItsBandAtTheCentre) {
    Renderer renderer;
    renderer.setTexture(bands());
    for (int band = 0; band < 4; ++band) {
        const CameraAngles camera{0, (band + 0.5f) * tv::pano::kTwoPi / 4, 0};
        for (bool exact : {false, true}) {
            QImage view = target();
            exact ? renderer.renderExact(camera, view) : renderer.render(camera, view);
            EXPECT_EQ(view.pixel(80, 60), kBands[band])
                << "band " << band << (exact ? " exact" : " fast");
        }
    }
    // Unmirrored: at the border of bands 0 and 1, band 0 is on the left.
    QImage view = target();
    renderer.render({0, tv::pano::kTwoPi / 4, 0}, view);
    EXPECT_EQ(view.pixel(60, 60), kBands[0]);
    EXPECT_EQ(view.pixel(100, 60), kBands[1]);
    // The seam: the last band on the left of yaw 0, the first on its right.
    renderer.render({0, 0, 0}, view);
    EXPECT_EQ(view.pixel(60, 60), kBands[3]);
    EXPECT_EQ(view.pixel(100, 60), kBands[0]);
}

TEST(PanoramaRenderer, UprightAndPositivePitchLooksDown) {
    QImage picture(400, 100, QImage::Format_RGB32);
    picture.fill(kBands[0]);
    for (int y = 50; y < 100; ++y)
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, kBands[1]);
    Renderer renderer;
    renderer.setTexture(picture);
    QImage view = target();
    renderer.render({0, 1, 0}, view);
    EXPECT_EQ(view.pixel(80, 20), kBands[0]); // the top of the picture is up
    EXPECT_EQ(view.pixel(80, 100), kBands[1]);
    renderer.render({0.2f, 1, 0}, view);
    EXPECT_EQ(view.pixel(80, 60), kBands[1]);
    renderer.render({tv::pano::kTwoPi - 0.2f, 1, 0}, view);
    EXPECT_EQ(view.pixel(80, 60), kBands[0]);
}

TEST(PanoramaRenderer, ViewCentreIsTheHitTestPoint) {
    Renderer renderer;
    renderer.setTexture(QImage(4096, 1024, QImage::Format_RGB32));
    for (const auto& [pitch, yaw, height] :
         {std::tuple{0.3f, 1.0f, 700}, std::tuple{5.9f, 4.0f, 700}, std::tuple{0.9f, 2.5f, 12000},
          std::tuple{0.0f, 6.0f, 300}}) {
        renderer.setCylinderHeight(height);
        const CameraAngles camera{pitch, yaw, 0};
        // The centre of an 800 x 600 view is the corner shared by four pixels.
        const auto point = renderer.sourcePoint(camera, QSize(800, 600), QPointF(399.5, 299.5));
        ASSERT_TRUE(point);
        EXPECT_NEAR(point->x(), yaw * 4096 / tv::pano::kTwoPi, 0.01);
        const double y =
            (1 - (height / 2.0 + 100 * std::tan(tv::pano::kTwoPi - pitch)) / height) * 1024;
        EXPECT_NEAR(point->y(), y, 0.01);
    }
}

TEST(PanoramaRenderer, ProjectionMatchesTheMatrices) {
    Renderer renderer;
    renderer.setTexture(coordinates());
    const QSize viewport(320, 240);
    const std::array<QPoint, 5> points = {QPoint(160, 120), QPoint(5, 7), QPoint(314, 9),
                                          QPoint(8, 233), QPoint(300, 200)};
    struct Case {
        float pitch;
        float yaw;
        int height;
    };
    for (const Case& c :
         {Case{0, 3.1f, 700}, Case{0.5f, 1.2f, 700}, Case{5.7f, 4.4f, 700}, Case{0.73f, 2.0f, 700},
          Case{1.0f, 3.3f, 12000}, Case{6.0f, 0.9f, 1500}}) {
        renderer.setCylinderHeight(c.height);
        const CameraAngles camera{c.pitch, c.yaw, 0};
        QImage fast = target(viewport.width(), viewport.height());
        QImage exact = fast;
        renderer.render(camera, fast);
        renderer.renderExact(camera, exact);
        for (QPoint p : points) {
            const Expected e =
                byMatrices(camera, c.height, viewport, QSize(256, 256), p.x() + 0.5, p.y() + 0.5);
            SCOPED_TRACE(testing::Message()
                         << "pitch " << c.pitch << " yaw " << c.yaw << " at " << p.x() << ","
                         << p.y() << " expected " << e.x << "," << e.y);
            ASSERT_GT(e.x, 2);
            ASSERT_LT(e.x, 254); // keep clear of the seam, where the coordinates wrap
            const auto point = renderer.sourcePoint(camera, viewport, p);
            ASSERT_TRUE(point);
            EXPECT_NEAR(point->x(), e.x, 0.05);
            EXPECT_NEAR(point->y(), e.y, 0.05);
            for (const QImage* view : {&fast, &exact}) {
                const QRgb got = view->pixel(p);
                // The smooth sample between texels x and x + 1 reads x plus the fraction; texel
                // centres are half a pixel in.
                EXPECT_NEAR(qRed(got) + 0.5, e.x, 1.0);
                if (e.y > 1 && e.y < 255) {
                    EXPECT_NEAR(qGreen(got) + 0.5, e.y, 1.0);
                }
            }
        }
    }
}

TEST(PanoramaRenderer, FastPathFollowsTheExactOne) {
    QImage picture(512, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x)
            picture.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
    Renderer renderer;
    renderer.setTexture(picture);
    for (const CameraAngles camera :
         {CameraAngles{0, 0.1f, 0}, CameraAngles{0.7f, 3.0f, 0}, CameraAngles{5.6f, 6.2f, 0}}) {
        QImage fast = target(200, 150);
        QImage exact = fast;
        renderer.render(camera, fast);
        renderer.renderExact(camera, exact);
        int far = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const QRgb a = fast.pixel(x, y);
                const QRgb b = exact.pixel(x, y);
                const int d =
                    std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
                // The texture's steep ramps turn a small position error into a large colour one;
                // only a few pixels may differ much.
                if (d > 40) ++far;
            }
        EXPECT_LT(far, 200 * 150 / 100) << "pitch " << camera.pitch << " yaw " << camera.yaw;
    }
}

TEST(PanoramaRenderer, MissedPixelsAreLeftAndBadTargetsIgnored) {
    Renderer renderer;
    renderer.setTexture(bands());
    renderer.setCylinderHeight(10);
    QImage view = target();
    renderer.render({0, 1, 0}, view);
    EXPECT_EQ(view.pixel(80, 0), qRgb(255, 0, 255));
    EXPECT_EQ(view.pixel(80, 60), kBands[0]);

    view = target();
    renderer.render({std::nanf(""), 1, 0}, view);
    renderer.render({0, std::numeric_limits<float>::infinity(), 0}, view);
    EXPECT_EQ(view.pixel(80, 60), qRgb(255, 0, 255));

    QImage indexed(16, 16, QImage::Format_Indexed8);
    renderer.render({}, indexed); // not a format it draws into: no crash, nothing drawn
    Renderer empty;
    view = target();
    empty.render({}, view);
    EXPECT_EQ(view.pixel(80, 60), qRgb(255, 0, 255));
}

TEST(PanoramaTexture, EveryFormatGivesTheSameOpaqueTexels) {
    QImage picture(37, 11, QImage::Format_ARGB32);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x)
            picture.setPixel(x, y, qRgba(x * 7, y * 23, (x * y) & 255, 255));
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888,
          QImage::Format_RGBX8888, QImage::Format_BGR888}) {
        const QImage source = picture.convertToFormat(format);
        const tv::pano::Texture texture(source);
        ASSERT_EQ(texture.width(), 37);
        ASSERT_EQ(texture.height(), 11);
        ASSERT_EQ(texture.stride(), 38);
        const std::uint32_t* bits = texture.bits();
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 37; ++x)
                ASSERT_EQ(bits[y * 38 + x], picture.pixel(x, y))
                    << "format " << format << " at " << x << "," << y;
            EXPECT_EQ(bits[y * 38 + 37], bits[y * 38]) << "the seam column repeats the first";
        }
        for (int x = 0; x < 38; ++x)
            EXPECT_EQ(bits[11 * 38 + x], bits[10 * 38 + x]) << "the bottom row repeats";
    }
    // Alpha is dropped: the texture is opaque.
    QImage translucent(2, 2, QImage::Format_ARGB32);
    translucent.fill(qRgba(10, 20, 30, 40));
    EXPECT_EQ(tv::pano::Texture(translucent).bits()[0] >> 24, 0xFFu);
    EXPECT_TRUE(tv::pano::Texture(QImage()).isNull());
}

TEST(PanoramaTexture, OversizedPicturesAreScaledDown) {
    QImage wide(tv::pano::kMaxTextureSide * 2, 4, QImage::Format_RGB32);
    wide.fill(qRgb(1, 2, 3));
    const tv::pano::Texture texture(wide);
    EXPECT_EQ(texture.width(), tv::pano::kMaxTextureSide);
    EXPECT_EQ(texture.height(), 2);
}

TEST(PanoramaRenderer, FastPathMatchesTheExactOneOnASmoothPicture) {
    // Smooth in both directions and continuous over the seam, so any error of position or of
    // blending shows as a colour difference of more than a few levels.
    QImage picture(1024, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double a = x * 6.283185307 / 1024;
            picture.setPixel(x, y,
                             qRgb(128 + static_cast<int>(120 * std::sin(3 * a)), y,
                                  128 + static_cast<int>(120 * std::cos(2 * a + y / 40.0))));
        }
    Renderer renderer;
    renderer.setTexture(picture);
    struct Case {
        float pitch;
        float yaw;
        int height;
    };
    for (const Case& c : {Case{0, 0.0f, 700}, Case{0.73f, 3.0f, 700}, Case{5.56f, 6.2f, 700},
                          Case{1.0f, 1.0f, 12000}, Case{5.3f, 4.0f, 12000}, Case{0.2f, 2.0f, 10},
                          // Script requests are not clamped: past straight down, past straight
                          // up, and a yaw many turns round.
                          Case{2.2f, 1.0f, 700}, Case{4.0f, 2.0f, 12000}, Case{0.1f, 40.0f, 700}}) {
        renderer.setCylinderHeight(c.height);
        const CameraAngles camera{c.pitch, c.yaw, 0};
        QImage fast = target(321, 241); // odd sizes: a short last span and a lone pixel
        QImage exact = fast;
        renderer.render(camera, fast);
        renderer.renderExact(camera, exact);
        int worst = 0;
        int drawnByOne = 0;
        for (int y = 0; y < fast.height(); ++y)
            for (int x = 0; x < fast.width(); ++x) {
                const QRgb a = fast.pixel(x, y);
                const QRgb b = exact.pixel(x, y);
                const QRgb untouched = qRgb(255, 0, 255);
                if ((a == untouched) != (b == untouched)) {
                    ++drawnByOne; // on the cylinder's rim the two may judge a pixel differently
                    continue;
                }
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        SCOPED_TRACE(testing::Message()
                     << "pitch " << c.pitch << " yaw " << c.yaw << " height " << c.height);
        EXPECT_LE(worst, 4);
        EXPECT_LE(drawnByOne, fast.width());
    }
}

TEST(PanoramaCamera, ScriptAnglesAndTheCentrePoint) {
    using namespace tv::pano;
    EXPECT_NEAR(withHorizontalAngle({}, 90).yaw, kPi / 2, 1e-6);
    EXPECT_NEAR(withHorizontalAngle({}, 720).yaw, 4 * kPi, 1e-5); // not wrapped
    const float m = maximumVerticalAngle(700);
    // A positive fraction looks up: just below 2π, read back by scripts as a positive angle.
    const CameraAngles up = withVerticalAngle({}, 0.5f, 700);
    EXPECT_NEAR(up.pitch, kTwoPi - 0.5f * m, 1e-5);
    EXPECT_NEAR(verticalCameraAngle(up.pitch), 0.5f * m, 1e-5);
    const CameraAngles down = withVerticalAngle({}, -0.5f, 700);
    EXPECT_NEAR(down.pitch, 0.5f * m, 1e-5);
    EXPECT_NEAR(verticalCameraAngle(down.pitch), -0.5f * m, 1e-5);
    EXPECT_NEAR(withVerticalAngle({}, -2.0f, 700).pitch, 2 * m, 1e-5); // past the limit, unclamped

    // 1/4 turn of a 6000-twip picture is column 1500; level looks at the middle row.
    EXPECT_EQ(viewCentrePoint({0, kTwoPi / 4, 0}, 700, QSize(6000, 3000)), QPoint(1500, 1500));
    // Halves go to even: a quarter turn of 10 is 2.5 → 2, of 14 is 3.5 → 4 (exact in floats).
    EXPECT_EQ(viewCentrePoint({0, kTwoPi / 4, 0}, 700, QSize(10, 10)).x(), 2);
    EXPECT_EQ(viewCentrePoint({0, kTwoPi / 4, 0}, 700, QSize(14, 10)).x(), 4);
    // Looking down reads below the middle, where the view shows it.
    const QPoint below = viewCentrePoint({0.3f, 1, 0}, 700, QSize(4096, 1024));
    EXPECT_GT(below.y(), 512);
    Renderer renderer;
    renderer.setTexture(QImage(4096, 1024, QImage::Format_RGB32));
    const auto shown = renderer.sourcePoint({0.3f, 1, 0}, QSize(800, 600), QPointF(399.5, 299.5));
    ASSERT_TRUE(shown);
    EXPECT_NEAR(shown->y(), below.y(), 1.0);
    EXPECT_NEAR(shown->x(), below.x(), 1.0);
}

TEST(PanoramaTexture, DrawingOnItKeepsTheSeamAndTheBottomEdge) {
    QImage base(20, 10, QImage::Format_RGB32);
    base.fill(qRgb(0, 0, 0));
    tv::pano::Texture texture(base);
    QImage stamp(8, 8, QImage::Format_RGB888);
    stamp.fill(qRgb(200, 100, 50));
    const std::uint32_t* bits = texture.bits();
    const int stride = texture.stride();

    // A 3 x 4 area in the first column down to the last row: only the stamp's top-left part.
    ASSERT_TRUE(texture.drawOn(stamp, QRect(0, 6, 3, 4)));
    EXPECT_EQ(bits[6 * stride + 0], qRgb(200, 100, 50));
    EXPECT_EQ(bits[9 * stride + 2], qRgb(200, 100, 50));
    EXPECT_EQ(bits[9 * stride + 3], qRgb(0, 0, 0));
    EXPECT_EQ(bits[5 * stride + 0], qRgb(0, 0, 0));
    EXPECT_EQ(bits[7 * stride + 20], qRgb(200, 100, 50)) << "the seam column follows column 0";
    EXPECT_EQ(bits[10 * stride + 1], qRgb(200, 100, 50)) << "the extra bottom row follows the last";

    // Refused, and nothing changed: outside the texture, larger than the picture, empty.
    EXPECT_FALSE(texture.drawOn(stamp, QRect(18, 0, 3, 3)));
    EXPECT_FALSE(texture.drawOn(stamp, QRect(0, 0, 9, 2)));
    EXPECT_FALSE(texture.drawOn(stamp, QRect(5, 5, 0, 3)));
    EXPECT_FALSE(texture.drawOn(QImage(), QRect(0, 0, 1, 1)));
    EXPECT_FALSE(tv::pano::Texture().drawOn(stamp, QRect(0, 0, 1, 1)));
    EXPECT_EQ(bits[0 * stride + 18], qRgb(0, 0, 0));
    EXPECT_EQ(bits[0 * stride + 0], qRgb(0, 0, 0));
}
