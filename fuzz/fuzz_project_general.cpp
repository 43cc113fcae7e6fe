// The project's "General" file on arbitrary bytes. Whatever was read must survive the editor's
// writer: written, read and written again, it gives the same bytes.

#include "data/project.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/errors.h"

#include <QFile>

using namespace tv;
using tv::fuzz::fail;

namespace {

void load(ProjectSettings& s, const QString& path) {
    try {
        s.load(path);
    } catch (const VbError&) {
        // A broken file: the fields read so far are kept, the rest are defaults.
    }
}

QByteArray saved(const ProjectSettings& s, const QString& path) {
    s.save(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail("a saved file cannot be read");
    return file.readAll();
}

// Texts with a double quote cannot be written as records; the scripts are written with bars.
bool writable(const ProjectSettings& s) {
    for (const QString* t :
         {&s.ProjectName, &s.GameTitle, &s.InitialFrame, &s.GameVersion, &s.Author, &s.Email,
          &s.WebSite, &s.SchemeName, &s.InventoryButtonImage, &s.InventoryBackgroundImage,
          &s.DefaultPointer, &s.Field23}) {
        if (t->contains(u'"')) return false;
    }
    for (const RecordValue& v : s.Skipped) {
        if (v.kind == RecordValue::Kind::String && v.text.contains(u'"')) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProjectSettings first;
    load(first, fuzz::writeInputFile(data, size, "General"));
    if (!writable(first)) return 0;

    const QByteArray once = saved(first, fuzz::scratchPath("General1"));
    ProjectSettings second;
    try {
        second.load(fuzz::scratchPath("General1"));
    } catch (const VbError&) {
        fail("a written file does not read back");
    }
    if (saved(second, fuzz::scratchPath("General2")) != once)
        fail("a written file reads back different");
    return 0;
}
