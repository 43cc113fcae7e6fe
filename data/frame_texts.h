#pragma once
// Frame texts (F.mr1, else F.fm1 in the frames data folder): captions drawn over the frame, one
// record of 21 values each, no separator between records. A merged file (.mr1) holds the frame's
// own texts and then those merged in from other frames, the numbers restarting at 1 for each
// part. Every value is kept, so the writer gives back a file the reader has read.

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

struct FrameTextRecord {
    RecordValue Field1 = RecordValue::ofNumber(0);
    qint16 Number = 0; // 1, 2, ... within the frame the text was made in
    QList<RecordValue> Fields3to10 = QList<RecordValue>(8, RecordValue::ofNumber(0));
    QString Caption; // as stored; see captionText()
    double Left = 0; // 1/15 pixel
    double Top = 0;  // 1/15 pixel
    bool Bold = false;
    bool Italic = false;
    QString FontName;     // as stored; see fontNameOrDefault()
    double FontSize = 12; // points
    bool Strikethrough = false;
    bool Underline = false;
    qint32 Colour = 0; // 0x00BBGGRR
    RecordValue Field21 = RecordValue::ofNumber(0);

    // The caption shown: "[empty]" in any letter case stands for no text.
    QString captionText() const;
    // An empty font name means Arial.
    QString fontNameOrDefault() const;

    // The record's 21 values on one line.
    void write(RecordWriter& out) const;

    bool operator==(const FrameTextRecord&) const = default;
};

// Reads one record. Every field takes exactly one value whether or not that value converts, so a
// bad value costs only its own field and the reader ends at the start of the next record; at the
// end of the file the missing fields fail without reading anything. Returns false when any field
// failed: `record` then holds the fields that did convert and defaults for the others, and the
// caller may skip it and read on. Never throws for bad values. (A caption without its closing
// quote runs to the end of the file, as the classic reader has it; nothing follows it then.)
bool readFrameTextRecord(RecordReader& in, FrameTextRecord& record);

// FramesDataFolder + F + ".mr1" when it exists, else ".fm1" when that exists, else "".
QString frameTextFilePath(const ProjectFolders& folders, const QString& frame);

// The records of a text file that read in full, in file order; records with a bad value are left
// out, as the player leaves them out. Throws VbError when the file cannot be opened.
QList<FrameTextRecord> readFrameTextFile(const QString& path);
void writeFrameTextFile(const QString& path, const QList<FrameTextRecord>& records);

// The 1-based position of the first text of the merged part: the first record after the first
// whose number is 1; 1 when there is none.
int mergedTextIndex(const QList<FrameTextRecord>& records);

} // namespace tv
