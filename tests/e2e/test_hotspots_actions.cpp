#include "e2e_harness.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::HotspotRecord;
using tv::RecordValue;

namespace {

HotspotRecord withConditions(HotspotRecord r, const QStringList& mustBeZero,
                             const QStringList& mustBeOne) {
    r.HasConditions = RecordValue::ofNumber(1);
    r.MustBeZero = mustBeZero;
    r.MustBeOne = mustBeOne;
    return r;
}

ActionRecord goBack() {
    ActionRecord r = noAction();
    r.GoBack = RecordValue::ofNumber(1);
    return r;
}
} // namespace

TEST(Hotspots, AThreeFrameGameWithConditionsAndAHotspotThatDisappears) {
    TestProject p;
    p.writeVariables({"Key", "Door"});
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 10, 10, 40, 40),
                              withConditions(hotspotAt(2, 100, 10, 40, 40), {}, {"Key"})});
    ActionRecord takeKey = setVariable("Key", false, true, false);
    takeKey.Disappear = RecordValue::ofNumber(1);
    p.writeActions("Start", {takeKey, goTo("Hall")});
    p.writeFrame("Hall", colourFrame(0xFFFFFF));
    p.writeHotspots("Hall", {hotspotAt(1, 0, 0, 50, 50),
                             withConditions(hotspotAt(2, 60, 0, 50, 50), {"Door"}, {}),
                             // A condition on a variable the project does not have is ignored.
                             withConditions(hotspotAt(3, 120, 0, 50, 50), {}, {"Nobody"})});
    p.writeActions("Hall", {goBack(), goTo("End"), noAction()});
    p.writeFrame("End", colourFrame(0xFF));
    const RunResult r = p.play("expect visible 1\n"
                               "expect hidden 2\n"
                               "click 120 30\n"
                               "expect frame Start\n"
                               "click 30 30\n"
                               "expect variable Key 1\n"
                               "expect hidden 1\n"
                               "expect visible 2\n"
                               "click 120 30\n"
                               "expect frame Hall\n"
                               "expect visible 2\n"
                               "expect visible 3\n"
                               "click 20 20\n"
                               "expect frame Start\n"
                               "expect hidden 1\n"
                               "expect visible 2\n"
                               "click 120 30\n"
                               "click 80 20\n"
                               "expect frame End\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Hotspots, AHotspotDisappearsOnlyInItsOwnFrame) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 10, 10, 40, 40)});
    ActionRecord vanish = goTo("Other");
    vanish.Disappear = RecordValue::ofNumber(1);
    p.writeActions("Start", {vanish});
    p.writeFrame("Other", colourFrame(0));
    p.writeHotspots("Other", {hotspotAt(1, 10, 10, 40, 40)});
    p.writeActions("Other", {goBack()});
    const RunResult r = p.play("click 20 20\n"
                               "expect frame Other\n"
                               "expect visible 1\n"
                               "click 20 20\n"
                               "expect frame Start\n"
                               "expect hidden 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Actions, ZeroThenOneThenToggleAreAppliedInThatOrder) {
    TestProject p;
    p.writeVariables({"A", "B"});
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
    p.writeActions("Start",
                   {setVariable("A", true, true, true), setVariable("B", false, false, true)});
    const RunResult r = p.play("click 20 20\n"
                               "expect variable A 0\n"
                               "click 80 20\n"
                               "expect variable B 1\n"
                               "click 80 20\n"
                               "expect variable B 0\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Actions, QuitGameComesBeforeEverythingElseOfTheRecord) {
    TestProject p;
    p.writeVariables({"Seen"});
    p.writeFrame("Start", colourFrame(0));
    p.writeFrame("Elsewhere", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    ActionRecord quit = goTo("Elsewhere");
    quit.QuitGame = RecordValue::ofNumber(1);
    quit.ShowMessage = RecordValue::ofNumber(1);
    quit.PlaySound = RecordValue::ofNumber(1);
    quit.SoundFile = RecordValue::ofString("bell.wav");
    p.writeActions("Start", {quit});
    const RunResult r = p.play("click 20 20\n"
                               "wait 1000\n"
                               "expect log quit\n"
                               "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_FALSE(r.log.join('\n').contains("play ")) << show(r);
    EXPECT_FALSE(r.log.join('\n').contains("frame Elsewhere")) << show(r);
}

TEST(Actions, GoBackOnTheFirstFrameDoesNothing) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Start", {goBack()});
    const RunResult r = p.play("expect log frame Start\n"
                               "click 20 20\n"
                               "expect frame Start\n"
                               "expect nolog frame\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Actions, TheFrameHistoryKeepsTwentyEntries) {
    TestProject p;
    p.settings().InitialFrame = "F1";
    for (int i = 1; i <= 22; ++i) {
        const QString name = QString("F%1").arg(i);
        p.writeFrame(name, colourFrame(0));
        p.writeHotspots(name, {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
        p.writeActions(name, {goTo(QString("F%1").arg(i + 1)), goBack()});
    }
    QString walk;
    for (int i = 1; i < 22; ++i)
        walk += "click 20 20\n";
    walk += "expect frame F22\n";
    for (int i = 0; i < 19; ++i)
        walk += "click 80 20\n";
    // 22 frames were visited; the oldest two fell out of the history.
    walk += "expect frame F3\nclick 80 20\nexpect frame F3\n";
    const RunResult r = p.play(walk);
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Hotspots, PicturesShowStretchedAndAMissingOneIsReported) {
    TestProject p;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 0));
    p.writeImage("Areas/red.bmp", picture, "BMP");
    p.writeFrame("Start", colourFrame(0));
    HotspotRecord shown = hotspotAt(1, 0, 0, 100, 100);
    shown.ShowPicture = RecordValue::ofBool(true);
    shown.Picture = RecordValue::ofString("RED.bmp");
    shown.Stretch = RecordValue::ofBool(true);
    HotspotRecord missing = hotspotAt(2, 150, 0, 50, 50);
    missing.ShowPicture = RecordValue::ofBool(true);
    missing.Picture = RecordValue::ofString("gone.gif");
    p.writeHotspots("Start", {shown, missing});
    p.writeActions("Start", {noAction(), noAction()});
    const RunResult r = p.play("expect pixel 50 50 FF0000\n"
                               "expect pixel 96 96 FF0000\n"
                               "expect pixel 98 98 000000\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    const QString missingPath = p.root() + "/Areas/gone.gif";
    EXPECT_TRUE(r.log.contains(
        "msgbox Error|The following file is missing:\\n" + missingPath +
        "\\n\\nThis file may have been moved or removed from its original location. The program "
        "may not work properly until the missing file is placed back in its original location. "
        "Click OK and then press Ctrl+Q to quit.|OK"))
        << show(r);
    EXPECT_TRUE(r.log.contains(errorReportLine(" Unable to load hotspot #2. File not found")))
        << show(r);
}

TEST(ErrorReports, BrokenFrameFilesAndRecordsGiveTheirMessages) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 60, 0, 50, 50)});
    ActionRecord tooManyRows = noAction();
    tooManyRows.ChannelValueCount = 1;
    tooManyRows.ChannelCount = 8;
    for (int i = 0; i < 8; ++i)
        tooManyRows.ChannelRows.append({{RecordValue::ofNumber(0)}});
    p.writeActions("Start", {tooManyRows, goTo("Broken")});
    p.writeFile("Frames/Broken.fme", "\"one\",\"two\"\r\n");
    const RunResult r = p.play("click 20 20\n"
                               "click 80 20\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(r.log.contains(errorReportLine(
        " Unable to make the action associated with the hotspot #1. Subscript out of range")))
        << show(r);
    EXPECT_TRUE(
        r.log.contains(errorReportLine(" Unable to load the frame called 'Broken'. Type mismatch")))
        << show(r);

    TestProject q;
    q.writeFrame("Start", colourFrame(0));
    q.writeFile("Frames/Start.lks", "\"several\"\r\n");
    HotspotRecord odd = hotspotAt(1, 0, 0, 50, 50);
    odd.HasConditions = RecordValue::ofString("sometimes");
    q.writeHotspots("Start", {odd});
    q.writeFile("Frames/Start.lks", "\"several\"\r\n");
    const RunResult s = q.play("");
    EXPECT_EQ(s.exitCode, 0) << show(s);
    EXPECT_TRUE(s.log.contains("msgbox Error|Error reading the hotspots count from the file \"" +
                               q.root() + "/Frames/Start.lks\".\\n\\nType mismatch|OK"))
        << show(s);
    EXPECT_TRUE(
        s.log.contains(errorReportLine(" Unable to set hotspots visibility. Type mismatch")))
        << show(s);
}
