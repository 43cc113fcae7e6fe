// Scheme.txt on arbitrary bytes: the welcome window's reading never throws and agrees with the
// whole-file reading (the same scheme when that succeeds; the same failure, at the same field,
// when it does not), and what reads in full survives its writer (read back as the same values,
// numbers as stored, and written the same).

#include "data/scheme_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;
using tv::fuzz::written;

namespace {

SchemeFile asStored(SchemeFile s) {
    for (QList<RecordValue>* values : {&s.Leading, &s.TailSkipped}) {
        for (RecordValue& v : *values)
            v = stored(v);
    }
    s.HideTitle = stored(s.HideTitle);
    s.LogoSkipped = stored(s.LogoSkipped);
    return s;
}

bool writable(const SchemeFile& s) {
    if (unwritable(s.Leading) || unwritable(s.TailSkipped) ||
        unwritable(QList<RecordValue>{s.HideTitle, s.LogoSkipped}))
        return false;
    for (const QString& picture : s.Pictures) {
        if (picture.contains(u'"')) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Scheme.txt");

    SchemeFile whole;
    SchemeField reached = SchemeField::Nothing;
    int error = 0;
    try {
        RecordReader in(bytes);
        readScheme(in, whole, &reached);
    } catch (const VbError& e) {
        error = e.number();
    }

    const SchemeReading shown = readSchemeForWelcome(path);
    (void)shown.scheme.hidesTitle();
    for (const QString& picture : shown.scheme.Pictures)
        (void)isNoPicture(picture);
    if (error != 0) {
        if (shown.outcome != SchemeReading::Outcome::Broken || shown.error != error ||
            shown.reached != reached)
            fail("the window stops elsewhere than the whole-file reading");
        if (!(shown.scheme == whole)) fail("the window keeps other values than were read");
        return 0;
    }
    if (shown.outcome == SchemeReading::Outcome::Broken || !(shown.scheme == whole))
        fail("the window reads a whole file otherwise");
    if ((shown.outcome == SchemeReading::Outcome::Refused) != whole.refused())
        fail("a refusal is not told");
    if (whole.refused() && whole.hasTail) fail("a refused scheme read on");
    if (whole.PictureCount > 0 && whole.Pictures.size() != whole.PictureCount)
        fail("the pictures do not match their count");

    if (!writable(whole)) return 0;
    const QByteArray once = written(whole);
    SchemeFile back;
    try {
        RecordReader in(once);
        readScheme(in, back);
    } catch (const VbError&) {
        fail("a written scheme does not read back");
    }
    if (!(back == asStored(whole))) fail("a written scheme reads back as another");
    if (written(back) != once) fail("a written scheme reads back different");
    return 0;
}
