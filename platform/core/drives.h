#pragma once
// Drive letters on a system that has none. Games name media on other discs by Windows paths
// ("E:\Data\Game\Frames\hall.jpg"), so the letters A to V are given to mounted file systems:
//
// - C is the root file system; the others follow from D in the order of their mount points
//   (byte order), as far as V. A and B stay free, as floppy letters do on Windows. Pseudo file
//   systems (proc, sysfs, cgroup, devpts...) and mounts under /proc, /sys, /dev, /run (except
//   /run/media) and /snap get no letter, nor does a mount point that is no folder.
// - The kind of a drive is what the classic drive-type query answers: iso9660 and udf, or a
//   device /dev/sr* or /dev/cdrom*, are CD-ROM drives (5); nfs, cifs, smb, sshfs, 9p and other
//   network file systems are network drives (4); tmpfs and ramfs are RAM disks (6); mounts
//   under /media or /run/media (where desktops mount plugged-in media) and FAT-family file
//   systems outside /boot are removable (2); everything else is a local disk (3).
// - Letters mapped explicitly (the per-user settings section "Drives", `run --drive`) win over
//   the mounts and count as CD-ROM drives: a folder holding a copied disc, or where a disc image
//   is mounted, stands for the disc. Their letters are taken out of the automatic order.

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QMap>
#include <QString>

#include <array>
#include <optional>

namespace tv {

class SettingsStore;

namespace drives {

// The answers of the classic drive-type query.
enum class DriveKind {
    Unknown = 0,
    NoFolder = 1, // no drive has the letter
    Removable = 2,
    LocalDisk = 3,
    Network = 4,
    CdRom = 5,
    RamDisk = 6,
};

// One line of the mount table (/proc/self/mounts): octal escapes such as "\040" decoded.
struct Mount {
    QString device;
    QString folder;
    QString type;
    bool operator==(const Mount&) const = default;
};
QList<Mount> parseMountTable(const QByteArray& text);

// Whether the mount is storage that gets a letter, and of which kind.
bool getsLetter(const Mount& mount);
DriveKind kindOf(const Mount& mount);

struct Drive {
    QString folder; // empty: no drive has the letter
    DriveKind kind = DriveKind::NoFolder;
    bool operator==(const Drive&) const = default;
};

// Letters, upper-cased, to folders.
using Mappings = QMap<QChar, QString>;

class DriveTable {
public:
    // Mounts as listed (a later mount on the same folder hides the earlier one), with `mapped`
    // letters winning.
    static DriveTable build(const QList<Mount>& mounts, const Mappings& mapped);

    // Any letter case; a character that is no letter A-Z has no drive.
    const Drive& drive(QChar letter) const;
    DriveKind kind(QChar letter) const { return drive(letter).kind; }
    QString folder(QChar letter) const { return drive(letter).folder; }

    bool operator==(const DriveTable&) const = default;

private:
    std::array<Drive, 26> drives_;
};

// A letter as "E", "e", "E:" or "E:\"; nullopt for anything else.
std::optional<QChar> parseLetter(const QString& text);

// The letters mapped in the per-user settings (application "Torvane Player", section "Drives",
// key = letter, value = folder). Empty values and keys that are no letter are left out.
Mappings mappingsFromSettings(const SettingsStore& store);

// The mappings in force for this process (the settings' with the command line's over them).
void setMappings(const Mappings& mapped);
Mappings mappings();

// The drives of the running system: the mount table as it is now, with the mappings.
DriveTable current();

// A path that starts with a drive letter ("E:\Data\x.jpg", "e:/Data", "E:") turned into the
// drive's folder followed by the rest, with '/' separators; "" when no drive has the letter.
// nullopt when the path names no drive.
std::optional<QString> mapDrivePath(const QString& path);

// The last letter from A to V whose drive is a CD-ROM drive; "d" when there is none.
QString findCdDrive(const DriveTable& table);

} // namespace drives
} // namespace tv
