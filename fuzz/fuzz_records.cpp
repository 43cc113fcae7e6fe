// The record-file reader on arbitrary bytes, driven through every read function. The first byte
// says how many of the following bytes are operations; the rest is the file.

#include "fuzz/fuzz_support.h"
#include "platform/core/errors.h"
#include "platform/core/records.h"

#include <cmath>
#include <optional>

using namespace tv;
using tv::fuzz::fail;

namespace {

enum Op {
    ReadVariant,
    ReadString,
    ReadInt16,
    ReadInt32,
    ReadDouble,
    ReadBool,
    ReadLine,
    PeekVariant,
    PeekString,
    Skip,
    Seek,
    CheckEnd,
    OpCount
};

bool close(double a, double b) {
    return a == b || std::fabs(a - b) <= 1e-14 * std::fabs(a) || std::fabs(a - b) < 1e-300;
}

// What Write # makes of a value must read back as the same value (to Write #'s fifteen
// digits). Strings with a double quote cannot be written, so they are left out.
void checkRoundTrip(const RecordValue& v) {
    if (v.kind == RecordValue::Kind::String && v.text.contains(u'"')) return;
    RecordWriter out;
    out.value(v).endLine();
    RecordReader back(out.bytes());
    const RecordValue w = back.readVariant();
    if (!back.atEnd()) fail("a written value is followed by more fields");
    if (w.kind != v.kind) fail("a written value reads back as another kind");
    if (v.kind == RecordValue::Kind::Number ? !close(v.number, w.number) : !(v == w))
        fail("a written value reads back different");
    (void)v.toText();
}

template <typename F> std::optional<int> errorOf(F&& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return std::nullopt;
}

// A read that succeeds must consume something, or a loop over the file would never end.
template <typename F> void read(RecordReader& in, F&& f) {
    const qint64 before = in.position();
    const bool ok = !errorOf(f);
    if (ok && in.position() <= before) fail("a read consumed nothing");
    if (in.position() < 0 || in.position() > in.size()) fail("position out of the file");
}

void run(RecordReader& in, uint8_t op) {
    switch (op % OpCount) {
    case ReadVariant:
        read(in, [&] { checkRoundTrip(in.readVariant()); });
        break;
    case ReadString:
        read(in, [&] { (void)in.readString(); });
        break;
    case ReadInt16:
        read(in, [&] { (void)in.readInt16(); });
        break;
    case ReadInt32:
        read(in, [&] { (void)in.readInt32(); });
        break;
    case ReadDouble:
        read(in, [&] {
            if (!std::isfinite(in.readDouble())) fail("readDouble gave a non-finite number");
        });
        break;
    case ReadBool:
        read(in, [&] { (void)in.readBool(); });
        break;
    case ReadLine:
        read(in, [&] { (void)in.readLine(); });
        break;
    case PeekVariant:
    case PeekString: {
        const qint64 before = in.position();
        RecordValue peeked, got;
        const bool asVariant = op % OpCount == PeekVariant;
        const auto peekError = errorOf([&] {
            peeked = asVariant ? in.peekVariant() : RecordValue::ofString(in.peekString());
        });
        if (in.position() != before) fail("a peek moved the position");
        const auto readError = errorOf(
            [&] { got = asVariant ? in.readVariant() : RecordValue::ofString(in.readString()); });
        if (peekError != readError) fail("a peek and the read after it disagree on the error");
        if (!peekError && !(peeked == got)) fail("a peek and the read after it disagree");
        break;
    }
    case Skip:
        if (op >> 4)
            read(in, [&] { in.skip(op >> 4); });
        else
            in.skip(0);
        break;
    case Seek: {
        const qint64 target = qint64(op >> 4) * (in.size() + 4) / 15 - 2;
        in.seek(target);
        if (in.position() != qBound<qint64>(0, target, in.size())) fail("seek went elsewhere");
        break;
    }
    case CheckEnd:
        if (in.atEnd() != (in.position() >= in.size())) fail("atEnd disagrees with position");
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t opCount = std::min<size_t>(data[0], size - 1);
    const uint8_t* ops = data + 1;
    RecordReader in(fuzz::bytesOf(ops + opCount, size - 1 - opCount));
    for (size_t i = 0; i < opCount; ++i)
        run(in, ops[i]);
    // Then as a loader does: fields until the end of the file.
    while (!in.atEnd()) {
        const qint64 before = in.position();
        read(in, [&] { (void)in.readVariant(); });
        if (in.position() == before) fail("a failed read left the reader where it was");
    }
    if (!errorOf([&] { in.readVariant(); })) fail("a read past the end succeeded");
    return 0;
}
