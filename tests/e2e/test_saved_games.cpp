// Saved games in whole games: the save and load dialogs, what a save holds byte for byte, what a
// load puts back, older and broken files, the "Resume" file, and saves that fail without losing
// the one they were to replace.

#include "e2e_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kForbiddenLine = "msgbox Test Game|Please do not use any of the following "
                               "characters:\\n\" \\ / : * ? < > | ,|OK";

// Start (grey) has hotspot 1, which disappears and leads to the Garden (green); Hall is blue.
TestProject savingGame() {
    TestProject p;
    p.writeVariables({"A", "B"}, {"Name", "Brave", "Gold", "When"});
    p.writeFrame("Start", colourFrame(0x808080));
    p.writeHotspots("Start", {hotspotAt(1, 10, 10, 40, 40)});
    tv::ActionRecord leave = goTo("Garden");
    leave.Disappear = tv::RecordValue::ofNumber(1);
    p.writeActions("Start", {leave});
    p.writeFrame("Garden", colourFrame(0x00FF00));
    p.writeFrame("Hall", colourFrame(0xFF0000));
    p.addItem("Key", 0xC0A000);
    p.addItem("Map", 0x806040);
    return p;
}

QString saveFolder(const TestProject& p) {
    return p.documents() + "/Savegames/Test Game/";
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeSave(const TestProject& p, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(saveFolder(p));
    QFile f(saveFolder(p) + name + ".sav");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Saves under `name` from the game's window.
QString saveAs(const QString& name) {
    return "key S ctrl\n"
           "type " +
           name + "\nbutton SAVE\n";
}

QString loadSave(const QString& name) {
    return "key L ctrl\n"
           "select " +
           name + "\nbutton LOAD\n";
}

} // namespace

TEST(SavedGames, ALoadBringsBackTheFrameVariablesHiddenHotspotsItemsAndHistory) {
    TestProject p = savingGame();
    const RunResult r =
        p.play("click 20 20\n"
               "expect frame Garden\n"
               "exec A.Value = 1 : B.Value = 7 : Name.Value = \"Ann\" : Brave.Value = True : "
               "Gold.Value = 12.5 : When.Value = DateSerial(2005, 3, 7)\n"
               "exec AddItem \"Key\", True : AddItem \"Map\", True\n"
               "key S ctrl\n"
               "expect log window frmSaveGame|Save\n"
               "type First save\n"
               "button SAVE\n"
               "expect frame Garden\n"
               "exec A.Value = 0 : B.Value = 0 : Name.Value = \"Bob\" : RemoveAllItems : GoToFrame "
               "\"Hall\"\n"
               "expect frame Hall\n"
               "key L ctrl\n"
               "expect log window frmLoadGame|Load\n"
               "select First save\n"
               "button LOAD\n"
               "expect frame Garden\n"
               "expect variable A 1\n"
               "expect variable B 7\n"
               "expect variable Name Ann\n"
               "expect items Key,Map\n"
               "exec MsgBox TypeName(Brave.Value) & \",\" & TypeName(Gold.Value) & \",\" & "
               "TypeName(When.Value) & \",\" & Gold.Value & \",\" & Year(When.Value)\n"
               "expect log |Boolean,Double,Date,12.5,2005|\n"
               // The history came back: one step back is the Start, whose hotspot stays hidden.
               "exec GoToFrame \"last visited frame\"\n"
               "expect frame Start\n"
               "expect hidden 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // The file Windows players write, field for field.
    const QString path = saveFolder(p) + "First save.sav";
    EXPECT_EQ(readBytes(path), QByteArray("\"Garden\"\r\n2\r\n\"A\"\r\n1\r\n\"B\"\r\n7\r\n"
                                          "1\r\n\"Start\"\r\n1\r\n"
                                          "2\r\n\"Key\"\r\n\"Map\"\r\n"
                                          "2\r\n\"Start\"\r\n\"Garden\"\r\n"
                                          "\"\"\r\n\"\"\r\n\"\"\r\n\"E2E\"\r\n\"Test Game\"\r\n"
                                          "\"03/07/2005\"\r\n\"Version 4.3.0\"\r\n"
                                          "4\r\n\"Name\"\r\n\"Ann\"\r\n\"Brave\"\r\n#TRUE#\r\n"
                                          "\"Gold\"\r\n12.5\r\n\"When\"\r\n#2005-03-07#\r\n"));
    // Beside it, a small picture of the frame for the dialogs.
    EXPECT_TRUE(QFileInfo(path + ".png").isFile());
}

TEST(SavedGames, AnOlderFileThatEndsAfterTheInventoryLoadsWithoutHistoryOrVariants) {
    TestProject p = savingGame();
    writeSave(p, "Old", "\"Garden\"\r\n1\r\n\"A\"\r\n1\r\n0\r\n1\r\n\"Key\"\r\n");
    const RunResult r = p.play("click 20 20\n"
                               "exec Name.Value = \"Bob\" : B.Value = 3 : GoToFrame \"Hall\"\n" +
                               loadSave("Old") +
                               "expect frame Garden\n"
                               "expect variable A 1\n"
                               "expect variable B 0\n"
                               "expect variable Name 0\n"
                               "expect items Key\n"
                               // Only the Garden is in the history: there is no way back.
                               "exec GoToFrame \"last visited frame\"\n"
                               "expect frame Garden\n"
                               "exec GoToFrame \"Start\"\n"
                               "expect visible 1\n"
                               "expect nolog msgbox Error\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(SavedGames, ABrokenFileIsReportedAndTheRunningGameStaysAsItWas) {
    TestProject p = savingGame();
    writeSave(p, "Broken", "\"Garden\"\r\n2\r\n\"A\"\r\n1\r\n");
    const QString path = saveFolder(p) + "Broken.sav";
    const RunResult r =
        p.play("exec A.Value = 5 : AddItem \"Key\", True : GoToFrame \"Hall\"\n"
               "key L ctrl\n"
               "select Broken\n"
               "button LOAD\n"
               "expect log " +
               errorReportLine(" Unable to load '" + path + "'.\\n\\nInput past end of file") +
               "\n"
               "button Cancel\n"
               "expect frame Hall\n"
               "expect variable A 5\n"
               "expect items Key\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(SavedGames, NamesWithAnyOfTheTenCharactersAreRefusedAndSpacesAreFine) {
    TestProject p = savingGame();
    QString walk;
    for (const QString c : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|", ","})
        walk += "key S ctrl\ntype a" + c + "b\nbutton SAVE\nexpect log " + kForbiddenLine +
                "\nbutton Cancel\n";
    walk += "key S ctrl\nbutton SAVE\n"
            "expect log msgbox Save|Enter the name of the file you want to save|OK\n"
            "button Cancel\n" +
            saveAs("a b");
    const RunResult r = p.play(walk);
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(QDir(saveFolder(p)).entryList({"*.sav"}), QStringList{"a b.sav"});
}

TEST(SavedGames, ReplacingAndRemovingAskFirst) {
    TestProject p = savingGame();
    const QString path = saveFolder(p) + "Slot.sav";
    const RunResult r =
        p.play(saveAs("Slot") +
               "exec GoToFrame \"Hall\"\n"
               // Cancel keeps the save made at the Start.
               "answer Cancel\n" +
               saveAs("Slot") +
               "expect log msgbox Save|'Slot' already exists. Do you want to replace it?|Cancel\n"
               "button Cancel\n"
               "exec A.Value = 5\n"
               // Chosen from the list, and replaced this time.
               "key S ctrl\n"
               "select Slot\n"
               "answer OK\n"
               "button SAVE\n"
               "expect log msgbox Save|'Slot' already exists. Do you want to replace it?|OK\n"
               // Removing: nothing chosen, then chosen and kept, then removed.
               "key S ctrl\n"
               "button Remove Selected\n"
               "expect log msgbox Remove Saved File|Please select something.|OK\n"
               "select Slot\n"
               "answer Cancel\n"
               "button Remove Selected\n"
               "expect log msgbox Remove Saved File|Do you really want to remove '" +
               path +
               "'?|Cancel\n"
               "button Cancel\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(readBytes(path).startsWith("\"Hall\"\r\n2\r\n\"A\"\r\n5\r\n"));

    const RunResult removed = p.play("key S ctrl\n"
                                     "select Slot\n"
                                     "answer OK\n"
                                     "button Remove Selected\n"
                                     "button Cancel\n");
    EXPECT_EQ(removed.exitCode, 0) << show(removed);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + ".png")) << "the picture goes with its save";
}

TEST(SavedGames, AFailedSaveLeavesTheOldOneWholeAndSaysSo) {
    TestProject p = savingGame();
    const QString path = saveFolder(p) + "Slot.sav";
    ASSERT_EQ(p.play(saveAs("Slot")).exitCode, 0);
    const QByteArray old = readBytes(path);
    ASSERT_TRUE(old.startsWith("\"Start\""));

    // The disk fills up while the new save is written.
    p.setFileSizeLimit(4096);
    const QString failed =
        errorReportLine(" Unable to save '" + path +
                        "'.\\nVerify that this file is not Read-Only and that it does not "
                        "contain any of the following characters: \" \\ / : * ? < > | ,");
    const RunResult r = p.play("exec GoToFrame \"Hall\" : Name.Value = Space(6000)\n"
                               "answer OK\n" +
                               saveAs("Slot") + "expect log " + failed +
                               "\n"
                               "button Cancel\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(saveFolder(p)).entryList(QDir::Files), (QStringList{"Slot.sav", "Slot.sav.png"}))
        << "no half-written file is left behind";

    // A folder in the way of the save is no save to replace.
    p.setFileSizeLimit(0);
    QDir().mkpath(saveFolder(p) + "Folder.sav/inside");
    const RunResult blocked =
        p.play("answer OK\n" + saveAs("Folder") + "expect log " +
               QString(failed).replace("Slot.sav", "Folder.sav") + "\nbutton Cancel\n");
    EXPECT_EQ(blocked.exitCode, 0) << show(blocked);
    EXPECT_TRUE(QFileInfo(saveFolder(p) + "Folder.sav/inside").isDir());
}

TEST(SavedGames, TheResumeFileSendsALoadedGameElsewhere) {
    TestProject p = savingGame();
    tv::ResumeFile resume;
    resume.Pairs = {{"garden", "Hall"}};
    p.description().resume = resume;
    const RunResult r =
        p.play("click 20 20\n" + saveAs("Here") + loadSave("Here") + "expect frame Hall\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(SavedGames, ASaveDuringADialogueResumesWhereTheDialogueBegan) {
    TestProject p = savingGame();
    tv::DialogueFile talk;
    tv::DialogueQuestion q;
    q.Question = "Hello?";
    q.Id = 1;
    q.ShownAtStart = true;
    talk.questions = {q};
    p.writeFrame("Talk", colourFrame(0x404040));
    p.writeDialogue("Talk", talk);
    const RunResult r = p.play("exec GoToFrame \"Talk\"\n"
                               "expect frame Talk\n"
                               "exec GoToFrame \"Hall\"\n"
                               "expect frame Hall\n" +
                               saveAs("Talking") + loadSave("Talking") + "expect frame Talk\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(readBytes(saveFolder(p) + "Talking.sav").startsWith("\"Talk\"\r\n"));
}

TEST(SavedGames, AVariableSavedAsMinusOneIsToggledOnLoad) {
    TestProject p = savingGame();
    // -1 is the toggle code of the variables' change: a loaded game finds 0 toggled to 1.
    const RunResult r =
        p.play("exec A.Value = -1 : B.Value = 1\n" + saveAs("Toggle") + loadSave("Toggle") +
               "expect variable A 1\n"
               "expect variable B 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(readBytes(saveFolder(p) + "Toggle.sav").contains("\"A\"\r\n-1\r\n"));
}

TEST(SavedGames, TheWelcomeWindowLoadsAGame) {
    TestProject p = savingGame();
    p.settings().SkipWelcomeScreen = false;
    writeSave(p, "Kept", "\"Garden\"\r\n1\r\n\"A\"\r\n1\r\n0\r\n1\r\n\"Key\"\r\n");
    const RunResult r = p.play("button Load...\n"
                               "expect log window frmLoadGame|Load\n"
                               "select Kept\n"
                               "button LOAD\n"
                               "expect frame Garden\n"
                               "expect variable A 1\n"
                               "expect items Key\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(SavedGames, TheLoadKeyWaitsWhileAScriptTimerRunsButAScriptAsksAnyway) {
    TestProject p = savingGame();
    p.writeProcedures("Sub TimerObject1()\r\nEnd Sub\r\n");
    const RunResult r =
        p.play(saveAs("Here") + "exec TimerObject.Load 1 : TimerObject(1).Interval = 1000 : "
                                "TimerObject(1).Enabled = True\n"
                                "key L ctrl\n"
                                "expect nolog window frmLoadGame\n"
                                "exec PopupLoadGame\n"
                                "expect log window frmLoadGame\n"
                                "button Cancel\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
