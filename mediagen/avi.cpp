// Videos: Motion JPEG in an AVI file, the simplest form that every player reads.

#include "mediagen/byte_writer.h"
#include "mediagen/mediagen.h"

#include <QBuffer>

#include <algorithm>

namespace tv::mediagen {

namespace {

constexpr quint32 kAvifHasIndex = 0x10;
constexpr quint32 kAviifKeyFrame = 0x10;
constexpr int kJpegQuality = 85;

QByteArray jpeg(const QImage& frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!frame.save(&buffer, "JPEG", kJpegQuality)) return {};
    return bytes;
}

} // namespace

QByteArray mjpegAvi(const QList<QImage>& frames, int fps) {
    if (frames.isEmpty() || fps <= 0 || frames.first().isNull()) return {};
    const QSize size = frames.first().size();

    QList<QByteArray> jpegs;
    quint32 largest = 0;
    qint64 previousKey = 0;
    for (const QImage& frame : frames) {
        // Copies of one image (a solid colour held for many frames) are encoded once.
        if (!jpegs.isEmpty() && frame.cacheKey() == previousKey) {
            jpegs.append(jpegs.last());
            continue;
        }
        previousKey = frame.cacheKey();
        QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
        if (rgb.size() != size) rgb = rgb.scaled(size);
        jpegs.append(jpeg(rgb));
        if (jpegs.last().isEmpty()) return {};
        largest = std::max(largest, quint32(jpegs.last().size()));
    }
    const auto count = quint32(frames.size());

    detail::ByteWriter w;
    w.tag("RIFF");
    const qsizetype riffSize = w.placeholder32();
    w.tag("AVI ");

    w.tag("LIST");
    const qsizetype hdrlSize = w.placeholder32();
    w.tag("hdrl");
    w.tag("avih");
    w.le32(56);
    w.le32(quint32(1000000 / fps)); // microseconds per frame
    w.le32(largest * quint32(fps)); // max bytes per second
    w.le32(0);                      // padding granularity
    w.le32(kAvifHasIndex);
    w.le32(count);
    w.le32(0); // initial frames
    w.le32(1); // streams
    w.le32(largest + 8);
    w.le32(quint32(size.width()));
    w.le32(quint32(size.height()));
    for (int i = 0; i < 4; ++i)
        w.le32(0);

    w.tag("LIST");
    const qsizetype strlSize = w.placeholder32();
    w.tag("strl");
    w.tag("strh");
    w.le32(56);
    w.tag("vids");
    w.tag("MJPG");
    w.le32(0); // flags
    w.le16(0); // priority
    w.le16(0); // language
    w.le32(0); // initial frames
    w.le32(1); // scale: rate / scale = frames per second
    w.le32(quint32(fps));
    w.le32(0); // start
    w.le32(count);
    w.le32(largest + 8);
    w.le32(0xFFFFFFFF); // quality: the codec's default
    w.le32(0);          // sample size: varies
    w.le16(0);
    w.le16(0);
    w.le16(quint32(size.width()));
    w.le16(quint32(size.height()));
    w.tag("strf");
    w.le32(40); // BITMAPINFOHEADER
    w.le32(40);
    w.le32(quint32(size.width()));
    w.le32(quint32(size.height()));
    w.le16(1);  // planes
    w.le16(24); // bits per pixel once decoded
    w.tag("MJPG");
    w.le32(quint32(size.width() * size.height() * 3));
    for (int i = 0; i < 4; ++i)
        w.le32(0);
    w.patchLe32(strlSize, quint32(w.size() - strlSize - 4));
    w.patchLe32(hdrlSize, quint32(w.size() - hdrlSize - 4));

    w.tag("LIST");
    const qsizetype moviSize = w.placeholder32();
    const qsizetype movi = w.size(); // index offsets count from the 'movi' tag
    w.tag("movi");
    QList<quint32> offsets;
    for (const QByteArray& frame : jpegs) {
        offsets.append(quint32(w.size() - movi));
        w.tag("00dc");
        w.le32(quint32(frame.size()));
        w.append(frame);
        if (frame.size() & 1) w.u8(0);
    }
    w.patchLe32(moviSize, quint32(w.size() - moviSize - 4));

    w.tag("idx1");
    w.le32(count * 16);
    for (quint32 i = 0; i < count; ++i) {
        w.tag("00dc");
        w.le32(kAviifKeyFrame);
        w.le32(offsets[i]);
        w.le32(quint32(jpegs[i].size()));
    }
    w.patchLe32(riffSize, quint32(w.size() - 8));
    return w.bytes();
}

QByteArray solidColourVideo(QColor colour, int width, int height, int fps, int frameCount) {
    return colourSequenceVideo({colour}, width, height, fps, frameCount);
}

QByteArray colourSequenceVideo(const QList<QColor>& colours, int width, int height, int fps,
                               int framesPerColour) {
    if (width <= 0 || height <= 0 || framesPerColour <= 0) return {};
    QList<QImage> frames;
    for (const QColor& colour : colours) {
        QImage frame(width, height, QImage::Format_RGB32);
        frame.fill(colour);
        for (int i = 0; i < framesPerColour; ++i)
            frames.append(frame);
    }
    return mjpegAvi(frames, fps);
}

} // namespace tv::mediagen
