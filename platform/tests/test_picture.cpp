#include "platform/core/errors.h"
#include "platform/picture.h"
#include "platform/tests/qt_app.h"

#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tv {
namespace {

void appendLe16(QByteArray& out, int value) {
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray& out, qint64 value) {
    char bytes[4];
    qToLittleEndian<quint32>(quint32(value), bytes);
    out.append(bytes, 4);
}

// A one-image cursor file (32-bit DIB with an all-opaque AND mask) of one colour.
QByteArray cursorFile(int size, QPoint hotSpot, QRgb color) {
    QByteArray image;
    appendLe32(image, 40); // BITMAPINFOHEADER
    appendLe32(image, size);
    appendLe32(image, size * 2); // colour and mask halves
    appendLe16(image, 1);
    appendLe16(image, 32);
    for (int i = 0; i < 6; ++i)
        appendLe32(image, 0);
    for (int i = 0; i < size * size; ++i)
        appendLe32(image, color | 0xFF000000u);
    const int maskRow = ((size + 31) / 32) * 4;
    image.append(QByteArray(maskRow * size, '\0'));

    QByteArray file;
    appendLe16(file, 0);
    appendLe16(file, 2); // cursor
    appendLe16(file, 1);
    file.append(char(size));
    file.append(char(size));
    file.append(char(0));
    file.append(char(0));
    appendLe16(file, hotSpot.x());
    appendLe16(file, hotSpot.y());
    appendLe32(file, image.size());
    appendLe32(file, 6 + 16);
    return file + image;
}

// A GIF of frames of palette indices (4-colour palette, index 0 transparent). The LZW stream
// sends a clear code before every pixel, so the code width stays at 3 bits.
QByteArray gifFile(int width, int height, const QList<QByteArray>& frames,
                   const QList<QRgb>& palette) {
    QByteArray file("GIF89a");
    appendLe16(file, width);
    appendLe16(file, height);
    file.append(char(0x91)); // global table of 4 entries
    file.append(char(0));
    file.append(char(0));
    for (QRgb c : palette) {
        file.append(char(qRed(c)));
        file.append(char(qGreen(c)));
        file.append(char(qBlue(c)));
    }
    for (const QByteArray& pixels : frames) {
        file.append("\x21\xF9\x04\x01\x00\x00\x00\x00", 8); // transparent index 0
        file.append(char(0x2C));
        appendLe16(file, 0);
        appendLe16(file, 0);
        appendLe16(file, width);
        appendLe16(file, height);
        file.append(char(0));
        file.append(char(2)); // minimum code size
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        const auto put = [&](int code) {
            bits |= quint32(code) << count;
            count += 3;
            while (count >= 8) {
                data.append(char(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        for (char index : pixels) {
            put(4);
            put(index);
        }
        put(5);
        if (count > 0) data.append(char(bits & 0xFF));
        for (int pos = 0; pos < data.size(); pos += 255) {
            const QByteArray block = data.mid(pos, 255);
            file.append(char(block.size()));
            file.append(block);
        }
        file.append(char(0));
    }
    file.append(char(0x3B));
    return file;
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        ASSERT_TRUE(dir_.isValid());
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }

    QString saveImage(const QString& name, const char* format, QRgb color = 0xFF3366CC,
                      QSize size = {12, 7}) const {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        EXPECT_TRUE(image.save(path(name), format));
        return path(name);
    }

    static int loadError(const QString& file) {
        try {
            Picture::load(file);
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    }

    QTemporaryDir dir_;
};

TEST_F(PictureTest, LoadsEveryRasterFormatWithItsSizeAndType) {
    struct Case {
        const char* name;
        const char* format;
        int type;
    };
    for (const Case& c :
         {Case{"a.bmp", "BMP", Picture::Bitmap}, Case{"a.png", "PNG", Picture::Bitmap},
          Case{"a.jpg", "JPEG", Picture::Bitmap}, Case{"a.ico", "ICO", Picture::Icon}}) {
        SCOPED_TRACE(c.name);
        const Picture picture = Picture::load(saveImage(c.name, c.format));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.widthPixels(), 12);
        EXPECT_EQ(picture.heightPixels(), 7);
        EXPECT_EQ(picture.type(), c.type);
        const QColor centre = picture.image().pixelColor(6, 3);
        EXPECT_NEAR(centre.red(), 0x33, 8);
        EXPECT_NEAR(centre.blue(), 0xCC, 8);
    }
}

TEST_F(PictureTest, FormatComesFromTheContentNotTheName) {
    QFile::copy(saveImage("real.jpg", "JPEG"), path("disguised.bmp"));
    EXPECT_EQ(Picture::load(path("disguised.bmp")).widthPixels(), 12);
    // ... except that a file named as an icon must be one.
    QFile::copy(saveImage("real.bmp", "BMP"), path("renamed.ico"));
    EXPECT_EQ(loadError(path("renamed.ico")), err::InvalidPicture);
}

TEST_F(PictureTest, SizesInHiMetricAtNinetySixDpi) {
    const Picture picture = Picture::load(saveImage("b.png", "PNG", 0xFF000000, {100, 48}));
    EXPECT_EQ(picture.Width(), 2646); // 100 * 2540 / 96 = 2645.83
    EXPECT_EQ(picture.Height(), 1270);
    EXPECT_EQ(pixelsToHiMetric(1), 26);
    EXPECT_NEAR(hiMetricToPixels(2646), 100.0, 0.01);
    // Late-bound reads see the same numbers.
    const QMetaObject& meta = Picture::staticMetaObject;
    EXPECT_EQ(meta.property(meta.indexOfProperty("Width")).readOnGadget(&picture).toInt(), 2646);
    EXPECT_EQ(Picture().Width(), 0);
    EXPECT_EQ(Picture().type(), Picture::None);
}

TEST_F(PictureTest, GifGivesItsFirstFrameAndKeepsTransparency) {
    const QList<QRgb> palette = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
    const QByteArray first("\1\0\2\1", 4);  // red, transparent, green, red
    const QByteArray second("\3\3\3\3", 4); // all blue
    const Picture picture =
        Picture::load(write("anim.gif", gifFile(2, 2, {first, second}, palette)));
    ASSERT_EQ(picture.widthPixels(), 2);
    ASSERT_EQ(picture.heightPixels(), 2);
    EXPECT_EQ(picture.type(), Picture::Bitmap);
    const QImage& image = picture.image();
    EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(image.pixel(0, 1), 0xFF00FF00u);
}

TEST_F(PictureTest, CursorFileGivesItsHotSpot) {
    const Picture picture = Picture::load(write("hand.cur", cursorFile(32, {5, 9}, 0x00FF00)));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.type(), Picture::Icon);
    EXPECT_EQ(picture.widthPixels(), 32);
    EXPECT_TRUE(picture.hasHotSpot());
    EXPECT_EQ(picture.hotSpot(), QPoint(5, 9));
    EXPECT_EQ(picture.image().pixel(10, 10), 0xFF00FF00u);
    // Icons have no hot spot of their own.
    EXPECT_FALSE(Picture::load(saveImage("i.ico", "ICO")).hasHotSpot());
}

TEST_F(PictureTest, ErrorsForMissingAndUndecodableFiles) {
    EXPECT_EQ(loadError(path("nothing.bmp")), err::FileNotFound);
    EXPECT_EQ(loadError(dir_.path()), err::FileNotFound);
    EXPECT_EQ(loadError(write("empty.bmp", {})), err::InvalidPicture);
    EXPECT_EQ(loadError(write("text.jpg", "hello, world")), err::InvalidPicture);
    EXPECT_EQ(loadError(write("cut.png", QByteArray("\x89PNG\r\n\x1A\n\0\0", 10))),
              err::InvalidPicture);
    EXPECT_EQ(loadError(write("meta.wmf", QByteArray("\xD7\xCD\xC6\x9A\0\0\0\0", 8))),
              err::InvalidPicture);
    try {
        Picture::load(path("nothing.gif"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(errorText(e), QStringLiteral("File not found"));
    }
    EXPECT_TRUE(Picture::load(QString()).isNull());
}

TEST_F(PictureTest, SavesAsBitmapAndCopiesShareTheImage) {
    const Picture original = Picture::load(saveImage("c.png", "PNG", 0xFF102030));
    const Picture copy = original;
    EXPECT_EQ(copy, original);
    EXPECT_EQ(copy.image().constBits(), original.image().constBits());
    EXPECT_NE(Picture::load(path("c.png")), original);

    original.save(path("saved.bmp"));
    const Picture reloaded = Picture::load(path("saved.bmp"));
    EXPECT_EQ(reloaded.widthPixels(), 12);
    EXPECT_EQ(reloaded.image().pixel(3, 3), 0xFF102030u);
    EXPECT_THROW(Picture().save(path("none.bmp")), VbError);
}

} // namespace
} // namespace tv
