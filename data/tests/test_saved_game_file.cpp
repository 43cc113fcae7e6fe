#include "data/saved_game_file.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::writeAll;
using tv::test::writtenBytes;

namespace {

SavedGameFile readBytes(const QByteArray& bytes) {
    return test::readFrom<SavedGameFile>(
        bytes, [](RecordReader& in, SavedGameFile& v) { readSavedGame(in, v); });
}

int errorOf(const QByteArray& bytes) {
    return test::errorOf([&] { readBytes(bytes); });
}

SavedGameFile sample() {
    SavedGameFile f;
    f.Frame = "Garden";
    f.Integers = {{"HasKey", 1}, {"Door", -1}};
    f.Disappeared = {{"Hall", 2}};
    f.Items = {"Key", "Old map"};
    f.History = {"Hall", "Garden"};
    f.ProjectName = "Isle";
    f.GameTitle = "The Isle";
    f.Date = "03/07/2005";
    f.Variants = {{"Name", RecordValue::ofString("Ann")},
                  {"Brave", RecordValue::ofBool(true)},
                  {"Gold", RecordValue::ofNumber(12.5)},
                  {"Met", RecordValue::ofDate(QDateTime(QDate(2005, 3, 7), QTime(0, 0), Qt::UTC))}};
    return f;
}

const QByteArray kSampleBytes = "\"Garden\"\r\n2\r\n\"HasKey\"\r\n1\r\n\"Door\"\r\n-1\r\n"
                                "1\r\n\"Hall\"\r\n2\r\n"
                                "2\r\n\"Key\"\r\n\"Old map\"\r\n"
                                "2\r\n\"Hall\"\r\n\"Garden\"\r\n"
                                "\"\"\r\n\"\"\r\n\"\"\r\n\"Isle\"\r\n\"The Isle\"\r\n"
                                "\"03/07/2005\"\r\n\"Version 4.3.0\"\r\n"
                                "4\r\n\"Name\"\r\n\"Ann\"\r\n\"Brave\"\r\n#TRUE#\r\n"
                                "\"Gold\"\r\n12.5\r\n\"Met\"\r\n#2005-03-07#\r\n";

} // namespace

TEST(SavedGameFile, IsWrittenOneFieldALineInTheOrderWindowsSavesUse) {
    EXPECT_EQ(writtenBytes(sample()), kSampleBytes);
    EXPECT_EQ(readBytes(kSampleBytes), sample());
    // Readers go field by field: commas in place of line breaks read the same.
    QByteArray commas = kSampleBytes;
    commas.replace("\r\n", ",");
    EXPECT_EQ(readBytes(commas), sample());
}

TEST(SavedGameFile, OlderFilesThatEndEarlyStillRead) {
    // Ends after the inventory: no history, nothing after it.
    const SavedGameFile oldest = readBytes("\"Hall\"\r\n0\r\n0\r\n1\r\n\"Key\"\r\n");
    EXPECT_EQ(oldest.Items, QStringList{"Key"});
    EXPECT_FALSE(oldest.hasHistory);
    EXPECT_FALSE(oldest.hasDetails);
    EXPECT_FALSE(oldest.hasVariants);
    EXPECT_TRUE(oldest.History.isEmpty());

    // Ends after the history, and after the details.
    const SavedGameFile older = readBytes("\"Hall\",0,0,0,1,\"Hall\"\r\n");
    EXPECT_TRUE(older.hasHistory);
    EXPECT_EQ(older.History, QStringList{"Hall"});
    EXPECT_FALSE(older.hasDetails);
    const SavedGameFile old =
        readBytes("\"Hall\",0,0,0,0,\"\",\"\",\"\",\"P\",\"T\",\"01/02/2003\",\"Version 4.0\"");
    EXPECT_TRUE(old.hasDetails);
    EXPECT_FALSE(old.hasVariants);
    EXPECT_EQ(old.Version, "Version 4.0");

    // Each writes back as it was read.
    for (const SavedGameFile& f : {oldest, older, old})
        EXPECT_EQ(readBytes(writtenBytes(f)), f);
}

TEST(SavedGameFile, FilesThatEndInsideAPartOrHoldWrongValuesFail) {
    EXPECT_EQ(errorOf(""), err::InputPastEndOfFile);
    EXPECT_EQ(errorOf("\"Hall\",2,\"A\",1"), err::InputPastEndOfFile) << "one pair of two";
    EXPECT_EQ(errorOf("\"Hall\",0,0,2,\"Key\""), err::InputPastEndOfFile);
    EXPECT_EQ(errorOf("\"Hall\",0,0,0,0,\"\",\"\""), err::InputPastEndOfFile)
        << "the details are all there or the file is broken";
    EXPECT_EQ(errorOf("\"Hall\",1,\"A\",\"one\",0,0"), err::TypeMismatch);
    EXPECT_EQ(errorOf("\"Hall\",1,\"A\",40000,0,0"), err::Overflow);
    EXPECT_EQ(errorOf("\"Hall\",0,0,0,0,\"\",\"\",\"\",\"P\",\"T\",\"D\",\"V\",2,\"A\",1"),
              err::InputPastEndOfFile);
}

TEST(SavedGameFile, TodayIsMonthDayYear) {
    qputenv("TV_SAVE_DATE", "12/31/1999");
    EXPECT_EQ(savedGameDate(), "12/31/1999");
    qunsetenv("TV_SAVE_DATE");
    const QString today = savedGameDate();
    EXPECT_EQ(today, QDate::currentDate().toString("MM/dd/yyyy"));
}

TEST(ResumeFile, MapsASavedFrameToWhereTheGameResumes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Resume");
    // Six leading values, then pairs; names compare case-blind, the last pair wins and an empty
    // second name maps nothing.
    writeAll(path, "1,2,3,4,5,6\r\n\"Hall\",\"Tower\"\r\n\"HALL\",\"Cellar\"\r\n"
                   "\"Garden\",\"\"\r\n");
    EXPECT_EQ(resumeLocation(path, "hall"), "Cellar");
    EXPECT_EQ(resumeLocation(path, "Garden"), "Garden");
    EXPECT_EQ(resumeLocation(path, "Shore"), "Shore");
    EXPECT_EQ(resumeLocation(path, ""), "");
    EXPECT_EQ(resumeLocation(dir.filePath("None"), "Hall"), "Hall");

    // Any failure maps nothing at all, even pairs read before it.
    writeAll(path, "1,2,3,4,5,6,\"Hall\",\"Tower\",\"Shore\"");
    EXPECT_EQ(resumeLocation(path, "Hall"), "Hall");
    writeAll(path, "1,2,3");
    EXPECT_EQ(resumeLocation(path, "Hall"), "Hall");

    // Written as read, byte for byte.
    const QByteArray bytes =
        "\"a\"\r\n2\r\n#TRUE#\r\n\"\"\r\n0\r\n\"x\"\r\n\"Hall\"\r\n\"Tower\"\r\n";
    RecordReader in(bytes);
    ResumeFile resume;
    readResume(in, resume);
    ASSERT_EQ(resume.Pairs.size(), 1);
    RecordWriter out;
    resume.write(out);
    EXPECT_EQ(out.bytes(), bytes);
}
