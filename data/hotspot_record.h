#pragma once
// Hotspot records (F.mr2, else F.fm2 in the frames data folder): one record per hotspot in index
// order, each ending with the separator. Merged files (.mr2) hold several frames' hotspots, the
// index restarting at 1 for each part. Every field the player ignores is kept, so the writer
// reproduces a record it has read.

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

struct HotspotRecord {
    RecordValue Field1 = RecordValue::ofNumber(0);
    qint16 Index = 0; // 1-based; restarts at 1 for each merged frame
    QList<RecordValue> Fields3to10 = QList<RecordValue>(8, RecordValue::ofNumber(0));
    // Rectangle in 1/15 pixel.
    RecordValue Left, Top, Width, Height;
    RecordValue Animated;      // non-zero: the picture is an animated picture
    RecordValue ShowPicture;   // true: the hotspot shows Picture
    RecordValue Picture;       // file in the Areas folder
    RecordValue Stretch;       // true: the picture fills the hotspot
    RecordValue Pointer;       // file in the Icons folder, or "default"
    RecordValue HasConditions; // 0: shown unless it disappeared
    QStringList MustBeZero;    // variables that must be 0 (list A)
    QStringList MustBeOne;     // variables that must be 1 (list B)

    // The optional tail: present only when the separator does not follow the lists.
    bool hasAnimationSpeed = false;
    RecordValue AnimationSpeed;
    bool hasVideoTail = false; // fields 24-33; only after AnimationSpeed
    RecordValue HasVideo, VideoFile, VideoAutoSize, VideoVolume;
    RecordValue Field28, Field29;
    RecordValue VideoRate;      // 0 means 1
    RecordValue VideoPlayCount; // 0 = for ever
    RecordValue Field32, Field33;

    // Reads one record from an open file, including its separator (fields after field 33, if
    // any, are skipped with it).
    void read(RecordReader& in);
    // Writes the record and its separator; the tail only as far as the has* flags say.
    void write(RecordWriter& out) const;

    bool operator==(const HotspotRecord&) const = default;

    // A plain hotspot over the rectangle given in pixels (the file keeps 1/15 pixel); every
    // other field is empty, which reads as no picture, the default pointer and no conditions.
    static HotspotRecord placed(int index, int left, int top, int width, int height);
};

// FramesDataFolder + F + ".mr2" when it exists, else ".fm2" when that exists, else "".
QString hotspotFilePath(const ProjectFolders& folders, const QString& frame);

// Every record of a hotspot file, in file order.
QList<HotspotRecord> readHotspotFile(const QString& path);
void writeHotspotFile(const QString& path, const QList<HotspotRecord>& records);

} // namespace tv
