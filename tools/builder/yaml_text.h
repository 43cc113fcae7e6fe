#pragma once
// The YAML side of the description: how plain scalars are classified, how stored texts (CR LF
// line breaks, quote characters of scripts) become readable texts and back, and a small emitter
// that writes readable block YAML (yaml-cpp's emitter cannot write literal blocks that read back
// the same).

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace tv::builder {

// Plain scalars: "", "~" and "null" are null; "true"/"false" booleans; decimal numbers (with a
// fraction or an exponent) and 0x hexadecimal numbers are numbers; everything else is text.
bool isNullWord(const QString& plain);
std::optional<bool> boolWord(const QString& plain);
std::optional<double> numberWord(const QString& plain);
// The shortest text that reads back as the same double.
QString formatNumber(double value);

// Project files break lines with CR LF, descriptions with LF. A stored text whose line breaks
// are all CR LF is described with LF; any other is described verbatim (tag !verbatim).
bool describedPlainly(const QString& stored);
QString toDescribed(const QString& stored);
QString toStored(const QString& described);

// How a script field stores double quotes: with a vertical bar ("General", procedure calls), or
// with the character 254 (start-up and action scripts, which also read "~" as a quote).
enum class QuoteCodec { Bar, Thorn };
QString encodeQuotes(const QString& script, QuoteCodec codec);
QString decodeQuotes(const QString& stored, QuoteCodec codec);
// The character a script cannot hold because it stands for a quote, if any.
std::optional<QChar> unstorableQuoteCharacter(const QString& script, QuoteCodec codec);

class YamlNode {
public:
    enum class Kind { Scalar, Map, Seq };

    static YamlNode map();
    static YamlNode seq(bool flow = false);
    // A text: written plainly where that reads back as the same text (and as a text, for
    // other YAML readers too).
    static YamlNode text(const QString& stored);
    static YamlNode string(const QString& stored) { return text(stored); }
    static YamlNode number(double value);
    static YamlNode boolean(bool value);
    static YamlNode null();
    static YamlNode tagged(const QString& tag, const QString& text);

    YamlNode& add(const QString& key, YamlNode value);
    YamlNode& append(YamlNode value);
    bool isEmpty() const { return entries_.isEmpty() && items_.isEmpty(); }
    Kind kind() const { return kind_; }

    // A document: the node (a map) with an optional leading comment.
    QByteArray document(const QString& comment = {}) const;

private:
    enum class Style { Plain, Quoted, Auto };
    QString renderScalar(int contentIndent, bool flow) const;
    // The node on one line in flow style, when it is small and holds no nested map.
    std::optional<QString> inlineText(qsizetype budget) const;
    void emitMap(QString& out, int indent, bool firstInline) const;
    void emitSeq(QString& out, int indent) const;
    void emitEntryValue(QString& out, int indent) const;

    Kind kind_ = Kind::Scalar;
    QString text_;
    QString tag_;
    Style style_ = Style::Auto;
    bool ambiguousIsQuoted_ = false;
    bool flow_ = false;
    QList<std::pair<QString, YamlNode>> entries_;
    QList<YamlNode> items_;
};

} // namespace tv::builder
