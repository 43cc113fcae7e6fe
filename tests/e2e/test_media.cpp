// Sound and video in whole games: what the player hears (recorded with --audio-out and measured),
// what it sees (pixels of videos and animated pictures) and what the log says, on media made here.

#include "e2e_harness.h"
#include "mediagen/mediagen.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::FrameRecord;
using tv::HotspotRecord;
using tv::RecordValue;
namespace gen = tv::mediagen;

namespace {

ActionRecord playVideo(const QString& file, int left, int top) {
    ActionRecord a;
    a.PlayVideo = 1;
    a.VideoFile = file;
    a.VideoAtPosition = true;
    a.VideoLeft = qint16(left);
    a.VideoTop = qint16(top);
    return a;
}

QString played(const TestProject& p, const QString& player, const QString& file) {
    return "play " + player + " " + p.root() + "/" + file;
}

// Reads what a run wrote with --audio-out.
gen::WavData heard(const QString& path) {
    const auto wav = gen::readWav(path);
    EXPECT_TRUE(wav.has_value()) << path.toStdString();
    return wav.value_or(gen::WavData{});
}

} // namespace

TEST(Sound, ChannelRowsStartLoopAndStopAndTheRecordingHoldsWhatWasHeard) {
    TestProject p;
    p.writeFile("Areas/low.wav", gen::wavTone(440, 500));
    p.writeFile("Areas/high.wav", gen::wavTone(660, 300));
    // Channel 1 loops the low tone, channel 2 plays the high one once; the next frame stops
    // channel 1 two seconds later.
    p.writeFrame("Start", withTimer(withChannels(colourFrame(0),
                                                 {channelRow(1, false, true, 10, "low.wav"),
                                                  channelRow(1, false, false, 10, "high.wav")}),
                                    2, "Next"));
    p.writeFrame("Next", withChannels(colourFrame(0), {channelRow(3, false, false, 10, "")}));
    const QString out = p.root() + "/heard.wav";
    const RunResult r =
        p.play("wait 2000\nexpect frame Next\nwait 1000\nquit\n", {"--audio-out", out});
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const qsizetype low = r.log.indexOf(played(p, "MPlayer(1)", "Areas/low.wav"));
    const qsizetype high = r.log.indexOf(played(p, "MPlayer(2)", "Areas/high.wav"));
    EXPECT_GE(low, 0) << show(r);
    EXPECT_GT(high, low) << "channels start in their order";
    EXPECT_GT(r.log.indexOf("stop MPlayer(1)"), r.log.indexOf("frame Next")) << show(r);

    const gen::WavData wav = heard(out);
    EXPECT_NEAR(wav.durationMs(), 3000, 50) << "the run lasted three seconds of game time";
    // A mono tone at half scale comes out at -3 dB on each side.
    EXPECT_GT(gen::toneLevel(wav, 660, 20, 250), 0.3) << "the high tone at the start";
    EXPECT_LT(gen::toneLevel(wav, 660, 400, 500), 0.02) << "played once";
    EXPECT_GT(gen::toneLevel(wav, 440, 1100, 300), 0.3) << "the low tone, looping";
    EXPECT_GT(gen::toneLevel(wav, 440, 1600, 300), 0.3);
    EXPECT_LT(gen::rmsLevel(wav, 2100, 800), 0.001) << "silence once channel 1 stopped";
}

TEST(Sound, AFadeInStepsTheVolumeUpOnTheClock) {
    TestProject p;
    p.writeFile("Areas/hum.wav", gen::wavTone(300, 5000));
    p.writeFrame("Start",
                 withChannels(colourFrame(0), {channelRow(1, true, false, 10, "hum.wav")}, 2000));
    const QString out = p.root() + "/fade.wav";
    const RunResult r = p.play("wait 3000\nquit\n", {"--audio-out", out});
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const gen::WavData wav = heard(out);
    const double early = gen::toneLevel(wav, 300, 150, 200);
    const double middle = gen::toneLevel(wav, 300, 1000, 200);
    const double full = gen::toneLevel(wav, 300, 2400, 400);
    // The volume follows the fade's progress on the level scale: -40 dB at the start, -20 dB
    // half way, full at the end.
    EXPECT_GT(full, 0.3);
    EXPECT_GT(middle, 4 * early);
    EXPECT_GT(full, 4 * middle);
    EXPECT_GT(early, 0.0005) << "the sound is there from the start, very quiet";
}

TEST(Sound, AMidiRequestStopsTheOtherMidiMusicAndLeavesTheWavePlaying) {
    TestProject p;
    const QByteArray tune = gen::midiFile({{60, 0, 500}, {64, 500, 500}, {67, 1000, 500}});
    p.writeFile("Areas/one.mid", tune);
    p.writeFile("Areas/TWO.MID", tune);
    p.writeFile("Areas/rain.wav", gen::wavTone(350, 4000));
    p.writeFrame("Start",
                 withChannels(colourFrame(0), {channelRow(1, false, true, 8, "one.mid"),
                                               channelRow(1, false, true, 8, "rain.wav")}));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Start", {withChannels(noAction(), {channelRow(0, false, false, 8, ""),
                                                       channelRow(0, false, false, 8, ""),
                                                       channelRow(1, false, true, 8, "TWO.MID")})});
    const QString out = p.root() + "/music.wav";
    const RunResult r = p.play("wait 1000\nclick 20 20\nwait 1000\nquit\n", {"--audio-out", out});
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const qsizetype click = r.log.indexOf(played(p, "MPlayer(3)", "Areas/TWO.MID"));
    EXPECT_GT(click, r.log.indexOf(played(p, "MPlayer(1)", "Areas/one.mid"))) << show(r);
    EXPECT_EQ(r.log.indexOf("stop MPlayer(1)"), click - 1) << "the other MIDI stops first";
    EXPECT_EQ(r.log.indexOf("stop MPlayer(2)"), -1) << "the wave plays on";
    const gen::WavData wav = heard(out);
    EXPECT_GT(gen::rmsLevel(wav, 100, 800), 0.02) << "the music and the rain sound";
    EXPECT_GT(gen::toneLevel(wav, 350, 1200, 600), 0.1) << "the rain goes on";
}

TEST(Sound, TheOldChannelFileAndStopAllSounds) {
    TestProject p;
    p.writeFile("Areas/drip.wav", gen::wavTone(500, 3000));
    // 22 leading values, then channel 1 plays drip.wav once; channel 2's row only stops.
    QByteArray chn;
    for (int i = 0; i < 22; ++i)
        chn += "0\r\n";
    chn += "0,#FALSE#,#TRUE#,\"drip.wav\",0\r\n0,#TRUE#,#FALSE#,\"\",0\r\n"
           "\"----- SEPARATOR -----\"\r\n";
    p.writeFile("Frames/Start.chn", chn);
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    ActionRecord stopAll;
    stopAll.StopAllSounds = 1;
    p.writeActions("Start", {stopAll});
    const RunResult r = p.play("expect log " + played(p, "MPlayer(1)", "Areas/drip.wav") +
                               "\n"
                               "click 20 20\n"
                               "expect log stop MPlayer(1)\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Sound, AFileThatCannotBePlayedWarnsOnceAGame) {
    TestProject p;
    p.writeFile("Areas/broken.wav", QByteArray(3000, '\x17'));
    p.writeFrame("Start",
                 withChannels(colourFrame(0), {channelRow(1, false, false, 8, "broken.wav")}));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    p.writeActions("Start",
                   {withChannels(noAction(), {channelRow(1, false, false, 8, "broken.wav")})});
    const RunResult r = p.play("click 20 20\nclick 20 20\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter("msgbox AUDIO PROBLEM|WARNING: Another program").size(), 1) << show(r);
}

TEST(Video, AOneTimeVideoHoldsClicksUntilAClickOrAKeyStopsIt) {
    TestProject p;
    p.writeFile("Frames/red.avi", gen::solidColourVideo(QColor(220, 20, 20), 64, 48, 10, 30));
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50), hotspotAt(2, 200, 100, 50, 50)});
    p.writeActions("Start",
                   {playVideo("red.avi", 80, 80), setVariable("Seen", false, true, false)});
    p.writeVariables({"Seen"});
    // The second click comes while the video plays: it only stops it (the video is playing, so
    // hotspot 2's action does not run). After the video, the same click runs the action.
    const RunResult r = p.play("later 1000 click 220 120\n"
                               "click 20 20\n"
                               "expect variable Seen 0\n"
                               "click 220 120\n"
                               "expect variable Seen 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // The three-second video was stopped, not left to end.
    EXPECT_GT(r.log.indexOf("stop OneTimeVideoPlayer(1)"),
              r.log.indexOf(played(p, "OneTimeVideoPlayer(1)", "Frames/red.avi")))
        << show(r);

    // A frame's own video, stopped by a key press.
    TestProject q;
    q.writeFile("Frames/blue.avi", gen::solidColourVideo(QColor(20, 20, 220), 64, 48, 10, 50));
    q.writeFrame("Start", withTimer(colourFrame(0), 1, "Movie"));
    FrameRecord movie = colourFrame(0);
    movie.VideoFile = "blue.avi";
    movie.VideoAtPosition = true;
    q.writeFrame("Movie", movie);
    const RunResult k = q.play("later 2000 key Escape\n"
                               "wait 1500\n"
                               "expect frame Movie\n"
                               "wait 1000\n");
    EXPECT_EQ(k.exitCode, 0) << show(k);
    EXPECT_GT(k.log.indexOf("stop OneTimeVideoPlayer(1)"),
              k.log.indexOf(played(q, "OneTimeVideoPlayer(1)", "Frames/blue.avi")))
        << show(k);
}

TEST(Video, ALoopingHotspotVideoShowsItsColoursAndHidesWithItsHotspot) {
    TestProject p;
    p.writeFile("Frames/green.avi", gen::solidColourVideo(QColor(30, 200, 40), 64, 48, 10, 10));
    p.writeFrame("Start", colourFrame(0x102030));
    HotspotRecord video = hotspotAt(1, 100, 100, 64, 48);
    video.hasAnimationSpeed = true;
    video.AnimationSpeed = RecordValue::ofNumber(0);
    video.hasVideoTail = true;
    video.HasVideo = RecordValue::ofBool(true);
    video.VideoFile = RecordValue::ofString("green.avi");
    video.VideoAutoSize = RecordValue::ofBool(true);
    video.VideoVolume = RecordValue::ofNumber(10);
    video.VideoRate = RecordValue::ofNumber(0);
    video.VideoPlayCount = RecordValue::ofNumber(0);
    // Shown while Hide is 0; hotspot 2 sets it.
    video.HasConditions = RecordValue::ofNumber(1);
    video.MustBeZero = {"Hide"};
    p.writeHotspots("Start", {video, hotspotAt(2, 250, 150, 50, 40)});
    p.writeActions("Start", {noAction(), setVariable("Hide", false, true, false)});
    p.writeVariables({"Hide"});
    const RunResult r = p.play("expect log " + played(p, "VideoPlayer(1)", "Frames/green.avi") +
                               "\n"
                               "expect visible 1\n"
                               "expect pixel 120 120 1EC828 6\n"
                               "wait 5000\n"
                               "expect pixel 150 140 1EC828 6\n"
                               "click 270 170\n"
                               "expect hidden 1\n"
                               "expect log stop VideoPlayer(1)\n"
                               "expect pixel 120 120 302010\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(AnimatedPicture, AnAnimatedHotspotShowsItsFramesAtItsSpeed) {
    TestProject p;
    QImage red(40, 40, QImage::Format_RGB32), blue(40, 40, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    blue.fill(QColor(0, 0, 255));
    p.writeFile("Areas/lamp.gif", gen::animatedGif({red, blue}, 40)); // 400 ms a picture
    p.writeFrame("Start", colourFrame(0));
    auto animated = [](int index, int x, int speed) {
        HotspotRecord h = hotspotAt(index, x, 100, 40, 40);
        h.ShowPicture = RecordValue::ofBool(true);
        h.Picture = RecordValue::ofString("lamp.gif");
        h.Animated = RecordValue::ofNumber(1);
        h.hasAnimationSpeed = true;
        h.AnimationSpeed = RecordValue::ofNumber(speed);
        return h;
    };
    // Speed 100 runs twice as fast as the file says, 0 means the file's own timing.
    p.writeHotspots("Start", {animated(1, 100, 100), animated(2, 300, 0)});
    const RunResult r = p.play("expect visible 1\n"
                               "expect pixel 110 110 FF0000\n"
                               "expect pixel 310 110 FF0000\n"
                               "wait 300\n"
                               "expect pixel 110 110 0000FF\n"
                               "expect pixel 310 110 FF0000\n"
                               "wait 200\n"
                               "expect pixel 110 110 FF0000\n"
                               "expect pixel 310 110 0000FF\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Sound, AFrameOpensWhateverItsSoundAndMusicFilesAre) {
    TestProject p;
    p.writeFile("Frames/broken.mid", QByteArray("MThd but not really"));
    FrameRecord start = colourFrame(0);
    start.MusicFile = "broken.mid";
    start.SoundFile = "gone.wav";
    p.writeFrame("Start", start);
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    const RunResult r = p.play("expect frame Start\n"
                               "expect log msgbox Error|The following file is missing:\\n" +
                               p.root() +
                               "/Areas/gone.wav\n"
                               "expect log msgbox AUDIO PROBLEM|WARNING\n"
                               "expect visible 1\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter("msgbox").size(), 2) << "no report that the frame could not open";
}
