#include "tools/builder/yaml_text.h"

#include <QRegularExpression>
#include <yaml-cpp/yaml.h>

#include <charconv>
#include <cmath>

namespace tv::builder {

bool isNullWord(const QString& plain) {
    return plain.isEmpty() || plain == "~" || plain == "null" || plain == "Null" || plain == "NULL";
}

std::optional<bool> boolWord(const QString& plain) {
    if (plain == "true" || plain == "True" || plain == "TRUE") return true;
    if (plain == "false" || plain == "False" || plain == "FALSE") return false;
    return std::nullopt;
}

std::optional<double> numberWord(const QString& plain) {
    static const QRegularExpression decimal(R"(^[-+]?(\d+(\.\d*)?|\.\d+)([eE][-+]?\d+)?$)");
    static const QRegularExpression hex(R"(^0x[0-9a-fA-F]{1,8}$)");
    if (hex.match(plain).hasMatch()) return double(plain.mid(2).toUInt(nullptr, 16));
    if (!decimal.match(plain).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString formatNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

bool describedPlainly(const QString& stored) {
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'\r') {
            if (i + 1 >= stored.size() || stored[i + 1] != u'\n') return false;
            ++i;
        } else if (stored[i] == u'\n') {
            return false;
        }
    }
    return true;
}

QString toDescribed(const QString& stored) {
    QString text = stored;
    return text.replace("\r\n", "\n");
}

QString toStored(const QString& described) {
    QString text = described;
    text.replace("\r\n", "\n");
    return text.replace("\n", "\r\n");
}

namespace {
constexpr char16_t kThorn = 254;
}

QString encodeQuotes(const QString& script, QuoteCodec codec) {
    QString text = script;
    return text.replace(u'"', codec == QuoteCodec::Bar ? u'|' : QChar(kThorn));
}

QString decodeQuotes(const QString& stored, QuoteCodec codec) {
    QString text = stored;
    if (codec == QuoteCodec::Bar) return text.replace(u'|', u'"');
    return text.replace(QChar(kThorn), u'"').replace(u'~', u'"');
}

std::optional<QChar> unstorableQuoteCharacter(const QString& script, QuoteCodec codec) {
    for (QChar c : script) {
        if (codec == QuoteCodec::Bar ? c == u'|' : (c == QChar(kThorn) || c == u'~')) return c;
    }
    return std::nullopt;
}

// --- emitter ------------------------------------------------------------------------------------

namespace {

bool printable(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F)) return false;
    if (u == 0xFEFF || u == 0x2028 || u == 0x2029 || c.isSurrogate()) return false;
    return true;
}

bool plainSafe(const QString& text, bool flow) {
    if (text.isEmpty()) return false;
    static const QString badStart = QStringLiteral(" -?:,[]{}#&*!|>'\"%@`");
    if (badStart.contains(text.front())) return false;
    if (text.back() == u' ' || text.back() == u':') return false;
    if (text.contains(": ") || text.contains(" #")) return false;
    for (QChar c : text) {
        if (!printable(c)) return false;
        // In a flow, yaml-cpp takes "?" and ":" before a closing bracket as indicators.
        if (flow && QStringLiteral(",[]{}?:").contains(c)) return false;
    }
    return true;
}

QString doubleQuoted(const QString& text) {
    QString out = "\"";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        // Characters beyond the first plane are escaped whole: YAML has no escape for half of
        // one. A half on its own (no text read from YAML or a project holds one) is written as
        // the replacement character.
        if (c.isSurrogate()) {
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
                out += QString("\\U%1").arg(uint(code), 8, 16, QChar('0'));
                ++i;
            } else {
                out += "\\ufffd";
            }
            continue;
        }
        switch (u) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'"':
            out += "\\\"";
            continue;
        case u'\n':
            out += "\\n";
            continue;
        case u'\r':
            out += "\\r";
            continue;
        case u'\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (printable(c)) {
            out += c;
        } else if (u <= 0xFF) {
            out += QString("\\x%1").arg(int(u), 2, 16, QChar('0'));
        } else {
            out += QString("\\u%1").arg(int(u), 4, 16, QChar('0'));
        }
    }
    return out + "\"";
}

// A literal block ("|"), when one reads back as exactly the text: every character printable
// or a tab, lines broken by LF only.
std::optional<QString> literalBlock(const QString& text, int contentIndent) {
    if (!text.contains(u'\n') || text.contains(u'\r')) return std::nullopt;
    for (QChar c : text) {
        if (c != u'\n' && c != u'\t' && !printable(c)) return std::nullopt;
    }
    qsizetype trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == u'\n')
        ++trailing;
    const QString chomp = trailing == 0 ? "-" : trailing == 1 ? "" : "+";
    QString body = text;
    body.chop(trailing);
    const bool needsIndicator =
        body.startsWith(u' ') || body.startsWith(u'\n') || body.startsWith(u'\t');
    const QString pad(contentIndent, u' ');
    QString out = "|" + (needsIndicator ? QString::number(2) : QString()) + chomp;
    const QStringList lines = body.split(u'\n');
    for (const QString& line : lines)
        out += "\n" + (line.isEmpty() ? QString() : pad + line);
    for (qsizetype i = 1; i < trailing; ++i)
        out += "\n";
    // Read it back in a document of its own, indented the same way relative to its key.
    const QString probe = "k: " + QString(out).replace("\n" + pad, "\n  ") + "\n";
    try {
        const YAML::Node node = YAML::Load(probe.toStdString());
        if (QString::fromStdString(node["k"].Scalar()) != text) return std::nullopt;
    } catch (const YAML::Exception&) {
        return std::nullopt;
    }
    return out;
}

// A key as written: plainly when it reads back as itself.
QString renderKey(const QString& key, bool flow) {
    return plainSafe(key, flow) && !isNullWord(key) ? key : doubleQuoted(key);
}

} // namespace

YamlNode YamlNode::map() {
    YamlNode n;
    n.kind_ = Kind::Map;
    return n;
}

YamlNode YamlNode::seq(bool flow) {
    YamlNode n;
    n.kind_ = Kind::Seq;
    n.flow_ = flow;
    return n;
}

YamlNode YamlNode::text(const QString& stored) {
    YamlNode n;
    n.ambiguousIsQuoted_ = true;
    if (describedPlainly(stored)) {
        n.text_ = toDescribed(stored);
    } else {
        n.text_ = stored;
        n.tag_ = "!verbatim";
        n.style_ = Style::Quoted;
    }
    return n;
}

YamlNode YamlNode::number(double value) {
    YamlNode n;
    n.text_ = formatNumber(value);
    n.style_ = Style::Plain;
    return n;
}

YamlNode YamlNode::boolean(bool value) {
    YamlNode n;
    n.text_ = value ? "true" : "false";
    n.style_ = Style::Plain;
    return n;
}

YamlNode YamlNode::null() {
    YamlNode n;
    n.text_ = "~";
    n.style_ = Style::Plain;
    return n;
}

YamlNode YamlNode::tagged(const QString& tag, const QString& text) {
    YamlNode n;
    n.text_ = text;
    n.tag_ = tag;
    n.ambiguousIsQuoted_ = true;
    return n;
}

YamlNode& YamlNode::add(const QString& key, YamlNode value) {
    entries_.append({key, std::move(value)});
    return *this;
}

YamlNode& YamlNode::append(YamlNode value) {
    items_.append(std::move(value));
    return *this;
}

QString YamlNode::renderScalar(int contentIndent, bool flow) const {
    const QString tag = tag_.isEmpty() ? QString() : tag_ + " ";
    if (style_ == Style::Plain) return tag + text_;
    if (style_ == Style::Auto) {
        if (!flow) {
            if (auto block = literalBlock(text_, contentIndent)) return tag + *block;
        }
        const bool ambiguous =
            isNullWord(text_) || (ambiguousIsQuoted_ && (boolWord(text_) || numberWord(text_)));
        if (!ambiguous && plainSafe(text_, flow)) return tag + text_;
    }
    return tag + doubleQuoted(text_);
}

std::optional<QString> YamlNode::inlineText(qsizetype budget) const {
    QStringList parts;
    switch (kind_) {
    case Kind::Scalar:
        return renderScalar(0, true);
    case Kind::Seq:
        for (const YamlNode& item : items_) {
            if (item.kind_ != Kind::Scalar) return std::nullopt;
            parts.append(item.renderScalar(0, true));
        }
        break;
    case Kind::Map:
        for (const auto& [key, value] : entries_) {
            if (value.kind_ == Kind::Map && !value.entries_.isEmpty()) return std::nullopt;
            auto text = value.inlineText(budget);
            if (!text) return std::nullopt;
            parts.append(renderKey(key, true) + ": " + *text);
        }
        break;
    }
    const QString text =
        kind_ == Kind::Map ? "{" + parts.join(", ") + "}" : "[" + parts.join(", ") + "]";
    if (text.size() > budget) return std::nullopt;
    return text;
}

void YamlNode::emitEntryValue(QString& out, int indent) const {
    // Small leaves read best on one line.
    constexpr int kWidth = 100;
    if (kind_ == Kind::Map && entries_.size() <= 4) {
        if (auto text = inlineText(kWidth - indent - 24)) {
            out += " " + *text + "\n";
            return;
        }
    }
    switch (kind_) {
    case Kind::Scalar:
        out += " " + renderScalar(indent + 2, false) + "\n";
        return;
    case Kind::Map:
        if (entries_.isEmpty()) {
            out += " {}\n";
            return;
        }
        out += "\n";
        emitMap(out, indent + 2, false);
        return;
    case Kind::Seq:
        if (items_.isEmpty()) {
            out += " []\n";
            return;
        }
        if (flow_) {
            QStringList parts;
            for (const YamlNode& item : items_)
                parts.append(item.renderScalar(0, true));
            out += " [" + parts.join(", ") + "]\n";
            return;
        }
        out += "\n";
        emitSeq(out, indent + 2);
        return;
    }
}

void YamlNode::emitMap(QString& out, int indent, bool firstInline) const {
    bool first = true;
    for (const auto& [key, value] : entries_) {
        if (!(first && firstInline)) out += QString(indent, u' ');
        first = false;
        out += renderKey(key, false) + ":";
        value.emitEntryValue(out, indent);
    }
}

void YamlNode::emitSeq(QString& out, int indent) const {
    for (const YamlNode& item : items_) {
        out += QString(indent, u' ') + "-";
        if (item.kind_ == Kind::Map && !item.entries_.isEmpty() && item.entries_.size() <= 4) {
            if (auto text = item.inlineText(100 - indent - 2)) {
                out += " " + *text + "\n";
                continue;
            }
        }
        if (item.kind_ == Kind::Map && !item.entries_.isEmpty()) {
            out += " ";
            item.emitMap(out, indent + 2, true);
        } else {
            item.emitEntryValue(out, indent);
        }
    }
}

QByteArray YamlNode::document(const QString& comment) const {
    QString out;
    for (const QString& line : comment.split(u'\n', Qt::SkipEmptyParts))
        out += "# " + line + "\n";
    // An empty document would read back as nothing at all, not as an empty map.
    if (kind_ == Kind::Map && entries_.isEmpty())
        out += "{}\n";
    else
        emitMap(out, 0, false);
    return out.toUtf8();
}

} // namespace tv::builder
