#include "tools/builder/yaml_reader.h"

#include "platform/core/cp1252.h"
#include "tools/builder/description.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

namespace tv::builder {

namespace {

QString scalarOf(const YAML::Node& node) {
    return node.IsNull() ? QString() : QString::fromStdString(node.Scalar());
}

bool isPlain(const YAML::Node& node) {
    return node.Tag() == "?" || node.Tag().empty();
}

QString describeChar(QChar c) {
    if (c.unicode() < 0x20) return QString("U+%1").arg(int(c.unicode()), 4, 16, QChar('0'));
    return QString("'%1' (U+%2)").arg(c).arg(int(c.unicode()), 4, 16, QChar('0')).toUpper();
}

const char* kDateFormat = "yyyy-MM-dd HH:mm:ss";

} // namespace

void Reader::fail(const YAML::Node& at, const QString& message) const {
    fail(at.Mark(), message);
}

void Reader::fail(const YAML::Mark& at, const QString& message) const {
    if (at.is_null()) throw BuildError(file_ + ": " + message);
    throw BuildError(
        QString("%1:%2:%3: %4").arg(file_).arg(at.line + 1).arg(at.column + 1).arg(message));
}

QString Reader::text(const YAML::Node& node, const QString& what, bool quotesAllowed) const {
    if (!node.IsDefined() || node.IsNull()) return {};
    if (!node.IsScalar()) fail(node, what + " must be a text");
    const QString scalar = scalarOf(node);
    const QString stored = node.Tag() == "!verbatim" ? scalar : toStored(scalar);
    for (QChar c : stored) {
        if (!inCp1252(c.unicode()))
            fail(node, what + ": the character " + describeChar(c) +
                           " cannot be stored in a project file (Windows-1252)");
    }
    if (!quotesAllowed && stored.contains(u'"'))
        fail(node, what + ": a double quote cannot be stored in this field");
    return stored;
}

QString Reader::path(const YAML::Node& node, const QString& what) const {
    if (!node.IsScalar()) fail(node, what + " must be a path");
    return scalarOf(node);
}

QString Reader::scriptText(const YAML::Node& node, const QString& what, QuoteCodec codec) const {
    const QString code = text(node, what, true);
    if (auto c = unstorableQuoteCharacter(code, codec))
        fail(node, what + ": the character " + describeChar(*c) +
                       " cannot be stored in this script, the file uses it for a double quote");
    return code;
}

QString Reader::script(const YAML::Node& node, const QString& what, QuoteCodec codec) const {
    return encodeQuotes(scriptText(node, what, codec), codec);
}

bool Reader::boolean(const YAML::Node& node, const QString& what) const {
    if (node.IsScalar() && isPlain(node)) {
        if (auto b = boolWord(scalarOf(node))) return *b;
    }
    fail(node, what + " must be true or false");
}

qint64 Reader::integer(const YAML::Node& node, const QString& what, qint64 min, qint64 max) const {
    if (node.IsScalar()) {
        if (auto n = numberWord(scalarOf(node))) {
            if (*n != std::trunc(*n)) fail(node, what + " must be a whole number");
            if (*n < double(min) || *n > double(max))
                fail(node, QString("%1 must lie between %2 and %3").arg(what).arg(min).arg(max));
            return qint64(*n);
        }
    }
    fail(node, what + " must be a whole number");
}

double Reader::real(const YAML::Node& node, const QString& what) const {
    if (node.IsScalar()) {
        if (auto n = numberWord(scalarOf(node))) return *n;
    }
    fail(node, what + " must be a number");
}

RecordValue Reader::value(const YAML::Node& node, const QString& what) const {
    if (!node.IsDefined() || node.IsNull()) return RecordValue::empty();
    if (!node.IsScalar()) fail(node, what + " must be a single value");
    const std::string& tag = node.Tag();
    const QString scalar = scalarOf(node);
    if (tag == "!null") return RecordValue::null();
    if (tag == "!error") return RecordValue::ofError(int(integer(node, what, 0, 65535)));
    if (tag == "!date") {
        QDateTime date = QDateTime::fromString(scalar, kDateFormat);
        if (!date.isValid()) fail(node, what + ": a date is written " + kDateFormat);
        return RecordValue::ofDate(QDateTime(date.date(), date.time(), Qt::UTC));
    }
    if (isPlain(node)) {
        if (isNullWord(scalar)) return RecordValue::empty();
        if (auto b = boolWord(scalar)) return RecordValue::ofBool(*b);
        if (auto n = numberWord(scalar)) return RecordValue::ofNumber(*n);
    } else if (tag != "!" && tag != "!verbatim") {
        fail(node, what + ": unknown tag " + QString::fromStdString(tag) +
                       " (known: !null, !date, !error, !verbatim)");
    }
    return RecordValue::ofString(text(node, what));
}

QList<RecordValue> Reader::values(const YAML::Node& node, const QString& what, int count) const {
    const QList<YAML::Node> list = items(node, what);
    if (list.size() != count) fail(node, QString("%1 must hold %2 values").arg(what).arg(count));
    QList<RecordValue> result;
    for (const YAML::Node& item : list)
        result.append(value(item, what));
    return result;
}

QList<YAML::Node> Reader::items(const YAML::Node& node, const QString& what) const {
    QList<YAML::Node> result;
    if (!node.IsDefined() || node.IsNull()) return result;
    if (node.IsScalar()) return {node};
    if (!node.IsSequence()) fail(node, what + " must be a list");
    for (const YAML::Node& item : node)
        result.append(item);
    return result;
}

QStringList Reader::names(const YAML::Node& node, const QString& what) const {
    QStringList result;
    for (const YAML::Node& item : items(node, what))
        result.append(text(item, what));
    return result;
}

Fields::Fields(const Reader& reader, const YAML::Node& node, const QString& what)
    : reader_(reader), node_(node), what_(what) {
    if (!node.IsDefined() || node.IsNull()) return;
    if (!node.IsMap()) reader.fail(node, what + " must be a map of keys and values");
    for (auto it = node.begin(); it != node.end(); ++it) {
        if (!it->first.IsScalar()) reader.fail(it->first, "a key of " + what + " must be a name");
        const QString key = QString::fromStdString(it->first.Scalar());
        for (const Entry& e : entries_) {
            if (e.key == key) reader.fail(it->first, what + " names '" + key + "' twice");
        }
        entries_.append({key, it->first, it->second});
    }
}

YAML::Node Fields::operator[](const char* key) {
    const QString name = QString::fromLatin1(key);
    if (!known_.contains(name)) known_.append(name);
    for (Entry& e : entries_) {
        if (e.key == name) {
            e.taken = true;
            return e.value;
        }
    }
    return YAML::Node(YAML::NodeType::Undefined);
}

bool Fields::has(const char* key) {
    return (*this)[key].IsDefined();
}

void Fields::finish() const {
    for (const Entry& e : entries_) {
        if (!e.taken)
            reader_.fail(e.keyNode, "unknown key '" + e.key + "' in " + what_ +
                                        " (known: " + known_.join(", ") + ")");
    }
}

YamlNode describeValue(const RecordValue& value) {
    switch (value.kind) {
    case RecordValue::Kind::Empty:
        return YamlNode::null();
    case RecordValue::Kind::String:
        return YamlNode::string(value.text);
    case RecordValue::Kind::Number:
        return YamlNode::number(value.number);
    case RecordValue::Kind::Boolean:
        return YamlNode::boolean(value.boolean);
    case RecordValue::Kind::Null:
        return YamlNode::tagged("!null", "");
    case RecordValue::Kind::Date:
        return YamlNode::tagged(
            "!date",
            QDateTime(value.date.date(), value.date.time(), Qt::UTC).toString(kDateFormat));
    case RecordValue::Kind::Error:
        return YamlNode::tagged("!error", QString::number(value.errorNumber));
    }
    return YamlNode::null();
}

YamlNode describeValues(const QList<RecordValue>& values) {
    YamlNode list = YamlNode::seq(true);
    for (const RecordValue& v : values)
        list.append(describeValue(v));
    return list;
}

YamlNode describeNames(const QStringList& names) {
    YamlNode list = YamlNode::seq(true);
    for (const QString& name : names)
        list.append(YamlNode::text(name));
    return list;
}

} // namespace tv::builder
