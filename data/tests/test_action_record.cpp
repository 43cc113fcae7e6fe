#include "data/action_record.h"
#include "data/record_helpers.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace tv;

namespace {

RecordValue num(double v) {
    return RecordValue::ofNumber(v);
}
RecordValue str(const QString& s) {
    return RecordValue::ofString(s);
}
RecordValue yes() {
    return RecordValue::ofBool(true);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

ChannelRequestRow row(double code, const QString& file) {
    return {{num(code), yes(), RecordValue::ofBool(false), num(7), str(file)}};
}

// Every field away from its preset, so a field read from the wrong place shows.
ActionRecord sample(const QString& destination = "Cellar") {
    ActionRecord r;
    r.prefix[0] = str("Hall");
    r.ChangeVariable = 1;
    r.VariableName = "doorOpen";
    r.SetToZero = yes();
    r.SetToOne = num(0);
    r.Toggle = str("True");
    r.ShowMessage = num(1);
    r.MessageText = str(QString::fromUtf8("It’s locked."));
    r.A8 = 4;
    r.A9 = "nine";
    r.Disappear = num(-1);
    r.QuitGame = num(0);
    r.GoToFrame = 1;
    r.Destination = destination;
    r.StopFrameSound = 1;
    r.StopAllSounds = -1;
    r.PlayVideo = 1;
    r.VideoFile = "intro.avi";
    r.VideoUnplaced = true;
    r.VideoLeft = 10;
    r.VideoTop = 20;
    r.VideoWidth = 300;
    r.VideoHeight = 200;
    r.StopMusic = num(1);
    r.PlaySound = yes();
    r.SoundFile = str("creak.wav");
    r.PlayMusic = num(1);
    r.MusicFile = str("theme.mid");
    r.A29to31[1] = str("x");
    r.GoBack = num(1);
    r.MessageOption = yes();
    r.ChangeVariables = 1;
    r.VariableGroups[1] = QStringList{"a", "b"};
    r.VariableGroups[3] = QStringList{"c"};
    r.SoundLoops = false;
    r.UseTransition = num(1);
    r.TransitionDuration = 1500.5;
    r.CallProcedure = true;
    r.ProcedureCall = str("Greet |Ann|");
    r.TransitionNumber = 6;
    r.FadeDuration = num(2000);
    r.A55 = 3;
    r.ChannelValueCount = 5;
    r.ChannelCount = 2;
    r.ChannelRows = {row(1, "rain.wav"), row(3, "")};
    r.PickUpItem = true;
    r.ItemName = "Key";
    r.Script = str(QString("MsgBox ") + QChar(254) + "Hi" + QChar(254) + " & ~!~");
    return r;
}

// Whether a record holds sample()'s values in the fields of each group.
const std::function<bool(const ActionRecord&)> kHolds[] = {
    [](const ActionRecord& r) { return r.VariableName == "doorOpen" && r.Toggle == str("True"); },
    [](const ActionRecord& r) { return r.A8 == 4 && r.A9 == "nine"; },
    [](const ActionRecord& r) { return r.Disappear == num(-1); },
    [](const ActionRecord& r) { return r.QuitGame == num(0); },
    [](const ActionRecord& r) { return r.Destination == "Cellar"; },
    [](const ActionRecord& r) { return r.VideoFile == "intro.avi" && r.VideoHeight == 200; },
    [](const ActionRecord& r) { return r.MusicFile == str("theme.mid"); },
    [](const ActionRecord& r) { return r.GoBack == num(1); },
    [](const ActionRecord& r) { return r.MessageOption == yes(); },
    [](const ActionRecord& r) { return r.VariableGroups[3] == QStringList{"c"}; },
    [](const ActionRecord& r) { return !r.SoundLoops; },
    [](const ActionRecord& r) { return r.TransitionDuration == 1500.5; },
    [](const ActionRecord& r) { return r.procedureCallText() == "Greet \"Ann\""; },
    [](const ActionRecord& r) { return r.TransitionNumber == 6; },
    [](const ActionRecord& r) { return r.ChannelRows.size() == 2 && r.A55 == 3; },
    [](const ActionRecord& r) { return r.ItemName == "Key"; },
    [](const ActionRecord& r) { return r.scriptText() == "MsgBox \"Hi\" & \"!\""; },
};
constexpr int kGroups = int(ActionGroup::Script) + 1;
static_assert(std::size(kHolds) == kGroups);

// Reads as the engine does: the fixed groups, then each optional group while the record goes on.
ActionRecord readLikeTheEngine(RecordReader& in) {
    ActionRecord r;
    for (int g = 0; g < kGroups; ++g) {
        if (g >= int(kFirstOptionalGroup) && AtRecordEnd(in)) break;
        readActionGroup(in, ActionGroup(g), r);
    }
    return r;
}

} // namespace

TEST(ActionRecord, FullRecordRoundTrips) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.fm3");
    writeActionFile(path, {sample(), sample("Garden")});
    const QList<ActionRecord> read = readActionFile(path);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0], sample());
    EXPECT_EQ(read[1], sample("Garden"));
    EXPECT_EQ(read[0].lastGroup, int(ActionGroup::Script));
}

TEST(ActionRecord, EveryAllowedEndReadsBackWhatWasWritten) {
    for (int last = int(ActionGroup::GoTo); last < kGroups; ++last) {
        ActionRecord cut = sample();
        cut.lastGroup = last;
        RecordWriter w;
        writeActionRecord(w, cut);
        writeActionRecord(w, sample("Garden"));
        RecordReader in(w.bytes());

        const ActionRecord a = readActionRecord(in);
        EXPECT_EQ(a.lastGroup, last);
        for (int g = 0; g < kGroups; ++g)
            EXPECT_EQ(kHolds[g](a), g <= last) << "group " << g << ", record ends after " << last;
        if (last < int(ActionGroup::SoundLoops)) {
            EXPECT_TRUE(a.SoundLoops) << "the preset";
        }
        EXPECT_EQ(readActionRecord(in), sample("Garden")) << "the next record starts right";
        EXPECT_TRUE(in.atEnd());

        RecordReader again(w.bytes());
        ASSERT_TRUE(seekHotspotAction(again, 1));
        EXPECT_EQ(readLikeTheEngine(again), [&] {
            ActionRecord expected = a;
            expected.prefix = ActionRecord().prefix;
            return expected;
        }()) << "group by group gives the same record";
    }
}

TEST(ActionRecord, SeekHotspotActionFindsTheKthRecord) {
    RecordWriter w;
    ActionRecord shortOne = sample("Second");
    shortOne.lastGroup = int(ActionGroup::GoTo);
    for (const ActionRecord& r : {sample("First"), shortOne, sample("Third")})
        writeActionRecord(w, r);
    for (int k = 1; k <= 3; ++k) {
        RecordReader in(w.bytes());
        ASSERT_TRUE(seekHotspotAction(in, k)) << k;
        ActionRecord r;
        readActionFields(in, r);
        EXPECT_EQ(r.Destination, QStringList({"First", "Second", "Third"})[k - 1]);
    }
    RecordReader in(w.bytes());
    EXPECT_FALSE(seekHotspotAction(in, 4)) << "the file ends first";
    RecordReader empty(QByteArray{});
    EXPECT_FALSE(seekHotspotAction(empty, 1));
}

TEST(ActionRecord, SeekItemActionMatchesTheKeyWithoutCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.fm0");
    QList<ActionRecord> records;
    struct Entry {
        int hotspot;
        const char* item;
        const char* destination;
    };
    for (const Entry& e :
         {Entry{1, "Key", "One"}, Entry{2, "lamp", "Two"}, Entry{2, "KEY", "Three"}}) {
        ActionRecord r = itemActionRecord(e.hotspot, e.item);
        r.Destination = e.destination;
        r.lastGroup = int(ActionGroup::GoTo);
        records.append(r);
    }
    writeActionFile(path, records);
    EXPECT_EQ(readActionFile(path), records);

    auto destinationOf = [&](int k, const QString& item) -> QString {
        RecordReader in = RecordReader::open(path);
        if (!seekItemAction(in, k, item)) return "(none)";
        ActionRecord r;
        readActionFields(in, r);
        return r.Destination;
    };
    EXPECT_EQ(destinationOf(2, "key"), "Three");
    EXPECT_EQ(destinationOf(1, "kEY"), "One");
    EXPECT_EQ(destinationOf(2, "Lamp"), "Two");
    EXPECT_EQ(destinationOf(1, "lamp"), "(none)");
    EXPECT_EQ(destinationOf(3, "key"), "(none)");
    EXPECT_EQ(destinationOf(12, "key"), "(none)") << "no match on a key's tail";
}

TEST(ActionRecord, ChannelRowsArePresentOnlyForFiveValuesOrFewer) {
    ActionRecord three = sample();
    three.ChannelValueCount = 3;
    three.ChannelCount = 2;
    three.ChannelRows = {{{num(1), yes(), yes()}}, {{num(4), yes(), yes()}}};
    ActionRecord wide = sample();
    wide.ChannelValueCount = 6;
    wide.ChannelCount = 3;
    wide.ChannelRows.clear();
    ActionRecord eight = sample();
    eight.ChannelCount = 8;
    eight.ChannelRows = QList<ChannelRequestRow>(8, row(2, "x.wav"));

    RecordWriter w;
    for (const ActionRecord& r : {three, wide, eight})
        writeActionRecord(w, r);
    RecordReader in(w.bytes());
    const ActionRecord a = readActionRecord(in);
    EXPECT_EQ(a.ChannelRows, three.ChannelRows);
    const ActionRecord b = readActionRecord(in);
    EXPECT_TRUE(b.ChannelRows.isEmpty());
    EXPECT_EQ(b.ChannelCount, 3);
    EXPECT_TRUE(b.PickUpItem) << "the fields after the counts follow at once";
    EXPECT_EQ(b.ItemName, "Key");
    const ActionRecord c = readActionRecord(in);
    EXPECT_EQ(c.ChannelRows.size(), 8) << "an eighth row is read; refusing it is the engine's";
    EXPECT_EQ(c.scriptText(), sample().scriptText());
}

TEST(ActionRecord, ReadThenWriteGivesTheSameBytes) {
    QTemporaryDir dir;
    ActionRecord shortOne = sample();
    shortOne.lastGroup = int(ActionGroup::MessageOption);
    ActionRecord item = itemActionRecord(3, QString::fromUtf8("Clé"));
    writeActionFile(dir.filePath("a.fm3"), {sample(), shortOne, item});
    writeActionFile(dir.filePath("b.fm3"), readActionFile(dir.filePath("a.fm3")));
    const QByteArray bytes = readAll(dir.filePath("a.fm3"));
    EXPECT_EQ(readAll(dir.filePath("b.fm3")), bytes);
    EXPECT_TRUE(bytes.contains("\"3_Cl\xe9.drg\""));
    EXPECT_TRUE(bytes.contains("\"It\x92s locked.\"")) << "Windows-1252";
    EXPECT_FALSE(bytes.contains('\n' + QByteArray("\n")));
}

TEST(ActionRecord, FilePathsPreferTheMergedFile) {
    QTemporaryDir dir;
    ProjectFolders folders;
    folders.setRoot(dir.path() + "/");
    ASSERT_TRUE(QDir().mkpath(folders.FramesDataFolder));
    EXPECT_EQ(actionFilePath(folders, "Hall"), "");
    EXPECT_EQ(itemActionFilePath(folders, "Hall"), "");
    writeActionFile(folders.FramesDataFolder + "hall.FM3", {sample()});
    EXPECT_TRUE(actionFilePath(folders, "Hall").endsWith("hall.FM3"));
    writeActionFile(folders.FramesDataFolder + "Hall.mr3", {sample()});
    EXPECT_TRUE(actionFilePath(folders, "Hall").endsWith("Hall.mr3"));
    writeActionFile(folders.FramesDataFolder + "Hall.fm0", {itemActionRecord(1, "Key")});
    EXPECT_TRUE(itemActionFilePath(folders, "HALL").endsWith("Hall.fm0"));
}

TEST(ActionRecord, BrokenFieldsFailWithTheRuntimeError) {
    RecordWriter w;
    writeValues(w, {}, 10);
    w.string("abc").endLine();
    RecordReader in(w.bytes());
    ASSERT_TRUE(seekHotspotAction(in, 1));
    ActionRecord r;
    try {
        readActionGroup(in, ActionGroup::VariableChange, r);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    RecordReader cut(w.bytes().left(w.bytes().indexOf("\"abc\"")));
    EXPECT_TRUE(seekHotspotAction(cut, 1));
    EXPECT_THROW(readActionFields(cut, r), VbError) << "the first five groups are not optional";
}
