// Frame text files (.fm1/.mr1) on arbitrary bytes, record by record as the player reads them, bad
// records skipped. The records read must survive their writer: written and read again, every one
// reads in full, they are the same records (numbers as stored, to 15 significant digits) and they
// give the same bytes.

#include "data/frame_texts.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;
using tv::fuzz::storable;
using tv::fuzz::stored;

namespace {

// Texts with a double quote cannot be written as records, nor numbers that are not storable.
bool writable(const FrameTextRecord& r) {
    if (r.Caption.contains(u'"') || r.FontName.contains(u'"')) return false;
    for (const RecordValue* v : {&r.Field1, &r.Field21}) {
        if (hasQuote(*v) || !storable(*v)) return false;
    }
    for (const RecordValue& v : r.Fields3to10) {
        if (hasQuote(v) || !storable(v)) return false;
    }
    for (double v : {r.Left, r.Top, r.FontSize}) {
        if (!storable(RecordValue::ofNumber(v))) return false;
    }
    return true;
}

FrameTextRecord asStored(FrameTextRecord r) {
    r.Left = stored(r.Left);
    r.Top = stored(r.Top);
    r.FontSize = stored(r.FontSize);
    for (RecordValue* v : {&r.Field1, &r.Field21})
        *v = stored(*v);
    for (RecordValue& v : r.Fields3to10)
        v = stored(v);
    return r;
}

QByteArray written(const QList<FrameTextRecord>& records) {
    RecordWriter out;
    for (const FrameTextRecord& r : records)
        r.write(out);
    return out.bytes();
}

// The player's loop: every record that reads in full; `bad` counts the others.
QList<FrameTextRecord> readAll(const QByteArray& bytes, int& bad) {
    QList<FrameTextRecord> records;
    bad = 0;
    RecordReader in(bytes);
    while (!in.atEnd()) {
        const qint64 before = in.position();
        FrameTextRecord r;
        if (readFrameTextRecord(in, r)) {
            records.append(r);
        } else {
            ++bad;
        }
        if (in.position() == before) fail("a record read nothing");
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int bad = 0;
    const QList<FrameTextRecord> records = readAll(fuzz::bytesOf(data, size), bad);
    bool allWritable = true;
    for (const FrameTextRecord& r : records) {
        allWritable = allWritable && writable(r);
        (void)r.captionText();
        (void)r.fontNameOrDefault();
    }
    (void)mergedTextIndex(records);

    if (allWritable) {
        const QByteArray once = written(records);
        int badAgain = 0;
        const QList<FrameTextRecord> reread = readAll(once, badAgain);
        if (badAgain != 0) fail("a written text file has a record that does not read back");
        for (qsizetype i = 0; i < reread.size() && i < records.size(); ++i) {
            if (!(reread[i] == asStored(records[i])))
                fail("a written text file reads back as other records");
        }
        if (reread.size() != records.size()) fail("a written text file has other records");
        if (written(reread) != once) fail("a written text file reads back different");
    }

    const QString path = fuzz::writeInputFile(data, size, "Hall.mr1");
    try {
        (void)readFrameTextFile(path);
    } catch (const VbError&) {
    }
    return 0;
}
