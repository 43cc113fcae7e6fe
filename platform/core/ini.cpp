#include "platform/core/ini.h"

#include "platform/core/cp1252.h"
#include "platform/core/files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tv {

namespace {

// The classic caller reads into a 255-character buffer, which keeps room for the terminator.
constexpr qsizetype kReadLimit = 254;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquote(const QString& v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QString valueOf(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : unquote(line.mid(eq + 1).trimmed());
}

} // namespace

IniDocument::Line IniDocument::parseLine(const QString& text) {
    Line line;
    line.text = text;
    const QString t = text.trimmed();
    if (t.isEmpty() || t.front() == u';') return line;
    if (t.front() == u'[') {
        const qsizetype close = t.lastIndexOf(u']');
        if (close > 0) {
            line.type = Line::Type::Section;
            line.name = t.mid(1, close - 1).trimmed();
            return line;
        }
    }
    const qsizetype eq = t.indexOf(u'=');
    line.name = (eq < 0 ? t : t.left(eq)).trimmed();
    if (!line.name.isEmpty()) line.type = Line::Type::Key;
    return line;
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument doc;
    const QString text = fromCp1252(bytes);
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        doc.lines_.append(parseLine(text.mid(start, i - start)));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) doc.lines_.append(parseLine(text.mid(start)));
    return doc;
}

std::optional<IniDocument> IniDocument::load(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return IniDocument();
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    return fromBytes(file.readAll());
}

qsizetype IniDocument::findSection(const QString& section) const {
    const QString name = section.trimmed();
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (lines_[i].type == Line::Type::Section && sameName(lines_[i].name, name)) return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < lines_.size() && lines_[i].type != Line::Type::Section)
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, const QString& key) const {
    const QString name = key.trimmed();
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines_[i].type == Line::Type::Key && sameName(lines_[i].name, name)) return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0) return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0) return std::nullopt;
    return valueOf(lines_[line].text);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const qsizetype header = findSection(section);
    if (header < 0) {
        // A blank line between sections keeps files that people edit readable.
        if (!lines_.isEmpty() && !lines_.back().text.trimmed().isEmpty())
            lines_.append(parseLine(QString()));
        lines_.append(parseLine(u'[' + section.trimmed() + u']'));
        lines_.append(parseLine(key.trimmed() + u'=' + value));
        return;
    }
    const qsizetype existing = findKey(header, key);
    if (existing >= 0) {
        lines_[existing] = parseLine(lines_[existing].name + u'=' + value);
        return;
    }
    // After the section's last entry, ahead of the blank lines that separate it from the next.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && lines_[at - 1].text.trimmed().isEmpty())
        --at;
    lines_.insert(at, parseLine(key.trimmed() + u'=' + value));
}

bool IniDocument::removeKey(const QString& section, const QString& key) {
    const qsizetype header = findSection(section);
    const qsizetype line = header < 0 ? -1 : findKey(header, key);
    if (line < 0) return false;
    lines_.remove(line);
    return true;
}

bool IniDocument::removeSection(const QString& section) {
    const qsizetype header = findSection(section);
    if (header < 0) return false;
    lines_.remove(header, sectionEnd(header) - header);
    return true;
}

QStringList IniDocument::sections() const {
    QStringList names;
    for (const Line& l : lines_) {
        if (l.type == Line::Type::Section) names.append(l.name);
    }
    return names;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList names;
    const qsizetype header = findSection(section);
    if (header < 0) return names;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines_[i].type == Line::Type::Key) names.append(lines_[i].name);
    }
    return names;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out;
    for (const Line& l : lines_) {
        out += toCp1252(l.text);
        out += "\r\n";
    }
    return out;
}

bool IniDocument::save(const QString& path) const {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const QByteArray bytes = toBytes();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString iniRead(const QString& file, const QString& section, const QString& key) {
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty()) return {};
    const std::optional<IniDocument> doc = IniDocument::load(files::resolve(file));
    if (!doc) return {};
    return doc->value(section, key).value_or(QString()).left(kReadLimit);
}

bool iniWrite(const QString& file, const QString& section, const QString& key,
              const QString& value) {
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty()) return false;
    const QString path = files::resolve(file);
    std::optional<IniDocument> doc = IniDocument::load(path);
    if (!doc) return false;
    doc->setValue(section, key, value);
    return doc->save(path);
}

bool iniRemoveKey(const QString& file, const QString& section, const QString& key) {
    const QString path = files::resolve(file);
    std::optional<IniDocument> doc = IniDocument::load(path);
    if (!doc) return false;
    if (!doc->removeKey(section, key)) return true;
    return doc->save(path);
}

} // namespace tv
