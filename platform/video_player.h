#pragma once
// A media player that shows its picture: a control of the frame display, placed and sized like
// any other, drawing what the player decodes. With AutoSize on it takes the video's own size
// whenever a file is loaded.

#include "platform/controls.h"
#include "platform/media_player.h"

namespace tv {

class VideoPlayer : public Control {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(int PlayCount READ playCount WRITE setPlayCount)
    Q_PROPERTY(int Volume READ volume WRITE setVolume)
    Q_PROPERTY(int PlayState READ playState)
    Q_PROPERTY(double CurrentPosition READ currentPosition WRITE setCurrentPosition)
    Q_PROPERTY(double Duration READ duration)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool ShowControls READ showControls WRITE setShowControls)
    Q_PROPERTY(bool ShowDisplay READ showDisplay WRITE setShowDisplay)
    Q_PROPERTY(bool ShowStatusBar READ showStatusBar WRITE setShowStatusBar)

public:
    explicit VideoPlayer(Control* container, const QString& name = {});

    MediaPlayer& player() { return player_; }
    const MediaPlayer& player() const { return player_; }

    QString fileName() const { return player_.fileName(); }
    void setFileName(const QString& path);
    int playCount() const { return player_.playCount(); }
    void setPlayCount(int count) { player_.setPlayCount(count); }
    int volume() const { return player_.volume(); }
    void setVolume(int volume) { player_.setVolume(volume); }
    int playState() const { return player_.playState(); }
    bool isPlaying() const { return player_.isPlaying(); }
    double currentPosition() const { return player_.currentPosition(); }
    void setCurrentPosition(double seconds) { player_.setCurrentPosition(seconds); }
    double duration() const { return player_.duration(); }
    double rate() const { return player_.rate(); }
    void setRate(double rate) { player_.setRate(rate); }
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool showControls() const { return player_.showControls(); }
    void setShowControls(bool on) { player_.setShowControls(on); }
    bool showDisplay() const { return player_.showDisplay(); }
    void setShowDisplay(bool on) { player_.setShowDisplay(on); }
    bool showStatusBar() const { return player_.showStatusBar(); }
    void setShowStatusBar(bool on) { player_.setShowStatusBar(on); }

    Q_INVOKABLE void Play() { player_.Play(); }
    Q_INVOKABLE void Stop() { player_.Stop(); }

signals:
    void PlayStateChange(int oldState, int newState);

protected:
    void paint(QWidget* widget, QPainter& painter) override;

private:
    void fitToVideo();

    MediaPlayer player_;
    bool autoSize_ = true;
};

} // namespace tv
