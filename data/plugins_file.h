#pragma once
// Plugins: the list of the plugins a project requires (Config/Plugins: ten values the player
// steps over, then one internal name per value) and each plugin's data file
// (CPData/NAME.cp), which brings script code, game variables and the procedures that bracketed
// plugin actions call.
//
// The data file's texts are stored with double quotes written as "~" or character 254, and its
// code texts, depending on two flags, also scrambled with the text cipher's variant B (offset
// 100 for a protected plugin, 200 for a compiled one).

#include "data/project.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

struct PluginListFile {
    QList<RecordValue> Leading = QList<RecordValue>(10, RecordValue::ofNumber(0));
    QStringList Names; // as stored, repeats included

    // The leading values on one line, then a line per name.
    void write(RecordWriter& out) const;
    bool operator==(const PluginListFile&) const = default;
};

QString pluginListPath(const ProjectFolders& folders); // Config/Plugins

// Reads the whole list; a failure throws VbError with the names read so far kept in `into`.
void readPluginList(RecordReader& in, PluginListFile& into);
PluginListFile readPluginListFile(const QString& path);
void writePluginListFile(const QString& path, const PluginListFile& list);

// The names in list order, each once: a later name that repeats an earlier one without regard
// to case is left out.
QStringList distinctPluginNames(const QStringList& names);

// A parameter entry of a plugin. Version 1 files store only the name and the value; the other
// two are then empty texts.
struct PluginParameter {
    QString Name; // as stored (quotes escaped)
    RecordValue Value = RecordValue::ofString("");
    RecordValue Third = RecordValue::ofString("");
    RecordValue Fourth = RecordValue::ofString("");
    bool operator==(const PluginParameter&) const = default;
};

// How the code texts of a data file are stored.
enum class PluginCodeForm { AsIs, Protected, Compiled };

struct PluginDataFile {
    qint16 Version = 3; // 2 adds the parameters' last two values, 3 the second frame-open code
    QList<RecordValue> Skipped = QList<RecordValue>(7, RecordValue::ofNumber(0));
    bool Compiled = false;
    bool Protected = false;
    // Texts as stored: quotes escaped, and the code texts scrambled as the flags say.
    QString Title;
    QString DisplayName;
    QString Description;
    QString InternalName;
    QString StartupCode;
    QString FrameOpenCode;
    QString ProceduresCode;
    QStringList IntegerVariables;
    QStringList VariantVariables;
    bool Flag1 = false;
    bool Flag2 = false;
    // The third is the procedure a frame's plugin action calls, the fifth a hotspot's.
    QStringList Strings = QStringList(5, QString());
    QList<PluginParameter> Parameters;
    QList<RecordValue> Extra;
    QString SecondFrameOpenCode; // version 3 and later only

    PluginCodeForm codeForm() const;

    // A line for the version and the skipped values, one for the flags, then a line per text,
    // count and name; a parameter entry on a line of its own.
    void write(RecordWriter& out) const;
    bool operator==(const PluginDataFile&) const = default;
};

QString pluginDataPath(const ProjectFolders& folders, const QString& internalName);

// Whether a name from the list can name a data file of the CPData folder: a name that holds a
// path separator, a drive colon or nothing but dots would reach outside it.
bool usablePluginName(const QString& internalName);

// Reads field by field into `into`; the reader's error (VbError) on a broken file.
void readPluginData(RecordReader& in, PluginDataFile& into);
PluginDataFile readPluginDataFile(const QString& path);
void writePluginDataFile(const QString& path, const PluginDataFile& plugin);

// Quotes stored as "~" or character 254 become double quotes.
QString restorePluginQuotes(const QString& stored);
// A stored code text in plain form: deciphered as `form` says, then quote-restored. The
// cipher's "Overflow" (6) on an absurdly long text.
QString decodePluginCode(const QString& stored, PluginCodeForm form);
// The editor's side: quotes escaped as character 254, then scrambled as `form` says. A plain text
// that holds "~" or character 254 cannot be stored (it would come back as a quote): it raises
// "Invalid procedure call or argument" (5).
QString encodePluginCode(const QString& plain, PluginCodeForm form);
// Quotes escaped as character 254; the same refusal.
QString escapePluginQuotes(const QString& plain);
bool storablePluginText(const QString& plain);

} // namespace tv
