#pragma once
// The files behind the inventory: item definitions (Areas/NAME.obj: the icon's file name),
// item combinations (Areas/DRAGGED_on_TARGET.drg) and the per-hotspot pick-ups of a frame
// (F.fm4 in the frames data folder).

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tv {

// --- item definitions ----------------------------------------------------------------------------

QString itemDefinitionPath(const ProjectFolders& folders, const QString& item);
// The icon's file name, relative to the Areas folder. A missing file raises "File not found"
// (53), an empty one "Input past end of file" (62).
QString readItemDefinition(const QString& path);
void writeItemDefinition(const QString& path, const QString& icon);
void writeItemDefinition(RecordWriter& out, const QString& icon); // the file's bytes

// --- combinations --------------------------------------------------------------------------------

struct ItemCombination {
    RecordValue RemoveDragged = RecordValue::ofNumber(0); // 1: the dragged item goes
    RecordValue RemoveTarget = RecordValue::ofNumber(0);  // 1: the item it was dropped on goes
    RecordValue AddItem = RecordValue::ofNumber(0);       // 1: NewItem is added
    QString NewItem;
    // Fields 5-9 are optional: without them no script runs.
    bool hasScript = false;
    QList<RecordValue> Ignored = QList<RecordValue>(3, RecordValue::ofNumber(0)); // fields 5-7
    bool RunScript = false;
    QString Script; // as stored: a vertical bar for each double quote

    bool removesDragged() const;
    bool removesTarget() const;
    bool addsItem() const;
    QString scriptText() const; // the bars turned back into double quotes

    bool operator==(const ItemCombination&) const = default;
};

QString combinationPath(const ProjectFolders& folders, const QString& dragged,
                        const QString& target);
// The whole file; a file that breaks off inside fields 1-4 or 5-9 raises the reader's error.
ItemCombination readItemCombination(const QString& path);
void writeItemCombination(const QString& path, const ItemCombination& combination);
void writeItemCombination(RecordWriter& out, const ItemCombination& combination);

// --- pick-ups (F.fm4) ----------------------------------------------------------------------------

struct PickUpRecord {
    RecordValue Field1 = RecordValue::ofNumber(0);
    qint16 Hotspot = 0;
    QList<RecordValue> Ignored = QList<RecordValue>(8, RecordValue::ofNumber(0));
    RecordValue Flag = RecordValue::ofNumber(0); // 1: the hotspot gives an item
    // The values after the flag up to the separator: the item's name first. When the flag is 1
    // the name is kept as a text variable receives it ("007" stays "007"), as a click reads it.
    QList<RecordValue> Rest;

    bool givesItem() const;
    QString itemName() const;

    void read(RecordReader& in); // including the separator
    void write(RecordWriter& out) const;

    bool operator==(const PickUpRecord&) const = default;
};

QString pickUpFilePath(const ProjectFolders& folders, const QString& frame); // "" when absent
QList<PickUpRecord> readPickUpFile(const QString& path);
void writePickUpFile(const QString& path, const QList<PickUpRecord>& records);

// The item hotspot k gives, read the way a click reads it: records are skipped to their
// separators until field 2 equals k; then 8 fields, the flag, and the name when the flag is 1.
// Empty when the hotspot has no record or gives nothing. `stop` is asked before each record.
std::optional<QString> findPickUp(RecordReader& in, int k, const std::function<bool()>& stop);

} // namespace tv
