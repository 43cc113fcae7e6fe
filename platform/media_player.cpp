#include "platform/media_player.h"

#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/files.h"
#include "platform/core/midi_timing.h"
#include "platform/event_loop.h"
#include "platform/media_backends.h"
#include "platform/sound_recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace tv {

namespace {

// How long a medium of unknown length plays when nothing else will say it ended.
constexpr qint64 kUnknownDurationMs = 2000;
// How long after its time a medium whose end the back end did not report is ended by the clock.
constexpr qint64 kMissedEndGraceMs = 250;

SoundOutput& output() {
    static SoundOutput value = SoundOutput::Device;
    return value;
}

// MIDI goes to the synthesiser, by its content where the file can be read, else by its name.
bool isMidiFile(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        return looksLikeMidi(file.read(12));
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "mid" || suffix == "midi" || suffix == "rmi";
}

} // namespace

bool soundCardPresent() {
    static const bool present =
        !QDir("/dev/snd").entryList({"pcm*"}, QDir::System | QDir::Files).isEmpty();
    return present;
}

void setSoundOutput(SoundOutput value) {
    output() = value;
}

SoundOutput soundOutput() {
    return output();
}

MediaPlayer::MediaPlayer(const QString& name, int index, QObject* parent, Kind kind)
    : QObject(parent), kind_(kind), index_(index) {
    setObjectName(name);
}

MediaPlayer::~MediaPlayer() {
    cancelEnd();
    if (recording_) SoundRecorder::instance().end(recording_);
}

QString MediaPlayer::logName() const {
    return index_ >= 0 ? QStringLiteral("%1(%2)").arg(objectName()).arg(index_) : objectName();
}

MediaBackend& MediaPlayer::backendFor(const QString& path) {
    std::unique_ptr<MediaBackend>& slot = isMidiFile(path) ? midi_ : stream_;
    if (!slot) {
        slot = &slot == &midi_ ? createMidiBackend() : createStreamBackend(kind_ == Kind::Video);
        slot->setVolume(volume_);
        slot->setRate(rate_);
        QPointer<MediaPlayer> self(this);
        slot->ended = [self] {
            if (self && self->state_ == Playing) self->endReported();
        };
        slot->frameReady = [self] {
            if (self) emit self->frameChanged();
        };
    }
    return *slot;
}

void MediaPlayer::setFileName(const QString& path) {
    if (state_ != Stopped) Stop();
    if (backend_) backend_->stop();
    fileName_ = path;
    loadedPath_.clear();
    backend_ = nullptr;
    info_ = MediaInfo();
    startPosition_ = 0;
    if (path.isEmpty()) return;
    const QString real = files::resolve(path);
    if (!QFileInfo(real).isFile()) throw vbError(err::FileNotFound);
    MediaBackend& backend = backendFor(real);
    info_ = backend.open(real);
    backend_ = &backend;
    loadedPath_ = real;
    emit frameChanged();
}

void MediaPlayer::setPlayCount(int count) {
    if (count < 0) throw vbError(err::InvalidPropertyValue);
    playCount_ = count;
}

void MediaPlayer::setVolume(int hundredthsOfDecibel) {
    if (hundredthsOfDecibel > 0 || hundredthsOfDecibel < -10000)
        throw vbError(err::InvalidPropertyValue);
    volume_ = hundredthsOfDecibel;
    if (stream_) stream_->setVolume(volume_);
    if (midi_) midi_->setVolume(volume_);
    if (recording_) SoundRecorder::instance().setVolume(recording_, volume_);
}

void MediaPlayer::setRate(double rate) {
    if (!(rate > 0)) throw vbError(err::InvalidPropertyValue);
    rate_ = rate;
    if (stream_) stream_->setRate(rate_);
}

double MediaPlayer::currentPosition() const {
    if (state_ != Playing) return startPosition_;
    if (Clock::instance().isVirtual() || !backend_)
        return startPosition_ + (Clock::instance().nowMs() - startedAtMs_) * rate_ / 1000.0;
    return backend_->position();
}

void MediaPlayer::setCurrentPosition(double seconds) {
    if (seconds < 0) throw vbError(err::InvalidPropertyValue);
    const bool wasPlaying = state_ == Playing;
    if (wasPlaying) {
        cancelEnd();
        backend_->stop();
    }
    startPosition_ = seconds;
    if (wasPlaying) {
        state_ = Stopped;
        Play();
    }
}

QImage MediaPlayer::frame(QSize size) const {
    return backend_ ? backend_->renderFrame(size) : QImage();
}

void MediaPlayer::Play() {
    if (!backend_) throw vbError(err::InvalidCall);
    cancelEnd();
    if (recording_) SoundRecorder::instance().end(recording_);
    backend_->play(playCount_, startPosition_);
    startedAtMs_ = Clock::instance().nowMs();
    recording_ = SoundRecorder::instance().begin(loadedPath_, backend_ == midi_.get(), playCount_,
                                                 startPosition_, volume_, rate_);
    EventLog::instance().write(QStringLiteral("play %1 %2").arg(logName(), fileName_));
    setState(Playing);
    // Under virtual time, and for back ends that cannot tell, the end comes from the clock at
    // the medium's true duration. A back end that tells may still miss an end (libmpv does for
    // sounds shorter than its output buffer when they were loaded paused): the clock ends those
    // a little after their time rather than never.
    if (playCount_ <= 0) return;
    const qint64 end = expectedEndMs();
    if (Clock::instance().isVirtual() || !backend_->reportsEnd()) {
        if (end >= 0)
            scheduleEnd(end);
        else if (!backend_->reportsEnd())
            scheduleEnd(startedAtMs_ + kUnknownDurationMs);
    } else if (end >= 0) {
        scheduleEnd(end + kMissedEndGraceMs);
    }
}

qint64 MediaPlayer::expectedEndMs() const {
    if (playCount_ <= 0 || info_.durationMs <= 0) return -1;
    const double remaining = std::max(0.0, info_.durationMs - startPosition_ * 1000);
    const auto total = qint64((remaining + double(info_.durationMs) * (playCount_ - 1)) / rate_);
    return startedAtMs_ + std::max<qint64>(1, total);
}

void MediaPlayer::scheduleEnd(qint64 atMs) {
    cancelEnd();
    QPointer<MediaPlayer> self(this);
    endDeadline_ = EventLoop::instance().schedule(atMs, [self] {
        if (!self) return;
        self->endDeadline_ = 0;
        self->finish();
    });
}

void MediaPlayer::endReported() {
    // Some outputs (the silent one) take the last of a sound at once and report the end early:
    // a sound never ends before its duration has passed.
    const qint64 expected = expectedEndMs();
    if (expected > Clock::instance().nowMs()) {
        scheduleEnd(expected);
        return;
    }
    finish();
}

void MediaPlayer::Stop() {
    const bool wasPlaying = state_ != Stopped;
    cancelEnd();
    if (backend_) backend_->stop();
    startPosition_ = 0;
    if (recording_) SoundRecorder::instance().end(recording_);
    recording_ = 0;
    if (wasPlaying) {
        EventLog::instance().write(QStringLiteral("stop %1").arg(logName()));
        setState(Stopped);
    }
}

void MediaPlayer::finish() {
    // Ended by itself: the player rewinds, as after Stop, but this is no stop of the game's.
    cancelEnd();
    if (backend_) backend_->stop();
    startPosition_ = 0;
    if (recording_) SoundRecorder::instance().end(recording_);
    recording_ = 0;
    setState(Stopped);
}

void MediaPlayer::cancelEnd() {
    if (endDeadline_) EventLoop::instance().cancel(endDeadline_);
    endDeadline_ = 0;
}

void MediaPlayer::setState(State state) {
    if (state == state_) return;
    const State old = state_;
    state_ = state;
    emit PlayStateChange(old, state);
}

MediaPlayerSet::MediaPlayerSet(const QString& name, std::function<MediaPlayer*(int)> element,
                               int first, int last, QObject* parent)
    : QObject(parent), element_(std::move(element)), first_(first), last_(last) {
    setObjectName(name);
}

QObject* MediaPlayerSet::Item(int index) const {
    if (index < first_ || index > last_) throw vbError(err::ControlArrayElementDoesNotExist);
    return element_(index);
}

} // namespace tv
