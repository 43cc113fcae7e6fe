// Words on screen in whole games: the message strip and its time, message boxes, captions and
// dialogues.

#include "e2e_harness.h"

#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::FrameRecord;
using tv::RecordValue;

namespace {

ActionRecord message(const QString& text, bool inFrame) {
    ActionRecord a;
    a.ShowMessage = RecordValue::ofNumber(1);
    a.MessageText = RecordValue::ofString(text);
    a.MessageOption = RecordValue::ofBool(inFrame);
    return a;
}

} // namespace

TEST(MessageStrip, StaysSeventyMillisecondsACharacterAndASecondMore) {
    TestProject p; // 320 x 200
    p.writeFrame("Start", colourFrame(0));
    // Two message hotspots at the top, and a probe along the bottom edge, under the strip: a
    // click there hides the strip while it shows, and reaches the probe once it is gone.
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 40, 40), hotspotAt(2, 50, 0, 40, 40),
                              hotspotAt(3, 100, 0, 40, 40), hotspotAt(4, 0, 185, 320, 15)});
    p.writeActions("Start", {message("abcdefghijklmnopqrstuvwxyz1234", true), // 30 characters
                             message("", true), message("[HIDE]", true),
                             setVariable("Probe", false, true, false)});
    p.writeVariables({"Probe"});
    const RunResult r = p.play(
        // Each click is followed by the game's own 100 ms pause.
        "click 10 10\n"
        "expect log message abcdefghijklmnopqrstuvwxyz1234\n"
        "wait 2900\n"
        "click 160 195\n"
        "expect variable Probe 0\n" // the strip was still there, and the click hid it
        "click 10 10\n"
        "wait 3000\n"
        "click 160 195\n"
        "expect variable Probe 1\n" // 3100 ms later the strip had gone
        // An empty message stays one second.
        "click 60 10\n"
        "wait 800\n"
        "expect pixel 160 195 FFFFFF\n"
        "wait 150\n"
        "expect pixel 160 195 000000\n"
        // "[HIDE]" in capitals hides the strip instead of showing the word.
        "click 10 10\n"
        "click 110 10\n"
        "expect nolog message [HIDE]\n"
        "expect pixel 160 195 000000\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.log.contains("message ")) << "the empty message is logged too";
}

TEST(MessageStrip, AMessageOutsideTheFrameIsABoxWithTheGameTitle) {
    TestProject p;
    p.settings().GameTitle = "The Lighthouse";
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 40, 40)});
    p.writeActions("Start", {message("Caf\u00e9 at the \u201cquay\u201d \u20ac2", false)});
    const RunResult r = p.play("click 10 10\n"
                               "expect log msgbox The Lighthouse|Caf\u00e9 at the \u201cquay\u201d "
                               "\u20ac2|OK\n"
                               "expect nolog message\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

namespace {

tv::FrameTextRecord caption(int number, const QString& text, int x, int y, quint32 colour,
                            const QString& font = "Arial", double size = 12) {
    tv::FrameTextRecord t;
    t.Number = qint16(number);
    t.Caption = text;
    t.Left = x * 15;
    t.Top = y * 15;
    t.FontName = font;
    t.FontSize = size;
    t.Colour = qint32(colour);
    return t;
}

tv::DialogueQuestion question(int id, const QString& text, const QString& answer, bool shown) {
    tv::DialogueQuestion q;
    q.Id = qint16(id);
    q.Question = text;
    q.Answer = answer;
    q.ShownAtStart = shown;
    return q;
}

} // namespace

TEST(Captions, DrawnInTheirColourWithTheMergedIndexAndTheEmptyRules) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    // Numbers 1, 2, 3 made here, then 1, 2 merged in from another frame: the merged part starts
    // at element 4. An "[Empty]" caption shows nothing; an empty font name is Arial.
    tv::FrameTextRecord big = caption(1, "MMMM", 20, 20, 0x0000FF, "", 28); // red
    big.Bold = true;
    // The same word in the font that stands for Arial here: it takes the same room.
    tv::FrameTextRecord same = caption(3, "MMMM", 150, 100, 0x00FF00, "Liberation Sans", 28);
    same.Bold = true;
    p.writeTexts("Start",
                 {big, caption(2, "[Empty]", 100, 20, 0xFFFFFF),
                  caption(3, "three", 150, 20, 0x00FF00),
                  caption(1, "merged one", 20, 100, 0xFF0000),
                  caption(2, "merged two", 20, 130, 0xFF0000), same},
                 true);
    // The plain file is there too, but the merged one is read.
    p.writeTexts("Start", {caption(1, "plain", 20, 20, 0xFFFFFF)});
    p.writeVariables({}, {"Merged", "Second", "FontName", "SameWidth"});
    FrameRecord start = colourFrame(0);
    // The frame's script, stored with a vertical bar for each double quote.
    start.CallProcedure = true;
    start.ProcedureCall = RecordValue::ofString(
        QString("Merged.Value = GetMergedTextIndex(): Second.Value = \"[\" & Text(2).Caption & "
                "\"]\": FontName.Value = Text(1).FontName: "
                "SameWidth.Value = (Text(1).Width = Text(6).Width)")
            .replace('"', '|'));
    p.writeFrame("Start", start);
    const RunResult r = p.play("expect pixel 26 32 FF0000 40\n"
                               "expect variable Merged 4\n"
                               "expect variable Second []\n"
                               "expect variable FontName Arial\n"
                               "expect variable SameWidth True\n"
                               "expect pixel 5 5 000000\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Dialogues, AQuestionAnswersRunsItsScriptHidesItselfAndShowsAnother) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeVariables({}, {"Asked"});
    tv::DialogueFile d;
    tv::DialogueQuestion who = question(1, "Who are you?", "Just an old sailor.", true);
    who.Script1 = "Asked.Value = |who|";
    who.HideList = {1};
    who.ShowList = {3};
    tv::DialogueQuestion bye = question(2, "Goodbye.", "", true);
    bye.EndsDialogue = true;
    d.questions = {who, question(3, "Tell me about the sea.", "It is wide.", false), bye};
    p.writeDialogue("Start", d);
    // The panel lies along the bottom of the 320 x 200 frame; the first question at the top of it.
    const RunResult r = p.play("expect log frame Start\n"
                               "click 40 140\n"
                               "expect variable Asked who\n"
                               "expect log message Just an old sailor.\n"
                               "wait 3000\n"
                               "click 40 140\n"
                               "expect log message It is wide.\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Dialogues, ABrokenDialogueFileIsReportedAndTheFrameStillOpens) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 40, 40)});
    p.writeFile("FramesData/Start.dlg", "0,0,0,\"a\",\"b\",0,0,0,0,0,0,2\r\n\"Only one\"");
    const RunResult r = p.play("expect log msgbox Error|Input past end of file\\n\\nError loading "
                               "the dialogue.|OK\n"
                               "expect visible 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Dialogues, HotspotActionsEndThemUnlessAQuestionRanThemAndTimersLeaveThem) {
    // Start: a dialogue with one question whose hotspot 1 action goes to Other; hotspot 1 does
    // the same when clicked itself, hotspot 2 runs QuitDialogue. The panel's black shows at the
    // bottom right while the dialogue is on; the frames are grey.
    auto project = [](TestProject& p, bool timer) {
        FrameRecord start = colourFrame(0x808080);
        p.writeFrame("Start", timer ? withTimer(start, 1, "Other") : start);
        p.writeFrame("Other", colourFrame(0x808080));
        p.writeHotspots("Start", {hotspotAt(1, 0, 0, 40, 40), hotspotAt(2, 50, 0, 40, 40)});
        ActionRecord quit;
        quit.CallProcedure = true;
        quit.ProcedureCall = RecordValue::ofString("QuitDialogue");
        p.writeActions("Start", {goTo("Other"), quit});
        tv::DialogueFile d;
        tv::DialogueQuestion go = question(1, "Over there, please.", "", true);
        go.Hotspot1 = 1;
        d.questions = {go};
        p.writeDialogue("Start", d);
    };
    const QString on = "expect pixel 310 190 000000\n", off = "expect pixel 310 190 808080\n";

    TestProject byHotspot;
    project(byHotspot, false);
    RunResult r = byHotspot.play(on + "click 20 20\nexpect frame Other\n" + off);
    EXPECT_EQ(r.exitCode, 0) << "a hotspot that changes frame ends it\n" << show(r);

    TestProject byQuestion;
    project(byQuestion, false);
    r = byQuestion.play("click 40 160\nexpect frame Other\n" + on);
    EXPECT_EQ(r.exitCode, 0) << "the same action run by a question keeps it\n" << show(r);

    TestProject byTimer;
    project(byTimer, true);
    r = byTimer.play("wait 1000\nexpect frame Other\n" + on);
    EXPECT_EQ(r.exitCode, 0) << "the frame timer's change leaves it running\n" << show(r);

    TestProject byScript;
    project(byScript, false);
    r = byScript.play(on + "click 70 20\nexpect frame Start\n" + off);
    EXPECT_EQ(r.exitCode, 0) << "QuitDialogue from a script ends it\n" << show(r);
}
