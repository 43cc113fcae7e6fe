#include "data/file_locator.h"
#include "data/ui_texts.h"
#include "platform/core/dialogs.h"
#include "platform/core/event_log.h"
#include "platform/core/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

TEST(UiTexts, WordingsAndOverrides) {
    QTemporaryDir dir;
    UiTexts t;
    EXPECT_TRUE(t.load(dir.filePath("Texts")));
    EXPECT_EQ(t[1], "Start") << "no Texts file: program wording";
    EXPECT_EQ(t[30], "An error has occurred. The program may not work properly. Click OK and "
                     "then press Ctrl+Q to quit.");
    EXPECT_EQ(t[25], "SAVE");

    RecordWriter game;
    game.integer(1).endLine();
    game.saveTo(dir.filePath("Texts"));
    t.load(dir.filePath("Texts"));
    EXPECT_EQ(t[1], "Start New Game");
    EXPECT_EQ(t[2], "Load Game...");

    RecordWriter overrides;
    overrides.integer(2).integer(0).integer(0).integer(0).integer(0).integer(0).integer(3);
    overrides.string("Go").string("Resume").string("Leave").endLine();
    overrides.saveTo(dir.filePath("Texts"));
    t.load(dir.filePath("Texts"));
    EXPECT_EQ(t[1], "Go");
    EXPECT_EQ(t[3], "Leave");
    EXPECT_EQ(t[4], "Created By:") << "only entries 1 to 3 are replaced";

    RecordWriter unknown;
    unknown.integer(5).endLine();
    unknown.saveTo(dir.filePath("Texts"));
    t.load(dir.filePath("Texts"));
    EXPECT_EQ(t[1], "");
    EXPECT_EQ(t[29], "") << "an unknown mode leaves every entry empty";
}

TEST(UiTexts, ABrokenFileIsReportedAndFallsBackToTheProgramWording) {
    DialogService::instance().setAutomated(true);
    QTemporaryDir dir;
    RecordWriter broken;
    broken.integer(2).integer(0).endLine();
    broken.saveTo(dir.filePath("Texts"));
    UiTexts t;
    EXPECT_FALSE(t.load(dir.filePath("Texts")));
    EXPECT_EQ(EventLog::instance().lines().last(), "msgbox Error|Unable to load text.|OK");
    EXPECT_EQ(t[1], "Start");
}

TEST(FileLocator, DisguisedNames) {
    // Only the known four-character endings count; names shorter than 5 characters stay.
    EXPECT_EQ(DisguisedFileName("Areas/a.wav", true), "Areas/a.010");
    EXPECT_EQ(DisguisedFileName("Areas/door.wav", true), "Areas/door.010");
    EXPECT_NE(DisguisedFileName("x.bmp", false), "x.bmp") << "5 characters are enough";
    EXPECT_EQ(DisguisedFileName("Areas/.bmp", false), "Areas/.bmp");
    EXPECT_EQ(DisguisedFileName("Areas/.wav", true), "Areas/.wav");
    EXPECT_EQ(DisguisedFileName("Areas/clip.mpeg", true), "Areas/clip.mpeg");
    // The case of the first three letters does not matter.
    EXPECT_EQ(DisguisedFileName("HALL.bmp", false).right(4),
              DisguisedFileName("hall.bmp", false).right(4));
    // a = 'h' (104), b = 'a' (97), d = 'l' (108); .bmp is 4: |104*2 - 97 + 108*1| + 4 = 223.
    EXPECT_EQ(DisguisedFileName("Frames/Hall.bmp", false), "Frames/Hall.223");
}

TEST(FileLocator, AMissingFileIsReportedWithTheExactTexts) {
    DialogService::instance().setAutomated(true);
    uiTexts().setProgramWording();
    QTemporaryDir dir;
    const QString missing = dir.filePath("gone.xyz");
    EXPECT_EQ(ResolveMediaFile(missing), missing);
    EXPECT_EQ(EventLog::instance().lines().last(),
              "msgbox Error|The following file is missing:\\n" + missing + "\\n\\n" +
                  uiTexts()[34] + "|OK");
    QFile f(dir.filePath("door.010"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ResolveMediaFile(dir.filePath("door.wav")), dir.filePath("door.010"));
    // The silent lookup finds the same file and shows nothing when there is none.
    EXPECT_EQ(FindMediaFile(dir.filePath("door.wav")), dir.filePath("door.010"));
    const qsizetype lines = EventLog::instance().lines().size();
    EXPECT_EQ(FindMediaFile(missing), "");
    EXPECT_EQ(EventLog::instance().lines().size(), lines);
    // Scripts ask for the disguised name only when that file exists.
    const QString plainName = dir.filePath("door.wav");
    EXPECT_EQ(GetEncryptedFileName(plainName), plainName);
    QFile mixed(DisguisedFileName(plainName, false));
    ASSERT_TRUE(mixed.open(QIODevice::WriteOnly));
    mixed.close();
    EXPECT_EQ(GetEncryptedFileName(plainName), DisguisedFileName(plainName, false));
}
