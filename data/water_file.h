#pragma once
// A frame's rippling water: FRAME.rwe in the frames folder gives the rectangle, the wave setting,
// the speed and (optionally) the direction; FRAME.rwm beside it is the mask picture.

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

struct WaterFile {
    // Fields 1-6: the editor's own, kept only for a rewrite.
    QList<RecordValue> Leading = QList<RecordValue>(6, RecordValue::ofNumber(0));
    // The rectangle in pixels of the frame.
    qint16 Left = 0;
    qint16 Top = 0;
    qint16 Width = 0;
    qint16 Height = 0;
    qint16 Wave = 0;  // the strength of the wave
    qint16 Speed = 0; // how fast the wave moves; -2 stands still
    // The last field is optional: without it the wave runs forwards.
    bool hasReverse = false;
    bool Reverse = false;

    void write(RecordWriter& out) const; // the file's bytes

    bool operator==(const WaterFile&) const = default;
};

QString waterSettingsPath(const ProjectFolders& folders, const QString& frame); // FRAME.rwe
QString waterMaskPath(const ProjectFolders& folders, const QString& frame);     // FRAME.rwm

// Reads the settings from an open reader; the reader's error (VbError) on a broken file.
void readWater(RecordReader& in, WaterFile& into);
// The whole file; throws VbError at the first failure.
WaterFile readWaterFile(const QString& path);
void writeWaterFile(const QString& path, const WaterFile& water);

} // namespace tv
