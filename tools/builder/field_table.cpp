#include "tools/builder/field_table.h"

namespace tv::builder {

std::optional<QString> readableScript(const RecordValue& stored, QuoteCodec codec) {
    if (stored.kind != RecordValue::Kind::String) return std::nullopt;
    const QString code = decodeQuotes(stored.text, codec);
    if (encodeQuotes(code, codec) != stored.text) return std::nullopt;
    return code;
}

RecordValue readScript(const Reader& r, Fields& f, const char* key, QuoteCodec codec,
                       const RecordValue& current) {
    const QByteArray storedKey = QByteArray(key) + "_stored";
    const YAML::Node code = f[key];
    const YAML::Node stored = f[storedKey.constData()];
    if (code.IsDefined() && stored.IsDefined())
        r.fail(stored, QString("give either %1 or %2").arg(key, storedKey));
    if (code.IsDefined()) return RecordValue::ofString(r.script(code, key, codec));
    if (stored.IsDefined()) return r.value(stored, QString::fromLatin1(storedKey));
    return current;
}

void describeScript(YamlNode& m, const char* key, const RecordValue& stored, QuoteCodec codec) {
    if (stored.kind == RecordValue::Kind::Empty) return;
    if (std::optional<QString> code = readableScript(stored, codec)) {
        m.add(key, YamlNode::text(*code));
    } else {
        m.add(QString(key) + "_stored", describeValue(stored));
    }
}

} // namespace tv::builder
