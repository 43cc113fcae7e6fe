#pragma once
// Reading the YAML description: every failure names the file, the line and the column, and
// every map refuses keys it does not know, so that a typo is an error rather than a silent
// default.

#include "platform/core/records.h"
#include "tools/builder/yaml_text.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <yaml-cpp/yaml.h>

namespace tv::builder {

class Reader {
public:
    explicit Reader(QString fileName) : file_(std::move(fileName)) {}

    [[noreturn]] void fail(const YAML::Node& at, const QString& message) const;
    [[noreturn]] void fail(const YAML::Mark& at, const QString& message) const;

    // A text for a project file. Null is "". Line breaks become CR LF (unless !verbatim);
    // characters outside Windows-1252 are refused, and double quotes unless `quotesAllowed`.
    QString text(const YAML::Node& node, const QString& what, bool quotesAllowed = false) const;
    // A path on this system (no check for project files).
    QString path(const YAML::Node& node, const QString& what) const;
    // A script: written with ordinary double quotes, stored with the codec's quote character.
    QString script(const YAML::Node& node, const QString& what, QuoteCodec codec) const;
    // The same check for scripts that the data layer encodes itself.
    QString scriptText(const YAML::Node& node, const QString& what, QuoteCodec codec) const;
    bool boolean(const YAML::Node& node, const QString& what) const;
    qint64 integer(const YAML::Node& node, const QString& what, qint64 min, qint64 max) const;
    qint16 int16(const YAML::Node& node, const QString& what) const {
        return qint16(integer(node, what, -32768, 32767));
    }
    qint32 int32(const YAML::Node& node, const QString& what) const {
        return qint32(integer(node, what, INT32_MIN, INT32_MAX));
    }
    double real(const YAML::Node& node, const QString& what) const;
    // A general value, as it is stored: ~ Empty, true/false a boolean, a number a number, any
    // other (or quoted) scalar a text; !null, !date "yyyy-MM-dd HH:mm:ss" and !error N.
    RecordValue value(const YAML::Node& node, const QString& what) const;
    QList<RecordValue> values(const YAML::Node& node, const QString& what, int count) const;
    QStringList names(const YAML::Node& node, const QString& what) const;
    // A sequence (or a single scalar, as a list of one).
    QList<YAML::Node> items(const YAML::Node& node, const QString& what) const;

    const QString& fileName() const { return file_; }

private:
    QString file_;
};

// A YAML map read key by key; finish() refuses the keys nobody asked for.
class Fields {
public:
    Fields(const Reader& reader, const YAML::Node& node, const QString& what);

    // The value of `key` (an undefined node when absent); marks the key as known.
    YAML::Node operator[](const char* key);
    bool has(const char* key);
    void finish() const;
    const YAML::Node& node() const { return node_; }
    const QString& what() const { return what_; }
    // Names the map in later messages (once its name is known).
    void setWhat(const QString& what) { what_ = what; }

private:
    struct Entry {
        QString key;
        YAML::Node keyNode;
        YAML::Node value;
        bool taken = false;
    };
    const Reader& reader_;
    YAML::Node node_;
    QString what_;
    QList<Entry> entries_;
    QStringList known_;
};

// A general value as the description writes it.
YamlNode describeValue(const RecordValue& value);
YamlNode describeValues(const QList<RecordValue>& values);
YamlNode describeNames(const QStringList& names);

} // namespace tv::builder
