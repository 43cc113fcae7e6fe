#include "mediagen/mediagen.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <vector>

namespace tv::mediagen {
namespace {

struct Event {
    qint64 tick;
    QByteArray bytes; // status and data, or FF type data for meta events
};

// Reads a format-0 file the way a sequencer would, checking the chunk sizes on the way.
struct ParsedMidi {
    int format = -1, tracks = -1, division = -1;
    std::vector<Event> events;
};

ParsedMidi parse(const QByteArray& file) {
    ParsedMidi midi;
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    EXPECT_EQ(file.left(4), "MThd");
    EXPECT_EQ(qFromBigEndian<quint32>(d + 4), 6u);
    midi.format = qFromBigEndian<quint16>(d + 8);
    midi.tracks = qFromBigEndian<quint16>(d + 10);
    midi.division = qFromBigEndian<quint16>(d + 12);
    EXPECT_EQ(file.mid(14, 4), "MTrk");
    const qint64 trackSize = qFromBigEndian<quint32>(d + 18);
    EXPECT_EQ(trackSize, file.size() - 22) << "the track chunk runs to the end of the file";

    qint64 pos = 22, tick = 0;
    const auto varLen = [&] {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i) {
            const uchar b = d[pos++];
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) break;
        }
        return v;
    };
    while (pos < file.size()) {
        tick += varLen();
        const uchar status = d[pos];
        qint64 length;
        if (status == 0xFF) {
            const qint64 start = pos;
            pos += 2;
            length = varLen();
            midi.events.push_back({tick, file.mid(start, 2) + file.mid(pos, length)});
            pos += length;
            continue;
        }
        EXPECT_TRUE(status & 0x80) << "no running status expected";
        length = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
        midi.events.push_back({tick, file.mid(pos, length)});
        pos += length;
    }
    EXPECT_EQ(pos, file.size());
    return midi;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

TEST(Midi, HeaderTempoProgramAndNotes) {
    // At 120 beats a minute a quarter note (480 ticks) lasts 500 ms.
    const QByteArray file = midiFile({{60, 0, 500}, {64, 500, 250, 90}, {67, 1000, 2000, 127}},
                                     /*program*/ 19, /*bpm*/ 120);
    const ParsedMidi midi = parse(file);
    EXPECT_EQ(midi.format, 0);
    EXPECT_EQ(midi.tracks, 1);
    EXPECT_EQ(midi.division, kMidiTicksPerQuarter);

    const std::vector<std::pair<qint64, QByteArray>> expected = {
        {0, bytes({0xFF, 0x51, 0x07, 0xA1, 0x20})}, // 500,000 microseconds a quarter
        {0, bytes({0xC0, 19})},
        {0, bytes({0x90, 60, 100})},
        {480, bytes({0x80, 60, 64})},
        {480, bytes({0x90, 64, 90})},
        {720, bytes({0x80, 64, 64})},
        {960, bytes({0x90, 67, 127})},
        {2880, bytes({0x80, 67, 64})},
        {2880, bytes({0xFF, 0x2F})},
    };
    ASSERT_EQ(midi.events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(midi.events[i].tick, expected[i].first) << i;
        EXPECT_EQ(midi.events[i].bytes.toHex(), expected[i].second.toHex()) << i;
    }
}

TEST(Midi, RepeatedKeyEndsBeforeItStartsAgainAndLongGapsUseSeveralBytes) {
    // Slower tempo: 60 bpm, so a second is 480 ticks; the 70 s gap needs a three-byte delta.
    const ParsedMidi midi =
        parse(midiFile({{72, 0, 1000, 0}, {72, 1000, 1000, 200}, {50, 71000, 0}}, 0, 60));
    std::vector<std::pair<qint64, QByteArray>> notes;
    for (const Event& e : midi.events)
        if ((uchar(e.bytes[0]) & 0xE0) == 0x80) notes.emplace_back(e.tick, e.bytes);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0].second.toHex(), bytes({0x90, 72, 1}).toHex()) << "velocity 0 is raised";
    EXPECT_EQ(notes[1], std::make_pair(qint64(480), bytes({0x80, 72, 64})));
    EXPECT_EQ(notes[2], std::make_pair(qint64(480), bytes({0x90, 72, 127})));
    EXPECT_EQ(notes[4].first, 71 * 480);
    // A very short note still lasts a tick.
    EXPECT_EQ(notes[5].first, 71 * 480 + 1);
    EXPECT_EQ(midi.events.back().bytes, bytes({0xFF, 0x2F}));
}

TEST(Midi, NoNotesIsStillAFile) {
    const ParsedMidi midi = parse(midiFile({}));
    EXPECT_EQ(midi.events.size(), 3u); // tempo, program, end
    EXPECT_TRUE(midiFile({}, 0, 0).isEmpty());
}

} // namespace
} // namespace tv::mediagen
