#pragma once
// The media player control: what the game needs of it (file, play count, volume, play state,
// play and stop, position and rate, and for videos a picture to draw). Sound and video come from
// libmpv; MIDI music from FluidSynth, one synthesiser for each player that plays it.
//
// Ends follow the one Clock: under virtual time a medium plays for exactly its true duration on
// the virtual clock (it still decodes for real), so runs stay deterministic; in real time the
// back end reports the end itself.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

// What a loaded file is.
struct MediaInfo {
    qint64 durationMs = 0; // 0: unknown
    QSize videoSize;       // empty: no picture
};

// One decoder and output for one player. open() throws VbError: FileNotFound for a missing
// file, InvalidFileFormat for one that cannot be played.
class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    virtual MediaInfo open(const QString& path) = 0;
    // Plays `playCount` times (0 = for ever) from `fromSeconds`.
    virtual void play(int playCount, double fromSeconds) = 0;
    virtual void stop() = 0;
    virtual void setVolume(int hundredthsOfDecibel) = 0;
    virtual void setRate(double rate) = 0;
    // Seconds from the start, as far as the back end knows.
    virtual double position() const = 0;
    // Whether the back end calls `ended` itself when the last repetition finishes.
    virtual bool reportsEnd() const = 0;
    // Called on the window thread when playing ended by itself, and when a new picture is ready.
    std::function<void()> ended;
    std::function<void()> frameReady;
    // The current picture at `size` (video back ends), else a null image.
    virtual QImage renderFrame(QSize) { return {}; }
};

// Where sound goes: the desktop's sound output, or nowhere (headless runs). Whatever the choice,
// a SoundRecorder may also be writing what is heard into a file.
enum class SoundOutput { Device, None };
void setSoundOutput(SoundOutput output);
SoundOutput soundOutput();

class MediaPlayer : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(int PlayCount READ playCount WRITE setPlayCount)
    Q_PROPERTY(int Volume READ volume WRITE setVolume)
    Q_PROPERTY(int PlayState READ playState)
    Q_PROPERTY(double CurrentPosition READ currentPosition WRITE setCurrentPosition)
    Q_PROPERTY(double Duration READ duration)
    Q_PROPERTY(bool ShowControls READ showControls WRITE setShowControls)
    Q_PROPERTY(bool ShowDisplay READ showDisplay WRITE setShowDisplay)
    Q_PROPERTY(bool ShowStatusBar READ showStatusBar WRITE setShowStatusBar)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QString Name READ objectName)
    Q_PROPERTY(int Index READ index)
public:
    enum State { Stopped = 0, Paused = 1, Playing = 2 };
    // Sound-only players never decode pictures.
    enum class Kind { Sound, Video };

    explicit MediaPlayer(const QString& name, int index = -1, QObject* parent = nullptr,
                         Kind kind = Kind::Sound);
    ~MediaPlayer() override;

    // "Name(index)", as the event log names players.
    QString logName() const;
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }

    const QString& fileName() const { return fileName_; }
    // Loads the file (stopping what played). Missing or unplayable files raise VbError; the name
    // stays readable either way.
    void setFileName(const QString& path);
    int playCount() const { return playCount_; }
    void setPlayCount(int count);
    int volume() const { return volume_; }
    void setVolume(int hundredthsOfDecibel);
    int playState() const { return state_; }
    bool isPlaying() const { return state_ == Playing; }
    double currentPosition() const;
    void setCurrentPosition(double seconds);
    double duration() const { return info_.durationMs / 1000.0; }
    bool showControls() const { return showControls_; }
    void setShowControls(bool on) { showControls_ = on; }
    bool showDisplay() const { return showDisplay_; }
    void setShowDisplay(bool on) { showDisplay_ = on; }
    bool showStatusBar() const { return showStatusBar_; }
    void setShowStatusBar(bool on) { showStatusBar_ = on; }
    double rate() const { return rate_; }
    void setRate(double rate);

    // The picture's own size (empty for sound) and the current picture at a given size.
    QSize videoSize() const { return info_.videoSize; }
    QImage frame(QSize size) const;

    Q_INVOKABLE void Play();
    Q_INVOKABLE void Stop();

signals:
    void PlayStateChange(int oldState, int newState);
    // A new picture is ready (video players).
    void frameChanged();

private:
    void setState(State state);
    void finish();
    void endReported();
    // When the last repetition ends on the clock, or -1 when that cannot be known.
    qint64 expectedEndMs() const;
    void scheduleEnd(qint64 atMs);
    void cancelEnd();
    MediaBackend& backendFor(const QString& path);

    const Kind kind_;
    std::unique_ptr<MediaBackend> stream_; // libmpv, made when first needed
    std::unique_ptr<MediaBackend> midi_;   // FluidSynth, made when first needed
    MediaBackend* backend_ = nullptr;      // the one that holds the loaded file
    MediaInfo info_;
    QString fileName_;
    QString loadedPath_;
    int index_;
    int playCount_ = 1;
    int volume_ = 0;
    State state_ = Stopped;
    double startPosition_ = 0;
    qint64 startedAtMs_ = 0;
    double rate_ = 1;
    quint64 endDeadline_ = 0;
    int recording_ = 0; // the SoundRecorder's number for what plays now
    bool showControls_ = true;
    bool showDisplay_ = false;
    bool showStatusBar_ = false;
};

// A fixed indexed set of players as scripts see it: Item(index), the default member, and the
// bounds. The players belong to whoever made the set.
class MediaPlayerSet : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(int LBound READ lbound)
    Q_PROPERTY(int UBound READ ubound)
public:
    MediaPlayerSet(const QString& name, std::function<MediaPlayer*(int)> element, int first,
                   int last, QObject* parent = nullptr);

    int count() const { return last_ - first_ + 1; }
    int lbound() const { return first_; }
    int ubound() const { return last_; }
    // VbError ControlArrayElementDoesNotExist outside the bounds.
    Q_INVOKABLE QObject* Item(int index) const;

private:
    std::function<MediaPlayer*(int)> element_;
    int first_;
    int last_;
};

} // namespace tv
