#pragma once
// The older sound-channel data: the frame's ".chn" file in the Frames folder, and the same data
// inside each per-hotspot sound selection record (F.fm5). 22 leading values the player skips,
// then up to 5 channel rows of 5 values (row i is channel i).

#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

struct SoundChannelRow {
    bool stop = false;                              // stop the channel's player
    bool play = false;                              // play `file`
    QString file;                                   // relative to the Areas folder
    RecordValue repeat = RecordValue::ofNumber(0);  // 0 = once, anything else = for ever
    RecordValue ignored = RecordValue::ofNumber(0); // the row's first value

    bool operator==(const SoundChannelRow&) const = default;
};

struct SoundChannelData {
    QList<RecordValue> leading = QList<RecordValue>(22, RecordValue::ofNumber(0));
    QList<SoundChannelRow> rows; // at most 5

    // Reads the leading values and the rows up to the fifth, the end of the file or the
    // separator (not consumed). Rows are added as they are read, so a failure keeps the rows
    // before it.
    void read(RecordReader& in);
    // Writes the leading values and the first 5 rows; no separator.
    void write(RecordWriter& out) const;

    bool operator==(const SoundChannelData&) const = default;
};

// The rows of the data at the reader's position (the leading values skipped).
QList<SoundChannelRow> readSoundChannelRows(RecordReader& in);

// A whole ".chn" file.
SoundChannelData readSoundChannelFile(const QString& path);
void writeSoundChannelFile(const QString& path, const SoundChannelData& data);

// One record of F.fm5: field 1 (ignored), the hotspot index, 8 ignored values, the channel data
// and the separator.
struct SoundSelectionRecord {
    RecordValue Field1 = RecordValue::ofNumber(0);
    qint16 Hotspot = 0;
    QList<RecordValue> Ignored = QList<RecordValue>(8, RecordValue::ofNumber(0));
    SoundChannelData channels;

    void read(RecordReader& in); // including the separator
    void write(RecordWriter& out) const;

    bool operator==(const SoundSelectionRecord&) const = default;
};

QList<SoundSelectionRecord> readSoundSelectionFile(const QString& path);
void writeSoundSelectionFile(const QString& path, const QList<SoundSelectionRecord>& records);

} // namespace tv
