#include "data/hotspot_record.h"

#include "data/record_helpers.h"
#include "data/record_values.h"
#include "platform/core/files.h"

namespace tv {

namespace {

// A name list: its count (a general value, rounded as a loop bound is), then the names.
QStringList readNames(RecordReader& in) {
    const qint16 count = toInt16(in.readVariant());
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(in.readVariant().toText());
    return names;
}

void writeNames(RecordWriter& out, const QStringList& names) {
    out.integer(names.size());
    for (const QString& name : names)
        out.string(name);
    out.endLine();
}

} // namespace

void HotspotRecord::read(RecordReader& in) {
    HotspotRecord& r = *this;
    r = HotspotRecord(); // a failure leaves what was read, nothing of an earlier record
    r.Field1 = in.readVariant();
    r.Index = in.readInt16();
    r.Fields3to10 = readValues(in, 8);
    for (RecordValue* v : {&r.Left, &r.Top, &r.Width, &r.Height, &r.Animated, &r.ShowPicture,
                           &r.Picture, &r.Stretch, &r.Pointer, &r.HasConditions})
        *v = in.readVariant();
    r.MustBeZero = readNames(in);
    r.MustBeOne = readNames(in);
    r.hasAnimationSpeed = !AtRecordEnd(in);
    if (r.hasAnimationSpeed) {
        r.AnimationSpeed = in.readVariant();
        r.hasVideoTail = !AtRecordEnd(in);
        if (r.hasVideoTail) {
            for (RecordValue* v :
                 {&r.HasVideo, &r.VideoFile, &r.VideoAutoSize, &r.VideoVolume, &r.Field28,
                  &r.Field29, &r.VideoRate, &r.VideoPlayCount, &r.Field32, &r.Field33})
                *v = in.readVariant();
        }
    }
    skipToRecordEnd(in);
}

void HotspotRecord::write(RecordWriter& out) const {
    const HotspotRecord& r = *this;
    out.value(r.Field1).integer(r.Index).endLine();
    writeValues(out, r.Fields3to10, 8);
    out.endLine();
    out.value(r.Left).value(r.Top).value(r.Width).value(r.Height).endLine();
    out.value(r.Animated).value(r.ShowPicture).value(r.Picture).value(r.Stretch).endLine();
    out.value(r.Pointer).value(r.HasConditions).endLine();
    writeNames(out, r.MustBeZero);
    writeNames(out, r.MustBeOne);
    if (r.hasAnimationSpeed) {
        out.value(r.AnimationSpeed).endLine();
        if (r.hasVideoTail) {
            out.value(r.HasVideo)
                .value(r.VideoFile)
                .value(r.VideoAutoSize)
                .value(r.VideoVolume)
                .endLine();
            out.value(r.Field28)
                .value(r.Field29)
                .value(r.VideoRate)
                .value(r.VideoPlayCount)
                .value(r.Field32)
                .value(r.Field33)
                .endLine();
        }
    }
    writeSeparator(out);
}

QString hotspotFilePath(const ProjectFolders& folders, const QString& frame) {
    for (const char* ext : {".mr2", ".fm2"}) {
        const QString path = folders.FramesDataFolder + frame + QLatin1String(ext);
        if (files::fileExists(path)) return files::resolve(path);
    }
    return {};
}

QList<HotspotRecord> readHotspotFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    QList<HotspotRecord> records;
    while (!in.atEnd()) {
        HotspotRecord r;
        r.read(in);
        records.append(r);
    }
    return records;
}

void writeHotspotFile(const QString& path, const QList<HotspotRecord>& records) {
    RecordWriter out;
    for (const HotspotRecord& r : records)
        r.write(out);
    out.saveTo(path);
}

HotspotRecord HotspotRecord::placed(int index, int left, int top, int width, int height) {
    HotspotRecord r;
    r.Index = static_cast<qint16>(index);
    r.Left = RecordValue::ofNumber(left * 15.0);
    r.Top = RecordValue::ofNumber(top * 15.0);
    r.Width = RecordValue::ofNumber(width * 15.0);
    r.Height = RecordValue::ofNumber(height * 15.0);
    return r;
}

} // namespace tv
