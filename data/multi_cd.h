#pragma once
// Games shipped on several CDs: the marker "RunFromCD.dat" in the project's root, the CD index
// Config/CDContents that says which CD holds which file of the Frames and Areas folders, the
// drive letter remembered per user, and where a file lies on a CD
// (LETTER:\Data\GAME TITLE\Frames\NAME or ...\Areas\NAME).

#include "data/project.h"
#include "platform/core/drives.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

class SettingsStore;

// --- the CD index ------------------------------------------------------------------------------

// One record of the index as stored. Kind 1 is a file of the Frames folder, 2 of Areas.
struct CdIndexEntry {
    QString Name;
    qint16 Cd = 0;
    qint16 Kind = 0;
    bool operator==(const CdIndexEntry&) const = default;
};

struct CdIndexFile {
    QList<RecordValue> Leading = QList<RecordValue>(3, RecordValue::ofNumber(0)); // stepped over
    qint16 CdCount = 0;
    QList<RecordValue> Skipped = QList<RecordValue>(2, RecordValue::ofNumber(0)); // stepped over
    QList<CdIndexEntry> Entries; // every record, those the player leaves out included

    // The leading fields on one line, the count on the next, the skipped fields on a third,
    // then a line per record.
    void write(RecordWriter& out) const;
    bool operator==(const CdIndexFile&) const = default;
};

QString cdIndexPath(const ProjectFolders& folders);  // Config/CDContents
QString cdMarkerPath(const ProjectFolders& folders); // RunFromCD.dat in the root

// Reads field by field into `into`; a failure throws VbError with the whole records read so
// far kept.
void readCdIndex(RecordReader& in, CdIndexFile& into);
CdIndexFile readCdIndexFile(const QString& path);
void writeCdIndexFile(const QString& path, const CdIndexFile& index);

// A record the player keeps: its kind as the decimal text of the stored number.
struct CdTableEntry {
    QString name;
    QString kind;
    qint16 cd = 0;
    bool operator==(const CdTableEntry&) const = default;
};
// The records with a name, a CD number from 1 to the CD count and a kind other than 0, in file
// order.
QList<CdTableEntry> cdTable(const CdIndexFile& index);

// The index of the project being played.
class MultiCd {
public:
    // Empties the table; when both the marker and the index exist, reads the index. A broken
    // index brings up the standard error report (" Error loading CD index.") and keeps the
    // records read before the failure.
    void load(const ProjectFolders& folders);
    void clear();

    // Whether files are looked for on CDs: the marker and the index existed when loading.
    bool active() const { return active_; }
    const QList<CdTableEntry>& table() const { return table_; }

private:
    bool active_ = false;
    QList<CdTableEntry> table_;
};
MultiCd& multiCd();

// What the CD lookup asks of the running game while it waits for a disc.
class CdPromptSite {
public:
    // Remembers the frame and message timers and stops media, timers and timed events.
    virtual void pauseForCd() = 0;
    // The remembered timers run again and timed events start.
    virtual void resumeAfterCd() = 0;
    // The player cancelled: the game stops, as with the script function StopEverything.
    virtual void stopForCd() = 0;
    // The drive dialog, modal, with `message` and the drive box preset to `drive` ("E:\").
    // False when it closed unanswered because the program is ending.
    virtual bool askForCd(const QString& message, const QString& drive) = 0;

protected:
    ~CdPromptSite() = default;
};
// The game that answers for the lookup; none (null) while no game runs.
void setCdPromptSite(CdPromptSite* site);
CdPromptSite* cdPromptSite();

// --- the drive letter --------------------------------------------------------------------------

// The letter kept under the project's name (key "DriveLetter"); "" when none is kept.
QString storedDriveLetter(const SettingsStore& store, const QString& projectName);
void storeDriveLetter(SettingsStore& store, const QString& projectName, const QString& letter);
// The kept letter; when there is none, the last CD-ROM drive of `drives` ("d" without one),
// which is then kept. A letter that cannot be kept is still used.
QString driveLetterForLookup(SettingsStore& store, const QString& projectName,
                             const drives::DriveTable& drives);

// --- where a file lies -------------------------------------------------------------------------

struct CdLookup {
    enum class Outcome {
        Found,     // `path` is the file, found on the drive under its Frames folder
        Unchanged, // `path` is what the lookup gives back: the path or its disguised name
        OnCd,      // the file is on CD `cd`, at the drive letter + `relative`
    };
    Outcome outcome = Outcome::Unchanged;
    QString path;
    qint16 cd = 0;
    QString relative; // ":\Data\TITLE\Frames\NAME", the name disguised where it would be
    bool operator==(const CdLookup&) const = default;
};

// Where the project file `path` (FramesFolder or AreasFolder + name) lies for the drive
// `letter`: first the drive's Frames folder under the file's own (disguised) name; else the
// first record of `table` whose project path is `path` without case. A record whose kind is
// neither 1 nor 2 ends the search with the path unchanged; with no record found the path's
// disguised name is given back (the path itself when the table is empty).
CdLookup lookUpOnCd(const QString& path, const QString& letter, const QString& gameTitle,
                    const ProjectFolders& folders, const QList<CdTableEntry>& table);

} // namespace tv
