// The tables that read and describe a record: absent keys keep the base, only differences are
// described, switched groups take their one-value form only where that reads back, and the known
// keys of a map are listed in reading order.

#include "tools/builder/description.h"
#include "tools/builder/field_table.h"

#include <gtest/gtest.h>

using namespace tv;
using namespace tv::builder;

namespace {

struct Lamp {
    QString name;
    qint16 level = 3;
    bool lit = true;
    RecordValue show, file;
    QList<RecordValue> spare = QList<RecordValue>(2, RecordValue::ofNumber(0));
    bool tail = false;
    RecordValue tailValue;
    bool operator==(const Lamp&) const = default;
};

const RecordValue kOne = RecordValue::ofNumber(1);

const Table<Lamp> kLamp = {
    field<&Lamp::name>("name"),
    field<&Lamp::level>("level").readFirst(),
    field<&Lamp::lit>("lit"),
    group<Lamp>({.key = "picture",
                 .fields = {field<&Lamp::file>("file"), field<&Lamp::show>("show").readFirst()},
                 .given = [](Lamp& l) { l.show = kOne; },
                 .alone = "file"}),
    group<Lamp>({.key = "raw",
                 .fields = {field<&Lamp::spare>("spare"), field<&Lamp::tailValue>("tail_value")},
                 .what = "lamp raw fields",
                 .check =
                     [](const Reader& r, const YAML::Node& n, const Lamp& l) {
                         if (l.tailValue.kind != RecordValue::Kind::Empty && !l.tail)
                             r.fail(n, "a tail value needs a tail");
                     }}),
};

Lamp read(const char* yaml, Lamp base = {}) {
    const Reader r("lamp.yaml");
    Fields f(r, YAML::Load(yaml), "a lamp");
    readTable(r, f, base, kLamp);
    f.finish();
    return base;
}

std::string errorOf(const char* yaml) {
    try {
        read(yaml);
    } catch (const BuildError& e) {
        return e.what();
    }
    return "no error";
}

QByteArray describe(const Lamp& lamp, const Lamp& base = {}) {
    YamlNode m = YamlNode::map();
    describeTable(m, lamp, base, kLamp);
    return m.document();
}

} // namespace

TEST(FieldTable, AbsentKeysKeepTheBaseAndOnlyDifferencesAreDescribed) {
    Lamp base;
    base.name = "Hall";
    EXPECT_EQ(read("{}", base), base);
    EXPECT_EQ(describe(base, base), "{}\n");

    const Lamp l = read("{level: 5, lit: false}", base);
    EXPECT_EQ(l.name, "Hall");
    EXPECT_EQ(l.level, 5);
    EXPECT_FALSE(l.lit);
    EXPECT_EQ(describe(l, base), "level: 5\nlit: false\n");
    EXPECT_EQ(read(describe(l, base).constData(), base), l);
}

TEST(FieldTable, KnownKeysAreListedInReadingOrderWhileDescribingKeepsTheTableOrder) {
    EXPECT_EQ(errorOf("{colour: 1}"),
              "lamp.yaml:1:2: unknown key 'colour' in a lamp (known: level, name, lit, picture, "
              "raw)");
    EXPECT_EQ(errorOf("{picture: {size: 1}}"),
              "lamp.yaml:1:12: unknown key 'size' in picture (known: show, file)");
    Lamp l;
    l.name = "A";
    l.level = 9;
    EXPECT_EQ(describe(l), "name: A\nlevel: 9\n");
}

TEST(FieldTable, AGroupStandsAloneOnlyWhereItsOtherKeysAreAsGivingItLeavesThem) {
    // Given alone, the value switches the group on.
    Lamp alone = read("{picture: a.png}");
    EXPECT_EQ(alone.show, kOne);
    EXPECT_EQ(alone.file, RecordValue::ofString("a.png"));
    EXPECT_EQ(describe(alone), "picture: a.png\n");
    EXPECT_EQ(read("{picture: {file: a.png}}"), alone) << "a map switches it on too";

    // Switched otherwise, or with a value that is no text, the group is a map.
    Lamp off = read("{picture: {file: a.png, show: 0}}");
    EXPECT_EQ(describe(off), "picture: {file: a.png, show: 0}\n");
    Lamp number = read("{picture: {file: 5}}");
    EXPECT_EQ(number.file, RecordValue::ofNumber(5));
    EXPECT_EQ(describe(number), "picture: {file: 5}\n");
    EXPECT_EQ(read(describe(number).constData()), number);
    EXPECT_EQ(read("{picture: 5}").file, RecordValue::ofString("5")) << "alone it is a text";

    // Switched on without a file: a map with nothing but what is not a given.
    Lamp empty = read("{picture: {}}");
    EXPECT_EQ(empty.show, kOne);
    EXPECT_EQ(describe(empty), "picture: {}\n");
    EXPECT_EQ(read(describe(empty).constData()), empty);
}

TEST(FieldTable, RawValuesKeepTheirLengthAndChecksComeBeforeUnknownKeys) {
    EXPECT_EQ(read("{raw: {spare: [1, x]}}").spare,
              (QList<RecordValue>{RecordValue::ofNumber(1), RecordValue::ofString("x")}));
    EXPECT_EQ(errorOf("{raw: {spare: [1]}}"), "lamp.yaml:1:15: spare must hold 2 values");
    EXPECT_EQ(errorOf("{raw: {tail_value: 1, odd: 2}}"),
              "lamp.yaml:1:7: a tail value needs a tail");
    EXPECT_EQ(errorOf("{raw: {odd: 2}}"),
              "lamp.yaml:1:8: unknown key 'odd' in lamp raw fields (known: spare, tail_value)");
}

// Every key of the frame, hotspot, action and sound tables, each away from its default, reads
// back from its description as the same records.
TEST(FieldTable, EveryKeyOfTheFrameTablesReadsBackAsDescribed) {
    const char* yaml = R"(
frames:
  - name: A
    colour: 16777216
    tiled: true
    sound: s.wav
    sound_loops: false
    restart_sound: true
    stop_all_sounds: true
    stop_music: true
    music: m.mid
    timer: {enabled: false, seconds: 2.5, to: B, transition: {enabled: false, duration_ms: 5, number: 7}}
    video: {file: v.avi, unplaced: true, at_position: true, rect: [1, 2, 3, 4], first: true}
    procedure_call: {code: Greet "x", enabled: false}
    startup_script: MsgBox "Hi"
    channels: {fade_ms: 3, values_per_row: 5, row_count: 1, rows: [{request: 2, loop: true}]}
    hotspots:
      - index: 4
        rect: [1.5, 2, 3, 4]
        picture: {file: 5, show: 2}
        stretch: true
        pointer: hand.cur
        animated: 1
        conditions: {enabled: 0, must_be_zero: [A], must_be_one: [B]}
        animation_speed: 3
        video: {file: clip.avi, show: false, auto_size: 1, volume: 2, rate: 3, play_count: 4}
        raw: {field_1: 1, fields_3_10: [1, 1, 1, 1, 1, 1, 1, 1], field_28: a, field_29: b, field_32: c, field_33: d}
        action:
          variable: {change: 3, name: N, set_to_zero: 1, set_to_one: 2, toggle: x}
          message: {text: 12, show: 0}
          disappear: 1
          quit: 1
          go_to: {enabled: 0, frame: B}
          stop_frame_sound: 1
          stop_all_sounds: 2
          video: {file: d.avi, play: 3, unplaced: true, at_position: true, rect: [1, 2, 3, 4]}
          stop_music: 1
          sound: {file: s.wav, play: 0}
          music: {play: 1}
          go_back: 1
          message_option: 1
          variables: {change: 0, no_effect: [A], set_to_zero: [B], set_to_one: [C], toggle: [D]}
          sound_loops: false
          transition: {use: 1, duration_ms: 0.5, number: 2}
          procedure_call: Greet "Q"
          channels: {fade_ms: 3, rows: [[1], [2]]}
          pick_up: {item: Cup, enabled: false}
          script_stored: 7
          raw: {prefix: [1, 2, 3, 4, 5, 6, 7, 8, 9, 10], a8: 1, a9: x, a29_31: [1, 1, 1], a33_35: [3, 3, 3], a37_39: [1, 1, 1], a48_53: [1, 2, 3, 4, 5, 6], a55: 2}
      - rect_twips: [1, 2, 3, x]
        action: {go_to: C, raw: {ends_after: go_to}}
    merged_hotspots: true
    merged_actions: true
    hotspot_count: 7
    extra_actions: [{quit: 1}]
    item_actions: [{hotspot: 2, item: Cup, action: {go_back: 1}}, {key: 5, action: {}}]
    sound_selections:
      - hotspot: 2
        channels: [{}, {stop: true, play: true, file: a.wav, repeat: 1, ignored: 4}]
        raw: {field_1: 2, fields_3_10: [1, 1, 1, 1, 1, 1, 1, 1], leading: [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22]}
    sound_channels:
      channels: [{play: true, file: b.wav}]
      raw: {leading: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1]}
    raw: {field_10: 1, fields_14_16: [1, 2, 3], fields_29_34: [1, 2, 3, 4, 5, 6], field_36: 1}
    texts:
      - number: 3
        caption: Hi
        at: [1, 2]
        font: Arial
        size: 9
        bold: true
        italic: true
        underline: true
        strikethrough: true
        colour: -5
        raw: {field_1: x, fields_3_10: [1, 1, 1, 1, 1, 1, 1, 1], field_21: !null}
      - {at_twips: [1, 2.5], colour: "#010203"}
    merged_texts: [{caption: own}, {number: 1}]
    dialogue:
      questions:
        - id: 4
          question: Q
          answer: A
          script_1: a "b"
          script_2: c
          script_3: d
          shown: false
          ends: true
          hotspots: [1, 2, 3]
          show: [1]
          hide: [2, 3]
          answer_seconds: 0.5
          wait: true
          raw: {fields_15_17: [1, 2, 3], field_19: z}
      raw: {fields_1_3: [1, 2, 3], field_4: t4, field_5: t5, fields_6_11: [1, 2, 3, 4, 5, 6]}
  - name: B
    raw: {background_mode: 2, background: x, ends_after_field: 38, empty_actions_file: true}
    texts: []
    dialogue: {}
)";
    const ProjectDescription first = parseDescription(yaml, "game.yaml", ".");
    const QByteArray described = writeDescription(first);
    const ProjectDescription second = parseDescription(described, "described.yaml", ".");
    EXPECT_EQ(writeDescription(second), described);
    const FrameFiles &a = first.frames[0], &b = second.frames[0];
    EXPECT_EQ(b.hotspots, a.hotspots);
    EXPECT_EQ(b.actions, a.actions);
    EXPECT_EQ(b.itemActions, a.itemActions);
    EXPECT_EQ(b.soundSelections, a.soundSelections);
    EXPECT_EQ(b.soundChannels, a.soundChannels);
    EXPECT_EQ(b.mergedHotspots, a.mergedHotspots);
    EXPECT_EQ(b.mergedActions, a.mergedActions);
    EXPECT_EQ(b.texts, a.texts);
    EXPECT_EQ(b.mergedTexts, a.mergedTexts);
    EXPECT_EQ(b.dialogue, a.dialogue);
    // An empty text list and an empty dialogue still stand for their files.
    EXPECT_EQ(second.frames[1].texts, QList<FrameTextRecord>());
    EXPECT_EQ(second.frames[1].dialogue, DialogueFile());
    EXPECT_FALSE(second.frames[1].mergedTexts);
    // The frame record has no comparison of its own: compare what it stores.
    for (int i = 0; i < 2; ++i) {
        RecordWriter x, y;
        first.frames[i].record->write(x, first.frames[i].recordEndsAfter);
        second.frames[i].record->write(y, second.frames[i].recordEndsAfter);
        EXPECT_EQ(x.bytes(), y.bytes()) << first.frames[i].name.toStdString();
    }
    // Nothing was left at its default by mistake: every key given is described again.
    for (const char* key :
         {"tiled:",           "restart_sound:",   "first:",    "transition:", "startup_script:",
          "stretch:",         "play_count:",      "field_33:", "toggle:",     "stop_frame_sound:",
          "message_option:",  "no_effect:",       "a55:",      "ends_after:", "pick_up:",
          "script_stored:",   "merged_actions:",  "ignored:",  "leading:",    "field_36:",
          "background_mode:", "ends_after_field:"})
        EXPECT_TRUE(described.contains(key)) << key;
    for (const char* key :
         {"strikethrough:", "at_twips:", "field_21:", "merged_texts:", "script_3:",
          "hotspots: [1, 2, 3]", "answer_seconds:", "field_19:", "fields_6_11:", "dialogue: {}"})
        EXPECT_TRUE(described.contains(key)) << key;
}
