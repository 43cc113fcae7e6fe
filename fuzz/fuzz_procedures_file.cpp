// The "Procedures" file on arbitrary bytes, read plain and scrambled. A plain text read in full
// must survive the writer; a scrambled one too when it holds no "~" (which has no scrambled
// form).

#include "data/procedures_file.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/cp1252.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;

namespace {

constexpr int kOffset = 17; // the scrambled seed is written with it

void roundTrip(const ProceduresFile& first, std::optional<int> offset) {
    for (const QString& line : first.header) {
        // A header line is written with CR LF after it, so it cannot hold a line break.
        if (line.contains(u'\r') || line.contains(u'\n')) return;
    }
    const QString path = fuzz::scratchPath("Procedures1");
    writeProceduresFile(path, first, offset);
    ProceduresFile second;
    try {
        readProceduresFile(path, second, offset);
    } catch (const VbError&) {
        fail("a written file does not read back");
    }
    if (!(second == first)) fail("a written file reads back different");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::writeInputFile(data, size, "Procedures");
    for (std::optional<int> offset : {std::optional<int>(), std::optional<int>(kOffset)}) {
        ProceduresFile file;
        try {
            readProceduresFile(input, file, offset);
        } catch (const VbError&) {
            continue;
        }
        // Code 0 is dropped by the decoder and lone line breaks become CR LF: only texts the
        // writer can store come back.
        if (file.text.contains(QChar(0)) || (offset && !scramblable(file.text))) continue;
        bool plainBreaks = true;
        for (qsizetype i = 0; i < file.text.size(); ++i) {
            if (file.text[i] == u'\r' && (i + 1 == file.text.size() || file.text[i + 1] != u'\n'))
                plainBreaks = false;
            if (file.text[i] == u'\n' && (i == 0 || file.text[i - 1] != u'\r')) plainBreaks = false;
        }
        if (plainBreaks) roundTrip(file, offset);
    }
    return 0;
}
