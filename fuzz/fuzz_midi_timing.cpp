// How long a MIDI file plays, on arbitrary bytes: a named error or a duration, never a crash or
// a hang, and the same duration for the file wrapped as RIFF "RMID".

#include "fuzz/fuzz_support.h"
#include "platform/core/errors.h"
#include "platform/core/midi_timing.h"

using namespace tv;
using tv::fuzz::fail;

namespace {

QByteArray wrapped(const QByteArray& smf) {
    QByteArray riff = "RIFF" + QByteArray(4, '\0') + "RMIDdata";
    for (int i = 0; i < 4; ++i)
        riff += char((smf.size() >> (8 * i)) & 0xFF);
    return riff + smf;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    qint64 duration = -1;
    try {
        duration = midiDurationMs(bytes);
    } catch (const VbError& e) {
        if (e.number() != err::InvalidFileFormat) fail("a broken MIDI file raised another error");
        return 0;
    }
    if (duration < 0) fail("a negative duration");
    if (!bytes.startsWith("RIFF")) {
        if (!looksLikeMidi(bytes)) fail("a file that does not look like MIDI was read");
        if (midiDurationMs(wrapped(bytes)) != duration) fail("the RMID wrapper changed the length");
    }
    return 0;
}
