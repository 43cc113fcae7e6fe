#include "platform/water_wave.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tv::wave {

namespace {

// Lengths of the waves in pixels: short swells along the depth, longer ones across.
constexpr double kRowWaveLength = 23.0;
constexpr double kColumnWaveLength = 41.0;
constexpr double kDepthWaveLength = 31.0;
constexpr int kMaxStrength = 64;

bool sameShape(const QImage& a, const QImage& b) {
    return a.size() == b.size() && a.format() == QImage::Format_RGB32 &&
           b.format() == QImage::Format_RGB32;
}

// round(amplitude * sin(phase + i * 2 pi / length)) for i in [0, n), clamped to [-limit, limit].
std::vector<int> sineTable(int n, double amplitude, double phase, double length, int limit) {
    std::vector<int> table(static_cast<size_t>(n));
    const double step = 2 * std::numbers::pi / length;
    for (int i = 0; i < n; ++i) {
        const int v = static_cast<int>(std::lround(amplitude * std::sin(phase + i * step)));
        table[static_cast<size_t>(i)] = std::clamp(v, -limit, limit);
    }
    return table;
}

} // namespace

QImage surface(const QImage& picture, QSize size) {
    if (picture.size() == size) return picture.convertToFormat(QImage::Format_RGB32);
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::black);
    if (!picture.isNull() && !size.isEmpty()) {
        QPainter painter(&out);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, picture);
    }
    return out;
}

void distort(QImage& destination, const QImage& source, int strength, double phase) {
    if (!sameShape(destination, source) || source.isNull()) return;
    const int w = source.width();
    const int h = source.height();
    const int amplitude = std::min(std::abs(strength), kMaxStrength);
    // Sideways sway per row; up-and-down per column, plus a slower swell per row.
    const std::vector<int> dx = sineTable(h, amplitude, phase, kRowWaveLength, w - 1);
    const std::vector<int> dyColumn =
        sineTable(w, amplitude / 2.0, phase * 1.3, kColumnWaveLength, h - 1);
    const std::vector<int> dyRow =
        sineTable(h, amplitude / 2.0, -phase * 0.7, kDepthWaveLength, h - 1);

    std::vector<const QRgb*> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[static_cast<size_t>(y)] = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const int shift = dx[static_cast<size_t>(y)];
        const int base = y + dyRow[static_cast<size_t>(y)];
        for (int x = 0; x < w; ++x) {
            const int sx = std::clamp(x + shift, 0, w - 1);
            const int sy = std::clamp(base + dyColumn[static_cast<size_t>(x)], 0, h - 1);
            out[x] = rows[static_cast<size_t>(sy)][sx];
        }
    }
}

QImage maskedPicture(const QImage& still, const QImage& mask) {
    if (!sameShape(still, mask)) return {};
    QImage out(still.size(), QImage::Format_RGB32);
    for (int y = 0; y < still.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(still.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < still.width(); ++x)
            o[x] = 0xFF000000u | (s[x] & ~m[x]);
    }
    return out;
}

void maskedCopy(QImage& destination, const QImage& masked, const QImage& mask) {
    if (!sameShape(destination, masked) || !sameShape(masked, mask)) return;
    for (int y = 0; y < destination.height(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(masked.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x)
            d[x] = 0xFF000000u | (d[x] & m[x]) | s[x];
    }
}

void Ripple::prepare(const QImage& still, const QImage& mask) {
    still_ = surface(still, still.size());
    mask_ = surface(mask, still.size());
    masked_ = maskedPicture(still_, mask_);
    for (QImage& buffer : buffers_)
        buffer = QImage(still_.size(), QImage::Format_RGB32);
    next_ = 0;
}

void Ripple::clear() {
    *this = Ripple();
}

const QImage& Ripple::draw(int strength, double phase) {
    QImage& out = buffers_[next_];
    next_ = 1 - next_;
    distort(out, still_, strength, phase);
    maskedCopy(out, masked_, mask_);
    return out;
}

} // namespace tv::wave
