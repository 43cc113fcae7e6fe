#include "e2e_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace e2e;

TEST(Startup, TheFirstFrameShowsItsColour) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0x0000FF)); // red in 0x00BBGGRR
    const RunResult r = p.play("expect frame Start\n"
                               "expect log frame Start\n"
                               "expect pixel 0 0 FF0000\n"
                               "expect pixel 319 199 FF0000\n"
                               // Input on a frame without hotspots changes nothing.
                               "click 10 10\n"
                               "click 10 10 right\n"
                               "move 300 190\n"
                               "key Escape\n"
                               "key F5 shift\n"
                               "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.last(), "quit");
}

TEST(Startup, APictureFrameShowsItsPicture) {
    TestProject p;
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x)
            image.setPixel(x, y, qRgb(0, 255, 0));
    p.writeImage("Frames/hall.bmp", image, "BMP");
    // The name in the record differs in letter case from the file, as on Windows.
    p.writeFrame("Start", pictureFrame("Hall.BMP"));
    const RunResult r = p.play("expect pixel 10 10 00FF00\n"
                               "expect pixel 300 150 0000FF\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Startup, ATiledFrameRepeatsItsPictureFromTheTopLeftCorner) {
    TestProject p;
    QImage tile(40, 30, QImage::Format_RGB32);
    tile.fill(QColor(255, 255, 0));
    tile.setPixel(0, 0, qRgb(255, 0, 255));
    p.writeImage("Frames/tile.bmp", tile, "BMP");
    p.writeFrame("Start", pictureFrame("tile.bmp", true));
    const RunResult r = p.play("expect pixel 0 0 FF00FF\n"
                               "expect pixel 40 30 FF00FF\n"
                               "expect pixel 280 180 FF00FF\n"
                               "expect pixel 281 181 FFFF00\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Startup, AMissingGeneralFileIsReportedAndEndsTheProgram) {
    TestProject p;
    p.withoutSettingsFile();
    // The program ends during start-up, as it would without a walkthrough, which never runs.
    const RunResult r = p.play("expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    ASSERT_EQ(r.log.size(), 2) << show(r);
    EXPECT_EQ(r.log[0],
              "msgbox Error|The following file is missing: " + p.root() + "/Config/General|OK");
    EXPECT_EQ(r.log[1], "quit");
    EXPECT_FALSE(r.errors.contains("walkthrough:")) << show(r);
}

TEST(Startup, WalkthroughFailuresAndMalformedFilesHaveTheirStatus) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    RunResult r = p.play("expect frame Start\nexpect frame Elsewhere\nexpect frame Start\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("walkthrough:2: expected frame Elsewhere, got Start")) << show(r);
    r = p.play("wait 10\nfly away\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.errors.contains("walkthrough:2: unknown command: fly")) << show(r);
    r = p.play("select Slot 1\ntype hello\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("walkthrough:1: select: there is no list entry Slot 1 in Game"))
        << show(r);
    r = p.play("type hello\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("walkthrough:1: type: no text field has the focus in Game"))
        << show(r);
    r = p.play("menu Fly away\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("walkthrough:1: menu: there is no menu item Fly away"))
        << show(r);
}

TEST(Startup, TheGameTitleNamesTheWindowAndAScreenshotIsWritten) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0x00FF00));
    const RunResult r = p.play("screenshot shot.png\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    QImage shot(p.root() + "/../shot.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(320, 200));
    EXPECT_EQ(shot.pixel(5, 5) & 0xFFFFFF, 0x00FF00u);
}

TEST(Demo, TheBundledDemoPlaysItsWalkthrough) {
    QTemporaryDir shots;
    QProcess run;
    run.setWorkingDirectory(shots.path());
    // Its own settings, so that a drive letter stored by an earlier game cannot ask for a disc,
    // and its own documents folder, where the walkthrough saves a game.
    QDir().mkpath(shots.filePath("config"));
    QFile userDirs(shots.filePath("config/user-dirs.dirs"));
    ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DOCUMENTS_DIR=\"" + shots.filePath("documents").toUtf8() + "\"\n");
    userDirs.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", shots.filePath("config"));
    run.setProcessEnvironment(env);
    run.start(TV_RUN_BINARY,
              {TV_DEMO_PROJECT_DIR, "--drive", "V=" + QString(TV_DEMO_PROJECT_DIR) + "/Disc2",
               "--headless", "--virtual-time", "--walkthrough", TV_DEMO_WALKTHROUGH, "--log", "-"});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString()
                                 << run.readAllStandardOutput().toStdString();
    EXPECT_TRUE(QFile::exists(shots.filePath("garden.png")));
    EXPECT_TRUE(
        QFile::exists(shots.filePath("documents/Savegames/The Torvane Demo/In the garden.sav")));
}
