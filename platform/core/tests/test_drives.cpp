#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "platform/core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tv;
using namespace tv::drives;

namespace {

// A desktop's mount table: the root disk, a USB stick, a DVD, a network share, a RAM disk, a
// second disk, and the pseudo file systems and system folders that get no letter.
const QByteArray kMounts = "sysfs /sys sysfs rw,nosuid 0 0\n"
                           "proc /proc proc rw 0 0\n"
                           "udev /dev devtmpfs rw 0 0\n"
                           "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n"
                           "tmpfs /run tmpfs rw 0 0\n"
                           "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                           "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
                           "/dev/sdb1 /run/media/ann/STICK\\040ONE vfat rw 0 0\n"
                           "/dev/sr0 /media/ann/DISC_2 iso9660 ro 0 0\n"
                           "server:/games /mnt/nas nfs4 rw 0 0\n"
                           "tmpfs /tmp tmpfs rw 0 0\n"
                           "/dev/sda1 /home ext4 rw 0 0\n"
                           "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                           "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n";

class Drives : public ::testing::Test {
protected:
    void TearDown() override { setMappings({}); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Drives, MountsGetLettersFromCInMountPointOrderWithTheirKinds) {
    const QList<Mount> mounts = parseMountTable(kMounts);
    ASSERT_EQ(mounts.size(), 14);
    EXPECT_EQ(mounts[7], (Mount{"/dev/sdb1", "/run/media/ann/STICK ONE", "vfat"}));

    const DriveTable t = DriveTable::build(mounts, {});
    const QList<Drive> expected = {
        {"/", DriveKind::LocalDisk},      {"/boot/efi", DriveKind::LocalDisk},
        {"/home", DriveKind::LocalDisk},  {"/media/ann/DISC_2", DriveKind::CdRom},
        {"/mnt/nas", DriveKind::Network}, {"/run/media/ann/STICK ONE", DriveKind::Removable},
        {"/tmp", DriveKind::RamDisk},
    };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(t.drive(QChar('C' + i)), expected[i]) << char('C' + i);
    for (const char c : {'A', 'B', 'J', 'Z'}) {
        EXPECT_EQ(t.kind(QChar(c)), DriveKind::NoFolder) << c;
        EXPECT_TRUE(t.folder(QChar(c)).isEmpty());
    }
    EXPECT_EQ(t.drive('f'), t.drive('F'));
    EXPECT_EQ(t.kind('1'), DriveKind::NoFolder);
    EXPECT_EQ(findCdDrive(t), "F");
}

TEST_F(Drives, AMountedOverFolderCountsOnceAndLettersEndAtV) {
    QByteArray many = "/dev/sda1 / ext4 rw 0 0\n/dev/sdc1 /data ext4 rw 0 0\n"
                      "/dev/sr1 /data udf ro 0 0\n";
    for (int i = 0; i < 30; ++i)
        many += "/dev/sdz" + QByteArray::number(i) + " /m/" + QByteArray::number(100 + i) +
                " ext4 rw 0 0\n";
    const DriveTable t = DriveTable::build(parseMountTable(many), {});
    EXPECT_EQ(t.drive('D'), (Drive{"/data", DriveKind::CdRom}));
    EXPECT_EQ(t.folder('V'), "/m/117");
    EXPECT_TRUE(t.folder('W').isEmpty());
}

TEST_F(Drives, ExplicitMappingsWinAndCountAsCdRomDrives) {
    const DriveTable t =
        DriveTable::build(parseMountTable(kMounts), {{'e', "/games/disc1"}, {'X', "/games/disc2"}});
    EXPECT_EQ(t.drive('E'), (Drive{"/games/disc1", DriveKind::CdRom}));
    EXPECT_EQ(t.drive('X'), (Drive{"/games/disc2", DriveKind::CdRom}));
    // The mounts step over the mapped letter.
    EXPECT_EQ(t.folder('D'), "/boot/efi");
    EXPECT_EQ(t.folder('F'), "/home");
    EXPECT_EQ(t.folder('G'), "/media/ann/DISC_2");
    // Only A to V are looked at for a CD drive; "d" when there is none.
    EXPECT_EQ(findCdDrive(t), "G");
    EXPECT_EQ(findCdDrive(DriveTable::build(parseMountTable("/dev/sda1 / ext4 rw 0 0\n"),
                                            {{'W', "/games/disc1"}})),
              "d");
}

TEST_F(Drives, LettersAndSettingsAreParsed) {
    EXPECT_EQ(parseLetter("e"), QChar('E'));
    EXPECT_EQ(parseLetter("E:"), QChar('E'));
    EXPECT_EQ(parseLetter("E:\\"), QChar('E'));
    for (const char* bad : {"", "EF", "1", "E:x", "\xc3\xa9"})
        EXPECT_FALSE(parseLetter(QString::fromUtf8(bad))) << bad;

    SettingsStore store(dir.path() + "/settings.ini");
    store.save("Torvane Player", "Drives", "e", dir.path() + "/disc1");
    store.save("Torvane Player", "Drives", "F", "");
    store.save("Torvane Player", "Drives", "Disc", "/nowhere");
    EXPECT_EQ(mappingsFromSettings(store), (Mappings{{'E', dir.path() + "/disc1"}}));
}

TEST_F(Drives, DrivePathsAreFoundInTheMappedFolderWhateverTheirCase) {
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/disc2/DATA/Lighthouse/Frames"));
    QFile f(dir.path() + "/disc2/DATA/Lighthouse/Frames/Tower.JPG");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    setMappings({{'q', dir.path() + "/disc2"}});
    EXPECT_EQ(current().kind('Q'), DriveKind::CdRom);

    EXPECT_EQ(mapDrivePath("q:\\Data\\x.jpg"), dir.path() + "/disc2/Data/x.jpg");
    EXPECT_EQ(mapDrivePath("Q:"), dir.path() + "/disc2");
    EXPECT_EQ(mapDrivePath("Y:\\Data"), QString());
    EXPECT_FALSE(mapDrivePath("Frames\\x.jpg"));
    EXPECT_TRUE(files::fileExists("Q:\\Data\\lighthouse\\frames\\tower.jpg"));
    EXPECT_EQ(files::resolve("Q:\\Data\\lighthouse\\frames\\tower.jpg"),
              dir.path() + "/disc2/DATA/Lighthouse/Frames/Tower.JPG");
    EXPECT_TRUE(files::folderExists("q:\\"));
    // A letter no drive has is a missing file, never an error.
    EXPECT_FALSE(files::fileExists("Y:\\Data\\lighthouse\\frames\\tower.jpg"));
    setMappings({});
    EXPECT_FALSE(files::fileExists("Q:\\Data\\lighthouse\\frames\\tower.jpg"));
}
