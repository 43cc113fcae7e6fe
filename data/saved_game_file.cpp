#include "data/saved_game_file.h"

#include "data/record_helpers.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

#include <QDate>

namespace tv {

namespace {
void writePairs(RecordWriter& out, const QList<QPair<QString, qint16>>& pairs) {
    out.integer(pairs.size()).endLine();
    for (const auto& [name, value] : pairs) {
        out.string(name).endLine();
        out.integer(value).endLine();
    }
}

QList<QPair<QString, qint16>> readPairs(RecordReader& in) {
    QList<QPair<QString, qint16>> pairs;
    const qint32 count = in.readInt32();
    for (qint32 i = 0; i < count; ++i) {
        const QString name = in.readString();
        pairs.append({name, in.readInt16()});
    }
    return pairs;
}

} // namespace

void SavedGameFile::write(RecordWriter& out) const {
    out.string(Frame).endLine();
    writePairs(out, Integers);
    writePairs(out, Disappeared);
    writeNameList(out, Items);
    if (!hasHistory) return;
    writeNameList(out, History);
    if (!hasDetails) return;
    for (const RecordValue& blank : Blanks)
        out.value(blank).endLine();
    out.string(ProjectName).endLine();
    out.string(GameTitle).endLine();
    out.string(Date).endLine();
    out.string(Version).endLine();
    if (!hasVariants) return;
    out.integer(Variants.size()).endLine();
    for (const auto& [name, value] : Variants) {
        out.string(name).endLine();
        out.value(value).endLine();
    }
}

void readSavedGame(RecordReader& in, SavedGameFile& into) {
    into.Frame = in.readString();
    into.Integers = readPairs(in);
    into.Disappeared = readPairs(in);
    into.Items = readNameList(in);
    into.hasHistory = !in.atEnd();
    into.hasDetails = false;
    into.hasVariants = false;
    into.History.clear();
    into.Variants.clear();
    if (!into.hasHistory) return;
    into.History = readNameList(in);
    into.hasDetails = !in.atEnd();
    if (!into.hasDetails) return;
    into.Blanks.clear();
    for (int i = 0; i < 3; ++i)
        into.Blanks.append(in.readVariant());
    into.ProjectName = in.readString();
    into.GameTitle = in.readString();
    into.Date = in.readString();
    into.Version = in.readString();
    into.hasVariants = !in.atEnd();
    if (!into.hasVariants) return;
    const qint32 count = in.readInt32();
    for (qint32 i = 0; i < count; ++i) {
        const QString name = in.readString();
        into.Variants.append({name, in.readVariant()});
    }
}

SavedGameFile readSavedGameFile(const QString& path) {
    RecordReader in = RecordReader::open(path);
    SavedGameFile file;
    readSavedGame(in, file);
    return file;
}

QString savedGameDate() {
    const QByteArray fixed = qgetenv("TV_SAVE_DATE");
    if (!fixed.isEmpty()) return QString::fromLatin1(fixed);
    return QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy"));
}

void ResumeFile::write(RecordWriter& out) const {
    for (const RecordValue& v : Leading)
        out.value(v).endLine();
    for (const auto& [saved, resumed] : Pairs) {
        out.string(saved).endLine();
        out.string(resumed).endLine();
    }
}

void readResume(RecordReader& in, ResumeFile& into) {
    into.Leading.clear();
    for (int i = 0; i < 6; ++i)
        into.Leading.append(in.readVariant());
    into.Pairs.clear();
    while (!in.atEnd()) {
        const QString saved = in.readString();
        into.Pairs.append({saved, in.readString()});
    }
}

ResumeFile readResumeFile(const QString& path) {
    RecordReader in = RecordReader::open(path);
    ResumeFile file;
    readResume(in, file);
    return file;
}

QString resumeLocation(const QString& resumePath, const QString& frame) {
    if (frame.isEmpty() || !files::fileExists(resumePath)) return frame;
    try {
        QString result = frame;
        for (const auto& [saved, resumed] : readResumeFile(files::resolve(resumePath)).Pairs)
            if (saved.compare(frame, Qt::CaseInsensitive) == 0 && !resumed.isEmpty())
                result = resumed;
        return result;
    } catch (const VbError&) {
        return frame;
    }
}

} // namespace tv
