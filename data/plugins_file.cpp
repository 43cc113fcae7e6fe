#include "data/plugins_file.h"

#include "data/cipher.h"
#include "data/record_helpers.h"
#include "platform/core/errors.h"

#include <QSet>

namespace tv {

namespace {

constexpr char16_t kThorn = 254;
// The seed character of a scrambled text: any printable character other than a double quote;
// a fixed one keeps rebuilt files identical.
constexpr QChar kSeed = u'T';

int offsetFor(PluginCodeForm form) {
    return form == PluginCodeForm::Protected ? 100 : 200;
}

} // namespace

// --- the list ----------------------------------------------------------------------------------

void PluginListFile::write(RecordWriter& out) const {
    writeValues(out, Leading, 10);
    out.endLine();
    for (const QString& name : Names)
        out.string(name).endLine();
}

QString pluginListPath(const ProjectFolders& folders) {
    return folders.ConfigFolder + "Plugins";
}

void readPluginList(RecordReader& in, PluginListFile& into) {
    into = PluginListFile();
    into.Leading = readKeptValues(in, 10);
    while (!in.atEnd())
        into.Names.append(in.readString());
}

PluginListFile readPluginListFile(const QString& path) {
    return readRecordFile<PluginListFile>(
        path, [](RecordReader& in, PluginListFile& into) { readPluginList(in, into); });
}

void writePluginListFile(const QString& path, const PluginListFile& list) {
    writeRecordFile(path, list);
}

QStringList distinctPluginNames(const QStringList& names) {
    QStringList distinct;
    QSet<QString> seen;
    for (const QString& name : names) {
        const QString key = name.toLower();
        if (seen.contains(key)) continue;
        seen.insert(key);
        distinct.append(name);
    }
    return distinct;
}

// --- the data file -----------------------------------------------------------------------------

PluginCodeForm PluginDataFile::codeForm() const {
    if (!Compiled && Protected) return PluginCodeForm::Protected;
    if (Compiled && !Protected) return PluginCodeForm::Compiled;
    return PluginCodeForm::AsIs;
}

void PluginDataFile::write(RecordWriter& out) const {
    out.integer(Version);
    writeValues(out, Skipped, 7);
    out.endLine();
    out.boolean(Compiled).boolean(Protected).endLine();
    for (const QString* text : {&Title, &DisplayName, &Description, &InternalName, &StartupCode,
                                &FrameOpenCode, &ProceduresCode})
        out.string(*text).endLine();
    writeNameList(out, IntegerVariables);
    writeNameList(out, VariantVariables);
    out.boolean(Flag1).boolean(Flag2).endLine();
    for (int i = 0; i < 5; ++i)
        out.string(i < Strings.size() ? Strings[i] : QString()).endLine();
    out.integer(Parameters.size()).endLine();
    for (const PluginParameter& p : Parameters) {
        out.string(p.Name).value(p.Value);
        if (Version >= 2) out.value(p.Third).value(p.Fourth);
        out.endLine();
    }
    out.integer(Extra.size()).endLine();
    for (const RecordValue& v : Extra)
        out.value(v).endLine();
    if (Version >= 3) out.string(SecondFrameOpenCode).endLine();
}

QString pluginDataPath(const ProjectFolders& folders, const QString& internalName) {
    return folders.ComponentsFolder + internalName + ".cp";
}

bool usablePluginName(const QString& internalName) {
    if (internalName.contains(u'/') || internalName.contains(u'\\') ||
        internalName.contains(u':') || internalName.contains(QChar(0)))
        return false;
    for (QChar c : internalName)
        if (c != u'.') return true;
    return false;
}

void readPluginData(RecordReader& in, PluginDataFile& into) {
    into = PluginDataFile();
    into.Version = in.readInt16();
    into.Skipped = readKeptValues(in, 7);
    into.Compiled = in.readBool();
    into.Protected = in.readBool();
    for (QString* text : {&into.Title, &into.DisplayName, &into.Description, &into.InternalName,
                          &into.StartupCode, &into.FrameOpenCode, &into.ProceduresCode})
        *text = in.readString();
    into.IntegerVariables = readNameList(in);
    into.VariantVariables = readNameList(in);
    into.Flag1 = in.readBool();
    into.Flag2 = in.readBool();
    for (int i = 0; i < 5; ++i)
        into.Strings[i] = in.readString();
    const qint16 parameters = in.readInt16();
    for (int i = 0; i < parameters; ++i) {
        PluginParameter p;
        p.Name = in.readString();
        p.Value = readKeptValue(in);
        if (into.Version >= 2) {
            p.Third = readKeptValue(in);
            p.Fourth = readKeptValue(in);
        }
        into.Parameters.append(p);
    }
    const qint16 extra = in.readInt16();
    for (int i = 0; i < extra; ++i)
        into.Extra.append(readKeptValue(in));
    if (into.Version >= 3) into.SecondFrameOpenCode = in.readString();
}

PluginDataFile readPluginDataFile(const QString& path) {
    return readRecordFile<PluginDataFile>(
        path, [](RecordReader& in, PluginDataFile& into) { readPluginData(in, into); });
}

void writePluginDataFile(const QString& path, const PluginDataFile& plugin) {
    writeRecordFile(path, plugin);
}

// --- texts -------------------------------------------------------------------------------------

QString restorePluginQuotes(const QString& stored) {
    QString text = stored;
    return text.replace(QChar(kThorn), u'"').replace(u'~', u'"');
}

QString decodePluginCode(const QString& stored, PluginCodeForm form) {
    const QString plain =
        form == PluginCodeForm::AsIs ? stored : DecodeTextB(stored, offsetFor(form));
    return restorePluginQuotes(plain);
}

bool storablePluginText(const QString& plain) {
    return !plain.contains(u'~') && !plain.contains(QChar(kThorn));
}

QString escapePluginQuotes(const QString& plain) {
    if (!storablePluginText(plain)) throw vbError(err::InvalidCall);
    QString text = plain;
    return text.replace(u'"', QChar(kThorn));
}

QString encodePluginCode(const QString& plain, PluginCodeForm form) {
    const QString escaped = escapePluginQuotes(plain);
    // An empty text stays empty: a scrambled one would decode to nothing all the same, and the
    // editor leaves unused code fields empty.
    if (form == PluginCodeForm::AsIs || escaped.isEmpty()) return escaped;
    return EncodeTextB(escaped, offsetFor(form), kSeed);
}

} // namespace tv
