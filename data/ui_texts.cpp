#include "data/ui_texts.h"

#include "data/record_helpers.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"

namespace tv {

namespace {
struct Entry {
    int index;
    const char* game;
    const char* program; // nullptr: same as the game wording
};

// clang-format off
const Entry kEntries[] = {
    {1, "Start New Game", "Start"},
    {2, "Load Game...", "  Load..."},
    {3, "Exit", nullptr},
    {4, "Created By:", nullptr},
    {5, "E-mail:", nullptr},
    {6, "Web site:", nullptr},
    {7, "Change display resolution to", nullptr},
    {8, "Save Game...", "  Save..."},
    {9, "Please select something.", nullptr},
    {10, "Do you really want to quit?", nullptr},
    {11, "Cancel", nullptr},
    {12, "Exit", nullptr},
    {13, "Do you want to open the default mail client to send an e-mail to:", nullptr},
    {14, "Do you want to visit", nullptr},
    {15, "(You must be connected to the Internet)", nullptr},
    {17, "Load a previously saved game", "Load"},
    {18, "Select the game you wish to load and click 'LOAD'",
         "Select the file you wish to load and click 'LOAD'"},
    {19, "LOAD", nullptr},
    {21, "Save the current game", "Save"},
    {22, "Remove Selected", nullptr},
    {23, "Enter the name of the game you want to save",
         "Enter the name of the file you want to save"},
    {24, "already exists. Do you want to replace it?", nullptr},
    {25, "SAVE", nullptr},
    {26, "Remove Saved Game", "Remove Saved File"},
    {27, "Do you really want to remove", nullptr},
    {29, "Error", nullptr},
    {30, "An error has occurred. The game may not work properly. Click OK and then press Ctrl+Q to quit.",
         "An error has occurred. The program may not work properly. Click OK and then press Ctrl+Q to quit."},
    {31, "Error description:", nullptr},
    {32, "Do you want to continue anyway? (not recommended)", nullptr},
    {33, "The following file is missing:", nullptr},
    {34, "This file may have been moved or removed from its original location. The game may not work properly until the missing file is placed back in its original location. Click OK and then press Ctrl+Q to quit.",
         "This file may have been moved or removed from its original location. The program may not work properly until the missing file is placed back in its original location. Click OK and then press Ctrl+Q to quit."},
    {35, "Please do not use any of the following characters:", nullptr},
    {36, "Please insert the CD in the CD-ROM drive and then click 'OK'.",
         "Please insert the CD in the CD-Rom drive and then click 'OK'."},
    {37, "CD-ROM Drive:", "CD-Rom drive:"},
    {38, "The selected device is unavailable. Make sure that the CD-ROM drive letter is right and that the disk is properly inserted, and then try again.",
         "The selected device is unavailable. Make sure that the CD-Rom drive letter is right and that the disk is properly inserted, and then try again."},
    {40, "Warning! Your system is set to use large fonts. This program will NOT work properly if you don't change this setting. Do you want to continue anyway? (not recommended)", nullptr},
    {41, "To fix the problem, go to the 'Control Panel' (from the 'Settings' menu of the Start Menu), double-click 'Display', click the 'Settings' tab, click 'Advanced...', select 'Small Fonts' under 'Font size', click 'OK', and then restart your computer.", nullptr},
    {43, "The following folder is missing:", nullptr},
    {44, "Make sure that the disk is properly inserted, and then try again.", nullptr},
    {45, "File Not Found:", nullptr},
    {46, "The file may be missing, or you may have inserted the wrong CD.", nullptr},
    {47, "Please insert the CD#", nullptr},
    {48, "in the CD-Rom drive and click OK to continue...", nullptr},
    {49, "Options", nullptr},
    {50, "Disable Transitions", nullptr},
    {51, "Disable Real-Time Effects", nullptr},
};
// clang-format on

void fill(std::array<QString, UiTexts::kSize>& texts, bool game) {
    for (QString& t : texts)
        t.clear();
    for (const Entry& e : kEntries)
        texts[e.index] = QString::fromUtf8(game || !e.program ? e.game : e.program);
}
} // namespace

void UiTexts::setProgramWording() {
    fill(texts_, false);
}
void UiTexts::setGameWording() {
    fill(texts_, true);
}

QString UiTexts::operator[](int index) const {
    return index >= 0 && index < kSize ? texts_[index] : QString();
}

void UiTexts::set(int index, const QString& text) {
    if (index < 0 || index >= kSize) throw vbError(err::SubscriptOutOfRange);
    texts_[index] = text;
}

bool UiTexts::load(const QString& textsFilePath) {
    const QString path = files::resolve(textsFilePath);
    if (!files::fileExists(path)) {
        setProgramWording();
        return true;
    }
    // A mode this player does not know leaves the table as it is: empty.
    texts_.fill(QString());
    try {
        const TextsFile file = readTextsFile(path);
        if (file.mode == 0) {
            setProgramWording();
        } else if (file.mode == 1) {
            setGameWording();
        } else if (file.mode == 2) {
            setProgramWording();
            for (int k = 1; k <= file.overrides.size(); ++k)
                set(k, file.overrides[k - 1]);
        }
        // Any other mode leaves the table as it is.
        return true;
    } catch (const VbError&) {
        DialogService::instance().msgBox("Unable to load text.", mb::Critical, "Error");
        setProgramWording();
        return false;
    }
}

TextsFile readTextsFile(const QString& path) {
    RecordReader in = RecordReader::open(path);
    TextsFile file;
    file.mode = in.readInt16();
    if (file.mode != 2) return file;
    file.skipped = readKeptValues(in, 5);
    const int count = in.readInt16();
    for (int k = 1; k <= count; ++k)
        file.overrides.append(in.readString());
    return file;
}

void writeTextsFile(const QString& path, const TextsFile& texts) {
    RecordWriter out;
    out.integer(texts.mode);
    if (texts.mode == 2) {
        writeValues(out, texts.skipped, 5);
        out.integer(texts.overrides.size()).endLine();
        for (const QString& text : texts.overrides)
            out.string(text).endLine();
    } else {
        out.endLine();
    }
    out.saveTo(path);
}

UiTexts& uiTexts() {
    static UiTexts texts;
    return texts;
}

} // namespace tv
