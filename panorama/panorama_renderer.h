#pragma once
// The panorama's software renderer: a picture wrapped round the inside of a vertical cylinder
// (radius 100, the camera on its axis), drawn through a pinhole camera into a QImage.
//
// The surface is the true cylinder: its 254 flat faces of the classic mesh (the last one closing
// at u = 1) differ from it by under a hundredth of a texel. Its nearest point is 100 units away
// and its farthest a few thousand, so the near and far planes (0.01, 100000) never cut it.
//
// Orientation: the view centre shows picture column yaw × width / 2π, the picture is upright and
// unmirrored, and a positive pitch looks down — the same point the hotspot test reads, so what
// is drawn under the centre is what a click there hits.

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace tv::pano {

// The angle constants of the control, kept at their classic single-precision values so that
// angles stored by games wrap at the same points.
inline constexpr float kTwoPi = 6.283184f;
inline constexpr float kPi = 3.141592f;

inline constexpr float kRadius = 100.0f;
inline constexpr int kSegments = 254;
inline constexpr int kDefaultHeight = 700;
inline constexpr int kMinHeight = 10;
inline constexpr int kMaxHeight = 12000;

// Larger pictures are scaled down to fit this on both sides.
inline constexpr int kMaxTextureSide = 16000;

// Projection: π/3 field of view, the horizontal scale corrected by 480/640, near and far planes.
inline constexpr float kFieldOfView = 1.0471973f;
inline constexpr float kAspectCorrection = 0.75f;
inline constexpr float kNearPlane = 0.01f;
inline constexpr float kFarPlane = 100000.0f;

// Pitch, yaw and roll in radians. Roll is kept for the control's state; the control never
// changes it and the renderer draws with roll 0.
struct CameraAngles {
    float pitch = 0;
    float yaw = 0;
    float roll = 0;
};

int clampCylinderHeight(int height);

// How far the view may tilt up or down: arctan((height / 2) / 100) − 0.54 radians. Negative for
// very low cylinders, which pins the pitch.
float maximumVerticalAngle(int cylinderHeight);

// Brings an angle into 0 to 2π by one addition or subtraction of 2π.
float wrapAngle(float angle);

// The camera turned by a delta, with the pitch held within the vertical limit of the height.
CameraAngles rotateCamera(CameraAngles camera, CameraAngles delta, int cylinderHeight);

// A script's angle requests: the yaw in degrees (not wrapped), and the pitch as a fraction of the
// vertical limit, positive looking up (not clamped: a fraction beyond ±1 passes the limit until
// the next turn of the mouse clamps it).
CameraAngles withHorizontalAngle(CameraAngles camera, float degrees);
CameraAngles withVerticalAngle(CameraAngles camera, float fraction, int cylinderHeight);

// The pitch as scripts read it: looking up and down give values of opposite sign around 0.
float verticalCameraAngle(float pitch);

// The point of the source picture (in its own units, e.g. twips) under the view centre, which is
// where hotspots are tested; halves round to even.
QPoint viewCentrePoint(const CameraAngles& camera, int cylinderHeight, QSize picture);

// The picture in the layout the sampler reads: 32-bit RGB, one extra column (a copy of column 0,
// so the last column blends into the first at the seam) and one extra row (a copy of the last,
// so the bottom edge clamps).
class Texture {
public:
    Texture() = default;
    explicit Texture(const QImage& picture);

    bool isNull() const { return width_ == 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; } // in pixels
    const std::uint32_t* bits() const { return pixels_.data(); }

    // Copies the top-left area.size() of picture onto the texture at area, unscaled. Fails, and
    // changes nothing, when the area is empty or does not lie within both the texture and the
    // picture.
    bool drawOn(const QImage& picture, QRect area);

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<std::uint32_t> pixels_;

    void fillEdges(int firstRow, int rows);
};

class Renderer {
public:
    void setTexture(const QImage& picture) { texture_ = Texture(picture); }
    void setTexture(Texture texture) { texture_ = std::move(texture); }
    const Texture& texture() const { return texture_; }
    bool drawOnTexture(const QImage& picture, QRect area) { return texture_.drawOn(picture, area); }

    void setCylinderHeight(int height) { height_ = clampCylinderHeight(height); }
    int cylinderHeight() const { return height_; }

    // Draws the view into target (Format_RGB32 or ARGB32; its size is the viewport). Pixels whose
    // ray passes above or below the cylinder are left as they were, as the view is drawn over
    // the previous one.
    void render(const CameraAngles& camera, QImage& target) const;

    // The same view with every pixel's texture point computed exactly and sampled in floating
    // point: slow, the reference for the fast path.
    void renderExact(const CameraAngles& camera, QImage& target) const;

    // The point of the picture (in texture pixels, x in 0 to width) seen through the centre of
    // screen pixel (x, y) of a viewport; nothing when the ray misses the cylinder.
    std::optional<QPointF> sourcePoint(const CameraAngles& camera, QSize viewport,
                                       QPointF screen) const;

private:
    Texture texture_;
    int height_ = kDefaultHeight;
};

} // namespace tv::pano
