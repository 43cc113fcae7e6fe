// Animated GIF89a: one global palette, a graphic control block per frame, LZW-compressed pixels.

#include "mediagen/byte_writer.h"
#include "mediagen/mediagen.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace tv::mediagen {

namespace {

constexpr int kMaxColours = 256;
constexpr int kCubeLevels = 6;
constexpr int kCubeSize = kCubeLevels * kCubeLevels * kCubeLevels;
constexpr int kCubeStep = 255 / (kCubeLevels - 1);
constexpr int kMaxCodeBits = 12;
constexpr int kDisposeNone = 1;       // the next frame is drawn over this one
constexpr int kDisposeBackground = 2; // the area is cleared before the next frame

int squaredDistance(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

// The colour table and how a pixel finds its entry in it.
class Palette {
public:
    // Opaque colours of all frames kept exactly when they fit, else a cube and greys.
    Palette(const QList<QImage>& frames, bool transparency) {
        const int room = kMaxColours - (transparency ? 1 : 0);
        for (const QImage& frame : frames) {
            for (int y = 0; y < frame.height() && exact_; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
                for (int x = 0; x < frame.width(); ++x) {
                    if (qAlpha(line[x]) == 0) continue;
                    const QRgb rgb = line[x] | 0xFF000000u;
                    if (exactIndex_.contains(rgb)) continue;
                    if (colours_.size() == room) {
                        exact_ = false;
                        break;
                    }
                    exactIndex_.insert(rgb, int(colours_.size()));
                    colours_.append(rgb);
                }
            }
        }
        if (!exact_) {
            colours_.clear();
            exactIndex_.clear();
            for (int r = 0; r < kCubeLevels; ++r)
                for (int g = 0; g < kCubeLevels; ++g)
                    for (int b = 0; b < kCubeLevels; ++b)
                        colours_.append(qRgb(r * kCubeStep, g * kCubeStep, b * kCubeStep));
            // The greys between the cube's own: black and white are in the cube already.
            greys_ = room - kCubeSize;
            for (int i = 0; i < greys_; ++i) {
                const int v = int(std::lround(255.0 * (i + 1) / (greys_ + 1)));
                colours_.append(qRgb(v, v, v));
            }
        }
        if (transparency) {
            transparent_ = int(colours_.size());
            colours_.append(qRgb(0, 0, 0));
        }
        if (colours_.isEmpty()) colours_.append(qRgb(0, 0, 0));
        while ((1 << bits_) < colours_.size())
            ++bits_;
    }

    int bits() const { return bits_; }
    int transparentIndex() const { return transparent_; }
    QRgb colour(int index) const { return index < colours_.size() ? colours_[index] : 0; }

    int indexOf(QRgb pixel) const {
        if (qAlpha(pixel) == 0 && transparent_ >= 0) return transparent_;
        const QRgb rgb = pixel | 0xFF000000u;
        if (exact_) return exactIndex_.value(rgb);
        // The cube's nearest is each channel's nearest level; the greys' nearest is the grey of
        // the channels' mean (or a neighbour of it, after rounding).
        const auto level = [](int c) { return (c + kCubeStep / 2) / kCubeStep; };
        int best = level(qRed(rgb)) * kCubeLevels * kCubeLevels + level(qGreen(rgb)) * kCubeLevels +
                   level(qBlue(rgb));
        int bestDistance = squaredDistance(rgb, colours_[best]);
        const double mean = (qRed(rgb) + qGreen(rgb) + qBlue(rgb)) / 3.0;
        const int guess = int(std::lround(mean * (greys_ + 1) / 255.0)) - 1;
        for (int i = std::max(0, guess - 1); i <= std::min(greys_ - 1, guess + 1); ++i) {
            const int d = squaredDistance(rgb, colours_[kCubeSize + i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = kCubeSize + i;
            }
        }
        return best;
    }

private:
    QList<QRgb> colours_;
    QHash<QRgb, int> exactIndex_;
    bool exact_ = true;
    int greys_ = 0;
    int transparent_ = -1;
    int bits_ = 1;
};

// Codes of varying width packed from the lowest bit up.
class BitPacker {
public:
    void put(int code, int width) {
        pending_ |= quint32(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.append(char(pending_ & 0xFF));
            pending_ >>= 8;
            count_ -= 8;
        }
    }
    QByteArray finish() {
        if (count_ > 0) bytes_.append(char(pending_ & 0xFF));
        pending_ = 0;
        count_ = 0;
        return bytes_;
    }

private:
    QByteArray bytes_;
    quint32 pending_ = 0;
    int count_ = 0;
};

// The LZW stream of one frame's indices. A code's width grows when the decoder's table, which
// runs one entry behind ours, reaches the next power of two; a full table starts over with a
// clear code.
QByteArray lzw(const std::vector<uchar>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int width = minCodeSize + 1;
    int next = end + 1;
    std::unordered_map<quint32, int> table;
    table.reserve(1 << kMaxCodeBits);

    BitPacker out;
    out.put(clear, width);
    int prefix = -1;
    for (const uchar k : indices) {
        if (prefix < 0) {
            prefix = k;
            continue;
        }
        const quint32 key = quint32(prefix) << 8 | k;
        if (const auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        out.put(prefix, width);
        const int code = next++;
        table.emplace(key, code);
        if (code >= (1 << width) && width < kMaxCodeBits) ++width;
        if (code == (1 << kMaxCodeBits) - 1) {
            out.put(clear, width);
            table.clear();
            width = minCodeSize + 1;
            next = end + 1;
        }
        prefix = k;
    }
    if (prefix >= 0) {
        out.put(prefix, width);
        // The decoder adds an entry for this last code too, which may widen the end code.
        if (next > end + 1 && next >= (1 << width) && width < kMaxCodeBits) ++width;
    }
    out.put(end, width);
    return out.finish();
}

void appendSubBlocks(detail::ByteWriter& w, const QByteArray& data) {
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - at);
        w.u8(int(n));
        w.append(data.mid(at, n));
    }
    w.u8(0);
}

} // namespace

QByteArray animatedGif(const QList<QImage>& frames, int delayCentiseconds, int loopCount) {
    return animatedGif(frames, QList<int>{delayCentiseconds}, loopCount);
}

QByteArray animatedGif(const QList<QImage>& frames, const QList<int>& delaysCentiseconds,
                       int loopCount) {
    if (frames.isEmpty()) return {};
    QSize size;
    for (const QImage& frame : frames) {
        if (frame.isNull()) return {};
        size = size.expandedTo(frame.size());
    }
    if (size.width() > 0xFFFF || size.height() > 0xFFFF) return {};

    // Every frame covers the whole picture; what a smaller frame leaves is transparent.
    QList<QImage> canvases;
    bool transparency = false;
    for (const QImage& frame : frames) {
        QImage canvas = frame.convertToFormat(QImage::Format_ARGB32);
        if (canvas.size() != size) {
            QImage padded(size, QImage::Format_ARGB32);
            padded.fill(Qt::transparent);
            QPainter painter(&padded);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, canvas);
            painter.end();
            canvas = padded;
        }
        for (int y = 0; y < size.height() && !transparency; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
            transparency =
                std::any_of(line, line + size.width(), [](QRgb p) { return qAlpha(p) == 0; });
        }
        canvases.append(canvas);
    }
    const Palette palette(canvases, transparency);
    const int minCodeSize = std::max(2, palette.bits());

    detail::ByteWriter w;
    w.append("GIF89a");
    w.le16(quint32(size.width()));
    w.le16(quint32(size.height()));
    w.u8(0x80 | 0x70 | (palette.bits() - 1)); // global table, 8 bits a primary, its size
    w.u8(std::max(0, palette.transparentIndex()));
    w.u8(0); // square pixels
    for (int i = 0; i < (1 << palette.bits()); ++i) {
        const QRgb c = palette.colour(i);
        w.u8(qRed(c));
        w.u8(qGreen(c));
        w.u8(qBlue(c));
    }
    if (loopCount >= 0) {
        w.u8(0x21);
        w.u8(0xFF);
        w.u8(11);
        w.append("NETSCAPE2.0");
        w.u8(3);
        w.u8(1);
        w.le16(quint32(std::min(loopCount, 0xFFFF)));
        w.u8(0);
    }

    std::vector<uchar> indices(size_t(size.width()) * size_t(size.height()));
    for (int f = 0; f < canvases.size(); ++f) {
        const int delay = delaysCentiseconds.isEmpty()
                              ? 0
                              : delaysCentiseconds.value(f, delaysCentiseconds.last());
        const int disposal = transparency ? kDisposeBackground : kDisposeNone;
        w.u8(0x21);
        w.u8(0xF9);
        w.u8(4);
        w.u8(disposal << 2 | (transparency ? 1 : 0));
        w.le16(quint32(std::clamp(delay, 0, 0xFFFF)));
        w.u8(std::max(0, palette.transparentIndex()));
        w.u8(0);

        w.u8(0x2C);
        w.le16(0);
        w.le16(0);
        w.le16(quint32(size.width()));
        w.le16(quint32(size.height()));
        w.u8(0); // no local table, not interlaced

        const QImage& canvas = canvases[f];
        size_t at = 0;
        for (int y = 0; y < size.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
            for (int x = 0; x < size.width(); ++x)
                indices[at++] = uchar(palette.indexOf(line[x]));
        }
        w.u8(minCodeSize);
        appendSubBlocks(w, lzw(indices, minCodeSize));
    }
    w.u8(0x3B);
    return w.bytes();
}

} // namespace tv::mediagen
