// The "Resume" file on arbitrary bytes: reading never fails otherwise than with a classic error,
// the lookup never fails at all, and a file that reads in full survives its writer.

#include "data/saved_game_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Resume");

    ResumeFile read;
    int error = 0;
    try {
        RecordReader in(bytes);
        readResume(in, read);
    } catch (const VbError& e) {
        error = e.number();
    }
    // The lookup: the last pair that names the frame, or the frame itself on any failure.
    const QString frame = read.Pairs.isEmpty() ? QStringLiteral("Hall") : read.Pairs.first().first;
    QString expected = frame;
    if (error == 0 && !frame.isEmpty())
        for (const auto& [saved, at] : read.Pairs)
            if (saved.compare(frame, Qt::CaseInsensitive) == 0 && !at.isEmpty()) expected = at;
    if (resumeLocation(path, frame) != expected) fail("the lookup disagrees with the file");
    if (error != 0 || unwritable(read.Leading)) return 0;
    for (const auto& [saved, at] : read.Pairs)
        if (saved.contains(u'"') || at.contains(u'"')) return 0;

    ResumeFile expectedFile = read;
    for (RecordValue& v : expectedFile.Leading)
        v = stored(v);
    fuzz::survivesWriter(read, expectedFile,
                         [](RecordReader& in, ResumeFile& v) { readResume(in, v); });
    return 0;
}
