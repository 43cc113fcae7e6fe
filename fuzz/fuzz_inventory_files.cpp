// Inventory files on arbitrary bytes: the item definition (.obj), the combination (.drg) and the
// pick-up (.fm4) readers, and the lookup a hotspot click makes. What reads in full must survive
// its writer (read back as the same values, numbers as stored, and written the same), and the
// click's lookup must agree with the whole-file reading of the records.

#include "data/inventory_files.h"
#include "data/record_helpers.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;
using tv::fuzz::storable;
using tv::fuzz::stored;
using tv::fuzz::unwritable;

namespace {

bool isSeparator(const RecordValue& v) {
    return v.kind == RecordValue::Kind::String && v.text == kSeparator;
}

void checkItemDefinition(const QString& path) {
    QString icon;
    try {
        icon = readItemDefinition(path);
    } catch (const VbError&) {
        return;
    }
    if (icon.contains(u'"')) return;
    RecordWriter out;
    writeItemDefinition(out, icon);
    const QString again = fuzz::scratchPath("again.obj");
    out.saveTo(again);
    try {
        if (readItemDefinition(again) != icon) fail("an item's icon reads back as another");
    } catch (const VbError&) {
        fail("a written item definition does not read back");
    }
}

ItemCombination asStored(ItemCombination c) {
    for (RecordValue* v : {&c.RemoveDragged, &c.RemoveTarget, &c.AddItem})
        *v = stored(*v);
    for (RecordValue& v : c.Ignored)
        v = stored(v);
    return c;
}

void checkCombination(const QString& path) {
    ItemCombination c;
    try {
        c = readItemCombination(path);
    } catch (const VbError&) {
        return;
    }
    (void)c.removesDragged();
    (void)c.removesTarget();
    (void)c.addsItem();
    (void)c.scriptText();
    if (unwritable(QList<RecordValue>{c.RemoveDragged, c.RemoveTarget, c.AddItem}) ||
        unwritable(c.Ignored) || c.NewItem.contains(u'"') || c.Script.contains(u'"'))
        return;
    RecordWriter once;
    writeItemCombination(once, c);
    const QString again = fuzz::scratchPath("again.drg");
    once.saveTo(again);
    ItemCombination back;
    try {
        back = readItemCombination(again);
    } catch (const VbError&) {
        fail("a written combination does not read back");
    }
    if (!(back == asStored(c))) fail("a written combination reads back as another");
    RecordWriter twice;
    writeItemCombination(twice, back);
    if (twice.bytes() != once.bytes()) fail("a written combination reads back different");
}

// The records of a .fm4 file read in full, or nothing when one fails.
std::optional<QList<PickUpRecord>> pickUpRecords(const QByteArray& bytes) {
    QList<PickUpRecord> records;
    RecordReader in(bytes);
    try {
        while (!in.atEnd()) {
            PickUpRecord r;
            r.read(in);
            records.append(r);
        }
    } catch (const VbError&) {
        return std::nullopt;
    }
    return records;
}

QByteArray written(const QList<PickUpRecord>& records) {
    RecordWriter out;
    for (const PickUpRecord& r : records)
        r.write(out);
    return out.bytes();
}

PickUpRecord asStored(PickUpRecord r) {
    for (QList<RecordValue>* values : {&r.Ignored, &r.Rest}) {
        for (RecordValue& v : *values)
            v = stored(v);
    }
    r.Field1 = stored(r.Field1);
    r.Flag = stored(r.Flag);
    return r;
}

void checkPickUps(const QByteArray& bytes, int k) {
    const std::optional<QList<PickUpRecord>> records = pickUpRecords(bytes);
    if (!records) return;
    for (const PickUpRecord& r : *records)
        (void)r.itemName();

    // The click reads the fixed part of the clicked record blindly, and skips the others to their
    // separator: the two agree where no fixed part runs over a separator.
    bool regular = true;
    for (const PickUpRecord& r : *records) {
        for (const RecordValue& v : r.Ignored)
            regular = regular && !isSeparator(v);
        regular = regular && !isSeparator(r.Flag);
    }
    // Looked up for the first byte's hotspot and for those of the first records.
    QList<int> hotspots = {k};
    for (qsizetype i = 0; i < records->size() && i < 8; ++i)
        hotspots.append((*records)[i].Hotspot);
    for (int hotspot : regular ? hotspots : QList<int>()) {
        std::optional<QString> expected;
        bool comparable = true;
        for (const PickUpRecord& r : *records) {
            if (r.Hotspot != hotspot) continue;
            if (r.givesItem()) {
                expected = r.itemName();
                // With no name the click reads on into the separator or past the end.
                comparable = !r.Rest.isEmpty();
            }
            break;
        }
        try {
            RecordReader in(bytes);
            const std::optional<QString> found = findPickUp(in, hotspot, [] { return false; });
            if (comparable && found != expected) fail("a click finds another item than the file");
        } catch (const VbError&) {
            // Values a kept reading steps over (a number too large) fail the click's reading.
        }
    }
    RecordReader untouched(bytes);
    if (findPickUp(untouched, k, [] { return true; }) || untouched.position() != 0)
        fail("a stopped lookup read on");

    for (const PickUpRecord& r : *records) {
        if (unwritable(QList<RecordValue>{r.Field1, r.Flag}) || unwritable(r.Ignored) ||
            unwritable(r.Rest))
            return;
    }
    const QByteArray once = written(*records);
    const std::optional<QList<PickUpRecord>> back = pickUpRecords(once);
    if (!back) fail("written pick-ups do not read back");
    if (back->size() != records->size()) fail("written pick-ups read back as other records");
    for (int i = 0; i < back->size(); ++i) {
        if (!((*back)[i] == asStored((*records)[i]))) fail("written pick-ups read back as others");
    }
    if (written(*back) != once) fail("written pick-ups read back different");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Lamp_on_Oil.drg");
    checkItemDefinition(path);
    checkCombination(path);
    checkPickUps(bytes, size > 0 ? int(data[0] % 8) : 1);
    try {
        (void)readPickUpFile(path);
    } catch (const VbError&) {
    }
    return 0;
}
