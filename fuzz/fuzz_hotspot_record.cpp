// Hotspot files (.fm2/.mr2) on arbitrary bytes, record by record as the engine reads them. A
// file read in full must survive its writer: written, read and written again, it gives the same
// bytes.

#include "data/hotspot_record.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;

namespace {

// Texts with a double quote cannot be written as records.
bool writable(const HotspotRecord& r) {
    for (const RecordValue* v :
         {&r.Field1,        &r.Left,           &r.Top,      &r.Width,     &r.Height,
          &r.Animated,      &r.ShowPicture,    &r.Picture,  &r.Stretch,   &r.Pointer,
          &r.HasConditions, &r.AnimationSpeed, &r.HasVideo, &r.VideoFile, &r.VideoAutoSize,
          &r.VideoVolume,   &r.Field28,        &r.Field29,  &r.VideoRate, &r.VideoPlayCount,
          &r.Field32,       &r.Field33}) {
        if (hasQuote(*v)) return false;
    }
    for (const RecordValue& v : r.Fields3to10) {
        if (hasQuote(v)) return false;
    }
    for (const QStringList* names : {&r.MustBeZero, &r.MustBeOne}) {
        for (const QString& name : *names) {
            if (name.contains(u'"')) return false;
        }
    }
    return true;
}

QByteArray written(const QList<HotspotRecord>& records) {
    RecordWriter out;
    for (const HotspotRecord& r : records)
        r.write(out);
    return out.bytes();
}

QList<HotspotRecord> readAll(const QByteArray& bytes, bool& complete) {
    QList<HotspotRecord> records;
    complete = true;
    RecordReader in(bytes);
    while (!in.atEnd()) {
        HotspotRecord r;
        try {
            r.read(in);
        } catch (const VbError&) {
            complete = false;
            break;
        }
        records.append(r);
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool complete = false;
    const QList<HotspotRecord> records = readAll(fuzz::bytesOf(data, size), complete);
    bool allWritable = true;
    for (const HotspotRecord& r : records)
        allWritable = allWritable && writable(r);

    if (complete && allWritable) {
        const QByteArray once = written(records);
        bool again = false;
        const QList<HotspotRecord> reread = readAll(once, again);
        if (!again) fail("a written hotspot file does not read back");
        if (written(reread) != once) fail("a written hotspot file reads back different");
    }

    const QString path = fuzz::writeInputFile(data, size, "Hall.fm2");
    try {
        (void)readHotspotFile(path);
    } catch (const VbError&) {
    }
    return 0;
}
