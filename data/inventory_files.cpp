#include "data/inventory_files.h"

#include "data/record_helpers.h"
#include "data/record_values.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace tv {

namespace {

// Flags written as 1 by the editor; a value that is no number at all is simply not 1.
bool isOne(const RecordValue& v) {
    try {
        return toNumber(v) == 1;
    } catch (const VbError&) {
        return false;
    }
}

} // namespace

// --- item definitions ----------------------------------------------------------------------------

QString itemDefinitionPath(const ProjectFolders& folders, const QString& item) {
    return folders.AreasFolder + item + ".obj";
}

QString readItemDefinition(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    return in.readString();
}

void writeItemDefinition(RecordWriter& out, const QString& icon) {
    out.string(icon).endLine();
}

void writeItemDefinition(const QString& path, const QString& icon) {
    RecordWriter out;
    writeItemDefinition(out, icon);
    out.saveTo(path);
}

// --- combinations --------------------------------------------------------------------------------

bool ItemCombination::removesDragged() const {
    return isOne(RemoveDragged);
}
bool ItemCombination::removesTarget() const {
    return isOne(RemoveTarget);
}
bool ItemCombination::addsItem() const {
    return isOne(AddItem);
}
QString ItemCombination::scriptText() const {
    return decodeBarQuotes(Script);
}

QString combinationPath(const ProjectFolders& folders, const QString& dragged,
                        const QString& target) {
    return folders.AreasFolder + dragged + "_on_" + target + ".drg";
}

ItemCombination readItemCombination(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    ItemCombination c;
    c.RemoveDragged = readKeptValue(in);
    c.RemoveTarget = readKeptValue(in);
    c.AddItem = readKeptValue(in);
    c.NewItem = in.readString();
    if (in.atEnd()) return c;
    c.hasScript = true;
    c.Ignored = readKeptValues(in, 3);
    c.RunScript = in.readBool();
    c.Script = in.readString();
    return c;
}

void writeItemCombination(const QString& path, const ItemCombination& c) {
    RecordWriter out;
    writeItemCombination(out, c);
    out.saveTo(path);
}

void writeItemCombination(RecordWriter& out, const ItemCombination& c) {
    out.value(c.RemoveDragged).value(c.RemoveTarget).value(c.AddItem).string(c.NewItem);
    if (c.hasScript) {
        writeValues(out, c.Ignored, 3);
        out.boolean(c.RunScript).string(c.Script);
    }
    out.endLine();
}

// --- pick-ups ------------------------------------------------------------------------------------

bool PickUpRecord::givesItem() const {
    return isOne(Flag);
}

QString PickUpRecord::itemName() const {
    return givesItem() && !Rest.isEmpty() ? toText(Rest.front()) : QString();
}

void PickUpRecord::read(RecordReader& in) {
    *this = PickUpRecord();
    Field1 = readKeptValue(in);
    Hotspot = in.readInt16();
    Ignored = readKeptValues(in, 8);
    Flag = readKeptValue(in);
    // The name as a click reads it: a bare "007" is the item "007", not the number 7.
    if (givesItem() && !AtRecordEnd(in)) Rest.append(RecordValue::ofString(in.readString()));
    while (!AtRecordEnd(in))
        Rest.append(readKeptValue(in));
    skipToRecordEnd(in);
}

void PickUpRecord::write(RecordWriter& out) const {
    out.value(Field1).integer(Hotspot);
    writeValues(out, Ignored, 8);
    out.value(Flag);
    for (const RecordValue& v : Rest)
        out.value(v);
    out.endLine();
    writeSeparator(out);
}

QString pickUpFilePath(const ProjectFolders& folders, const QString& frame) {
    const QString path = folders.FramesDataFolder + frame + ".fm4";
    return files::fileExists(path) ? files::resolve(path) : QString();
}

QList<PickUpRecord> readPickUpFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    QList<PickUpRecord> records;
    while (!in.atEnd()) {
        PickUpRecord r;
        r.read(in);
        records.append(r);
    }
    return records;
}

void writePickUpFile(const QString& path, const QList<PickUpRecord>& records) {
    RecordWriter out;
    for (const PickUpRecord& r : records)
        r.write(out);
    out.saveTo(path);
}

std::optional<QString> findPickUp(RecordReader& in, int k, const std::function<bool()>& stop) {
    while (!in.atEnd() && !stop()) {
        in.skip();
        if (in.readInt16() != k) {
            skipToRecordEnd(in);
            continue;
        }
        in.skip(8);
        if (!isOne(in.readVariant())) return std::nullopt;
        return in.readString();
    }
    return std::nullopt;
}

} // namespace tv
