#include "platform/animated_picture.h"

#include "platform/clock.h"
#include "platform/control_widget.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// A file that claims more frames than this is not an animation anyone drew.
constexpr int kMaxFrames = 10000;

} // namespace

AnimatedPicture::AnimatedPicture(Control* container, const QString& name)
    : Control(container, name, new detail::ControlWidget, false) {}

AnimatedPicture::~AnimatedPicture() {
    cancelPending();
}

void AnimatedPicture::setFileName(const QString& path) {
    if (path.isEmpty()) {
        fileName_.clear();
        frames_.clear();
        fileLoops_ = 0;
        rewind();
        return;
    }

    const QString real = files::resolve(path);
    const QFileInfo info(real);
    if (!info.exists() || info.isDir()) throw vbError(err::FileNotFound);
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly)) throw vbError(err::PathFileAccessError);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    QList<Frame> frames;
    for (;;) {
        QImage image;
        if (!reader.read(&image)) break;
        frames.append(
            {image.convertToFormat(QImage::Format_ARGB32_Premultiplied), reader.nextImageDelay()});
        if (!reader.supportsAnimation() || frames.size() >= kMaxFrames) break;
        if (const int count = reader.imageCount(); count > 0 && frames.size() >= count) break;
    }
    if (frames.isEmpty()) throw vbError(err::InvalidPicture);

    fileName_ = path;
    frames_ = std::move(frames);
    fileLoops_ = frames_.size() > 1 ? reader.loopCount() : 0;
    rewind();
    if (autoSize_) fitToPicture();
}

void AnimatedPicture::setSpeed(int speed) {
    speed_ = speed;
    // The frame shown keeps the moment it came up; only how long it stays changes.
    if (playing_) schedulePending();
}

void AnimatedPicture::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) fitToPicture();
}

qint64 AnimatedPicture::frameDelayMs(int index) const {
    if (index < 0 || index >= frames_.size()) return 0;
    const int fileDelay =
        frames_[index].fileDelayMs > 0 ? frames_[index].fileDelayMs : kZeroDelayMs;
    const int speed = speed_ < 1 ? kNormalSpeed : speed_;
    return std::max<qint64>(kMinDelayMs, std::llround(double(fileDelay) * kNormalSpeed / speed));
}

QImage AnimatedPicture::currentImage() const {
    return frames_.isEmpty() ? QImage() : frames_[current_].image;
}

void AnimatedPicture::Play() {
    if (playing_ || frames_.size() < 2) return;
    if (finished_) rewind();
    playing_ = true;
    shownAtMs_ = Clock::instance().nowMs();
    schedulePending();
}

void AnimatedPicture::Stop() {
    playing_ = false;
    cancelPending();
}

void AnimatedPicture::paint(QWidget*, QPainter& painter) {
    if (!frames_.isEmpty()) painter.drawImage(0, 0, frames_[current_].image);
}

void AnimatedPicture::rewind() {
    cancelPending();
    playing_ = finished_ = false;
    current_ = 0;
    loopsLeft_ = fileLoops_;
    widget()->update();
}

void AnimatedPicture::cancelPending() {
    if (pending_) EventLoop::instance().cancel(pending_);
    pending_ = 0;
}

void AnimatedPicture::schedulePending() {
    cancelPending();
    pending_ = EventLoop::instance().schedule(shownAtMs_ + frameDelayMs(current_),
                                              [this] { onDeadline(); });
}

void AnimatedPicture::onDeadline() {
    pending_ = 0;
    const qint64 now = Clock::instance().nowMs();
    const int before = current_;
    // Every frame whose time has passed is skipped over, so the frame shown is the one the
    // delays say however late this runs.
    while (playing_) {
        const qint64 due = shownAtMs_ + frameDelayMs(current_);
        if (due > now || !advance(due)) break;
    }
    if (playing_) schedulePending();
    if (current_ != before) widget()->update();
}

bool AnimatedPicture::advance(qint64 atMs) {
    if (current_ + 1 < frames_.size()) {
        ++current_;
    } else if (loopsLeft_ != 0) {
        if (loopsLeft_ > 0) --loopsLeft_;
        current_ = 0;
    } else {
        playing_ = false;
        finished_ = true;
        return false;
    }
    shownAtMs_ = atMs;
    return true;
}

void AnimatedPicture::fitToPicture() {
    if (frames_.isEmpty()) return;
    QRect rect = pixelGeometry();
    rect.setSize(frames_.first().image.size());
    setPixelGeometry(rect);
}

} // namespace tv
