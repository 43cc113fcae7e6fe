// The "Variables" file on arbitrary bytes. Whatever was read in full must survive its writer:
// written, read and written again, it gives the same bytes.

#include "data/variables_file.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;

namespace {

// Names are written in double quotes, so names holding one cannot come back; "***" among the
// integer names would come back as the marker.
bool writable(const VariablesFile& f) {
    if (f.leading.kind == RecordValue::Kind::String && f.leading.text.contains(u'"')) return false;
    for (const QStringList* names : {&f.integers, &f.variants}) {
        for (const QString& name : *names) {
            if (name.contains(u'"')) return false;
        }
    }
    return true;
}

QByteArray written(const VariablesFile& f, const QString& path) {
    writeVariablesFile(path, f);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail("a written file cannot be read");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VariablesFile first;
    try {
        readVariablesFile(fuzz::writeInputFile(data, size, "Variables"), first);
    } catch (const VbError&) {
        return 0;
    }
    if (!writable(first)) return 0;
    const QByteArray once = written(first, fuzz::scratchPath("Variables1"));
    VariablesFile second;
    try {
        readVariablesFile(fuzz::scratchPath("Variables1"), second);
    } catch (const VbError&) {
        fail("a written file does not read back");
    }
    // Write # keeps fifteen significant digits of a number.
    VariablesFile expected = first;
    if (expected.leading.kind == RecordValue::Kind::Number)
        expected.leading.number = formatRecordNumber(expected.leading.number).toDouble();
    if (!(second == expected)) fail("a written file reads back different");
    if (written(second, fuzz::scratchPath("Variables2")) != once)
        fail("a written file is written differently");
    return 0;
}
