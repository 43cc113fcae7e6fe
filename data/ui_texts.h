#pragma once
// The player's numbered user-interface texts (entries 1 to 51), in the game wording or the
// program wording, with per-project overrides from the "Texts" configuration file.

#include <QString>
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

// The texts shared by every part of the player, set up once at start-up.
UiTexts& uiTexts();

} // namespace tv
