// FRAME.rwe on arbitrary bytes: reading never fails otherwise than with a classic error, and what
// reads in full survives its writer (read back as the same values, numbers as stored, and
// written the same).

#include "data/water_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::stored;
using tv::fuzz::unwritable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Frame.rwe");

    WaterFile read;
    const int error = fuzz::readBothWays(
        bytes, path, read, [](RecordReader& in, WaterFile& v) { readWater(in, v); },
        [](const QString& p) { return readWaterFile(p); });
    if (error != 0 || unwritable(read.Leading)) return 0;

    WaterFile expected = read;
    for (RecordValue& v : expected.Leading)
        v = stored(v);
    fuzz::survivesWriter(read, expected, [](RecordReader& in, WaterFile& v) { readWater(in, v); });
    return 0;
}
