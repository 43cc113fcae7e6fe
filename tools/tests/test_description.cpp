// Reading descriptions: what each readable key stores, and the errors for bad descriptions (the
// file, the line and the column, and what is wrong).

#include "tools/builder/description.h"

#include <gtest/gtest.h>

using namespace tv;
using namespace tv::builder;

namespace {

ProjectDescription parse(const char* yaml) {
    return parseDescription(QByteArray(yaml), "game.yaml", ".");
}

// The message of the error the description raises.
std::string errorOf(const char* yaml) {
    try {
        parse(yaml);
    } catch (const BuildError& e) {
        return e.what();
    }
    return "no error";
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

const FrameFiles& frame(const ProjectDescription& d, int i = 0) {
    return d.frames.at(i);
}

} // namespace

TEST(Description, ErrorsNameTheFileLineAndColumn) {
    EXPECT_EQ(errorOf("frames:\n  - name: Hall\n    colur: \"#FF0000\"\n"),
              "game.yaml:3:5: unknown key 'colur' in frame 'Hall' (known: name, raw, colour, "
              "picture, tiled, sound, sound_loops, restart_sound, stop_all_sounds, stop_music, "
              "music, timer, video, procedure_call, startup_script, startup_script_stored, "
              "channels, hotspots, merged_hotspots, hotspot_count, extra_actions, merged_actions, "
              "item_actions, sound_selections, sound_channels, texts, merged_texts, dialogue, "
              "pick_ups, water)");
    EXPECT_EQ(errorOf("project:\n  name: X\n  skip_welcome_screen: maybe\n"),
              "game.yaml:3:24: skip_welcome_screen must be true or false");
    EXPECT_EQ(errorOf("frames: [\n  name: x\n"), "game.yaml:3:1: end of sequence flow not found");
    // Pixels too large for the stored 1/15 pixel were described as "inf", which does not read.
    EXPECT_EQ(errorOf("frames: [{name: A, hotspots: [{rect: [1e308, 0, 1, 1]}]}]\n"),
              "game.yaml:1:39: too large a rectangle");
    EXPECT_EQ(errorOf("project:\n  size: [640]\n"),
              "game.yaml:2:9: size is [width, height] in pixels");
    EXPECT_EQ(errorOf("project:\n  size: [640, 70000]\n"),
              "game.yaml:2:15: the height must lie between -32768 and 32767");
    EXPECT_EQ(errorOf("frames:\n  - name: A\n  - name: a\n"),
              "game.yaml:3:5: a second frame named 'a'");
    EXPECT_EQ(errorOf("frames:\n  - colour: 1\n"), "game.yaml:2:5: a frame needs a name");
    EXPECT_EQ(errorOf("frames:\n  - name: \"a/b\"\n"),
              "game.yaml:2:11: a frame name cannot hold \\ / : * ? \" < > |");
    EXPECT_EQ(errorOf("- just a list\n"),
              "game.yaml:1:1: a description is a map with project, frames and the rest");
    EXPECT_EQ(errorOf("project:\n  title: x\n  title: y\n"),
              "game.yaml:3:3: project names 'title' twice");
}

TEST(Description, TextsThatAProjectFileCannotHoldAreRefused) {
    EXPECT_EQ(
        errorOf("frames:\n  - name: A\n    hotspots:\n      - action: {message: 'Say \"hi\"'}\n"),
        "game.yaml:4:27: message: a double quote cannot be stored in this field");
    EXPECT_TRUE(contains(errorOf("project:\n  title: \"\\u4e2d\"\n"),
                         "cannot be stored in a project file (Windows-1252)"));
    EXPECT_TRUE(contains(errorOf("frames:\n  - name: A\n    procedure_call: 'x = a | b'\n"),
                         "the file uses it for a double quote"));
    EXPECT_TRUE(
        contains(errorOf("frames:\n  - name: A\n    startup_script: 'x = \"~\"'\n"), "'~'"));
    EXPECT_EQ(
        errorOf("more: {scramble_procedures: true}\nprocedures: 'x = \"~\"'\n"),
        "game.yaml:2:13: scrambled procedures cannot hold '~' (it would come back as a space)");
    EXPECT_NO_THROW(parse("more: {scramble_procedures: 2}\nprocedures: 'x = \"~\"'\n"))
        << "only 1 scrambles";
    EXPECT_EQ(errorOf("variables: [A, '***']\n"),
              "game.yaml:1:16: a variable cannot be named ***: the file uses it as a marker");
}

TEST(Description, RecordsThatEndEarlyCannotBeGivenLaterValues) {
    EXPECT_EQ(errorOf("frames:\n  - name: A\n    music: x.mid\n    raw: {ends_after_field: 10}\n"),
              "game.yaml:4:29: values are given after field 10, where the record ends");
    EXPECT_NO_THROW(
        parse("frames:\n  - name: A\n    video: a.avi\n    raw: {ends_after_field: 10}\n"));
    EXPECT_TRUE(contains(errorOf("frames:\n  - name: A\n    raw: {ends_after_field: 11}\n"),
                         "may end after field 10, 13"));
    EXPECT_EQ(errorOf("frames:\n  - name: A\n    music: m.mid\n    raw: {no_frame_record: true}\n"),
              "game.yaml:4:28: a frame without its record (.fme) cannot be given record values");
    EXPECT_EQ(errorOf("frames:\n  - name: A\n    hotspots:\n      - action: {go_to: B, script: x, "
                      "raw: {ends_after: go_to}}\n"),
              "game.yaml:4:57: values are given after 'go_to', where the record ends");
}

TEST(Description, FramesStoreTheirBackgroundTimerAndScriptsAsTheFileHoldsThem) {
    const ProjectDescription d = parse(R"(
frames:
  - name: Title
    colour: "#102060"
    timer: {seconds: 3, to: Hall, transition: {duration_ms: 750}}
    startup_script: MsgBox "Hi"
    procedure_call: Greet "Ann"
  - name: Garden
    picture: Grass.bmp
    tiled: true
    sound: bell.wav
    sound_loops: false
    video: {file: v.avi, at_position: true, rect: [1, 2, 3, 4], first: true}
    channels:
      fade_ms: 500
      rows:
        - {request: 1, fade: true, file: a.wav}
)");
    const FrameRecord& title = *frame(d).record;
    EXPECT_EQ(title.BackgroundMode, 0);
    EXPECT_EQ(title.Background, QString::number(0x602010)) << "stored as 0x00BBGGRR";
    EXPECT_TRUE(title.TimerEnabled);
    EXPECT_EQ(title.TimerSeconds, RecordValue::ofNumber(3));
    EXPECT_EQ(title.TimerTarget, "Hall");
    EXPECT_TRUE(title.TimerTransition);
    EXPECT_EQ(title.TimerTransitionDuration, 750);
    EXPECT_EQ(title.StartupScript.text, "MsgBox " + QString(QChar(254)) + "Hi" + QChar(254));
    EXPECT_EQ(title.startupScriptText(), "MsgBox \"Hi\"");
    EXPECT_TRUE(title.CallProcedure);
    EXPECT_EQ(title.ProcedureCall.text, "Greet |Ann|");

    const FrameRecord& garden = *frame(d, 1).record;
    EXPECT_EQ(garden.BackgroundMode, 1);
    EXPECT_EQ(garden.Background, "Grass.bmp");
    EXPECT_TRUE(garden.BackgroundTiled);
    EXPECT_FALSE(garden.SoundLoops);
    EXPECT_TRUE(garden.VideoAtPosition);
    EXPECT_EQ(garden.VideoHeight, 4);
    EXPECT_TRUE(garden.VideoFirst);
    EXPECT_EQ(garden.ChannelValueCount, 5);
    EXPECT_EQ(garden.ChannelCount, 1);
    // Values a row leaves out take the defaults: code 0, no fade, no loop, full volume.
    EXPECT_EQ(garden.ChannelRows[0],
              (QList<RecordValue>{RecordValue::ofNumber(1), RecordValue::ofBool(true),
                                  RecordValue::ofBool(false), RecordValue::ofNumber(10),
                                  RecordValue::ofString("a.wav")}));
}

TEST(Description, HotspotsCarryTheirActionsInHotspotOrder) {
    const ProjectDescription d = parse(R"(
frames:
  - name: Hall
    hotspots:
      - rect: [80, 400, 64, 34]
        picture: key.png
        action:
          variable: {name: HasKey, set_to_one: true}
          disappear: 1
      - rect: [270, 170, 100, 190]
        conditions: {must_be_one: [HasKey]}
      - rect: [0, 0, 10, 10]
        action: {go_to: Garden, message: Off you go., sound: step.wav}
      - rect: [0, 0, 1, 1]
)");
    const FrameFiles& hall = frame(d);
    ASSERT_EQ(hall.hotspots->size(), 4);
    const HotspotRecord& key = (*hall.hotspots)[0];
    EXPECT_EQ(key.Index, 1);
    EXPECT_EQ(key.Left, RecordValue::ofNumber(80 * 15)) << "pixels are stored in 1/15 pixel";
    EXPECT_EQ(key.Height, RecordValue::ofNumber(34 * 15));
    EXPECT_EQ(key.ShowPicture, RecordValue::ofBool(true));
    EXPECT_EQ(key.Picture, RecordValue::ofString("key.png"));
    const HotspotRecord& door = (*hall.hotspots)[1];
    EXPECT_EQ(door.Index, 2);
    EXPECT_EQ(door.HasConditions, RecordValue::ofNumber(1));
    EXPECT_EQ(door.MustBeOne, QStringList{"HasKey"});
    EXPECT_EQ(hall.hotspotCount.mode, HotspotCountFile::Mode::FromHotspots);

    // Actions up to the last hotspot that has one; the door's is an empty record.
    ASSERT_EQ(hall.actions->size(), 3);
    const ActionRecord& take = (*hall.actions)[0];
    EXPECT_EQ(take.ChangeVariable, 1);
    EXPECT_EQ(take.VariableName, "HasKey");
    EXPECT_EQ(take.SetToOne, RecordValue::ofBool(true));
    EXPECT_EQ(take.Disappear, RecordValue::ofNumber(1));
    EXPECT_EQ((*hall.actions)[1], ActionRecord());
    const ActionRecord& go = (*hall.actions)[2];
    EXPECT_EQ(go.GoToFrame, 1);
    EXPECT_EQ(go.Destination, "Garden");
    EXPECT_EQ(go.ShowMessage, RecordValue::ofNumber(1));
    EXPECT_EQ(go.MessageText, RecordValue::ofString("Off you go."));
    EXPECT_EQ(go.PlaySound, RecordValue::ofNumber(1));
    EXPECT_EQ(go.SoundFile, RecordValue::ofString("step.wav"));

    // Without any action there is no action file at all.
    EXPECT_FALSE(
        parse("frames:\n  - name: A\n    hotspots: [{rect: [0, 0, 1, 1]}]\n").frames[0].actions);
}

TEST(Description, FrameTextsAndDialoguesAreStoredAsTheirFilesHoldThem) {
    const ProjectDescription d = parse(R"(
frames:
  - name: Hall
    texts:
      - {caption: Welcome, at: [10, 20], colour: "#FF8000", font: Tahoma, size: 9.75, bold: true}
      - {caption: "[empty]", at_twips: [7, 8.5]}
    merged_texts:
      - caption: own
      - {caption: from Cellar, number: 1}
    dialogue:
      questions:
        - question: Who are you?
          answer: The keeper.
          script_1: MsgBox "Hi"
          hotspots: [2]
          show: [2, 3]
          hide: [1]
        - {question: Bye, id: 9, shown: false, ends: true, answer_seconds: 2.5, wait: true}
)");
    const QList<FrameTextRecord>& texts = *frame(d).texts;
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0].Number, 1);
    EXPECT_EQ(texts[0].Left, 150) << "pixels are stored as 1/15 pixel";
    EXPECT_EQ(texts[0].Top, 300);
    EXPECT_EQ(texts[0].Colour, 0x0080FF) << "stored as 0x00BBGGRR";
    EXPECT_EQ(texts[0].FontName, "Tahoma");
    EXPECT_EQ(texts[0].FontSize, 9.75);
    EXPECT_TRUE(texts[0].Bold);
    EXPECT_EQ(texts[1].Number, 2) << "numbered by position unless given";
    EXPECT_EQ(texts[1].Caption, "[empty]");
    EXPECT_EQ(texts[1].Top, 8.5);
    const QList<FrameTextRecord>& merged = *frame(d).mergedTexts;
    EXPECT_EQ(mergedTextIndex(merged), 2);

    const QList<DialogueQuestion>& questions = frame(d).dialogue->questions;
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0].Script1, "MsgBox |Hi|");
    EXPECT_EQ(questions[0].Id, 1) << "ids are positions unless given";
    EXPECT_TRUE(questions[0].ShownAtStart) << "questions are shown at the start unless told";
    EXPECT_EQ(questions[0].Hotspot1, 2);
    EXPECT_EQ(questions[0].Hotspot3, 0);
    EXPECT_EQ(questions[0].ShowList, (QList<qint16>{2, 3}));
    EXPECT_EQ(questions[1].Id, 9);
    EXPECT_FALSE(questions[1].ShownAtStart);
    EXPECT_TRUE(questions[1].EndsDialogue);
    EXPECT_TRUE(questions[1].Wait);

    EXPECT_EQ(errorOf("frames:\n  - name: A\n    texts: [{at: [1]}]\n"),
              "game.yaml:3:18: at is [left, top] in pixels");
    EXPECT_EQ(errorOf("frames:\n  - name: A\n    texts: [{at: [1, 1e308]}]\n"),
              "game.yaml:3:22: too large a position");
    EXPECT_EQ(errorOf("frames:\n  - name: A\n    texts: [{at: [1, 2], at_twips: [1, 2]}]\n"),
              "game.yaml:3:36: give either at or at_twips");
    EXPECT_TRUE(contains(errorOf("frames:\n  - name: A\n    texts: [{caption: 'a \"b\"'}]\n"),
                         "a double quote cannot be stored"));
    EXPECT_TRUE(contains(
        errorOf("frames:\n  - name: A\n    dialogue: {questions: [{script_2: 'a | b'}]}\n"),
        "the file uses it for a double quote"));
    EXPECT_EQ(
        errorOf("frames:\n  - name: A\n    dialogue: {questions: [{hotspots: [1, 2, 3, 4]}]}\n"),
        "game.yaml:3:39: hotspots holds at most 3 hotspot numbers");
    EXPECT_TRUE(contains(errorOf("frames:\n  - name: A\n    dialogue: {questions: [{anser: x}]}\n"),
                         "unknown key 'anser' in question 1 (known: id, question, answer"));
}

TEST(Description, ItemsCombinationsAndPickUpsAreStoredAsTheirFilesHoldThem) {
    const ProjectDescription d = parse(R"(
items:
  - {name: Lamp, icon: lamp.png}
  - {name: Oil}
combinations:
  - dragged: Lamp
    target: Oil
    remove_dragged: true
    remove_target: true
    add: Lit lamp
    script: MsgBox "It burns"
  - {dragged: Oil, target: Lamp, remove_target: false}
  - {dragged: Rope, target: Hook, script: "", run_script: false,
     raw: {field_1: 2, field_4: Knot, fields_5_7: [a, ~, 1.5]}}
frames:
  - name: Hall
    pick_ups:
      - {hotspot: 3, item: Key}
      - {hotspot: 1, item: Ghost, gives_item: false}
      - {hotspot: 2, raw: {flag: "1", after_flag: [7, x], field_1: z}}
)");
    ASSERT_EQ(d.items.size(), 2);
    EXPECT_EQ(d.items[0], (ItemDefinition{"Lamp", "lamp.png"}));
    EXPECT_EQ(d.items[1].icon, "");

    ASSERT_EQ(d.combinations.size(), 3);
    const ItemCombination& lit = d.combinations[0].combination;
    EXPECT_TRUE(lit.removesDragged() && lit.removesTarget() && lit.addsItem());
    EXPECT_EQ(lit.RemoveDragged, RecordValue::ofNumber(1)) << "switches are stored as 1";
    EXPECT_EQ(lit.NewItem, "Lit lamp");
    EXPECT_TRUE(lit.hasScript);
    EXPECT_TRUE(lit.RunScript) << "a script given runs";
    EXPECT_EQ(lit.Script, "MsgBox |It burns|");
    const ItemCombination& plain = d.combinations[1].combination;
    EXPECT_EQ(plain.RemoveTarget, RecordValue::ofNumber(0));
    EXPECT_FALSE(plain.hasScript) << "no script key: the file ends after the new item";
    const ItemCombination& raw = d.combinations[2].combination;
    EXPECT_EQ(raw.RemoveDragged, RecordValue::ofNumber(2));
    EXPECT_FALSE(raw.addsItem());
    EXPECT_EQ(raw.NewItem, "Knot");
    EXPECT_TRUE(raw.hasScript);
    EXPECT_FALSE(raw.RunScript);
    EXPECT_EQ(raw.Ignored, (QList<RecordValue>{RecordValue::ofString("a"), RecordValue::empty(),
                                               RecordValue::ofNumber(1.5)}));

    const QList<PickUpRecord>& pickUps = *frame(d).pickUps;
    ASSERT_EQ(pickUps.size(), 3);
    EXPECT_EQ(pickUps[0].Hotspot, 3);
    EXPECT_EQ(pickUps[0].itemName(), "Key");
    EXPECT_EQ(pickUps[0].Ignored, PickUpRecord().Ignored);
    EXPECT_EQ(pickUps[1].Flag, RecordValue::ofNumber(0));
    EXPECT_EQ(pickUps[1].itemName(), "");
    EXPECT_EQ(pickUps[1].Rest, QList<RecordValue>{RecordValue::ofString("Ghost")});
    EXPECT_EQ(pickUps[2].Flag, RecordValue::ofString("1"));
    EXPECT_EQ(pickUps[2].Rest,
              (QList<RecordValue>{RecordValue::ofNumber(7), RecordValue::ofString("x")}));
    EXPECT_EQ(pickUps[2].Field1, RecordValue::ofString("z"));

    // Described and read back: the same model.
    const ProjectDescription again = parseDescription(writeDescription(d), "again.yaml", ".");
    EXPECT_EQ(again.items, d.items);
    EXPECT_EQ(again.combinations, d.combinations);
    EXPECT_EQ(again.frames[0].pickUps, d.frames[0].pickUps);
}

TEST(Description, InventoryEntriesThatNoFileCanHoldAreRefused) {
    EXPECT_EQ(errorOf("items: [{icon: a.png}]\n"), "game.yaml:1:9: item 1 needs its name");
    EXPECT_EQ(errorOf("items: [{name: a/b}]\n"),
              "game.yaml:1:16: an item name cannot hold \\ / : * ? \" < > |");
    EXPECT_EQ(errorOf("items: [{name: Key}, {name: KEY}]\n"),
              "game.yaml:1:22: a second item named 'KEY'");
    EXPECT_EQ(errorOf("combinations: [{dragged: a}]\n"),
              "game.yaml:1:16: combination 1 needs its target");
    EXPECT_EQ(errorOf("combinations: [{dragged: a, target: b}, {dragged: A, target: B}]\n"),
              "game.yaml:1:41: a second combination stored as A_on_B.drg");
    EXPECT_EQ(errorOf("combinations: [{dragged: a, target: b, add: c, raw: {field_4: d}}]\n"),
              "game.yaml:1:63: give either add or raw field_4, not both");
    EXPECT_EQ(errorOf("combinations: [{dragged: a, target: b, remove_target: true, "
                      "raw: {field_2: 3}}]\n"),
              "game.yaml:1:76: give either remove_target or raw field_2, not both");
    EXPECT_TRUE(contains(errorOf("combinations: [{dragged: a, target: b, script: 'a | b'}]\n"),
                         "the file uses it for a double quote"));
    EXPECT_TRUE(contains(errorOf("combinations: [{dragged: a, target: b, remove: true}]\n"),
                         "unknown key 'remove' in combination 'a_on_b' (known: dragged, target"));
    EXPECT_EQ(errorOf("frames: [{name: A, pick_ups: [{item: Key}]}]\n"),
              "game.yaml:1:31: a pick-up names its hotspot");
    EXPECT_EQ(errorOf("frames: [{name: A, pick_ups: [{hotspot: 1, raw: {after_item: [x]}}]}]\n"),
              "game.yaml:1:62: after_item follows an item");
    EXPECT_EQ(errorOf("frames: [{name: A, pick_ups: [{hotspot: 1, gives_item: 2}]}]\n"),
              "game.yaml:1:56: gives_item must be true or false");
}

TEST(Description, SchemesAreStoredAsTheirFilesHoldThem) {
    const ProjectDescription d = parse(R"(
schemes:
  - name: Blue
    pictures: [start.png, "[none]", exit.png, tile.png]
    colours: {window: "#102030", title: "#FFFFFF", text: "#000080", button: "#FF0000"}
    hide_title: true
    logo: {style: 1, flag: true}
  - {name: Plain, pictures: [a.png], colours: {window: "#FF0000"}, hide_title: false}
  - {name: Short, pictures: [a.png]}
  - {name: Refused, pictures: []}
  - name: Raw
    logo: {style: 0}
    raw: {picture_count: -2, colour_format: 7, leading: [x, ~, 1], tail: [a, b, c],
          hide_title: "2", logo_field: z}
)");
    ASSERT_EQ(d.schemes.size(), 5);
    const SchemeFile& blue = d.schemes[0].scheme;
    EXPECT_EQ(blue.PictureCount, 4);
    EXPECT_EQ(blue.Pictures, (QStringList{"start.png", "[none]", "exit.png", "tile.png"}));
    EXPECT_EQ(blue.ColourFormat, 4) << "a button colour needs format 4";
    EXPECT_EQ(blue.WindowColour, 0x302010) << "stored 0x00BBGGRR";
    EXPECT_EQ(blue.ButtonColour, 0xFF);
    EXPECT_EQ(blue.HideTitle, RecordValue::ofNumber(1));
    EXPECT_TRUE(blue.hasTail && blue.hasLogo && blue.LogoFlag);
    EXPECT_EQ(blue.LogoStyle, 1);
    const SchemeFile& plain = d.schemes[1].scheme;
    EXPECT_EQ(plain.ColourFormat, 3);
    EXPECT_EQ(plain.WindowColour, 0xFF);
    EXPECT_EQ(plain.TitleColour, 0) << "colours not given are black";
    EXPECT_TRUE(plain.hasTail) << "hide_title: false still stores the tail";
    EXPECT_EQ(plain.HideTitle, RecordValue::ofNumber(0));
    EXPECT_FALSE(plain.hasLogo);
    const SchemeFile& shortOne = d.schemes[2].scheme;
    EXPECT_EQ(shortOne.ColourFormat, 0);
    EXPECT_FALSE(shortOne.hasTail) << "the file ends after its colour format";
    EXPECT_TRUE(d.schemes[3].scheme.refused());
    const SchemeFile& raw = d.schemes[4].scheme;
    EXPECT_EQ(raw.PictureCount, -2);
    EXPECT_TRUE(raw.hasColours());
    EXPECT_EQ(raw.ColourFormat, 7);
    EXPECT_EQ(raw.Leading[0], RecordValue::ofString("x"));
    EXPECT_EQ(raw.TailSkipped[2], RecordValue::ofString("c"));
    EXPECT_EQ(raw.HideTitle, RecordValue::ofString("2"));
    EXPECT_TRUE(raw.hasLogo);
    EXPECT_EQ(raw.LogoSkipped, RecordValue::ofString("z"));

    // The pictures are media of the scheme's folder, never disguised; "[none]" is no file.
    QStringList refs;
    for (const MediaReference& ref : mediaReferences(d)) {
        EXPECT_FALSE(ref.disguisable) << ref.name.toStdString();
        refs.append(ref.folder + "/" + ref.name);
    }
    EXPECT_EQ(refs,
              (QStringList{"Schemes/Blue/start.png", "Schemes/Blue/exit.png",
                           "Schemes/Blue/tile.png", "Schemes/Plain/a.png", "Schemes/Short/a.png"}));

    // Described and read back: the same model, described the same.
    const QByteArray described = writeDescription(d);
    const ProjectDescription again = parseDescription(described, "again.yaml", ".");
    EXPECT_EQ(again.schemes, d.schemes);
    EXPECT_EQ(writeDescription(again), described);
}

TEST(Description, SchemesThatNoFileCanHoldAreRefused) {
    EXPECT_EQ(errorOf("schemes: [{pictures: [a]}]\n"), "game.yaml:1:11: scheme 1 needs its name");
    EXPECT_EQ(errorOf("schemes: [{name: a/b, pictures: []}]\n"),
              "game.yaml:1:18: a scheme name cannot hold \\ / : * ? \" < > |");
    EXPECT_EQ(errorOf("schemes: [{name: .., pictures: []}]\n"),
              "game.yaml:1:18: a scheme cannot be named ..");
    EXPECT_EQ(errorOf("schemes: [{name: A, pictures: []}, {name: a, pictures: []}]\n"),
              "game.yaml:1:36: a second scheme named 'a'");
    EXPECT_EQ(errorOf("schemes: [{name: A}]\n"),
              "game.yaml:1:11: scheme 'A' lists its pictures (pictures: [] for a refused scheme)");
    EXPECT_EQ(errorOf("schemes: [{name: A, pictures: [], hide_title: true}]\n"),
              "game.yaml:1:47: a scheme without pictures is refused: nothing follows its count");
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [], raw: {tail: [1, 2, 3]}}]\n"),
                         "nothing follows its count"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], colours: {button: 1}, "
                                 "raw: {colour_format: 3}}]\n"),
                         "a button colour needs colour format 4 or more"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], colours: {}, "
                                 "raw: {colour_format: 0}}]\n"),
                         "colour format 0 stores no colours"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], colours: {back: 1}}]\n"),
                         "unknown key 'back' in colours (known: window, title, text, button)"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], colours: {text: red}}]\n"),
                         "colour (\"#RRGGBB\" or the stored number)"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], raw: {picture_count: -1}}]\n"),
                         "give either pictures or raw picture_count, not both"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, raw: {picture_count: 2}}]\n"),
                         "raw picture_count is for counts below 1"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], hide_title: true, "
                                 "raw: {hide_title: 2}}]\n"),
                         "give either hide_title or raw hide_title, not both"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: [a], logo: {style: 70000}}]\n"),
                         "style must lie between -32768 and 32767"));
    EXPECT_TRUE(contains(errorOf("schemes: [{name: A, pictures: ['a\"b']}]\n"), "quote"));
}

TEST(Description, ProjectSettingsByReadableNames) {
    const ProjectDescription d = parse(R"(
project:
  name: Castle
  title: The Castle
  initial_frame: Hall
  size: [800, 600]
  display_resolution: 1024x768
  offer_resolution_change: true
  inventory: {icon_spacing: [4, 5], enabled: false}
  game_start_script: MsgBox "Hi"
  raw: {field_23: "'", field_4: 3}
texts:
  overrides: {2: Resume}
)");
    const ProjectSettings& s = *d.general;
    EXPECT_EQ(s.ProjectWidth, 800);
    EXPECT_EQ(s.DisplayResolution, 2);
    EXPECT_EQ(s.OfferResolutionChange, 1);
    EXPECT_EQ(s.InventoryIconSpacingY, 5);
    EXPECT_FALSE(s.UseInventory);
    EXPECT_TRUE(s.GameStartScriptEnabled) << "a script given is switched on";
    EXPECT_EQ(s.GameStartScript, "MsgBox \"Hi\"");
    EXPECT_TRUE(s.ApostropheFlag);
    EXPECT_EQ(s.Skipped[1], RecordValue::ofNumber(3));
    // Entries before the last override keep the program wording.
    EXPECT_EQ(d.texts->mode, 2);
    EXPECT_EQ(d.texts->overrides, (QStringList{"Start", "Resume"}));
}

TEST(Description, DescribingAndReadingBackGivesTheSameModel) {
    const char* yaml = R"(
project: {name: P, title: T, initial_frame: A, size: [320, 200]}
variables: {integers: [A], variants: [B], raw: {leading: 7}}
procedures: {header: [h1, h2, h3], code: "Sub X()\nEnd Sub\n"}
texts: {wording: game}
frames:
  - name: A
    colour: 255
    hotspots:
      - rect_twips: [1, "2", ~, true]
        picture: {file: p.bmp, show: 0}
        video: v.avi
        action: {message: {text: hi, show: true}, transition: {use: 2, number: 4}}
      - index: 7
    extra_actions: [{quit: 1}]
    item_actions:
      - {hotspot: 2, item: Lamp, action: {go_back: 1, raw: {a55: 3}}}
      - {key: 5, action: {}}
    sound_selections: [{hotspot: 1, channels: [{play: true, file: s.wav, repeat: 1}]}]
    sound_channels: {channels: [{stop: true}]}
    hotspot_count: none
)";
    const ProjectDescription first = parse(yaml);
    const QByteArray described = writeDescription(first);
    const ProjectDescription second = parseDescription(described, "described.yaml", ".");
    EXPECT_EQ(writeDescription(second), described);
    EXPECT_EQ(second.variables, first.variables);
    EXPECT_EQ(second.procedures, first.procedures);
    EXPECT_EQ(second.frames[0].hotspots, first.frames[0].hotspots);
    EXPECT_EQ(second.frames[0].actions, first.frames[0].actions);
    EXPECT_EQ(second.frames[0].itemActions, first.frames[0].itemActions);
    EXPECT_EQ(second.frames[0].soundSelections, first.frames[0].soundSelections);
    EXPECT_EQ(second.frames[0].hotspotCount.mode, HotspotCountFile::Mode::Absent);
    EXPECT_EQ((*first.frames[0].itemActions)[0].prefix[1], RecordValue::ofString("2_Lamp.drg"));
}

TEST(Description, AnEmptyDescriptionIsDescribedAsAnEmptyMap) {
    // Found by fuzzing: "frames:" with nothing under it reads as no frames, and was described as
    // an empty text, which does not read back as a description.
    const ProjectDescription first = parse("# only a comment\n\nframes:\n  # and another\n");
    const QByteArray described = writeDescription(first);
    EXPECT_EQ(described, "{}\n");
    const ProjectDescription second = parseDescription(described, "described.yaml", ".");
    EXPECT_TRUE(second.frames.isEmpty());
    EXPECT_EQ(writeDescription(first, "a comment"), "# a comment\n{}\n");
}
