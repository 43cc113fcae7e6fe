#include "platform/video_player.h"

#include "platform/control_widget.h"

#include <QPainter>

namespace tv {

VideoPlayer::VideoPlayer(Control* container, const QString& name)
    : Control(container, name, new detail::ControlWidget, false),
      player_(name, -1, nullptr, MediaPlayer::Kind::Video) {
    connect(&player_, &MediaPlayer::frameChanged, this, [this] {
        if (QWidget* w = widget()) w->update();
    });
    connect(&player_, &MediaPlayer::PlayStateChange, this, &VideoPlayer::PlayStateChange);
}

void VideoPlayer::setFileName(const QString& path) {
    // The log names the player as the game does: its set's name and index.
    player_.setObjectName(name());
    player_.setIndex(index());
    player_.setFileName(path);
    if (autoSize_) fitToVideo();
    widget()->update();
}

void VideoPlayer::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) fitToVideo();
}

void VideoPlayer::fitToVideo() {
    const QSize size = player_.videoSize();
    if (size.isEmpty()) return;
    QRect rect = pixelGeometry();
    rect.setSize(size);
    setPixelGeometry(rect);
}

void VideoPlayer::paint(QWidget* widget, QPainter& painter) {
    const QImage frame = player_.frame(widget->size());
    if (frame.isNull()) {
        painter.fillRect(widget->rect(), Qt::black);
        return;
    }
    painter.drawImage(0, 0, frame);
}

} // namespace tv
