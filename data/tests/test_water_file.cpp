#include "data/tests/file_bytes.h"
#include "data/water_file.h"
#include "platform/core/errors.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;

namespace {

WaterFile readBytes(const QByteArray& bytes) {
    return test::readFrom<WaterFile>(bytes,
                                     [](RecordReader& in, WaterFile& v) { readWater(in, v); });
}

int errorOf(const QByteArray& bytes) {
    return test::errorOf([&] { readBytes(bytes); });
}

} // namespace

TEST(WaterFile, ReadsTheRectangleWaveSpeedAndTheOptionalDirection) {
    const WaterFile w = readBytes("\"x\",1,#TRUE#,2.5,,3,10,200,640,240,5,8,#TRUE#\r\n");
    EXPECT_EQ(w.Left, 10);
    EXPECT_EQ(w.Top, 200);
    EXPECT_EQ(w.Width, 640);
    EXPECT_EQ(w.Height, 240);
    EXPECT_EQ(w.Wave, 5);
    EXPECT_EQ(w.Speed, 8);
    EXPECT_TRUE(w.hasReverse);
    EXPECT_TRUE(w.Reverse);
    EXPECT_EQ(w.Leading[0], RecordValue::ofString("x")) << "the leading fields are any values";

    // Without the last field the wave runs forwards, line end or not.
    for (const QByteArray& shorter :
         {QByteArray("0,0,0,0,0,0,1,2,3,4,5,-2\r\n"), QByteArray("0,0,0,0,0,0,1,2,3,4,5,-2")}) {
        const WaterFile f = readBytes(shorter);
        EXPECT_FALSE(f.hasReverse);
        EXPECT_FALSE(f.Reverse);
        EXPECT_EQ(f.Speed, -2);
    }
    // Line breaks separate fields as commas do; numbers round as the classic reader rounds them.
    const WaterFile lines =
        readBytes("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1.5\r\n2.5\r\n3\r\n4\r\n5\r\n6\r\n"
                  "#FALSE#\r\n");
    EXPECT_EQ(lines.Left, 2);
    EXPECT_EQ(lines.Top, 2);
    EXPECT_TRUE(lines.hasReverse);
    EXPECT_FALSE(lines.Reverse);
}

TEST(WaterFile, ABrokenFileRaisesTheReadersError) {
    EXPECT_EQ(errorOf("0,0,0,0,0,0,1,2,3\r\n"), err::InputPastEndOfFile);
    EXPECT_EQ(errorOf("0,0,0,0,0,0,1,2,\"wide\",4,5,6\r\n"), err::TypeMismatch);
    EXPECT_EQ(errorOf("0,0,0,0,0,0,1,2,40000,4,5,6\r\n"), err::Overflow);
    EXPECT_EQ(errorOf("0,0,0,0,0,0,1,2,3,4,5,6,\"maybe\"\r\n"), err::TypeMismatch);
}

TEST(WaterFile, WritesWhatItReadsByteForByte) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProjectFolders folders;
    folders.setRoot(dir.path() + "/");
    EXPECT_TRUE(waterSettingsPath(folders, "Lake").endsWith("Frames/Lake.rwe"));
    EXPECT_TRUE(waterMaskPath(folders, "Lake").endsWith("Frames/Lake.rwm"));

    for (const QByteArray& bytes : {QByteArray("\"a\",1,2,3,4,5,10,20,30,40,3,8,#TRUE#\r\n"),
                                    QByteArray("0,0,0,0,0,0,-1,0,32767,1,0,-2\r\n")}) {
        const QString path = dir.path() + "/w.rwe";
        writeAll(path, bytes);
        const WaterFile w = readWaterFile(path);
        writeWaterFile(path, w);
        EXPECT_EQ(readAll(path), bytes);
        EXPECT_EQ(readWaterFile(path), w);
    }
    try {
        readWaterFile(dir.path() + "/none.rwe");
        ADD_FAILURE() << "a missing file is an error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}
