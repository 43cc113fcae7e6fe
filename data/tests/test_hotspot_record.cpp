#include "data/hotspot_record.h"
#include "data/record_helpers.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

RecordValue num(double v) {
    return RecordValue::ofNumber(v);
}
RecordValue str(const QString& s) {
    return RecordValue::ofString(s);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A hotspot with every field set, the tail included.
HotspotRecord sample(qint16 index) {
    HotspotRecord r;
    r.Field1 = str("Hall");
    r.Index = index;
    r.Fields3to10[0] = str("ignored");
    r.Fields3to10[7] = RecordValue::ofBool(true);
    r.Left = num(60);
    r.Top = num(120);
    r.Width = num(60);
    r.Height = num(60);
    r.Animated = num(0);
    r.ShowPicture = RecordValue::ofBool(true);
    r.Picture = str("door.gif");
    r.Stretch = RecordValue::ofBool(false);
    r.Pointer = str("hand.cur");
    r.HasConditions = num(1);
    r.MustBeZero = {"doorOpen", QString::fromUtf8("clé")};
    r.MustBeOne = {"lamp"};
    r.hasAnimationSpeed = true;
    r.AnimationSpeed = num(3);
    r.hasVideoTail = true;
    r.HasVideo = RecordValue::ofBool(true);
    r.VideoFile = str("fire.avi");
    r.VideoAutoSize = RecordValue::ofBool(false);
    r.VideoVolume = num(7.5);
    r.Field28 = num(0);
    r.Field29 = num(0);
    r.VideoRate = num(0);
    r.VideoPlayCount = num(0);
    r.Field32 = num(0);
    r.Field33 = str("");
    return r;
}

// The merged index as the engine computes it: the first record after the first whose index is 1.
int mergedIndex(const QList<HotspotRecord>& records) {
    for (int k = 2; k <= records.size(); ++k) {
        if (records[k - 1].Index == 1) return k;
    }
    return 1;
}

} // namespace

TEST(HotspotRecord, EveryFieldSurvivesTheWriterAndReader) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.fm2");
    const QList<HotspotRecord> written = {sample(1), sample(2)};
    writeHotspotFile(path, written);
    const QList<HotspotRecord> read = readHotspotFile(path);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0], written[0]);
    EXPECT_EQ(read[1], written[1]);
    // A 60 x 60 hotspot keeps its stored size; the 1-pixel rule is the engine's.
    EXPECT_EQ(read[0].Width.number, 60);
    EXPECT_EQ(read[0].Height.number, 60);
    EXPECT_EQ(read[0].MustBeZero[1], QString::fromUtf8("clé"));
}

TEST(HotspotRecord, OptionalTailsMayBeAbsentInAnyRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tails.fm2");
    HotspotRecord none = sample(1);
    none.hasAnimationSpeed = false;
    none.hasVideoTail = false;
    HotspotRecord speedOnly = sample(2);
    speedOnly.hasVideoTail = false;
    writeHotspotFile(path, {none, speedOnly, sample(3), none});

    const QList<HotspotRecord> read = readHotspotFile(path);
    ASSERT_EQ(read.size(), 4);
    EXPECT_FALSE(read[0].hasAnimationSpeed);
    EXPECT_FALSE(read[0].hasVideoTail);
    EXPECT_EQ(read[0].AnimationSpeed.kind, RecordValue::Kind::Empty);
    EXPECT_EQ(read[0].HasVideo.kind, RecordValue::Kind::Empty);
    EXPECT_EQ(read[0].MustBeOne, QStringList{"lamp"});
    EXPECT_TRUE(read[1].hasAnimationSpeed);
    EXPECT_FALSE(read[1].hasVideoTail);
    EXPECT_EQ(read[1].AnimationSpeed.number, 3);
    EXPECT_EQ(read[2], sample(3));
    EXPECT_EQ(read[3].Index, 1);
    EXPECT_FALSE(read[3].hasAnimationSpeed);
}

TEST(HotspotRecord, EmptyNameListsAndUnknownTrailingFields) {
    // A newer editor may add fields after field 33: they are skipped with the separator.
    HotspotRecord r = sample(1);
    r.MustBeZero.clear();
    r.MustBeOne.clear();
    RecordWriter w;
    r.write(w);
    QByteArray bytes = w.bytes();
    bytes.insert(bytes.lastIndexOf("\"-----"), "\"extra\",42\r\n");
    RecordWriter second;
    sample(2).write(second);
    RecordReader in(bytes + second.bytes());

    HotspotRecord a, b;
    a.read(in);
    b.read(in);
    EXPECT_TRUE(a.MustBeZero.isEmpty());
    EXPECT_TRUE(a.MustBeOne.isEmpty());
    EXPECT_EQ(a.AnimationSpeed.number, 3);
    EXPECT_EQ(b, sample(2));
    EXPECT_TRUE(in.atEnd());
}

TEST(HotspotRecord, MergedFileGivesEachRecordItsOwnIndex) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Merged.mr2");
    writeHotspotFile(path, {sample(1), sample(2), sample(3), sample(1), sample(2)});
    const QList<HotspotRecord> read = readHotspotFile(path);
    ASSERT_EQ(read.size(), 5);
    const QList<qint16> expected = {1, 2, 3, 1, 2};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(read[i].Index, expected[i]);
    EXPECT_EQ(mergedIndex(read), 4);
}

TEST(HotspotRecord, ReadThenWriteGivesTheSameBytes) {
    QTemporaryDir dir;
    HotspotRecord bare = sample(2);
    bare.hasAnimationSpeed = false;
    bare.hasVideoTail = false;
    writeHotspotFile(dir.filePath("a.fm2"), {sample(1), bare, sample(3)});
    writeHotspotFile(dir.filePath("b.fm2"), readHotspotFile(dir.filePath("a.fm2")));
    const QByteArray bytes = readAll(dir.filePath("a.fm2"));
    EXPECT_EQ(readAll(dir.filePath("b.fm2")), bytes);
    EXPECT_TRUE(bytes.endsWith("\"----- SEPARATOR -----\"\r\n"));
    EXPECT_TRUE(bytes.contains("\"cl\xe9\"")) << "names are stored in Windows-1252";
}

TEST(HotspotRecord, FilePathPrefersTheMergedFileAndIgnoresCase) {
    QTemporaryDir dir;
    ProjectFolders folders;
    folders.setRoot(dir.path() + "/");
    ASSERT_TRUE(QDir().mkpath(folders.FramesDataFolder));
    EXPECT_EQ(hotspotFilePath(folders, "Hall"), "");
    writeHotspotFile(folders.FramesDataFolder + "HALL.FM2", {sample(1)});
    EXPECT_TRUE(hotspotFilePath(folders, "hall").endsWith("HALL.FM2"));
    writeHotspotFile(folders.FramesDataFolder + "Hall.mr2", {sample(1)});
    EXPECT_TRUE(hotspotFilePath(folders, "Hall").endsWith("Hall.mr2"));
}

TEST(HotspotRecord, BrokenRecordsFail) {
    RecordWriter w;
    w.string("x").string("one").endLine();
    RecordReader bad(w.bytes());
    HotspotRecord r;
    try {
        r.read(bad);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch) << "a text where the index belongs";
    }
    RecordWriter cut;
    sample(1).write(cut);
    RecordReader truncated(cut.bytes().left(cut.bytes().indexOf("\"lamp\"")));
    try {
        r.read(truncated);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::InputPastEndOfFile);
    }
}
