#pragma once
// Hotspot action records (F.mr3, else F.fm3 in the frames data folder; the k-th record is the
// action of hotspot k) and item-on-hotspot records (F.fm0, keyed by "k_item.drg"). Both hold ten
// leading values and then the action fields A1-A60 in groups. A record may end after A13 or after
// any later group; the engine reads group by group and acts in between, so each group has its own
// reader. Every reader has a writer twin.

#include "data/project.h"
#include "data/sound_channel_file.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

// A channel request row: up to 5 values: code, fade, loop, volume, file.
struct ChannelRequestRow {
    QList<RecordValue> values;
    bool operator==(const ChannelRequestRow&) const = default;
};

enum class ActionGroup {
    // Always present.
    VariableChange, // A1-A5
    Message,        // A6-A9
    Disappear,      // A10
    Quit,           // A11
    GoTo,           // A12-A13
    // Each only while the separator does not follow.
    StopsAndVideo,    // A14-A23
    SoundAndMusic,    // A24-A28
    GoBack,           // A29-A32
    MessageOption,    // A33-A36
    VariableGroups,   // A37-A41
    SoundLoops,       // A42
    Transition,       // A43-A44
    ProcedureCall,    // A45-A46
    TransitionNumber, // A47
    Channels,         // A48-A57
    PickUp,           // A58-A59
    Script,           // A60
};

inline constexpr ActionGroup kFirstOptionalGroup = ActionGroup::StopsAndVideo;

struct ActionRecord {
    // Fields 1-10 of a .fm3/.mr3 record, or (.fm0) field 1, the key and 8 fields.
    QList<RecordValue> prefix = QList<RecordValue>(10, RecordValue::ofNumber(0));

    // A1-A5
    qint16 ChangeVariable = 0;
    QString VariableName;
    RecordValue SetToZero, SetToOne, Toggle; // "not false" = toBool
    // A6-A9
    RecordValue ShowMessage, MessageText;
    qint16 A8 = 0;
    QString A9;
    // A10-A13
    RecordValue Disappear;
    RecordValue QuitGame;
    qint16 GoToFrame = 0;
    QString Destination;
    // A14-A23
    qint16 StopFrameSound = 0, StopAllSounds = 0, PlayVideo = 0;
    QString VideoFile;
    bool VideoUnplaced = false, VideoAtPosition = false;
    qint16 VideoLeft = 0, VideoTop = 0, VideoWidth = 0, VideoHeight = 0;
    // A24-A28
    RecordValue StopMusic, PlaySound, SoundFile, PlayMusic, MusicFile;
    // A29-A32
    QList<RecordValue> A29to31 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    RecordValue GoBack;
    // A33-A36
    QList<RecordValue> A33to35 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    RecordValue MessageOption;
    // A37-A41: four name groups: no effect, set to 0, set to 1, toggle.
    QList<RecordValue> A37to39 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    qint16 ChangeVariables = 0;
    QStringList VariableGroups[4];
    // A42: a record that ends before it leaves the hotspot sound looping.
    bool SoundLoops = true;
    // A43-A44
    RecordValue UseTransition;     // a transition when it equals 1
    double TransitionDuration = 0; // milliseconds
    // A45-A46
    bool CallProcedure = false;
    RecordValue ProcedureCall; // a vertical bar for each double quote
    // A47
    qint16 TransitionNumber = 0;
    // A48-A57
    QList<RecordValue> A48to53 = QList<RecordValue>(6, RecordValue::ofNumber(0));
    RecordValue FadeDuration; // milliseconds
    qint16 A55 = 0;
    qint16 ChannelValueCount = 0, ChannelCount = 0;
    // Present only when ChannelValueCount <= 5: ChannelCount rows of ChannelValueCount values.
    QList<ChannelRequestRow> ChannelRows;
    // A58-A59
    bool PickUpItem = false;
    QString ItemName;
    // A60
    RecordValue Script; // characters 254 and "~" stand for double quotes

    // The last group the record holds: the readers set it, the writer stops after it (never
    // before GoTo).
    int lastGroup = int(ActionGroup::Script);

    QString procedureCallText() const; // vertical bars -> double quotes
    // Characters 254 and "~" -> double quotes (doubling the quotes is the script host's step).
    QString scriptText() const;

    bool operator==(const ActionRecord&) const = default;
};

// Reads the fields of one group into `record` and sets record.lastGroup to it. Optional groups
// (StopsAndVideo on) are read by the caller only while !AtRecordEnd(in). The channel rows are
// added to record.ChannelRows as they are read.
void readActionGroup(RecordReader& in, ActionGroup group, ActionRecord& record);
// Every group the record holds, from A1; neither the prefix nor the separator.
void readActionFields(RecordReader& in, ActionRecord& record);
// A whole record: the ten leading values, the fields, and the separator.
ActionRecord readActionRecord(RecordReader& in);
QList<ActionRecord> readActionFile(const QString& path);

// FramesDataFolder + F + ".mr3" when it exists, else ".fm3" when that exists, else "".
QString actionFilePath(const ProjectFolders& folders, const QString& frame);
// FramesDataFolder + F + ".fm0" / ".fm5" when it exists, else "".
QString itemActionFilePath(const ProjectFolders& folders, const QString& frame);
QString soundSelectionFilePath(const ProjectFolders& folders, const QString& frame);

// Positions a freshly opened .fm3/.mr3 file at A1 of the action of hotspot k: skips k-1 records
// to their separators, then fields 1-10. False when the file ends first.
bool seekHotspotAction(RecordReader& in, int k);
// Positions a .fm0 file at A1 of the record keyed k + "_" + itemName + ".drg" (without case):
// reads field 1 and the key of each record, skipping other records to their separators; on a
// match skips 8 fields. False at the end of the file.
bool seekItemAction(RecordReader& in, int k, const QString& itemName);
// Positions a .fm5 file at the channel data of hotspot k (field 2, a 16-bit number, equal to k),
// past its 8 ignored fields. False at the end of the file.
bool seekSoundSelection(RecordReader& in, int k);

// Writes the prefix, the groups up to record.lastGroup and the separator.
void writeActionRecord(RecordWriter& out, const ActionRecord& record);
void writeActionFile(const QString& path, const QList<ActionRecord>& records);
// An empty action for an item used on hotspot `hotspot`: its prefix is field 1, the key
// "hotspot_itemName.drg" and 8 fields.
ActionRecord itemActionRecord(int hotspot, const QString& itemName);

} // namespace tv
