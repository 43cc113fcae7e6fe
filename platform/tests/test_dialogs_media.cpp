#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
QString lastLine() {
    return EventLog::instance().lines().value(EventLog::instance().lines().size() - 1);
}

// A silent mono 8-bit WAV of `ms` milliseconds at 8000 Hz.
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
} // namespace

TEST(Dialogs, AutomatedBoxesTakeQueuedAnswersElseTheDefaultButton) {
    auto& dialogs = DialogService::instance();
    dialogs.setAutomated(true);
    EXPECT_EQ(dialogs.msgBox("Line 1\r\nLine 2", mb::OKOnly | mb::Critical, "Error"), mb::OK);
    EXPECT_EQ(lastLine(), "msgbox Error|Line 1\\nLine 2|OK");
    EXPECT_EQ(dialogs.msgBox("Quit?", mb::YesNo | mb::DefaultButton2, "Game"), mb::No);
    EXPECT_EQ(lastLine(), "msgbox Game|Quit?|No");
    dialogs.queueAnswer("yes");
    EXPECT_EQ(dialogs.msgBox("Quit?", mb::YesNo | mb::DefaultButton2, "Game"), mb::Yes);
    dialogs.queueAnswer("Retry");
    EXPECT_EQ(dialogs.msgBox("Again?", mb::RetryCancel, "T"), mb::Retry);
    EXPECT_EQ(lastLine(), "msgbox T|Again?|Retry");

    EXPECT_EQ(dialogs.inputBox("Name?", "T", "Bob").value(), "Bob");
    EXPECT_EQ(lastLine(), "inputbox T|Name?|Bob");
    dialogs.queueInput(QString("Alice"));
    dialogs.queueInput(std::nullopt);
    EXPECT_EQ(dialogs.inputBox("Name?", "T").value(), "Alice");
    EXPECT_FALSE(dialogs.inputBox("Name?", "T").has_value());
    EXPECT_EQ(lastLine(), "inputbox T|Name?|");
}

TEST(Dialogs, ButtonSetsAndResults) {
    EXPECT_EQ(DialogService::buttonCaptions(mb::YesNoCancel), (QStringList{"Yes", "No", "Cancel"}));
    EXPECT_EQ(DialogService::buttonCaptions(mb::AbortRetryIgnore | mb::Exclamation).size(), 3);
    EXPECT_EQ(DialogService::resultForCaption("Ignore"), mb::Ignore);
    EXPECT_EQ(DialogService::captionForResult(mb::No), "No");
    EXPECT_EQ(DialogService::resultForCaption("Maybe"), 0);
}

TEST(SimulatedMedia, PlaysForTheFileDurationOnTheClock) {
    Clock::instance().setMode(Clock::Mode::Virtual);
    QTemporaryDir dir;
    const QString wav = dir.filePath("bell.wav");
    writeWav(wav, 1500);
    EXPECT_EQ(SimulatedMediaBackend::durationOf(wav), 1500);

    MediaPlayer player("MPlayer", 6);
    player.setFileName(wav);
    player.setPlayCount(2);
    player.Play();
    EXPECT_EQ(lastLine(), "play MPlayer(6) " + wav);
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    EventLoop::instance().wait(2900);
    EXPECT_TRUE(player.isPlaying());
    EventLoop::instance().wait(200);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.fileName(), wav) << "the last path set stays readable";
}

TEST(SimulatedMedia, PlayCountZeroPlaysUntilStopped) {
    Clock::instance().setMode(Clock::Mode::Virtual);
    QTemporaryDir dir;
    const QString wav = dir.filePath("loop.wav");
    writeWav(wav, 100);
    MediaPlayer player("MPlayer", 7);
    player.setFileName(wav);
    player.setPlayCount(0);
    player.Play();
    EventLoop::instance().wait(60000);
    EXPECT_TRUE(player.isPlaying());
    player.Stop();
    EXPECT_EQ(lastLine(), "stop MPlayer(7)");
    EXPECT_FALSE(player.isPlaying());
    const int lines = EventLog::instance().lines().size();
    player.Stop(); // stopping a stopped player is not an event
    EXPECT_EQ(EventLog::instance().lines().size(), lines);
}

TEST(SimulatedMedia, MissingFilesAndBadVolumesFail) {
    MediaPlayer player("MPlayer", 1);
    EXPECT_THROW(player.setFileName("/no/such/file.wav"), VbError);
    EXPECT_THROW(player.Play(), VbError);
    EXPECT_THROW(player.setVolume(100), VbError);
    player.setVolume(-1200);
    EXPECT_EQ(player.volume(), -1200);
}
