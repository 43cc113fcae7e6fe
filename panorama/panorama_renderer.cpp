#include "panorama/panorama_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tv::pano {

int clampCylinderHeight(int height) { return std::clamp(height, kMinHeight, kMaxHeight); }

float maximumVerticalAngle(int cylinderHeight) {
    return std::atan((static_cast<float>(cylinderHeight) / 2.0f) / kRadius) - 0.54f;
}

float wrapAngle(float angle) {
    if (angle > kTwoPi) return angle - kTwoPi;
    if (angle < 0) return angle + kTwoPi;
    return angle;
}

CameraAngles rotateCamera(CameraAngles camera, CameraAngles delta, int cylinderHeight) {
    const float p = wrapAngle(camera.pitch + delta.pitch);
    const float m = maximumVerticalAngle(cylinderHeight);
    // Tested in this order, so a negative limit (a very low cylinder) pins every pitch to one of
    // the two bounds.
    if (m <= p && p <= kPi)
        camera.pitch = m;
    else if (kPi <= p && p <= kTwoPi - m)
        camera.pitch = kTwoPi - m;
    else
        camera.pitch = p;
    camera.yaw = wrapAngle(camera.yaw + delta.yaw);
    camera.roll = wrapAngle(camera.roll + delta.roll);
    return camera;
}

Texture::Texture(const QImage& picture) {
    if (picture.isNull()) return;
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    width_ = rgb.width();
    height_ = rgb.height();
    stride_ = width_ + 1;
    pixels_.resize(static_cast<std::size_t>(stride_) * (height_ + 1));
    for (int y = 0; y < height_; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::uint32_t* dst = pixels_.data() + static_cast<std::size_t>(y) * stride_;
        std::memcpy(dst, src, sizeof(std::uint32_t) * width_);
        dst[width_] = src[0];
    }
    std::memcpy(pixels_.data() + static_cast<std::size_t>(height_) * stride_,
                pixels_.data() + static_cast<std::size_t>(height_ - 1) * stride_,
                sizeof(std::uint32_t) * stride_);
}

namespace {

// The pinhole camera: a screen pixel's ray in camera space is (X, Y, 1).
struct Lens {
    float scaleX; // X per unit of normalised screen x
    float scaleY;

    explicit Lens() {
        const float cot = 1.0f / std::tan(kFieldOfView / 2.0f);
        scaleX = 1.0f / (cot * kAspectCorrection);
        scaleY = 1.0f / cot;
    }
    float x(float screenX, int width) const { return (2.0f * screenX / width - 1.0f) * scaleX; }
    float y(float screenY, int height) const { return (1.0f - 2.0f * screenY / height) * scaleY; }
};

// A row's ray after the pitch: its horizontal forward part and its vertical part. A positive
// pitch tilts the view down.
struct RowRay {
    float forward;
    float up;
};

RowRay rowRay(float y, float sinPitch, float cosPitch) {
    return {cosPitch + y * sinPitch, y * cosPitch - sinPitch};
}

// Texture coordinates (0 to 1 round the cylinder and from its top down, unwrapped) of the ray
// (x, row) for a cylinder of the given height.
struct UV {
    float u;
    float v;
};

UV rayUV(float x, RowRay row, float yaw, float height) {
    const float angle = yaw + std::atan2(x, row.forward);
    const float r = std::sqrt(x * x + row.forward * row.forward);
    const float up = kRadius * row.up / r;
    return {angle / kTwoPi, 0.5f - up / height};
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t rb = (((a & 0x00FF00FFu) * (256 - w) + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const std::uint32_t ag = (((a >> 8) & 0x00FF00FFu) * (256 - w) + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}

bool drawable(const QImage& target) {
    return !target.isNull() &&
           (target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32);
}

} // namespace

std::optional<QPointF> Renderer::sourcePoint(const CameraAngles& camera, QSize viewport, QPointF screen) const {
    const Lens lens;
    const RowRay row = rowRay(lens.y(static_cast<float>(screen.y()) + 0.5f, viewport.height()),
                              std::sin(camera.pitch), std::cos(camera.pitch));
    const UV uv = rayUV(lens.x(static_cast<float>(screen.x()) + 0.5f, viewport.width()), row, camera.yaw,
                        static_cast<float>(height_));
    if (uv.v < 0 || uv.v > 1) return std::nullopt;
    const float u = uv.u - std::floor(uv.u);
    return QPointF(u * texture_.width(), uv.v * texture_.height());
}

void Renderer::renderExact(const CameraAngles& camera, QImage& target) const {
    if (texture_.isNull() || !drawable(target)) return;
    const int tw = texture_.width();
    const int th = texture_.height();
    const std::uint32_t* tex = texture_.bits();
    const int stride = texture_.stride();
    for (int y = 0; y < target.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            const auto point = sourcePoint(camera, target.size(), QPointF(x, y));
            if (!point) continue;
            // Texel centres sit at half-pixel offsets.
            float fx = static_cast<float>(point->x()) - 0.5f;
            if (fx < 0) fx += tw;
            const float fy = std::clamp(static_cast<float>(point->y()) - 0.5f, 0.0f, th - 1.0f);
            const int ix = std::min(static_cast<int>(fx), tw - 1);
            const int iy = static_cast<int>(fy);
            const float ax = fx - ix;
            const float ay = fy - iy;
            const std::uint32_t* p = tex + static_cast<std::size_t>(iy) * stride + ix;
            std::uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                auto c = [&](std::uint32_t v) { return static_cast<float>((v >> shift) & 0xFF); };
                const float top = c(p[0]) + (c(p[1]) - c(p[0])) * ax;
                const float bottom = c(p[stride]) + (c(p[stride + 1]) - c(p[stride])) * ax;
                const float value = top + (bottom - top) * ay;
                out |= static_cast<std::uint32_t>(std::lround(value)) << shift;
            }
            line[x] = out;
        }
    }
}

void Renderer::render(const CameraAngles& camera, QImage& target) const {
    if (texture_.isNull() || !drawable(target)) return;
    // Along a row the texture point is a smooth function of the column, so it is computed
    // exactly every kSpan pixels and stepped linearly in 16.16 fixed point in between.
    constexpr int kSpan = 16;
    const Lens lens;
    const int width = target.width();
    const int height = target.height();
    const int tw = texture_.width();
    const int th = texture_.height();
    const int stride = texture_.stride();
    const std::uint32_t* tex = texture_.bits();
    const float sinPitch = std::sin(camera.pitch);
    const float cosPitch = std::cos(camera.pitch);
    const float cylinder = static_cast<float>(height_);
    const std::int32_t wrapX = tw << 16;
    const std::int32_t lowY = -(1 << 15); // v = 0, half a texel above the first texel centre
    const std::int32_t highY = ((th - 1) << 16) + (1 << 15);
    const std::int32_t lastRow = (th - 1) << 16;

    std::vector<float> xs(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) xs[x] = lens.x(static_cast<float>(x) + 0.5f, width);

    for (int y = 0; y < height; ++y) {
        const RowRay row = rowRay(lens.y(static_cast<float>(y) + 0.5f, height), sinPitch, cosPitch);
        auto* line = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        UV start = rayUV(xs[0], row, camera.yaw, cylinder);
        for (int x0 = 0; x0 < width; x0 += kSpan) {
            const int n = std::min(kSpan, width - x0);
            const UV end = rayUV(xs[x0 + n], row, camera.yaw, cylinder);
            const double sx = start.u * tw - 0.5;
            const double wrapped = sx - std::floor(sx / tw) * tw;
            std::int32_t fx = static_cast<std::int32_t>(wrapped * 65536.0);
            std::int32_t fy = static_cast<std::int32_t>((start.v * th - 0.5f) * 65536.0f);
            const std::int32_t dx = static_cast<std::int32_t>((end.u - start.u) * tw * 65536.0f / n);
            const std::int32_t dy = static_cast<std::int32_t>((end.v - start.v) * th * 65536.0f / n);
            for (int i = 0; i < n; ++i, fx += dx, fy += dy) {
                if (fx >= wrapX) fx -= wrapX;
                if (fy < lowY || fy > highY) continue;
                const std::int32_t cy = std::clamp(fy, 0, lastRow);
                const std::uint32_t* p = tex + static_cast<std::size_t>(cy >> 16) * stride + (fx >> 16);
                const std::uint32_t ax = (static_cast<std::uint32_t>(fx) >> 8) & 0xFF;
                const std::uint32_t ay = (static_cast<std::uint32_t>(cy) >> 8) & 0xFF;
                line[x0 + i] = mix(mix(p[0], p[1], ax), mix(p[stride], p[stride + 1], ax), ay);
            }
            start = end;
        }
    }
}

} // namespace tv::pano
