// Frame records (.fme) and hotspot counts (.lks) on arbitrary bytes: the record reader, the
// header reader the frame display uses, and the count reader. A record read in full must
// survive its writer: written, read and written again, it gives the same bytes.

#include "data/frame_record.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;
using tv::fuzz::written;

namespace {

// Texts with a double quote cannot be written as records; rows of no values are not written
// at all, so a record with such rows cannot come back the same.
bool writable(const FrameRecord& r) {
    for (const QString* t :
         {&r.Background, &r.SoundFile, &r.TimerTarget, &r.VideoFile, &r.MusicFile}) {
        if (t->contains(u'"')) return false;
    }
    for (const RecordValue* v : {&r.TimerSeconds, &r.Ignored10, &r.ProcedureCall, &r.FadeDuration,
                                 &r.StartupScript, &r.Ignored36}) {
        if (hasQuote(*v)) return false;
    }
    for (const QList<RecordValue>* kept : {&r.Ignored14to16, &r.Ignored29to34}) {
        for (const RecordValue& v : *kept) {
            if (hasQuote(v)) return false;
        }
    }
    for (const auto& row : r.ChannelRows) {
        if (row.isEmpty()) return false;
        for (const RecordValue& v : row) {
            if (hasQuote(v)) return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    FrameRecord record;
    bool complete = true;
    try {
        RecordReader in(bytes);
        record.read(in);
    } catch (const VbError&) {
        complete = false;
    }
    (void)record.procedureCallText();
    (void)record.startupScriptText();

    if (complete && writable(record)) {
        const QByteArray once = written(record);
        FrameRecord again;
        try {
            RecordReader in(once);
            again.read(in);
        } catch (const VbError&) {
            fail("a written record does not read back");
        }
        if (written(again) != once) fail("a written record reads back different");
    }

    const QString path = fuzz::writeInputFile(data, size, "Frame.fme");
    try {
        (void)readFrameRecord(path);
    } catch (const VbError&) {
    }
    FrameHeader header;
    try {
        readFrameHeader(path, header);
    } catch (const VbError&) {
    }
    try {
        (void)readHotspotCount(path);
    } catch (const VbError&) {
    }
    return 0;
}
