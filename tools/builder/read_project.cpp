#include "data/cipher.h"
#include "data/file_locator.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/ini.h"
#include "tools/builder/description.h"
#include "tools/builder/sections.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace tv::builder {

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the reading of a project has taken in: the files read (which the description then
// rebuilds) and the warnings. A file that cannot be read is carried into the description as a
// file copied as it is.
struct Reading {
    QSet<QString> consumed; // absolute paths
    QStringList warnings;

    template <typename Read>
    auto read(const QString& path, Read&& reader) -> std::optional<decltype(reader(path))> {
        try {
            auto value = reader(path);
            consumed.insert(path);
            return value;
        } catch (const VbError& e) {
            warnings.append(path + ": cannot be read (" + errorText(e) +
                            "); it is copied as it is");
            return std::nullopt;
        }
    }

    // For readers that step over what they cannot read, and formats whose layout (which values
    // share a line) an editor may choose: the file is taken in only when its writer gives back
    // its bytes; otherwise it is copied as it is.
    template <typename Read, typename Write>
    auto readExactly(const QString& path, Read&& reader, Write&& writer)
        -> std::optional<decltype(reader(path))> {
        auto value = read(path, reader);
        if (!value) return value;
        RecordWriter out;
        writer(out, *value);
        if (out.bytes() == fileBytes(path)) return value;
        consumed.remove(path);
        warnings.append(path + ": holds values or a layout that the builder would not write back "
                               "the same; it is copied as it is");
        return std::nullopt;
    }
};

int fieldCount(const QByteArray& bytes) {
    RecordReader in(bytes);
    int count = 0;
    for (; !in.atEnd(); ++count)
        in.skip();
    return count;
}

// Where the stored record ended: the end point whose record has as many values as the file.
int recordEnd(const FrameRecord& record, const QString& path, QStringList& warnings) {
    const int stored = fieldCount(fileBytes(path));
    for (int end : FrameRecord::kEndPoints) {
        RecordWriter out;
        record.write(out, end);
        if (fieldCount(out.bytes()) == stored) return end;
    }
    warnings.append(path + ": holds values after its record; they are left out");
    return 40;
}

// The frame named by each file of the family, spelled as the first file found spells it.
QStringList frameNames(const ProjectFolders& folders) {
    QMap<QString, QString> names; // lower-cased -> as spelled
    auto collect = [&](const QString& folder, const QStringList& extensions) {
        for (const QString& ext : extensions) {
            for (const QString& file : files::listFolder(folder, "*" + ext)) {
                if (!file.endsWith(ext, Qt::CaseInsensitive)) continue;
                const QString name = file.chopped(ext.size());
                if (!names.contains(name.toLower())) names.insert(name.toLower(), name);
            }
        }
    };
    collect(folders.FramesFolder, {".fme"});
    collect(folders.FramesFolder, {".lks", ".chn", ".rwe"});
    collect(folders.FramesDataFolder,
            {".fm2", ".mr2", ".fm3", ".mr3", ".fm0", ".fm5", ".fm1", ".mr1", ".dlg", ".fm4"});
    return names.values();
}

QString existing(const QString& path) {
    return files::fileExists(path) ? files::resolve(path) : QString();
}

FrameFiles readFrame(const ProjectFolders& folders, const QString& name, Reading& reading) {
    FrameFiles frame;
    frame.name = name;
    const QString fme = existing(folders.FramesFolder + name + ".fme");
    if (!fme.isEmpty()) {
        if (auto record = reading.read(fme, [](const QString& p) { return readFrameRecord(p); })) {
            // Rows of no values are not stored; the reader only counts them.
            if (record->ChannelValueCount < 1) record->ChannelRows.clear();
            frame.recordEndsAfter = recordEnd(*record, fme, reading.warnings);
            frame.record = *record;
        }
    }
    // The merged file is the one the player reads; the other is copied as it is.
    auto pick = [&](const char* merged, const char* plain, bool& isMerged) {
        const QString m = existing(folders.FramesDataFolder + name + merged);
        isMerged = !m.isEmpty();
        return isMerged ? m : existing(folders.FramesDataFolder + name + plain);
    };
    if (const QString p = pick(".mr2", ".fm2", frame.mergedHotspots); !p.isEmpty())
        frame.hotspots = reading.read(p, [](const QString& f) { return readHotspotFile(f); });
    frame.hotspotCount.mode = HotspotCountFile::Mode::Absent;
    if (const QString lks = existing(folders.FramesFolder + name + ".lks"); !lks.isEmpty()) {
        if (auto count = reading.read(lks, [](const QString& f) { return readHotspotCount(f); })) {
            frame.hotspotCount.mode = HotspotCountFile::Mode::Given;
            frame.hotspotCount.count = *count;
        }
    }
    if (const QString p = pick(".mr3", ".fm3", frame.mergedActions); !p.isEmpty())
        frame.actions = reading.read(p, [](const QString& f) { return readActionFile(f); });
    if (const QString p = existing(folders.FramesDataFolder + name + ".fm0"); !p.isEmpty())
        frame.itemActions = reading.read(p, [](const QString& f) { return readActionFile(f); });
    if (const QString p = existing(folders.FramesDataFolder + name + ".fm5"); !p.isEmpty())
        frame.soundSelections =
            reading.read(p, [](const QString& f) { return readSoundSelectionFile(f); });
    if (const QString p = existing(folders.FramesFolder + name + ".chn"); !p.isEmpty())
        frame.soundChannels =
            reading.read(p, [](const QString& f) { return readSoundChannelFile(f); });
    // Both text files are described: the merged one is not made from the other.
    auto writeTexts = [](RecordWriter& out, const QList<FrameTextRecord>& texts) {
        for (const FrameTextRecord& t : texts)
            t.write(out);
    };
    auto readTexts = [](const QString& f) { return readFrameTextFile(f); };
    if (const QString p = existing(folders.FramesDataFolder + name + ".fm1"); !p.isEmpty())
        frame.texts = reading.readExactly(p, readTexts, writeTexts);
    if (const QString p = existing(folders.FramesDataFolder + name + ".mr1"); !p.isEmpty())
        frame.mergedTexts = reading.readExactly(p, readTexts, writeTexts);
    if (const QString p = existing(folders.FramesDataFolder + name + ".dlg"); !p.isEmpty()) {
        frame.dialogue = reading.readExactly(
            p, [](const QString& f) { return readDialogueFile(f); },
            [](RecordWriter& out, const DialogueFile& d) { d.write(out); });
    }
    if (const QString p = existing(folders.FramesDataFolder + name + ".fm4"); !p.isEmpty()) {
        frame.pickUps = reading.readExactly(
            p, [](const QString& f) { return readPickUpFile(f); },
            [](RecordWriter& out, const QList<PickUpRecord>& records) {
                for (const PickUpRecord& r : records)
                    r.write(out);
            });
    }
    if (const QString p = existing(waterSettingsPath(folders, name)); !p.isEmpty()) {
        auto settings = reading.readExactly(
            p, [](const QString& f) { return readWaterFile(f); },
            [](RecordWriter& out, const WaterFile& w) { w.write(out); });
        if (settings) {
            frame.water = WaterFrame{*settings, {}};
            // The mask is described as a media file of its own name, found where it lies.
            if (const QString mask = existing(waterMaskPath(folders, name)); !mask.isEmpty())
                frame.water->mask = QFileInfo(mask).fileName();
        }
    }
    return frame;
}

// The files of the Areas folder with the extension as the builder writes it, by name without it.
QStringList areaFiles(const ProjectFolders& folders, const QString& ext) {
    QStringList names;
    for (const QString& file : files::listFolder(folders.AreasFolder, "*" + ext)) {
        if (file.endsWith(ext)) names.append(file.chopped(ext.size()));
    }
    return names;
}

// Item definitions (NAME.obj) and combinations (DRAGGED_on_TARGET.drg). A file whose name the
// description cannot give is copied as it is.
void readInventory(const ProjectFolders& folders, ProjectDescription& d, Reading& reading) {
    for (const QString& name : areaFiles(folders, ".obj")) {
        if (!itemNameProblem(name).isEmpty()) continue;
        const QString p = existing(folders.AreasFolder + name + ".obj");
        auto icon = reading.readExactly(
            p, [](const QString& f) { return readItemDefinition(f); },
            [](RecordWriter& out, const QString& icon) { writeItemDefinition(out, icon); });
        if (icon) d.items.append({name, *icon});
    }
    for (const QString& stem : areaFiles(folders, ".drg")) {
        // Names may hold "_on_" themselves; any split gives back the same file name.
        const qsizetype at = stem.indexOf("_on_");
        if (at < 0) continue;
        const QString dragged = stem.left(at);
        const QString target = stem.mid(at + 4);
        if (!itemNameProblem(dragged).isEmpty() || !itemNameProblem(target).isEmpty()) continue;
        const QString p = existing(folders.AreasFolder + stem + ".drg");
        auto combination = reading.readExactly(
            p, [](const QString& f) { return readItemCombination(f); },
            [](RecordWriter& out, const ItemCombination& c) { writeItemCombination(out, c); });
        if (combination) d.combinations.append({dragged, target, *combination});
    }
}

// Each folder of Schemes/ that holds a Scheme.txt (found without case) whose name the
// description can give.
void readSchemes(const ProjectFolders& folders, ProjectDescription& d, Reading& reading) {
    for (const QString& name :
         files::listFolder(folders.SchemesFolder, {}, files::ListKind::Folders)) {
        if (!schemeNameProblem(name).isEmpty()) continue;
        const QString p = existing(folders.SchemesFolder + name + "/Scheme.txt");
        if (p.isEmpty()) continue;
        auto scheme = reading.readExactly(
            p, [](const QString& f) { return readSchemeFile(f); },
            [](RecordWriter& out, const SchemeFile& s) { s.write(out); });
        if (scheme) d.schemes.append({name, *scheme});
    }
}

// The plugin list and every CPData/NAME.cp whose name the description can give.
void readPlugins(const ProjectFolders& folders, ProjectDescription& d, Reading& reading) {
    if (const QString p = existing(pluginListPath(folders)); !p.isEmpty()) {
        d.pluginList = reading.readExactly(
            p, [](const QString& f) { return readPluginListFile(f); },
            [](RecordWriter& out, const PluginListFile& list) { list.write(out); });
    }
    const QString ext = ".cp";
    for (const QString& file : files::listFolder(folders.ComponentsFolder, "*" + ext)) {
        if (!file.endsWith(ext)) continue;
        const QString name = file.chopped(ext.size());
        if (!usablePluginName(name)) continue;
        auto plugin = reading.readExactly(
            existing(folders.ComponentsFolder + file),
            [](const QString& f) { return readPluginDataFile(f); },
            [](RecordWriter& out, const PluginDataFile& p) { p.write(out); });
        if (plugin) d.plugins.append({name, *plugin});
    }
}

MoreFile readMore(const IniDocument& doc) {
    MoreFile more;
    for (const QString& section : doc.sections()) {
        for (const QString& key : doc.keys(section)) {
            const QString value = doc.value(section, key).value_or(QString());
            const bool general = section.compare("General", Qt::CaseInsensitive) == 0;
            std::optional<QString>* known = nullptr;
            if (general && key.compare("ScriptTimeOut", Qt::CaseInsensitive) == 0)
                known = &more.scriptTimeOut;
            if (general && key.compare("AllowCreateObject", Qt::CaseInsensitive) == 0)
                known = &more.allowCreateObject;
            if (general && key.compare("ProcEncr", Qt::CaseInsensitive) == 0)
                known = &more.procEncr;
            if (known && !*known) {
                *known = value;
            } else if (!known) {
                more.otherKeys.append({section, key, value});
            }
        }
    }
    return more;
}

// How each named media file is stored, and the project's most common way.
void readMediaStorage(const QString& root, ProjectDescription& d, Reading& reading) {
    QList<std::pair<QString, Disguise>> found;
    QHash<QString, bool> seen;
    for (const MediaReference& ref : mediaReferences(d)) {
        const QString to = ref.storedPath();
        if (seen.contains(to.toLower())) continue;
        seen.insert(to.toLower(), true);
        const QString path = root + "/" + to;
        std::optional<Disguise> how;
        QString stored = path;
        const QList<Disguise> ways =
            ref.disguisable ? QList<Disguise>{Disguise::None, Disguise::Mixed, Disguise::Plain}
                            : QList<Disguise>{Disguise::None};
        try {
            for (Disguise d : ways) {
                stored = d == Disguise::None ? path : DisguisedFileName(path, d == Disguise::Plain);
                if (files::fileExists(stored)) {
                    how = d;
                    break;
                }
            }
        } catch (const VbError&) {
            // A name the disguise cannot be computed for is stored under its own name or not.
        }
        if (how) reading.consumed.insert(files::resolve(stored));
        if (!how && onDisc(d, ref)) continue;
        if (!how) {
            reading.warnings.append(ref.where + ": " + to + " is missing from the project");
            d.missingMedia = MissingMedia::Warn;
            continue;
        }
        // Media that are never disguised do not tell how the project stores its media.
        if (ref.disguisable) found.append({to, *how});
    }
    QMap<Disguise, int> counts;
    for (const auto& [to, how] : found)
        ++counts[how];
    d.disguise = Disguise::None;
    for (Disguise how : {Disguise::Mixed, Disguise::Plain}) {
        if (counts.value(how) > counts.value(d.disguise)) d.disguise = how;
    }
    for (const auto& [to, how] : found) {
        if (how != d.disguise) d.files.append({to, {}, how, false});
    }
}

// Every other file of the project's folders: carried into the description as files copied as
// they are (the files of formats the description does not cover yet, stray files, broken ones).
void readOtherFiles(const QString& root, ProjectDescription& d, const Reading& reading) {
    static const char* const kCarried[] = {"Frames",  "FramesData", "Areas",    "Icons", "Config",
                                           "Schemes", "Inventory",  "External", "CPData"};
    for (const char* folder : kCarried) {
        const QString path = files::resolve(root + "/" + folder);
        if (!QFileInfo(path).isDir()) continue;
        QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QStringList found;
        while (it.hasNext()) {
            const QString file = it.next();
            if (!reading.consumed.contains(file)) found.append(QDir(root).relativeFilePath(file));
        }
        found.sort(Qt::CaseInsensitive);
        for (const QString& to : found) {
            MediaFile file{to, {}, {}, false};
            if (d.disguise != Disguise::None) file.disguise = Disguise::None;
            d.files.append(file);
        }
    }
}

} // namespace

DumpResult readProject(const QString& projectFolder) {
    const QString root = QDir(projectFolder).absolutePath();
    if (!QFileInfo(root).isDir()) throw BuildError(projectFolder + ": no such folder");
    files::invalidate();
    ProjectFolders folders;
    folders.setRoot(root);
    Reading reading;
    DumpResult result;
    ProjectDescription& d = result.description;
    const QString config = folders.ConfigFolder;
    if (const QString p = existing(config + "General"); !p.isEmpty()) {
        d.general = reading.read(p, [](const QString& f) {
            ProjectSettings s;
            s.load(f);
            return s;
        });
    }
    const QString more = existing(config + "More");
    if (!more.isEmpty()) {
        if (const std::optional<IniDocument> doc = IniDocument::load(more)) {
            d.more = readMore(*doc);
            reading.consumed.insert(more);
        }
    }
    if (const QString p = existing(config + "Variables"); !p.isEmpty()) {
        d.variables = reading.read(p, [](const QString& f) {
            VariablesFile v;
            readVariablesFile(f, v);
            return v;
        });
    }
    if (const QString p = existing(config + "Procedures"); !p.isEmpty()) {
        std::optional<int> offset;
        if (!more.isEmpty() && proceduresScrambled(more))
            offset = proceduresOffset(d.general ? d.general->ProjectName : QString());
        d.procedures = reading.read(p, [&](const QString& f) {
            ProceduresFile procedures;
            readProceduresFile(f, procedures, offset);
            return procedures;
        });
    }
    if (const QString p = existing(config + "Texts"); !p.isEmpty())
        d.texts = reading.read(p, [](const QString& f) { return readTextsFile(f); });
    if (const QString p = existing(cdIndexPath(folders)); !p.isEmpty()) {
        d.cdIndex = reading.readExactly(
            p, [](const QString& f) { return readCdIndexFile(f); },
            [](RecordWriter& out, const CdIndexFile& index) { index.write(out); });
    }
    if (const QString p = existing(config + "Resume"); !p.isEmpty()) {
        d.resume = reading.readExactly(
            p, [](const QString& f) { return readResumeFile(f); },
            [](RecordWriter& out, const ResumeFile& resume) { resume.write(out); });
    }
    // The marker counts by being there; one with contents is copied as it is.
    if (const QString p = existing(cdMarkerPath(folders)); !p.isEmpty()) {
        if (QFileInfo(p).size() == 0)
            d.runFromCd = true;
        else
            d.files.append({QDir(root).relativeFilePath(p), {}, {}, false});
    }
    readPlugins(folders, d, reading);
    for (const QString& name : frameNames(folders))
        d.frames.append(readFrame(folders, name, reading));
    readInventory(folders, d, reading);
    readSchemes(folders, d, reading);
    d.mediaFolder = root;
    readMediaStorage(root, d, reading);
    readOtherFiles(root, d, reading);
    result.warnings = reading.warnings;
    return result;
}

} // namespace tv::builder
