#include "platform/core/drives.h"

#include "platform/core/settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>

namespace tv::drives {

namespace {

constexpr char kLastAutomatic = 'V';

// "\040" (a space), "\011", "\012" and "\134" as the kernel writes them into the table.
QString unescape(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto octal = [&](qsizetype at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                        (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return QString::fromUtf8(out);
}

bool under(const QString& folder, QStringView top) {
    return folder == top ||
           (folder.startsWith(top) && folder.size() > top.size() && folder[top.size()] == u'/');
}

bool isOneOf(const QString& type, std::initializer_list<QStringView> types) {
    return std::any_of(types.begin(), types.end(), [&](QStringView t) { return type == t; });
}

// Only ASCII letters: "ſ" would otherwise upper-case to "S".
int slot(QChar letter) {
    if (letter.unicode() >= 128) return -1;
    const char16_t c = letter.toUpper().unicode();
    return c >= u'A' && c <= u'Z' ? int(c - u'A') : -1;
}

} // namespace

QList<Mount> parseMountTable(const QByteArray& text) {
    QList<Mount> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3) continue;
        mounts.append({unescape(fields[0]), unescape(fields[1]), unescape(fields[2])});
    }
    return mounts;
}

bool getsLetter(const Mount& m) {
    if (!m.folder.startsWith(u'/')) return false;
    if (isOneOf(m.type,
                {u"proc",      u"sysfs",       u"cgroup",          u"cgroup2",    u"devpts",
                 u"devtmpfs",  u"mqueue",      u"debugfs",         u"tracefs",    u"securityfs",
                 u"pstore",    u"bpf",         u"configfs",        u"fusectl",    u"hugetlbfs",
                 u"autofs",    u"binfmt_misc", u"efivarfs",        u"rpc_pipefs", u"nsfs",
                 u"selinuxfs", u"nfsd",        u"fuse.gvfsd-fuse", u"fuse.portal"}))
        return false;
    if (under(m.folder, u"/run")) return under(m.folder, u"/run/media");
    return !under(m.folder, u"/proc") && !under(m.folder, u"/sys") && !under(m.folder, u"/dev") &&
           !under(m.folder, u"/snap");
}

DriveKind kindOf(const Mount& m) {
    if (isOneOf(m.type, {u"iso9660", u"udf"}) || m.device.startsWith(u"/dev/sr") ||
        m.device.startsWith(u"/dev/cdrom"))
        return DriveKind::CdRom;
    if (isOneOf(m.type,
                {u"nfs", u"nfs4", u"cifs", u"smb3", u"smbfs", u"ncpfs", u"9p", u"afs", u"ceph",
                 u"glusterfs", u"sshfs", u"fuse.sshfs", u"davfs", u"fuse.davfs2", u"fuse.rclone"}))
        return DriveKind::Network;
    if (isOneOf(m.type, {u"tmpfs", u"ramfs"})) return DriveKind::RamDisk;
    if (under(m.folder, u"/media") || under(m.folder, u"/run/media") ||
        (isOneOf(m.type, {u"vfat", u"msdos", u"exfat"}) && !under(m.folder, u"/boot")))
        return DriveKind::Removable;
    return DriveKind::LocalDisk;
}

DriveTable DriveTable::build(const QList<Mount>& mounts, const Mappings& mapped) {
    DriveTable table;
    // The last mount on a folder is the one that is seen there.
    QMap<QString, DriveKind> byFolder;
    for (const Mount& m : mounts) {
        if (getsLetter(m)) byFolder.insert(m.folder, kindOf(m));
    }
    QSet<int> taken;
    for (auto it = mapped.cbegin(); it != mapped.cend(); ++it) {
        const int i = slot(it.key());
        if (i < 0 || it.value().isEmpty()) continue;
        table.drives_[size_t(i)] = {it.value(), DriveKind::CdRom};
        taken.insert(i);
    }
    int next = 'C' - 'A';
    auto give = [&](const QString& folder, DriveKind kind) {
        while (next <= kLastAutomatic - 'A' && taken.contains(next))
            ++next;
        if (next > kLastAutomatic - 'A') return;
        table.drives_[size_t(next++)] = {folder, kind};
    };
    if (const auto root = byFolder.constFind(QStringLiteral("/")); root != byFolder.cend())
        give(root.key(), root.value());
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        if (it.key() != u"/") give(it.key(), it.value());
    }
    return table;
}

const Drive& DriveTable::drive(QChar letter) const {
    static const Drive none;
    const int i = slot(letter);
    return i < 0 ? none : drives_[size_t(i)];
}

std::optional<QChar> parseLetter(const QString& text) {
    if (text.isEmpty() || text.size() > 3 || slot(text[0]) < 0) return std::nullopt;
    const QStringView rest = QStringView(text).mid(1);
    if (!rest.isEmpty() && rest != u":" && rest != u":\\" && rest != u":/") return std::nullopt;
    return text[0].toUpper();
}

Mappings mappingsFromSettings(const SettingsStore& store) {
    Mappings mapped;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QString folder = store.get(QStringLiteral("Torvane Player"), QStringLiteral("Drives"),
                                         QString(QChar(c)));
        if (!folder.isEmpty()) mapped.insert(QChar(c), folder);
    }
    return mapped;
}

namespace {
struct State {
    QMutex mutex;
    Mappings mapped;
    // The table last built, and what it was built from: the mount table changes when a disc
    // goes in or out, so it is read again on every use and the table rebuilt when it differs.
    QByteArray mountText;
    bool built = false;
    DriveTable table;
};
State& state() {
    static State s;
    return s;
}
} // namespace

void setMappings(const Mappings& mapped) {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.mapped.clear();
    for (auto it = mapped.cbegin(); it != mapped.cend(); ++it)
        s.mapped.insert(it.key().toUpper(), it.value());
    s.built = false;
}

Mappings mappings() {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    return s.mapped;
}

DriveTable current() {
    QFile file(QStringLiteral("/proc/self/mounts"));
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    State& s = state();
    QMutexLocker lock(&s.mutex);
    if (s.built && text == s.mountText) return s.table;
    QList<Mount> mounts = parseMountTable(text);
    // Files bound over other files (as containers do for /etc/hosts) are no drives.
    mounts.removeIf([](const Mount& m) { return !QFileInfo(m.folder).isDir(); });
    s.table = DriveTable::build(mounts, s.mapped);
    s.mountText = text;
    s.built = true;
    return s.table;
}

std::optional<QString> mapDrivePath(const QString& path) {
    if (path.size() < 2 || path[1] != u':' || slot(path[0]) < 0) return std::nullopt;
    const QString folder = current().folder(path[0]);
    if (folder.isEmpty()) return QString();
    QString rest = path.mid(2);
    rest.replace(u'\\', u'/');
    while (rest.startsWith(u'/'))
        rest.remove(0, 1);
    if (rest.isEmpty()) return folder;
    return folder.endsWith(u'/') ? folder + rest : folder + u'/' + rest;
}

QString findCdDrive(const DriveTable& table) {
    for (char c = kLastAutomatic; c >= 'A'; --c) {
        if (table.kind(QChar(c)) == DriveKind::CdRom) return QString(QChar(c));
    }
    return QStringLiteral("d");
}

} // namespace tv::drives
