#include "platform/media_player.h"

#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/files.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QtEndian>

namespace tv {

namespace {
MediaBackendFactory& backendFactory() {
    static MediaBackendFactory factory;
    return factory;
}
} // namespace

void setMediaBackendFactory(MediaBackendFactory factory) {
    backendFactory() = std::move(factory);
}

std::unique_ptr<MediaBackend> createMediaBackend() {
    if (backendFactory()) return backendFactory()();
    return std::make_unique<SimulatedMediaBackend>();
}

SimulatedMediaBackend::~SimulatedMediaBackend() {
    stop();
}

void SimulatedMediaBackend::open(const QString& path) {
    if (!QFileInfo(path).isFile()) throw vbError(err::FileNotFound);
    durationMs_ = durationOf(path);
}

void SimulatedMediaBackend::play(int playCount, std::function<void()> finished) {
    stop();
    if (playCount <= 0) return; // for ever: only Stop ends it
    const qint64 total = std::max<qint64>(1, durationMs_) * playCount;
    pending_ = EventLoop::instance().schedule(Clock::instance().nowMs() + total,
                                              [this, finished = std::move(finished)] {
                                                  pending_ = 0;
                                                  finished();
                                              });
}

void SimulatedMediaBackend::stop() {
    if (pending_) EventLoop::instance().cancel(pending_);
    pending_ = 0;
}

qint64 SimulatedMediaBackend::durationOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return kUnknownDurationMs;
    const QByteArray head = file.read(4096);
    // RIFF/WAVE: byte rate from the "fmt " chunk, length from the "data" chunk.
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE") {
        quint32 byteRate = 0;
        qint64 pos = 12;
        while (pos + 8 <= head.size()) {
            const QByteArray id = head.mid(pos, 4);
            const quint32 size = qFromLittleEndian<quint32>(head.constData() + pos + 4);
            if (id == "fmt " && pos + 20 <= head.size())
                byteRate = qFromLittleEndian<quint32>(head.constData() + pos + 16);
            if (id == "data") {
                if (byteRate == 0) break;
                const qint64 dataSize = std::min<qint64>(size, file.size() - pos - 8);
                return std::max<qint64>(1, dataSize * 1000 / byteRate);
            }
            pos += 8 + size + (size & 1);
        }
    }
    return kUnknownDurationMs;
}

MediaPlayer::MediaPlayer(const QString& name, int index, QObject* parent)
    : QObject(parent), backend_(createMediaBackend()), index_(index) {
    setObjectName(name);
}

MediaPlayer::~MediaPlayer() = default;

QString MediaPlayer::logName() const {
    return index_ >= 0 ? QStringLiteral("%1(%2)").arg(objectName()).arg(index_) : objectName();
}

void MediaPlayer::setFileName(const QString& path) {
    if (state_ != Stopped) Stop();
    fileName_ = path;
    loaded_ = false;
    position_ = 0;
    if (path.isEmpty()) return;
    backend_->open(files::resolve(path));
    loaded_ = true;
}

void MediaPlayer::setVolume(int hundredthsOfDecibel) {
    if (hundredthsOfDecibel > 0 || hundredthsOfDecibel < -10000)
        throw vbError(err::InvalidPropertyValue);
    volume_ = hundredthsOfDecibel;
    backend_->setVolume(volume_);
}

void MediaPlayer::Play() {
    if (!loaded_) throw vbError(err::InvalidCall);
    QPointer<MediaPlayer> self(this);
    backend_->play(playCount_, [self] {
        if (self) self->setState(Stopped);
    });
    EventLog::instance().write(QStringLiteral("play %1 %2").arg(logName(), fileName_));
    setState(Playing);
}

void MediaPlayer::Stop() {
    const bool wasPlaying = state_ != Stopped;
    backend_->stop();
    position_ = 0;
    if (wasPlaying) {
        EventLog::instance().write(QStringLiteral("stop %1").arg(logName()));
        setState(Stopped);
    }
}

void MediaPlayer::setState(State state) {
    if (state == state_) return;
    const State old = state_;
    state_ = state;
    emit PlayStateChange(old, state);
}

} // namespace tv
