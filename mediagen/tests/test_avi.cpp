#include "mediagen/mediagen.h"

#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>

namespace tv::mediagen {
namespace {

quint32 le32(const QByteArray& data, qsizetype at) {
    quint32 value = 0;
    for (qsizetype i = 3; i >= 0; --i)
        value = value << 8 | quint8(data.at(at + i));
    return value;
}

// The chunks of an AVI file as a reader walks them: every list's size must cover exactly its
// children (with their padding) or the walk fails.
struct AviWalk {
    std::map<QByteArray, qsizetype> bodies; // first chunk (or list) of each kind: its data
    qsizetype movi = -1;                    // where the 'movi' tag is
    int listErrors = 0;

    void walk(const QByteArray& file, qsizetype from, qsizetype to) {
        qsizetype pos = from;
        while (pos + 8 <= to) {
            const QByteArray id = file.mid(pos, 4);
            const qsizetype size = le32(file, pos + 4);
            if (id == "LIST") {
                const QByteArray kind = file.mid(pos + 8, 4);
                if (!bodies.count(kind)) bodies[kind] = pos + 12;
                if (kind == "movi") movi = pos + 8;
                walk(file, pos + 12, pos + 8 + size);
            } else if (!bodies.count(id)) {
                bodies[id] = pos + 8;
            }
            pos += 8 + size + (size & 1);
        }
        if (pos != to) ++listErrors;
    }
};

AviWalk walk(const QByteArray& file) {
    AviWalk w;
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(file.mid(8, 4), "AVI ");
    EXPECT_EQ(le32(file, 4), quint32(file.size() - 8));
    w.walk(file, 12, file.size());
    EXPECT_EQ(w.listErrors, 0);
    return w;
}

QRgb averageColour(const QByteArray& jpeg) {
    const QImage image = QImage::fromData(jpeg, "JPEG");
    EXPECT_FALSE(image.isNull());
    if (image.isNull()) return 0;
    return image.pixel(image.width() / 2, image.height() / 2);
}

void expectNear(QRgb actual, QColor expected) {
    EXPECT_NEAR(qRed(actual), expected.red(), 6) << std::hex << actual;
    EXPECT_NEAR(qGreen(actual), expected.green(), 6) << std::hex << actual;
    EXPECT_NEAR(qBlue(actual), expected.blue(), 6) << std::hex << actual;
}

TEST(Avi, HeadersDescribeOneMotionJpegStream) {
    const QByteArray file = solidColourVideo(QColor(200, 40, 90), 64, 48, 25, 10);
    const AviWalk w = walk(file);
    for (const char* kind : {"hdrl", "avih", "strl", "strh", "strf", "movi", "idx1"})
        EXPECT_TRUE(w.bodies.count(kind)) << kind;

    const qsizetype avih = w.bodies.at("avih");
    EXPECT_EQ(le32(file, avih), 40000u); // microseconds a frame
    EXPECT_EQ(le32(file, avih + 12) & 0x10, 0x10u) << "has an index";
    EXPECT_EQ(le32(file, avih + 16), 10u);
    EXPECT_EQ(le32(file, avih + 24), 1u);
    EXPECT_EQ(le32(file, avih + 32), 64u);
    EXPECT_EQ(le32(file, avih + 36), 48u);

    const qsizetype strh = w.bodies.at("strh");
    EXPECT_EQ(file.mid(strh, 4), "vids");
    EXPECT_EQ(file.mid(strh + 4, 4), "MJPG");
    EXPECT_EQ(double(le32(file, strh + 24)) / le32(file, strh + 20), 25.0);
    EXPECT_EQ(le32(file, strh + 32), 10u);

    const qsizetype strf = w.bodies.at("strf");
    EXPECT_EQ(le32(file, strf), 40u);
    EXPECT_EQ(le32(file, strf + 4), 64u);
    EXPECT_EQ(le32(file, strf + 8), 48u);
    EXPECT_EQ(file.mid(strf + 16, 4), "MJPG");
}

TEST(Avi, IndexPointsAtFramesInOrder) {
    const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, QColor(250, 250, 20)};
    const QByteArray file = colourSequenceVideo(colours, 33, 17, 10, 2);
    const AviWalk w = walk(file);
    ASSERT_GE(w.movi, 0);
    const qsizetype idx1 = w.bodies.at("idx1");
    ASSERT_EQ(le32(file, idx1 - 4), 8u * 16u);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const qsizetype entry = idx1 + 16 * i;
        EXPECT_EQ(file.mid(entry, 4), "00dc");
        EXPECT_EQ(le32(file, entry + 4) & 0x10, 0x10u) << "key frame";
        const qsizetype chunk = w.movi + le32(file, entry + 8);
        ASSERT_LT(chunk + 8, file.size());
        EXPECT_EQ(file.mid(chunk, 4), "00dc");
        const quint32 size = le32(file, chunk + 4);
        EXPECT_EQ(size, le32(file, entry + 12));
        const QByteArray jpeg = file.mid(chunk + 8, size);
        EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
        expectNear(averageColour(jpeg), colours[i / 2]);
        EXPECT_EQ(QImage::fromData(jpeg).size(), QSize(33, 17));
    }
}

TEST(Avi, FramesOfAnotherSizeTakeTheFirstOnesAndBadArgumentsGiveNothing) {
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::white);
    QImage big(20, 10, QImage::Format_ARGB32);
    big.fill(Qt::black);
    const QByteArray file = mjpegAvi({small, big}, 30);
    const AviWalk w = walk(file);
    const qsizetype idx1 = w.bodies.at("idx1");
    const qsizetype second = w.movi + le32(file, idx1 + 16 + 8);
    const QImage decoded = QImage::fromData(file.mid(second + 8, le32(file, second + 4)));
    EXPECT_EQ(decoded.size(), QSize(8, 8));
    expectNear(decoded.pixel(4, 4), Qt::black);

    EXPECT_TRUE(mjpegAvi({}, 25).isEmpty());
    EXPECT_TRUE(mjpegAvi({small}, 0).isEmpty());
    EXPECT_TRUE(solidColourVideo(Qt::red, 0, 10, 25, 5).isEmpty());
}

} // namespace
} // namespace tv::mediagen
