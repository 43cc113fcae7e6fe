#pragma once
// INI files with the Windows private-profile semantics: section and key names compared without
// case, whitespace around names and values trimmed, one pair of matching quotes (" or ')
// around a value removed, lines starting with ';' ignored, the first matching section and key
// win. Files are Windows-1252 with CR LF; file paths are Windows-style project paths mapped
// through tv::files::resolve.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tv {

// The value, cut to 254 characters as the classic 255-character buffer returns it; "" when the
// file, the section or the key is missing, or on any failure.
QString iniRead(const QString& file, const QString& section, const QString& key);

// Sets the key, creating the file and the section when needed and keeping the rest of the file
// as it was. False when the file cannot be written (missing or read-only folder, ...) or the
// section or key name is empty.
bool iniWrite(const QString& file, const QString& section, const QString& key,
              const QString& value);

// Removes the key; true when the file is as asked afterwards (also when the key was absent).
bool iniRemoveKey(const QString& file, const QString& section, const QString& key);

// An INI document held as its lines, edited in place so that comments, blank lines and the
// order of everything else survive a rewrite.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument fromBytes(const QByteArray& bytes); // Windows-1252
    // nullopt when the file cannot be read; an empty document when it does not exist.
    static std::optional<IniDocument> load(const QString& path);

    // The value (unquoted, not cut), or nullopt when the section or key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    bool removeKey(const QString& section, const QString& key);
    bool removeSection(const QString& section);
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    QByteArray toBytes() const; // Windows-1252, CR LF after every line
    bool save(const QString& path) const;

private:
    struct Line {
        enum class Type { Other, Section, Key };
        Type type = Type::Other;
        QString text; // the line as written
        QString name; // section or key name, trimmed
    };
    static Line parseLine(const QString& text);
    // Index of the first header naming the section, or -1.
    qsizetype findSection(const QString& section) const;
    // One past the last line of the section whose header is at `header`.
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString& key) const;

    QList<Line> lines_;
};

} // namespace tv
