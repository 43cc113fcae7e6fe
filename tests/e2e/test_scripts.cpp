#include "e2e_harness.h"

#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::RecordValue;

namespace {
// A hotspot's own code is its procedure call, stored with a vertical bar for each double quote.
ActionRecord script(const QString& code) {
    ActionRecord r;
    QString stored = code;
    stored.replace('"', '|');
    r.CallProcedure = true;
    r.ProcedureCall = RecordValue::ofString(stored);
    return r;
}

const QString kRunFailure =
    "msgbox Error|An error has occurred. The program may not work properly. Click OK and then "
    "press Ctrl+Q to quit. Error description:\\n\\nError executing script. The Scripting Engine "
    "returned the following error message:\\n\\n";
} // namespace

TEST(Scripts, AHotspotScriptChangesVariablesAndGoesToAFrame) {
    TestProject p;
    p.writeVariables({"Score"}, {"Name"});
    p.writeFrame("Start", colourFrame(0));
    p.writeFrame("Hall", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
    p.writeActions("Start", {script("Score.Value = Score.Value + 2\r\n"
                                    "Name.Value = \"Ann\" & GetHotspotNumber()\r\n"
                                    "If Score.Value >= 4 Then GoToFrame \"Hall\""),
                             goTo("Nowhere")});
    const RunResult r = p.play("click 20 20\n"
                               "expect variable Score 2\n"
                               "expect variable Name Ann1\n"
                               "expect frame Start\n"
                               "click 20 20\n"
                               "expect frame Hall\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, ScriptMessageBoxesAreLoggedWithTheGameTitle) {
    TestProject p;
    tv::FrameRecord start = colourFrame(0);
    start.CallProcedure = true;
    start.ProcedureCall = RecordValue::ofString("MsgBox |Welcome| & |!|");
    // Plugin actions of unknown plugins add nothing.
    start.StartupScript =
        RecordValue::ofString(QString("{Nobody}") + QChar(254) + "x" + QChar(254));
    p.writeFrame("Start", start);
    const RunResult r = p.play("expect log msgbox Test Game|Welcome!|OK\n"
                               "answer No\n"
                               "exec If MsgBox(\"Sure?\", vbYesNo, \"Ask\") = vbNo Then Quit\n"
                               "wait 1000\n"
                               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, RunFailuresAndTheCreateObjectGuardHaveTheirMessages) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    const RunResult r = p.play("exec x = 1 / 0\n"
                               "expect log " +
                               kRunFailure +
                               "Division by zero|OK\n"
                               "exec Set o = CreateObject(\"Scripting.FileSystemObject\")\n"
                               "expect log msgbox VBScript Execution Aborted|WARNING! The VBScript "
                               "code makes calls to the \"CreateObject\" function, which for "
                               "security reasons is not allowed.\\n\\nPlease remove the calls to "
                               "that function and try again.|OK\n"
                               // Written in lower case, the call is not caught before the
                               // run; the library's own CreateObject then refuses it.
                               "exec createobject(\"Scripting.FileSystemObject\")\n"
                               "expect log msgbox Unavailable Function|For security reasons, "
                               "the \"CreateObject\" function is disabled in this version of "
                               "VBScript.|OK\n"
                               "expect nolog VBScript Execution Aborted\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, CodeOfOnlySpacesAndLineBreaksDoesNothing) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Start", {script("  \r\n  \r\n")});
    const RunResult r = p.play("click 20 20\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_FALSE(r.log.join('\n').contains("msgbox")) << show(r);
}

TEST(ScriptFunctions, PathsNumbersVersionAndParameters) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    const QString root = p.root() + "/";
    const RunResult r = p.play(
        "exec MsgBox GetPath(0) & \"|\" & GetPath(1) & \"|\" & GetPath(2) & \"|\" & GetPath(9)\n"
        "expect log msgbox Test Game|" +
        root + "|" + root + "|" + root + "External/|" + root +
        "External/|OK\n"
        "exec MsgBox GetPath(5) & GetPath(3)\n"
        "expect log |" +
        root + "Frames/" + root +
        "Config/|OK\n"
        "exec MsgBox ConvertToNumber(\"12abc\") + ConvertToNumber(\"abc\") + "
        "ConvertToNumber(\" -1.5e1x\")\n"
        "expect log |-3|OK\n"
        "exec MsgBox GetTNVersion()\n"
        "expect log |Version 4.3.0|OK\n"
        "exec MsgBox TypeName(LoadParameter(\"Never\", 5)) & LoadParameter(\"Never\", 5)\n"
        "expect log |String5|OK\n"
        "exec SaveParameter \"Lives\", 3\n"
        "exec MsgBox LoadParameter(\"Lives\", 0) & DOUBLEQUOTES() & "
        "ConvertQuotesIntoDoubleQuotes(\"a\"\"b\")\n"
        "expect log |3\"a\"\"b|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(ScriptFunctions, SimulatedClicksAndFramesFromScripts) {
    TestProject p;
    p.writeVariables({"Clicks"});
    p.writeFrame("Start", colourFrame(0));
    p.writeFrame("Hall", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Start", {script("Clicks.Value = Clicks.Value + 1\r\n"
                                    "If Clicks.Value = 3 Then GoToFrame \"Hall\"")});
    const RunResult r = p.play("exec SimulateHotspotClick 1: SimulateHotspotClick 1\n"
                               "wait 10\n"
                               "expect variable Clicks 2\n"
                               "expect frame Start\n"
                               "click 20 20\n"
                               "expect frame Hall\n"
                               "exec GoToFrame \"last visited frame\"\n"
                               "expect frame Start\n"
                               "exec MsgBox GetCurrentFrameName() & GetMergedHotspotIndex()\n"
                               "expect log |Start1|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(TimedEvents, DelaysRepeatsLimitsAndFrameChanges) {
    TestProject p;
    p.writeVariables({"Ticks", "Once"});
    p.writeFrame("Start", colourFrame(0));
    p.writeFrame("Hall", colourFrame(0));
    const RunResult r =
        p.play("exec MsgBox CreateTimedEvent(65.5, \"Once.Value = 1\", False)\n"
               "expect log |0|OK\n"
               "exec MsgBox CreateTimedEvent(65, \"Once.Value = 1\", False)\n"
               "expect log |1|OK\n"
               "exec MsgBox CreateTimedEvent(2, \"Ticks.Value = Ticks.Value + 1\", True)\n"
               "expect log |2|OK\n"
               "wait 7000\n"
               "expect variable Ticks 3\n"
               "wait 60000\n"
               "expect variable Once 1\n"
               "exec RemoveTimedEvent 0: RemoveTimedEvent 99: RemoveTimedEvent 2\n"
               "wait 10000\n"
               "expect variable Ticks 33\n"
               // A frame change sweeps every event away; the next one is number 1 again.
               "exec CreateTimedEvent 1, \"Ticks.Value = 0\", False: GoToFrame \"Hall\"\n"
               "wait 5000\n"
               "expect variable Ticks 33\n"
               "exec MsgBox CreateTimedEvent(0, \"Ticks.Value = 0\", False)\n"
               "expect log |1|OK\n"
               "wait 5000\n"
               "expect variable Ticks 33\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.log.contains(
        errorReportLine(" The duration of a timed event cannot be greater than 65 seconds.")))
        << show(r);
}

TEST(TimedEvents, ScriptTimersCallTheirProcedures) {
    TestProject p;
    p.writeVariables({"Ticks"});
    p.writeProcedures("Sub TimerObject0()\r\n"
                      "  Ticks.Value = Ticks.Value + 1\r\n"
                      "  If Ticks.Value = 3 Then TimerObject(0).Enabled = False\r\n"
                      "End Sub");
    p.writeFrame("Start", colourFrame(0));
    const RunResult r = p.play("exec TimerObject(0).Interval = 500: TimerObject(0).Enabled = True\n"
                               "wait 5000\n"
                               "expect variable Ticks 3\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, TheRecordAndTheScriptOfAHotspotBothChangeVariables) {
    TestProject p;
    p.writeVariables({"Score", "Door"});
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    // The record's own change comes first, then the hotspot's code.
    ActionRecord r = script("Score.Value = Score.Value + 5\r\n"
                            "If Door.Value = 1 Then Score.Value = Score.Value * 2");
    r.ChangeVariable = 1;
    r.VariableName = "Door";
    r.SetToOne = RecordValue::ofBool(true);
    p.writeActions("Start", {r});
    const RunResult r1 = p.play("click 20 20\n"
                                "expect variable Door 1\n"
                                "expect variable Score 10\n");
    EXPECT_EQ(r1.exitCode, 0) << show(r1);
}

TEST(Scripts, AFrameAScriptAsksForBeatsTheRecordsOwnDestination) {
    TestProject p;
    for (const char* name : {"Start", "Hall", "Cellar"})
        p.writeFrame(name, colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
    ActionRecord toCellar = script("GoToFrame \"Cellar\", 1.5, 3");
    toCellar.GoToFrame = 1;
    toCellar.Destination = "Hall";
    p.writeActions("Start", {toCellar, script("GoToFrame \"Hall\"")});
    const RunResult r = p.play("click 20 20\n"
                               "expect frame Cellar\n"
                               "wait 1600\n" // the script's slide
                               "exec GoToFrame \"Start\"\n"
                               "expect frame Start\n"
                               "click 80 20\n"
                               "expect frame Hall\n"
                               "exec GoToFrame \"LAST VISITED FRAME\"\n"
                               "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, TheGameStartScriptIsStoredWithVerticalBars) {
    TestProject p;
    p.settings().GameStartScriptEnabled = true;
    p.settings().GameStartScript =
        "MsgBox \"Hello \" & DOUBLEQUOTES() & GetCurrentFrameName() & Hotspot.Count";
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    // The initial frame is named but not open yet when the game-start code runs.
    const RunResult r = p.play("expect log msgbox Test Game|Hello \"Start1|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, VariablesThatClashFailThePreparationWithItsMessage) {
    TestProject p;
    p.writeVariables({"Score", "Score"});
    p.writeFrame("Start", colourFrame(0));
    const RunResult r =
        p.play("exec MsgBox 1\n"
               "expect log msgbox Error|An error has occurred. The program may not work properly. "
               "Click OK and then press Ctrl+Q to quit. Error description:\\n\\nError executing "
               "script.\\n- your system is not set to use chinese characters, or other special "
               "character sets;\\n- your global variables do not have names that are reserved by "
               "Torvane.\\n\\nThe Scripting Engine returned the following error message:\\n\\n"
               "This key is already associated with an element of this collection: 'Score'|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, TheTimeOutStopsAScriptThatNeverEnds) {
    TestProject p;
    p.writeFile("Config/More", "[General]\r\nScriptTimeOut=1\r\n");
    p.writeFrame("Start", colourFrame(0));
    const RunResult r =
        p.play("exec MsgBox ScriptControlObject.Timeout & \"/\" & ScriptControl2Object.Timeout\n"
               "expect log |1000/15000|OK\n"
               "exec Do : Loop\n"
               "expect log " +
               kRunFailure + "The script ran longer than its time-out and was stopped|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, SpecialVariablesLiftTheTimeOutAndExposeTheWholeWindow) {
    TestProject p;
    p.writeVariables({"disable_script_timeout"}, {"REFERENCE_ALL_CONTROLS"});
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    const RunResult r = p.play(
        "exec MsgBox ScriptControlObject.Timeout & \"/\" & ScriptControl2Object.Timeout\n"
        "expect log |-1/-1|OK\n"
        // Every control of the window is a global name, control sets and timers too.
        "exec MsgBox PictureBox.Visible & \"/\" & Area.UBound & \"/\" & Area(1).Visible & \"/\" & "
        "TypeName(Timer1.Interval) & \"/\" & SoftwareObjects.Name\n"
        "expect log |True/1/True/Long/Game|OK\n"
        "exec DoNotAllowControlsReferencesNextTime\n"
        "exec MsgBox TypeName(PictureBox)\n"
        "expect log |Empty|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(ScriptFunctions, TheDesktopFilesAndProgramsFromScripts) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeFile("External/Read me.txt", "hello");
    p.writeFile("External/Notes/a1.txt", "1");
    p.writeFile("External/Notes/b2.txt", "2");
    p.writeFile("External/Notes/a3.dat", "3");
    const QString external = p.root() + "/External/";
    const RunResult r = p.play(
        // Automated runs log what would open instead of starting a browser.
        "exec OpenURL \"https://example.org/\"\n"
        "expect log open https://example.org/\n"
        "exec SendEmail \"ann@example.org\": SendEmail \"\"\n"
        "expect log open mailto:ann@example.org\n"
        "exec OpenFile \"read ME.TXT\"\n"
        "expect log open " +
        external +
        "Read me.txt\n"
        "exec OpenFile \"Missing.txt\"\n"
        "expect log " +
        errorReportLine(" Error opening the file titled 'Missing.txt'.\\n\\nFile not found") +
        "\n"
        "exec OpenExeFileAndWait \"\\bin\\true\"\n"
        "expect log run /bin/true\n"
        "exec OpenExeFileAndWait \"Setup.exe\"\n"
        "expect log Error opening the file titled 'Setup.exe'.\n"
        // Dir: the first match, then the next ones, then nothing.
        "exec MsgBox DDir(GetPath(2) & \"notes\\a*.TXT\") & \"/\" & DDir() & \"/\" & DDir(\"\") & "
        "\"/\" & DDir(GetPath(2) & \"Notes\\*.*\") & DDir() & DDir() & DDir()\n"
        "expect log |a1.txt///a1.txta3.datb2.txt|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(ScriptFunctions, PicturesControlsAndSwitchesFromScripts) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(Qt::red);
    p.writeImage("Areas/red.bmp", red, "BMP");
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
    const RunResult r = p.play(
        "exec Set pic = LoadGraphicFile(\"RED.bmp\"): MsgBox pic.Width & \"/\" & pic.Type & \"/\" "
        "& TypeName(LoadGraphicFile(\"none.bmp\")) & \"/\" & LoadGraphicFile(\"\").Type\n"
        "expect log |212/1/Nothing/0|OK\n"
        "exec LoadAPicture Hotspot(1), \"red.bmp\": MsgBox Hotspot(1).Picture.Height\n"
        "expect log |159|OK\n"
        // A missing file changes nothing; an empty name clears the picture.
        "exec LoadAPicture Hotspot(1), \"gone.bmp\": MsgBox Hotspot(1).Picture.Height\n"
        "expect log |159|OK\n"
        "exec LoadAPicture Hotspot(1), \"\": MsgBox Hotspot(1).Picture.Type\n"
        "expect log |0|OK\n"
        "exec SaveAPicture LoadGraphicFile(\"red.bmp\"), \"saved.bmp\"\n"
        "exec MsgBox LoadPicture(GetPath(0) & \"saved.bmp\").Width\n"
        "expect log |212|OK\n"
        "exec MsgBox UnloadControl(Hotspot(2)) & \"/\" & Hotspot.Count & \"/\" & "
        "UnloadControl(Hotspot(0)) & \"/\" & LoadControl(Hotspot(1))\n"
        "expect log |True/2/False/False|OK\n"
        "exec InvertTransitionsStatus: MsgBox GetTransitionsStatus() & \"/\" & GetEffectsStatus()\n"
        "expect log |False/True|OK\n"
        "exec MsgBox DoesComponentExist(\"Radar\") & \"/\" & IsComponentInstalled(\"x.y\") & \"/\" "
        "& (GetDisplayResolutionX() > 0) & \"/\" & AppObject.Title\n"
        "expect log |False/False/True/Test Game|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(ScriptFunctions, StopEverythingStopsTheGameAtOnce) {
    TestProject p;
    p.writeVariables({"Ticks"});
    p.writeFrame("Start", withTimer(colourFrame(0), 2, "Hall"));
    p.writeFrame("Hall", colourFrame(0));
    const RunResult r = p.play("exec CreateTimedEvent 1, \"Ticks.Value = 1\", True\n"
                               "exec StopEverything\n"
                               "wait 5000\n"
                               "expect frame Start\n"
                               "expect variable Ticks 0\n"
                               // No script runs any more.
                               "exec Ticks.Value = 5\n"
                               "expect variable Ticks 0\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Scripts, TheMoreFileAllowsCreateObjectAndKeepsTheTimeOutAtZero) {
    TestProject p;
    p.writeFile("Config/More", "[General]\r\nAllowCreateObject=1\r\nScriptTimeOut=0\r\n");
    p.writeFrame("Start", colourFrame(0));
    const RunResult r = p.play("exec Call CreateObject(\"Scripting.Dictionary\")\n"
                               "expect nolog msgbox\n"
                               "exec MsgBox ScriptControlObject.Timeout\n"
                               "expect log |15000|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(ScriptFunctions, ParametersOutliveTheGame) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    const RunResult first = p.play("exec SaveParameter \"Best\", 42\n");
    EXPECT_EQ(first.exitCode, 0) << show(first);
    const RunResult second = p.play("exec MsgBox LoadParameter(\"Best\", 0)\n"
                                    "expect log |42|OK\n");
    EXPECT_EQ(second.exitCode, 0) << show(second);
}

TEST(ScriptFunctions, TheSparePictureBoxTakesAWholePictureUnseen) {
    TestProject p;
    // A background wider than the display, whose right half only the spare box can give.
    QImage wide(800, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 400; x < wide.width(); ++x)
            wide.setPixel(x, y, qRgb(0, 255, 0));
    p.writeImage("Frames/wide.bmp", wide, "BMP");
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(Qt::red);
    p.writeImage("Areas/red.bmp", red, "BMP");
    p.writeFrame("Start", pictureFrame("wide.bmp"));
    const RunResult r =
        p.play("exec Set b = PictureBoxObject(0): b.AutoSize = True: Set b.Picture = "
               "BackgroundObject.Picture: MsgBox (b.Image.Width = b.Picture.Width) & \"/\" & "
               "(b.Image.Height = b.Picture.Height) & \"/\" & (BackgroundObject.Image.Width < "
               "b.Image.Width) & \"/\" & b.Visible & \"/\" & PictureBoxObject.Count\n"
               "expect log |True/True/True/False/1|OK\n"
               // Hidden: a picture in it does not cover the frame.
               "exec LoadAPicture PictureBoxObject(0), \"red.bmp\"\n"
               "expect pixel 2 2 0000FF\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
