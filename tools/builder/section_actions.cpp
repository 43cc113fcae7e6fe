// Actions: those of hotspots (.fm3) and those of items used on hotspots (.fm0).

#include "tools/builder/frame_parts.h"

#include <QRegularExpression>

#include <algorithm>

namespace tv::builder {

namespace {

const char* const kGroupNames[] = {"variable",       "message",
                                   "disappear",      "quit",
                                   "go_to",          "video",
                                   "sound",          "go_back",
                                   "message_option", "variables",
                                   "sound_loops",    "transition",
                                   "procedure_call", "transition_number",
                                   "channels",       "pick_up",
                                   "script"};

// "ends_after": the last group a record holds, for records that end early.
Field<ActionRecord> endsAfter() {
    Field<ActionRecord> f;
    f.key = "ends_after";
    f.read = [](const Reader& r, Fields& fields, ActionRecord& a) {
        const YAML::Node n = fields["ends_after"];
        if (!n.IsDefined()) return;
        const QString name = r.text(n, "ends_after");
        a.lastGroup = -1;
        for (int g = int(ActionGroup::GoTo); g <= int(ActionGroup::Script); ++g) {
            if (name == kGroupNames[g]) a.lastGroup = g;
        }
        if (a.lastGroup < 0)
            r.fail(n, "ends_after names a group from go_to on (go_to, video, sound, "
                      "go_back, message_option, variables, sound_loops, transition, "
                      "procedure_call, transition_number, channels, pick_up, script)");
    };
    f.describe = [](YamlNode& m, const ActionRecord& a, const ActionRecord& base) {
        if (a.lastGroup != base.lastGroup)
            m.add("ends_after",
                  YamlNode::text(kGroupNames[std::max(a.lastGroup, int(ActionGroup::GoTo))]));
    };
    f.differs = [](const ActionRecord& a, const ActionRecord& base) {
        return a.lastGroup != base.lastGroup;
    };
    return f;
}

// A sound or music: the file alone when it is switched on.
Field<ActionRecord> playable(const char* key, RecordValue ActionRecord::*play,
                             RecordValue ActionRecord::*file) {
    return group<ActionRecord>(
        {.key = key,
         .fields = {fieldAt<ActionRecord>(
                        "file", [file](auto& a) -> auto& { return a.*file; }),
                    fieldAt<ActionRecord>(
                        "play", [play](auto& a) -> auto& { return a.*play; })
                        .readFirst()},
         .given = [play](ActionRecord& a) { a.*play = kOn; },
         .alone = "file"});
}

template <int I> Field<ActionRecord> variableGroup(const char* key) {
    return fieldAt<ActionRecord>(
        key, [](auto& a) -> auto& { return a.VariableGroups[I]; });
}

const Table<ActionRecord> kAction = {
    group<ActionRecord>({.key = "variable",
                         .fields = {field<&ActionRecord::VariableName>("name"),
                                    field<&ActionRecord::ChangeVariable>("change").readFirst(),
                                    field<&ActionRecord::SetToZero>("set_to_zero"),
                                    field<&ActionRecord::SetToOne>("set_to_one"),
                                    field<&ActionRecord::Toggle>("toggle")},
                         .given = [](ActionRecord& a) { a.ChangeVariable = 1; }}),
    group<ActionRecord>({.key = "message",
                         .fields = {field<&ActionRecord::ShowMessage>("show"),
                                    field<&ActionRecord::MessageText>("text")},
                         .given = [](ActionRecord& a) { a.ShowMessage = kOn; },
                         .alone = "text"}),
    field<&ActionRecord::Disappear>("disappear"),
    field<&ActionRecord::QuitGame>("quit"),
    group<ActionRecord>({.key = "go_to",
                         .fields = {field<&ActionRecord::GoToFrame>("enabled"),
                                    field<&ActionRecord::Destination>("frame")},
                         .given = [](ActionRecord& a) { a.GoToFrame = 1; },
                         .alone = "frame"}),
    field<&ActionRecord::StopFrameSound>("stop_frame_sound"),
    field<&ActionRecord::StopAllSounds>("stop_all_sounds"),
    group<ActionRecord>(
        {.key = "video",
         .fields = {field<&ActionRecord::VideoFile>("file"),
                    field<&ActionRecord::PlayVideo>("play").readFirst(),
                    field<&ActionRecord::VideoUnplaced>("unplaced"),
                    field<&ActionRecord::VideoAtPosition>("at_position"),
                    rect<&ActionRecord::VideoLeft, &ActionRecord::VideoTop,
                         &ActionRecord::VideoWidth, &ActionRecord::VideoHeight>("rect")},
         .given = [](ActionRecord& a) { a.PlayVideo = 1; },
         .alone = "file"}),
    field<&ActionRecord::StopMusic>("stop_music"),
    playable("sound", &ActionRecord::PlaySound, &ActionRecord::SoundFile),
    playable("music", &ActionRecord::PlayMusic, &ActionRecord::MusicFile),
    field<&ActionRecord::GoBack>("go_back"),
    field<&ActionRecord::MessageOption>("message_option"),
    group<ActionRecord>({.key = "variables",
                         .fields = {field<&ActionRecord::ChangeVariables>("change"),
                                    variableGroup<0>("no_effect"), variableGroup<1>("set_to_zero"),
                                    variableGroup<2>("set_to_one"), variableGroup<3>("toggle")},
                         .given = [](ActionRecord& a) { a.ChangeVariables = 1; }}),
    field<&ActionRecord::SoundLoops>("sound_loops"),
    group<ActionRecord>({.key = "transition",
                         .fields = {field<&ActionRecord::UseTransition>("use"),
                                    field<&ActionRecord::TransitionDuration>("duration_ms"),
                                    field<&ActionRecord::TransitionNumber>("number")},
                         .given = [](ActionRecord& a) { a.UseTransition = kOn; }}),
    procedureCall<&ActionRecord::CallProcedure, &ActionRecord::ProcedureCall>(),
    requestChannels<ActionRecord>(),
    group<ActionRecord>({.key = "pick_up",
                         .fields = {field<&ActionRecord::ItemName>("item"),
                                    field<&ActionRecord::PickUpItem>("enabled").readFirst()},
                         .given = [](ActionRecord& a) { a.PickUpItem = true; },
                         .alone = "item"}),
    script<&ActionRecord::Script>("script", QuoteCodec::Thorn),
    group<ActionRecord>(
        {.key = "raw",
         .fields = {field<&ActionRecord::prefix>("prefix"), field<&ActionRecord::A8>("a8"),
                    field<&ActionRecord::A9>("a9"), field<&ActionRecord::A29to31>("a29_31"),
                    field<&ActionRecord::A33to35>("a33_35"),
                    field<&ActionRecord::A37to39>("a37_39"),
                    field<&ActionRecord::A48to53>("a48_53"), field<&ActionRecord::A55>("a55"),
                    endsAfter()},
         .what = "action raw fields"}),
};

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

} // namespace

ActionRecord readAction(const Reader& r, const YAML::Node& node, const QString& what,
                        ActionRecord base) {
    ActionRecord a = std::move(base);
    Fields f(r, node, what);
    readTable(r, f, a, kAction);
    f.finish();
    // A record that ends early must not be given values it cannot hold.
    if (a.lastGroup != int(ActionGroup::Script)) {
        RecordWriter out;
        writeActionRecord(out, a);
        RecordReader in(out.bytes());
        ActionRecord back = readActionRecord(in);
        back.lastGroup = a.lastGroup;
        if (!(back == a))
            r.fail(node["raw"]["ends_after"],
                   QString("values are given after '%1', where the record ends")
                       .arg(kGroupNames[a.lastGroup]));
    }
    return a;
}

YamlNode describeAction(const ActionRecord& a, const ActionRecord& base) {
    YamlNode m = YamlNode::map();
    describeTable(m, a, base, kAction);
    return m;
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
    // The key is given apart from the action; the action's prefix is described against it.
    ActionRecord base;
    base.prefix[1] = a.prefix.value(1);
    if (auto split = splitItemKey(a.prefix.value(1))) {
        m.add("hotspot", YamlNode::number(split->first));
        m.add("item", YamlNode::text(split->second));
    } else {
        m.add("key", describeValue(a.prefix.value(1)));
    }
    m.add("action", describeAction(a, base));
    return m;
}

} // namespace tv::builder
