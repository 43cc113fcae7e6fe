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

ActionRecord setToOne(const QString& variable) {
    ActionRecord a;
    a.ChangeVariable = 1;
    a.VariableName = variable;
    a.SetToOne = RecordValue::ofBool(true);
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
                             message("", true), message("[HIDE]", true), setToOne("Probe")});
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
