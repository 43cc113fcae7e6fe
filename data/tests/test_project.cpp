#include "data/project.h"
#include "platform/core/errors.h"
#include "platform/core/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The first `fields` fields of a full "General" file, as a file that ends there.
void truncateTo(const QString& from, const QString& to, int fields) {
    RecordReader in = RecordReader::open(from);
    RecordWriter out;
    for (int i = 0; i < fields; ++i)
        out.value(in.readVariant()).endLine();
    out.saveTo(to);
}

ProjectSettings sample() {
    ProjectSettings s;
    s.ProjectName = "Castle";
    s.GameTitle = "The Castle";
    s.InitialFrame = "Hall";
    s.GameVersion = "1.2";
    s.ProjectWidth = 640;
    s.ProjectHeight = 480;
    s.Author = "Ann";
    s.Email = "ann@example.org";
    s.WebSite = "example.org";
    s.OfferResolutionChange = 1;
    s.SchemeName = "Stone";
    s.DisableLoadGame = true;
    s.InventoryIconSpacingX = 12;
    s.UseInventory = false;
    s.InventoryButtonImage = "bag.bmp";
    s.DisplayResolution = 2;
    s.DefaultPointer = "hand.cur";
    s.MenusAlwaysVisible = true;
    s.SkipWelcomeScreen = true;
    s.HideEffectsOption = true;
    s.NeverShowMenus = true;
    s.GameStartScriptEnabled = true;
    s.GameStartScript = "MsgBox \"Hello\"";
    s.FrameScriptEnabled = true;
    s.FrameScript = "x = \"a\" & \"b\"";
    s.DisableEditProcedures = true;
    return s;
}
} // namespace

TEST(ProjectFolders, FoldersEndWithASeparatorAndARootIsUsedOnce) {
    ProjectFolders f;
    f.setRoot("/games/castle");
    EXPECT_EQ(f.RootFolder, "/games/castle/");
    EXPECT_EQ(f.FramesFolder, "/games/castle/Frames/");
    EXPECT_EQ(f.ComponentsFolder, "/games/castle/CPData/");
    ProjectFolders root;
    root.setRoot("/");
    EXPECT_EQ(root.RootFolder, "/");
    EXPECT_EQ(root.ConfigFolder, "/Config/");
    // Scheme and inventory folders keep a value set before.
    ProjectFolders kept;
    kept.SchemesFolder = "/elsewhere/";
    kept.setRoot("/g");
    EXPECT_EQ(kept.SchemesFolder, "/elsewhere/");
    EXPECT_EQ(kept.InventoryFolder, "/g/Inventory/");
}

TEST(ProjectSettings, EveryFieldSurvivesAWriteAndARead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("General");
    const ProjectSettings written = sample();
    written.save(path);
    ProjectSettings read;
    read.load(path);
    EXPECT_EQ(read.ProjectName, "Castle");
    EXPECT_EQ(read.GameTitle, "The Castle");
    EXPECT_EQ(read.InitialFrame, "Hall");
    EXPECT_EQ(read.ProjectWidth, 640);
    EXPECT_EQ(read.ProjectHeight, 480);
    EXPECT_EQ(read.WebSite, "example.org");
    EXPECT_EQ(read.OfferResolutionChange, 1);
    EXPECT_EQ(read.SchemeName, "Stone");
    EXPECT_TRUE(read.DisableLoadGame);
    EXPECT_EQ(read.InventoryIconSpacingX, 12);
    EXPECT_FALSE(read.UseInventory);
    EXPECT_EQ(read.InventoryButtonImage, "bag.bmp");
    EXPECT_EQ(read.DisplayResolution, 2);
    EXPECT_EQ(read.DefaultPointer, "hand.cur");
    EXPECT_TRUE(read.MenusAlwaysVisible);
    EXPECT_TRUE(read.SkipWelcomeScreen);
    EXPECT_FALSE(read.HideTransitionsOption);
    EXPECT_TRUE(read.HideEffectsOption);
    EXPECT_TRUE(read.NeverShowMenus);
    EXPECT_EQ(read.GameStartScript, "MsgBox \"Hello\"");
    EXPECT_EQ(read.FrameScript, "x = \"a\" & \"b\"");
    EXPECT_TRUE(read.DisableEditProcedures);
    // Scripts are stored with vertical bars for double quotes.
    EXPECT_TRUE(readAll(path).contains("\"MsgBox |Hello|\""));
}

TEST(ProjectSettings, AFileMayEndAtEachAllowedPoint) {
    QTemporaryDir dir;
    const QString full = dir.filePath("General");
    sample().save(full);
    const QString cut = dir.filePath("Cut");
    // After field 11: no resolution offer, inventory defaults, default pointer.
    truncateTo(full, cut, 11);
    ProjectSettings s;
    s.load(cut);
    EXPECT_EQ(s.WebSite, "example.org");
    EXPECT_EQ(s.OfferResolutionChange, 0);
    EXPECT_EQ(s.InventoryIconSpacingX, 10);
    EXPECT_TRUE(s.UseInventory);
    EXPECT_EQ(s.InventoryButtonImage, "default");
    EXPECT_EQ(s.DefaultPointer, "default");
    EXPECT_FALSE(s.SkipWelcomeScreen);

    for (int end : {12, 16, 22, 38, 41, 44, 46, 47, 48, 55}) {
        truncateTo(full, cut, end);
        ProjectSettings t;
        EXPECT_NO_THROW(t.load(cut)) << "end after field " << end;
    }
    truncateTo(full, cut, 55);
    ProjectSettings t;
    t.load(cut);
    EXPECT_EQ(t.FrameScript, "x = \"a\" & \"b\"");
    EXPECT_FALSE(t.DisableEditProcedures);
}

TEST(ProjectSettings, AFileCutElsewhereFailsWithTheFieldsReadSoFarKept) {
    QTemporaryDir dir;
    const QString full = dir.filePath("General");
    sample().save(full);
    const QString cut = dir.filePath("Cut");
    truncateTo(full, cut, 8);
    ProjectSettings s;
    try {
        s.load(cut);
        FAIL() << "a file cut after field 8 is broken";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 62);
    }
    EXPECT_EQ(s.ProjectWidth, 640);
    EXPECT_EQ(s.ProjectHeight, 480);
    EXPECT_EQ(s.Author, "");
    EXPECT_THROW(s.load(dir.filePath("Missing")), VbError);
}

TEST(ProjectSettings, SkippedFieldsAndField23AreKeptForARewrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath("General");
    ProjectSettings s = sample();
    for (int i = 0; i < s.Skipped.size(); ++i)
        s.Skipped[i] = RecordValue::ofNumber(100 + ProjectSettings::kSkippedFields[i]);
    s.Skipped[0] = RecordValue::ofString("editor");
    s.Field23 = "x";
    s.save(path);
    const QByteArray once = readAll(path);
    ProjectSettings read;
    read.load(path);
    EXPECT_EQ(read.Skipped, s.Skipped);
    EXPECT_EQ(read.Field23, "x");
    EXPECT_FALSE(read.ApostropheFlag);
    read.save(path);
    EXPECT_EQ(readAll(path), once);

    // Where the flag and the field disagree, the flag wins.
    read.ApostropheFlag = true;
    read.save(path);
    read.load(path);
    EXPECT_EQ(read.Field23, "'");
    EXPECT_TRUE(read.ApostropheFlag);

    // A skipped number too large to read is no failure: it is kept as its text.
    QByteArray bytes = readAll(path);
    ASSERT_TRUE(bytes.startsWith("\"Castle\",\"editor\","));
    bytes.replace(0, 18, "\"Castle\",1E+999,");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    f.close();
    ProjectSettings big;
    EXPECT_NO_THROW(big.load(path));
    EXPECT_EQ(big.Skipped[0], RecordValue::ofString("1E+999"));
    EXPECT_EQ(big.GameTitle, "The Castle");
}
