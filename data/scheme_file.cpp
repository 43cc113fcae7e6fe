#include "data/scheme_file.h"

#include "data/record_helpers.h"
#include "data/record_values.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace tv {

namespace {

const QString kDefaultPicture = QStringLiteral("[default]");

} // namespace

bool SchemeFile::hidesTitle() const {
    try {
        return toBool(HideTitle);
    } catch (const VbError&) {
        return false;
    }
}

void SchemeFile::write(RecordWriter& out) const {
    writeValues(out, Leading, 3);
    out.endLine();
    out.integer(PictureCount).endLine();
    if (refused()) return;
    for (int i = 0; i < PictureCount; ++i)
        out.string(Pictures.value(i, kDefaultPicture)).endLine();
    out.integer(ColourFormat).endLine();
    if (ColourFormat != 0) {
        out.integer(WindowColour).integer(TitleColour).integer(TextColour);
        if (ColourFormat >= 4) out.integer(ButtonColour);
        out.endLine();
    }
    if (!hasTail) return;
    writeValues(out, TailSkipped, 3);
    out.value(HideTitle).endLine();
    if (hasLogo) out.value(LogoSkipped).integer(LogoStyle).boolean(LogoFlag).endLine();
}

bool isNoPicture(const QString& name) {
    const QString lower = name.toLower();
    return lower == "[none]" || lower == "[default]";
}

QString schemeFolderPath(const ProjectFolders& folders, const QString& schemeName) {
    const QString folder = folders.SchemesFolder + schemeName;
    return (files::folderExists(folder) ? files::resolve(folder) : folder) + "/";
}

QString schemeFilePath(const ProjectFolders& folders, const QString& schemeName) {
    const QString path = folders.SchemesFolder + schemeName + "/Scheme.txt";
    return files::fileExists(path) ? files::resolve(path) : QString();
}

void readScheme(RecordReader& in, SchemeFile& into, SchemeField* reached) {
    SchemeField local = SchemeField::Nothing;
    SchemeField& at = reached ? *reached : local;
    at = SchemeField::Nothing;
    into = SchemeFile();
    into.Leading = readKeptValues(in, 3);
    at = SchemeField::Leading;
    into.PictureCount = in.readInt16();
    at = SchemeField::PictureCount;
    if (into.refused()) return;
    into.Pictures.clear();
    for (int i = 0; i < into.PictureCount; ++i) {
        // The window takes a name it cannot read as no picture and reads on.
        try {
            into.Pictures.append(in.readString());
        } catch (const VbError&) {
            into.Pictures.append(kDefaultPicture);
        }
    }
    at = SchemeField::Pictures;
    into.ColourFormat = in.readInt16();
    at = SchemeField::ColourFormat;
    if (into.ColourFormat != 0) {
        into.WindowColour = in.readInt32();
        at = SchemeField::WindowColour;
        into.TitleColour = in.readInt32();
        at = SchemeField::TitleColour;
        into.TextColour = in.readInt32();
        at = SchemeField::TextColour;
        if (into.ColourFormat >= 4) {
            into.ButtonColour = in.readInt32();
            at = SchemeField::ButtonColour;
        }
    }
    if (in.atEnd()) return;
    into.hasTail = true;
    into.TailSkipped = readKeptValues(in, 3);
    at = SchemeField::TailSkipped;
    const RecordValue hide = in.readVariant();
    (void)toBool(hide); // a value that is no flag is a read error, as for the window's flag
    into.HideTitle = hide;
    at = SchemeField::HideTitle;
    if (in.atEnd()) return;
    into.hasLogo = true;
    into.LogoSkipped = readKeptValue(in);
    at = SchemeField::LogoSkipped;
    into.LogoStyle = in.readInt16();
    at = SchemeField::LogoStyle;
    into.LogoFlag = in.readBool();
    at = SchemeField::LogoFlag;
}

SchemeFile readSchemeFile(const QString& path) {
    return readRecordFile<SchemeFile>(
        path, [](RecordReader& in, SchemeFile& into) { readScheme(in, into); });
}

void writeSchemeFile(const QString& path, const SchemeFile& scheme) {
    writeRecordFile(path, scheme);
}

SchemeReading readSchemeForWelcome(const QString& path) {
    SchemeReading result;
    if (path.isEmpty()) return result;
    try {
        RecordReader in = RecordReader::open(path);
        readScheme(in, result.scheme, &result.reached);
        result.outcome = result.scheme.refused() ? SchemeReading::Outcome::Refused
                                                 : SchemeReading::Outcome::Shown;
    } catch (const VbError& e) {
        result.outcome = SchemeReading::Outcome::Broken;
        result.error = e.number();
    }
    return result;
}

SchemeReading readSchemeForWelcome(const ProjectFolders& folders, const QString& schemeName) {
    return readSchemeForWelcome(schemeFilePath(folders, schemeName));
}

} // namespace tv
