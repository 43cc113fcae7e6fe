#include "e2e_harness.h"
#include "mediagen/mediagen.h"

#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::FrameRecord;
using tv::RecordValue;

TEST(SoundChannels, FramesAndActionsStartAndCrossFadeTheirChannels) {
    TestProject p;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"})
        p.writeFile(QString("Areas/") + name, tv::mediagen::wavSilence(60000, 8000, 1, 8));
    p.writeFrame("Start",
                 withChannels(colourFrame(0), {channelRow(1, false, true, 8, "a.wav")}, 0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    // The action's own request for channel 1 waits for the frame it opens, and wins over the
    // frame's request for that channel.
    p.writeActions("Start",
                   {withChannels(goTo("Hall"), {channelRow(1, false, true, 8, "b.wav")}, 0)});
    p.writeFrame("Hall", withChannels(colourFrame(0),
                                      {channelRow(1, false, true, 8, "c.wav"),
                                       channelRow(1, true, true, 10, "d.wav")},
                                      1000));
    p.writeHotspots("Hall", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Hall",
                   {withChannels(noAction(), {channelRow(1, true, true, 10, "c.wav")}, 1000)});
    const QString areas = p.root() + "/Areas/";
    const RunResult r = p.play("click 20 20\n"
                               "expect frame Hall\n"
                               "expect log play MPlayer(2) " +
                               areas +
                               "d.wav\n"
                               "click 20 20\n"
                               "expect log play MPlayer(3) " +
                               areas +
                               "c.wav\n"
                               "wait 500\n"
                               "expect nolog stop MPlayer(1)\n"
                               "wait 1000\n"
                               "expect log stop MPlayer(1)\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    const qsizetype a = r.log.indexOf("play MPlayer(1) " + areas + "a.wav");
    const qsizetype hall = r.log.indexOf("frame Hall");
    const qsizetype b = r.log.indexOf("play MPlayer(1) " + areas + "b.wav");
    EXPECT_GE(a, 0) << show(r);
    EXPECT_GT(b, hall) << show(r);
    // Channel 1 starts c.wav only on the second click, cross-fading onto player 3.
    EXPECT_EQ(r.log.filter("c.wav").size(), 1) << show(r);
}
