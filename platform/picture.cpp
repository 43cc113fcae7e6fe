#include "platform/picture.h"

#include "platform/core/errors.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tv {

namespace {

enum class Format { Unknown, Bmp, Gif, Jpeg, Png, Ico, Cur, Wmf, Emf };

bool startsWith(const QByteArray& data, const char* magic, int size) {
    return data.size() >= size && std::memcmp(data.constData(), magic, size) == 0;
}

Format sniff(const QByteArray& data) {
    if (startsWith(data, "BM", 2)) return Format::Bmp;
    if (startsWith(data, "GIF87a", 6) || startsWith(data, "GIF89a", 6)) return Format::Gif;
    if (startsWith(data, "\xFF\xD8\xFF", 3)) return Format::Jpeg;
    if (startsWith(data, "\x89PNG\r\n\x1A\n", 8)) return Format::Png;
    if (startsWith(data, "\0\0\1\0", 4)) return Format::Ico;
    if (startsWith(data, "\0\0\2\0", 4)) return Format::Cur;
    if (startsWith(data, "\xD7\xCD\xC6\x9A", 4) || startsWith(data, "\1\0\x09\0", 4) ||
        startsWith(data, "\2\0\x09\0", 4))
        return Format::Wmf;
    if (startsWith(data, "\1\0\0\0", 4) && data.size() >= 44 && data.mid(40, 4) == " EMF")
        return Format::Emf;
    return Format::Unknown;
}

const char* readerFormat(Format format) {
    switch (format) {
    case Format::Bmp:
        return "bmp";
    case Format::Gif:
        return "gif";
    case Format::Jpeg:
        return "jpeg";
    case Format::Png:
        return "png";
    case Format::Ico:
    case Format::Cur:
        return "ico";
    default:
        return nullptr;
    }
}

// The hot spot of the first cursor image: a cursor directory entry keeps it where an icon entry
// keeps its colour planes and bit count.
QPoint cursorHotSpot(const QByteArray& data) {
    constexpr int kDirSize = 6;
    constexpr int kEntrySize = 16;
    if (data.size() < kDirSize + kEntrySize) return {-1, -1};
    const auto* entry = reinterpret_cast<const uchar*>(data.constData()) + kDirSize;
    return {qFromLittleEndian<quint16>(entry + 4), qFromLittleEndian<quint16>(entry + 6)};
}

QImage decode(QByteArray data, Format format) {
    if (format == Format::Cur) {
        // The icon reader knows icon directories only; a cursor's images are stored the same way.
        data[2] = 1;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, readerFormat(format));
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

int pixelsToHiMetric(int pixels) {
    return static_cast<int>(std::lround(pixels * 2540.0 / 96.0));
}

double hiMetricToPixels(double hiMetric) {
    return hiMetric * 96.0 / 2540.0;
}

Picture::Picture(QImage image, Type type, QPoint hotSpot)
    : image_(std::move(image)), type_(image_.isNull() ? None : type), hotSpot_(hotSpot) {}

Picture Picture::load(const QString& realPath) {
    if (realPath.isEmpty()) return {};
    const QFileInfo info(realPath);
    if (!info.exists() || info.isDir()) throw vbError(err::FileNotFound);
    QFile file(realPath);
    if (!file.open(QIODevice::ReadOnly)) throw vbError(err::PathFileAccessError);
    const QByteArray data = file.readAll();

    const Format format = sniff(data);
    const QString suffix = info.suffix().toLower();
    const bool iconName = suffix == QLatin1String("ico") || suffix == QLatin1String("cur");
    const bool iconData = format == Format::Ico || format == Format::Cur;
    // The classic loader takes a file named as an icon for an icon, so a renamed bitmap fails.
    if (iconName && !iconData) throw vbError(err::InvalidPicture);
    if (!readerFormat(format)) throw vbError(err::InvalidPicture);

    QImage image = decode(data, format);
    if (image.isNull()) throw vbError(err::InvalidPicture);
    if (!iconData) return Picture(std::move(image), Bitmap);

    QPoint hotSpot{-1, -1};
    if (format == Format::Cur) {
        hotSpot = cursorHotSpot(data);
        hotSpot.setX(std::clamp(hotSpot.x(), 0, image.width() - 1));
        hotSpot.setY(std::clamp(hotSpot.y(), 0, image.height() - 1));
    }
    return Picture(std::move(image), Icon, hotSpot);
}

void Picture::save(const QString& realPath) const {
    QImageWriter writer(realPath, "bmp");
    const QImage opaque = image_.convertToFormat(QImage::Format_RGB32);
    if (isNull() || !writer.write(opaque)) throw vbError(err::PathFileAccessError);
}

bool Picture::operator==(const Picture& other) const {
    return image_.cacheKey() == other.image_.cacheKey() && type_ == other.type_ &&
           hotSpot_ == other.hotSpot_;
}

PictureObject::PictureObject(Picture picture, QObject* parent)
    : QObject(parent), picture_(std::move(picture)) {
    setProperty("tvImage", picture_.image());
}

int PictureObject::handle() const {
    // Only whether there is a picture can be told from it.
    return picture_.isNull() ? 0 : static_cast<int>(picture_.image().cacheKey() & 0x3FFFFFFF) | 1;
}

} // namespace tv
