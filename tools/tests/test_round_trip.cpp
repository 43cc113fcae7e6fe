// The builder's main promise: a project built from a description, described again by --dump and
// rebuilt, has the same files byte for byte; and a project made elsewhere keeps every value its
// files hold through a dump and a build.

#include "data/cipher.h"
#include "data/file_locator.h"
#include "data/inventory_files.h"
#include "data/multi_cd.h"
#include "data/plugins_file.h"
#include "data/scheme_file.h"
#include "platform/core/cp1252.h"
#include "platform/core/ini.h"
#include "tools/builder/description.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace tv;
using namespace tv::builder;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file under `root`, by its path relative to it.
QMap<QString, QByteArray> filesOf(const QString& root) {
    QMap<QString, QByteArray> result;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        result.insert(QDir(root).relativeFilePath(path), readBytes(path));
    }
    return result;
}

void expectSameFiles(const QString& expectedRoot, const QString& actualRoot,
                     const QString& except = {}) {
    QMap<QString, QByteArray> expected = filesOf(expectedRoot);
    QMap<QString, QByteArray> actual = filesOf(actualRoot);
    EXPECT_EQ(expected.remove(except), actual.remove(except));
    EXPECT_EQ(expected.keys(), actual.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        EXPECT_EQ(actual.value(it.key()), it.value())
            << it.key().toStdString() << " differs:\n--- expected\n"
            << it.value().toStdString() << "\n--- actual\n"
            << actual.value(it.key()).toStdString();
    }
}

// torvane-build --dump PROJECT OUT, as the command line runs it.
QString dumpTo(const QString& project, const QString& out) {
    QString outText, errText;
    QTextStream o(&outText), e(&errText);
    const int status = runCommandLine({"--dump", project, out}, o, e);
    EXPECT_EQ(status, 0) << errText.toStdString();
    return errText;
}

const char* kRichDescription = R"(# Every part of the description the builder knows.
project:
  name: Castle
  title: The Castle
  initial_frame: Title
  version: "1.0"
  size: [640, 480]
  author: Ann
  email: ann@example.org
  website: example.org
  offer_resolution_change: true
  scheme: Stone
  disable_load_game: true
  disable_save_game: true
  inventory:
    icon_spacing: [12, 14]
    enabled: false
    slide_in: false
    slide_out: false
    hide_empty_button: false
    pop_up_on_pick_up: false
    custom_graphics: true
    button_image: bag.bmp
    background_image: strip.bmp
  display_resolution: 800x600
  default_pointer: hand.cur
  menus_always_visible: true
  skip_welcome_screen: true
  hide_transitions_option: true
  hide_effects_option: true
  never_show_menus: true
  game_start_script: |
    MsgBox "Welcome"
    Score.Value = 0
  frame_script: x = "a"
  frame_script_enabled: false
  disable_edit_procedures: true
  raw: {field_2: editor, field_23: "'", flag_44: true, field_45: 7}
more:
  script_timeout: 20
  allow_create_object: true
  scramble_procedures: true
  other:
    Editor: {Zoom: 2}
variables:
  integers: [HasKey, Score]
  variants: [PlayerName]
procedures: |
  Sub Greet(name)
      MsgBox "Hello " & name
  End Sub
texts:
  overrides: {1: Begin, 3: Leave}
  raw: {skipped: [1, 2, 3, 4, five]}
build:
  media_folder: media
  disguise_media: true
files:
  - {to: Areas/knock.wav, disguise: false}
  - {to: Frames/Grass.bmp, disguise: plain}
  - {to: External/notes.txt, from: media/notes.txt}
frames:
  - name: Title
    colour: "#102060"
    timer:
      seconds: 3
      to: Hall
      transition: {duration_ms: 750, number: 3}
    startup_script: MsgBox "Hi"
  - name: Hall
    picture: Hall.jpg
    sound: bell.wav
    sound_loops: false
    restart_sound: true
    stop_all_sounds: true
    stop_music: true
    music: theme.mid
    video: {file: intro.avi, at_position: true, rect: [10, 20, 320, 240], first: true}
    procedure_call: Greet "Ann"
    channels:
      fade_ms: 500
      rows:
        - {request: 1, fade: true, volume: 7, file: chan.wav}
        - {request: 3}
    raw:
      field_10: ten
      fields_14_16: [14, 15, 16]
      fields_29_34: [29, 30, 31, 32, 33, 34]
      field_36: 36
    hotspots:
      - rect: [80, 400, 64, 34]
        picture: key.png
        pointer: hand.cur
        action:
          variable: {name: HasKey, set_to_one: true}
          disappear: 1
          message: You take the key.
          message_option: true
          sound: knock.wav
          sound_loops: false
      - rect: [270, 170, 100, 190]
        stretch: true
        animated: 0
        conditions: {must_be_zero: [Locked], must_be_one: [HasKey]}
        animation_speed: 5
        video: {file: clip.avi, auto_size: true, volume: 8, rate: 1, play_count: 0}
        raw:
          field_1: 9
          fields_3_10: [1, 2, 3, 4, 5, 6, 7, 8]
          field_28: a
          field_29: b
          field_32: c
          field_33: d
        action:
          go_to: Garden
          transition: {duration_ms: 500, number: 2}
          video: {file: door.avi, unplaced: true}
          music: garden.mid
          stop_frame_sound: 1
          stop_music: 1
          variables: {set_to_zero: [A], set_to_one: [B, C], toggle: [D], no_effect: [E]}
          procedure_call: Greet "Bob"
          channels:
            fade_ms: 250
            values_per_row: 3
            rows: [[1, true, false]]
          pick_up: Lamp
          script: |
            MsgBox "Door"
          raw: {a8: 2, a9: nine, a29_31: [1, 2, 3], a55: 5}
      - rect_twips: [1000, 1001, wide, 7]
        picture: {file: sign.bmp, show: false}
        conditions: {enabled: sometimes}
        action:
          quit: true
          raw: {ends_after: go_to}
    extra_actions:
      - go_back: 1
    item_actions:
      - hotspot: 1
        item: Lamp
        action: {message: It glows., disappear: 1}
      - key: odd key
        action: {go_back: 1}
    sound_selections:
      - hotspot: 1
        channels:
          - {stop: true, play: true, file: knock.wav, repeat: 1}
          - {stop: true}
        raw: {field_1: 3}
    sound_channels:
      channels:
        - {play: true, file: bell.wav}
    texts:
      - caption: Welcome to the hall
        at: [10, 400]
        font: Times New Roman
        size: 14
        bold: true
        underline: true
        colour: "#FFCC00"
      - {caption: "[empty]", at_twips: [1001, 22.5], italic: true, strikethrough: true}
    merged_texts:
      - {caption: Welcome to the hall}
      - {caption: From the garden, number: 1, raw: {field_1: Garden}}
    dialogue:
      questions:
        - question: Who are you?
          answer: The keeper.
          script_1: MsgBox "Hi"
          script_3: Score.Value = Score.Value + 1
          hotspots: [1, 0, 2]
          show: [2]
          hide: [1]
        - question: Goodbye.
          id: 2
          shown: false
          ends: true
          answer_seconds: 1.5
          wait: true
      raw: {field_4: Hall talk}
    pick_ups:
      - {hotspot: 1, item: Key}
      - {hotspot: 2, item: Ghost, gives_item: false}
      - {hotspot: 3, raw: {field_1: 5, fields_3_10: [1, 2, 3, 4, 5, 6, 7, 8], flag: yes}}
  - name: Garden
    picture: Grass.bmp
    tiled: true
    water: {rectangle: [0, 300, 640, 180], wave: 4, speed: 8, mask: pond.bmp}
    merged_hotspots: true
    merged_actions: true
    hotspot_count: 3
    hotspots:
      - rect: [40, 400, 124, 54]
        action: {go_back: 1}
      - index: 1
        rect: [476, 400, 124, 54]
        action: {quit: 1}
  - name: Short
    colour: 255
    water: {rectangle: [-1, 2, 3, 4], wave: -5, speed: -2, reverse: true, raw: {leading: [a, ~, 1.5, 0, 0, 7]}}
    raw: {ends_after_field: 10}
    hotspot_count: none
    hotspots: []
  - name: Odd
    procedure_call: {code_stored: 0, enabled: false}
    startup_script_stored: 5
    channels: {values_per_row: 7, row_count: 2}
    raw: {background_mode: 2, background: "&H00FF00"}
  - name: Orphan
    raw: {no_frame_record: true, empty_actions_file: true}
  - name: Shed
    raw: {no_frame_record: true}
    pick_ups: [{hotspot: 1, item: Rope, raw: {after_item: [~, !null]}}]
items:
  - {name: Lamp, icon: lamp.png}
  - {name: Oil, icon: oil.bmp}
  - {name: Rope}
combinations:
  - dragged: Lamp
    target: Oil
    remove_dragged: true
    remove_target: true
    add: Lit lamp
    script: MsgBox "It burns"
  - {dragged: Oil, target: Lamp}
  - {dragged: Rope, target: Hook, script: "", run_script: false,
     raw: {field_1: 2, field_4: Knot, fields_5_7: [a, ~, 1.5]}}
schemes:
  - name: Stone
    pictures: [start.png, "[None]", exit.bmp, stone.png]
    colours: {window: "#102030", title: "#FFFFFF", text: "#C0C0C0", button: "#FFFF00"}
    hide_title: true
    logo: {style: 1, flag: true}
  - {name: Plain, pictures: [start.png], raw: {leading: [x, ~, 2], colour_format: 2}}
  - {name: Refused, pictures: []}
)";

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"Hall.jpg",   "bell.wav",  "theme.mid", "intro.avi", "chan.wav",
                                 "key.png",    "hand.cur",  "knock.wav", "clip.avi",  "door.avi",
                                 "garden.mid", "sign.bmp",  "Grass.bmp", "notes.txt", "lamp.png",
                                 "oil.bmp",    "start.png", "exit.bmp",  "stone.png", "pond.bmp"})
            writeBytes(path("src/media/") + name, QByteArray("media ") + name);
        writeBytes(path("src/game.yaml"), kRichDescription);
    }
    QString path(const QString& relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(RoundTrip, ARichDescriptionBuildsDumpsAndRebuildsToTheSameBytes) {
    const BuildResult built = buildProject(loadDescription(path("src/game.yaml")), path("a"));
    EXPECT_TRUE(built.warnings.isEmpty()) << built.warnings.join('\n').toStdString();

    // The formats are where the player looks for them, the media under their disguised names.
    for (const char* file : {"Config/General",
                             "Config/More",
                             "Config/Variables",
                             "Config/Procedures",
                             "Config/Texts",
                             "Frames/Title.fme",
                             "Frames/Hall.fme",
                             "Frames/Hall.lks",
                             "Frames/Hall.chn",
                             "FramesData/Hall.fm2",
                             "FramesData/Hall.fm3",
                             "FramesData/Hall.fm0",
                             "FramesData/Hall.fm5",
                             "FramesData/Garden.mr2",
                             "FramesData/Garden.mr3",
                             "FramesData/Orphan.fm3",
                             "Frames/Short.fme",
                             "FramesData/Short.fm2",
                             "Areas/key.png",
                             "Areas/knock.wav",
                             "External/notes.txt",
                             "FramesData/Hall.fm1",
                             "FramesData/Hall.mr1",
                             "FramesData/Hall.dlg",
                             "FramesData/Hall.fm4",
                             "FramesData/Shed.fm4",
                             "Frames/Garden.rwe",
                             "Frames/Garden.rwm",
                             "Frames/Short.rwe",
                             "Areas/Lamp.obj",
                             "Areas/Oil.obj",
                             "Areas/Rope.obj",
                             "Areas/Lamp_on_Oil.drg",
                             "Areas/Oil_on_Lamp.drg",
                             "Areas/Rope_on_Hook.drg",
                             "Schemes/Stone/Scheme.txt",
                             "Schemes/Plain/Scheme.txt",
                             "Schemes/Refused/Scheme.txt"})
        EXPECT_TRUE(QFile::exists(path("a/") + file)) << file;
    // Scheme pictures sit in their scheme's folder under their own names: the welcome window
    // loads them as they are named.
    for (const char* file : {"Schemes/Stone/start.png", "Schemes/Stone/exit.bmp",
                             "Schemes/Stone/stone.png", "Schemes/Plain/start.png"})
        EXPECT_EQ(readBytes(path("a/") + file),
                  "media " + QByteArray(file).mid(QByteArray(file).lastIndexOf('/') + 1))
            << file;
    EXPECT_EQ(readBytes(path("a/Schemes/Stone/Scheme.txt")),
              "0,0,0\r\n4\r\n\"start.png\"\r\n\"[None]\"\r\n\"exit.bmp\"\r\n\"stone.png\"\r\n4\r\n"
              "3153936,16777215,12632256,65535\r\n0,0,0,1\r\n0,1,#TRUE#\r\n");
    EXPECT_EQ(readBytes(path("a/Schemes/Plain/Scheme.txt")),
              "\"x\",,2\r\n1\r\n\"start.png\"\r\n2\r\n0,0,0\r\n")
        << "no tail: the file ends after its colours";
    EXPECT_EQ(readBytes(path("a/Schemes/Refused/Scheme.txt")), "0,0,0\r\n0\r\n");
    // Item icons are Areas media like any other.
    EXPECT_TRUE(QFile::exists(path("a/") + DisguisedFileName("Areas/lamp.png", false)));
    EXPECT_EQ(readBytes(path("a/Areas/Rope.obj")), "\"\"\r\n");
    EXPECT_EQ(readBytes(path("a/Areas/Oil_on_Lamp.drg")), "0,0,0,\"\"\r\n")
        << "without a script the file ends after the new item";
    EXPECT_EQ(readBytes(path("a/Areas/Lamp_on_Oil.drg")),
              "1,1,1,\"Lit lamp\",0,0,0,#TRUE#,\"MsgBox |It burns|\"\r\n");
    EXPECT_EQ(readBytes(path("a/FramesData/Hall.fm4")),
              "0,1,0,0,0,0,0,0,0,0,1,\"Key\"\r\n\"----- SEPARATOR -----\"\r\n"
              "0,2,0,0,0,0,0,0,0,0,0,\"Ghost\"\r\n\"----- SEPARATOR -----\"\r\n"
              "5,3,1,2,3,4,5,6,7,8,\"yes\"\r\n\"----- SEPARATOR -----\"\r\n");
    EXPECT_FALSE(QFile::exists(path("a/Frames/Short.lks")));
    EXPECT_FALSE(QFile::exists(path("a/Frames/Orphan.fme")));
    EXPECT_TRUE(QFile::exists(path("a/") + DisguisedFileName("Frames/Hall.jpg", false)));
    EXPECT_TRUE(QFile::exists(path("a/") + DisguisedFileName("Areas/bell.wav", false)));
    EXPECT_TRUE(QFile::exists(path("a/Frames/Grass.004"))) << "the plain disguise";
    EXPECT_EQ(readBytes(path("a/Frames/Garden.lks")), "3\r\n");
    // Water: the mask is the media file under the frame's name, never disguised.
    EXPECT_EQ(readBytes(path("a/Frames/Garden.rwe")), "0,0,0,0,0,0,0,300,640,180,4,8\r\n");
    EXPECT_EQ(readBytes(path("a/Frames/Garden.rwm")), "media pond.bmp");
    EXPECT_EQ(readBytes(path("a/Frames/Short.rwe")), "\"a\",,1.5,0,0,7,-1,2,3,4,-5,-2,#TRUE#\r\n");

    // Procedures are scrambled with the project's offset, line by line.
    const QByteArray procedures = readBytes(path("a/Config/Procedures"));
    EXPECT_FALSE(procedures.contains("Greet"));
    ProceduresFile read;
    readProceduresFile(path("a/Config/Procedures"), read, proceduresOffset("Castle"));
    EXPECT_EQ(read.text, "Sub Greet(name)\r\n    MsgBox \"Hello \" & name\r\nEnd Sub\r\n");
    EXPECT_EQ(iniRead(path("a/Config/More"), "Editor", "Zoom"), "2");

    // Described again from the project and rebuilt: the same files.
    const QString warnings = dumpTo(path("a"), path("dumpA/game.yaml"));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.toStdString();
    buildProject(loadDescription(path("dumpA/game.yaml")), path("c"));
    expectSameFiles(path("a"), path("c"));

    // And the rebuilt project describes itself the same way (but for where its media are).
    dumpTo(path("c"), path("dumpC/game.yaml"));
    QString first = QString::fromUtf8(readBytes(path("dumpA/game.yaml")));
    QString second = QString::fromUtf8(readBytes(path("dumpC/game.yaml")));
    EXPECT_TRUE(first.contains("media_folder: ../a")) << first.toStdString();
    first.replace(path("a"), "PROJECT").replace("../a", "PROJECT");
    second.replace(path("c"), "PROJECT").replace("../c", "PROJECT");
    EXPECT_EQ(first, second);
}

TEST_F(RoundTrip, AProjectMadeElsewhereKeepsEveryValueItsFilesHold) {
    // Written with the data layer's writers as another editor could have: values in every
    // ignored field, records that end early, merged files beside plain ones, disguised media.
    const QString root = path("made");
    for (const char* sub : {"Frames", "FramesData", "Areas", "Icons", "Config", "Temp"})
        QDir().mkpath(root + "/" + sub);
    ProjectSettings s;
    s.ProjectName = "Elsewhere";
    s.InitialFrame = "Odd";
    s.DefaultPointer = "hand.cur";
    for (int i = 0; i < s.Skipped.size(); ++i)
        s.Skipped[i] = RecordValue::ofNumber(i * 3);
    s.Skipped[0] = RecordValue::ofDate(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    s.Field23 = "x";
    s.GameStartScript = "a\nb"; // a lone line feed inside a script
    s.save(root + "/Config/General");
    IniDocument more;
    more.setValue("general", "procencr", "1");
    more.setValue("General", "ScriptTimeOut", "abc");
    more.setValue("Other", "Key", "value");
    ASSERT_TRUE(more.save(root + "/Config/More"));
    VariablesFile variables;
    variables.leading = RecordValue::ofNumber(4);
    variables.integers = {"A", "A"};
    variables.variantMarker = true;
    writeVariablesFile(root + "/Config/Variables", variables);
    ProceduresFile procedures;
    procedures.header = {"Torvane 2", "", "x"};
    procedures.text = "Sub A()\r\nEnd Sub";
    writeProceduresFile(root + "/Config/Procedures", procedures, proceduresOffset("Elsewhere"));
    TextsFile texts;
    texts.mode = 2;
    texts.skipped[2] = RecordValue::ofBool(true);
    texts.overrides = {"Start", "Load", "Exit"}; // the program wording, kept by count
    writeTextsFile(root + "/Config/Texts", texts);

    FrameRecord odd;
    odd.BackgroundMode = 1;
    odd.Background = "Hall.bmp";
    odd.TimerSeconds = RecordValue::ofString("2,5");
    odd.Ignored10 = RecordValue::null();
    odd.Ignored14to16[1] = RecordValue::ofString("kept");
    odd.SoundFile = "bell.wav";
    odd.CallProcedure = false;
    odd.ProcedureCall = RecordValue::ofNumber(0);
    writeFrameRecord(odd, root + "/Frames/Odd.fme", 28);
    FrameRecord tilde;
    tilde.StartupScript = RecordValue::ofString("MsgBox ~Hi~");
    tilde.ChannelValueCount = 0;
    tilde.ChannelCount = 3;
    tilde.SoundFile = "gone.wav";
    writeFrameRecord(tilde, root + "/Frames/Tilde.fme");
    HotspotRecord h = HotspotRecord::placed(1, 1, 2, 3, 4);
    h.Width = RecordValue::ofNumber(7); // not a whole pixel
    h.Pointer = RecordValue::ofString("DEFAULT");
    h.hasAnimationSpeed = true;
    writeHotspotFile(root + "/FramesData/Odd.mr2", {h, HotspotRecord::placed(1, 0, 0, 1, 1)});
    writeHotspotFile(root + "/FramesData/Odd.fm2", {h});
    writeHotspotCount(9, root + "/Frames/Odd.lks");
    ActionRecord cut;
    cut.lastGroup = int(ActionGroup::SoundLoops);
    cut.SoundLoops = false;
    cut.prefix[0] = RecordValue::ofString("first");
    ActionRecord item = itemActionRecord(2, "Lamp");
    item.prefix[5] = RecordValue::ofNumber(5);
    ActionRecord odd2;
    odd2.prefix[1] = RecordValue::ofString("2_.drg");
    writeActionFile(root + "/FramesData/Odd.fm3", {cut, ActionRecord(), ActionRecord()});
    writeActionFile(root + "/FramesData/Odd.fm0", {item, odd2});
    SoundSelectionRecord selection;
    selection.Hotspot = 2;
    selection.channels.leading[21] = RecordValue::ofString("z");
    writeSoundSelectionFile(root + "/FramesData/Odd.fm5", {selection});
    writeActionFile(root + "/FramesData/Lonely.fm3", {ActionRecord()});
    // Texts at no whole pixel, a system colour, values in the fields the player steps over.
    FrameTextRecord text;
    text.Field1 = RecordValue::ofDate(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    text.Fields3to10[2] = RecordValue::null();
    text.Caption = "[EMPTY]";
    text.Left = 1001;
    text.Top = 22.5;
    text.FontSize = 8.25;
    text.Colour = qint32(0x80000008);
    text.Field21 = RecordValue::ofString("z");
    FrameTextRecord second;
    second.Number = 2;
    second.Caption = QString::fromUtf8("Café €\r\nsecond line");
    second.Left = 150;
    writeFrameTextFile(root + "/FramesData/Odd.fm1", {text, second});
    writeFrameTextFile(root + "/FramesData/Odd.mr1", {text, second, text});
    DialogueFile dialogue;
    dialogue.Fields1to3 = {RecordValue::ofString("x"), RecordValue::ofBool(true), RecordValue()};
    dialogue.Text4 = "Hall talk";
    dialogue.Fields6to11[5] = RecordValue::ofDate(QDateTime(QDate(1999, 12, 31), QTime(), Qt::UTC));
    DialogueQuestion question;
    question.Question = "Who?";
    question.Script1 = "MsgBox |Hi|";
    question.AnswerSeconds = 0.1;
    question.Hotspot1 = -1;
    question.ShowList = {-3, 7};
    question.Fields15to17[1] = RecordValue::null();
    question.Field19 = RecordValue::ofString("z");
    dialogue.questions = {question, question};
    writeDialogueFile(root + "/FramesData/Odd.dlg", dialogue);
    // A text file laid out otherwise than the builder writes it, and a dialogue cut short.
    writeBytes(root + "/FramesData/Layout.fm1",
               "0,1,0,0,0,0,0,0,0,0\r\n\"a\",0,0,#FALSE#,#FALSE#,\"\",12,#FALSE#,#FALSE#,0,0\r\n");
    writeBytes(root + "/FramesData/Cut.dlg", "0,0,0,\"\",\"\",0,0,0,0,0,0\r\n2\r\n\"Who?\"");
    writeBytes(root + "/Frames/Broken.fme", "\"one\",\"two\"\r\n");
    // Media under both disguises, one missing, and files of formats not described yet.
    writeBytes(root + "/" + DisguisedFileName("Frames/Hall.bmp", false), "hall");
    writeBytes(root + "/Areas/bell.010", "bell");
    writeBytes(root + "/Icons/hand.cur", "hand");
    writeBytes(root + "/Areas/Lamp.obj", "item"); // bare: written back quoted, so copied
    // Inventory files with values in the fields the player steps over, names holding "_on_", and
    // files the description cannot name.
    writeItemDefinition(root + "/Areas/Oil.obj", "icons\\oil.bmp");
    writeBytes(root + "/Areas/icons/oil.bmp", "oil");
    ItemCombination odd3;
    odd3.RemoveDragged = RecordValue::ofString("x");
    odd3.AddItem = RecordValue::ofNumber(0);
    odd3.NewItem = "Wick";
    odd3.hasScript = true;
    odd3.Ignored[1] = RecordValue::ofDate(QDateTime(QDate(2001, 2, 3), QTime(), Qt::UTC));
    odd3.Script = "MsgBox |a|";
    writeItemCombination(root + "/Areas/Oil_on_Lamp_on_Wick.drg", odd3);
    writeItemCombination(root + "/Areas/a_on_b.drg", ItemCombination());
    writeItemCombination(root + "/Areas/_on_b.drg", ItemCombination());
    writeItemCombination(root + "/Areas/plain.drg", ItemCombination());
    writeItemCombination(root + "/Areas/Up_on_Case.DRG", ItemCombination());
    PickUpRecord ghost;
    ghost.Field1 = RecordValue::ofDate(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    ghost.Hotspot = -2;
    ghost.Ignored[7] = RecordValue::null();
    ghost.Rest = {RecordValue::ofNumber(3), RecordValue::ofString("z")};
    PickUpRecord key;
    key.Hotspot = 2;
    key.Flag = RecordValue::ofNumber(1);
    key.Rest = {RecordValue::ofString("Key")};
    writePickUpFile(root + "/FramesData/Odd.fm4", {ghost, key});
    writePickUpFile(root + "/FramesData/Attic.fm4", {key});
    writeBytes(root + "/FramesData/Bare.fm4", "0,1,0,0,0,0,0,0,0,0,1,Key\r\n");
    // Schemes with values in the fields the window steps over, a negative picture count, and one
    // broken file.
    SchemeFile stone;
    stone.Leading[1] = RecordValue::ofString("kept");
    stone.PictureCount = 3;
    stone.Pictures = {"Start.PNG", "[DEFAULT]", ""};
    stone.ColourFormat = 6;
    stone.WindowColour = qint32(0x80000005);
    stone.ButtonColour = 12;
    stone.hasTail = true;
    stone.TailSkipped[2] = RecordValue::null();
    stone.HideTitle = RecordValue::ofBool(true);
    stone.hasLogo = true;
    stone.LogoSkipped = RecordValue::ofString("z");
    stone.LogoStyle = 1;
    QDir().mkpath(root + "/Schemes/Stone");
    writeSchemeFile(root + "/Schemes/Stone/Scheme.txt", stone);
    writeBytes(root + "/Schemes/Stone/Start.PNG", "start");
    SchemeFile negative;
    negative.PictureCount = -1;
    negative.ColourFormat = 3;
    QDir().mkpath(root + "/Schemes/odd");
    writeSchemeFile(root + "/Schemes/odd/Scheme.txt", negative);
    writeBytes(root + "/Schemes/Broken/Scheme.txt", "scheme");
    writeBytes(root + "/Schemes/Broken/tile.png", "tile");
    writeBytes(root + "/Config/Plugins", "plugins");

    QString outText, errText;
    QTextStream o(&outText), e(&errText);
    ASSERT_EQ(runCommandLine({"--dump", root, path("made.yaml")}, o, e), 0)
        << errText.toStdString();
    EXPECT_TRUE(
        errText.contains("Broken.fme: cannot be read (Type mismatch); it is copied as it is"))
        << errText.toStdString();
    const QString yaml = QString::fromUtf8(readBytes(path("made.yaml")));
    EXPECT_TRUE(yaml.contains("missing_media: warn")) << "a named sound is missing";
    // A script whose quotes are stored as "~" is kept as stored.
    EXPECT_TRUE(yaml.contains("startup_script_stored: MsgBox ~Hi~")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("at_twips: [1001, 22.5]")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("colour: -2147483640")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("script_1: MsgBox \"Hi\"")) << yaml.toStdString();
    EXPECT_TRUE(errText.contains("Layout.fm1: holds values or a layout that the builder would not "
                                 "write back the same; it is copied as it is"))
        << errText.toStdString();
    EXPECT_TRUE(errText.contains("Cut.dlg: cannot be read (Input past end of file)"))
        << errText.toStdString();
    for (const char* copied : {"Lamp.obj", "Bare.fm4"})
        EXPECT_TRUE(errText.contains(QString(copied) + ": holds values or a layout"))
            << copied << errText.toStdString();
    EXPECT_TRUE(yaml.contains("target: Lamp_on_Wick")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("after_flag: [3, z]")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("- {dragged: a, target: b}")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("icon: icons\\oil.bmp")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("colour_format: 6")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("picture_count: -1")) << yaml.toStdString();
    EXPECT_TRUE(errText.contains("Broken/Scheme.txt: cannot be read (Input past end of file)"))
        << errText.toStdString();

    ASSERT_EQ(runCommandLine({path("made.yaml"), path("rebuilt")}, o, e), 0)
        << errText.toStdString();
    // "More" is written with its keys as the player names them; their values are kept.
    expectSameFiles(root, path("rebuilt"), "Config/More");
    const QString rebuiltMore = path("rebuilt/Config/More");
    EXPECT_EQ(iniRead(rebuiltMore, "General", "ProcEncr"), "1");
    EXPECT_EQ(iniRead(rebuiltMore, "General", "ScriptTimeOut"), "abc");
    EXPECT_EQ(iniRead(rebuiltMore, "Other", "Key"), "value");
}

TEST_F(RoundTrip, TheCdIndexAndItsMarkerAreDescribedOrCopiedAsTheyAre) {
    writeBytes(path("src/cds.yaml"), R"(run_from_cd: true
cd_index:
  count: 2
  files:
    - {name: tower.jpg, cd: 2, folder: frames}
    - {name: "Sub\\sea.wav", cd: 1, folder: Areas}
    - {name: "", cd: 0, kind: -4}
  raw: {leading: [Isle, 1, true], skipped: [~, x]}
)");
    const BuildResult built = buildProject(loadDescription(path("src/cds.yaml")), path("a"));
    EXPECT_TRUE(built.warnings.isEmpty()) << built.warnings.join('\n').toStdString();
    EXPECT_EQ(readBytes(path("a/Config/CDContents")),
              "\"Isle\",1,#TRUE#\r\n2\r\n,\"x\"\r\n\"tower.jpg\",2,1\r\n\"Sub\\sea.wav\",1,2\r\n"
              "\"\",0,-4\r\n");
    EXPECT_TRUE(QFile::exists(path("a/RunFromCD.dat")));
    EXPECT_EQ(readBytes(path("a/RunFromCD.dat")), "");
    EXPECT_TRUE(dumpTo(path("a"), path("dumpA/game.yaml")).isEmpty());
    const QString yaml = QString::fromUtf8(readBytes(path("dumpA/game.yaml")));
    EXPECT_TRUE(yaml.contains("- {name: tower.jpg, cd: 2, folder: frames}")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("run_from_cd: true")) << yaml.toStdString();
    buildProject(loadDescription(path("dumpA/game.yaml")), path("b"));
    expectSameFiles(path("a"), path("b"));

    // An index laid out on other lines, and a marker with contents, are copied as they are.
    const QString root = path("made");
    writeBytes(root + "/Config/CDContents", "0,0,0,2,0,0,\"tower.jpg\",2,1\r\n");
    writeBytes(root + "/RunFromCD.dat", "disc 1");
    const QString warnings = dumpTo(root, path("dumpM/game.yaml"));
    EXPECT_TRUE(warnings.contains("CDContents: holds values or a layout"))
        << warnings.toStdString();
    EXPECT_FALSE(QString::fromUtf8(readBytes(path("dumpM/game.yaml"))).contains("cd_index"));
    buildProject(loadDescription(path("dumpM/game.yaml")), path("m"));
    EXPECT_EQ(readBytes(path("m/Config/CDContents")), readBytes(root + "/Config/CDContents"));
    EXPECT_EQ(readBytes(path("m/RunFromCD.dat")), "disc 1");

    // A picture the index puts on a disc need not be in the media folder; one on no disc must.
    writeBytes(path("src/disc.yaml"), R"(run_from_cd: true
cd_index: {count: 2, files: [{name: Tower.JPG, cd: 2, folder: frames},
                             {name: gone.jpg, cd: 3, folder: frames}]}
frames: [{name: A, picture: tower.jpg}]
)");
    const BuildResult onDisc = buildProject(loadDescription(path("src/disc.yaml")), path("d"));
    EXPECT_TRUE(onDisc.warnings.isEmpty()) << onDisc.warnings.join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(path("d/Frames/tower.jpg")));
    EXPECT_TRUE(dumpTo(path("d"), path("dumpD/game.yaml")).isEmpty()) << "not missing: on disc 2";
    writeBytes(path("src/disc.yaml"), R"(run_from_cd: true
cd_index: {count: 2, files: [{name: gone.jpg, cd: 3, folder: frames}]}
frames: [{name: A, picture: gone.jpg}]
)");
    EXPECT_THROW(buildProject(loadDescription(path("src/disc.yaml")), path("e")), BuildError)
        << "a record above the CD count puts the file on no disc";

    // Mistakes name the record.
    writeBytes(path("src/bad.yaml"), "cd_index: {count: 1, files: [{name: a.jpg, cd: 1}]}\n");
    try {
        loadDescription(path("src/bad.yaml"));
        ADD_FAILURE() << "a record without its folder was taken";
    } catch (const BuildError& e) {
        EXPECT_TRUE(e.message().contains("CD index file 1 needs either its folder"))
            << e.message().toStdString();
    }
}

TEST_F(RoundTrip, TheResumeFileIsDescribedOrCopiedAsItIs) {
    writeBytes(path("src/resume.yaml"), R"(resume:
  frames:
    - {saved: Hall, resumes_at: Tower}
    - {saved: "Old Mill", resumes_at: ""}
  raw: {leading: [Isle, 1, true, ~, "", 2.5]}
)");
    buildProject(loadDescription(path("src/resume.yaml")), path("a"));
    EXPECT_EQ(readBytes(path("a/Config/Resume")),
              "\"Isle\"\r\n1\r\n#TRUE#\r\n\r\n\"\"\r\n2.5\r\n\"Hall\"\r\n\"Tower\"\r\n"
              "\"Old Mill\"\r\n\"\"\r\n");
    EXPECT_TRUE(dumpTo(path("a"), path("dumpA/game.yaml")).isEmpty());
    const QString yaml = QString::fromUtf8(readBytes(path("dumpA/game.yaml")));
    EXPECT_TRUE(yaml.contains("- {saved: Hall, resumes_at: Tower}")) << yaml.toStdString();
    buildProject(loadDescription(path("dumpA/game.yaml")), path("b"));
    expectSameFiles(path("a"), path("b"));

    // A file laid out on other lines is copied as it is.
    const QString root = path("made");
    writeBytes(root + "/Config/Resume", "0,0,0,0,0,0,\"Hall\",\"Tower\"\r\n");
    const QString warnings = dumpTo(root, path("dumpM/game.yaml"));
    EXPECT_TRUE(warnings.contains("Resume: holds values or a layout")) << warnings.toStdString();
    buildProject(loadDescription(path("dumpM/game.yaml")), path("m"));
    EXPECT_EQ(readBytes(path("m/Config/Resume")), readBytes(root + "/Config/Resume"));

    writeBytes(path("src/bad.yaml"), "resume: {frames: [{saved: Hall}]}\n");
    try {
        loadDescription(path("src/bad.yaml"));
        ADD_FAILURE() << "a pair without its second frame was taken";
    } catch (const BuildError& e) {
        EXPECT_TRUE(e.message().contains("resume pair 1 needs saved and resumes_at"))
            << e.message().toStdString();
    }
}

TEST_F(RoundTrip, MediaAreFoundCopiedOrReportedAndFilesAreNotOverwrittenUnasked) {
    auto build = [&](const QByteArray& yaml, const QString& out, BuildOptions options = {}) {
        writeBytes(path("src/t.yaml"), yaml);
        return buildProject(loadDescription(path("src/t.yaml")), path(out), options);
    };
    // Named media come from the media folder, flat or in a project's own layout.
    writeBytes(path("src/layout/Areas/step.wav"), "layout");
    build("build: {media_folder: layout}\nframes: [{name: A, sound: STEP.wav}]\n", "p1");
    EXPECT_EQ(readBytes(path("p1/Areas/step.wav")), "layout") << "spelled as the source is";

    // A missing file is an error that says who names it, or a warning when allowed.
    try {
        build("build: {media_folder: media}\nframes: [{name: A, sound: gone.wav}]\n", "p2");
        FAIL() << "a missing sound is an error";
    } catch (const BuildError& e) {
        EXPECT_TRUE(e.message().startsWith(path("src/t.yaml") + ": frame 'A': sound gone.wav: "
                                                                "not found in the media folder"))
            << e.message().toStdString();
    }
    const BuildResult warned = build(
        "build: {media_folder: media, missing_media: warn}\nframes: [{name: A, sound: gone.wav}]\n",
        "p3");
    ASSERT_EQ(warned.warnings.size(), 1);

    // A copied file may replace a file the builder writes only when it says so.
    writeBytes(path("src/broken.lks"), "\"several\"\r\n");
    const QByteArray replacing = "frames: [{name: A, hotspots: [{rect: [0, 0, 1, 1]}]}]\n"
                                 "files: [{to: Frames/A.lks, from: broken.lks}]\n";
    EXPECT_THROW(build(replacing, "p4"), BuildError);
    build(QByteArray(replacing).replace("broken.lks}", "broken.lks, replaces: true}"), "p5");
    EXPECT_EQ(readBytes(path("p5/Frames/A.lks")), "\"several\"\r\n");

    // An existing folder is rebuilt only when asked, and only when it is a project.
    EXPECT_THROW(build("frames: [{name: B}]\n", "p5"), BuildError);
    BuildOptions replace;
    replace.replace = true;
    build("frames: [{name: B}]\n", "p5", replace);
    EXPECT_FALSE(QFile::exists(path("p5/Frames/A.fme"))) << "nothing stale is left";
    EXPECT_TRUE(QFile::exists(path("p5/Frames/B.fme")));
    writeBytes(path("notes/todo.txt"), "mine");
    EXPECT_THROW(build("frames: []\n", "notes", replace), BuildError);
    EXPECT_EQ(readBytes(path("notes/todo.txt")), "mine");

    // --media-folder overrides the description's media folder.
    BuildOptions other;
    other.mediaFolder = path("src/layout");
    build("build: {media_folder: nowhere}\nframes: [{name: A, sound: step.wav}]\n", "p6", other);
    EXPECT_EQ(readBytes(path("p6/Areas/step.wav")), "layout");
}

TEST_F(RoundTrip, PluginsAreDescribedInPlainFormAndComeBackByteForByte) {
    writeBytes(path("src/plugins.yaml"), R"(plugins:
  list: [Pano, Fog, pano]
  raw: {leading: [Isle, 1, true, ~, 0, 0, 0, 0, 0, x]}
  files:
    - name: Pano
      version: 3
      compiled: true
      title: Panorama
      display_name: Panorama view
      description: Shows a "view"
      startup: PanoAngle.Value = 90
      frame_open: PanoFile.Value = "room.jpg"
      procedures: |
        Sub PanoShow(file, angle)
            MsgBox "Showing " & file
        End Sub
      second_frame_open: PanoAngle.Value = 0
      integers: [PanoAngle]
      variants: [PanoFile]
      flags: [true, false]
      frame_action: PanoFrame
      hotspot_action: PanoShow
      other_strings: [a, "b \"c\"", d]
      parameters: [{name: Angle, value: 90, third: x, fourth: !null}]
      extra: [1, two]
      raw: {skipped: [a, ~, 1.5, 0, 0, 0, true]}
    - {name: Fog, version: 2, protected: true, procedures: Sub Fog() End Sub,
       parameters: [{name: "a \"q\""}]}
    - {name: Old, version: 1, compiled: true, protected: true, startup: MsgBox "as is",
       parameters: [{name: Speed, value: 3}]}
)");
    buildProject(loadDescription(path("src/plugins.yaml")), path("a"));
    EXPECT_EQ(readBytes(path("a/Config/Plugins")),
              "\"Isle\",1,#TRUE#,,0,0,0,0,0,\"x\"\r\n\"Pano\"\r\n\"Fog\"\r\n\"pano\"\r\n");
    // Compiled code is scrambled; the flags that select nothing leave it as it is, quotes stored
    // as character 254.
    const QByteArray pano = readBytes(path("a/CPData/Pano.cp"));
    EXPECT_FALSE(pano.contains("PanoShow(")) << pano.toStdString();
    EXPECT_TRUE(pano.contains("\"Shows a \xFEview\xFE\""));
    EXPECT_TRUE(pano.endsWith(
        "1\r\n\"two\"\r\n\"" +
        toCp1252(encodePluginCode("PanoAngle.Value = 0", PluginCodeForm::Compiled)) + "\"\r\n"));
    EXPECT_TRUE(readBytes(path("a/CPData/Old.cp"))
                    .contains("\"MsgBox \xFE"
                              "as is\xFE\""));
    EXPECT_TRUE(readBytes(path("a/CPData/Old.cp")).endsWith("1\r\n\"Speed\",3\r\n0\r\n"));
    const PluginDataFile read = readPluginDataFile(path("a/CPData/Pano.cp"));
    EXPECT_EQ(decodePluginCode(read.ProceduresCode, read.codeForm()),
              "Sub PanoShow(file, angle)\r\n    MsgBox \"Showing \" & file\r\nEnd Sub\r\n");
    EXPECT_EQ(restorePluginQuotes(read.Strings[1]), "b \"c\"");
    EXPECT_EQ(read.Parameters[0].Fourth, RecordValue::null());

    EXPECT_TRUE(dumpTo(path("a"), path("dumpA/game.yaml")).isEmpty());
    const QString yaml = QString::fromUtf8(readBytes(path("dumpA/game.yaml")));
    EXPECT_TRUE(yaml.contains("startup: PanoAngle.Value = 90")) << yaml.toStdString();
    EXPECT_TRUE(yaml.contains("list: [Pano, Fog, pano]")) << yaml.toStdString();
    buildProject(loadDescription(path("dumpA/game.yaml")), path("b"));
    expectSameFiles(path("a"), path("b"));

    // Made elsewhere: quotes stored as "~", another seed, a text the cipher would not have
    // written, a file named otherwise than its plugin, and one laid out on other lines.
    const QString root = path("made");
    for (const char* sub : {"Config", "CPData"})
        QDir().mkpath(root + "/" + sub);
    PluginDataFile odd;
    odd.Protected = true;
    odd.InternalName = "Odd";
    odd.Description = "a ~tilde~";
    odd.StartupCode = EncodeTextB("MsgBox ~x~", 100, QChar('!'));
    odd.FrameOpenCode = "x";
    odd.Strings = {"~", "", "F~", "", QString("H") + QChar(254)};
    odd.Parameters = {{"p~", RecordValue::ofString("v")}};
    writePluginDataFile(root + "/CPData/Renamed.cp", odd);
    writeBytes(root + "/CPData/Lines.cp", "1,0,0,0,0,0,0,0,#FALSE#,#FALSE#,\"\",\"\",\"\",\"L\","
                                          "\"\",\"\",\"\",0,0,#FALSE#,#FALSE#,\"\",\"\",\"\",\"\","
                                          "\"\",0,0\r\n");
    writeBytes(root + "/CPData/Cut.cp", "3,0");
    const QString warnings = dumpTo(root, path("dumpM/game.yaml"));
    EXPECT_TRUE(warnings.contains("Lines.cp: holds values or a layout")) << warnings.toStdString();
    EXPECT_TRUE(warnings.contains("Cut.cp: cannot be read (Input past end of file)"))
        << warnings.toStdString();
    const QString made = QString::fromUtf8(readBytes(path("dumpM/game.yaml")));
    EXPECT_TRUE(made.contains("startup_stored:")) << made.toStdString();
    EXPECT_TRUE(made.contains("file: Renamed")) << made.toStdString();
    buildProject(loadDescription(path("dumpM/game.yaml")), path("m"));
    expectSameFiles(root, path("m"));

    // Mistakes name the plugin.
    auto failure = [&](const QByteArray& yaml) {
        writeBytes(path("src/bad.yaml"), yaml);
        try {
            loadDescription(path("src/bad.yaml"));
        } catch (const BuildError& e) {
            return e.message();
        }
        return QString("accepted");
    };
    EXPECT_TRUE(failure("plugins: {files: [{name: P, version: 2, second_frame_open: x}]}\n")
                    .contains("plugin 'P': only version 3 and later have a second frame-open"));
    EXPECT_TRUE(failure("plugins: {files: [{name: P, version: 1, parameters: [{third: 1}]}]}\n")
                    .contains("third: a version 1 parameter has no such value"));
    EXPECT_TRUE(failure("plugins: {files: [{name: P, startup: \"a ~ b\"}]}\n")
                    .contains("startup: \"~\" and character 254 cannot be stored"));
    EXPECT_TRUE(failure("plugins: {files: [{name: ../P}]}\n").contains("cannot name a file"));
    EXPECT_TRUE(failure("plugins: {files: [{name: P}, {name: p}]}\n")
                    .contains("a second plugin file named 'p'"));
}
