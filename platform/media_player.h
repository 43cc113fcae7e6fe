#pragma once
// The media player control: what the game needs of it (file, play count, volume, play state,
// play and stop). The sound itself comes from a back end: a simulated one that plays for the
// file's duration on the player's clock (tests, virtual time), or a real one.

#include "platform/event_loop.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    // Loads a file; throws VbError when it is missing or cannot be played.
    virtual void open(const QString& path) = 0;
    // Plays `playCount` times (0 = for ever) from the start; calls `finished` when done.
    virtual void play(int playCount, std::function<void()> finished) = 0;
    virtual void stop() = 0;
    virtual void setVolume(int hundredthsOfDecibel) = 0;
};

// Plays nothing, but for exactly as long as the file lasts, on the one Clock.
class SimulatedMediaBackend : public MediaBackend {
public:
    ~SimulatedMediaBackend() override;
    void open(const QString& path) override;
    void play(int playCount, std::function<void()> finished) override;
    void stop() override;
    void setVolume(int) override {}

    // Duration of a media file in milliseconds: read from the file where its format says it
    // (WAV), else a fixed stand-in so that waits on it still end.
    static qint64 durationOf(const QString& path);
    static constexpr qint64 kUnknownDurationMs = 2000;

private:
    qint64 durationMs_ = 0;
    EventLoop::DeadlineId pending_ = 0;
};

using MediaBackendFactory = std::function<std::unique_ptr<MediaBackend>()>;
// The back end new players get; the simulated one unless the program installs another.
void setMediaBackendFactory(MediaBackendFactory factory);
std::unique_ptr<MediaBackend> createMediaBackend();

class MediaPlayer : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(int PlayCount READ playCount WRITE setPlayCount)
    Q_PROPERTY(int Volume READ volume WRITE setVolume)
    Q_PROPERTY(int PlayState READ playState)
    Q_PROPERTY(double CurrentPosition READ currentPosition WRITE setCurrentPosition)
    Q_PROPERTY(bool ShowControls READ showControls WRITE setShowControls)
    Q_PROPERTY(bool ShowDisplay READ showDisplay WRITE setShowDisplay)
    Q_PROPERTY(bool ShowStatusBar READ showStatusBar WRITE setShowStatusBar)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QString Name READ objectName)
    Q_PROPERTY(int Index READ index)
public:
    enum State { Stopped = 0, Paused = 1, Playing = 2 };

    explicit MediaPlayer(const QString& name, int index = -1, QObject* parent = nullptr);
    ~MediaPlayer() override;

    // "Name(index)", as the event log names players.
    QString logName() const;
    int index() const { return index_; }

    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& path);
    int playCount() const { return playCount_; }
    void setPlayCount(int count) { playCount_ = count; }
    int volume() const { return volume_; }
    void setVolume(int hundredthsOfDecibel);
    int playState() const { return state_; }
    bool isPlaying() const { return state_ == Playing; }
    double currentPosition() const { return position_; }
    void setCurrentPosition(double seconds) { position_ = seconds; }
    bool showControls() const { return showControls_; }
    void setShowControls(bool on) { showControls_ = on; }
    bool showDisplay() const { return showDisplay_; }
    void setShowDisplay(bool on) { showDisplay_ = on; }
    bool showStatusBar() const { return showStatusBar_; }
    void setShowStatusBar(bool on) { showStatusBar_ = on; }
    double rate() const { return rate_; }
    void setRate(double rate) { rate_ = rate; }

    Q_INVOKABLE void Play();
    Q_INVOKABLE void Stop();

signals:
    void PlayStateChange(int oldState, int newState);

private:
    void setState(State state);

    std::unique_ptr<MediaBackend> backend_;
    QString fileName_;
    int index_;
    int playCount_ = 1;
    int volume_ = 0;
    State state_ = Stopped;
    double position_ = 0;
    double rate_ = 1;
    bool showControls_ = true;
    bool showDisplay_ = false;
    bool showStatusBar_ = false;
    bool loaded_ = false;
};

} // namespace tv
