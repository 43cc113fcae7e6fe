// The frame record (.fme), and the frame with the files of its family.

#include "tools/builder/frame_parts.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace tv::builder {

qint32 readColour(const Reader& r, const YAML::Node& node) {
    const QString text = QString::fromStdString(node.IsScalar() ? node.Scalar() : "");
    static const QRegularExpression rgb("^#([0-9a-fA-F]{6})$");
    if (const auto m = rgb.match(text); m.hasMatch()) {
        const uint v = m.captured(1).toUInt(nullptr, 16);
        // Stored 0x00BBGGRR.
        return qint32(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
    }
    return r.int32(node, "colour (\"#RRGGBB\" or the stored number)");
}

YamlNode describeColour(qint64 stored) {
    if (stored >= 0 && stored <= 0xFFFFFF) {
        const qint64 rgb = ((stored & 0xFF) << 16) | (stored & 0xFF00) | ((stored >> 16) & 0xFF);
        return YamlNode::text(QString("#%1").arg(rgb, 6, 16, QChar('0')));
    }
    return YamlNode::number(double(stored));
}

namespace {

QString frameNameProblem(const QString& name) {
    if (name.isEmpty()) return "a frame needs a name";
    static const QRegularExpression bad(R"([\\/:*?"<>|\x00-\x1f])");
    if (bad.match(name).hasMatch()) return "a frame name cannot hold \\ / : * ? \" < > |";
    if (name == "." || name == "..") return "a frame cannot be named " + name;
    return {};
}

// --- the frame record ----------------------------------------------------------------------------

bool canonicalColour(const QString& background) {
    bool ok = false;
    const qint64 v = background.toLongLong(&ok);
    return ok && v >= INT32_MIN && v <= INT32_MAX && QString::number(v) == background;
}

const Table<FrameRecord> kFrameRecord = {
    field<&FrameRecord::BackgroundTiled>("tiled"),
    field<&FrameRecord::SoundFile>("sound"),
    field<&FrameRecord::SoundLoops>("sound_loops"),
    field<&FrameRecord::RestartSound>("restart_sound"),
    field<&FrameRecord::StopAllSounds>("stop_all_sounds"),
    field<&FrameRecord::StopMusic>("stop_music"),
    field<&FrameRecord::MusicFile>("music"),
    group<FrameRecord>(
        {.key = "timer",
         .fields = {field<&FrameRecord::TimerEnabled>("enabled"),
                    field<&FrameRecord::TimerSeconds>("seconds"),
                    field<&FrameRecord::TimerTarget>("to"),
                    group<FrameRecord>(
                        {.key = "transition",
                         .fields = {field<&FrameRecord::TimerTransition>("enabled"),
                                    field<&FrameRecord::TimerTransitionDuration>("duration_ms"),
                                    field<&FrameRecord::TimerTransitionNumber>("number")},
                         .given = [](FrameRecord& rec) { rec.TimerTransition = true; }})},
         .given = [](FrameRecord& rec) { rec.TimerEnabled = true; }}),
    group<FrameRecord>(
        {.key = "video",
         .fields = {field<&FrameRecord::VideoFile>("file"),
                    field<&FrameRecord::VideoUnplaced>("unplaced"),
                    field<&FrameRecord::VideoAtPosition>("at_position"),
                    rect<&FrameRecord::VideoLeft, &FrameRecord::VideoTop, &FrameRecord::VideoWidth,
                         &FrameRecord::VideoHeight>("rect"),
                    field<&FrameRecord::VideoFirst>("first")},
         .alone = "file"}),
    procedureCall<&FrameRecord::CallProcedure, &FrameRecord::ProcedureCall>(),
    script<&FrameRecord::StartupScript>("startup_script", QuoteCodec::Thorn),
    requestChannels<FrameRecord>(),
};

// The fields the player steps over, under the frame's "raw".
const Table<FrameRecord> kFrameRaw = {
    field<&FrameRecord::Ignored10>("field_10"),
    field<&FrameRecord::Ignored14to16>("fields_14_16"),
    field<&FrameRecord::Ignored29to34>("fields_29_34"),
    field<&FrameRecord::Ignored36>("field_36"),
};

// The background is given as a colour or a picture, or where neither reads back as stored, as
// the raw mode and text.
FrameRecord readFrameRecord(const Reader& r, Fields& f, Fields* raw, int& endsAfter) {
    FrameRecord rec;
    const YAML::Node colour = f["colour"];
    const YAML::Node picture = f["picture"];
    if (colour.IsDefined() && picture.IsDefined())
        r.fail(picture, "a frame shows a colour or a picture, not both");
    if (colour.IsDefined()) {
        rec.BackgroundMode = 0;
        rec.Background = QString::number(readColour(r, colour));
    }
    if (picture.IsDefined()) {
        rec.BackgroundMode = 1;
        rec.Background = r.text(picture, "picture");
    }
    readTable(r, f, rec, kFrameRecord);
    endsAfter = 40;
    if (raw) {
        const YAML::Node& n = raw->node();
        if (colour.IsDefined() || picture.IsDefined()) {
            if (raw->has("background_mode") || raw->has("background"))
                r.fail(n, "give the background as colour, picture or raw fields, not both");
        }
        if (YAML::Node v = (*raw)["background_mode"]; v.IsDefined())
            rec.BackgroundMode = r.int16(v, "background_mode");
        if (YAML::Node v = (*raw)["background"]; v.IsDefined())
            rec.Background = r.text(v, "background");
        readTable(r, *raw, rec, kFrameRaw);
        if (YAML::Node v = (*raw)["ends_after_field"]; v.IsDefined()) {
            endsAfter = int(r.integer(v, "ends_after_field", 1, 40));
            if (!std::count(std::begin(FrameRecord::kEndPoints), std::end(FrameRecord::kEndPoints),
                            endsAfter))
                r.fail(v, "a frame record may end after field 10, 13, 22, 23, 25, 26, 28, 38, "
                          "39 or 40");
            // Everything given must fit before the end.
            RecordWriter full, cut;
            rec.write(full);
            rec.write(cut, endsAfter);
            RecordReader in(cut.bytes());
            FrameRecord back;
            back.read(in);
            RecordWriter again;
            back.write(again);
            if (again.bytes() != full.bytes())
                r.fail(v, QString("values are given after field %1, where the record ends")
                              .arg(endsAfter));
        }
    }
    return rec;
}

void describeFrameRecord(YamlNode& m, YamlNode& raw, const FrameRecord& rec, int endsAfter) {
    if (rec.BackgroundMode == 0 && canonicalColour(rec.Background)) {
        m.add("colour", describeColour(rec.Background.toLongLong()));
    } else if (rec.BackgroundMode == 1) {
        m.add("picture", YamlNode::text(rec.Background));
    } else if (rec.BackgroundMode != 0 || !rec.Background.isEmpty()) {
        raw.add("background_mode", YamlNode::number(rec.BackgroundMode));
        if (!rec.Background.isEmpty()) raw.add("background", YamlNode::text(rec.Background));
    }
    describeTable(m, rec, FrameRecord(), kFrameRecord);
    describeTable(raw, rec, FrameRecord(), kFrameRaw);
    if (endsAfter != 40) raw.add("ends_after_field", YamlNode::number(endsAfter));
}

// --- the frame's files ---------------------------------------------------------------------------

const Field<FrameFiles> kMergedHotspots = field<&FrameFiles::mergedHotspots>("merged_hotspots");
const Field<FrameFiles> kMergedActions = field<&FrameFiles::mergedActions>("merged_actions");

} // namespace

FrameFiles readFrame(const Reader& r, const YAML::Node& node) {
    FrameFiles frame;
    Fields f(r, node, "a frame");
    const YAML::Node name = f["name"];
    frame.name = r.text(name, "name");
    if (const QString problem = frameNameProblem(frame.name); !problem.isEmpty())
        r.fail(name.IsDefined() ? name : node, problem);
    f.setWhat("frame '" + frame.name + "'");

    std::optional<Fields> raw;
    if (YAML::Node n = f["raw"]; n.IsDefined())
        raw.emplace(r, n, "the raw fields of frame '" + frame.name + "'");
    frame.record = readFrameRecord(r, f, raw ? &*raw : nullptr, frame.recordEndsAfter);
    if (raw) {
        const YAML::Node v = (*raw)["no_frame_record"];
        if (v.IsDefined() && r.boolean(v, "no_frame_record")) {
            RecordWriter given, none;
            frame.record->write(given);
            FrameRecord().write(none);
            if (given.bytes() != none.bytes())
                r.fail(v, "a frame without its record (.fme) cannot be given record values");
            frame.record.reset();
        }
    }

    QList<ActionRecord> actions;
    int lastWithAction = -1;
    if (YAML::Node n = f["hotspots"]; n.IsDefined()) {
        frame.hotspots.emplace();
        int position = 0;
        QList<std::optional<ActionRecord>> given;
        for (const YAML::Node& item : r.items(n, "hotspots")) {
            HotspotEntry e = readHotspot(r, item, ++position);
            frame.hotspots->append(e.record);
            if (e.action) lastWithAction = position - 1;
            given.append(e.action);
        }
        for (const auto& a : given)
            actions.append(a.value_or(ActionRecord()));
    }
    kMergedHotspots.read(r, f, frame);
    if (YAML::Node n = f["hotspot_count"]; n.IsDefined()) {
        if (n.IsScalar() && n.Scalar() == "none") {
            frame.hotspotCount.mode = HotspotCountFile::Mode::Absent;
        } else {
            frame.hotspotCount.mode = HotspotCountFile::Mode::Given;
            frame.hotspotCount.count = r.int16(n, "hotspot_count");
        }
    }
    const YAML::Node extra = f["extra_actions"];
    QList<ActionRecord> extras;
    for (const YAML::Node& item : r.items(extra, "extra_actions"))
        extras.append(readAction(r, item, "an extra action", {}));
    bool emptyActionsFile = false;
    if (!extra.IsDefined() && lastWithAction < 0) {
        actions.clear();
    } else if (extras.isEmpty()) {
        actions = actions.mid(0, lastWithAction + 1);
    }
    actions += extras;
    kMergedActions.read(r, f, frame);
    if (YAML::Node n = f["item_actions"]; n.IsDefined()) {
        frame.itemActions.emplace();
        for (const YAML::Node& item : r.items(n, "item_actions"))
            frame.itemActions->append(readItemAction(r, item));
    }
    if (YAML::Node n = f["sound_selections"]; n.IsDefined()) {
        frame.soundSelections.emplace();
        for (const YAML::Node& item : r.items(n, "sound_selections"))
            frame.soundSelections->append(readSoundSelection(r, item));
    }
    if (YAML::Node n = f["sound_channels"]; n.IsDefined())
        frame.soundChannels = readSoundChannels(r, n);
    if (YAML::Node n = f["texts"]; n.IsDefined()) frame.texts = readFrameTexts(r, n, "texts");
    if (YAML::Node n = f["merged_texts"]; n.IsDefined())
        frame.mergedTexts = readFrameTexts(r, n, "merged_texts");
    if (YAML::Node n = f["dialogue"]; n.IsDefined()) frame.dialogue = readDialogue(r, n);
    if (YAML::Node n = f["pick_ups"]; n.IsDefined()) frame.pickUps = readPickUps(r, n);
    if (YAML::Node n = f["water"]; n.IsDefined()) frame.water = readWater(r, n, frame.name);
    if (raw) {
        if (YAML::Node v = (*raw)["empty_actions_file"]; v.IsDefined())
            emptyActionsFile = r.boolean(v, "empty_actions_file");
        raw->finish();
    }
    if (extra.IsDefined() || lastWithAction >= 0 || emptyActionsFile) frame.actions = actions;
    f.finish();
    return frame;
}

YamlNode describeFrame(const FrameFiles& frame) {
    YamlNode m = YamlNode::map();
    m.add("name", YamlNode::text(frame.name));
    YamlNode extraRaw = YamlNode::map();
    if (frame.record) {
        describeFrameRecord(m, extraRaw, *frame.record, frame.recordEndsAfter);
    } else {
        extraRaw.add("no_frame_record", YamlNode::boolean(true));
    }
    const QList<ActionRecord> actions = frame.actions.value_or(QList<ActionRecord>());
    const QList<HotspotRecord> hotspots = frame.hotspots.value_or(QList<HotspotRecord>());
    if (frame.hotspots) {
        YamlNode list = YamlNode::seq();
        for (int i = 0; i < hotspots.size(); ++i) {
            const bool keep = i < actions.size() &&
                              (!(actions[i] == ActionRecord()) ||
                               (actions.size() <= hotspots.size() && i == actions.size() - 1));
            list.append(describeHotspot(hotspots[i], i + 1, keep ? &actions[i] : nullptr));
        }
        m.add("hotspots", std::move(list));
    }
    kMergedHotspots.describe(m, frame, FrameFiles());
    if (frame.hotspotCount.mode == HotspotCountFile::Mode::Absent && frame.hotspots) {
        m.add("hotspot_count", YamlNode::text("none"));
    } else if (frame.hotspotCount.mode == HotspotCountFile::Mode::Given &&
               (!frame.hotspots || frame.hotspotCount.count != hotspots.size())) {
        m.add("hotspot_count", YamlNode::number(frame.hotspotCount.count));
    }
    if (actions.size() > hotspots.size()) {
        YamlNode list = YamlNode::seq();
        for (int i = int(hotspots.size()); i < actions.size(); ++i)
            list.append(describeAction(actions[i], ActionRecord()));
        m.add("extra_actions", std::move(list));
    }
    if (frame.actions && actions.isEmpty())
        extraRaw.add("empty_actions_file", YamlNode::boolean(true));
    kMergedActions.describe(m, frame, FrameFiles());
    if (frame.itemActions) {
        YamlNode list = YamlNode::seq();
        for (const ActionRecord& a : *frame.itemActions)
            list.append(describeItemAction(a));
        m.add("item_actions", std::move(list));
    }
    if (frame.soundSelections) {
        YamlNode list = YamlNode::seq();
        for (const SoundSelectionRecord& s : *frame.soundSelections)
            list.append(describeSoundSelection(s));
        m.add("sound_selections", std::move(list));
    }
    if (frame.soundChannels) m.add("sound_channels", describeSoundChannels(*frame.soundChannels));
    if (frame.texts) m.add("texts", describeFrameTexts(*frame.texts));
    if (frame.mergedTexts) m.add("merged_texts", describeFrameTexts(*frame.mergedTexts));
    if (frame.dialogue) m.add("dialogue", describeDialogue(*frame.dialogue));
    if (frame.pickUps) m.add("pick_ups", describePickUps(*frame.pickUps));
    if (frame.water) m.add("water", describeWater(*frame.water));
    if (!extraRaw.isEmpty()) m.add("raw", std::move(extraRaw));
    return m;
}

} // namespace tv::builder
