// Writes the seed corpus of every fuzz target with the project's own writers, so that the seeds
// follow the formats as they change. Usage: make_fuzz_seeds OUTPUT_FOLDER

#include "data/action_record.h"
#include "data/dialogue_file.h"
#include "data/frame_record.h"
#include "data/frame_texts.h"
#include "data/hotspot_record.h"
#include "data/inventory_files.h"
#include "data/multi_cd.h"
#include "data/plugins_file.h"
#include "data/procedures_file.h"
#include "data/project.h"
#include "data/saved_game_file.h"
#include "data/scheme_file.h"
#include "data/sound_channel_file.h"
#include "data/variables_file.h"
#include "data/water_file.h"
#include "platform/core/ini.h"
#include "platform/core/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <tuple>

using namespace tv;

namespace {

QDir out;

void seed(const QString& target, const QString& name, const QByteArray& bytes) {
    if (!out.mkpath(target)) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot create %s\n", qPrintable(target));
        std::exit(1);
    }
    QFile file(out.filePath(target + '/' + name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

// The first `lines` lines of a record file: files may end after some of them.
QByteArray firstLines(const QByteArray& bytes, int lines) {
    qsizetype p = 0;
    for (int i = 0; i < lines && p >= 0; ++i) {
        p = bytes.indexOf("\r\n", p);
        if (p >= 0) p += 2;
    }
    return p < 0 ? bytes : bytes.left(p);
}

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// The records target reads a count of operation bytes, the operations, then the file.
QByteArray withOps(const QByteArray& ops, const QByteArray& file) {
    return char(ops.size()) + ops + file;
}

void recordSeeds() {
    RecordWriter every;
    every.string("text")
        .string("")
        .string("a, b\r\nc")
        .number(42)
        .number(-1.5)
        .number(0.5)
        .number(1e20)
        .number(1.5e-5)
        .integer(-32768)
        .integer(2147483647)
        .endLine();
    every.boolean(true).boolean(false).null().error(32767).empty().endLine();
    every.date(at(1999, 12, 31, 23, 59, 59))
        .date(at(2024, 2, 29))
        .date(at(1899, 12, 30, 12, 0))
        .endLine();
    every.string(QString("caf") + QChar(0xE9) + QChar(0x20AC)).endLine();

    // Each operation once, then each again with a count or target in the high bits.
    QByteArray ops;
    for (int op = 0; op < 12; ++op)
        ops += char(op);
    for (int op = 0; op < 12; ++op)
        ops += char(op + 0x30);
    seed("records", "every-kind", withOps(ops, every.bytes()));
    seed("records", "every-kind-plain", withOps({}, every.bytes()));

    RecordWriter numbers;
    numbers.integer(0)
        .integer(-1)
        .integer(32767)
        .integer(65535)
        .number(3.5)
        .number(2.5)
        .number(1e300)
        .number(-1e-300)
        .endLine();
    seed("records", "numbers-as-integers", withOps(QByteArray(8, char(2)), numbers.bytes()));
    seed("records", "numbers-as-longs", withOps(QByteArray(8, char(3)), numbers.bytes()));
    seed("records", "lines", withOps(QByteArray(6, char(6)), every.bytes()));
}

void iniSeeds(const QTemporaryDir& tmp) {
    const QString path = tmp.filePath("seed.ini");
    iniWrite(path, "General", "ScriptTimeOut", "30");
    iniWrite(path, "General", "Title", "\"A quoted title\"");
    iniWrite(path, "Software\\My Game", "Volume", "  80  ");
    iniWrite(path, "Software\\My Game", "Name", QString("Ren") + QChar(0xE9));
    iniWrite(path, "Empty", "Key", "");
    seed("ini", "written", fileBytes(path));

    IniDocument doc;
    doc.setValue("Section", "Key", "'single'");
    doc.setValue("section", "KEY", "replaced");
    doc.setValue("Other", "a", "1");
    doc.setValue("Other", "b", QString(300, u'x'));
    doc.removeKey("Other", "a");
    seed("ini", "edited", doc.toBytes());
}

void projectSeeds(const QTemporaryDir& tmp) {
    const QString path = tmp.filePath("General");
    ProjectSettings s;
    s.save(path);
    seed("project_general", "defaults", fileBytes(path));

    s.ProjectName = "Demo";
    s.GameTitle = "The Demo Game";
    s.InitialFrame = "Hall";
    s.GameVersion = "1.0";
    s.ProjectWidth = 800;
    s.ProjectHeight = 600;
    s.Author = "Ann";
    s.Email = "ann@example.org";
    s.WebSite = "www.example.org";
    s.OfferResolutionChange = 1;
    s.SchemeName = "Blue";
    s.DisableSaveGame = true;
    s.ApostropheFlag = true;
    s.InventoryIconSpacingX = -5;
    s.UseCustomInventoryGraphics = true;
    s.DefaultPointer = "hand.cur";
    s.SkipWelcomeScreen = true;
    s.GameStartScriptEnabled = true;
    s.GameStartScript = "MsgBox \"Hello\"";
    s.FrameScriptEnabled = true;
    s.FrameScript = "x = 1";
    s.DisableEditProcedures = true;
    s.save(path);
    const QByteArray full = fileBytes(path);
    seed("project_general", "full", full);
    // The points where older files end.
    for (int lines : {3, 4, 5, 6, 10, 11, 12, 13, 14, 15})
        seed("project_general", QString("ends-after-line-%1").arg(lines), firstLines(full, lines));
}

void frameSeeds(const QTemporaryDir& tmp) {
    FrameRecord r;
    r.BackgroundMode = 1;
    r.Background = "Hall.jpg";
    r.SoundFile = "wind.wav";
    r.TimerEnabled = true;
    r.TimerSeconds = RecordValue::ofNumber(2.5);
    r.TimerTarget = "Cellar";
    r.MusicFile = "theme.mid";
    r.VideoFile = "intro.avi";
    r.VideoAtPosition = true;
    r.VideoLeft = 10;
    r.VideoWidth = 320;
    r.TimerTransition = true;
    r.TimerTransitionDuration = 750;
    r.TimerTransitionNumber = 3;
    r.CallProcedure = true;
    r.ProcedureCall = RecordValue::ofString("Greet |Ann|");
    r.FadeDuration = RecordValue::ofNumber(500);
    r.ChannelValueCount = 3;
    r.ChannelCount = 2;
    r.ChannelRows = {
        {RecordValue::ofNumber(1), RecordValue::ofBool(true), RecordValue::ofString("a.wav")},
        {RecordValue::ofNumber(2), RecordValue::null(), RecordValue::empty()}};
    r.VideoFirst = true;
    r.StartupScript = RecordValue::ofString(QString("MsgBox ") + QChar(254) + "Hi" + QChar(254));
    const QString path = tmp.filePath("Hall.fme");
    for (int last : FrameRecord::kEndPoints) {
        writeFrameRecord(r, path, last);
        seed("frame_record", QString("ends-after-field-%1").arg(last), fileBytes(path));
    }
    r.ChannelValueCount = 6; // six or more values per row: no rows are stored
    r.ChannelRows.clear();
    writeFrameRecord(r, path);
    seed("frame_record", "no-channel-rows", fileBytes(path));

    const QString lks = tmp.filePath("Hall.lks");
    writeHotspotCount(12, lks);
    seed("frame_record", "hotspot-count", fileBytes(lks));
}

// "Texts": a mode, and for mode 2 five unused fields, a count and that many texts.
void uiTextSeeds() {
    for (int mode : {0, 1, 5}) {
        RecordWriter w;
        w.integer(mode).endLine();
        seed("ui_texts", QString("mode-%1").arg(mode), w.bytes());
    }
    RecordWriter w;
    w.integer(2);
    for (int i = 0; i < 5; ++i)
        w.integer(0);
    w.integer(3).endLine();
    w.string("Go").endLine();
    w.string("Resume").endLine();
    w.string("Leave").endLine();
    seed("ui_texts", "mode-2-overrides", w.bytes());
}

// Hotspot files: records with and without their optional tails, merged indexes 1, 2, 1.
void hotspotSeeds(const QTemporaryDir& tmp) {
    HotspotRecord r;
    r.Left = RecordValue::ofNumber(60);
    r.Top = RecordValue::ofNumber(120);
    r.Width = RecordValue::ofNumber(60);
    r.Height = RecordValue::ofNumber(900);
    r.ShowPicture = RecordValue::ofBool(true);
    r.Picture = RecordValue::ofString("door.gif");
    r.Pointer = RecordValue::ofString("default");
    r.HasConditions = RecordValue::ofNumber(1);
    r.MustBeZero = {"doorOpen"};
    r.MustBeOne = {"lamp", "key"};
    QList<HotspotRecord> records;
    for (int tail = 0; tail < 3; ++tail) {
        r.Index = qint16(tail == 2 ? 1 : tail + 1);
        r.hasAnimationSpeed = tail >= 1;
        r.AnimationSpeed = RecordValue::ofNumber(3);
        r.hasVideoTail = tail >= 2;
        r.HasVideo = RecordValue::ofBool(true);
        r.VideoFile = RecordValue::ofString("fire.avi");
        r.VideoVolume = RecordValue::ofNumber(7);
        records.append(r);
    }
    const QString path = tmp.filePath("Hall.mr2");
    writeHotspotFile(path, records);
    seed("hotspot_record", "merged-with-tails", fileBytes(path));
    writeHotspotFile(path, {records[0]});
    seed("hotspot_record", "one-without-tail", fileBytes(path));
}

// Action files cut after each group, an item file, a sound selection file and a .chn file.
void actionSeeds(const QTemporaryDir& tmp) {
    ActionRecord r;
    r.ChangeVariable = 1;
    r.VariableName = "doorOpen";
    r.Toggle = RecordValue::ofBool(true);
    r.GoToFrame = 1;
    r.Destination = "Cellar";
    r.PlayVideo = 1;
    r.VideoFile = "intro.avi";
    r.PlaySound = RecordValue::ofNumber(1);
    r.SoundFile = RecordValue::ofString("creak.wav");
    r.ChangeVariables = 1;
    r.VariableGroups[2] = QStringList{"a", "b"};
    r.UseTransition = RecordValue::ofNumber(1);
    r.TransitionDuration = 500;
    r.CallProcedure = true;
    r.ProcedureCall = RecordValue::ofString("Greet |Ann|");
    r.ChannelValueCount = 5;
    r.ChannelCount = 2;
    r.ChannelRows = {
        {{RecordValue::ofNumber(1), RecordValue::ofBool(true), RecordValue::ofBool(false),
          RecordValue::ofNumber(7), RecordValue::ofString("rain.wav")}},
        {{RecordValue::ofNumber(3)}}};
    r.ChannelRows[1].values.resize(5, RecordValue::ofNumber(0));
    r.PickUpItem = true;
    r.ItemName = "Key";
    r.Script = RecordValue::ofString(QString("MsgBox ") + QChar(254) + "Hi" + QChar(254));
    const QString path = tmp.filePath("Hall.fm3");
    for (int last = int(ActionGroup::GoTo); last <= int(ActionGroup::Script); ++last) {
        ActionRecord cut = r;
        cut.lastGroup = last;
        writeActionFile(path, {cut, r});
        seed("action_record", QString("ends-after-group-%1").arg(last), fileBytes(path));
    }
    ActionRecord item = itemActionRecord(2, "Key");
    item.Destination = "Garden";
    item.lastGroup = int(ActionGroup::GoTo);
    writeActionFile(path, {itemActionRecord(1, "Lamp"), item});
    seed("action_record", "item-actions", fileBytes(path));
    // A file that opens with a quote is looked up for hotspot 2 (the target takes k from the
    // first byte), so that the seek finds the item's record and the groups after it are read.
    item.prefix[0] = RecordValue::ofString("x");
    writeActionFile(path, {item, itemActionRecord(1, "Lamp")});
    seed("action_record", "item-action-found", fileBytes(path));

    SoundSelectionRecord selection;
    selection.Hotspot = 2;
    for (int i = 1; i <= 3; ++i) {
        SoundChannelRow row;
        row.play = true;
        row.file = QString("ch%1.wav").arg(i);
        selection.channels.rows.append(row);
    }
    writeSoundSelectionFile(path, {selection});
    seed("action_record", "sound-selection", fileBytes(path));
    writeSoundChannelFile(path, selection.channels);
    seed("action_record", "old-sound-channels", fileBytes(path));
}

void configSeeds(const QTemporaryDir& tmp) {
    const QString path = tmp.filePath("Variables");
    VariablesFile variables;
    variables.integers = {"Key", "Door"};
    writeVariablesFile(path, variables);
    seed("variables_file", "integers", fileBytes(path));
    variables.variants = {"Name", "Score"};
    variables.leading = RecordValue::ofNumber(4);
    writeVariablesFile(path, variables);
    seed("variables_file", "both-kinds", fileBytes(path));

    // The target reads its input both plain and scrambled with this offset.
    const QString procedures = tmp.filePath("Procedures");
    ProceduresFile file;
    file.header = {"Torvane", "2", ""};
    file.text = "Sub Greet(name)\r\n\tMsgBox \"Hello \" & name\r\nEnd Sub";
    writeProceduresFile(procedures, file);
    seed("procedures_file", "plain", fileBytes(procedures));
    writeProceduresFile(procedures, file, 17);
    seed("procedures_file", "scrambled", fileBytes(procedures));
}

// Frame texts: a plain file, a merged one numbered 1, 2, 1, and one with a bad record between good
// ones.
void frameTextSeeds(const QTemporaryDir& tmp) {
    FrameTextRecord r;
    r.Number = 1;
    r.Caption = QString("Caf") + QChar(0xE9) + " " + QChar(0x20AC) + " " + QChar(0x201C) + "1" +
                QChar(0x201D);
    r.Left = 1200;
    r.Top = 307.5;
    r.Bold = true;
    r.FontName = "Times New Roman";
    r.FontSize = 8.25;
    r.Underline = true;
    r.Colour = 0x0000FF;
    FrameTextRecord empty;
    empty.Number = 2;
    empty.Caption = "[EMPTY]";
    empty.Fields3to10[2] = RecordValue::ofString("kept");
    empty.Field21 = RecordValue::null();
    const QString path = tmp.filePath("Hall.mr1");
    writeFrameTextFile(path, {r, empty});
    const QByteArray plain = fileBytes(path);
    seed("frame_texts", "plain", plain);
    FrameTextRecord merged = r;
    merged.Caption = "merged";
    writeFrameTextFile(path, {r, empty, merged});
    seed("frame_texts", "merged", fileBytes(path));
    const qsizetype firstLine = plain.indexOf("\r\n") + 2;
    QByteArray bad = plain.left(firstLine);
    bad += QByteArray(plain.mid(firstLine)).replace(",2,", ",\"two\",") + plain.left(firstLine);
    seed("frame_texts", "bad-record", bad);
}

// Dialogues: questions with show and hide lists and bar-quoted scripts, and one cut short.
void dialogueSeeds(const QTemporaryDir& tmp) {
    DialogueFile d;
    d.Text4 = "Hall talk";
    d.Fields6to11[5] = RecordValue::ofString("x");
    DialogueQuestion q;
    q.Question = "Who are you?";
    q.Answer = "The keeper.";
    q.Script1 = "MsgBox |Hi|";
    q.Script3 = "x = |a|";
    q.Id = 1;
    q.ShownAtStart = true;
    q.Hotspot1 = 2;
    q.ShowList = {2, 3};
    q.HideList = {1};
    d.questions.append(q);
    q = DialogueQuestion();
    q.Question = QString("Caf") + QChar(0xE9) + "?";
    q.Id = 2;
    q.EndsDialogue = true;
    q.AnswerSeconds = 2.5;
    q.Wait = true;
    q.Fields15to17[1] = RecordValue::null();
    d.questions.append(q);
    const QString path = tmp.filePath("Hall.dlg");
    writeDialogueFile(path, d);
    const QByteArray full = fileBytes(path);
    seed("dialogue", "two-questions", full);
    seed("dialogue", "cut-short", full.left(full.size() * 2 / 3));
    writeDialogueFile(path, DialogueFile());
    seed("dialogue", "empty", fileBytes(path));

    // The description's keys for both formats (the demo game, its other seed, has neither yet).
    seed("description", "texts-and-dialogue",
         "frames:\n"
         "  - name: Hall\n"
         "    texts:\n"
         "      - {caption: Hi, at: [1, 2], font: Tahoma, size: 9.75, colour: \"#010203\"}\n"
         "      - {caption: \"[empty]\", at_twips: [1, 2.5], raw: {field_21: !null}}\n"
         "    merged_texts: [{caption: own}, {caption: merged, number: 1}]\n"
         "    dialogue:\n"
         "      questions:\n"
         "        - {question: Q, answer: A, script_1: MsgBox \"Hi\", hotspots: [1], show: [2]}\n"
         "        - {question: Bye, id: 2, shown: false, ends: true, wait: true}\n"
         "      raw: {field_4: talk}\n");
}

// Item definitions, combinations with and without their script part, and pick-up records of
// three hotspots: one read by all three readers of the target.
void inventorySeeds(const QTemporaryDir& tmp) {
    const QString path = tmp.filePath("inventory");
    writeItemDefinition(path, "icons\\lamp.png");
    seed("inventory_files", "item", fileBytes(path));
    ItemCombination c;
    c.RemoveDragged = RecordValue::ofNumber(1);
    c.AddItem = RecordValue::ofNumber(1);
    c.NewItem = "Lit lamp";
    writeItemCombination(path, c);
    seed("inventory_files", "combination-four-fields", fileBytes(path));
    c.hasScript = true;
    c.RunScript = true;
    c.Ignored[1] = RecordValue::ofString("x");
    c.Script = "MsgBox |It burns|";
    writeItemCombination(path, c);
    const QByteArray full = fileBytes(path);
    seed("inventory_files", "combination-script", full);
    seed("inventory_files", "combination-cut", full.left(full.size() - 12));

    PickUpRecord ghost;
    ghost.Hotspot = 1;
    ghost.Rest = {RecordValue::ofString("Ghost")};
    PickUpRecord key;
    key.Hotspot = 3;
    key.Flag = RecordValue::ofNumber(1);
    key.Rest = {RecordValue::ofString("Key"), RecordValue::null()};
    PickUpRecord rope = key;
    rope.Hotspot = 2;
    rope.Rest = {RecordValue::ofString("Rope")};
    writePickUpFile(path, {ghost, key, rope});
    seed("inventory_files", "pick-ups", fileBytes(path));

    seed("description", "inventory",
         "items:\n"
         "  - {name: Lamp, icon: lamp.png}\n"
         "combinations:\n"
         "  - {dragged: Lamp, target: Oil, remove_dragged: true, add: Lit, script: MsgBox \"a\"}\n"
         "  - {dragged: Oil, target: Lamp, raw: {field_3: 2, field_4: x, fields_5_7: [1, 2, 3]}}\n"
         "frames:\n"
         "  - name: Hall\n"
         "    pick_ups:\n"
         "      - {hotspot: 1, item: Key}\n"
         "      - {hotspot: 2, item: x, gives_item: false, raw: {after_item: [~, 5]}}\n");
}

// Scheme files with every part, ending after their colours, refused, and cut inside the colours.
void schemeSeeds() {
    auto bytesOf = [](const SchemeFile& s) {
        RecordWriter out;
        s.write(out);
        return out.bytes();
    };
    SchemeFile s;
    s.PictureCount = 4;
    s.Pictures = {"start.png", "[none]", "exit.png", "tile.png"};
    s.ColourFormat = 4;
    s.WindowColour = 0x302010;
    s.TitleColour = 0xFFFFFF;
    s.TextColour = 0x808080;
    s.ButtonColour = 0xFF;
    s.hasTail = true;
    s.HideTitle = RecordValue::ofNumber(1);
    s.hasLogo = true;
    s.LogoStyle = 1;
    s.LogoFlag = true;
    const QByteArray full = bytesOf(s);
    seed("scheme_file", "full", full);
    seed("scheme_file", "cut-in-colours", full.left(full.indexOf(",16777215")));
    s.ColourFormat = 3;
    s.hasTail = false;
    seed("scheme_file", "three-colours", bytesOf(s));
    s.ColourFormat = 0;
    s.hasTail = true;
    s.hasLogo = false;
    s.TailSkipped[1] = RecordValue::ofString("x");
    seed("scheme_file", "no-colours-tail", bytesOf(s));
    seed("scheme_file", "refused", bytesOf(SchemeFile()));

    seed("description", "schemes",
         "project: {name: P, scheme: Blue}\n"
         "schemes:\n"
         "  - name: Blue\n"
         "    pictures: [start.png, \"[none]\", exit.png]\n"
         "    colours: {window: \"#102030\", title: 255, text: \"#000000\", button: 1}\n"
         "    hide_title: true\n"
         "    logo: {style: 1, flag: true}\n"
         "  - {name: Refused, pictures: []}\n"
         "  - {name: Raw, raw: {picture_count: -1, colour_format: 7, tail: [a, ~, 1],\n"
         "     hide_title: x, logo_field: 2, leading: [1, 2, 3]}}\n");
}

// A CD index with records kept and left out, one with nothing after its header, and one cut
// inside a record.
void cdIndexSeeds() {
    CdIndexFile index;
    index.Leading = {RecordValue::ofString("Isle"), RecordValue::ofNumber(1),
                     RecordValue::ofBool(true)};
    index.CdCount = 3;
    index.Entries = {{"hall.jpg", 1, 1}, {"sea.wav", 2, 2},  {"Sub\\deep.avi", 3, 2},
                     {"none.jpg", 0, 1}, {"far.jpg", 4, 1},  {"zero.jpg", 2, 0},
                     {"", 1, 1},         {"odd.jpg", 2, -3}, {"late.jpg", 1, 1}};
    RecordWriter out;
    index.write(out);
    const QByteArray full = out.bytes();
    seed("cd_index", "records", full);
    seed("cd_index", "cut-in-record", full.left(full.indexOf(",2,2")));
    RecordWriter empty;
    CdIndexFile().write(empty);
    seed("cd_index", "header-only", empty.bytes());
}

// Water settings with and without the direction, with odd leading values, and cut short.
void waterSeeds() {
    auto bytesOf = [](const WaterFile& w) {
        RecordWriter out;
        w.write(out);
        return out.bytes();
    };
    WaterFile w;
    w.Left = 0;
    w.Top = 372;
    w.Width = 640;
    w.Height = 108;
    w.Wave = 3;
    w.Speed = 6;
    seed("water_file", "forwards", bytesOf(w));
    w.hasReverse = true;
    w.Reverse = true;
    w.Leading[0] = RecordValue::ofString("x");
    w.Leading[3] = RecordValue::ofBool(true);
    const QByteArray reverse = bytesOf(w);
    seed("water_file", "reverse", reverse);
    seed("water_file", "cut", reverse.left(reverse.indexOf(",640")));
    seed("description", "water",
         "frames:\n"
         "  - name: Lake\n"
         "    picture: lake.jpg\n"
         "    water: {rectangle: [0, 300, 640, 180], wave: 4, speed: 8, reverse: true,\n"
         "            mask: lake.bmp, raw: {leading: [a, ~, 1, 2, 3, 4]}}\n");
}

// Plugin lists with a repeat and a name that leads elsewhere; data files of each version and code
// form, one with a huge count, and cut ones.
void pluginSeeds() {
    PluginListFile list;
    list.Leading[2] = RecordValue::ofString("x");
    list.Names = {"Pano", "Fog", "PANO", "../Config/General"};
    RecordWriter listOut;
    list.write(listOut);
    seed("plugin_list", "names", listOut.bytes());
    seed("plugin_list", "cut", listOut.bytes().left(9));

    PluginDataFile p;
    p.InternalName = "Pano";
    p.Description = "a ~view~";
    p.IntegerVariables = {"PanoAngle"};
    p.VariantVariables = {"PanoFile", "PanoSeen"};
    p.Strings = {"a", "", "PanoFrame", "d", "PanoShow"};
    p.Parameters = {
        {"Angle", RecordValue::ofNumber(90), RecordValue::ofString("x"), RecordValue::null()}};
    p.Extra = {RecordValue::ofNumber(1), RecordValue::ofString("two")};
    const QString code = "Sub PanoShow(f, a)\r\n  MsgBox \"at \" & a\r\nEnd Sub";
    for (auto [name, version, compiled, isProtected] :
         {std::tuple{"v3-compiled", 3, true, false}, std::tuple{"v2-protected", 2, false, true},
          std::tuple{"v1-plain", 1, false, false}, std::tuple{"v3-both", 3, true, true}}) {
        p.Version = qint16(version);
        p.Compiled = compiled;
        p.Protected = isProtected;
        p.StartupCode = encodePluginCode("PanoAngle.Value = 90", p.codeForm());
        p.FrameOpenCode = encodePluginCode("PanoFile.Value = \"room.jpg\"", p.codeForm());
        p.ProceduresCode = encodePluginCode(code, p.codeForm());
        p.SecondFrameOpenCode = version >= 3 ? encodePluginCode("x = 1", p.codeForm()) : "";
        RecordWriter out;
        p.write(out);
        seed("plugin_data", name, out.bytes());
        if (version == 2)
            seed("plugin_data", "cut", out.bytes().left(out.bytes().indexOf("Pano\"")));
    }
    seed("plugin_data", "huge-count",
         "3,0,0,0,0,0,0,0\r\n#FALSE#,#FALSE#\r\n\"\",\"\",\"\",\"P\",\"\",\"\",\"\"\r\n"
         "32767\r\n\"a\"\r\n");
    seed("description", "plugins",
         "plugins:\n"
         "  list: [Pano]\n"
         "  files:\n"
         "    - {name: Pano, version: 2, compiled: true, procedures: Sub A() End Sub,\n"
         "       integers: [A], hotspot_action: A, parameters: [{name: x, value: 1, third: 2}]}\n");
}

// Saved games whole, of older versions that end early, and cut inside a part; a resume file.
void savedGameSeeds() {
    SavedGameFile f;
    f.Frame = "Garden";
    f.Integers = {{"HasKey", 1}, {"Door", -1}};
    f.Disappeared = {{"Hall", 2}};
    f.Items = {"Key", "Old map"};
    f.History = {"Hall", "Garden"};
    f.ProjectName = "Isle";
    f.GameTitle = "The Isle";
    f.Date = "03/07/2005";
    f.Variants = {{"Name", RecordValue::ofString("Ann")},
                  {"Brave", RecordValue::ofBool(true)},
                  {"Gold", RecordValue::ofNumber(12.5)},
                  {"Met", RecordValue::ofDate(QDateTime(QDate(2005, 3, 7), QTime(9, 30), Qt::UTC))},
                  {"Nothing", RecordValue::empty()}};
    auto bytesOf = [](const SavedGameFile& file) {
        RecordWriter out;
        file.write(out);
        return out.bytes();
    };
    const QByteArray whole = bytesOf(f);
    seed("saved_game", "whole", whole);
    f.hasVariants = false;
    seed("saved_game", "no-variants", bytesOf(f));
    f.hasDetails = false;
    seed("saved_game", "history-only", bytesOf(f));
    f.hasHistory = false;
    seed("saved_game", "inventory-only", bytesOf(f));
    seed("saved_game", "cut-in-pairs", whole.left(whole.indexOf("\"Door\"")));

    ResumeFile resume;
    resume.Pairs = {{"Hall", "Tower"}, {"HALL", ""}, {"Garden", "Shore"}};
    RecordWriter out;
    resume.write(out);
    seed("resume", "pairs", out.bytes());
    seed("resume", "leading-only", "1,2,3,4,5,6\r\n");
    seed("resume", "odd", "1,2,3,4,5,6,\"Hall\"\r\n");
}

// A format 0 tune with a tempo change and running status, and a format 1 file of two tracks.
void midiSeeds() {
    auto track = [](const QByteArray& events) {
        const auto n = quint32(events.size());
        return QByteArray("MTrk") + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) + events;
    };
    auto header = [](int format, int tracks) {
        return QByteArray("MThd\0\0\0\6", 8) + char(0) + char(format) + char(0) + char(tracks) +
               QByteArray("\x01\xE0", 2);
    };
    const QByteArray end("\x00\xFF\x2F\x00", 4);
    const QByteArray tune = QByteArray("\x00\xC0\x05\x00\x90\x3C\x64\x83\x60\x3C\x00"
                                       "\x00\xFF\x51\x03\x0F\x42\x40\x83\x60\x80\x3C\x00",
                                       23) +
                            end;
    seed("midi_timing", "tune", header(0, 1) + track(tune));
    const QByteArray tempo = QByteArray("\x00\xFF\x51\x03\x07\xA1\x20", 7) + end;
    seed("midi_timing", "two-tracks", header(1, 2) + track(tempo) + track(tune));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir tmp;
    if (!tmp.isValid() || !out.mkpath(".")) {
        std::fprintf(stderr, "make_fuzz_seeds: no place to write\n");
        return 1;
    }
    recordSeeds();
    iniSeeds(tmp);
    projectSeeds(tmp);
    frameSeeds(tmp);
    uiTextSeeds();
    hotspotSeeds(tmp);
    actionSeeds(tmp);
    configSeeds(tmp);
    frameTextSeeds(tmp);
    dialogueSeeds(tmp);
    inventorySeeds(tmp);
    schemeSeeds();
    cdIndexSeeds();
    waterSeeds();
    pluginSeeds();
    savedGameSeeds();
    midiSeeds();
    return 0;
}
