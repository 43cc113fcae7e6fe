#include "data/frame_record.h"

#include "data/record_helpers.h"
#include "platform/core/files.h"

namespace tv {

void FrameRecord::read(RecordReader& in) {
    FrameRecord& r = *this;
    r.BackgroundMode = in.readInt16();
    r.Background = in.readString();
    r.BackgroundTiled = in.readBool();
    r.RestartSound = in.readBool();
    r.SoundFile = in.readString();
    r.TimerEnabled = in.readBool();
    r.TimerSeconds = in.readVariant();
    r.TimerTarget = in.readString();
    r.VideoFile = in.readString();
    r.Ignored10 = in.readVariant();
    if (in.atEnd()) return;
    r.StopAllSounds = in.readBool();
    r.StopMusic = in.readBool();
    r.MusicFile = in.readString();
    if (in.atEnd()) return;
    r.Ignored14to16 = readKeptValues(in, 3);
    r.VideoUnplaced = in.readBool();
    r.VideoAtPosition = in.readBool();
    r.VideoLeft = in.readInt32();
    r.VideoTop = in.readInt32();
    r.VideoWidth = in.readInt32();
    r.VideoHeight = in.readInt32();
    if (in.atEnd()) return;
    r.SoundLoops = in.readBool();
    if (in.atEnd()) return;
    r.TimerTransition = in.readBool();
    r.TimerTransitionDuration = in.readInt32();
    if (in.atEnd()) return;
    r.TimerTransitionNumber = in.readInt16();
    if (in.atEnd()) return;
    r.CallProcedure = in.readBool();
    r.ProcedureCall = in.readVariant();
    if (in.atEnd()) return;
    r.Ignored29to34 = readKeptValues(in, 6);
    r.FadeDuration = in.readVariant();
    r.Ignored36 = readKeptValue(in);
    r.ChannelValueCount = in.readInt16();
    r.ChannelCount = in.readInt16();
    if (r.ChannelValueCount < 6) {
        for (int row = 0; row < r.ChannelCount; ++row) {
            QList<RecordValue> values;
            for (int v = 0; v < r.ChannelValueCount; ++v)
                values.append(in.readVariant());
            r.ChannelRows.append(values);
        }
    }
    if (in.atEnd()) return;
    r.VideoFirst = in.readBool();
    if (in.atEnd()) return;
    r.StartupScript = in.readVariant();
}

void FrameRecord::write(RecordWriter& out, int lastField) const {
    const FrameRecord& r = *this;
    out.integer(r.BackgroundMode).string(r.Background).boolean(r.BackgroundTiled).endLine();
    out.boolean(r.RestartSound).string(r.SoundFile).endLine();
    out.boolean(r.TimerEnabled).value(r.TimerSeconds).string(r.TimerTarget).endLine();
    out.string(r.VideoFile).value(r.Ignored10).endLine();
    if (lastField <= 10) return;
    out.boolean(r.StopAllSounds).boolean(r.StopMusic).string(r.MusicFile).endLine();
    if (lastField <= 13) return;
    writeValues(out, r.Ignored14to16, 3);
    out.endLine();
    out.boolean(r.VideoUnplaced)
        .boolean(r.VideoAtPosition)
        .integer(r.VideoLeft)
        .integer(r.VideoTop)
        .integer(r.VideoWidth)
        .integer(r.VideoHeight)
        .endLine();
    if (lastField <= 22) return;
    out.boolean(r.SoundLoops).endLine();
    if (lastField <= 23) return;
    out.boolean(r.TimerTransition).integer(r.TimerTransitionDuration).endLine();
    if (lastField <= 25) return;
    out.integer(r.TimerTransitionNumber).endLine();
    if (lastField <= 26) return;
    out.boolean(r.CallProcedure).value(r.ProcedureCall).endLine();
    if (lastField <= 28) return;
    writeValues(out, r.Ignored29to34, 6);
    out.endLine();
    out.value(r.FadeDuration)
        .value(r.Ignored36)
        .integer(r.ChannelValueCount)
        .integer(r.ChannelCount)
        .endLine();
    if (r.ChannelValueCount < 6) {
        for (const auto& row : r.ChannelRows) {
            for (const RecordValue& v : row)
                out.value(v);
            out.endLine();
        }
    }
    if (lastField <= 38) return;
    out.boolean(r.VideoFirst).endLine();
    if (lastField <= 39) return;
    out.value(r.StartupScript).endLine();
}

QString FrameRecord::procedureCallText() const {
    QString text = ProcedureCall.toText();
    return text.replace('|', '"');
}

QString FrameRecord::startupScriptText() const {
    QString text = StartupScript.toText();
    text.replace(QChar(254), '"');
    text.replace('~', '"');
    return text;
}

FrameRecord readFrameRecord(const QString& fmePath) {
    RecordReader in = RecordReader::open(files::resolve(fmePath));
    FrameRecord record;
    record.read(in);
    return record;
}

void writeFrameRecord(const FrameRecord& record, const QString& fmePath, int lastField) {
    RecordWriter out;
    record.write(out, lastField);
    out.saveTo(fmePath);
}

void readFrameHeader(const QString& fmePath, FrameHeader& header) {
    RecordReader in = RecordReader::open(files::resolve(fmePath));
    header.BackgroundMode = in.readInt16();
    header.Background = in.readString();
    header.BackgroundTiled = in.readBool();
}

qint16 readHotspotCount(const QString& lksPath) {
    const QString path = files::resolve(lksPath);
    if (!files::fileExists(path)) return 0;
    RecordReader in = RecordReader::open(path);
    return in.readInt16();
}

void writeHotspotCount(qint16 count, const QString& lksPath) {
    RecordWriter out;
    out.integer(count).endLine();
    out.saveTo(lksPath);
}

} // namespace tv
