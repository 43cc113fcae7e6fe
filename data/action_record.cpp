#include "data/action_record.h"

#include "data/record_helpers.h"
#include "data/record_values.h"
#include "platform/core/files.h"

#include <algorithm>

namespace tv {

namespace {

constexpr int kPrefixSize = 10;

void readGroupFields(RecordReader& in, ActionGroup group, ActionRecord& r) {
    switch (group) {
    case ActionGroup::VariableChange:
        r.ChangeVariable = in.readInt16();
        r.VariableName = in.readString();
        r.SetToZero = in.readVariant();
        r.SetToOne = in.readVariant();
        r.Toggle = in.readVariant();
        break;
    case ActionGroup::Message:
        r.ShowMessage = in.readVariant();
        r.MessageText = in.readVariant();
        r.A8 = in.readInt16();
        r.A9 = in.readString();
        break;
    case ActionGroup::Disappear:
        r.Disappear = in.readVariant();
        break;
    case ActionGroup::Quit:
        r.QuitGame = in.readVariant();
        break;
    case ActionGroup::GoTo:
        r.GoToFrame = in.readInt16();
        r.Destination = in.readString();
        break;
    case ActionGroup::StopsAndVideo:
        r.StopFrameSound = in.readInt16();
        r.StopAllSounds = in.readInt16();
        r.PlayVideo = in.readInt16();
        r.VideoFile = in.readString();
        r.VideoUnplaced = in.readBool();
        r.VideoAtPosition = in.readBool();
        r.VideoLeft = in.readInt16();
        r.VideoTop = in.readInt16();
        r.VideoWidth = in.readInt16();
        r.VideoHeight = in.readInt16();
        break;
    case ActionGroup::SoundAndMusic:
        for (RecordValue* v :
             {&r.StopMusic, &r.PlaySound, &r.SoundFile, &r.PlayMusic, &r.MusicFile})
            *v = in.readVariant();
        break;
    case ActionGroup::GoBack:
        r.A29to31 = readValues(in, 3);
        r.GoBack = in.readVariant();
        break;
    case ActionGroup::MessageOption:
        r.A33to35 = readValues(in, 3);
        r.MessageOption = in.readVariant();
        break;
    case ActionGroup::VariableGroups:
        r.A37to39 = readValues(in, 3);
        r.ChangeVariables = in.readInt16();
        for (QStringList& names : r.VariableGroups) {
            names.clear();
            // The count is a general value, rounded as a loop bound is.
            const qint16 count = toInt16(in.readVariant());
            for (int i = 0; i < count; ++i)
                names.append(in.readString());
        }
        break;
    case ActionGroup::SoundLoops:
        r.SoundLoops = in.readBool();
        break;
    case ActionGroup::Transition:
        r.UseTransition = in.readVariant();
        r.TransitionDuration = in.readDouble();
        break;
    case ActionGroup::ProcedureCall:
        r.CallProcedure = in.readBool();
        r.ProcedureCall = in.readVariant();
        break;
    case ActionGroup::TransitionNumber:
        r.TransitionNumber = in.readInt16();
        break;
    case ActionGroup::Channels:
        r.A48to53 = readValues(in, 6);
        r.FadeDuration = in.readVariant();
        r.A55 = in.readInt16();
        r.ChannelValueCount = in.readInt16();
        r.ChannelCount = in.readInt16();
        r.ChannelRows.clear();
        if (r.ChannelValueCount <= 5) {
            const int perRow = std::max<int>(r.ChannelValueCount, 0);
            for (int row = 0; row < r.ChannelCount; ++row)
                r.ChannelRows.append(ChannelRequestRow{readValues(in, perRow)});
        }
        break;
    case ActionGroup::PickUp:
        r.PickUpItem = in.readBool();
        r.ItemName = in.readString();
        break;
    case ActionGroup::Script:
        r.Script = in.readVariant();
        break;
    }
}

void writeGroup(RecordWriter& out, ActionGroup group, const ActionRecord& r) {
    switch (group) {
    case ActionGroup::VariableChange:
        out.integer(r.ChangeVariable)
            .string(r.VariableName)
            .value(r.SetToZero)
            .value(r.SetToOne)
            .value(r.Toggle);
        break;
    case ActionGroup::Message:
        out.value(r.ShowMessage).value(r.MessageText).integer(r.A8).string(r.A9);
        break;
    case ActionGroup::Disappear:
        out.value(r.Disappear);
        break;
    case ActionGroup::Quit:
        out.value(r.QuitGame);
        break;
    case ActionGroup::GoTo:
        out.integer(r.GoToFrame).string(r.Destination);
        break;
    case ActionGroup::StopsAndVideo:
        out.integer(r.StopFrameSound).integer(r.StopAllSounds).integer(r.PlayVideo);
        out.string(r.VideoFile).boolean(r.VideoUnplaced).boolean(r.VideoAtPosition);
        out.integer(r.VideoLeft).integer(r.VideoTop).integer(r.VideoWidth).integer(r.VideoHeight);
        break;
    case ActionGroup::SoundAndMusic:
        out.value(r.StopMusic).value(r.PlaySound).value(r.SoundFile);
        out.value(r.PlayMusic).value(r.MusicFile);
        break;
    case ActionGroup::GoBack:
        writeValues(out, r.A29to31, 3);
        out.value(r.GoBack);
        break;
    case ActionGroup::MessageOption:
        writeValues(out, r.A33to35, 3);
        out.value(r.MessageOption);
        break;
    case ActionGroup::VariableGroups:
        writeValues(out, r.A37to39, 3);
        out.integer(r.ChangeVariables);
        for (const QStringList& names : r.VariableGroups) {
            out.endLine().integer(names.size());
            for (const QString& name : names)
                out.string(name);
        }
        break;
    case ActionGroup::SoundLoops:
        out.boolean(r.SoundLoops);
        break;
    case ActionGroup::Transition:
        out.value(r.UseTransition).number(r.TransitionDuration);
        break;
    case ActionGroup::ProcedureCall:
        out.boolean(r.CallProcedure).value(r.ProcedureCall);
        break;
    case ActionGroup::TransitionNumber:
        out.integer(r.TransitionNumber);
        break;
    case ActionGroup::Channels:
        writeValues(out, r.A48to53, 6);
        out.value(r.FadeDuration).integer(r.A55);
        out.integer(r.ChannelValueCount).integer(r.ChannelCount);
        // Exactly the rows the reader expects: ChannelCount rows of ChannelValueCount values.
        if (r.ChannelValueCount > 0 && r.ChannelValueCount <= 5) {
            for (int row = 0; row < r.ChannelCount; ++row) {
                out.endLine();
                writeValues(out,
                            row < r.ChannelRows.size() ? r.ChannelRows[row].values
                                                       : QList<RecordValue>(),
                            r.ChannelValueCount);
            }
        }
        break;
    case ActionGroup::PickUp:
        out.boolean(r.PickUpItem).string(r.ItemName);
        break;
    case ActionGroup::Script:
        out.value(r.Script);
        break;
    }
    out.endLine();
}

QString existingFile(const ProjectFolders& folders, const QString& frame,
                     std::initializer_list<const char*> extensions) {
    for (const char* ext : extensions) {
        const QString path = folders.FramesDataFolder + frame + QLatin1String(ext);
        if (files::fileExists(path)) return files::resolve(path);
    }
    return {};
}

} // namespace

QString ActionRecord::procedureCallText() const {
    return ProcedureCall.toText().replace('|', '"');
}

QString ActionRecord::scriptText() const {
    QString text = Script.toText();
    text.replace(QChar(254), '"');
    text.replace('~', '"');
    return text;
}

void readActionGroup(RecordReader& in, ActionGroup group, ActionRecord& record) {
    readGroupFields(in, group, record);
    record.lastGroup = int(group);
}

void readActionFields(RecordReader& in, ActionRecord& record) {
    for (int g = 0; g <= int(ActionGroup::Script); ++g) {
        if (g >= int(kFirstOptionalGroup) && AtRecordEnd(in)) return;
        readActionGroup(in, ActionGroup(g), record);
    }
}

ActionRecord readActionRecord(RecordReader& in) {
    ActionRecord record;
    record.prefix = readValues(in, kPrefixSize);
    readActionFields(in, record);
    skipToRecordEnd(in);
    return record;
}

QList<ActionRecord> readActionFile(const QString& path) {
    RecordReader in = RecordReader::open(files::resolve(path));
    QList<ActionRecord> records;
    while (!in.atEnd())
        records.append(readActionRecord(in));
    return records;
}

QString actionFilePath(const ProjectFolders& folders, const QString& frame) {
    return existingFile(folders, frame, {".mr3", ".fm3"});
}

QString itemActionFilePath(const ProjectFolders& folders, const QString& frame) {
    return existingFile(folders, frame, {".fm0"});
}

QString soundSelectionFilePath(const ProjectFolders& folders, const QString& frame) {
    return existingFile(folders, frame, {".fm5"});
}

bool seekHotspotAction(RecordReader& in, int k) {
    for (int i = 1; i < k; ++i) {
        if (in.atEnd()) return false;
        skipToRecordEnd(in);
    }
    if (in.atEnd()) return false;
    in.skip(kPrefixSize);
    return true;
}

bool seekItemAction(RecordReader& in, int k, const QString& itemName) {
    const QString wanted = QString::number(k) + '_' + itemName.toLower() + ".drg";
    while (!in.atEnd()) {
        in.skip();
        if (in.readString().toLower() == wanted) {
            in.skip(kPrefixSize - 2);
            return true;
        }
        skipToRecordEnd(in);
    }
    return false;
}

bool seekSoundSelection(RecordReader& in, int k) {
    while (!in.atEnd()) {
        in.skip();
        if (in.readInt16() == k) {
            in.skip(kPrefixSize - 2);
            return true;
        }
        skipToRecordEnd(in);
    }
    return false;
}

void writeActionRecord(RecordWriter& out, const ActionRecord& record) {
    writeValues(out, record.prefix, kPrefixSize);
    out.endLine();
    const int last = std::clamp(record.lastGroup, int(ActionGroup::GoTo), int(ActionGroup::Script));
    for (int g = 0; g <= last; ++g)
        writeGroup(out, ActionGroup(g), record);
    writeSeparator(out);
}

void writeActionFile(const QString& path, const QList<ActionRecord>& records) {
    RecordWriter out;
    for (const ActionRecord& r : records)
        writeActionRecord(out, r);
    out.saveTo(path);
}

ActionRecord itemActionRecord(int hotspot, const QString& itemName) {
    ActionRecord record;
    record.prefix[1] = RecordValue::ofString(QString::number(hotspot) + '_' + itemName + ".drg");
    return record;
}

} // namespace tv
