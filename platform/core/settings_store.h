#pragma once
// The per-user store behind the classic GetSetting / SaveSetting / DeleteSetting: values by
// application, section and key, kept in one INI file with a section "app\section" per pair
// (for example [Software\MyGame]). The file is read on every call, so several stores on the
// same file, and other processes, always see each other's changes.

#include <QString>

namespace tv {

class SettingsStore {
public:
    explicit SettingsStore(QString iniPath = defaultPath());

    // $XDG_CONFIG_HOME (else ~/.config) + "/torvane-player/settings.ini".
    static QString defaultPath();
    const QString& path() const { return path_; }

    // Names compare without case, as in the classic store.
    QString get(const QString& app, const QString& section, const QString& key,
                const QString& defaultValue = {}) const;
    // Creates the folder and the file when needed. Values come back exactly as saved (leading
    // spaces, quotes and line breaks included). Raises "Path/File access error" (75) when the
    // file cannot be written.
    void save(const QString& app, const QString& section, const QString& key, const QString& value);
    void remove(const QString& app, const QString& section, const QString& key);
    void removeSection(const QString& app, const QString& section);

private:
    QString path_;
};

} // namespace tv
