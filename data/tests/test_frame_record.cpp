#include "data/frame_record.h"
#include "platform/core/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
FrameRecord sample() {
    FrameRecord r;
    r.BackgroundMode = 1;
    r.Background = "Hall.jpg";
    r.BackgroundTiled = true;
    r.SoundFile = "wind.wav";
    r.TimerEnabled = true;
    r.TimerSeconds = RecordValue::ofNumber(2.5);
    r.TimerTarget = "Cellar";
    r.MusicFile = "theme.mid";
    r.StopMusic = true;
    r.VideoLeft = 10;
    r.VideoHeight = 99;
    r.SoundLoops = false;
    r.TimerTransition = true;
    r.TimerTransitionDuration = 750;
    r.TimerTransitionNumber = 3;
    r.CallProcedure = true;
    r.ProcedureCall = RecordValue::ofString("Greet |Ann|");
    r.FadeDuration = RecordValue::ofNumber(500);
    r.ChannelValueCount = 5;
    r.ChannelCount = 2;
    r.ChannelRows = {
        {RecordValue::ofNumber(1), RecordValue::ofBool(true), RecordValue::ofBool(false),
         RecordValue::ofNumber(7), RecordValue::ofString("a.wav")},
        {RecordValue::ofNumber(3), RecordValue::ofBool(false), RecordValue::ofBool(false),
         RecordValue::ofNumber(0), RecordValue::ofString("")}};
    r.VideoFirst = true;
    r.StartupScript =
        RecordValue::ofString(QString("MsgBox ") + QChar(254) + "Hi" + QChar(254) + " & ~!~");
    return r;
}
} // namespace

TEST(FrameRecord, FullRecordRoundTrips) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.fme");
    writeFrameRecord(sample(), path);
    const FrameRecord r = readFrameRecord(path);
    EXPECT_EQ(r.BackgroundMode, 1);
    EXPECT_EQ(r.Background, "Hall.jpg");
    EXPECT_TRUE(r.BackgroundTiled);
    EXPECT_EQ(r.TimerSeconds.number, 2.5);
    EXPECT_EQ(r.TimerTarget, "Cellar");
    EXPECT_EQ(r.MusicFile, "theme.mid");
    EXPECT_EQ(r.VideoLeft, 10);
    EXPECT_EQ(r.VideoHeight, 99);
    EXPECT_FALSE(r.SoundLoops);
    EXPECT_EQ(r.TimerTransitionDuration, 750);
    EXPECT_EQ(r.TimerTransitionNumber, 3);
    EXPECT_EQ(r.procedureCallText(), "Greet \"Ann\"");
    ASSERT_EQ(r.ChannelRows.size(), 2);
    EXPECT_EQ(r.ChannelRows[0][4].toText(), "a.wav");
    EXPECT_EQ(r.ChannelRows[1][0].number, 3);
    EXPECT_TRUE(r.VideoFirst);
    EXPECT_EQ(r.startupScriptText(), "MsgBox \"Hi\" & \"!\"");

    FrameHeader h;
    readFrameHeader(path, h);
    EXPECT_EQ(h.BackgroundMode, 1);
    EXPECT_EQ(h.Background, "Hall.jpg");
    EXPECT_TRUE(h.BackgroundTiled);
}

TEST(FrameRecord, EndsAfterField10GiveNoMusicNoScriptAndALoopingSound) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Short.fme");
    writeFrameRecord(sample(), path, 10);
    const FrameRecord r = readFrameRecord(path);
    EXPECT_EQ(r.SoundFile, "wind.wav");
    EXPECT_TRUE(r.MusicFile.isEmpty());
    EXPECT_TRUE(r.SoundLoops);
    EXPECT_FALSE(r.CallProcedure);
    EXPECT_TRUE(r.startupScriptText().isEmpty());
    EXPECT_EQ(r.VideoWidth, 0);
}

TEST(FrameRecord, EveryAllowedEndReadsBackWhatWasWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Cut.fme");
    for (int end : FrameRecord::kEndPoints) {
        writeFrameRecord(sample(), path, end);
        FrameRecord r;
        ASSERT_NO_THROW(r = readFrameRecord(path)) << "end after field " << end;
        EXPECT_EQ(r.MusicFile.isEmpty(), end < 13) << end;
        EXPECT_EQ(r.SoundLoops, end < 23) << end;
        EXPECT_EQ(r.TimerTransitionNumber, end >= 26 ? 3 : 0) << end;
        EXPECT_EQ(r.ChannelRows.size(), end >= 38 ? 2 : 0) << end;
        EXPECT_EQ(r.VideoFirst, end >= 39) << end;
        EXPECT_EQ(r.StartupScript.toText().isEmpty(), end < 40) << end;
    }
}

TEST(FrameRecord, SixOrMoreChannelValuesMeanNoRowsAreRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Wide.fme");
    FrameRecord w = sample();
    w.ChannelValueCount = 6;
    w.ChannelRows.clear();
    writeFrameRecord(w, path);
    const FrameRecord r = readFrameRecord(path);
    EXPECT_TRUE(r.ChannelRows.isEmpty());
    EXPECT_TRUE(r.VideoFirst) << "the fields after the count follow at once";
    EXPECT_FALSE(r.startupScriptText().isEmpty());
}

TEST(FrameRecord, BrokenOrMissingFilesFail) {
    QTemporaryDir dir;
    EXPECT_THROW(readFrameRecord(dir.filePath("Nope.fme")), VbError);
    const QString path = dir.filePath("Bad.fme");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"abc\",\"x\"\r\n");
    f.close();
    try {
        readFrameRecord(path);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 13) << "a text where the mode number belongs";
    }
    FrameHeader h;
    EXPECT_THROW(readFrameHeader(path, h), VbError);
}

TEST(HotspotCount, MissingFileMeansNoneAndTheCountRoundTrips) {
    QTemporaryDir dir;
    EXPECT_EQ(readHotspotCount(dir.filePath("None.lks")), 0);
    writeHotspotCount(7, dir.filePath("Hall.lks"));
    EXPECT_EQ(readHotspotCount(dir.filePath("Hall.lks")), 7);
    QFile f(dir.filePath("Bad.lks"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"many\"\r\n");
    f.close();
    EXPECT_THROW(readHotspotCount(dir.filePath("Bad.lks")), VbError);
}

TEST(FrameRecord, IgnoredFieldsAreKeptForARewrite) {
    FrameRecord r = sample();
    r.Ignored10 = RecordValue::ofString("ten");
    r.Ignored14to16 = {RecordValue::ofNumber(14), RecordValue::ofBool(true),
                       RecordValue::ofString("16")};
    for (int i = 0; i < 6; ++i)
        r.Ignored29to34[i] = RecordValue::ofNumber(29 + i);
    r.Ignored36 = RecordValue::ofNumber(-36);
    RecordWriter out;
    r.write(out);
    RecordReader in(out.bytes());
    FrameRecord read;
    read.read(in);
    EXPECT_EQ(read.Ignored10, r.Ignored10);
    EXPECT_EQ(read.Ignored14to16, r.Ignored14to16);
    EXPECT_EQ(read.Ignored29to34, r.Ignored29to34);
    EXPECT_EQ(read.Ignored36, r.Ignored36);
    RecordWriter again;
    read.write(again);
    EXPECT_EQ(again.bytes(), out.bytes());
}
