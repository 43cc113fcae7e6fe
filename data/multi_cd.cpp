#include "data/multi_cd.h"

#include "data/file_locator.h"
#include "data/record_helpers.h"
#include "data/reports.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/settings_store.h"

#include <algorithm>

namespace tv {

QString cdIndexPath(const ProjectFolders& folders) {
    return folders.ConfigFolder + "CDContents";
}

QString cdMarkerPath(const ProjectFolders& folders) {
    return folders.RootFolder + "RunFromCD.dat";
}

void CdIndexFile::write(RecordWriter& out) const {
    for (const RecordValue& v : Leading)
        out.value(v);
    out.endLine().integer(CdCount).endLine();
    for (const RecordValue& v : Skipped)
        out.value(v);
    out.endLine();
    for (const CdIndexEntry& e : Entries)
        out.string(e.Name).integer(e.Cd).integer(e.Kind).endLine();
}

void readCdIndex(RecordReader& in, CdIndexFile& into) {
    into = CdIndexFile();
    for (RecordValue& v : into.Leading)
        v = in.readVariant();
    into.CdCount = in.readInt16();
    for (RecordValue& v : into.Skipped)
        v = in.readVariant();
    while (!in.atEnd()) {
        CdIndexEntry e;
        e.Name = in.readString();
        e.Cd = in.readInt16();
        e.Kind = in.readInt16();
        into.Entries.append(e);
    }
}

CdIndexFile readCdIndexFile(const QString& path) {
    return readRecordFile<CdIndexFile>(
        path, [](RecordReader& in, CdIndexFile& into) { readCdIndex(in, into); });
}

void writeCdIndexFile(const QString& path, const CdIndexFile& index) {
    writeRecordFile(path, index);
}

QList<CdTableEntry> cdTable(const CdIndexFile& index) {
    QList<CdTableEntry> table;
    for (const CdIndexEntry& e : index.Entries) {
        if (!e.Name.isEmpty() && e.Cd >= 1 && e.Cd <= index.CdCount && e.Kind != 0)
            table.append({e.Name, QString::number(e.Kind), e.Cd});
    }
    return table;
}

void MultiCd::clear() {
    active_ = false;
    table_.clear();
}

void MultiCd::load(const ProjectFolders& folders) {
    clear();
    const QString path = cdIndexPath(folders);
    if (!files::fileExists(path) || !files::fileExists(cdMarkerPath(folders))) return;
    active_ = true;
    CdIndexFile index;
    try {
        RecordReader in = RecordReader::open(files::resolve(path));
        readCdIndex(in, index);
    } catch (const VbError&) {
        standardErrorReport(" Error loading CD index.");
    }
    table_ = cdTable(index);
}

namespace {
CdPromptSite*& promptSite() {
    static CdPromptSite* site = nullptr;
    return site;
}
} // namespace

void setCdPromptSite(CdPromptSite* site) {
    promptSite() = site;
}

CdPromptSite* cdPromptSite() {
    return promptSite();
}

MultiCd& multiCd() {
    static MultiCd instance;
    return instance;
}

namespace {
const QString kApp = QStringLiteral("Software");
const QString kKey = QStringLiteral("DriveLetter");
} // namespace

QString storedDriveLetter(const SettingsStore& store, const QString& projectName) {
    return store.get(kApp, projectName, kKey).left(1);
}

void storeDriveLetter(SettingsStore& store, const QString& projectName, const QString& letter) {
    store.save(kApp, projectName, kKey, letter);
}

QString driveLetterForLookup(SettingsStore& store, const QString& projectName,
                             const drives::DriveTable& drives) {
    QString letter = storedDriveLetter(store, projectName);
    if (!letter.isEmpty()) return letter;
    letter = drives::findCdDrive(drives);
    try {
        storeDriveLetter(store, projectName, letter);
    } catch (const VbError&) {
        // An unwritable settings file only means the drive is looked for again next time.
    }
    return letter;
}

namespace {
QString fileNamePart(const QString& path) {
    return path.mid(std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
}

// Project paths are spelled with either separator; the editor compares them without case.
bool samePath(QString a, QString b) {
    a.replace(u'\\', u'/');
    b.replace(u'\\', u'/');
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

CdLookup lookUpOnCd(const QString& path, const QString& letter, const QString& gameTitle,
                    const ProjectFolders& folders, const QList<CdTableEntry>& table) {
    const QString data = ":\\Data\\" + gameTitle;
    const QString onDrive =
        DisguisedFileName(letter + data + "\\Frames\\" + fileNamePart(path), false);
    if (files::fileExists(onDrive)) return {CdLookup::Outcome::Found, onDrive, 0, {}};
    if (table.isEmpty()) return {CdLookup::Outcome::Unchanged, path, 0, {}};
    for (const CdTableEntry& e : table) {
        QString folder, sub;
        if (e.kind == u"1") {
            folder = folders.FramesFolder;
            sub = "\\Frames\\";
        } else if (e.kind == u"2") {
            folder = folders.AreasFolder;
            sub = "\\Areas\\";
        } else {
            return {CdLookup::Outcome::Unchanged, path, 0, {}};
        }
        if (samePath(folder + e.name, path))
            return {
                CdLookup::Outcome::OnCd, {}, e.cd, DisguisedFileName(data + sub + e.name, false)};
    }
    return {CdLookup::Outcome::Unchanged, DisguisedFileName(path, false), 0, {}};
}

} // namespace tv
