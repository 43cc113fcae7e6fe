// Project descriptions (torvane-build's YAML) on arbitrary bytes: one either fails with a
// BuildError or reads; one that reads is described again, and that description reads back to the
// same model, so it is described the same way once more.

#include "fuzz/fuzz_support.h"
#include "tools/builder/description.h"

using namespace tv::builder;
using tv::fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProjectDescription first;
    try {
        first = parseDescription(tv::fuzz::bytesOf(data, size), "fuzz.yaml", ".");
    } catch (const BuildError&) {
        return 0;
    }
    const QByteArray once = writeDescription(first);
    ProjectDescription second;
    try {
        second = parseDescription(once, "described.yaml", ".");
    } catch (const BuildError& e) {
        std::fprintf(stderr, "%s\n%s\n", e.what(), once.constData());
        fail("a description that was read is described in a way that does not read");
    }
    if (writeDescription(second) != once) fail("a description reads back different");
    return 0;
}
