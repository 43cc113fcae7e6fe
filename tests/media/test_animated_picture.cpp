#include "mediagen/mediagen.h"
#include "platform/animated_picture.h"
#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/event_loop.h"
#include "tests/media/media_test_app.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

constexpr QRgb kBack = 0xFF336699;
const QList<QRgb> kColours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

class AnimatedPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::app();
        Clock::instance().setMode(Clock::Mode::Virtual);
        form_ = std::make_unique<Form>("frmMedia");
        form_->setInnerSize(300 * 15, 200 * 15);
        box_ = new PictureBox(form_.get(), "AniGifBox");
        box_->setBackColor(toOleColor(QColor::fromRgb(kBack)));
        box_->Move(0, 0, 200 * 15, 100 * 15);
        gif_ = new AnimatedPicture(box_, "AniGif");
    }

    // Solid frames of kColours in turn; a frame's pixels in `clear` rows are transparent.
    QString writeGif(const QList<int>& delaysCs, int loops = 0, QSize size = {20, 10},
                     int clearRows = 0) {
        QList<QImage> frames;
        for (int i = 0; i < delaysCs.size(); ++i) {
            QImage frame(size, QImage::Format_ARGB32);
            frame.fill(kColours[i % kColours.size()]);
            for (int y = 0; y < clearRows; ++y)
                for (int x = 0; x < size.width(); ++x)
                    frame.setPixel(x, y, 0);
            frames.append(frame);
        }
        const QString path = dir_.filePath(QString("anim%1.gif").arg(++files_));
        EXPECT_TRUE(mediagen::writeFile(path, mediagen::animatedGif(frames, delaysCs, loops)));
        return path;
    }

    static qint64 now() { return Clock::instance().nowMs(); }
    void play() {
        gif_->Play();
        start_ = now();
    }
    // Lets virtual time run to `ms` after play(), deadlines firing on the way.
    void runTo(qint64 ms) { EventLoop::instance().wait(start_ + ms - now()); }
    // The frame shown at each of the times (ms after play()), in order.
    void expectFrames(const QList<std::pair<qint64, int>>& timeline) {
        for (const auto& [ms, frame] : timeline) {
            runTo(ms);
            EXPECT_EQ(gif_->currentFrame(), frame) << "at " << ms << " ms";
        }
    }

    QTemporaryDir dir_;
    int files_ = 0;
    std::unique_ptr<Form> form_;
    PictureBox* box_ = nullptr;
    AnimatedPicture* gif_ = nullptr;
    qint64 start_ = 0;
};

TEST_F(AnimatedPictureTest, FramesFollowTheFileDelaysAndLoopForEver) {
    gif_->setFileName(writeGif({10, 20, 30}));
    EXPECT_EQ(gif_->frameCount(), 3);
    EXPECT_FALSE(gif_->isPlaying()) << "a new file waits for Play";
    play();
    expectFrames({{0, 0}, {99, 0}, {100, 1}, {299, 1}, {300, 2}, {599, 2}, {600, 0}, {700, 1}});
}

TEST_F(AnimatedPictureTest, SpeedScalesEveryDelayAndBelowOneIsNormal) {
    const QString file = writeGif({10, 20, 30});
    // Speed and how long the file's delays then last, in per cent.
    for (const auto& [speed, lasts] :
         QList<std::pair<int, int>>{{100, 50}, {0, 100}, {-3, 100}, {25, 200}}) {
        SCOPED_TRACE(speed);
        gif_->setFileName(file);
        gif_->setSpeed(speed);
        EXPECT_EQ(gif_->speed(), speed);
        play();
        const int percent = lasts;
        const auto at = [percent](int ms) { return qint64(ms) * percent / 100; };
        expectFrames(
            {{at(100) - 1, 0}, {at(100), 1}, {at(300) - 1, 1}, {at(300), 2}, {at(600), 0}});
    }
    // A delay of 0 counts as 100 ms; no frame is shorter than 10 ms.
    gif_->setFileName(writeGif({0, 4}));
    gif_->setSpeed(100);
    EXPECT_EQ(gif_->frameDelayMs(0), 50);
    EXPECT_EQ(gif_->frameDelayMs(1), 20);
    gif_->setSpeed(1000);
    EXPECT_EQ(gif_->frameDelayMs(1), 10);
}

TEST_F(AnimatedPictureTest, SpeedChangedWhilePlayingCountsFromWhenTheFrameCameUp) {
    gif_->setFileName(writeGif({20, 20}));
    play();
    runTo(60);
    gif_->setSpeed(100); // frame 0 now lasts 100 ms from 0, not from 60
    expectFrames({{99, 0}, {100, 1}, {199, 1}, {200, 0}});
}

TEST_F(AnimatedPictureTest, LoopCountIsHonouredAndTheLastFrameStays) {
    gif_->setFileName(writeGif({10, 10}, 2)); // three passes
    play();
    expectFrames({{500, 1}, {550, 1}, {5000, 1}});
    EXPECT_FALSE(gif_->isPlaying());
    EXPECT_EQ(EventLoop::instance().nextDeadline(), -1);
    // Play after the end starts over.
    play();
    expectFrames({{0, 0}, {100, 1}, {200, 0}});

    gif_->setFileName(writeGif({10, 10}, -1)); // no loop extension: one pass
    play();
    expectFrames({{150, 1}, {1000, 1}});
    EXPECT_FALSE(gif_->isPlaying());
}

TEST_F(AnimatedPictureTest, StopHoldsTheFrameAndPlayGoesOnFromIt) {
    gif_->setFileName(writeGif({10, 20, 30}));
    play();
    runTo(150);
    gif_->Stop();
    EventLoop::instance().wait(5000);
    EXPECT_EQ(gif_->currentFrame(), 1);
    EXPECT_EQ(EventLoop::instance().nextDeadline(), -1);
    play(); // frame 1 stays its whole 200 ms again
    expectFrames({{199, 1}, {200, 2}});
}

TEST_F(AnimatedPictureTest, LateDeadlinesCatchUpWithTheDelays) {
    gif_->setFileName(writeGif({10, 20, 30}));
    play();
    // Time passes without the loop running (a long handler), then the loop catches up at once.
    EventLoop::instance().sleep(1050);
    EventLoop::instance().drain();
    EXPECT_EQ(gif_->currentFrame(), 2); // 1050 = 600 + 450: the third frame of the second pass
    expectFrames({{1199, 2}, {1200, 0}});
}

TEST_F(AnimatedPictureTest, NewFileAndDestructionLeaveNothingScheduled) {
    gif_->setFileName(writeGif({10, 10}));
    play();
    runTo(150);
    gif_->setFileName(writeGif({5, 5, 5}));
    EXPECT_FALSE(gif_->isPlaying());
    EXPECT_EQ(gif_->currentFrame(), 0);
    EXPECT_EQ(EventLoop::instance().nextDeadline(), -1);
    play();
    delete gif_;
    EXPECT_EQ(EventLoop::instance().nextDeadline(), -1);
}

TEST_F(AnimatedPictureTest, TakesThePictureSizeAndShowsTheFrame) {
    gif_->Move(30 * 15, 40 * 15, 15, 15);
    gif_->setFileName(writeGif({10, 10}, 0, {24, 12}, 4));
    EXPECT_EQ(gif_->pixelGeometry(), QRect(30, 40, 24, 12));
    EXPECT_EQ(gif_->grab().pixel(10, 8), kColours[0]);
    play();
    runTo(100);
    EXPECT_EQ(gif_->grab().pixel(10, 8), kColours[1]);
    // The clear rows show the box beneath.
    const QImage box = box_->grab();
    EXPECT_EQ(box.pixel(40, 50), kColours[1]);
    EXPECT_EQ(box.pixel(40, 41), kBack);

    gif_->setAutoSize(false);
    gif_->setFileName(writeGif({10}, 0, {50, 50}));
    EXPECT_EQ(gif_->pixelGeometry().size(), QSize(24, 12));
    gif_->setAutoSize(true);
    EXPECT_EQ(gif_->pixelGeometry().size(), QSize(50, 50));
}

TEST_F(AnimatedPictureTest, FilesItCannotShowRaiseNamedErrorsAndChangeNothing) {
    const QString good = writeGif({10, 10, 10});
    gif_->setFileName(good);
    const auto errorOf = [this](const QString& path) {
        try {
            gif_->setFileName(path);
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(dir_.filePath("missing.gif")), err::FileNotFound);
    EXPECT_EQ(errorOf(dir_.path()), err::FileNotFound);
    const QString text = dir_.filePath("notes.gif");
    ASSERT_TRUE(mediagen::writeFile(text, "not a picture"));
    EXPECT_EQ(errorOf(text), err::InvalidPicture);
    EXPECT_EQ(gif_->fileName(), good);
    EXPECT_EQ(gif_->frameCount(), 3);

    // Project paths are Windows paths: another case and backslashes still find the file.
    const QString spelled = QString(good).replace("anim", "ANIM").replace('/', '\\');
    EXPECT_EQ(errorOf(spelled), 0);
    gif_->setFileName({});
    EXPECT_EQ(gif_->frameCount(), 0);
    EXPECT_TRUE(gif_->currentImage().isNull());
}

TEST_F(AnimatedPictureTest, ScriptsUseTheClassicNamesAndItStacksAsAWindowedControl) {
    ASSERT_TRUE(gif_->setProperty("FileName", writeGif({10, 10})));
    EXPECT_TRUE(gif_->setProperty("Speed", 100));
    EXPECT_EQ(gif_->property("FrameCount").toInt(), 2);
    EXPECT_TRUE(QMetaObject::invokeMethod(gif_, "Play"));
    start_ = now();
    runTo(50);
    EXPECT_EQ(gif_->property("CurrentFrame").toInt(), 1);
    EXPECT_TRUE(gif_->property("AutoSize").toBool());
    EXPECT_TRUE(QMetaObject::invokeMethod(gif_, "Stop"));
    EXPECT_FALSE(gif_->property("Playing").toBool());

    // An image made later on the same spot still lies beneath it.
    auto* image = new ImageBox(box_, "Area");
    image->Move(0, 0, 100 * 15, 100 * 15);
    EXPECT_EQ(box_->clientWidget()->childAt(5, 5), gif_->widget());

    // A still picture has nothing to play.
    QImage still(8, 8, QImage::Format_RGB32);
    still.fill(Qt::white);
    const QString png = dir_.filePath("still.png");
    ASSERT_TRUE(still.save(png));
    gif_->setFileName(png);
    gif_->Play();
    EXPECT_EQ(gif_->frameCount(), 1);
    EXPECT_FALSE(gif_->isPlaying());
}

} // namespace
} // namespace tv
