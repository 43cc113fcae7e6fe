#pragma once
// The animated picture control: shows the frames of an animated picture file (GIF, or anything
// else Qt reads as an animation) in turn, at (0, 0), where the picture is clear letting the
// container show through. A windowed control, so it lies above images and labels and takes the
// mouse itself.
//
// Frames advance on deadlines of the platform loop against the one Clock, so under virtual time
// the frame shown after N milliseconds is exactly the one the frame delays say. Late deadlines
// (a long event handler, a real-time stall) catch up rather than stretch the animation.
//
// Speed: 50 plays at the file's own timing, 100 twice as fast, 25 half as fast; below 1 counts
// as 50. A frame delay of 0 in the file counts as 100 ms, and no frame is shorter than 10 ms.
// The file's loop count is honoured: none plays once, 0 repeats for ever, n repeats n times
// after the first pass; the last frame stays when the animation ends.

#include "platform/controls.h"
#include "platform/event_loop.h"

#include <QImage>
#include <QList>
#include <QString>

namespace tv {

class AnimatedPicture : public Control {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(int Speed READ speed WRITE setSpeed)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(int FrameCount READ frameCount)
    Q_PROPERTY(int CurrentFrame READ currentFrame)
    Q_PROPERTY(bool Playing READ isPlaying)

public:
    static constexpr int kNormalSpeed = 50;
    static constexpr int kZeroDelayMs = 100;
    static constexpr int kMinDelayMs = 10;

    explicit AnimatedPicture(Control* container, const QString& name = {});
    ~AnimatedPicture() override;

    const QString& fileName() const { return fileName_; }
    // Loads every frame and shows the first, stopped (Play starts it). The path may be spelled
    // in another case than on disk, with '\' separators. Empty: no picture. A missing file:
    // VbError 53; one that cannot be read: 75; not a picture: 481. On error nothing changes.
    void setFileName(const QString& path);
    // As set (0 and negative speeds read back as given; they play as 50).
    int speed() const { return speed_; }
    void setSpeed(int speed);
    // On (the default): the control takes the picture's size whenever a file is loaded.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    int frameCount() const { return int(frames_.size()); }
    // From 0; 0 without a picture.
    int currentFrame() const { return current_; }
    bool isPlaying() const { return playing_; }
    // How long frame `index` stays at the current speed.
    qint64 frameDelayMs(int index) const;
    // The frame shown (null without a picture).
    QImage currentImage() const;

    // Runs the animation from the frame shown; after the animation ended, from the start again.
    // Nothing for a picture of one frame.
    Q_INVOKABLE void Play();
    // Holds the frame shown.
    Q_INVOKABLE void Stop();

protected:
    void paint(QWidget* widget, QPainter& painter) override;

private:
    struct Frame {
        QImage image;
        int fileDelayMs;
    };

    // Stopped at the first frame with every pass to go.
    void rewind();
    void cancelPending();
    void schedulePending();
    void onDeadline();
    // Moves to the frame after the one shown, which ended at `atMs`; false when the animation
    // has run out.
    bool advance(qint64 atMs);
    void fitToPicture();

    QString fileName_;
    QList<Frame> frames_;
    int fileLoops_ = 0; // -1 for ever, else further passes after the first
    int speed_ = kNormalSpeed;
    bool autoSize_ = true;

    int current_ = 0;
    bool playing_ = false;
    bool finished_ = false;
    int loopsLeft_ = 0;
    qint64 shownAtMs_ = 0; // when the frame shown came up
    EventLoop::DeadlineId pending_ = 0;
};

} // namespace tv
