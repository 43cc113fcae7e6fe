#include "tools/builder/description.h"
#include "tools/builder/sections.h"

#include <QFile>
#include <QFileInfo>

namespace tv::builder {

ProjectDescription parseDescription(const QByteArray& yaml, const QString& fileName,
                                    const QString& baseFolder) {
    const Reader r(fileName);
    YAML::Node root;
    try {
        root = YAML::Load(yaml.toStdString());
    } catch (const YAML::ParserException& e) {
        r.fail(e.mark, QString::fromStdString(e.msg));
    }
    if (!root.IsMap()) r.fail(root, "a description is a map with project, frames and the rest");
    ProjectDescription d;
    d.baseFolder = baseFolder;
    d.sourceName = fileName;
    Fields top(r, root, "the description");
    if (YAML::Node n = top["project"]; n.IsDefined()) d.general = readGeneral(r, n);
    if (YAML::Node n = top["more"]; n.IsDefined()) d.more = readMore(r, n);
    if (YAML::Node n = top["variables"]; n.IsDefined()) d.variables = readVariables(r, n);
    if (YAML::Node n = top["procedures"]; n.IsDefined()) {
        const bool scrambled = d.more && d.more->procEncr && scrambleSwitchOn(*d.more->procEncr);
        d.procedures = readProcedures(r, n, scrambled);
    }
    if (YAML::Node n = top["texts"]; n.IsDefined()) d.texts = readTexts(r, n);
    if (YAML::Node n = top["build"]; n.IsDefined()) readBuildOptions(r, n, d);
    if (YAML::Node n = top["files"]; n.IsDefined()) d.files = readFiles(r, n);
    if (YAML::Node n = top["frames"]; n.IsDefined()) {
        for (const YAML::Node& item : r.items(n, "frames")) {
            FrameFiles frame = readFrame(r, item);
            for (const FrameFiles& other : d.frames) {
                // Frame files are found without case, as on Windows.
                if (other.name.compare(frame.name, Qt::CaseInsensitive) == 0)
                    r.fail(item, "a second frame named '" + frame.name + "'");
            }
            d.frames.append(std::move(frame));
        }
    }
    if (YAML::Node n = top["items"]; n.IsDefined()) d.items = readItems(r, n);
    if (YAML::Node n = top["combinations"]; n.IsDefined()) d.combinations = readCombinations(r, n);
    if (YAML::Node n = top["schemes"]; n.IsDefined()) d.schemes = readSchemes(r, n);
    if (YAML::Node n = top["run_from_cd"]; n.IsDefined()) d.runFromCd = r.boolean(n, "run_from_cd");
    if (YAML::Node n = top["cd_index"]; n.IsDefined()) d.cdIndex = readCdIndex(r, n);
    if (YAML::Node n = top["plugins"]; n.IsDefined()) readPlugins(r, n, d);
    if (YAML::Node n = top["resume"]; n.IsDefined()) d.resume = readResumeDescription(r, n);
    top.finish();
    return d;
}

ProjectDescription loadDescription(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BuildError(path + ": cannot be read (" + file.errorString() + ")");
    return parseDescription(file.readAll(), path, QFileInfo(path).absolutePath());
}

QByteArray writeDescription(const ProjectDescription& d, const QString& comment) {
    YamlNode root = YamlNode::map();
    if (d.general) root.add("project", describeGeneral(*d.general));
    if (d.more) root.add("more", describeMore(*d.more));
    if (d.variables) root.add("variables", describeVariables(*d.variables));
    if (d.procedures) root.add("procedures", describeProcedures(*d.procedures));
    if (d.texts) root.add("texts", describeTexts(*d.texts));
    if (YamlNode build = describeBuildOptions(d); !build.isEmpty())
        root.add("build", std::move(build));
    if (!d.files.isEmpty()) root.add("files", describeFiles(d.files));
    if (!d.frames.isEmpty()) {
        YamlNode frames = YamlNode::seq();
        for (const FrameFiles& frame : d.frames)
            frames.append(describeFrame(frame));
        root.add("frames", std::move(frames));
    }
    if (!d.items.isEmpty()) root.add("items", describeItems(d.items));
    if (!d.combinations.isEmpty()) root.add("combinations", describeCombinations(d.combinations));
    if (!d.schemes.isEmpty()) root.add("schemes", describeSchemes(d.schemes));
    if (d.runFromCd) root.add("run_from_cd", YamlNode::boolean(true));
    if (d.cdIndex) root.add("cd_index", describeCdIndex(*d.cdIndex));
    if (d.pluginList || !d.plugins.isEmpty()) root.add("plugins", describePlugins(d));
    if (d.resume) root.add("resume", describeResume(*d.resume));
    return root.document(comment);
}

namespace {

void addName(QList<MediaReference>& refs, const QString& folder, const QString& name,
             const QString& where) {
    if (name.isEmpty()) return;
    refs.append({folder, name, where});
}

void addValue(QList<MediaReference>& refs, const QString& folder, const RecordValue& value,
              const QString& where) {
    if (value.kind == RecordValue::Kind::String) addName(refs, folder, value.text, where);
}

void addPointer(QList<MediaReference>& refs, const RecordValue& value, const QString& where) {
    // "default" is the system pointer, not a file.
    if (value.kind == RecordValue::Kind::String && value.text.toLower() != "default")
        addName(refs, "Icons", value.text, where);
}

void addRows(QList<MediaReference>& refs, const QList<QList<RecordValue>>& rows,
             const QString& where) {
    for (const QList<RecordValue>& row : rows) {
        if (row.size() >= 5) addValue(refs, "Areas", row[4], where + ": channel row");
    }
}

void addAction(QList<MediaReference>& refs, const ActionRecord& a, const QString& where) {
    addName(refs, "Frames", a.VideoFile, where + ": video");
    addValue(refs, "Areas", a.SoundFile, where + ": sound");
    addValue(refs, "Frames", a.MusicFile, where + ": music");
    QList<QList<RecordValue>> rows;
    for (const ChannelRequestRow& row : a.ChannelRows)
        rows.append(row.values);
    addRows(refs, rows, where);
}

} // namespace

bool onDisc(const ProjectDescription& d, const MediaReference& ref) {
    if (!d.runFromCd || !d.cdIndex) return false;
    const int kind = ref.folder == "Frames" ? 1 : ref.folder == "Areas" ? 2 : 0;
    for (const CdIndexEntry& e : d.cdIndex->Entries)
        if (e.Kind == kind && e.Cd >= 1 && e.Cd <= d.cdIndex->CdCount &&
            e.Name.compare(ref.name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QList<MediaReference> mediaReferences(const ProjectDescription& d) {
    QList<MediaReference> refs;
    for (const ItemDefinition& item : d.items)
        addName(refs, "Areas", item.icon, "item '" + item.name + "': icon");
    if (d.general)
        addPointer(refs, RecordValue::ofString(d.general->DefaultPointer),
                   "project: default_pointer");
    for (const FrameFiles& frame : d.frames) {
        const QString where = "frame '" + frame.name + "'";
        if (const auto& rec = frame.record) {
            if (rec->BackgroundMode == 1)
                addName(refs, "Frames", rec->Background, where + ": picture");
            addName(refs, "Areas", rec->SoundFile, where + ": sound");
            addName(refs, "Frames", rec->MusicFile, where + ": music");
            addName(refs, "Frames", rec->VideoFile, where + ": video");
            addRows(refs, rec->ChannelRows, where);
        }
        if (frame.water && !frame.water->mask.isEmpty())
            refs.append(
                {"Frames", frame.water->mask, where + ": water mask", false, frame.name + ".rwm"});
        const QList<HotspotRecord> hotspots = frame.hotspots.value_or(QList<HotspotRecord>());
        for (int i = 0; i < hotspots.size(); ++i) {
            const HotspotRecord& h = hotspots[i];
            const QString at = where + QString(": hotspot %1").arg(i + 1);
            addValue(refs, "Areas", h.Picture, at + " picture");
            addPointer(refs, h.Pointer, at + " pointer");
            if (h.hasVideoTail) addValue(refs, "Frames", h.VideoFile, at + " video");
        }
        const QList<ActionRecord> actions = frame.actions.value_or(QList<ActionRecord>());
        for (int i = 0; i < actions.size(); ++i)
            addAction(refs, actions[i], where + QString(": action %1").arg(i + 1));
        for (const ActionRecord& a : frame.itemActions.value_or(QList<ActionRecord>()))
            addAction(refs, a, where + ": item action");
        for (const SoundSelectionRecord& s :
             frame.soundSelections.value_or(QList<SoundSelectionRecord>())) {
            for (const SoundChannelRow& row : s.channels.rows)
                addName(refs, "Areas", row.file, where + ": sound selection");
        }
        if (frame.soundChannels) {
            for (const SoundChannelRow& row : frame.soundChannels->rows)
                addName(refs, "Areas", row.file, where + ": sound channel");
        }
    }
    for (const SchemeFolder& s : d.schemes) {
        for (int i = 0; i < s.scheme.Pictures.size(); ++i) {
            const QString& picture = s.scheme.Pictures[i];
            if (picture.isEmpty() || isNoPicture(picture)) continue;
            refs.append({"Schemes/" + s.name, picture,
                         QString("scheme '%1': picture %2").arg(s.name).arg(i + 1), false});
        }
    }
    return refs;
}

} // namespace tv::builder
