#include "data/cipher.h"
#include "data/file_locator.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/ini.h"
#include "tools/builder/description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace tv::builder {

namespace {

// The folders of a project that the player and the editor expect to exist.
const char* const kFolders[] = {"Frames", "FramesData", "Areas", "Icons", "Config", "Temp"};

class ProjectWriter {
public:
    ProjectWriter(const ProjectDescription& d, const QString& root, const BuildOptions& options)
        : d_(d), root_(root), options_(options) {}

    BuildResult build();

private:
    QString path(const QString& relative) const { return root_ + "/" + relative; }
    // Runs a data-layer writer; its failure names the file.
    template <typename Write> void write(const QString& relative, Write&& writer) {
        try {
            writer(path(relative));
        } catch (const VbError& e) {
            throw BuildError(path(relative) + ": cannot be written (" + errorText(e) + ")");
        }
        result_.written.append(relative);
        written_.insert(relative.toLower());
    }
    void writeConfig();
    void writeFrame(const FrameFiles& frame);
    void writeInventory();
    void writeSchemes();
    void copyMedia();
    QString mediaFolder() const;
    // The source of a media file named `name` in the project folder `folder`, and the name it
    // gets in the project (as the source spells it when it comes from a project's own layout).
    std::optional<std::pair<QString, QString>> findMedia(const QString& folder,
                                                         const QString& name) const;
    QString disguised(const QString& relative, Disguise disguise) const;

    const ProjectDescription& d_;
    QString root_;
    BuildOptions options_;
    BuildResult result_;
    QSet<QString> written_; // lower-cased project-relative paths
};

BuildResult ProjectWriter::build() {
    for (const char* folder : kFolders) {
        if (!QDir().mkpath(path(folder))) throw BuildError(path(folder) + ": cannot be created");
    }
    writeConfig();
    for (const FrameFiles& frame : d_.frames)
        writeFrame(frame);
    writeInventory();
    writeSchemes();
    copyMedia();
    return result_;
}

void ProjectWriter::writeConfig() {
    if (d_.general) write("Config/General", [&](const QString& p) { d_.general->save(p); });
    if (d_.more) {
        write("Config/More", [&](const QString& p) {
            IniDocument doc;
            const MoreFile& more = *d_.more;
            if (more.scriptTimeOut) doc.setValue("General", "ScriptTimeOut", *more.scriptTimeOut);
            if (more.allowCreateObject)
                doc.setValue("General", "AllowCreateObject", *more.allowCreateObject);
            if (more.procEncr) doc.setValue("General", "ProcEncr", *more.procEncr);
            for (const MoreFile::Entry& e : more.otherKeys)
                doc.setValue(e.section, e.key, e.value);
            if (!doc.save(p)) throw vbError(err::PathFileAccessError);
        });
    }
    if (d_.variables)
        write("Config/Variables", [&](const QString& p) { writeVariablesFile(p, *d_.variables); });
    if (d_.procedures) {
        // The same rule the player follows when it reads them back.
        std::optional<int> offset;
        if (proceduresScrambled(path("Config/More")))
            offset = proceduresOffset(d_.general ? d_.general->ProjectName : QString());
        write("Config/Procedures",
              [&](const QString& p) { writeProceduresFile(p, *d_.procedures, offset); });
    }
    if (d_.texts) write("Config/Texts", [&](const QString& p) { writeTextsFile(p, *d_.texts); });
    if (d_.cdIndex)
        write("Config/CDContents", [&](const QString& p) { writeCdIndexFile(p, *d_.cdIndex); });
    if (d_.resume)
        write("Config/Resume", [&](const QString& p) {
            RecordWriter out;
            d_.resume->write(out);
            out.saveTo(p);
        });
    if (d_.runFromCd) write("RunFromCD.dat", [](const QString& p) { RecordWriter().saveTo(p); });
    if (d_.pluginList)
        write("Config/Plugins", [&](const QString& p) { writePluginListFile(p, *d_.pluginList); });
    if (!d_.plugins.isEmpty() && !QDir().mkpath(path("CPData")))
        throw BuildError(path("CPData") + ": cannot be created");
    for (const PluginFile& plugin : d_.plugins)
        write("CPData/" + plugin.fileName + ".cp",
              [&](const QString& p) { writePluginDataFile(p, plugin.data); });
}

void ProjectWriter::writeFrame(const FrameFiles& frame) {
    const QString& name = frame.name;
    if (frame.record) {
        FrameRecord record = *frame.record;
        // Rows are stored only for 1 to 5 values a row.
        if (record.ChannelValueCount < 1 || record.ChannelValueCount > 5)
            record.ChannelRows.clear();
        write("Frames/" + name + ".fme",
              [&](const QString& p) { writeFrameRecord(record, p, frame.recordEndsAfter); });
    }
    if (frame.hotspots) {
        write("FramesData/" + name + (frame.mergedHotspots ? ".mr2" : ".fm2"),
              [&](const QString& p) { writeHotspotFile(p, *frame.hotspots); });
    }
    const HotspotCountFile& count = frame.hotspotCount;
    if (count.mode == HotspotCountFile::Mode::Given ||
        (count.mode == HotspotCountFile::Mode::FromHotspots && frame.hotspots)) {
        const qint16 n = count.mode == HotspotCountFile::Mode::Given
                             ? count.count
                             : qint16(frame.hotspots->size());
        write("Frames/" + name + ".lks", [&](const QString& p) { writeHotspotCount(n, p); });
    }
    if (frame.actions) {
        write("FramesData/" + name + (frame.mergedActions ? ".mr3" : ".fm3"),
              [&](const QString& p) { writeActionFile(p, *frame.actions); });
    }
    if (frame.itemActions)
        write("FramesData/" + name + ".fm0",
              [&](const QString& p) { writeActionFile(p, *frame.itemActions); });
    if (frame.soundSelections)
        write("FramesData/" + name + ".fm5",
              [&](const QString& p) { writeSoundSelectionFile(p, *frame.soundSelections); });
    if (frame.soundChannels)
        write("Frames/" + name + ".chn",
              [&](const QString& p) { writeSoundChannelFile(p, *frame.soundChannels); });
    if (frame.texts)
        write("FramesData/" + name + ".fm1",
              [&](const QString& p) { writeFrameTextFile(p, *frame.texts); });
    if (frame.mergedTexts)
        write("FramesData/" + name + ".mr1",
              [&](const QString& p) { writeFrameTextFile(p, *frame.mergedTexts); });
    if (frame.dialogue)
        write("FramesData/" + name + ".dlg",
              [&](const QString& p) { writeDialogueFile(p, *frame.dialogue); });
    if (frame.pickUps)
        write("FramesData/" + name + ".fm4",
              [&](const QString& p) { writePickUpFile(p, *frame.pickUps); });
    if (frame.water)
        write("Frames/" + name + ".rwe",
              [&](const QString& p) { writeWaterFile(p, frame.water->settings); });
}

void ProjectWriter::writeInventory() {
    for (const ItemDefinition& item : d_.items)
        write("Areas/" + item.name + ".obj",
              [&](const QString& p) { writeItemDefinition(p, item.icon); });
    for (const CombinationFile& c : d_.combinations)
        write("Areas/" + c.dragged + "_on_" + c.target + ".drg",
              [&](const QString& p) { writeItemCombination(p, c.combination); });
}

void ProjectWriter::writeSchemes() {
    for (const SchemeFolder& s : d_.schemes) {
        const QString folder = "Schemes/" + s.name;
        if (!QDir().mkpath(path(folder))) throw BuildError(path(folder) + ": cannot be created");
        write(folder + "/Scheme.txt", [&](const QString& p) { writeSchemeFile(p, s.scheme); });
    }
}

QString ProjectWriter::mediaFolder() const {
    if (!options_.mediaFolder.isEmpty()) return QDir(options_.mediaFolder).absolutePath();
    return QDir(QDir(d_.baseFolder).filePath(d_.mediaFolder)).absolutePath();
}

std::optional<std::pair<QString, QString>> ProjectWriter::findMedia(const QString& folder,
                                                                    const QString& name) const {
    const QString media = mediaFolder();
    const QString plain = QString(name).replace(u'\\', u'/');
    const QString inLayout = media + "/" + folder + "/" + plain;
    const QString flat = media + "/" + plain;
    for (const QString& candidate : {inLayout, flat}) {
        QStringList tries = {candidate};
        try {
            tries << DisguisedFileName(candidate, false) << DisguisedFileName(candidate, true);
        } catch (const VbError&) {
            // A name the disguise cannot be computed for is only looked up as it is.
        }
        for (const QString& t : tries) {
            if (!files::fileExists(t)) continue;
            const QString source = files::resolve(t);
            // A plain file from a project's own layout keeps its spelling.
            if (candidate == inLayout && t == candidate)
                return std::pair{source, folder + "/" +
                                             QDir(media + "/" + folder).relativeFilePath(source)};
            return std::pair{source, folder + "/" + plain};
        }
    }
    return std::nullopt;
}

QString ProjectWriter::disguised(const QString& relative, Disguise disguise) const {
    if (disguise == Disguise::None) return relative;
    try {
        return DisguisedFileName(relative, disguise == Disguise::Plain);
    } catch (const VbError& e) {
        throw BuildError(relative + ": its disguised name cannot be computed (" + errorText(e) +
                         ")");
    }
}

void ProjectWriter::copyMedia() {
    struct Plan {
        QString source, to, where;
        Disguise disguise;
        bool replaces;
    };
    QList<Plan> plans;
    QHash<QString, qsizetype> byDestination; // lower-cased project path -> plan
    const QString source = d_.sourceName.isEmpty() ? QString() : d_.sourceName + ": ";
    auto missing = [&](const QString& what) {
        const QString message = source + what + ": not found in the media folder " + mediaFolder();
        if (d_.missingMedia == MissingMedia::Error) throw BuildError(message);
        result_.warnings.append(message);
    };
    for (const MediaFile& file : d_.files) {
        if (byDestination.contains(file.to.toLower()))
            throw BuildError(source + "files: " + file.to + " is named twice");
        Plan plan{
            {}, file.to, "files: " + file.to, file.disguise.value_or(d_.disguise), file.replaces};
        if (!file.from.isEmpty()) {
            plan.source = QDir(d_.baseFolder).filePath(file.from);
            if (!QFileInfo(plan.source).isFile())
                throw BuildError(source + "files: " + plan.source + " (for " + file.to +
                                 ") does not exist");
        } else {
            const int slash = int(file.to.indexOf(u'/'));
            auto found = findMedia(file.to.left(std::max(slash, 0)), file.to.mid(slash + 1));
            if (!found) {
                missing(plan.where);
                continue;
            }
            plan.source = found->first;
        }
        byDestination.insert(file.to.toLower(), plans.size());
        plans.append(plan);
    }
    for (const MediaReference& ref : mediaReferences(d_)) {
        const QString to = ref.storedPath();
        if (byDestination.contains(to.toLower())) continue;
        auto found = findMedia(ref.folder, ref.name);
        if (!found) {
            // A file the CD index puts on a disc is looked for there, not in the project.
            if (!onDisc(d_, ref)) missing(ref.where + " " + ref.name);
            byDestination.insert(to.toLower(), -1);
            continue;
        }
        byDestination.insert(to.toLower(), plans.size());
        plans.append({found->first, ref.storedAs.isEmpty() ? found->second : to, ref.where,
                      ref.disguisable ? d_.disguise : Disguise::None, false});
    }
    for (const Plan& plan : plans) {
        const QString to = disguised(plan.to, plan.disguise);
        if (written_.contains(to.toLower()) && !plan.replaces)
            throw BuildError(source + plan.where + ": " + to +
                             " is a file the builder writes; a copied file replaces it only "
                             "with 'replaces: true'");
        const QString target = path(to);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (!QFile::copy(plan.source, target))
            throw BuildError(plan.where + ": cannot copy " + plan.source + " to " + target);
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
        result_.written.append(to);
        written_.insert(to.toLower());
    }
}

// An existing folder is replaced only when asked and only when it is a project (or empty), so
// that a slip of the command line cannot empty another folder.
void prepareOutput(const QString& root, bool replace) {
    QDir dir(root);
    if (!dir.exists()) return;
    if (dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) return;
    if (!replace)
        throw BuildError(root + ": the folder is not empty (give --replace to rebuild a project "
                                "there)");
    if (!files::folderExists(root + "/Config") && !files::folderExists(root + "/Frames"))
        throw BuildError(root + ": not a project folder (no Config or Frames folder); it is not "
                                "replaced");
    if (!dir.removeRecursively()) throw BuildError(root + ": cannot be emptied");
    files::invalidate();
}

} // namespace

BuildResult buildProject(const ProjectDescription& description, const QString& outputFolder,
                         const BuildOptions& options) {
    const QString root = QDir(outputFolder).absolutePath();
    prepareOutput(root, options.replace);
    files::invalidate();
    return ProjectWriter(description, root, options).build();
}

} // namespace tv::builder
