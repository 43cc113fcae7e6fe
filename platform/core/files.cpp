#include "platform/core/files.h"

#include "platform/core/drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

namespace tv::files {

namespace {

namespace fs = std::filesystem;

// Coarse file-system clocks (and FAT's two-second steps) can give two changes the same
// modification time; a listing taken within this margin of the folder's last change is not
// trusted to stay current and is taken again on the next use.
constexpr auto kTimestampMargin = std::chrono::seconds(2);
// Bounds the memory of remembered lookups; the folder listings stay.
constexpr qsizetype kMaxRemembered = 4096;

struct Entry {
    QString name;
    bool isDir = false;
};

struct Listing {
    fs::file_time_type modified;
    bool trusted = false;
    std::vector<Entry> entries; // sorted without case
    QHash<QString, qsizetype> exact;
    QHash<QString, qsizetype> folded; // the first entry of each case-folded name

    const Entry* find(const QString& name) const {
        auto it = exact.constFind(name);
        if (it != exact.cend()) return &entries[size_t(*it)];
        it = folded.constFind(name.toCaseFolded());
        return it != folded.cend() ? &entries[size_t(*it)] : nullptr;
    }
};

fs::path toFsPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

bool lessNoCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

struct Index {
    // The listing of an absolute, clean folder path, or null when it cannot be listed.
    std::shared_ptr<const Listing> listing(const QString& folder) {
        std::error_code ec;
        const fs::path path = toFsPath(folder);
        const fs::file_time_type modified = fs::last_write_time(path, ec);
        if (ec) {
            listings.remove(folder);
            return nullptr;
        }
        const auto cached = listings.constFind(folder);
        if (cached != listings.cend() && (*cached)->trusted && (*cached)->modified == modified)
            return *cached;

        auto fresh = std::make_shared<Listing>();
        const auto listedAt = fs::file_time_type::clock::now();
        fs::directory_iterator it(path, ec);
        if (ec) {
            listings.remove(folder);
            return nullptr;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            fresh->entries.push_back(
                {QFile::decodeName(QByteArray::fromStdString(it->path().filename().native())),
                 it->is_directory(typeError)});
        }
        if (ec) {
            listings.remove(folder);
            return nullptr;
        }
        std::sort(fresh->entries.begin(), fresh->entries.end(),
                  [](const Entry& a, const Entry& b) { return lessNoCase(a.name, b.name); });
        for (size_t i = 0; i < fresh->entries.size(); ++i) {
            const QString& name = fresh->entries[i].name;
            fresh->exact.insert(name, qsizetype(i));
            const QString key = name.toCaseFolded();
            if (!fresh->folded.contains(key)) fresh->folded.insert(key, qsizetype(i));
        }
        fresh->modified = modified;
        fresh->trusted = modified + kTimestampMargin < listedAt;
        listings.insert(folder, fresh);
        return fresh;
    }

    QHash<QString, std::shared_ptr<const Listing>> listings;
    QHash<QString, QString> remembered; // path as asked (with '/') -> real path found
};

QMutex& indexMutex() {
    static QMutex mutex;
    return mutex;
}

Index& index() {
    static Index instance;
    return instance;
}

QString join(const QString& base, const QString& name) {
    if (base.isEmpty()) return name;
    return base.endsWith(u'/') ? base + name : base + u'/' + name;
}

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path
                                                      : QDir::current().absoluteFilePath(path));
}

// Matches the components that do not exist as spelled, one by one, without case.
QString walk(Index& idx, const QString& path) {
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    const QString top = absolute ? QStringLiteral("/") : QString();
    // The longest leading part that exists as spelled needs no listing (nor do its parents).
    qsizetype known = parts.size() - 1;
    QString real = top;
    for (; known > 0; --known) {
        const QString prefix = top + parts.first(known).join(u'/');
        if (QFileInfo(prefix).isDir()) {
            real = prefix;
            break;
        }
    }
    known = std::max<qsizetype>(known, 0);
    QString folder = absoluteClean(real.isEmpty() ? QStringLiteral(".") : real);
    for (qsizetype i = known; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const Entry* found = nullptr;
        if (part == u"." || part == u"..") {
            real = join(real, part);
            folder = QDir::cleanPath(join(folder, part));
            continue;
        }
        if (const auto listing = idx.listing(folder)) found = listing->find(part);
        if (!found || (i + 1 < parts.size() && !found->isDir)) {
            for (; i < parts.size(); ++i)
                real = join(real, parts[i]);
            break;
        }
        real = join(real, found->name);
        folder = join(folder, found->name);
    }
    if (path.endsWith(u'/') && !real.endsWith(u'/')) real += u'/';
    return real;
}

QChar fold(QChar c) {
    return c.toCaseFolded();
}

// The index of the ']' closing a class that opens at `open`, or -1 when there is none.
qsizetype classEnd(QStringView pattern, qsizetype open) {
    qsizetype i = open + 1;
    if (i < pattern.size() && pattern[i] == u'!') ++i;
    if (i < pattern.size() && pattern[i] == u']') ++i; // a leading ']' is a member
    while (i < pattern.size() && pattern[i] != u']')
        ++i;
    return i < pattern.size() ? i : -1;
}

bool classMatches(QStringView pattern, qsizetype open, qsizetype close, QChar c) {
    qsizetype i = open + 1;
    const bool negate = pattern[i] == u'!';
    if (negate) ++i;
    const QChar lower = c.toLower();
    const QChar upper = c.toUpper();
    bool hit = false;
    for (; i < close && !hit; ++i) {
        if (i + 2 < close && pattern[i + 1] == u'-') {
            const QChar from = pattern[i];
            const QChar to = pattern[i + 2];
            auto inRange = [&](QChar x) { return x >= from && x <= to; };
            hit = inRange(c) || inRange(lower) || inRange(upper);
            i += 2;
        } else {
            hit = fold(pattern[i]) == fold(c);
        }
    }
    return hit != negate;
}

bool matchPlain(QStringView name, QStringView pattern) {
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    // Every token but '*' matches exactly one character, so going back to the last '*' and
    // letting it take one more character finds a match whenever there is one.
    while (n < name.size()) {
        if (p < pattern.size()) {
            const QChar pc = pattern[p];
            if (pc == u'*') {
                starP = ++p;
                starN = n;
                continue;
            }
            qsizetype next = p + 1;
            bool ok;
            const qsizetype close = pc == u'[' ? classEnd(pattern, p) : -1;
            if (pc == u'?') {
                ok = true;
            } else if (close > 0) {
                ok = classMatches(pattern, p, close, name[n]);
                next = close + 1;
            } else {
                ok = fold(pc) == fold(name[n]);
            }
            if (ok) {
                ++n;
                p = next;
                continue;
            }
        }
        if (starP < 0) return false;
        p = starP;
        n = ++starN;
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

QString resolve(const QString& path) {
    if (path.isEmpty()) return path;
    // "E:\Data\..." names a drive: its folder stands for the letter (an unknown letter is left
    // as it is, and so is found nowhere).
    const std::optional<QString> onDrive = drives::mapDrivePath(path);
    QString normal = onDrive && !onDrive->isEmpty() ? *onDrive : path;
    normal.replace(u'\\', u'/');
    if (QFileInfo::exists(normal)) return normal;

    QMutexLocker lock(&indexMutex());
    Index& idx = index();
    const auto known = idx.remembered.constFind(normal);
    if (known != idx.remembered.cend() && QFileInfo::exists(*known)) return *known;
    const QString real = walk(idx, normal);
    // Relative lookups are not remembered: they change meaning with the working folder.
    if (real.startsWith(u'/') && real != normal && QFileInfo::exists(real)) {
        if (idx.remembered.size() >= kMaxRemembered) idx.remembered.clear();
        idx.remembered.insert(normal, real);
    }
    return real;
}

bool fileExists(const QString& path) {
    return QFileInfo(resolve(path)).isFile();
}

bool folderExists(const QString& path) {
    return QFileInfo(resolve(path)).isDir();
}

QStringList listFolder(const QString& folder, const QString& pattern, ListKind kind) {
    const QString real = resolve(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString wanted = pattern.isEmpty() ? QStringLiteral("*") : pattern;
    QStringList names;
    QMutexLocker lock(&indexMutex());
    const auto listing = index().listing(absoluteClean(real));
    if (!listing) return names;
    for (const Entry& e : listing->entries) {
        if (e.name.startsWith(u'.') || e.isDir != (kind == ListKind::Folders)) continue;
        if (wildcardMatch(e.name, wanted)) names.append(e.name);
    }
    return names;
}

bool wildcardMatch(const QString& name, const QString& pattern) {
    if (matchPlain(name, pattern)) return true;
    if (name.contains(u'.')) return false;
    if (pattern.endsWith(u".*")) return matchPlain(name, QStringView(pattern).chopped(2));
    if (pattern.endsWith(u'.')) return matchPlain(name, QStringView(pattern).chopped(1));
    return false;
}

void invalidate() {
    QMutexLocker lock(&indexMutex());
    index().listings.clear();
    index().remembered.clear();
}

} // namespace tv::files
