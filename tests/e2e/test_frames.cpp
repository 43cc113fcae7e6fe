#include "e2e_harness.h"
#include "mediagen/mediagen.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace e2e;

namespace {
const QString kLinkHint = "Verify that the 'Initial Frame' exists and that the 'Go to another "
                          "frame' option in the Hotspot Properties is linked to an existing frame.";
} // namespace

TEST(FrameOpening, AnEmptyNameReportsABrokenLink) {
    TestProject p;
    p.settings().InitialFrame = "";
    const RunResult r = p.play("expect log " + errorReportLine(" A program link is broken.") +
                               "\n" + "expect nolog frame \n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(FrameOpening, AMissingFrameIsReportedAndTheOldFrameStays) {
    TestProject p;
    p.writeFrame("Start", withTimer(colourFrame(0xFF0000), 1, "Nowhere"));
    const RunResult r =
        p.play("wait 1000\n"
               "expect log " +
               errorReportLine(" A program link is broken. The frame named \"Nowhere\" could not "
                               "be found. " +
                               kLinkHint) +
               "\n"
               "expect frame Start\n"
               "expect pixel 5 5 0000FF\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(FrameOpening, ATimerOfSeventySecondsCannotBeLoaded) {
    TestProject p;
    p.writeFrame("Start", withTimer(colourFrame(0), 70, "Next"));
    p.writeFrame("Next", colourFrame(0xFFFFFF));
    const RunResult r = p.play("expect log " + errorReportLine(" Unable to load timer duration.") +
                               "\n"
                               "wait 200000\n"
                               "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(FrameOpening, TheFrameTimerJumpsUnderVirtualTimeWithoutWaiting) {
    TestProject p;
    // Longer than the harness lets a run take: only a clock that jumps can get there.
    p.writeFrame("Start", withTimer(colourFrame(0), 64, "Next"));
    p.writeFrame("Next", colourFrame(0xFFFFFF));
    const RunResult r = p.play("wait 63900\n"
                               "expect frame Start\n"
                               "wait 100\n"
                               "expect frame Next\n"
                               "expect pixel 1 1 FFFFFF\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(FrameOpening, TimerTargetsQuitAndLastVisitedFrame) {
    TestProject p;
    p.writeFrame("Start", withTimer(colourFrame(0), 1, "Second"));
    p.writeFrame("Second", withTimer(colourFrame(0xFF), 1, "[LAST VISITED FRAME]"));
    const RunResult r = p.play("wait 1000\nexpect frame Second\nwait 1000\nexpect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    TestProject q;
    q.writeFrame("Start", withTimer(colourFrame(0), 2, "[Quit]"));
    const RunResult quit = q.play("wait 10000\nexpect log quit\n");
    EXPECT_EQ(quit.exitCode, 0) << show(quit);
}

TEST(FrameOpening, AShortRecordOpensAndAMissingPictureIsReported) {
    TestProject p;
    p.writeFrame("Start", withTimer(colourFrame(0x00FF00), 1, "Broken"), 10);
    p.writeFrame("Broken", pictureFrame("gone.jpg"));
    const RunResult r = p.play("expect pixel 3 3 00FF00\n"
                               "wait 1000\n"
                               "expect log msgbox Error|The following file is missing:\\n" +
                               p.root() + "/Frames/gone.jpg\\n\\nThis file may have been moved\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // Both messages come from the same step: the warning, then the failed opening.
    const QString report = errorReportLine(" Unable to load the frame called 'Broken'. " +
                                           kLinkHint + " File not found");
    ASSERT_GE(r.log.indexOf(report), 0) << show(r);
    EXPECT_GT(r.log.indexOf(report), r.log.indexOf(QRegularExpression("^msgbox .*missing.*")));
}

TEST(FrameOpening, TheFrameSoundPlaysOnTheSixthPlayerAndContinuesIntoTheNextFrame) {
    TestProject p;
    p.writeFile("Areas/wind.wav", tv::mediagen::wavTone(200, 3000));
    tv::FrameRecord start = withTimer(colourFrame(0), 1, "Next");
    start.SoundFile = "wind.wav";
    p.writeFrame("Start", start);
    tv::FrameRecord next = colourFrame(0);
    next.SoundFile = "WIND.WAV";
    p.writeFrame("Next", next);
    const RunResult r = p.play("expect log play MPlayer(6) " + p.root() +
                               "/Areas/wind.wav\n"
                               "wait 1000\n"
                               "expect frame Next\n"
                               "expect nolog play MPlayer(6)\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
