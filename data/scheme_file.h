#pragma once
// A welcome-window scheme: the folder Schemes/NAME/ holds the scheme's pictures and Scheme.txt,
// which names them and gives the window's colours, whether the game's name is hidden and which
// logo is shown. The file may end after its colours, and again after the hide-title flag.

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

struct SchemeFile {
    QList<RecordValue> Leading = QList<RecordValue>(3, RecordValue::ofNumber(0)); // fields 1-3
    // The number of pictures stored; 0 refuses the scheme, and nothing is read after it.
    qint16 PictureCount = 0;
    // One name per picture (none for a count below 1): 0-2 the start, load and exit buttons, 3
    // the background tile. A name that cannot be read is "[default]", as the window takes it.
    QStringList Pictures;
    // 0: no colours follow; otherwise window, title and text colours, and from 4 on the button
    // colour. Colours are 0x00BBGGRR.
    qint16 ColourFormat = 0;
    qint32 WindowColour = 0;
    qint32 TitleColour = 0;
    qint32 TextColour = 0;
    qint32 ButtonColour = 0;
    // The part after the colours, present only when the file goes on.
    bool hasTail = false;
    QList<RecordValue> TailSkipped = QList<RecordValue>(3, RecordValue::ofNumber(0));
    RecordValue HideTitle = RecordValue::ofNumber(0); // non-zero hides the game's name
    // The logo, present only when the file goes on after the hide-title flag.
    bool hasLogo = false;
    RecordValue LogoSkipped = RecordValue::ofNumber(0);
    qint16 LogoStyle = 0; // 0 or 1
    bool LogoFlag = false;

    bool refused() const { return PictureCount == 0; }
    bool hasColours() const { return !refused() && ColourFormat != 0; }
    bool hasButtonColour() const { return hasColours() && ColourFormat >= 4; }
    // Whether the file hides the game's name; a value that is no flag hides nothing.
    bool hidesTitle() const;

    // The file's bytes: what the flags say is there, nothing after a refusing count.
    void write(RecordWriter& out) const;

    bool operator==(const SchemeFile&) const = default;
};

// "[none]" and "[default]", in any letter case, stand for no picture.
bool isNoPicture(const QString& name);

// The scheme's folder, SchemesFolder + NAME + "/", as it is spelled on disk where it exists.
QString schemeFolderPath(const ProjectFolders& folders, const QString& schemeName);
// The scheme's Scheme.txt, found without case; "" when there is none.
QString schemeFilePath(const ProjectFolders& folders, const QString& schemeName);

// The fields of the file in reading order, for telling how far a reading got.
enum class SchemeField {
    Nothing,
    Leading,
    PictureCount,
    Pictures,
    ColourFormat,
    WindowColour,
    TitleColour,
    TextColour,
    ButtonColour,
    TailSkipped,
    HideTitle,
    LogoSkipped,
    LogoStyle,
    LogoFlag,
};

// Reads from an open reader into `into` as the welcome window does, field by field: a picture
// name that fails to read is "[default]" and reading goes on; any other failure throws VbError
// with what was read kept and `reached` (when given) at the last field read. A refusing count
// ends the reading without an error.
void readScheme(RecordReader& in, SchemeFile& into, SchemeField* reached = nullptr);
// The whole file; throws VbError at the first failure.
SchemeFile readSchemeFile(const QString& path);
void writeSchemeFile(const QString& path, const SchemeFile& scheme);

// A scheme as the welcome window takes it: never throws. The pictures and colours of a broken
// file up to `reached` apply, and nothing after them.
struct SchemeReading {
    enum class Outcome {
        Missing, // no Scheme.txt: the plain layout
        Shown,   // read in full
        Refused, // a picture count of 0
        Broken,  // a read error (or a file that cannot be opened) after `reached`
    };
    Outcome outcome = Outcome::Missing;
    SchemeFile scheme;
    SchemeField reached = SchemeField::Nothing;
    int error = 0; // the classic error number of a broken file

    // Whether reading got past `field`'s place: the field was read, or the file holds none there.
    bool passed(SchemeField field) const { return outcome == Outcome::Shown || reached >= field; }
};
SchemeReading readSchemeForWelcome(const ProjectFolders& folders, const QString& schemeName);
// The same on a path ("" for a missing file).
SchemeReading readSchemeForWelcome(const QString& path);

} // namespace tv
