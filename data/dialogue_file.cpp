#include "data/dialogue_file.h"

#include "data/record_helpers.h"
#include "platform/core/files.h"

namespace tv {

namespace {

// An id list: its count, then that many ids. A count below 1 is an empty list.
void readIds(RecordReader& in, QList<qint16>& ids) {
    const qint16 count = in.readInt16();
    for (int i = 0; i < count; ++i)
        ids.append(in.readInt16());
}

void writeIds(RecordWriter& out, const QList<qint16>& ids) {
    out.integer(ids.size());
    for (qint16 id : ids)
        out.integer(id);
}

void readQuestion(RecordReader& in, DialogueQuestion& q) {
    q.Question = in.readString();
    q.Answer = in.readString();
    q.Script1 = in.readString();
    q.Script2 = in.readString();
    q.Script3 = in.readString();
    q.Id = in.readInt16();
    q.ShownAtStart = in.readBool();
    q.EndsDialogue = in.readBool();
    q.Hotspot1 = in.readInt16();
    q.Hotspot2 = in.readInt16();
    q.Hotspot3 = in.readInt16();
    readIds(in, q.ShowList);
    readIds(in, q.HideList);
    q.AnswerSeconds = in.readDouble();
    for (RecordValue& v : q.Fields15to17)
        v = readKeptValue(in);
    q.Wait = in.readBool();
    q.Field19 = readKeptValue(in);
}

} // namespace

void DialogueFile::write(RecordWriter& out) const {
    writeValues(out, Fields1to3, 3);
    out.string(Text4).string(Text5);
    writeValues(out, Fields6to11, 6);
    out.endLine();
    out.integer(questions.size()).endLine();
    for (const DialogueQuestion& q : questions) {
        out.string(q.Question).string(q.Answer);
        out.string(q.Script1).string(q.Script2).string(q.Script3);
        out.integer(q.Id).boolean(q.ShownAtStart).boolean(q.EndsDialogue);
        out.integer(q.Hotspot1).integer(q.Hotspot2).integer(q.Hotspot3);
        writeIds(out, q.ShowList);
        writeIds(out, q.HideList);
        out.number(q.AnswerSeconds);
        writeValues(out, q.Fields15to17, 3);
        out.boolean(q.Wait).value(q.Field19).endLine();
    }
}

void readDialogue(RecordReader& in, DialogueFile& into) {
    into = DialogueFile();
    for (RecordValue& v : into.Fields1to3)
        v = readKeptValue(in);
    into.Text4 = in.readString();
    into.Text5 = in.readString();
    for (RecordValue& v : into.Fields6to11)
        v = readKeptValue(in);
    const qint16 count = in.readInt16();
    for (int i = 0; i < count; ++i) {
        into.questions.append(DialogueQuestion());
        readQuestion(in, into.questions.back());
    }
}

void readDialogueFile(const QString& path, DialogueFile& into) {
    into = DialogueFile();
    RecordReader in = RecordReader::open(files::resolve(path));
    readDialogue(in, into);
}

DialogueFile readDialogueFile(const QString& path) {
    DialogueFile dialogue;
    readDialogueFile(path, dialogue);
    return dialogue;
}

void writeDialogueFile(const QString& path, const DialogueFile& dialogue) {
    writeRecordFile(path, dialogue);
}

QString dialogueFilePath(const ProjectFolders& folders, const QString& frame) {
    const QString path = folders.FramesDataFolder + frame + QStringLiteral(".dlg");
    return files::fileExists(path) ? files::resolve(path) : QString();
}

} // namespace tv
