#pragma once
// A frame's dialogue (F.dlg in the frames data folder): a header, the number of questions and one
// record per question. Scripts are stored with a vertical bar for each double quote. Every value
// is kept, so the writer gives back a file the reader has read.

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

struct DialogueQuestion {
    QString Question; // the text shown in the list
    QString Answer;   // shown in the message strip; empty: none
    // Run first, after hotspot 1 and after the answer; stored with bars for quotes.
    QString Script1, Script2, Script3;
    qint16 Id = 0; // what the show and hide lists name
    bool ShownAtStart = false;
    bool EndsDialogue = false;
    // Hotspots whose actions run after script 1, script 2 and script 3; 0: none.
    qint16 Hotspot1 = 0, Hotspot2 = 0, Hotspot3 = 0;
    QList<qint16> ShowList;   // ids of questions shown once this one is picked
    QList<qint16> HideList;   // ids of questions hidden once this one is picked
    double AnswerSeconds = 0; // how long a waiting answer stays
    QList<RecordValue> Fields15to17 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    bool Wait = false; // the answer stays exactly AnswerSeconds
    RecordValue Field19 = RecordValue::ofNumber(0);

    // The scripts as the script engine gets them.
    QString script1Text() const { return decodeBarQuotes(Script1); }
    QString script2Text() const { return decodeBarQuotes(Script2); }
    QString script3Text() const { return decodeBarQuotes(Script3); }

    bool operator==(const DialogueQuestion&) const = default;
};

struct DialogueFile {
    // The header, which the player steps over: 3 values, 2 texts, 6 values.
    QList<RecordValue> Fields1to3 = QList<RecordValue>(3, RecordValue::ofNumber(0));
    QString Text4, Text5;
    QList<RecordValue> Fields6to11 = QList<RecordValue>(6, RecordValue::ofNumber(0));
    QList<DialogueQuestion> questions; // the file stores their number after the header

    // The header on one line, the count on the next, then a line per question.
    void write(RecordWriter& out) const;

    bool operator==(const DialogueFile&) const = default;
};

// Reads from an open reader into `into` as it goes: the header, then each question as soon as its
// reading starts. A failure throws VbError with what was read kept: the question being read then
// holds the fields before the failure and defaults after it (so it is not shown at start).
void readDialogue(RecordReader& in, DialogueFile& into);

// The same on a file. The overload that fills `into` is the one to use where a broken file
// should leave what it held before the failure.
void readDialogueFile(const QString& path, DialogueFile& into);
DialogueFile readDialogueFile(const QString& path);
void writeDialogueFile(const QString& path, const DialogueFile& dialogue);

// FramesDataFolder + F + ".dlg" when it exists, else "".
QString dialogueFilePath(const ProjectFolders& folders, const QString& frame);

} // namespace tv
