#include "data/sound_channel_file.h"

#include "data/record_helpers.h"
#include "platform/core/files.h"

namespace tv {

namespace {
constexpr int kLeadingValues = 22;
constexpr int kMaxRows = 5;
} // namespace

void SoundChannelData::read(RecordReader& in) {
    leading = readValues(in, kLeadingValues);
    rows.clear();
    while (rows.size() < kMaxRows && !AtRecordEnd(in)) {
        SoundChannelRow row;
        row.ignored = in.readVariant();
        row.stop = in.readBool();
        row.play = in.readBool();
        row.file = in.readString();
        row.repeat = in.readVariant();
        rows.append(row);
    }
}

void SoundChannelData::write(RecordWriter& out) const {
    writeValues(out, leading, kLeadingValues);
    out.endLine();
    for (qsizetype i = 0; i < rows.size() && i < kMaxRows; ++i) {
        const SoundChannelRow& row = rows[i];
        out.value(row.ignored).boolean(row.stop).boolean(row.play).string(row.file);
        out.value(row.repeat).endLine();
    }
}

QList<SoundChannelRow> readSoundChannelRows(RecordReader& in) {
    SoundChannelData data;
    data.read(in);
    return data.rows;
}

SoundChannelData readSoundChannelFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    SoundChannelData data;
    data.read(in);
    return data;
}

void writeSoundChannelFile(const QString& path, const SoundChannelData& data) {
    RecordWriter out;
    data.write(out);
    out.saveTo(path);
}

void SoundSelectionRecord::read(RecordReader& in) {
    *this = SoundSelectionRecord();
    Field1 = in.readVariant();
    Hotspot = in.readInt16();
    Ignored = readValues(in, 8);
    channels.read(in);
    skipToRecordEnd(in);
}

void SoundSelectionRecord::write(RecordWriter& out) const {
    out.value(Field1).integer(Hotspot);
    writeValues(out, Ignored, 8);
    out.endLine();
    channels.write(out);
    writeSeparator(out);
}

QList<SoundSelectionRecord> readSoundSelectionFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    QList<SoundSelectionRecord> records;
    while (!in.atEnd()) {
        SoundSelectionRecord r;
        r.read(in);
        records.append(r);
    }
    return records;
}

void writeSoundSelectionFile(const QString& path, const QList<SoundSelectionRecord>& records) {
    RecordWriter out;
    for (const SoundSelectionRecord& r : records)
        r.write(out);
    out.saveTo(path);
}

} // namespace tv
