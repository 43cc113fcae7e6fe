#include "app/command_line.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

TEST(CommandLine, OptionsAndTheProjectFolder) {
    QString error;
    auto c = CommandLine::parse(
        {"game", "--headless", "--virtual-time", "--walkthrough", "w.txt", "--log", "-"}, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->projectFolder, "game");
    EXPECT_TRUE(c->headless);
    EXPECT_TRUE(c->virtualTime);
    EXPECT_EQ(c->walkthrough, "w.txt");
    EXPECT_EQ(c->log, "-");

    c = CommandLine::parse({"--audio-out", "heard.wav", "--sound"}, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->audioOut, "heard.wav");
    EXPECT_TRUE(c->sound);
    EXPECT_FALSE(c->allowNativeComponents);
    EXPECT_FALSE(CommandLine::parse({"--audio-out"}, error));
    c = CommandLine::parse({"--allow-native-components"}, error);
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->allowNativeComponents);

    c = CommandLine::parse({}, error);
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->projectFolder.isEmpty());
    EXPECT_FALSE(c->headless);
}

TEST(CommandLine, DriveLettersMapToFoldersForTheRun) {
    QString error;
    auto c = CommandLine::parse(
        {"--drive", "e=/discs/one", "--drive", "F:=disc two", "--drive", "E=/discs/1=a"}, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->drives, (drives::Mappings{{'E', "/discs/1=a"}, {'F', "disc two"}}));
    for (const char* bad : {"E", "E=", "=x", "EF=x", "1=x"}) {
        EXPECT_FALSE(CommandLine::parse({"--drive", bad}, error)) << bad;
        EXPECT_EQ(error, QString("--drive needs LETTER=FOLDER, not ") + bad);
    }
    EXPECT_FALSE(CommandLine::parse({"--drive"}, error));
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
    QString error;
    EXPECT_FALSE(CommandLine::parse({"--fast"}, error));
    EXPECT_EQ(error, "unknown option --fast");
    EXPECT_FALSE(CommandLine::parse({"--log"}, error));
    EXPECT_EQ(error, "--log needs a value");
    EXPECT_FALSE(CommandLine::parse({"a", "b"}, error));
    EXPECT_TRUE(CommandLine::parse({"--help"}, error)->help);
    EXPECT_TRUE(CommandLine::parse({"--version"}, error)->version);
}

TEST(CommandLine, DefaultProjectIsTheProgramFolderWhenItHoldsAGame) {
    QTemporaryDir dir;
    EXPECT_EQ(defaultProjectFolder(dir.path(), "/demo"), "/demo");
    QDir(dir.path()).mkpath("config");
    QFile general(dir.filePath("config/GENERAL"));
    ASSERT_TRUE(general.open(QIODevice::WriteOnly));
    general.close();
    EXPECT_EQ(defaultProjectFolder(dir.path(), "/demo"), dir.path())
        << "found whatever the letter case of the shipped layout";

    // Installed: bin/torvane-player finds share/torvane-player/demo.
    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("share/torvane-player/demo/Config");
    QFile installed(prefix.filePath("share/torvane-player/demo/Config/General"));
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.close();
    EXPECT_EQ(defaultProjectFolder(prefix.filePath("bin"), "/demo"),
              prefix.filePath("share/torvane-player/demo"));
}
