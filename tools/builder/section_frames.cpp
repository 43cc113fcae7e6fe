#include "tools/builder/sections.h"

#include <QRegularExpression>

#include <cmath>

namespace tv::builder {

namespace {

const RecordValue kOn = RecordValue::ofNumber(1);

bool isEmptyValue(const RecordValue& v) {
    return v.kind == RecordValue::Kind::Empty;
}

void addValue(YamlNode& m, const char* key, const RecordValue& v,
              const RecordValue& def = RecordValue::empty()) {
    if (v != def) m.add(key, describeValue(v));
}

void addFlag(YamlNode& m, const char* key, bool v, bool def) {
    if (v != def) m.add(key, YamlNode::boolean(v));
}

void addInt(YamlNode& m, const char* key, qint64 v, qint64 def) {
    if (v != def) m.add(key, YamlNode::number(double(v)));
}

void addText(YamlNode& m, const char* key, const QString& v) {
    if (!v.isEmpty()) m.add(key, YamlNode::text(v));
}

void addMap(YamlNode& m, const char* key, YamlNode value) {
    if (!value.isEmpty()) m.add(key, std::move(value));
}

// A script kept in a general field: the readable script when the stored text is one that
// encoding gives back, else the stored value itself under KEY_stored.
void describeScript(YamlNode& m, const char* key, const RecordValue& stored, QuoteCodec codec) {
    if (isEmptyValue(stored)) return;
    if (stored.kind == RecordValue::Kind::String &&
        encodeQuotes(decodeQuotes(stored.text, codec), codec) == stored.text) {
        m.add(key, YamlNode::text(decodeQuotes(stored.text, codec)));
    } else {
        m.add(QString(key) + "_stored", describeValue(stored));
    }
}

// A procedure call: the script alone when it is switched on and readable.
void describeProcedureCall(YamlNode& m, bool enabled, const RecordValue& call) {
    if (!enabled && isEmptyValue(call)) return;
    const bool readable =
        call.kind == RecordValue::Kind::String &&
        encodeQuotes(decodeQuotes(call.text, QuoteCodec::Bar), QuoteCodec::Bar) == call.text;
    if (enabled && readable) {
        m.add("procedure_call", YamlNode::text(decodeQuotes(call.text, QuoteCodec::Bar)));
        return;
    }
    YamlNode v = YamlNode::map();
    describeScript(v, "code", call, QuoteCodec::Bar);
    addFlag(v, "enabled", enabled, true);
    m.add("procedure_call", std::move(v));
}

RecordValue readScript(const Reader& r, Fields& f, const char* key, QuoteCodec codec,
                       const RecordValue& current) {
    const QByteArray storedKey = QByteArray(key) + "_stored";
    const YAML::Node code = f[key];
    const YAML::Node stored = f[storedKey.constData()];
    if (code.IsDefined() && stored.IsDefined())
        r.fail(stored, QString("give either %1 or %2").arg(key, storedKey));
    if (code.IsDefined()) return RecordValue::ofString(r.script(code, key, codec));
    if (stored.IsDefined()) return r.value(stored, QString::fromLatin1(storedKey));
    return current;
}

QString frameNameProblem(const QString& name) {
    if (name.isEmpty()) return "a frame needs a name";
    static const QRegularExpression bad(R"([\\/:*?"<>|\x00-\x1f])");
    if (bad.match(name).hasMatch()) return "a frame name cannot hold \\ / : * ? \" < > |";
    if (name == "." || name == "..") return "a frame cannot be named " + name;
    return {};
}

// --- channel request rows (frames and actions) ---------------------------------------------------

const char* const kRowKeys[] = {"request", "fade", "loop", "volume", "file"};

QList<RecordValue> rowDefaults() {
    return {RecordValue::ofNumber(0), RecordValue::ofBool(false), RecordValue::ofBool(false),
            RecordValue::ofNumber(10), RecordValue::ofString("")};
}

struct RequestChannels {
    RecordValue fade;
    qint16 perRow = 0;
    qint16 count = 0;
    QList<QList<RecordValue>> rows;
};

RequestChannels readRequestChannels(const Reader& r, const YAML::Node& node, const QString& what) {
    RequestChannels c;
    Fields f(r, node, what);
    c.fade = r.value(f["fade_ms"], "fade_ms");
    const QList<YAML::Node> rows = r.items(f["rows"], "rows");
    const YAML::Node perRow = f["values_per_row"];
    if (perRow.IsDefined()) {
        c.perRow = r.int16(perRow, "values_per_row");
    } else if (!rows.isEmpty()) {
        c.perRow = rows.front().IsSequence() ? qint16(rows.front().size()) : 5;
    }
    for (const YAML::Node& row : rows) {
        if (c.perRow < 1 || c.perRow > 5)
            r.fail(row, "rows are stored only with 1 to 5 values per row");
        QList<RecordValue> values;
        if (row.IsSequence()) {
            values = r.values(row, "a row", c.perRow);
        } else {
            Fields rf(r, row, "a channel row");
            values = rowDefaults().mid(0, c.perRow);
            for (int i = 0; i < 5; ++i) {
                const YAML::Node v = rf[kRowKeys[i]];
                if (!v.IsDefined()) continue;
                if (i >= c.perRow)
                    r.fail(v,
                           QString("a row of %1 values has no %2").arg(c.perRow).arg(kRowKeys[i]));
                values[i] = r.value(v, kRowKeys[i]);
            }
            rf.finish();
        }
        c.rows.append(values);
    }
    c.count = qint16(c.rows.size());
    if (YAML::Node count = f["row_count"]; count.IsDefined()) {
        c.count = r.int16(count, "row_count");
        if (!c.rows.isEmpty() && c.count != c.rows.size())
            r.fail(
                count,
                QString("row_count is %1 but %2 rows are given").arg(c.count).arg(c.rows.size()));
        if (c.rows.isEmpty() && c.count > 0 && c.perRow >= 1 && c.perRow <= 5)
            r.fail(count, "row_count names rows that are not given");
    }
    f.finish();
    return c;
}

YamlNode describeRequestChannels(const RequestChannels& c) {
    YamlNode m = YamlNode::map();
    addValue(m, "fade_ms", c.fade);
    const bool rowsStored = c.perRow >= 1 && c.perRow <= 5;
    const bool rowsShown = rowsStored && !c.rows.isEmpty();
    if (rowsShown ? c.perRow != 5 && c.rows.front().size() != c.perRow : c.perRow != 0)
        m.add("values_per_row", YamlNode::number(c.perRow));
    if (rowsShown ? c.count != c.rows.size() : c.count != 0)
        m.add("row_count", YamlNode::number(c.count));
    if (rowsShown) {
        YamlNode rows = YamlNode::seq();
        const QList<RecordValue> defaults = rowDefaults();
        for (const QList<RecordValue>& row : c.rows) {
            if (c.perRow == 5) {
                YamlNode map = YamlNode::map();
                for (int i = 0; i < 5 && i < row.size(); ++i)
                    addValue(map, kRowKeys[i], row[i], defaults[i]);
                rows.append(std::move(map));
            } else {
                rows.append(describeValues(row));
            }
        }
        m.add("rows", std::move(rows));
    }
    return m;
}

// --- old sound-channel rows (.chn, .fm5) ---------------------------------------------------------

QList<SoundChannelRow> readOldRows(const Reader& r, const YAML::Node& node) {
    QList<SoundChannelRow> rows;
    for (const YAML::Node& item : r.items(node, "channels")) {
        if (rows.size() == 5) r.fail(item, "at most 5 channels are stored");
        Fields f(r, item, "a sound channel");
        SoundChannelRow row;
        if (YAML::Node v = f["stop"]; v.IsDefined()) row.stop = r.boolean(v, "stop");
        if (YAML::Node v = f["play"]; v.IsDefined()) row.play = r.boolean(v, "play");
        row.file = r.text(f["file"], "file");
        if (YAML::Node v = f["repeat"]; v.IsDefined()) row.repeat = r.value(v, "repeat");
        if (YAML::Node v = f["ignored"]; v.IsDefined()) row.ignored = r.value(v, "ignored");
        f.finish();
        rows.append(row);
    }
    return rows;
}

YamlNode describeOldRows(const QList<SoundChannelRow>& rows) {
    YamlNode list = YamlNode::seq();
    const SoundChannelRow d;
    for (const SoundChannelRow& row : rows) {
        YamlNode m = YamlNode::map();
        addFlag(m, "stop", row.stop, d.stop);
        addFlag(m, "play", row.play, d.play);
        addText(m, "file", row.file);
        addValue(m, "repeat", row.repeat, d.repeat);
        addValue(m, "ignored", row.ignored, d.ignored);
        list.append(std::move(m));
    }
    return list;
}

SoundChannelData readOldChannels(const Reader& r, Fields& f, const QList<RecordValue>& leading) {
    SoundChannelData data;
    data.leading = leading;
    data.rows = readOldRows(r, f["channels"]);
    return data;
}

QList<RecordValue> readLeading(const Reader& r, Fields& raw) {
    if (YAML::Node v = raw["leading"]; v.IsDefined()) return r.values(v, "leading", 22);
    return SoundChannelData().leading;
}

// --- actions -------------------------------------------------------------------------------------

const char* const kGroupNames[] = {"variable",       "message",
                                   "disappear",      "quit",
                                   "go_to",          "video",
                                   "sound",          "go_back",
                                   "message_option", "variables",
                                   "sound_loops",    "transition",
                                   "procedure_call", "transition_number",
                                   "channels",       "pick_up",
                                   "script"};

ActionRecord readAction(const Reader& r, const YAML::Node& node, const QString& what,
                        ActionRecord a) {
    Fields f(r, node, what);
    if (YAML::Node n = f["variable"]; n.IsDefined()) {
        Fields v(r, n, "variable");
        a.ChangeVariable = 1;
        if (YAML::Node c = v["change"]; c.IsDefined()) a.ChangeVariable = r.int16(c, "change");
        a.VariableName = r.text(v["name"], "name");
        a.SetToZero = r.value(v["set_to_zero"], "set_to_zero");
        a.SetToOne = r.value(v["set_to_one"], "set_to_one");
        a.Toggle = r.value(v["toggle"], "toggle");
        v.finish();
    }
    if (YAML::Node n = f["message"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields m(r, n, "message");
            a.ShowMessage = m.has("show") ? r.value(m["show"], "show") : kOn;
            a.MessageText = r.value(m["text"], "text");
            m.finish();
        } else {
            a.ShowMessage = kOn;
            a.MessageText = RecordValue::ofString(r.text(n, "message"));
        }
    }
    a.Disappear = r.value(f["disappear"], "disappear");
    a.QuitGame = r.value(f["quit"], "quit");
    if (YAML::Node n = f["go_to"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields g(r, n, "go_to");
            a.GoToFrame = g.has("enabled") ? r.int16(g["enabled"], "enabled") : 1;
            a.Destination = r.text(g["frame"], "frame");
            g.finish();
        } else {
            a.GoToFrame = 1;
            a.Destination = r.text(n, "go_to");
        }
    }
    if (YAML::Node n = f["stop_frame_sound"]; n.IsDefined())
        a.StopFrameSound = r.int16(n, "stop_frame_sound");
    if (YAML::Node n = f["stop_all_sounds"]; n.IsDefined())
        a.StopAllSounds = r.int16(n, "stop_all_sounds");
    if (YAML::Node n = f["video"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields v(r, n, "video");
            a.PlayVideo = v.has("play") ? r.int16(v["play"], "play") : 1;
            a.VideoFile = r.text(v["file"], "file");
            if (YAML::Node b = v["unplaced"]; b.IsDefined())
                a.VideoUnplaced = r.boolean(b, "unplaced");
            if (YAML::Node b = v["at_position"]; b.IsDefined())
                a.VideoAtPosition = r.boolean(b, "at_position");
            if (YAML::Node rect = v["rect"]; rect.IsDefined()) {
                const QList<YAML::Node> xywh = r.items(rect, "rect");
                if (xywh.size() != 4) r.fail(rect, "rect is [left, top, width, height]");
                a.VideoLeft = r.int16(xywh[0], "left");
                a.VideoTop = r.int16(xywh[1], "top");
                a.VideoWidth = r.int16(xywh[2], "width");
                a.VideoHeight = r.int16(xywh[3], "height");
            }
            v.finish();
        } else {
            a.PlayVideo = 1;
            a.VideoFile = r.text(n, "video");
        }
    }
    a.StopMusic = r.value(f["stop_music"], "stop_music");
    auto playPair = [&](const char* key, RecordValue& play, RecordValue& file) {
        const YAML::Node n = f[key];
        if (!n.IsDefined()) return;
        if (n.IsMap()) {
            Fields p(r, n, key);
            play = p.has("play") ? r.value(p["play"], "play") : kOn;
            file = r.value(p["file"], "file");
            p.finish();
        } else {
            play = kOn;
            file = RecordValue::ofString(r.text(n, key));
        }
    };
    playPair("sound", a.PlaySound, a.SoundFile);
    playPair("music", a.PlayMusic, a.MusicFile);
    a.GoBack = r.value(f["go_back"], "go_back");
    a.MessageOption = r.value(f["message_option"], "message_option");
    if (YAML::Node n = f["variables"]; n.IsDefined()) {
        Fields v(r, n, "variables");
        a.ChangeVariables = v.has("change") ? r.int16(v["change"], "change") : 1;
        const char* groups[] = {"no_effect", "set_to_zero", "set_to_one", "toggle"};
        for (int i = 0; i < 4; ++i)
            a.VariableGroups[i] = r.names(v[groups[i]], groups[i]);
        v.finish();
    }
    if (YAML::Node n = f["sound_loops"]; n.IsDefined()) a.SoundLoops = r.boolean(n, "sound_loops");
    if (YAML::Node n = f["transition"]; n.IsDefined()) {
        Fields t(r, n, "transition");
        a.UseTransition = t.has("use") ? r.value(t["use"], "use") : kOn;
        if (YAML::Node d = t["duration_ms"]; d.IsDefined())
            a.TransitionDuration = r.real(d, "duration_ms");
        if (YAML::Node d = t["number"]; d.IsDefined()) a.TransitionNumber = r.int16(d, "number");
        t.finish();
    }
    if (YAML::Node n = f["procedure_call"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields p(r, n, "procedure_call");
            a.CallProcedure = p.has("enabled") ? r.boolean(p["enabled"], "enabled") : true;
            a.ProcedureCall = readScript(r, p, "code", QuoteCodec::Bar, a.ProcedureCall);
            p.finish();
        } else {
            a.CallProcedure = true;
            a.ProcedureCall = RecordValue::ofString(r.script(n, "procedure_call", QuoteCodec::Bar));
        }
    }
    if (YAML::Node n = f["channels"]; n.IsDefined()) {
        const RequestChannels c = readRequestChannels(r, n, "channels");
        a.FadeDuration = c.fade;
        a.ChannelValueCount = c.perRow;
        a.ChannelCount = c.count;
        a.ChannelRows.clear();
        for (const QList<RecordValue>& row : c.rows)
            a.ChannelRows.append(ChannelRequestRow{row});
    }
    if (YAML::Node n = f["pick_up"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields p(r, n, "pick_up");
            a.PickUpItem = p.has("enabled") ? r.boolean(p["enabled"], "enabled") : true;
            a.ItemName = r.text(p["item"], "item");
            p.finish();
        } else {
            a.PickUpItem = true;
            a.ItemName = r.text(n, "pick_up");
        }
    }
    a.Script = readScript(r, f, "script", QuoteCodec::Thorn, a.Script);
    YAML::Node endsAfter;
    if (YAML::Node n = f["raw"]; n.IsDefined()) {
        Fields raw(r, n, "action raw fields");
        if (YAML::Node v = raw["prefix"]; v.IsDefined()) a.prefix = r.values(v, "prefix", 10);
        if (YAML::Node v = raw["a8"]; v.IsDefined()) a.A8 = r.int16(v, "a8");
        a.A9 = r.text(raw["a9"], "a9");
        if (YAML::Node v = raw["a29_31"]; v.IsDefined()) a.A29to31 = r.values(v, "a29_31", 3);
        if (YAML::Node v = raw["a33_35"]; v.IsDefined()) a.A33to35 = r.values(v, "a33_35", 3);
        if (YAML::Node v = raw["a37_39"]; v.IsDefined()) a.A37to39 = r.values(v, "a37_39", 3);
        if (YAML::Node v = raw["a48_53"]; v.IsDefined()) a.A48to53 = r.values(v, "a48_53", 6);
        if (YAML::Node v = raw["a55"]; v.IsDefined()) a.A55 = r.int16(v, "a55");
        endsAfter = raw["ends_after"];
        if (endsAfter.IsDefined()) {
            const QString name = r.text(endsAfter, "ends_after");
            a.lastGroup = -1;
            for (int g = int(ActionGroup::GoTo); g <= int(ActionGroup::Script); ++g) {
                if (name == kGroupNames[g]) a.lastGroup = g;
            }
            if (a.lastGroup < 0)
                r.fail(endsAfter, "ends_after names a group from go_to on (go_to, video, sound, "
                                  "go_back, message_option, variables, sound_loops, transition, "
                                  "procedure_call, transition_number, channels, pick_up, script)");
        }
        raw.finish();
    }
    f.finish();
    // A record that ends early must not be given values it cannot hold.
    if (a.lastGroup != int(ActionGroup::Script)) {
        RecordWriter out;
        writeActionRecord(out, a);
        RecordReader in(out.bytes());
        ActionRecord back = readActionRecord(in);
        back.lastGroup = a.lastGroup;
        if (!(back == a))
            r.fail(endsAfter, QString("values are given after '%1', where the record ends")
                                  .arg(kGroupNames[a.lastGroup]));
    }
    return a;
}

YamlNode describeAction(const ActionRecord& a, const QList<RecordValue>& defaultPrefix) {
    const ActionRecord d;
    YamlNode m = YamlNode::map();
    if (a.ChangeVariable != 0 || !a.VariableName.isEmpty() || !isEmptyValue(a.SetToZero) ||
        !isEmptyValue(a.SetToOne) || !isEmptyValue(a.Toggle)) {
        YamlNode v = YamlNode::map();
        addText(v, "name", a.VariableName);
        addInt(v, "change", a.ChangeVariable, 1);
        addValue(v, "set_to_zero", a.SetToZero);
        addValue(v, "set_to_one", a.SetToOne);
        addValue(v, "toggle", a.Toggle);
        m.add("variable", std::move(v));
    }
    if (a.ShowMessage == kOn && a.MessageText.kind == RecordValue::Kind::String) {
        m.add("message", YamlNode::text(a.MessageText.text));
    } else if (!isEmptyValue(a.ShowMessage) || !isEmptyValue(a.MessageText)) {
        YamlNode v = YamlNode::map();
        if (a.ShowMessage != kOn) v.add("show", describeValue(a.ShowMessage));
        addValue(v, "text", a.MessageText);
        m.add("message", std::move(v));
    }
    addValue(m, "disappear", a.Disappear);
    addValue(m, "quit", a.QuitGame);
    if (a.GoToFrame == 1) {
        m.add("go_to", YamlNode::text(a.Destination));
    } else if (a.GoToFrame != 0 || !a.Destination.isEmpty()) {
        YamlNode v = YamlNode::map();
        v.add("enabled", YamlNode::number(a.GoToFrame));
        addText(v, "frame", a.Destination);
        m.add("go_to", std::move(v));
    }
    addInt(m, "stop_frame_sound", a.StopFrameSound, 0);
    addInt(m, "stop_all_sounds", a.StopAllSounds, 0);
    const bool videoPlaced = a.VideoUnplaced || a.VideoAtPosition || a.VideoLeft || a.VideoTop ||
                             a.VideoWidth || a.VideoHeight;
    if (a.PlayVideo == 1 && !videoPlaced) {
        m.add("video", YamlNode::text(a.VideoFile));
    } else if (a.PlayVideo != 0 || !a.VideoFile.isEmpty() || videoPlaced) {
        YamlNode v = YamlNode::map();
        addText(v, "file", a.VideoFile);
        addInt(v, "play", a.PlayVideo, 1);
        addFlag(v, "unplaced", a.VideoUnplaced, false);
        addFlag(v, "at_position", a.VideoAtPosition, false);
        if (a.VideoLeft || a.VideoTop || a.VideoWidth || a.VideoHeight)
            v.add("rect", YamlNode::seq(true)
                              .append(YamlNode::number(a.VideoLeft))
                              .append(YamlNode::number(a.VideoTop))
                              .append(YamlNode::number(a.VideoWidth))
                              .append(YamlNode::number(a.VideoHeight)));
        m.add("video", std::move(v));
    }
    addValue(m, "stop_music", a.StopMusic);
    auto playPair = [&](const char* key, const RecordValue& play, const RecordValue& file) {
        if (play == kOn && file.kind == RecordValue::Kind::String) {
            m.add(key, YamlNode::text(file.text));
        } else if (!isEmptyValue(play) || !isEmptyValue(file)) {
            YamlNode v = YamlNode::map();
            addValue(v, "file", file);
            if (play != kOn) v.add("play", describeValue(play));
            m.add(key, std::move(v));
        }
    };
    playPair("sound", a.PlaySound, a.SoundFile);
    playPair("music", a.PlayMusic, a.MusicFile);
    addValue(m, "go_back", a.GoBack);
    addValue(m, "message_option", a.MessageOption);
    bool groups = a.ChangeVariables != 0;
    for (const QStringList& g : a.VariableGroups)
        groups = groups || !g.isEmpty();
    if (groups) {
        YamlNode v = YamlNode::map();
        addInt(v, "change", a.ChangeVariables, 1);
        const char* names[] = {"no_effect", "set_to_zero", "set_to_one", "toggle"};
        for (int i = 0; i < 4; ++i) {
            if (!a.VariableGroups[i].isEmpty()) v.add(names[i], describeNames(a.VariableGroups[i]));
        }
        m.add("variables", std::move(v));
    }
    addFlag(m, "sound_loops", a.SoundLoops, d.SoundLoops);
    if (!isEmptyValue(a.UseTransition) || a.TransitionDuration != 0 || a.TransitionNumber != 0) {
        YamlNode v = YamlNode::map();
        if (a.UseTransition != kOn) v.add("use", describeValue(a.UseTransition));
        if (a.TransitionDuration != 0) v.add("duration_ms", YamlNode::number(a.TransitionDuration));
        addInt(v, "number", a.TransitionNumber, 0);
        m.add("transition", std::move(v));
    }
    describeProcedureCall(m, a.CallProcedure, a.ProcedureCall);
    RequestChannels c;
    c.fade = a.FadeDuration;
    c.perRow = a.ChannelValueCount;
    c.count = a.ChannelCount;
    for (const ChannelRequestRow& row : a.ChannelRows)
        c.rows.append(row.values);
    addMap(m, "channels", describeRequestChannels(c));
    if (a.PickUpItem) {
        m.add("pick_up", YamlNode::text(a.ItemName));
    } else if (!a.ItemName.isEmpty()) {
        m.add("pick_up", YamlNode::map()
                             .add("item", YamlNode::text(a.ItemName))
                             .add("enabled", YamlNode::boolean(false)));
    }
    describeScript(m, "script", a.Script, QuoteCodec::Thorn);

    YamlNode raw = YamlNode::map();
    if (a.prefix != defaultPrefix) raw.add("prefix", describeValues(a.prefix));
    addInt(raw, "a8", a.A8, 0);
    addText(raw, "a9", a.A9);
    if (a.A29to31 != d.A29to31) raw.add("a29_31", describeValues(a.A29to31));
    if (a.A33to35 != d.A33to35) raw.add("a33_35", describeValues(a.A33to35));
    if (a.A37to39 != d.A37to39) raw.add("a37_39", describeValues(a.A37to39));
    if (a.A48to53 != d.A48to53) raw.add("a48_53", describeValues(a.A48to53));
    addInt(raw, "a55", a.A55, 0);
    if (a.lastGroup != int(ActionGroup::Script))
        raw.add("ends_after",
                YamlNode::text(kGroupNames[std::max(a.lastGroup, int(ActionGroup::GoTo))]));
    addMap(m, "raw", std::move(raw));
    return m;
}

// --- hotspots ------------------------------------------------------------------------------------

const RecordValue kShown = RecordValue::ofBool(true);

struct HotspotEntry {
    HotspotRecord record;
    std::optional<ActionRecord> action;
};

HotspotEntry readHotspot(const Reader& r, const YAML::Node& node, int position) {
    HotspotEntry e;
    HotspotRecord& h = e.record;
    Fields f(r, node, QString("hotspot %1").arg(position));
    h.Index = qint16(position);
    if (YAML::Node n = f["index"]; n.IsDefined()) h.Index = r.int16(n, "index");
    const YAML::Node rect = f["rect"];
    const YAML::Node twips = f["rect_twips"];
    if (rect.IsDefined() && twips.IsDefined()) r.fail(twips, "give either rect or rect_twips");
    if (rect.IsDefined()) {
        const QList<YAML::Node> xywh = r.items(rect, "rect");
        if (xywh.size() != 4) r.fail(rect, "rect is [left, top, width, height] in pixels");
        RecordValue* fields[] = {&h.Left, &h.Top, &h.Width, &h.Height};
        for (int i = 0; i < 4; ++i)
            *fields[i] = RecordValue::ofNumber(r.real(xywh[i], "rect") * 15);
    } else if (twips.IsDefined()) {
        const QList<RecordValue> v = r.values(twips, "rect_twips", 4);
        h.Left = v[0], h.Top = v[1], h.Width = v[2], h.Height = v[3];
    }
    if (YAML::Node n = f["picture"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields p(r, n, "picture");
            h.ShowPicture = p.has("show") ? r.value(p["show"], "show") : kShown;
            h.Picture = r.value(p["file"], "file");
            p.finish();
        } else {
            h.ShowPicture = kShown;
            h.Picture = RecordValue::ofString(r.text(n, "picture"));
        }
    }
    h.Stretch = r.value(f["stretch"], "stretch");
    h.Pointer = r.value(f["pointer"], "pointer");
    h.Animated = r.value(f["animated"], "animated");
    if (YAML::Node n = f["conditions"]; n.IsDefined()) {
        Fields c(r, n, "conditions");
        h.HasConditions = c.has("enabled") ? r.value(c["enabled"], "enabled") : kOn;
        h.MustBeZero = r.names(c["must_be_zero"], "must_be_zero");
        h.MustBeOne = r.names(c["must_be_one"], "must_be_one");
        c.finish();
    }
    if (YAML::Node n = f["animation_speed"]; n.IsDefined()) {
        h.hasAnimationSpeed = true;
        h.AnimationSpeed = r.value(n, "animation_speed");
    }
    if (YAML::Node n = f["video"]; n.IsDefined()) {
        h.hasAnimationSpeed = true;
        h.hasVideoTail = true;
        if (n.IsMap()) {
            Fields v(r, n, "video");
            h.HasVideo = v.has("show") ? r.value(v["show"], "show") : kShown;
            h.VideoFile = r.value(v["file"], "file");
            h.VideoAutoSize = r.value(v["auto_size"], "auto_size");
            h.VideoVolume = r.value(v["volume"], "volume");
            h.VideoRate = r.value(v["rate"], "rate");
            h.VideoPlayCount = r.value(v["play_count"], "play_count");
            v.finish();
        } else {
            h.HasVideo = kShown;
            h.VideoFile = RecordValue::ofString(r.text(n, "video"));
        }
    }
    if (YAML::Node n = f["action"]; n.IsDefined())
        e.action = readAction(r, n, QString("the action of hotspot %1").arg(position), {});
    if (YAML::Node n = f["raw"]; n.IsDefined()) {
        Fields raw(r, n, "hotspot raw fields");
        if (YAML::Node v = raw["field_1"]; v.IsDefined()) h.Field1 = r.value(v, "field_1");
        if (YAML::Node v = raw["fields_3_10"]; v.IsDefined())
            h.Fields3to10 = r.values(v, "fields_3_10", 8);
        h.Field28 = r.value(raw["field_28"], "field_28");
        h.Field29 = r.value(raw["field_29"], "field_29");
        h.Field32 = r.value(raw["field_32"], "field_32");
        h.Field33 = r.value(raw["field_33"], "field_33");
        if ((!isEmptyValue(h.Field28) || !isEmptyValue(h.Field29) || !isEmptyValue(h.Field32) ||
             !isEmptyValue(h.Field33)) &&
            !h.hasVideoTail)
            r.fail(n, "fields 28 to 33 are stored only with a video");
        raw.finish();
    }
    f.finish();
    return e;
}

YamlNode describeHotspot(const HotspotRecord& h, int position, const ActionRecord* action) {
    const HotspotRecord d;
    YamlNode m = YamlNode::map();
    addInt(m, "index", h.Index, position);
    const RecordValue* rect[] = {&h.Left, &h.Top, &h.Width, &h.Height};
    bool pixels = true, any = false;
    for (const RecordValue* v : rect) {
        any = any || !isEmptyValue(*v);
        pixels =
            pixels && v->kind == RecordValue::Kind::Number && (v->number / 15) * 15 == v->number;
    }
    if (any && pixels) {
        YamlNode list = YamlNode::seq(true);
        for (const RecordValue* v : rect)
            list.append(YamlNode::number(v->number / 15));
        m.add("rect", std::move(list));
    } else if (any) {
        m.add("rect_twips", describeValues({h.Left, h.Top, h.Width, h.Height}));
    }
    if (h.ShowPicture == kShown && h.Picture.kind == RecordValue::Kind::String) {
        m.add("picture", YamlNode::text(h.Picture.text));
    } else if (!isEmptyValue(h.ShowPicture) || !isEmptyValue(h.Picture)) {
        YamlNode v = YamlNode::map();
        addValue(v, "file", h.Picture);
        if (h.ShowPicture != kShown) v.add("show", describeValue(h.ShowPicture));
        m.add("picture", std::move(v));
    }
    addValue(m, "stretch", h.Stretch);
    addValue(m, "pointer", h.Pointer);
    addValue(m, "animated", h.Animated);
    if (!isEmptyValue(h.HasConditions) || !h.MustBeZero.isEmpty() || !h.MustBeOne.isEmpty()) {
        YamlNode v = YamlNode::map();
        if (h.HasConditions != kOn) v.add("enabled", describeValue(h.HasConditions));
        if (!h.MustBeZero.isEmpty()) v.add("must_be_zero", describeNames(h.MustBeZero));
        if (!h.MustBeOne.isEmpty()) v.add("must_be_one", describeNames(h.MustBeOne));
        m.add("conditions", std::move(v));
    }
    if (h.hasAnimationSpeed && (!h.hasVideoTail || !isEmptyValue(h.AnimationSpeed)))
        m.add("animation_speed", describeValue(h.AnimationSpeed));
    if (h.hasVideoTail) {
        const bool simple = h.HasVideo == kShown && h.VideoFile.kind == RecordValue::Kind::String &&
                            isEmptyValue(h.VideoAutoSize) && isEmptyValue(h.VideoVolume) &&
                            isEmptyValue(h.VideoRate) && isEmptyValue(h.VideoPlayCount);
        if (simple) {
            m.add("video", YamlNode::text(h.VideoFile.text));
        } else {
            YamlNode v = YamlNode::map();
            addValue(v, "file", h.VideoFile);
            if (h.HasVideo != kShown) v.add("show", describeValue(h.HasVideo));
            addValue(v, "auto_size", h.VideoAutoSize);
            addValue(v, "volume", h.VideoVolume);
            addValue(v, "rate", h.VideoRate);
            addValue(v, "play_count", h.VideoPlayCount);
            m.add("video", std::move(v));
        }
    }
    if (action) m.add("action", describeAction(*action, ActionRecord().prefix));
    YamlNode raw = YamlNode::map();
    addValue(raw, "field_1", h.Field1, d.Field1);
    if (h.Fields3to10 != d.Fields3to10) raw.add("fields_3_10", describeValues(h.Fields3to10));
    addValue(raw, "field_28", h.Field28);
    addValue(raw, "field_29", h.Field29);
    addValue(raw, "field_32", h.Field32);
    addValue(raw, "field_33", h.Field33);
    addMap(m, "raw", std::move(raw));
    return m;
}

// --- item actions --------------------------------------------------------------------------------

// "k_item.drg" as the editor writes the key: the hotspot index, an underscore, the item's name.
std::optional<std::pair<int, QString>> splitItemKey(const RecordValue& key) {
    if (key.kind != RecordValue::Kind::String) return std::nullopt;
    static const QRegularExpression form(R"(^(-?[0-9]+)_(.*)\.drg$)",
                                         QRegularExpression::DotMatchesEverythingOption);
    const auto match = form.match(key.text);
    if (!match.hasMatch()) return std::nullopt;
    bool ok = false;
    const int hotspot = match.captured(1).toInt(&ok);
    if (!ok || hotspot < -32768 || hotspot > 32767 || QString::number(hotspot) != match.captured(1))
        return std::nullopt;
    return std::pair{hotspot, match.captured(2)};
}

ActionRecord readItemAction(const Reader& r, const YAML::Node& node) {
    Fields f(r, node, "an item action");
    const YAML::Node key = f["key"];
    const YAML::Node hotspot = f["hotspot"];
    const YAML::Node item = f["item"];
    ActionRecord base;
    if (key.IsDefined()) {
        if (hotspot.IsDefined() || item.IsDefined())
            r.fail(key, "give either hotspot and item or key");
        base.prefix[1] = r.value(key, "key");
    } else {
        if (!hotspot.IsDefined() || !item.IsDefined())
            r.fail(node, "an item action names its hotspot and item");
        base = itemActionRecord(r.int16(hotspot, "hotspot"), r.text(item, "item"));
    }
    const RecordValue itemKey = base.prefix[1];
    ActionRecord a = readAction(r, f["action"], "an item action", base);
    a.prefix[1] = itemKey;
    f.finish();
    return a;
}

YamlNode describeItemAction(const ActionRecord& a) {
    YamlNode m = YamlNode::map();
    QList<RecordValue> defaultPrefix = ActionRecord().prefix;
    defaultPrefix[1] = a.prefix.value(1);
    if (auto split = splitItemKey(a.prefix.value(1))) {
        m.add("hotspot", YamlNode::number(split->first));
        m.add("item", YamlNode::text(split->second));
    } else {
        m.add("key", describeValue(a.prefix.value(1)));
    }
    m.add("action", describeAction(a, defaultPrefix));
    return m;
}

// --- sound selections ----------------------------------------------------------------------------

SoundSelectionRecord readSoundSelection(const Reader& r, const YAML::Node& node) {
    SoundSelectionRecord s;
    Fields f(r, node, "a sound selection");
    const YAML::Node hotspot = f["hotspot"];
    if (!hotspot.IsDefined()) r.fail(node, "a sound selection names its hotspot");
    s.Hotspot = r.int16(hotspot, "hotspot");
    QList<RecordValue> leading = SoundChannelData().leading;
    if (YAML::Node n = f["raw"]; n.IsDefined()) {
        Fields raw(r, n, "sound selection raw fields");
        if (YAML::Node v = raw["field_1"]; v.IsDefined()) s.Field1 = r.value(v, "field_1");
        if (YAML::Node v = raw["fields_3_10"]; v.IsDefined())
            s.Ignored = r.values(v, "fields_3_10", 8);
        leading = readLeading(r, raw);
        raw.finish();
    }
    s.channels = readOldChannels(r, f, leading);
    f.finish();
    return s;
}

YamlNode describeSoundSelection(const SoundSelectionRecord& s) {
    const SoundSelectionRecord d;
    YamlNode m = YamlNode::map();
    m.add("hotspot", YamlNode::number(s.Hotspot));
    m.add("channels", describeOldRows(s.channels.rows));
    YamlNode raw = YamlNode::map();
    addValue(raw, "field_1", s.Field1, d.Field1);
    if (s.Ignored != d.Ignored) raw.add("fields_3_10", describeValues(s.Ignored));
    if (s.channels.leading != d.channels.leading)
        raw.add("leading", describeValues(s.channels.leading));
    addMap(m, "raw", std::move(raw));
    return m;
}

// --- the frame record
// ------------------------------------------------------------------------------

std::optional<qint64> readColour(const Reader& r, const YAML::Node& node) {
    const QString text = QString::fromStdString(node.IsScalar() ? node.Scalar() : "");
    static const QRegularExpression rgb("^#([0-9a-fA-F]{6})$");
    if (const auto m = rgb.match(text); m.hasMatch()) {
        const uint v = m.captured(1).toUInt(nullptr, 16);
        // Stored 0x00BBGGRR.
        return qint64(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
    }
    return r.integer(node, "colour (\"#RRGGBB\" or the stored number)", INT32_MIN, INT32_MAX);
}

YamlNode describeColour(const QString& background) {
    bool ok = false;
    const qint64 v = background.toLongLong(&ok);
    if (ok && v >= 0 && v <= 0xFFFFFF) {
        const qint64 rgb = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
        return YamlNode::text(QString("#%1").arg(rgb, 6, 16, QChar('0')));
    }
    return YamlNode::number(double(v));
}

bool canonicalColour(const QString& background) {
    bool ok = false;
    const qint64 v = background.toLongLong(&ok);
    return ok && v >= INT32_MIN && v <= INT32_MAX && QString::number(v) == background;
}

FrameRecord readFrameRecordFields(const Reader& r, Fields& f, Fields* raw, int& endsAfter) {
    FrameRecord rec;
    const YAML::Node colour = f["colour"];
    const YAML::Node picture = f["picture"];
    if (colour.IsDefined() && picture.IsDefined())
        r.fail(picture, "a frame shows a colour or a picture, not both");
    if (colour.IsDefined()) {
        rec.BackgroundMode = 0;
        rec.Background = QString::number(*readColour(r, colour));
    }
    if (picture.IsDefined()) {
        rec.BackgroundMode = 1;
        rec.Background = r.text(picture, "picture");
    }
    if (YAML::Node n = f["tiled"]; n.IsDefined()) rec.BackgroundTiled = r.boolean(n, "tiled");
    rec.SoundFile = r.text(f["sound"], "sound");
    if (YAML::Node n = f["sound_loops"]; n.IsDefined())
        rec.SoundLoops = r.boolean(n, "sound_loops");
    if (YAML::Node n = f["restart_sound"]; n.IsDefined())
        rec.RestartSound = r.boolean(n, "restart_sound");
    if (YAML::Node n = f["stop_all_sounds"]; n.IsDefined())
        rec.StopAllSounds = r.boolean(n, "stop_all_sounds");
    if (YAML::Node n = f["stop_music"]; n.IsDefined()) rec.StopMusic = r.boolean(n, "stop_music");
    rec.MusicFile = r.text(f["music"], "music");
    if (YAML::Node n = f["timer"]; n.IsDefined()) {
        Fields t(r, n, "timer");
        rec.TimerEnabled = t.has("enabled") ? r.boolean(t["enabled"], "enabled") : true;
        rec.TimerSeconds = r.value(t["seconds"], "seconds");
        rec.TimerTarget = r.text(t["to"], "to");
        if (YAML::Node tr = t["transition"]; tr.IsDefined()) {
            Fields tt(r, tr, "transition");
            rec.TimerTransition = tt.has("enabled") ? r.boolean(tt["enabled"], "enabled") : true;
            if (YAML::Node v = tt["duration_ms"]; v.IsDefined())
                rec.TimerTransitionDuration = r.int32(v, "duration_ms");
            if (YAML::Node v = tt["number"]; v.IsDefined())
                rec.TimerTransitionNumber = r.int16(v, "number");
            tt.finish();
        }
        t.finish();
    }
    if (YAML::Node n = f["video"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields v(r, n, "video");
            rec.VideoFile = r.text(v["file"], "file");
            if (YAML::Node b = v["unplaced"]; b.IsDefined())
                rec.VideoUnplaced = r.boolean(b, "unplaced");
            if (YAML::Node b = v["at_position"]; b.IsDefined())
                rec.VideoAtPosition = r.boolean(b, "at_position");
            if (YAML::Node rect = v["rect"]; rect.IsDefined()) {
                const QList<YAML::Node> xywh = r.items(rect, "rect");
                if (xywh.size() != 4) r.fail(rect, "rect is [left, top, width, height]");
                rec.VideoLeft = r.int32(xywh[0], "left");
                rec.VideoTop = r.int32(xywh[1], "top");
                rec.VideoWidth = r.int32(xywh[2], "width");
                rec.VideoHeight = r.int32(xywh[3], "height");
            }
            if (YAML::Node b = v["first"]; b.IsDefined()) rec.VideoFirst = r.boolean(b, "first");
            v.finish();
        } else {
            rec.VideoFile = r.text(n, "video");
        }
    }
    if (YAML::Node n = f["procedure_call"]; n.IsDefined()) {
        if (n.IsMap()) {
            Fields p(r, n, "procedure_call");
            rec.CallProcedure = p.has("enabled") ? r.boolean(p["enabled"], "enabled") : true;
            rec.ProcedureCall = readScript(r, p, "code", QuoteCodec::Bar, rec.ProcedureCall);
            p.finish();
        } else {
            rec.CallProcedure = true;
            rec.ProcedureCall =
                RecordValue::ofString(r.script(n, "procedure_call", QuoteCodec::Bar));
        }
    }
    rec.StartupScript = readScript(r, f, "startup_script", QuoteCodec::Thorn, rec.StartupScript);
    if (YAML::Node n = f["channels"]; n.IsDefined()) {
        const RequestChannels c = readRequestChannels(r, n, "channels");
        rec.FadeDuration = c.fade;
        rec.ChannelValueCount = c.perRow;
        rec.ChannelCount = c.count;
        rec.ChannelRows = c.rows;
    }
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
        rec.Ignored10 = r.value((*raw)["field_10"], "field_10");
        if (YAML::Node v = (*raw)["fields_14_16"]; v.IsDefined())
            rec.Ignored14to16 = r.values(v, "fields_14_16", 3);
        if (YAML::Node v = (*raw)["fields_29_34"]; v.IsDefined())
            rec.Ignored29to34 = r.values(v, "fields_29_34", 6);
        if (YAML::Node v = (*raw)["field_36"]; v.IsDefined())
            rec.Ignored36 = r.value(v, "field_36");
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
    const FrameRecord d;
    if (rec.BackgroundMode == 0 && canonicalColour(rec.Background)) {
        m.add("colour", describeColour(rec.Background));
    } else if (rec.BackgroundMode == 1) {
        m.add("picture", YamlNode::text(rec.Background));
    } else if (rec.BackgroundMode != 0 || !rec.Background.isEmpty()) {
        raw.add("background_mode", YamlNode::number(rec.BackgroundMode));
        addText(raw, "background", rec.Background);
    }
    addFlag(m, "tiled", rec.BackgroundTiled, false);
    addText(m, "sound", rec.SoundFile);
    addFlag(m, "sound_loops", rec.SoundLoops, d.SoundLoops);
    addFlag(m, "restart_sound", rec.RestartSound, false);
    addFlag(m, "stop_all_sounds", rec.StopAllSounds, false);
    addFlag(m, "stop_music", rec.StopMusic, false);
    addText(m, "music", rec.MusicFile);
    const bool hasTransition =
        rec.TimerTransition || rec.TimerTransitionDuration != 0 || rec.TimerTransitionNumber != 0;
    if (rec.TimerEnabled || !isEmptyValue(rec.TimerSeconds) || !rec.TimerTarget.isEmpty() ||
        hasTransition) {
        YamlNode t = YamlNode::map();
        addFlag(t, "enabled", rec.TimerEnabled, true);
        addValue(t, "seconds", rec.TimerSeconds);
        addText(t, "to", rec.TimerTarget);
        if (hasTransition) {
            YamlNode transition = YamlNode::map();
            addFlag(transition, "enabled", rec.TimerTransition, true);
            addInt(transition, "duration_ms", rec.TimerTransitionDuration, 0);
            addInt(transition, "number", rec.TimerTransitionNumber, 0);
            t.add("transition", std::move(transition));
        }
        m.add("timer", std::move(t));
    }
    const bool placed = rec.VideoUnplaced || rec.VideoAtPosition || rec.VideoLeft || rec.VideoTop ||
                        rec.VideoWidth || rec.VideoHeight || rec.VideoFirst;
    if (!placed) {
        addText(m, "video", rec.VideoFile);
    } else {
        YamlNode v = YamlNode::map();
        addText(v, "file", rec.VideoFile);
        addFlag(v, "unplaced", rec.VideoUnplaced, false);
        addFlag(v, "at_position", rec.VideoAtPosition, false);
        if (rec.VideoLeft || rec.VideoTop || rec.VideoWidth || rec.VideoHeight)
            v.add("rect", YamlNode::seq(true)
                              .append(YamlNode::number(rec.VideoLeft))
                              .append(YamlNode::number(rec.VideoTop))
                              .append(YamlNode::number(rec.VideoWidth))
                              .append(YamlNode::number(rec.VideoHeight)));
        addFlag(v, "first", rec.VideoFirst, false);
        m.add("video", std::move(v));
    }
    describeProcedureCall(m, rec.CallProcedure, rec.ProcedureCall);
    describeScript(m, "startup_script", rec.StartupScript, QuoteCodec::Thorn);
    RequestChannels c;
    c.fade = rec.FadeDuration;
    c.perRow = rec.ChannelValueCount;
    c.count = rec.ChannelCount;
    c.rows = rec.ChannelRows;
    addMap(m, "channels", describeRequestChannels(c));

    addValue(raw, "field_10", rec.Ignored10);
    if (rec.Ignored14to16 != d.Ignored14to16)
        raw.add("fields_14_16", describeValues(rec.Ignored14to16));
    if (rec.Ignored29to34 != d.Ignored29to34)
        raw.add("fields_29_34", describeValues(rec.Ignored29to34));
    addValue(raw, "field_36", rec.Ignored36, d.Ignored36);
    addInt(raw, "ends_after_field", endsAfter, 40);
}

} // namespace

// --- frames --------------------------------------------------------------------------------------

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
    frame.record = readFrameRecordFields(r, f, raw ? &*raw : nullptr, frame.recordEndsAfter);
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
    if (YAML::Node n = f["merged_hotspots"]; n.IsDefined())
        frame.mergedHotspots = r.boolean(n, "merged_hotspots");
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
    if (YAML::Node n = f["merged_actions"]; n.IsDefined())
        frame.mergedActions = r.boolean(n, "merged_actions");
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
    if (YAML::Node n = f["sound_channels"]; n.IsDefined()) {
        Fields c(r, n, "sound_channels");
        QList<RecordValue> leading = SoundChannelData().leading;
        if (YAML::Node raw = c["raw"]; raw.IsDefined()) {
            Fields rf(r, raw, "sound_channels raw fields");
            leading = readLeading(r, rf);
            rf.finish();
        }
        frame.soundChannels = readOldChannels(r, c, leading);
        c.finish();
    }
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
    addFlag(m, "merged_hotspots", frame.mergedHotspots, false);
    if (frame.hotspotCount.mode == HotspotCountFile::Mode::Absent && frame.hotspots) {
        m.add("hotspot_count", YamlNode::text("none"));
    } else if (frame.hotspotCount.mode == HotspotCountFile::Mode::Given &&
               (!frame.hotspots || frame.hotspotCount.count != hotspots.size())) {
        m.add("hotspot_count", YamlNode::number(frame.hotspotCount.count));
    }
    if (actions.size() > hotspots.size()) {
        YamlNode list = YamlNode::seq();
        for (int i = int(hotspots.size()); i < actions.size(); ++i)
            list.append(describeAction(actions[i], ActionRecord().prefix));
        m.add("extra_actions", std::move(list));
    }
    if (frame.actions && actions.isEmpty())
        extraRaw.add("empty_actions_file", YamlNode::boolean(true));
    addFlag(m, "merged_actions", frame.mergedActions, false);
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
    if (frame.soundChannels) {
        YamlNode c = YamlNode::map();
        c.add("channels", describeOldRows(frame.soundChannels->rows));
        if (frame.soundChannels->leading != SoundChannelData().leading)
            c.add("raw",
                  YamlNode::map().add("leading", describeValues(frame.soundChannels->leading)));
        m.add("sound_channels", std::move(c));
    }
    addMap(m, "raw", std::move(extraRaw));
    return m;
}

} // namespace tv::builder
