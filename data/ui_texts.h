#pragma once
// The player's numbered user-interface texts (entries 1 to 51), in the game wording or the
// program wording, with per-project overrides from the "Texts" configuration file.

#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace tv {

class UiTexts {
public:
    static constexpr int kSize = 61; // entries 0 to 60; 1 to 51 are defined

    UiTexts() { setProgramWording(); }

    void setProgramWording();
    void setGameWording();
    // Reads "Texts" (absent: program wording). A broken file is reported and falls back to the
    // program wording. Returns false when it had to report.
    bool load(const QString& textsFilePath);

    QString operator[](int index) const;
    void set(int index, const QString& text);

private:
    std::array<QString, kSize> texts_;
};

// The "Texts" file as stored: the mode (0 program wording, 1 game wording, 2 program wording
// with overrides) and, in mode 2 only, five values the player steps over, a count N and N
// strings, string k replacing entry k.
struct TextsFile {
    qint16 mode = 0;
    QList<RecordValue> skipped = QList<RecordValue>(5, RecordValue::ofNumber(0));
    QStringList overrides;

    bool operator==(const TextsFile&) const = default;
};

// Throws VbError on a broken file. Other modes than 2 end the reading after the mode.
TextsFile readTextsFile(const QString& path);
void writeTextsFile(const QString& path, const TextsFile& texts);

// The texts shared by every part of the player, set up once at start-up.
UiTexts& uiTexts();

} // namespace tv
