#include "platform/core/errors.h"
#include "platform/core/midi_timing.h"

#include <QList>
#include <gtest/gtest.h>

using namespace tv;

namespace {

QByteArray be(quint32 value, int size) {
    QByteArray out;
    for (int i = size - 1; i >= 0; --i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

QByteArray track(const QByteArray& events) {
    return "MTrk" + be(quint32(events.size()), 4) + events;
}

QByteArray file(const QList<QByteArray>& tracks, int division = 480) {
    QByteArray out = "MThd" + be(6, 4) + be(tracks.size() > 1 ? 1 : 0, 2) +
                     be(quint32(tracks.size()), 2) + be(quint32(division), 2);
    for (const QByteArray& t : tracks)
        out += track(t);
    return out;
}

const QByteArray kEnd("\x00\xFF\x2F\x00", 4);

} // namespace

TEST(MidiTiming, DurationFollowsTheTempoMap) {
    // One quarter at 120 bpm (500 ms), a tempo change to 60 bpm, then one more quarter (1000 ms),
    // with running status for the note off.
    QByteArray events;
    events += QByteArray("\x00\x90\x3C\x64", 4);             // note on at 0
    events += QByteArray("\x83\x60\x3C\x00", 4);             // +480: running status note off
    events += QByteArray("\x00\xFF\x51\x03\x0F\x42\x40", 7); // tempo 1,000,000 us a quarter
    events += QByteArray("\x83\x60\xC0\x05", 4);             // +480: program change (one data byte)
    events += kEnd;
    EXPECT_EQ(midiDurationMs(file({events})), 1500);

    // Format 1: the tempo in the first track applies to the second, which is the longer one.
    const QByteArray tempoTrack = QByteArray("\x00\xFF\x51\x03\x07\xA1\x20", 7) + kEnd;    // 500000
    const QByteArray notes = QByteArray("\x00\x90\x40\x40\x87\x40\x80\x40\x00", 9) + kEnd; // +960
    EXPECT_EQ(midiDurationMs(file({tempoTrack, notes})), 1000);

    // The same music wrapped as RIFF RMID.
    const QByteArray smf = file({events});
    QByteArray riff = "RIFF" + QByteArray(4, 0) + "RMIDdata";
    for (int i = 0; i < 4; ++i)
        riff += char((smf.size() >> (8 * i)) & 0xFF);
    riff += smf;
    EXPECT_TRUE(looksLikeMidi(riff));
    EXPECT_EQ(midiDurationMs(riff), 1500);
}

TEST(MidiTiming, BrokenFilesAreInvalidFormatNotCrashes) {
    QByteArray events = QByteArray("\x00\x90\x3C\x64\x83\x60\x3C\x00", 8) + kEnd;
    const QByteArray good = file({events});
    for (int cut = 0; cut < good.size() - 4; ++cut) {
        try {
            midiDurationMs(good.left(cut));
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), err::InvalidFileFormat) << "cut at " << cut;
        }
    }
    EXPECT_THROW(midiDurationMs("RIFF....WAVEfmt "), VbError);
    EXPECT_THROW(midiDurationMs(file({QByteArray("\x00\x3C\x64", 3)})), VbError)
        << "running status before any status byte";
    EXPECT_FALSE(looksLikeMidi("RIFF\x10\0\0\0WAVE"));
}
