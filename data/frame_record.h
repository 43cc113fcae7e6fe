#pragma once
// The frame record (F.fme): everything that drives the opening of a frame, and the hotspot
// count (F.lks). Each reader has a writer twin that produces the same layout.

#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

struct FrameRecord {
    qint16 BackgroundMode = 0;
    QString Background;
    bool BackgroundTiled = false;
    bool RestartSound = false;
    QString SoundFile;
    bool TimerEnabled = false;
    RecordValue TimerSeconds;
    QString TimerTarget;
    QString VideoFile;
    RecordValue Ignored10;
    // Fields the player steps over, kept so that a rewrite gives back what the editor wrote.
    QList<RecordValue> Ignored14to16 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    QList<RecordValue> Ignored29to34 = QList<RecordValue>(6, RecordValue::ofNumber(0));
    RecordValue Ignored36 = RecordValue::ofNumber(0);
    bool StopAllSounds = false;
    bool StopMusic = false;
    QString MusicFile;
    bool VideoUnplaced = false;
    bool VideoAtPosition = false;
    qint32 VideoLeft = 0;
    qint32 VideoTop = 0;
    qint32 VideoWidth = 0;
    qint32 VideoHeight = 0;
    bool SoundLoops = true; // a record that ends before it leaves the frame sound looping
    bool TimerTransition = false;
    qint32 TimerTransitionDuration = 0;
    qint16 TimerTransitionNumber = 0;
    bool CallProcedure = false;
    RecordValue ProcedureCall; // stored with a vertical bar for each double quote
    RecordValue FadeDuration;
    qint16 ChannelValueCount = 0;
    qint16 ChannelCount = 0;
    // Present only when ChannelValueCount < 6: ChannelCount rows of ChannelValueCount values.
    QList<QList<RecordValue>> ChannelRows;
    bool VideoFirst = false;
    RecordValue StartupScript; // characters 254 and "~" stand for double quotes

    // The points where a stored record may end: after these field numbers.
    static constexpr int kEndPoints[] = {10, 13, 22, 23, 25, 26, 28, 38, 39, 40};

    // Reads the record in file order from an open reader, stopping quietly at an allowed end.
    void read(RecordReader& in);
    // Writes the record up to and including field `lastField` (one of kEndPoints).
    void write(RecordWriter& out, int lastField = 40) const;

    // The start-up script and procedure call as the script engine gets them.
    QString procedureCallText() const;
    QString startupScriptText() const;
};

// Fields 1 to 3 of a frame record: what the frame display shows.
struct FrameHeader {
    qint16 BackgroundMode = 0;
    QString Background;
    bool BackgroundTiled = false;
};

FrameRecord readFrameRecord(const QString& fmePath);
void writeFrameRecord(const FrameRecord& record, const QString& fmePath, int lastField = 40);
// Reads fields 1-3 into `header`; a failure throws with what was read kept in `header`.
void readFrameHeader(const QString& fmePath, FrameHeader& header);

// The ".lks" file: the number of hotspots; a missing file means 0. Throws on a broken file.
qint16 readHotspotCount(const QString& lksPath);
void writeHotspotCount(qint16 count, const QString& lksPath);

} // namespace tv
