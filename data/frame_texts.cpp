#include "data/frame_texts.h"

#include "data/record_helpers.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace tv {

QString FrameTextRecord::captionText() const {
    return Caption.compare(QLatin1String("[empty]"), Qt::CaseInsensitive) == 0 ? QString()
                                                                               : Caption;
}

QString FrameTextRecord::fontNameOrDefault() const {
    return FontName.isEmpty() ? QStringLiteral("Arial") : FontName;
}

void FrameTextRecord::write(RecordWriter& out) const {
    out.value(Field1).integer(Number);
    writeValues(out, Fields3to10, 8);
    out.string(Caption).number(Left).number(Top).boolean(Bold).boolean(Italic);
    out.string(FontName).number(FontSize).boolean(Strikethrough).boolean(Underline);
    out.integer(Colour).value(Field21).endLine();
}

bool readFrameTextRecord(RecordReader& in, FrameTextRecord& record) {
    record = FrameTextRecord();
    FrameTextRecord& r = record;
    bool ok = true;
    // One value per field: the reader has consumed it before its conversion can fail.
    auto field = [&](auto&& read) {
        try {
            read();
        } catch (const VbError&) {
            ok = false;
        }
    };
    field([&] { r.Field1 = readKeptValue(in); });
    field([&] { r.Number = in.readInt16(); });
    for (RecordValue& v : r.Fields3to10)
        field([&] { v = readKeptValue(in); });
    field([&] { r.Caption = in.readString(); });
    field([&] { r.Left = in.readDouble(); });
    field([&] { r.Top = in.readDouble(); });
    field([&] { r.Bold = in.readBool(); });
    field([&] { r.Italic = in.readBool(); });
    field([&] { r.FontName = in.readString(); });
    field([&] { r.FontSize = in.readDouble(); });
    field([&] { r.Strikethrough = in.readBool(); });
    field([&] { r.Underline = in.readBool(); });
    field([&] { r.Colour = in.readInt32(); });
    field([&] { r.Field21 = readKeptValue(in); });
    return ok;
}

QString frameTextFilePath(const ProjectFolders& folders, const QString& frame) {
    for (const char* ext : {".mr1", ".fm1"}) {
        const QString path = folders.FramesDataFolder + frame + QLatin1String(ext);
        if (files::fileExists(path)) return files::resolve(path);
    }
    return {};
}

QList<FrameTextRecord> readFrameTextFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    QList<FrameTextRecord> records;
    while (!in.atEnd()) {
        FrameTextRecord r;
        if (readFrameTextRecord(in, r)) records.append(r);
    }
    return records;
}

void writeFrameTextFile(const QString& path, const QList<FrameTextRecord>& records) {
    RecordWriter out;
    for (const FrameTextRecord& r : records)
        r.write(out);
    out.saveTo(path);
}

int mergedTextIndex(const QList<FrameTextRecord>& records) {
    for (int k = 2; k <= records.size(); ++k) {
        if (records[k - 1].Number == 1) return k;
    }
    return 1;
}

} // namespace tv
