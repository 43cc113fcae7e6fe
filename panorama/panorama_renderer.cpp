#include "panorama/panorama_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tv::pano {

int clampCylinderHeight(int height) {
    return std::clamp(height, kMinHeight, kMaxHeight);
}

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

CameraAngles withHorizontalAngle(CameraAngles camera, float degrees) {
    camera.yaw = degrees * 2 * kPi / 360;
    return camera;
}

CameraAngles withVerticalAngle(CameraAngles camera, float fraction, int cylinderHeight) {
    camera.pitch = kTwoPi - fraction * maximumVerticalAngle(cylinderHeight);
    if (camera.pitch > kTwoPi) camera.pitch -= kTwoPi;
    return camera;
}

float verticalCameraAngle(float pitch) {
    if (0 <= pitch && pitch <= kPi) return -pitch;
    if (kPi <= pitch && pitch <= kTwoPi) return kTwoPi - pitch;
    return pitch;
}

QPoint viewCentrePoint(const CameraAngles& camera, int cylinderHeight, QSize picture) {
    const float x = camera.yaw * static_cast<float>(picture.width()) / kTwoPi;
    const float h = static_cast<float>(cylinderHeight);
    const float y = (1 - (h / 2 + kRadius * std::tan(kTwoPi - camera.pitch)) / h) *
                    static_cast<float>(picture.height());
    // The current rounding mode is to nearest, halves to even.
    return {static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y))};
}

namespace {

// The common picture formats are copied straight into the sampler's layout (opaque 0xAARRGGBB);
// Qt's general conversion is several times slower for 24-bit pictures.
void copyRow(const QImage& picture, int y, std::uint32_t* dst) {
    const int width = picture.width();
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        const auto* src = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x)
            dst[x] = src[x] | 0xFF000000u;
        return;
    }
    case QImage::Format_RGB888: {
        const uchar* src = picture.constScanLine(y);
        for (int x = 0; x < width; ++x, src += 3)
            dst[x] =
                0xFF000000u | (std::uint32_t{src[0]} << 16) | (std::uint32_t{src[1]} << 8) | src[2];
        return;
    }
    default:
        break;
    }
}

bool copiedDirectly(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGB888;
}

} // namespace

Texture::Texture(const QImage& picture) {
    if (picture.isNull()) return;
    QImage source =
        copiedDirectly(picture.format()) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    // Texel positions are 16.16 fixed point.
    if (source.width() > kMaxTextureSide || source.height() > kMaxTextureSide)
        source = source.scaled(kMaxTextureSide, kMaxTextureSide, Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    width_ = source.width();
    height_ = source.height();
    stride_ = width_ + 1;
    pixels_.resize(static_cast<std::size_t>(stride_) * (height_ + 1));
    for (int y = 0; y < height_; ++y)
        copyRow(source, y, pixels_.data() + static_cast<std::size_t>(y) * stride_);
    fillEdges(0, height_);
}

void Texture::fillEdges(int firstRow, int rows) {
    for (int y = firstRow; y < firstRow + rows; ++y) {
        std::uint32_t* line = pixels_.data() + static_cast<std::size_t>(y) * stride_;
        line[width_] = line[0];
    }
    if (firstRow + rows == height_)
        std::memcpy(pixels_.data() + static_cast<std::size_t>(height_) * stride_,
                    pixels_.data() + static_cast<std::size_t>(height_ - 1) * stride_,
                    sizeof(std::uint32_t) * stride_);
}

bool Texture::drawOn(const QImage& picture, QRect area) {
    if (isNull() || picture.isNull() || area.isEmpty()) return false;
    if (!QRect(0, 0, width_, height_).contains(area) || area.width() > picture.width() ||
        area.height() > picture.height())
        return false;
    const QImage part = picture.copy(0, 0, area.width(), area.height());
    const QImage source =
        copiedDirectly(part.format()) ? part : part.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(source.width()));
    for (int y = 0; y < source.height(); ++y) {
        copyRow(source, y, row.data());
        std::memcpy(pixels_.data() + static_cast<std::size_t>(area.y() + y) * stride_ + area.x(),
                    row.data(), sizeof(std::uint32_t) * row.size());
    }
    fillEdges(area.y(), area.height());
    return true;
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

// atan2 to about 1e-5 radians (a hundredth of a texel round a 4096-pixel picture), free of
// branches so that a row's span ends are computed together.
float fastAtan2(float y, float x) {
    const float ay = std::fabs(y);
    const float ax = std::fabs(x);
    const float big = std::max(ay, ax);
    const float z = big > 0 ? std::min(ay, ax) / big : 0.0f;
    const float z2 = z * z;
    float r =
        z *
        (0.99997726f +
         z2 * (-0.33262347f +
               z2 * (0.19354346f + z2 * (-0.11643287f + z2 * (0.05265332f - z2 * 0.01172120f)))));
    r = ay > ax ? 1.5707963f - r : r;
    r = x < 0 ? 3.1415927f - r : r;
    return y < 0 ? -r : r;
}

[[maybe_unused]] std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t rb =
        (((a & 0x00FF00FFu) * (256 - w) + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const std::uint32_t ag =
        (((a >> 8) & 0x00FF00FFu) * (256 - w) + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}

// One smooth sample at 16.16 texture position (fx, fy); the texel to the right and the row below
// always exist (the texture's extra column and row).
#if defined(__SSE2__)
inline std::uint32_t sample(const std::uint32_t* tex, int stride, std::int32_t fx,
                            std::int32_t fy) {
    const std::uint32_t* p = tex + static_cast<std::ptrdiff_t>(fy >> 16) * stride + (fx >> 16);
    const __m128i zero = _mm_setzero_si128();
    // Weights of 7 bits keep (b − a) × w within 16 signed bits.
    const __m128i wy = _mm_set1_epi16(static_cast<short>((fy >> 9) & 0x7F));
    const __m128i wx = _mm_set1_epi16(static_cast<short>((fx >> 9) & 0x7F));
    const __m128i top =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    const __m128i bottom =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + stride)), zero);
    const __m128i half = _mm_set1_epi16(64); // rounds the blends to nearest
    const __m128i column = _mm_add_epi16(
        top,
        _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(bottom, top), wy), half), 7));
    const __m128i right = _mm_srli_si128(column, 8);
    const __m128i pixel = _mm_add_epi16(
        column,
        _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(right, column), wx), half), 7));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(pixel, zero)));
}

// Two samples at once, (fx, fy) and (fx + dx, fy + dy), written to out[0] and out[1].
inline void samplePair(const std::uint32_t* tex, int stride, std::int32_t fx, std::int32_t fy,
                       std::int32_t dx, std::int32_t dy, std::int32_t lastRow, std::uint32_t* out) {
    const std::int32_t fyA = std::clamp(fy, 0, lastRow);
    const std::int32_t fyB = std::clamp(fy + dy, 0, lastRow);
    const std::int32_t fxB = fx + dx;
    const std::uint32_t* a = tex + static_cast<std::ptrdiff_t>(fyA >> 16) * stride + (fx >> 16);
    const std::uint32_t* b = tex + static_cast<std::ptrdiff_t>(fyB >> 16) * stride + (fxB >> 16);
    const __m128i zero = _mm_setzero_si128();
    const auto wa = static_cast<short>((fyA >> 9) & 0x7F);
    const auto wb = static_cast<short>((fyB >> 9) & 0x7F);
    const __m128i wy = _mm_set_epi16(wb, wb, wb, wb, wa, wa, wa, wa);
    // Low half: pixel A's texel pair, high half: pixel B's.
    const __m128i top = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
    const __m128i bottom =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + stride)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + stride)));
    const __m128i topLo = _mm_unpacklo_epi8(top, zero); // A's left and right texels
    const __m128i topHi = _mm_unpackhi_epi8(top, zero); // B's
    const __m128i bottomLo = _mm_unpacklo_epi8(bottom, zero);
    const __m128i bottomHi = _mm_unpackhi_epi8(bottom, zero);
    const __m128i wyA = _mm_unpacklo_epi64(wy, wy);
    const __m128i wyB = _mm_unpackhi_epi64(wy, wy);
    const __m128i half = _mm_set1_epi16(64); // rounds the blends to nearest
    const __m128i columnA = _mm_add_epi16(
        topLo, _mm_srai_epi16(
                   _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(bottomLo, topLo), wyA), half), 7));
    const __m128i columnB = _mm_add_epi16(
        topHi, _mm_srai_epi16(
                   _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(bottomHi, topHi), wyB), half), 7));
    const __m128i left = _mm_unpacklo_epi64(columnA, columnB);
    const __m128i right = _mm_unpackhi_epi64(columnA, columnB);
    const auto xa = static_cast<short>((fx >> 9) & 0x7F);
    const auto xb = static_cast<short>((fxB >> 9) & 0x7F);
    const __m128i wx = _mm_set_epi16(xb, xb, xb, xb, xa, xa, xa, xa);
    const __m128i pixels = _mm_add_epi16(
        left,
        _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(right, left), wx), half), 7));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(pixels, zero));
}
#else
inline std::uint32_t sample(const std::uint32_t* tex, int stride, std::int32_t fx,
                            std::int32_t fy) {
    const std::uint32_t* p = tex + static_cast<std::ptrdiff_t>(fy >> 16) * stride + (fx >> 16);
    const std::uint32_t ax = (static_cast<std::uint32_t>(fx) >> 8) & 0xFF;
    const std::uint32_t ay = (static_cast<std::uint32_t>(fy) >> 8) & 0xFF;
    return mix(mix(p[0], p[1], ax), mix(p[stride], p[stride + 1], ax), ay);
}
#endif

bool drawable(const QImage& target) {
    return !target.isNull() &&
           (target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32);
}

} // namespace

std::optional<QPointF> Renderer::sourcePoint(const CameraAngles& camera, QSize viewport,
                                             QPointF screen) const {
    const Lens lens;
    const RowRay row = rowRay(lens.y(static_cast<float>(screen.y()) + 0.5f, viewport.height()),
                              std::sin(camera.pitch), std::cos(camera.pitch));
    const UV uv = rayUV(lens.x(static_cast<float>(screen.x()) + 0.5f, viewport.width()), row,
                        camera.yaw, static_cast<float>(height_));
    if (uv.v < 0 || uv.v > 1) return std::nullopt;
    const float u = uv.u - std::floor(uv.u);
    return QPointF(u * texture_.width(), uv.v * texture_.height());
}

void Renderer::renderExact(const CameraAngles& camera, QImage& target) const {
    if (texture_.isNull() || !drawable(target) || !std::isfinite(camera.yaw) ||
        !std::isfinite(camera.pitch))
        return;
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
    if (texture_.isNull() || !drawable(target) || !std::isfinite(camera.yaw) ||
        !std::isfinite(camera.pitch))
        return;
    // Along a row the texture point is a smooth function of the column, so it is computed
    // exactly at the ends of short spans and stepped linearly in 16.16 fixed point in between.
    // Each row takes the longest span (a power of two, at most 32) whose straight-line error
    // stays under a tenth of a texel: rows that look steeply up or down bend fastest.
    constexpr int kMaxSpanShift = 5;
    constexpr float kMaxError = 0.1f;
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
    const int centre = width / 2;
    const float step = lens.x(1.0f, width) - lens.x(0.0f, width); // of the ray's x per pixel

    // The rays' x at every pixel centre, and one past the right edge.
    std::vector<float> xs(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x)
        xs[x] = lens.x(static_cast<float>(x) + 0.5f, width);
    // Span ends in 16.16 texels: x unwrapped (the seam is handled per span), y limited so that
    // nearly vertical rays cannot overflow.
    std::vector<std::int64_t> fxs(xs.size());
    std::vector<std::int64_t> fys(xs.size());
    const float turns = camera.yaw / kTwoPi;
    const float yawTurns = turns - std::floor(turns);
    const float fixedWidth = static_cast<float>(tw) * 65536.0f;
    const float fixedHeight = static_cast<float>(th) * 65536.0f;

    for (int y = 0; y < height; ++y) {
        const RowRay row = rowRay(lens.y(static_cast<float>(y) + 0.5f, height), sinPitch, cosPitch);
        // Bounds of the second derivatives, per pixel squared, of the texel column (atan) and row
        // (the inverse of the horizontal distance) along the row.
        const float f = std::max(std::fabs(row.forward), 1e-4f);
        const float bendX = static_cast<float>(tw) / kTwoPi * 0.65f / (f * f);
        const float bendY =
            static_cast<float>(th) * kRadius * std::fabs(row.up) / (cylinder * f * f * f);
        const float bend = std::max(bendX, bendY) * step * step;
        int shift = kMaxSpanShift;
        while (shift > 0 && bend * static_cast<float>(1 << (2 * shift)) / 8.0f > kMaxError)
            --shift;
        const int span = 1 << shift;
        const int spans = (width + span - 1) >> shift;
        for (int k = 0; k <= spans; ++k) {
            const float x = xs[std::min(k << shift, width)];
            const float u = yawTurns + fastAtan2(x, row.forward) / kTwoPi;
            const float v =
                0.5f - kRadius * row.up / (std::sqrt(x * x + row.forward * row.forward) * cylinder);
            fxs[k] = static_cast<std::int64_t>(u * fixedWidth) - (1 << 15);
            fys[k] =
                static_cast<std::int64_t>(std::clamp(v, -1.0f, 2.0f) * fixedHeight) - (1 << 15);
        }
        auto* line = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        for (int k = 0, x0 = 0; x0 < width; ++k, x0 += span) {
            const int n = std::min(span, width - x0);
            std::int64_t startX = fxs[k];
            while (startX < 0)
                startX += wrapX;
            while (startX >= wrapX)
                startX -= wrapX;
            std::int64_t spanX = fxs[k + 1] - fxs[k];
            // Looking past straight up or down, the angle jumps by a turn where it passes ±π;
            // the picture is periodic, so the short way round is the true one.
            if (spanX > wrapX / 2)
                spanX -= wrapX;
            else if (spanX < -wrapX / 2)
                spanX += wrapX;
            const std::int64_t spanY = fys[k + 1] - fys[k];
            const std::int64_t dx = n == span ? spanX >> shift : spanX / n;
            const std::int64_t dy = n == span ? spanY >> shift : spanY / n;
            const std::int64_t lastFx = startX + dx * (n - 1);
            const std::int64_t lastFy = fys[k] + dy * (n - 1);
            // The height on the cylinder peaks at the centre column, so a span holding it is
            // checked pixel by pixel, as is the one span of a row that crosses the seam (and any
            // span of a view turned past straight up or down, where the column runs backwards).
            const bool inside = fys[k] >= lowY && fys[k] <= highY && lastFy >= lowY &&
                                lastFy <= highY && (x0 >= centre || x0 + n <= centre) &&
                                lastFx >= 0 && lastFx < wrapX;
            std::uint32_t* out = line + x0;
            if (inside) {
                // Every position stays within the texture, so 32 bits hold them.
                auto fx = static_cast<std::int32_t>(startX);
                auto fy = static_cast<std::int32_t>(fys[k]);
                const auto stepX = static_cast<std::int32_t>(dx);
                const auto stepY = static_cast<std::int32_t>(dy);
                int i = 0;
#if defined(__SSE2__)
                for (; i + 1 < n; i += 2, fx += 2 * stepX, fy += 2 * stepY)
                    samplePair(tex, stride, fx, fy, stepX, stepY, lastRow, out + i);
#endif
                for (; i < n; ++i, fx += stepX, fy += stepY)
                    out[i] = sample(tex, stride, fx, std::clamp(fy, 0, lastRow));
            } else {
                std::int64_t fx = startX;
                std::int64_t fy = fys[k];
                for (int i = 0; i < n; ++i, fx += dx, fy += dy) {
                    while (fx >= wrapX)
                        fx -= wrapX;
                    while (fx < 0)
                        fx += wrapX;
                    if (fy < lowY || fy > highY) continue;
                    out[i] =
                        sample(tex, stride, static_cast<std::int32_t>(fx),
                               static_cast<std::int32_t>(std::clamp<std::int64_t>(fy, 0, lastRow)));
                }
            }
        }
    }
}

} // namespace tv::pano
