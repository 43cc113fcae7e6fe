#include "data/file_locator.h"
#include "data/multi_cd.h"
#include "data/tests/file_bytes.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/settings_store.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;

namespace {

class MultiCdTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folders.setRoot(dir.path() + "/game/");
        ASSERT_TRUE(QDir().mkpath(folders.ConfigFolder));
        DialogService::instance().setAutomated(true);
    }
    void TearDown() override {
        drives::setMappings({});
        multiCd().clear();
    }
    // A file of the given path, made with its folders.
    void touch(const QString& path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        writeAll(path, "x");
    }

    QTemporaryDir dir;
    ProjectFolders folders;
};

// Three leading fields, a count of 2, two fields, then records: the first two kept, then a CD
// number of 0, one above the count, a kind of 0 and an empty name, all left out; kind 3 kept.
const QByteArray kIndex = "\"x\",1,#TRUE#\r\n2\r\n0,\"y\"\r\n"
                          "\"Hall.jpg\",1,1\r\n\"sea.wav\",2,2\r\n"
                          "\"a.jpg\",0,1\r\n\"b.jpg\",3,1\r\n\"c.jpg\",1,0\r\n\"\",1,1\r\n"
                          "\"odd.jpg\",2,3\r\n";

} // namespace

TEST_F(MultiCdTest, TheIndexRoundTripsAndKeepsOnlyUsableRecords) {
    const QString path = cdIndexPath(folders);
    EXPECT_EQ(path, folders.ConfigFolder + "CDContents");
    writeAll(path, kIndex);
    const CdIndexFile index = readCdIndexFile(path);
    EXPECT_EQ(index.Leading[2], RecordValue::ofBool(true));
    EXPECT_EQ(index.CdCount, 2);
    ASSERT_EQ(index.Entries.size(), 7);
    EXPECT_EQ(index.Entries[1], (CdIndexEntry{"sea.wav", 2, 2}));
    EXPECT_EQ(cdTable(index), (QList<CdTableEntry>{
                                  {"Hall.jpg", "1", 1}, {"sea.wav", "2", 2}, {"odd.jpg", "3", 2}}));

    writeCdIndexFile(path, index);
    EXPECT_EQ(readAll(path), kIndex);
    CdIndexFile plain;
    plain.CdCount = 3;
    plain.Entries = {{"x.bmp", 3, 2}};
    writeCdIndexFile(path, plain);
    EXPECT_EQ(readAll(path), "0,0,0\r\n3\r\n0,0\r\n\"x.bmp\",3,2\r\n");
}

TEST_F(MultiCdTest, LoadingNeedsMarkerAndIndexAndReportsABrokenIndex) {
    writeAll(cdIndexPath(folders), kIndex);
    multiCd().load(folders);
    EXPECT_FALSE(multiCd().active()) << "no RunFromCD.dat";
    EXPECT_TRUE(multiCd().table().isEmpty());

    writeAll(folders.RootFolder + "runfromcd.DAT", "");
    multiCd().load(folders);
    EXPECT_TRUE(multiCd().active());
    EXPECT_EQ(multiCd().table().size(), 3);

    // Broken in the third record (a number that is no number): the two before it stay.
    const qsizetype logged = EventLog::instance().lines().size();
    writeAll(cdIndexPath(folders), "0,0,0\r\n2\r\n0,0\r\n\"a.jpg\",1,1\r\n\"b.jpg\",2,1\r\n"
                                   "\"c.jpg\",\"two\",1\r\n\"d.jpg\",1,1\r\n");
    multiCd().load(folders);
    ASSERT_EQ(EventLog::instance().lines().size(), logged + 1);
    EXPECT_TRUE(EventLog::instance().lines().last().startsWith("msgbox Error|"));
    EXPECT_TRUE(EventLog::instance().lines().last().endsWith(
        "Error description: Error loading CD index.|OK"));
    EXPECT_EQ(multiCd().table(), (QList<CdTableEntry>{{"a.jpg", "1", 1}, {"b.jpg", "1", 2}}));

    // A file that ends inside its header keeps nothing.
    writeAll(cdIndexPath(folders), "0,0");
    multiCd().load(folders);
    EXPECT_EQ(EventLog::instance().lines().size(), logged + 2);
    EXPECT_TRUE(multiCd().table().isEmpty());
    CdIndexFile read;
    RecordReader in(QByteArray("0,0,0,1,0,0,\"a.jpg\",1"));
    EXPECT_THROW(readCdIndex(in, read), VbError);
    EXPECT_TRUE(read.Entries.isEmpty()) << "a record cut short is not kept";
}

TEST_F(MultiCdTest, TheDriveLetterIsKeptOrFoundOnce) {
    SettingsStore store(dir.path() + "/settings.ini");
    const auto withCd = drives::DriveTable::build(
        drives::parseMountTable("/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cd iso9660 ro 0 0\n"),
        {});
    EXPECT_EQ(storedDriveLetter(store, "Lighthouse"), "");
    EXPECT_EQ(driveLetterForLookup(store, "Lighthouse", withCd), "D");
    EXPECT_EQ(storedDriveLetter(store, "Lighthouse"), "D");
    EXPECT_EQ(driveLetterForLookup(store, "Lighthouse", drives::DriveTable()), "D")
        << "a kept letter is not looked for again";
    EXPECT_EQ(driveLetterForLookup(store, "Other", drives::DriveTable()), "d");
    EXPECT_EQ(store.get("Software", "Other", "DriveLetter"), "d");
}

TEST_F(MultiCdTest, TheLookupFindsTheCdAndThePathOnIt) {
    drives::setMappings({{'E', dir.path() + "/disc"}});
    const QList<CdTableEntry> table = {
        {"hall.jpg", "1", 1}, {"Sub\\sea.wav", "2", 2}, {"stop.jpg", "3", 2}, {"late.jpg", "1", 2}};
    using O = CdLookup::Outcome;

    const CdLookup sea =
        lookUpOnCd(folders.AreasFolder + "SUB/Sea.WAV", "E", "Isle", folders, table);
    EXPECT_EQ(sea.outcome, O::OnCd);
    EXPECT_EQ(sea.cd, 2);
    EXPECT_EQ(sea.relative, DisguisedFileName(":\\Data\\Isle\\Areas\\Sub\\sea.wav", false));
    EXPECT_TRUE(sea.relative.startsWith(":\\Data\\Isle\\Areas\\Sub\\sea."));
    EXPECT_EQ(lookUpOnCd(folders.FramesFolder + "Hall.JPG", "E", "Isle", folders, table).relative,
              DisguisedFileName(":\\Data\\Isle\\Frames\\hall.jpg", false));

    // A record of another kind ends the search; a path not listed comes back disguised, or
    // unchanged with no table at all.
    const QString late = folders.FramesFolder + "late.jpg";
    EXPECT_EQ(lookUpOnCd(late, "E", "Isle", folders, table), (CdLookup{O::Unchanged, late, 0, {}}));
    const QString other = folders.FramesFolder + "other.jpg";
    EXPECT_EQ(lookUpOnCd(other, "E", "Isle", folders, table),
              (CdLookup{O::Unchanged, other, 0, {}}));
    EXPECT_EQ(lookUpOnCd(other, "E", "Isle", folders, table.first(2)),
              (CdLookup{O::Unchanged, DisguisedFileName(other, false), 0, {}}));
    EXPECT_EQ(lookUpOnCd(other, "E", "Isle", folders, {}), (CdLookup{O::Unchanged, other, 0, {}}));

    // Whatever the index says, a file in the drive's Frames folder is taken first, under its
    // disguised name, for any folder of the project.
    const QString onDisc =
        dir.path() + "/disc/DATA/isle/frames/" + DisguisedFileName("sea.wav", false);
    touch(onDisc);
    const CdLookup found = lookUpOnCd(folders.AreasFolder + "sea.wav", "e", "Isle", folders, {});
    EXPECT_EQ(found.outcome, O::Found);
    EXPECT_EQ(found.path, DisguisedFileName("e:\\Data\\Isle\\Frames\\sea.wav", false));
}

TEST_F(MultiCdTest, TheLocatorFindsAFileOnTheMappedDisc) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    Project& p = project();
    const Project saved = p;
    p.folders = folders;
    p.settings.ProjectName = "Isle";
    p.settings.GameTitle = "The Isle";
    writeAll(folders.RootFolder + "RunFromCD.dat", "");
    writeAll(cdIndexPath(folders), "0,0,0\r\n2\r\n0,0\r\n\"Tower.jpg\",2,1\r\n");
    touch(dir.path() + "/disc2/Data/The Isle/Frames/" + DisguisedFileName("Tower.jpg", false));
    SettingsStore().save("Software", "Isle", "DriveLetter", "R");
    const QString tower = folders.FramesFolder + "Tower.jpg";

    EXPECT_EQ(FindMediaFile(tower), "") << "the index is not loaded";
    multiCd().load(folders);
    EXPECT_EQ(FindMediaFile(tower), "") << "no disc in R";
    drives::setMappings({{'R', dir.path() + "/disc2"}});
    EXPECT_EQ(FindMediaFile(tower),
              dir.path() + "/disc2/Data/The Isle/Frames/" + DisguisedFileName("Tower.jpg", false));

    p = saved;
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
}
