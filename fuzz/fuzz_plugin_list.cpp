// Config/Plugins on arbitrary bytes: reading throws only VbError; the whole-file reading agrees
// with the reading from bytes; the distinct names are the first of each name without regard to
// case, in order; and what reads in full survives its writer.

#include "data/plugins_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

#include <QSet>

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Plugins");

    PluginListFile read;
    const int error = fuzz::readBothWays(
        bytes, path, read, [](RecordReader& in, PluginListFile& v) { readPluginList(in, v); },
        [](const QString& p) { return readPluginListFile(p); });

    const QStringList distinct = distinctPluginNames(read.Names);
    QSet<QString> seen;
    qsizetype at = 0;
    for (const QString& name : distinct) {
        if (seen.contains(name.toLower())) fail("a name is kept twice");
        seen.insert(name.toLower());
        while (at < read.Names.size() && read.Names[at] != name)
            ++at;
        if (at == read.Names.size()) fail("the distinct names are out of order");
        // A name with a path separator never names a data file.
        if (usablePluginName(name) && (name.contains(u'/') || name.contains(u'\\')))
            fail("a name with a separator names a data file");
    }
    for (const QString& name : read.Names) {
        if (!seen.contains(name.toLower())) fail("a name is left out");
    }
    if (error != 0 || unwritable(read.Leading)) return 0;
    for (const QString& name : read.Names) {
        if (name.contains(u'"')) return 0;
    }

    PluginListFile expected = read;
    for (RecordValue& v : expected.Leading)
        v = stored(v);
    fuzz::survivesWriter(read, expected,
                         [](RecordReader& in, PluginListFile& v) { readPluginList(in, v); });
    return 0;
}
