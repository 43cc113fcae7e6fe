#include "data/frame_texts.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;

namespace {

FrameTextRecord text(qint16 number, const QString& caption) {
    FrameTextRecord r;
    r.Number = number;
    r.Caption = caption;
    return r;
}

// A record as an editor writes it, with `number` and `colour` given as stored text.
QByteArray storedRecord(const QByteArray& number, const QByteArray& caption,
                        const QByteArray& colour) {
    return "0," + number + ",0,0,0,0,0,0,0,0,\"" + caption +
           "\",150,300,#TRUE#,#FALSE#,\"\",9.75,#FALSE#,#TRUE#," + colour + ",0\r\n";
}

} // namespace

TEST(FrameTexts, EveryFieldSurvivesTheWriterAndReaderByteForByte) {
    QTemporaryDir dir;
    FrameTextRecord r = text(2, "Two\r\nlines");
    r.Field1 = RecordValue::ofString("Hall");
    r.Fields3to10[3] = RecordValue::null();
    r.Fields3to10[7] = RecordValue::ofString("kept");
    r.Left = 1001;
    r.Top = 22.5;
    r.Bold = true;
    r.Italic = true;
    r.FontName = "Times New Roman";
    r.FontSize = 8.25;
    r.Strikethrough = true;
    r.Underline = true;
    r.Colour = 0x00FF8000;
    r.Field21 = RecordValue::ofBool(false);
    writeFrameTextFile(dir.filePath("a.fm1"), {text(1, "One"), r});
    const QList<FrameTextRecord> read = readFrameTextFile(dir.filePath("a.fm1"));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[1], r);
    writeFrameTextFile(dir.filePath("b.fm1"), read);
    const QByteArray bytes = readAll(dir.filePath("a.fm1"));
    EXPECT_EQ(readAll(dir.filePath("b.fm1")), bytes);
    EXPECT_EQ(bytes.count("\r\n"), 3) << "a line per record, and the caption's own line break";
    EXPECT_TRUE(bytes.contains(",\"Times New Roman\",8.25,#TRUE#,#TRUE#,16744448,#FALSE#\r\n"));
}

TEST(FrameTexts, EmptyMarkerInAnyCaseAndArialForAnEmptyFontName) {
    for (const char* marker : {"[empty]", "[EMPTY]", "[Empty]", "[eMpTy]"})
        EXPECT_EQ(text(1, marker).captionText(), "") << marker;
    for (const char* kept : {"[empty] ", "empty", "[empty]x", ""})
        EXPECT_EQ(text(1, kept).captionText(), kept) << kept;

    RecordReader in(storedRecord("1", "[EMPTY]", "0"));
    FrameTextRecord r;
    ASSERT_TRUE(readFrameTextRecord(in, r));
    EXPECT_EQ(r.Caption, "[EMPTY]") << "the stored text is kept for a rewrite";
    EXPECT_EQ(r.captionText(), "");
    EXPECT_EQ(r.FontName, "");
    EXPECT_EQ(r.fontNameOrDefault(), "Arial");
    r.FontName = "Verdana";
    EXPECT_EQ(r.fontNameOrDefault(), "Verdana");
}

TEST(FrameTexts, TheMergedFileIsPreferredAndNamesAreFoundWithoutCase) {
    QTemporaryDir dir;
    ProjectFolders folders;
    folders.setRoot(dir.path() + "/");
    ASSERT_TRUE(QDir().mkpath(folders.FramesDataFolder));
    EXPECT_EQ(frameTextFilePath(folders, "Hall"), "");
    writeFrameTextFile(folders.FramesDataFolder + "HALL.FM1", {text(1, "own")});
    EXPECT_TRUE(frameTextFilePath(folders, "hall").endsWith("HALL.FM1"));
    writeFrameTextFile(folders.FramesDataFolder + "hall.Mr1", {text(1, "own"), text(1, "merged")});
    const QString path = frameTextFilePath(folders, "Hall");
    EXPECT_TRUE(path.endsWith("hall.Mr1"));
    EXPECT_EQ(readFrameTextFile(path).size(), 2);
    EXPECT_THROW(readFrameTextFile(folders.FramesDataFolder + "Cellar.fm1"), VbError);
}

TEST(FrameTexts, TheMergedPartStartsAtTheFirstTextNumberedOneAfterTheFirst) {
    QTemporaryDir dir;
    QList<FrameTextRecord> records;
    for (qint16 n : {1, 2, 3, 1, 2})
        records.append(text(n, QString::number(n)));
    writeFrameTextFile(dir.filePath("Hall.mr1"), records);
    EXPECT_EQ(mergedTextIndex(readFrameTextFile(dir.filePath("Hall.mr1"))), 4);
    EXPECT_EQ(mergedTextIndex({text(2, "a"), text(1, "b"), text(1, "c")}), 2);
    EXPECT_EQ(mergedTextIndex({text(1, "only")}), 1);
    EXPECT_EQ(mergedTextIndex({text(1, "a"), text(2, "b")}), 1);
    EXPECT_EQ(mergedTextIndex({}), 1);
}

TEST(FrameTexts, ABadRecordIsSkippedAndTheNextOneRead) {
    // The middle record has a text where its number and its colour belong.
    const QByteArray bytes = storedRecord("1", "first", "255") +
                             storedRecord("\"two\"", "second", "blue") +
                             storedRecord("3", "third", "0");
    RecordReader in(bytes);
    FrameTextRecord r;
    ASSERT_TRUE(readFrameTextRecord(in, r));
    EXPECT_EQ(r.Colour, 255);
    EXPECT_FALSE(readFrameTextRecord(in, r));
    EXPECT_EQ(r.Number, 0) << "a field that fails keeps its default";
    EXPECT_EQ(r.Caption, "second") << "the fields after a bad one are read from their own values";
    EXPECT_EQ(r.Left, 150);
    EXPECT_EQ(r.FontSize, 9.75);
    EXPECT_EQ(r.Colour, 0);
    ASSERT_TRUE(readFrameTextRecord(in, r));
    EXPECT_EQ(r.Caption, "third");
    EXPECT_EQ(r.Number, 3);
    EXPECT_TRUE(in.atEnd());

    // A file cut inside its last record: that record fails, the loop ends.
    QTemporaryDir dir;
    writeAll(dir.filePath("Hall.fm1"), bytes + "0,4,0,0,0,0,0,0,0,0,\"cut\",150");
    const QList<FrameTextRecord> read = readFrameTextFile(dir.filePath("Hall.fm1"));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].Caption, "first");
    EXPECT_EQ(read[1].Caption, "third");
}

TEST(FrameTexts, Windows1252TextsReadAsWritten) {
    const QByteArray stored = storedRecord("1", "Caf\xe9 \x80 5 \x93quoted\x94", "0");
    RecordReader in(stored);
    FrameTextRecord r;
    ASSERT_TRUE(readFrameTextRecord(in, r));
    EXPECT_EQ(r.Caption, QString::fromUtf8("Café € 5 “quoted”"));
    RecordWriter out;
    r.write(out);
    EXPECT_EQ(out.bytes(), stored);
}
