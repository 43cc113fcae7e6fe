#include "platform/core/midi_timing.h"

#include "platform/core/errors.h"

#include <algorithm>
#include <map>

namespace tv {

namespace {

// Far beyond any music, and still a number of milliseconds that fits.
constexpr double kLongestMs = 1e15;

[[noreturn]] void broken() {
    throw vbError(err::InvalidFileFormat);
}

class Bytes {
public:
    Bytes(const QByteArray& data, qsizetype begin, qsizetype end)
        : data_(data), pos_(begin), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    quint8 byte() {
        if (pos_ >= end_) broken();
        return static_cast<quint8>(data_[pos_++]);
    }
    quint32 big(int size) {
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | byte();
        return value;
    }
    // A variable-length quantity: at most four bytes of seven bits.
    quint32 varLength() {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const quint8 b = byte();
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) return value;
        }
        broken();
    }
    void skip(quint32 count) {
        if (count > static_cast<quint64>(end_ - pos_)) broken();
        pos_ += count;
    }
    qsizetype pos() const { return pos_; }

private:
    const QByteArray& data_;
    qsizetype pos_;
    qsizetype end_;
};

// The standard file inside a RIFF "RMID" wrapper, or the data itself.
QByteArray unwrap(const QByteArray& data) {
    if (!data.startsWith("RIFF") || data.mid(8, 4) != "RMID") return data;
    Bytes in(data, 12, data.size());
    while (!in.atEnd()) {
        const qsizetype at = in.pos();
        in.skip(4);
        quint32 size = 0;
        for (int i = 0; i < 4; ++i)
            size |= quint32(in.byte()) << (8 * i);
        if (data.mid(at, 4) == "data") {
            in.skip(size);
            return data.mid(at + 8, size);
        }
        in.skip(size + (size & 1));
    }
    broken();
}

} // namespace

bool looksLikeMidi(const QByteArray& head) {
    return head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID");
}

qint64 midiDurationMs(const QByteArray& file) {
    const QByteArray data = unwrap(file);
    Bytes header(data, 0, data.size());
    if (header.big(4) != 0x4D546864) broken(); // "MThd"
    const quint32 headerSize = header.big(4);
    if (headerSize < 6) broken();
    header.big(2); // format: the timing is the same for all three
    const quint32 tracks = header.big(2);
    const quint32 division = header.big(2);
    if (division == 0) broken();
    header.skip(headerSize - 6);

    // Tempo changes by tick (any track may hold them); the end is the latest event of any track.
    std::map<quint64, quint32> tempos;
    quint64 lastTick = 0;
    Bytes in = header;
    for (quint32 t = 0; t < tracks && !in.atEnd(); ++t) {
        const quint32 id = in.big(4);
        const quint32 size = in.big(4);
        const qsizetype begin = in.pos();
        in.skip(size);
        if (id != 0x4D54726B) continue; // not "MTrk": skipped, as readers must
        Bytes track(data, begin, begin + size);
        quint64 tick = 0;
        quint8 status = 0;
        while (!track.atEnd()) {
            tick += track.varLength();
            quint8 b = track.byte();
            if (b == 0xFF) {
                const quint8 type = track.byte();
                const quint32 length = track.varLength();
                if (type == 0x51 && length == 3) {
                    tempos[tick] = track.big(3);
                } else {
                    track.skip(length);
                }
                if (type == 0x2F) break; // end of track
                continue;
            }
            if (b == 0xF0 || b == 0xF7) {
                track.skip(track.varLength());
                continue;
            }
            if (b & 0x80) {
                status = b;
                b = track.byte();
            } else if (!status) {
                broken(); // running status with no status before it
            }
            const quint8 kind = status & 0xF0;
            if (kind != 0xC0 && kind != 0xD0) track.byte();
            lastTick = std::max(lastTick, tick);
        }
        lastTick = std::max(lastTick, tick);
    }

    if (division & 0x8000) {
        // SMPTE timing: frames per second times ticks per frame.
        const int fps = 256 - int(division >> 8);
        const int perFrame = int(division & 0xFF);
        if (fps <= 0 || perFrame == 0) broken();
        return qint64(std::min(double(lastTick) * 1000 / (fps * perFrame), kLongestMs));
    }
    double micros = 0;
    quint64 at = 0;
    quint32 tempo = 500000; // 120 beats a minute until the file says otherwise
    for (const auto& [tick, value] : tempos) {
        if (tick >= lastTick) break;
        micros += double(tick - at) * tempo / division;
        at = tick;
        tempo = value;
    }
    micros += double(lastTick - at) * tempo / division;
    return qint64(std::min(micros / 1000 + 0.5, kLongestMs));
}

} // namespace tv
