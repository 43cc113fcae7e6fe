// The CD index on arbitrary bytes: reading throws only VbError and keeps whole records; the
// table holds only usable records; loading it as the player does agrees with the reading; and
// what reads in full survives its writer.

#include "data/multi_cd.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;
using tv::fuzz::written;

namespace {

CdIndexFile asStored(CdIndexFile index) {
    for (QList<RecordValue>* values : {&index.Leading, &index.Skipped}) {
        for (RecordValue& v : *values)
            v = stored(v);
    }
    return index;
}

bool writable(const CdIndexFile& index) {
    if (unwritable(index.Leading) || unwritable(index.Skipped)) return false;
    for (const CdIndexEntry& e : index.Entries) {
        if (e.Name.contains(u'"')) return false;
    }
    return true;
}

// A project folder whose index is the input, with the marker that makes the player read it.
const ProjectFolders& cdProject() {
    static const ProjectFolders folders = [] {
        ProjectFolders f;
        f.setRoot(fuzz::scratchPath("project"));
        QDir().mkpath(f.ConfigFolder);
        QFile marker(cdMarkerPath(f));
        if (!marker.open(QIODevice::WriteOnly)) fail("no place for the marker");
        DialogService::instance().setAutomated(true);
        return f;
    }();
    return folders;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const ProjectFolders& folders = cdProject();
    QFile file(cdIndexPath(folders));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != qint64(size))
        fail("cannot write the input");
    file.close();

    CdIndexFile whole;
    bool broken = false;
    try {
        RecordReader in(bytes);
        readCdIndex(in, whole);
    } catch (const VbError&) {
        broken = true;
    }
    const QList<CdTableEntry> table = cdTable(whole);
    for (const CdTableEntry& e : table) {
        if (e.name.isEmpty() || e.cd < 1 || e.cd > whole.CdCount || e.kind == u"0")
            fail("the table keeps a record it should leave out");
    }
    MultiCd loaded;
    loaded.load(folders);
    if (!loaded.active()) fail("an index with its marker is not used");
    if (loaded.table() != table) fail("loading keeps other records than the reading");
    if (broken || !writable(whole)) return 0;

    const QByteArray once = written(whole);
    CdIndexFile back;
    try {
        RecordReader in(once);
        readCdIndex(in, back);
    } catch (const VbError&) {
        fail("a written index does not read back");
    }
    if (!(back == asStored(whole))) fail("a written index reads back as another");
    if (written(back) != once) fail("a written index reads back different");
    return 0;
}
