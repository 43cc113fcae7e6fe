#include "data/inventory_files.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;

namespace {

// The number of the classic error `read` raises, or 0.
template <typename Read> int errorOf(Read&& read) {
    try {
        read();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

class InventoryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folders.setRoot(dir.path() + "/");
        ASSERT_TRUE(QDir().mkpath(folders.AreasFolder));
        ASSERT_TRUE(QDir().mkpath(folders.FramesDataFolder));
    }
    QString area(const QString& name) const { return folders.AreasFolder + name; }

    QTemporaryDir dir;
    ProjectFolders folders;
};

// Three records as the editor writes them: hotspot 1 gives nothing (flag 0, a name left over),
// hotspot 3 gives "Key", and hotspot 2's record has values after its name.
const QByteArray kPickUps = "0,1,0,0,0,0,0,0,0,0,0,\"Ghost\"\r\n"
                            "\"----- SEPARATOR -----\"\r\n"
                            "0,3,0,0,0,0,0,0,0,0,1,\"Key\"\r\n"
                            "\"----- SEPARATOR -----\"\r\n"
                            "\"x\",2,\"a,b\",0,0,0,0,0,0,0,1,007,\"more\",#NULL#\r\n"
                            "\"----- SEPARATOR -----\"\r\n";

std::optional<QString> pickUpIn(const QByteArray& bytes, int k) {
    RecordReader in(bytes);
    return findPickUp(in, k, [] { return false; });
}

} // namespace

TEST_F(InventoryFiles, AnItemDefinitionNamesItsIconAndAMissingOrEmptyOneFails) {
    const QString path = itemDefinitionPath(folders, "Lamp");
    EXPECT_EQ(path, area("Lamp.obj"));
    EXPECT_EQ(errorOf([&] { (void)readItemDefinition(path); }), err::FileNotFound);
    writeAll(path, "");
    EXPECT_EQ(errorOf([&] { (void)readItemDefinition(path); }), err::InputPastEndOfFile);

    // Quoted or bare, with a folder; found whatever the letter case of the file.
    writeAll(area("KEY.OBJ"), "\"icons\\key.png\"\r\n");
    EXPECT_EQ(readItemDefinition(itemDefinitionPath(folders, "key")), "icons\\key.png");
    writeAll(path, "lamp.bmp");
    EXPECT_EQ(readItemDefinition(path), "lamp.bmp");

    writeItemDefinition(path, "lamp 2.png");
    EXPECT_EQ(readAll(path), "\"lamp 2.png\"\r\n");
    EXPECT_EQ(readItemDefinition(path), "lamp 2.png");
}

TEST_F(InventoryFiles, ACombinationReadsItsFlagsNewItemAndBarQuotedScript) {
    const QString path = combinationPath(folders, "Lamp", "Oil");
    EXPECT_EQ(path, area("Lamp_on_Oil.drg"));
    writeAll(path, "1,0,1,\"Lit lamp\",0,0,0,#TRUE#,\"MsgBox |Lit| & x\"\r\n");
    const ItemCombination c = readItemCombination(path);
    EXPECT_TRUE(c.removesDragged());
    EXPECT_FALSE(c.removesTarget());
    EXPECT_TRUE(c.addsItem());
    EXPECT_EQ(c.NewItem, "Lit lamp");
    EXPECT_TRUE(c.hasScript);
    EXPECT_TRUE(c.RunScript);
    EXPECT_EQ(c.Script, "MsgBox |Lit| & x") << "kept as stored";
    EXPECT_EQ(c.scriptText(), "MsgBox \"Lit\" & x");

    // Only 1 switches: #TRUE# reads as -1, and a text is no number at all.
    writeAll(path, "#TRUE#,2,\"yes\",\"\",0,0,0,#FALSE#,\"x\"");
    const ItemCombination odd = readItemCombination(path);
    EXPECT_FALSE(odd.removesDragged());
    EXPECT_FALSE(odd.removesTarget());
    EXPECT_FALSE(odd.addsItem());
    EXPECT_FALSE(odd.RunScript);
}

TEST_F(InventoryFiles, ACombinationEndingAfterItsNewItemHasNoScriptButOneCutElsewhereFails) {
    const QString path = area("a_on_b.drg");
    EXPECT_EQ(errorOf([&] { (void)readItemCombination(path); }), err::FileNotFound);
    for (const QByteArray& four : {QByteArray("1,1,0,\"\""), QByteArray("1,1,0,\"\"\r\n"),
                                   QByteArray("1\r\n1\r\n0\r\nNew")}) {
        writeAll(path, four);
        const ItemCombination c = readItemCombination(path);
        EXPECT_FALSE(c.hasScript) << four.constData();
        EXPECT_EQ(c.scriptText(), "");
        EXPECT_TRUE(c.removesTarget());
    }
    for (const QByteArray& cut :
         {QByteArray(""), QByteArray("1,1"), QByteArray("1,1,1\r\n"), QByteArray("1,1,0,\"\",0"),
          QByteArray("1,1,0,\"\",0,0,0"), QByteArray("1,1,0,\"\",0,0,0,#TRUE#\r\n")}) {
        writeAll(path, cut);
        EXPECT_EQ(errorOf([&] { (void)readItemCombination(path); }), err::InputPastEndOfFile)
            << cut.constData();
    }
    writeAll(path, "1,1,0,\"\",0,0,0,\"perhaps\",\"x\"");
    EXPECT_EQ(errorOf([&] { (void)readItemCombination(path); }), err::TypeMismatch)
        << "the run flag is a boolean";
}

TEST_F(InventoryFiles, CombinationsWrittenReadBackAsTheSameBytes) {
    const QString path = area("a_on_b.drg");
    ItemCombination plain;
    plain.RemoveTarget = RecordValue::ofNumber(1);
    plain.NewItem = "Rope";
    writeItemCombination(path, plain);
    EXPECT_EQ(readAll(path), "0,1,0,\"Rope\"\r\n") << "no script: the file ends after field 4";
    EXPECT_EQ(readItemCombination(path), plain);

    // Values the player steps over keep their kind.
    ItemCombination full = plain;
    full.hasScript = true;
    full.Ignored = {RecordValue::ofString("x"), RecordValue::null(), RecordValue::ofNumber(2.5)};
    full.RunScript = true;
    full.Script = "MsgBox |a|";
    full.AddItem = RecordValue::ofBool(true);
    writeItemCombination(path, full);
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes, "0,1,#TRUE#,\"Rope\",\"x\",#NULL#,2.5,#TRUE#,\"MsgBox |a|\"\r\n");
    EXPECT_EQ(readItemCombination(path), full);
    RecordWriter out;
    writeItemCombination(out, readItemCombination(path));
    EXPECT_EQ(out.bytes(), bytes);
}

TEST(PickUps, AClickFindsTheRecordOfItsHotspotAndReadsTheNameOnlyForFlagOne) {
    EXPECT_EQ(pickUpIn(kPickUps, 3), "Key") << "after a record of another hotspot";
    EXPECT_EQ(pickUpIn(kPickUps, 2), "007") << "a bare name as written, past a quoted comma";
    EXPECT_EQ(pickUpIn(kPickUps, 1), std::nullopt) << "flag 0 gives nothing, name or not";
    EXPECT_EQ(pickUpIn(kPickUps, 4), std::nullopt) << "no record";
    EXPECT_EQ(pickUpIn("", 1), std::nullopt);
    // Skipping goes by the separator, whatever the number of values a record holds.
    EXPECT_EQ(pickUpIn("0,1,\"----- SEPARATOR -----\"\r\n0,2,0,0,0,0,0,0,0,0,1,\"Rope\"", 2),
              "Rope");
    for (const char* flag : {"2", "#TRUE#", "-1", "\"yes\"", "", "0.5"}) {
        const QByteArray record = QByteArray("0,5,0,0,0,0,0,0,0,0,") + flag + ",\"Key\"\r\n";
        EXPECT_EQ(pickUpIn(record, 5), std::nullopt) << flag;
    }
    // The first record of a hotspot is the one used.
    EXPECT_EQ(pickUpIn(kPickUps + "0,3,0,0,0,0,0,0,0,0,1,\"Other\"\r\n", 3), "Key");
}

TEST(PickUps, ABrokenRecordOnTheWayFailsAndStopIsAskedBeforeEachRecord) {
    // A text where the index belongs, and a record cut inside the clicked hotspot's fields.
    EXPECT_EQ(errorOf([] { (void)pickUpIn("0,\"two\",0\r\n", 2); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { (void)pickUpIn("0,2,0,0,0,0", 2); }), err::InputPastEndOfFile);
    EXPECT_EQ(errorOf([] { (void)pickUpIn("0,2,0,0,0,0,0,0,0,0,1", 2); }), err::InputPastEndOfFile)
        << "flag 1 and no name";
    EXPECT_EQ(pickUpIn("0,1,0,0", 2), std::nullopt) << "a cut record of another hotspot";

    int asked = 0;
    RecordReader in(kPickUps);
    EXPECT_EQ(findPickUp(in, 2, [&] { return ++asked > 2; }), std::nullopt)
        << "stopped before hotspot 2's record";
    EXPECT_EQ(asked, 3);
    asked = 0;
    RecordReader again(kPickUps);
    EXPECT_EQ(findPickUp(again, 3, [&] { return ++asked > 2; }), "Key");
    EXPECT_EQ(asked, 2);
}

TEST_F(InventoryFiles, APickUpFileReadsAsItsRecordsAndWritesBackTheSameBytes) {
    EXPECT_EQ(pickUpFilePath(folders, "Hall"), "");
    writeAll(folders.FramesDataFolder + "hall.FM4", kPickUps);
    const QString path = pickUpFilePath(folders, "Hall");
    ASSERT_NE(path, "");

    const QList<PickUpRecord> records = readPickUpFile(path);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].Hotspot, 1);
    EXPECT_FALSE(records[0].givesItem());
    EXPECT_EQ(records[0].itemName(), "");
    EXPECT_EQ(records[0].Rest, QList<RecordValue>{RecordValue::ofString("Ghost")});
    EXPECT_EQ(records[1].itemName(), "Key");
    EXPECT_EQ(records[2].Field1, RecordValue::ofString("x"));
    EXPECT_EQ(records[2].Ignored[0], RecordValue::ofString("a,b"));
    EXPECT_EQ(records[2].itemName(), "007") << "the name as a click reads it";
    EXPECT_EQ(records[2].Rest.size(), 3);
    EXPECT_EQ(records[2].Rest[2], RecordValue::null());

    // A file with the name stored bare is written with it quoted; written again, the same.
    writePickUpFile(path, records);
    EXPECT_EQ(readAll(path), QByteArray(kPickUps).replace(",007,", ",\"007\","));
    EXPECT_EQ(readPickUpFile(path), records);

    // A last record without its separator, and a record of nothing after the flag.
    writeAll(path, "0,4,0,0,0,0,0,0,0,0,1\r\n\"----- SEPARATOR -----\"\r\n0,5,0,0,0,0,0,0,0,0,0");
    const QList<PickUpRecord> shortOnes = readPickUpFile(path);
    ASSERT_EQ(shortOnes.size(), 2);
    EXPECT_TRUE(shortOnes[0].givesItem());
    EXPECT_EQ(shortOnes[0].itemName(), "");
    EXPECT_TRUE(shortOnes[1].Rest.isEmpty());
    EXPECT_EQ(errorOf([&] { (void)readPickUpFile(folders.FramesDataFolder + "None.fm4"); }),
              err::FileNotFound);
}
