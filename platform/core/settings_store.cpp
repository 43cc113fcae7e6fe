#include "platform/core/settings_store.h"

#include "platform/core/cp1252.h"
#include "platform/core/errors.h"
#include "platform/core/ini.h"

#include <QDir>
#include <QFileInfo>

namespace tv {

namespace {

QString sectionName(const QString& app, const QString& section) {
    return app + u'\\' + section;
}

// INI values lose surrounding blanks and one pair of quotes, cannot span lines and are
// Windows-1252: every value is stored in quotes, with '%', CR, LF and characters outside the
// code page escaped ("%25", "%0D", "%0A", "%u0101"), so that any text comes back unchanged.
QString encode(const QString& value) {
    QString out;
    out.reserve(value.size() + 2);
    out += u'"';
    for (const QChar c : value) {
        if (c == u'%')
            out += u"%25";
        else if (c == u'\r')
            out += u"%0D";
        else if (c == u'\n')
            out += u"%0A";
        else if (!inCp1252(c.unicode()))
            out += QStringLiteral("%u") +
                   QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
        else
            out += c;
    }
    out += u'"';
    return out;
}

bool isHex4(const QString& s, qsizetype at) {
    if (at + 4 > s.size()) return false;
    for (qsizetype i = at; i < at + 4; ++i) {
        const char16_t c = s[i].unicode();
        const bool hex =
            (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex) return false;
    }
    return true;
}

QString decode(const QString& stored) {
    if (!stored.contains(u'%')) return stored;
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView code = QStringView(stored).mid(i, 3);
        if (code.compare(u"%25", Qt::CaseInsensitive) == 0)
            out += u'%';
        else if (code.compare(u"%0D", Qt::CaseInsensitive) == 0)
            out += u'\r';
        else if (code.compare(u"%0A", Qt::CaseInsensitive) == 0)
            out += u'\n';
        else if (code.startsWith(u"%u", Qt::CaseInsensitive) && isHex4(stored, i + 2)) {
            out += QChar(char16_t(QStringView(stored).mid(i + 2, 4).toUInt(nullptr, 16)));
            i += 5;
            continue;
        } else {
            out += stored[i];
            continue;
        }
        i += 2;
    }
    return out;
}

void write(const QString& path, const IniDocument& doc) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !doc.save(path))
        throw vbError(err::PathFileAccessError);
}

} // namespace

SettingsStore::SettingsStore(QString iniPath) : path_(std::move(iniPath)) {}

QString SettingsStore::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative setting.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/torvane-player/settings.ini");
}

QString SettingsStore::get(const QString& app, const QString& section, const QString& key,
                           const QString& defaultValue) const {
    const std::optional<IniDocument> doc = IniDocument::load(path_);
    if (!doc) return defaultValue;
    const std::optional<QString> stored = doc->value(sectionName(app, section), key);
    return stored ? decode(*stored) : defaultValue;
}

void SettingsStore::save(const QString& app, const QString& section, const QString& key,
                         const QString& value) {
    std::optional<IniDocument> doc = IniDocument::load(path_);
    if (!doc) throw vbError(err::PathFileAccessError);
    doc->setValue(sectionName(app, section), key, encode(value));
    write(path_, *doc);
}

void SettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    std::optional<IniDocument> doc = IniDocument::load(path_);
    if (doc && doc->removeKey(sectionName(app, section), key)) write(path_, *doc);
}

void SettingsStore::removeSection(const QString& app, const QString& section) {
    std::optional<IniDocument> doc = IniDocument::load(path_);
    if (doc && doc->removeSection(sectionName(app, section))) write(path_, *doc);
}

} // namespace tv
