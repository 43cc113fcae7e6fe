#pragma once
// A saved game (NAME.sav): the frame to resume at, both kinds of variables, the hidden hotspots,
// the inventory and the frame history, as a record file with one field a line. Files of older
// versions end after the inventory or after the history; they still read.
//
// The "Resume" file of the configuration folder maps a saved frame to the frame where a loaded
// game really resumes: six leading values, then pairs of frame names.

#include "platform/core/records.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace tv {

struct SavedGameFile {
    // The version text the player writes.
    static inline const QString kVersion = QStringLiteral("Version 4.3.0");

    QString Frame;
    QList<QPair<QString, qint16>> Integers;
    // Frame name and hotspot index of every hotspot made to disappear.
    QList<QPair<QString, qint16>> Disappeared;
    QStringList Items;
    // What an older file leaves out: the history, then the rest.
    bool hasHistory = true;
    QStringList History;
    bool hasDetails = true;
    QList<RecordValue> Blanks = QList<RecordValue>(3, RecordValue::ofString({}));
    QString ProjectName;
    QString GameTitle;
    QString Date; // MM/DD/YYYY
    QString Version = kVersion;
    bool hasVariants = true;
    QList<QPair<QString, RecordValue>> Variants;

    void write(RecordWriter& out) const;

    bool operator==(const SavedGameFile&) const = default;
};

// Reads a whole saved game; VbError at the first field that cannot be read (a file that ends
// early is no error where an older version ended).
void readSavedGame(RecordReader& in, SavedGameFile& into);
SavedGameFile readSavedGameFile(const QString& path);

// Today as the saved games write it ("03/07/2005"). TV_SAVE_DATE, when set, stands for today:
// tests need saves whose bytes do not change with the day.
QString savedGameDate();

struct ResumeFile {
    QList<RecordValue> Leading = QList<RecordValue>(6, RecordValue::ofString({}));
    QList<QPair<QString, QString>> Pairs;

    void write(RecordWriter& out) const;

    bool operator==(const ResumeFile&) const = default;
};

// Reads pairs to the end of the file; VbError when the leading values are missing or a value
// cannot be read as text.
void readResume(RecordReader& in, ResumeFile& into);
ResumeFile readResumeFile(const QString& path);

// Where a game saved at `frame` resumes: the last pair naming it (case-blind) with a non-empty
// second name, else `frame`. A missing or broken file maps nothing.
QString resumeLocation(const QString& resumePath, const QString& frame);

} // namespace tv
