#include "data/water_file.h"

#include "data/record_helpers.h"
#include "platform/core/files.h"

namespace tv {

void WaterFile::write(RecordWriter& out) const {
    writeValues(out, Leading, 6);
    out.integer(Left).integer(Top).integer(Width).integer(Height).integer(Wave).integer(Speed);
    if (hasReverse) out.boolean(Reverse);
    out.endLine();
}

QString waterSettingsPath(const ProjectFolders& folders, const QString& frame) {
    return folders.FramesFolder + frame + ".rwe";
}

QString waterMaskPath(const ProjectFolders& folders, const QString& frame) {
    return folders.FramesFolder + frame + ".rwm";
}

void readWater(RecordReader& in, WaterFile& into) {
    into.Leading = readKeptValues(in, 6);
    into.Left = in.readInt16();
    into.Top = in.readInt16();
    into.Width = in.readInt16();
    into.Height = in.readInt16();
    into.Wave = in.readInt16();
    into.Speed = in.readInt16();
    into.hasReverse = !in.atEnd();
    if (into.hasReverse) into.Reverse = in.readBool();
}

WaterFile readWaterFile(const QString& path) {
    return readRecordFile<WaterFile>(
        path, [](RecordReader& in, WaterFile& into) { readWater(in, into); });
}

void writeWaterFile(const QString& path, const WaterFile& water) {
    writeRecordFile(path, water);
}

} // namespace tv
