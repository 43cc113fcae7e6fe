#include "data/project.h"
#include "data/record_helpers.h"
#include "data/sound_channel_file.h"
#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/tests/qt_app.h"
#include "platform/timer_control.h"
#include "present/audio.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

// A silent mono 8-bit PCM WAV of `ms` milliseconds at 8000 Hz.
void writeWav(const QString& path, int ms) {
    const quint32 rate = 8000, dataSize = rate * ms / 1000;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QDataStream s(&f);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + dataSize);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << rate << rate << quint16(1) << quint16(8);
    s.writeRawData("data", 4);
    s << dataSize;
    f.write(QByteArray(static_cast<int>(dataSize), char(0x80)));
}

// A one-note standard MIDI file.
void writeMidi(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromHex("4d546864000000060000000100604d54726b0000000c"
                                "00903c4060803c4000ff2f00"));
}

QList<RecordValue> row(int code, bool fade, bool loop, double volume, const QString& file = {}) {
    return {RecordValue::ofNumber(code), RecordValue::ofBool(fade), RecordValue::ofBool(loop),
            RecordValue::ofNumber(volume), RecordValue::ofString(file)};
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        Clock& clock = Clock::instance();
        clock.setMode(Clock::Mode::Virtual);
        // Fades here are meant to end by their own time, not because midnight passed.
        const double timeOfDay = clock.secondsSinceMidnight();
        if (timeOfDay > 86400 - 600)
            clock.advanceTo(clock.nowMs() + qint64((86400 - timeOfDay) * 1000) + 1000);
        DialogService::instance().setAutomated(true);
        runFlags().quitting = false;
        ASSERT_TRUE(dir.isValid());
        project().folders.setRoot(dir.path());
        ASSERT_TRUE(QDir(dir.path()).mkpath("Areas"));
        for (const char* name :
             {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav", "g.wav", "h.wav"})
            writeWav(areas(name), 60000);
        fadeTimer.setInterval(Audio::kFadeTickMs);
        QObject::connect(&fadeTimer, &TimerControl::Timer, [this] { audio.TimerAudioFadeTick(); });
        mark();
    }
    void TearDown() override { audio.ResetPlayers(); }

    QString areas(const QString& name) const { return dir.filePath("Areas/" + name); }
    // Channel k starts `file` at once (as an action asks), looping at level 8.
    void playNow(int k, const QString& file) {
        audio.writeActionChannelRow(k, row(1, false, true, 8, file));
        audio.RunChannelRequests();
    }
    void mark() { logMark = EventLog::instance().lines().size(); }
    QStringList logSinceMark() const { return EventLog::instance().lines().mid(logMark); }
    MediaPlayer& player(int i) { return audio.MPlayer(i); }
    void expectDistinctPlayers() {
        QSet<int> players;
        for (int k = 1; k <= Audio::kChannels; ++k)
            players.insert(audio.channel(k).Player);
        EXPECT_EQ(players.size(), Audio::kChannels);
    }
    void wait(int ms) { EventLoop::instance().wait(ms); }

    QTemporaryDir dir;
    TimerControl fadeTimer{"TimerAudioFade"};
    Audio audio{fadeTimer};
    qsizetype logMark = 0;
};

} // namespace

TEST_F(AudioTest, CrossFadeMovesTheChannelToTheLowestFreePlayerAndStopsTheOldOneAtTheEnd) {
    playNow(1, "a.wav");
    playNow(2, "b.wav");
    ASSERT_TRUE(player(2).isPlaying());
    mark();
    audio.setFadeSeconds(1);
    audio.writeActionChannelRow(1, row(1, true, true, 10, "c.wav"));
    audio.RunChannelRequests();
    fadeTimer.setEnabled(true);

    // Player 3 is the lowest that is not playing; channel 3 takes the old player 1.
    EXPECT_EQ(audio.channel(1).Player, 3);
    EXPECT_EQ(audio.channel(1).PreviousPlayer, 1);
    EXPECT_EQ(audio.channel(3).Player, 1);
    expectDistinctPlayers();
    EXPECT_EQ(logSinceMark(), QStringList{"play MPlayer(3) " + areas("c.wav")});
    EXPECT_EQ(player(3).volume(), -4000);
    EXPECT_EQ(player(3).playCount(), 0);

    wait(100); // the first tick starts the fade clock
    wait(500);
    EXPECT_EQ(player(3).volume(), Audio::levelToVolume(5)) << "halfway to level 10";
    EXPECT_EQ(player(1).volume(), Audio::levelToVolume(4)) << "halfway down from level 8";
    EXPECT_TRUE(player(1).isPlaying());
    EXPECT_TRUE(fadeTimer.enabled());

    wait(600);
    EXPECT_FALSE(player(1).isPlaying());
    EXPECT_TRUE(player(2).isPlaying());
    EXPECT_EQ(player(3).volume(), 0);
    EXPECT_EQ(audio.channel(1).PreviousPlayer, 0);
    EXPECT_FALSE(audio.channel(1).Fade);
    EXPECT_FALSE(fadeTimer.enabled());
    EXPECT_EQ(&audio.channelPlayer(1), &player(3));

    audio.ResetPlayers();
    EXPECT_EQ(audio.channel(1).Player, 1);
    EXPECT_EQ(audio.channel(3).Player, 3);
    EXPECT_FALSE(player(3).isPlaying());
}

TEST_F(AudioTest, CrossFadeWithEveryPlayerBusyFadesInOnTheChannelsOwnPlayer) {
    for (int k = 1; k <= Audio::kChannels; ++k)
        playNow(k, QString("%1.wav").arg(QChar('a' + k - 1)));
    mark();
    audio.setFadeSeconds(2);
    audio.writeActionChannelRow(3, row(1, true, false, 6, "h.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(audio.channel(3).Player, 3);
    EXPECT_EQ(audio.channel(3).PreviousPlayer, 0);
    EXPECT_EQ(logSinceMark(),
              (QStringList{"stop MPlayer(3)", "play MPlayer(3) " + areas("h.wav")}));
    EXPECT_EQ(player(3).volume(), -4000);
    EXPECT_EQ(player(3).playCount(), 1);
    EXPECT_TRUE(audio.UpdateChannelFades(0.5));
    EXPECT_EQ(player(3).volume(), Audio::levelToVolume(3));
    EXPECT_FALSE(audio.UpdateChannelFades(1));
    EXPECT_EQ(player(3).volume(), Audio::levelToVolume(6));
    for (int i = 1; i <= Audio::kChannels; ++i)
        EXPECT_TRUE(player(i).isPlaying()) << "nothing fades out: player " << i;
}

TEST_F(AudioTest, OverlappingRequestsNeitherStopANewSoundNorStartAFileTwice) {
    // Channel 1 cross-fades onto player 2, so channel 2 gets player 1, which still plays channel
    // 1's old sound, and starts a sound of its own there in the same call.
    playNow(1, "a.wav");
    audio.setFadeSeconds(1);
    audio.writeActionChannelRow(1, row(1, true, true, 8, "b.wav"));
    audio.writeActionChannelRow(2, row(1, false, true, 8, "c.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(audio.channel(2).Player, 1);
    audio.UpdateChannelFades(0.5);
    EXPECT_EQ(player(1).volume(), Audio::levelToVolume(8)) << "the fade leaves it alone";
    audio.UpdateChannelFades(1);
    EXPECT_EQ(player(1).fileName(), areas("c.wav"));
    EXPECT_TRUE(player(1).isPlaying());

    // A frame change that no click preceded runs the requests while a cross-fade is half done.
    playNow(3, "f.wav");
    audio.writeActionChannelRow(3, row(1, true, true, 9, "d.wav"));
    audio.RunChannelRequests(); // from player 3 onto player 4
    audio.UpdateChannelFades(0.3);
    mark();
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark(), QStringList{"stop MPlayer(3)"});
    EXPECT_EQ(player(4).volume(), Audio::levelToVolume(9));
    EXPECT_FALSE(audio.channel(3).Fade);
    expectDistinctPlayers();
}

TEST_F(AudioTest, TwoMidiStartsInOneCallStopEachOtherWhileAWaveKeepsPlaying) {
    writeMidi(areas("one.mid"));
    writeMidi(areas("two.MID"));
    playNow(5, "e.wav");
    mark();
    audio.writeActionChannelRow(1, row(1, false, true, 8, "one.mid"));
    audio.writeActionChannelRow(2, row(1, false, true, 8, "two.MID"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark(), (QStringList{"play MPlayer(1) " + areas("one.mid"), "stop MPlayer(1)",
                                           "play MPlayer(2) " + areas("two.MID")}));
    EXPECT_TRUE(player(2).isPlaying());
    EXPECT_TRUE(player(5).isPlaying());
}

TEST_F(AudioTest, FrameRowsKeepAFileThatPlaysAlreadyActionRowsRestartIt) {
    audio.writeFrameChannelRow(1, row(1, false, true, 8, "a.wav"));
    audio.RunChannelRequests();
    ASSERT_TRUE(player(1).isPlaying());
    mark();
    // The next frame asks for the same file, on its channel and on another one.
    audio.writeFrameChannelRow(1, row(1, false, true, 8, "a.wav"));
    audio.writeFrameChannelRow(2, row(1, false, true, 8, "a.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark(), QStringList{});
    EXPECT_TRUE(audio.channel(1).PendingFile.isEmpty()) << "the request is done with";

    audio.writeActionChannelRow(1, row(1, false, true, 8, "a.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark(),
              (QStringList{"stop MPlayer(1)", "play MPlayer(1) " + areas("a.wav")}));
}

TEST_F(AudioTest, FrameRowsLeaveRequestsPendingFromTheActionInForce) {
    audio.setFadeSeconds(0.5);
    audio.writeActionChannelRow(1, row(1, false, true, 8, "a.wav"));
    audio.writeActionChannelRow(2, row(3, false, false, 0));
    audio.applyFrameChannelRows({row(1, true, true, 8, "b.wav"),
                                 row(4, true, false, 2),
                                 row(3, false, false, 0),
                                 {},
                                 {},
                                 {},
                                 {},
                                 row(1, false, false, 8, "c.wav")},
                                RecordValue::ofNumber(3000));
    EXPECT_EQ(audio.channel(1).PendingFile, "a.wav");
    EXPECT_FALSE(audio.channel(1).KeepIfPlaying);
    EXPECT_EQ(audio.channel(2).RequestCode, 3) << "a pending stop stays";
    EXPECT_EQ(audio.channel(3).RequestCode, 3) << "a free channel takes the frame's request";
    EXPECT_TRUE(audio.channel(3).KeepIfPlaying);
    EXPECT_EQ(audio.fadeDuration(), 0.5) << "no written row asked for a fade";

    audio.applyFrameChannelRows({{}, {}, {}, row(4, true, false, 2)}, RecordValue::ofNumber(3000));
    EXPECT_EQ(audio.fadeDuration(), 3);
    // The eighth row has no channel; the others were not changed by it.
    audio.RunChannelRequests();
    for (int i = 1; i <= Audio::kChannels; ++i)
        EXPECT_NE(player(i).fileName(), areas("c.wav"));
    EXPECT_THROW(audio.writeFrameChannelRow(5, {RecordValue::ofString("loud")}), VbError);
    EXPECT_EQ(audio.channel(5).RequestCode, 0);
}

TEST_F(AudioTest, FadeStepsForStopsAndVolumeChanges) {
    playNow(1, "a.wav"); // level 8
    playNow(2, "b.wav");
    audio.setFadeSeconds(1);
    audio.writeActionChannelRow(1, row(3, true, false, 0));
    audio.writeActionChannelRow(2, row(4, true, false, 2));
    audio.RunChannelRequests();
    EXPECT_TRUE(audio.UpdateChannelFades(0.25));
    EXPECT_EQ(player(1).volume(), Audio::levelToVolume(6));   // (1 - 0.25) x 8
    EXPECT_EQ(player(2).volume(), Audio::levelToVolume(6.5)); // 8 + 0.25 x (2 - 8)
    EXPECT_TRUE(audio.UpdateChannelFades(0.75));
    EXPECT_EQ(player(1).volume(), Audio::levelToVolume(2));
    EXPECT_EQ(player(2).volume(), Audio::levelToVolume(3.5));
    EXPECT_FALSE(audio.UpdateChannelFades(1));
    EXPECT_FALSE(player(1).isPlaying());
    EXPECT_EQ(player(2).volume(), Audio::levelToVolume(2));
    EXPECT_EQ(audio.channel(1).RequestCode, 0);
    EXPECT_FALSE(audio.UpdateChannelFades(0.5)) << "nothing left to fade";
    audio.writeActionChannelRow(2, row(4, false, false, 7));
    audio.RunChannelRequests();
    EXPECT_EQ(player(2).volume(), -1200) << "a volume change without a fade";
    audio.setFadeSeconds(-2);
    EXPECT_EQ(audio.fadeDuration(), 0);
}

TEST_F(AudioTest, TheFadeTimerEndsAFadeAtOnceWhenMidnightPasses) {
    Clock& clock = Clock::instance();
    const double timeOfDay = clock.secondsSinceMidnight();
    clock.advanceTo(clock.nowMs() + qint64((86400 - timeOfDay) * 1000) - 250);
    playNow(1, "a.wav");
    audio.setFadeSeconds(10);
    audio.writeActionChannelRow(1, row(4, true, false, 3));
    audio.RunChannelRequests();
    fadeTimer.setEnabled(true);
    wait(200);
    EXPECT_TRUE(fadeTimer.enabled());
    EXPECT_NE(player(1).volume(), Audio::levelToVolume(3));
    wait(100); // past midnight
    EXPECT_FALSE(fadeTimer.enabled());
    EXPECT_EQ(player(1).volume(), Audio::levelToVolume(3));
}

TEST_F(AudioTest, AMissingFileIsSkippedSilentlyAndADisguisedOneIsFound) {
    audio.setFadeSeconds(1);
    audio.writeActionChannelRow(1, row(1, false, true, 8, "gone.wav"));
    audio.writeActionChannelRow(2, row(1, true, true, 8, "lost.wav"));
    writeWav(areas("door.010"), 1000); // "door.wav" as a compiled game may store it
    audio.writeActionChannelRow(3, row(1, false, false, 8, "door.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark(), QStringList{"play MPlayer(3) " + areas("door.010")});
    EXPECT_TRUE(audio.channel(1).PendingFile.isEmpty());
    EXPECT_TRUE(audio.channel(2).PendingFile.isEmpty());
    EXPECT_FALSE(audio.audioWarningShown());
}

TEST_F(AudioTest, APlayerErrorWarnsOnceAGameAndLeavesTheChannelsBehindIt) {
    const QString box =
        "msgbox AUDIO PROBLEM|" + QString(Audio::kWarningText).replace("\r\n", "\\n") + "|OK";
    EXPECT_TRUE(Audio::kWarningText.endsWith(
        "restart the program.\r\n\r\nThis message will not reappear until you restart the "
        "program."));
    // A level above 10 is a volume the player refuses.
    audio.writeActionChannelRow(1, row(1, false, false, 12, "a.wav"));
    audio.writeActionChannelRow(2, row(1, false, true, 0, "b.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark().filter("msgbox"), QStringList{box});
    EXPECT_TRUE(audio.audioWarningShown());
    EXPECT_FALSE(player(2).isPlaying());
    EXPECT_EQ(audio.channel(2).PendingFile, "b.wav") << "skipped, not dropped";

    // The failed request is gone, so the next call reaches channel 2; another failure is silent.
    mark();
    audio.writeActionChannelRow(3, row(1, false, false, 11, "c.wav"));
    audio.RunChannelRequests();
    EXPECT_TRUE(player(2).isPlaying());
    EXPECT_EQ(player(2).volume(), -4000) << "level 0";
    EXPECT_EQ(logSinceMark().filter("msgbox"), QStringList{});

    audio.resetForNewGame();
    EXPECT_FALSE(audio.audioWarningShown());
    runFlags().quitting = true;
    audio.writeActionChannelRow(4, row(1, false, false, 11, "d.wav"));
    audio.RunChannelRequests();
    runFlags().quitting = false;
    EXPECT_EQ(logSinceMark().filter("msgbox"), QStringList{}) << "quitting shows nothing";
    audio.writeActionChannelRow(4, row(1, false, false, 11, "d.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark().filter("msgbox"), QStringList{box});
}

TEST_F(AudioTest, AFileThatCannotBePlayedShowsTheWarning) {
    QFile garbage(areas("noise.wav"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4000, '\x5a'));
    garbage.close();
    // The decoder refuses these bytes when the file is set, which brings the warning up.
    audio.writeActionChannelRow(1, row(1, false, false, 8, "noise.wav"));
    audio.writeActionChannelRow(2, row(1, false, false, 8, "b.wav"));
    audio.RunChannelRequests();
    EXPECT_EQ(logSinceMark().filter("msgbox AUDIO PROBLEM").size(), 1);
    EXPECT_FALSE(player(2).isPlaying());
}

TEST_F(AudioTest, StopAnyWavOrMP3LeavesPlayersWithFileNamesOfFourCharactersOrLess) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.filePath("Areas")));
    writeWav("x.wa", 60000);
    player(4).setFileName("x.wa");
    player(4).setPlayCount(0);
    player(4).Play();
    playNow(1, "a.wav");
    audio.StopAnyWavOrMP3();
    QDir::setCurrent(before);
    EXPECT_FALSE(player(1).isPlaying());
    EXPECT_TRUE(player(4).isPlaying());
}

TEST_F(AudioTest, OldSoundChannelDataStopsAndStartsUpToTheSeparator) {
    playNow(1, "a.wav");
    playNow(3, "c.wav");
    SoundChannelData data;
    data.rows = {{true, false, "", RecordValue::ofNumber(0)},
                 {false, true, "b.wav", RecordValue::ofNumber(1)}};
    RecordWriter out;
    data.write(out);
    writeSeparator(out);
    out.value(RecordValue::ofNumber(0))
        .boolean(true)
        .boolean(false)
        .string("")
        .integer(0)
        .endLine();
    RecordReader in(out.bytes());
    mark();
    audio.PlaySoundChannels(in);
    EXPECT_EQ(logSinceMark(),
              (QStringList{"stop MPlayer(1)", "play MPlayer(2) " + areas("b.wav")}));
    EXPECT_EQ(player(2).volume(), -800);
    EXPECT_EQ(player(2).playCount(), 0) << "a repeat value other than 0 plays for ever";
    EXPECT_TRUE(player(3).isPlaying()) << "the row after the separator belongs to no channel";
    EXPECT_EQ(in.peekString(), kSeparator);

    // A file that breaks off in its second row: the first row plays, then the report.
    RecordWriter broken;
    SoundChannelData one;
    one.rows = {{false, true, "d.wav", RecordValue::ofNumber(0)}};
    one.write(broken);
    broken.integer(0).boolean(false);
    RecordReader brokenIn(broken.bytes());
    mark();
    audio.PlaySoundChannels(brokenIn);
    const QStringList log = logSinceMark();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], "play MPlayer(1) " + areas("d.wav"));
    EXPECT_TRUE(log[1].startsWith("msgbox "));
    EXPECT_TRUE(log[1].endsWith(" Unable to load old sound system information.|OK"))
        << log[1].toStdString();
    EXPECT_EQ(player(1).playCount(), 1);
}
