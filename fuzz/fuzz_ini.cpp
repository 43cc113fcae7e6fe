// The INI reader on arbitrary bytes: the document model, reading through a file as the game's
// scripts do, and edits that must leave the rest of the file readable as before.

#include "fuzz/fuzz_support.h"
#include "platform/core/ini.h"

using namespace tv;
using tv::fuzz::fail;

namespace {

// Everything a reader can see of a document.
struct Contents {
    QStringList sections;
    QList<QStringList> keys;
    QList<QStringList> values;
    bool operator==(const Contents&) const = default;
};

Contents contentsOf(const IniDocument& doc) {
    Contents c;
    c.sections = doc.sections();
    for (const QString& s : c.sections) {
        QStringList keys = doc.keys(s);
        QStringList values;
        for (const QString& k : keys) {
            const std::optional<QString> v = doc.value(s, k);
            if (!v) fail("a listed key has no value");
            values.append(*v);
        }
        c.keys.append(keys);
        c.values.append(values);
    }
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    IniDocument doc = IniDocument::fromBytes(bytes);
    const Contents before = contentsOf(doc);

    // Writing a document out and reading it again changes nothing a reader sees.
    if (contentsOf(IniDocument::fromBytes(doc.toBytes())) != before)
        fail("a rewritten document reads differently");

    // The file functions see what the document sees, cut to the classic buffer.
    const QString path = fuzz::writeInputFile(data, size, "input.ini");
    for (qsizetype s = 0; s < before.sections.size() && s < 4; ++s) {
        for (qsizetype k = 0; k < before.keys[s].size() && k < 4; ++k) {
            const QString& section = before.sections[s];
            const QString& key = before.keys[s][k];
            const QString expected =
                section.isEmpty() ? QString() : doc.value(section, key)->left(254);
            if (iniRead(path, section, key) != expected)
                fail("iniRead disagrees with the document");
        }
    }

    // Edits: a new section and key, a changed key, removals.
    doc.setValue("FuzzSection", "FuzzKey", "v");
    if (doc.value("fuzzsection", "FUZZKEY") != "v") fail("a set value does not read back");
    if (!before.sections.isEmpty() && !before.keys[0].isEmpty()) {
        const QString& section = before.sections[0];
        const QString& key = before.keys[0][0];
        doc.setValue(section, key, "w");
        if (doc.value(section, key) != "w") fail("a changed value does not read back");
        if (!doc.removeKey(section, key)) fail("a present key cannot be removed");
    }
    for (const QString& s : before.sections)
        doc.removeSection(s);
    (void)contentsOf(doc);

    if (!iniWrite(path, "FuzzSection", "FuzzKey", "x")) fail("iniWrite failed");
    if (iniRead(path, "FuzzSection", "FuzzKey") != "x") fail("a written value does not read back");
    iniRemoveKey(path, "FuzzSection", "FuzzKey");
    return 0;
}
