// CPData/NAME.cp on arbitrary bytes: reading throws only VbError; the whole-file reading agrees
// with the reading from bytes; the counts never give more entries than the file holds values;
// every code text decodes (or fails with a classic error); and what reads in full survives its
// writer.

#include "data/plugins_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;
using tv::fuzz::written;

namespace {

bool writable(const PluginDataFile& p) {
    if (unwritable(p.Skipped) || unwritable(p.Extra)) return false;
    QStringList texts = {p.Title,       p.DisplayName,   p.Description,    p.InternalName,
                         p.StartupCode, p.FrameOpenCode, p.ProceduresCode, p.SecondFrameOpenCode};
    texts += p.IntegerVariables + p.VariantVariables + p.Strings;
    for (const PluginParameter& parameter : p.Parameters) {
        texts.append(parameter.Name);
        if (unwritable(QList<RecordValue>{parameter.Value, parameter.Third, parameter.Fourth}))
            return false;
    }
    for (const QString& text : texts) {
        if (text.contains(u'"')) return false;
    }
    return true;
}

PluginDataFile asStored(PluginDataFile p) {
    for (RecordValue& v : p.Skipped)
        v = stored(v);
    for (RecordValue& v : p.Extra)
        v = stored(v);
    for (PluginParameter& parameter : p.Parameters) {
        for (RecordValue* v : {&parameter.Value, &parameter.Third, &parameter.Fourth})
            *v = stored(*v);
    }
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Plugin.cp");

    PluginDataFile read;
    const int error = fuzz::readBothWays(
        bytes, path, read, [](RecordReader& in, PluginDataFile& v) { readPluginData(in, v); },
        [](const QString& p) { return readPluginDataFile(p); });
    if (error != 0) return 0;
    // Every entry stands for at least one byte of the file.
    const qsizetype entries = read.IntegerVariables.size() + read.VariantVariables.size() +
                              read.Parameters.size() + read.Extra.size();
    if (entries > qsizetype(size)) fail("a count gives more entries than the file holds");
    if (read.Version < 3 && !read.SecondFrameOpenCode.isEmpty())
        fail("a second frame-open code before version 3");
    for (const QString* code : {&read.StartupCode, &read.FrameOpenCode, &read.ProceduresCode,
                                &read.SecondFrameOpenCode}) {
        try {
            const QString plain = decodePluginCode(*code, read.codeForm());
            if (plain.contains(u'~') || plain.contains(QChar(254)))
                fail("a restored text keeps a quote character");
        } catch (const VbError&) {
            // The cipher's overflow on a text too long for its arithmetic.
        }
    }
    if (!writable(read)) return 0;

    const QByteArray once = written(read);
    PluginDataFile back;
    try {
        RecordReader in(once);
        readPluginData(in, back);
    } catch (const VbError&) {
        fail("a written plugin does not read back");
    }
    if (!(back == asStored(read))) fail("a written plugin reads back as another");
    if (written(back) != once) fail("a written plugin reads back different");
    return 0;
}
