// Standard MIDI files of a few notes.

#include "mediagen/byte_writer.h"
#include "mediagen/mediagen.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tv::mediagen {

namespace {

struct Event {
    qint64 tick;
    int order; // at the same tick: set-up first, then note-offs, then note-ons
    QByteArray bytes;
};

// The variable-length quantity of delta times: seven bits a byte, the highest group first, every
// byte but the last with its top bit set.
void appendVarLen(QByteArray& out, quint32 value) {
    char groups[5];
    int n = 0;
    do {
        groups[n++] = char(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1)
        out.append(char(groups[--n] | 0x80));
    out.append(groups[0]);
}

} // namespace

QByteArray midiFile(const QList<MidiNote>& notes, int program, int bpm) {
    if (bpm <= 0) return {};
    const auto ticks = [bpm](qint64 ms) {
        return std::max<qint64>(0, std::llround(double(ms) * bpm * kMidiTicksPerQuarter / 60000.0));
    };
    const quint32 microsPerQuarter = quint32(std::lround(60000000.0 / bpm));

    std::vector<Event> events;
    events.push_back({0, 0,
                      QByteArray("\xFF\x51\x03", 3) + char(microsPerQuarter >> 16) +
                          char(microsPerQuarter >> 8) + char(microsPerQuarter)});
    events.push_back({0, 0, QByteArray(1, char(0xC0)) + char(std::clamp(program, 0, 127))});
    for (const MidiNote& note : notes) {
        const char key = char(std::clamp(note.key, 0, 127));
        // A note-on of velocity 0 would be a note-off.
        const char velocity = char(std::clamp(note.velocity, 1, 127));
        const qint64 on = ticks(note.startMs);
        const qint64 off = std::max(on + 1, ticks(qint64(note.startMs) + note.lengthMs));
        events.push_back({on, 2, QByteArray(1, char(0x90)) + key + velocity});
        events.push_back({off, 1, QByteArray(1, char(0x80)) + key + char(64)});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    QByteArray track;
    qint64 last = 0;
    for (const Event& e : events) {
        appendVarLen(track, quint32(e.tick - last));
        track.append(e.bytes);
        last = e.tick;
    }
    appendVarLen(track, 0);
    track.append("\xFF\x2F\x00", 3);

    detail::ByteWriter w;
    w.tag("MThd");
    w.be32(6);
    w.be16(0); // one track holding everything
    w.be16(1);
    w.be16(kMidiTicksPerQuarter);
    w.tag("MTrk");
    w.be32(quint32(track.size()));
    w.append(track);
    return w.bytes();
}

} // namespace tv::mediagen
