// The media players on real generated media: sound, MIDI and video decoded by the real back
// ends, ends on the virtual clock, and what the recorder writes measured for its tones.

#include "mediagen/mediagen.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/sound_recorder.h"
#include "platform/video_player.h"
#include "tests/media/media_test_app.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
namespace gen = tv::mediagen;

namespace {

class MediaPlayers : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::app();
        setSoundOutput(SoundOutput::None);
        Clock::instance().setMode(Clock::Mode::Virtual);
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override { Clock::instance().setMode(Clock::Mode::Virtual); }

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(gen::writeFile(path, bytes));
        return path;
    }
    static QString lastLine() {
        const QStringList& lines = EventLog::instance().lines();
        return lines.isEmpty() ? QString() : lines.last();
    }
    static void wait(qint64 ms) { EventLoop::instance().wait(ms); }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(MediaPlayers, SoundPlaysForItsTrueDurationOnTheVirtualClock) {
    const QString wav = file("bell.wav", gen::wavTone(440, 1500));
    MediaPlayer player("MPlayer", 6);
    player.setFileName(wav);
    EXPECT_DOUBLE_EQ(player.duration(), 1.5);
    player.setPlayCount(2);
    player.Play();
    EXPECT_EQ(lastLine(), "play MPlayer(6) " + wav);
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    wait(2900);
    EXPECT_TRUE(player.isPlaying()) << "two plays of 1.5 s last 3 s";
    wait(200);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(lastLine(), "play MPlayer(6) " + wav) << "an end by itself is no stop of the game's";
    EXPECT_EQ(player.fileName(), wav) << "the last path set stays readable";

    // Play count 0 repeats until Stop; stopping a stopped player is not an event.
    player.setPlayCount(0);
    player.Play();
    wait(60000);
    EXPECT_TRUE(player.isPlaying());
    player.Stop();
    EXPECT_EQ(lastLine(), "stop MPlayer(6)");
    const qsizetype lines = EventLog::instance().lines().size();
    player.Stop();
    EXPECT_EQ(EventLog::instance().lines().size(), lines);
}

TEST_F(MediaPlayers, MissingAndUnplayableFilesRaiseTheirErrors) {
    MediaPlayer player("MPlayer", 1);
    try {
        player.setFileName(dir_.filePath("nothing.wav"));
        ADD_FAILURE() << "a missing file loaded";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    EXPECT_THROW(player.Play(), VbError) << "nothing is loaded";

    const QString garbage = file("broken.wav", QByteArray(4096, '\x5A'));
    try {
        player.setFileName(garbage);
        ADD_FAILURE() << "garbage loaded as sound";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::InvalidFileFormat);
    }
    const QString badMidi = file("broken.mid", QByteArray("MThd\0\0\0\6\0\0\0\1", 12));
    EXPECT_THROW(player.setFileName(badMidi), VbError);

    // A good file after the bad ones plays.
    player.setFileName(file("ok.wav", gen::wavTone(300, 200)));
    player.Play();
    EXPECT_TRUE(player.isPlaying());
    EXPECT_THROW(player.setVolume(100), VbError);
    EXPECT_THROW(player.setVolume(-10001), VbError);
    player.setVolume(-1200);
    EXPECT_EQ(player.volume(), -1200);
}

TEST_F(MediaPlayers, TheRecordingHoldsEveryToneAtItsTimeAndVolume) {
    const QString low = file("low.wav", gen::wavTone(440, 1000, 22050, 1, 16, 0.5));
    const QString high = file("high.wav", gen::wavTone(880, 300, 44100, 2, 16, 0.5));
    const QString out = dir_.filePath("heard.wav");
    SoundRecorder::instance().start(out);

    MediaPlayer a("MPlayer", 1), b("MPlayer", 2);
    a.setFileName(low);
    a.Play(); // 0 - 1000 ms at full volume
    wait(1500);
    b.setFileName(high);
    b.setVolume(-2000); // a tenth of the amplitude
    b.setPlayCount(0);
    b.Play(); // 1500 ms on, looping, until stopped at 2500 ms
    wait(1000);
    b.Stop();
    wait(500);
    ASSERT_TRUE(SoundRecorder::instance().finish());

    const auto heard = gen::readWav(out);
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->sampleRate, 44100);
    EXPECT_NEAR(heard->durationMs(), 3000, 5);
    // A mono sound goes to both sides at -3 dB each, as speakers play it.
    EXPECT_NEAR(gen::toneLevel(*heard, 440, 100, 800), 0.5 * M_SQRT1_2, 0.03);
    EXPECT_LT(gen::toneLevel(*heard, 880, 100, 800), 0.01);
    EXPECT_LT(gen::rmsLevel(*heard, 1100, 300), 0.001) << "silence between the sounds";
    EXPECT_NEAR(gen::toneLevel(*heard, 880, 1600, 800), 0.05, 0.01) << "looped, at -20 dB";
    EXPECT_LT(gen::rmsLevel(*heard, 2600, 350), 0.001) << "stopped";
}

TEST_F(MediaPlayers, MidiPlaysForItsLengthAndIsHeardInTheRecording) {
    const QString music =
        file("tune.mid", gen::midiFile({{60, 0, 400}, {64, 400, 400}, {67, 800, 400}}));
    const QString out = dir_.filePath("music.wav");
    SoundRecorder::instance().start(out);
    MediaPlayer player("MPlayer", 7);
    player.setFileName(music);
    EXPECT_NEAR(player.duration(), 1.2, 0.01);
    player.Play();
    wait(1100);
    EXPECT_TRUE(player.isPlaying());
    wait(200);
    EXPECT_FALSE(player.isPlaying());
    wait(1500);
    ASSERT_TRUE(SoundRecorder::instance().finish());
    const auto heard = gen::readWav(out);
    ASSERT_TRUE(heard);
    EXPECT_GT(gen::rmsLevel(*heard, 50, 1100), 0.01) << "the notes sound";
    EXPECT_LT(gen::rmsLevel(*heard, 2500, 400), 0.001) << "and then fall silent";
}

TEST_F(MediaPlayers, VideoShowsItsPictureInTheFrameDisplay) {
    const QString clip =
        file("red.avi", gen::solidColourVideo(QColor(220, 30, 30), 64, 48, 10, 20));
    Form form("Game");
    PictureBox display(&form, "PictureBox");
    display.setPixelGeometry(QRect(0, 0, 200, 150));
    display.setBackColor(0);
    VideoPlayer video(&display, "OneTimeVideoPlayer");
    video.setIndex(1);
    video.setPixelGeometry(QRect(10, 20, 1, 1));
    video.setFileName(clip);
    EXPECT_EQ(video.pixelGeometry(), QRect(10, 20, 64, 48)) << "sized to the video";
    EXPECT_NEAR(video.duration(), 2.0, 0.15);
    video.Play();
    EXPECT_EQ(lastLine(), "play OneTimeVideoPlayer(1) " + clip);

    const QColor shown = display.grab().pixelColor(40, 40);
    EXPECT_NEAR(shown.red(), 220, 12);
    EXPECT_NEAR(shown.green(), 30, 12);
    EXPECT_EQ(display.grab().pixelColor(100, 100), QColor(0, 0, 0)) << "outside the video";

    // Stretched to another size it fills it.
    video.setAutoSize(false);
    video.setPixelGeometry(QRect(0, 0, 180, 140));
    EXPECT_NEAR(display.grab().pixelColor(170, 130).red(), 220, 12);

    wait(2100);
    EXPECT_FALSE(video.isPlaying()) << "ends at its duration on the virtual clock";
}

TEST_F(MediaPlayers, AVideoShownLaterOrRewoundStillShowsItsPicture) {
    const QString clip =
        file("green.avi", gen::solidColourVideo(QColor(30, 200, 40), 32, 32, 10, 30));
    Form form("Game");
    PictureBox display(&form, "PictureBox");
    display.setPixelGeometry(QRect(0, 0, 100, 100));
    display.setBackColor(0);
    VideoPlayer video(&display, "VideoPlayer");
    video.setVisible(false);
    video.setFileName(clip);
    video.setPlayCount(0);
    video.Play();
    video.setVisible(true);
    EXPECT_NEAR(display.grab().pixelColor(16, 16).green(), 200, 12);
    wait(1000);
    video.Stop();
    video.Play();
    EXPECT_NEAR(display.grab().pixelColor(16, 16).green(), 200, 12) << "after a rewind";
}

TEST_F(MediaPlayers, InRealTimeASoundEndsAtItsTimeEvenWhenTheBackEndMissesIt) {
    Clock::instance().setMode(Clock::Mode::Real);
    MediaPlayer player("MPlayer", 3);
    player.setFileName(file("short.wav", gen::wavTone(500, 150)));
    player.Play();
    QElapsedTimer guard;
    guard.start();
    while (player.isPlaying() && guard.elapsed() < 10000)
        EventLoop::instance().wait(10);
    EXPECT_FALSE(player.isPlaying()) << "no end within 10 s";
    EXPECT_GE(guard.elapsed(), 140)
        << "ended before the sound did, after " << guard.elapsed() << " ms";
}
