#include "platform/core/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace tv;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        files::invalidate();
        root = dir.path();
        for (const char* d : {"Frames", "Frames/Sub Dir", "Icons", ".git"})
            QDir(root).mkpath(d);
        for (const char* f : {"Frames/Hall.JPG", "Frames/Sub Dir/Deep.wav", "Frames/hall.fme",
                              "Frames/Hall.fm0", "Frames/README", "Frames/.hidden", "General"})
            touch(f);
    }
    void touch(const QString& relative) {
        QFile f(root + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // Makes the folder look untouched for an hour, so that its cached listing is trusted.
    void age(const QString& relative) {
        namespace fs = std::filesystem;
        const fs::path p = QFile::encodeName(root + "/" + relative).toStdString();
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    QTemporaryDir dir;
    QString root;
};

} // namespace

TEST_F(Files, ResolvesEachComponentWithoutCase) {
    EXPECT_EQ(files::resolve(root + "/Frames/Hall.JPG"), root + "/Frames/Hall.JPG");
    EXPECT_EQ(files::resolve(root + "\\FRAMES\\hall.jpg"), root + "/Frames/Hall.JPG");
    EXPECT_EQ(files::resolve(root + "/frames\\sub dir/DEEP.WAV"),
              root + "/Frames/Sub Dir/Deep.wav");
    EXPECT_EQ(files::resolve(root + "\\icons\\"), root + "/Icons/");
    // The exact spelling wins over another one that differs only in case.
    touch("Frames/HALL.jpg");
    EXPECT_EQ(files::resolve(root + "/Frames/HALL.jpg"), root + "/Frames/HALL.jpg");
    EXPECT_EQ(files::resolve(root + "/Frames/hall.FME"), root + "/Frames/hall.fme");
}

TEST_F(Files, MissingPathsKeepTheirExistingFolders) {
    EXPECT_EQ(files::resolve(root + "\\frames\\Nope.jpg"), root + "/Frames/Nope.jpg");
    EXPECT_EQ(files::resolve(root + "\\Nope\\hall.jpg"), root + "/Nope/hall.jpg");
    EXPECT_EQ(files::resolve(root + "/General/x"), root + "/General/x"); // a file is no folder
    EXPECT_FALSE(files::fileExists(root + "\\frames\\Nope.jpg"));
    EXPECT_EQ(files::resolve(""), "");
}

TEST_F(Files, RelativePaths) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(root);
    EXPECT_EQ(files::resolve("frames\\HALL.jpg"), "Frames/Hall.JPG");
    EXPECT_EQ(files::resolve("frames/../icons"), "Frames/../Icons");
    QDir::setCurrent(old);
}

TEST_F(Files, ExistenceChecks) {
    EXPECT_TRUE(files::fileExists(root + "\\FRAMES\\HALL.JPG"));
    EXPECT_FALSE(files::fileExists(root + "\\FRAMES"));
    EXPECT_TRUE(files::folderExists(root + "\\FRAMES\\sub DIR"));
    EXPECT_FALSE(files::folderExists(root + "\\General"));
}

TEST_F(Files, CacheSeesChangesMadeByOthers) {
    age("Frames");
    EXPECT_FALSE(files::fileExists(root + "\\frames\\new.BMP"));
    EXPECT_EQ(files::listFolder(root + "/Frames", "*.bmp"), QStringList());
    touch("Frames/New.bmp");
    EXPECT_TRUE(files::fileExists(root + "\\frames\\new.BMP"));
    EXPECT_EQ(files::listFolder(root + "/Frames", "*.bmp"), QStringList({"New.bmp"}));

    age("Frames");
    EXPECT_TRUE(files::fileExists(root + "\\frames\\NEW.bmp"));
    ASSERT_TRUE(QFile::rename(root + "/Frames/New.bmp", root + "/Frames/Other.bmp"));
    EXPECT_FALSE(files::fileExists(root + "\\frames\\NEW.bmp"));
    EXPECT_TRUE(files::fileExists(root + "\\frames\\other.BMP"));
}

TEST_F(Files, ListsMatchingNamesSortedWithoutCase) {
    const QString frames = root + "\\frames";
    EXPECT_EQ(files::listFolder(frames, "*.*"),
              QStringList({"Hall.fm0", "hall.fme", "Hall.JPG", "README"}));
    EXPECT_EQ(files::listFolder(frames, "HALL.FM?"), QStringList({"Hall.fm0", "hall.fme"}));
    EXPECT_EQ(files::listFolder(frames, ""), files::listFolder(frames, "*"));
    EXPECT_EQ(files::listFolder(frames, "*", files::ListKind::Folders), QStringList({"Sub Dir"}));
    EXPECT_EQ(files::listFolder(root, "*", files::ListKind::Folders),
              QStringList({"Frames", "Icons"}));
    EXPECT_EQ(files::listFolder(root + "/missing", "*"), QStringList());
}

TEST(Wildcards, ClassicPatterns) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"Hall.jpg", "*", true},
        {"README", "*.*", true},
        {"README", "*.", true},
        {"a.b", "*.", false},
        {"Hall.jpg", "h?ll.JP?", true},
        {"Hall.jpg", "h?ll.JP", false},
        {"save12.sav", "save*.sav", true},
        {"save.sav.bak", "*.sav", false},
        {"abcabd", "a*b*d", true},
        {"abcabc", "a*b*d", false},
        {"b1", "[abc]1", true},
        {"d1", "[abc]1", false},
        {"Q.txt", "[a-z].*", true},
        {"5.txt", "[a-z].*", false},
        {"d1", "[!abc]1", true},
        {"B1", "[!abc]1", false},
        {"[x", "[x", true},
        {"", "*", true},
        {"x", "", false},
        {"frame.fme", "FRAME.*", true},
        {"frame", "frame.*", true},
        {"frames", "frame.*", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(files::wildcardMatch(c.name, c.pattern), c.matches)
            << c.name << " ~ " << c.pattern;
}
