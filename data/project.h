#pragma once
// The project folder and its settings: the folders every part of the player reads from, and the
// "General" configuration file.

#include "platform/core/records.h"

#include <QList>
#include <QString>

namespace tv {

// Each folder ends with a separator so that file names can be appended directly.
struct ProjectFolders {
    QString RootFolder;
    QString FramesFolder;
    QString FramesDataFolder;
    QString AreasFolder;
    QString IconsFolder;
    QString ConfigFolder;
    QString TempFolder;
    QString SchemesFolder;
    QString InventoryFolder;
    QString ExternalFolder;
    QString ComponentsFolder;

    // Sets every folder under `root` (a folder that already ends with a separator, such as
    // "/", is used unchanged). The scheme and inventory folders keep a value already set.
    void setRoot(const QString& root);
};

struct ProjectSettings {
    QString ProjectName;
    QString GameTitle;
    QString InitialFrame;
    QString GameVersion;
    qint16 ProjectWidth = 0;
    qint16 ProjectHeight = 0;
    QString Author;
    QString Email;
    QString WebSite;
    qint16 OfferResolutionChange = 0;
    QString SchemeName;
    bool DisableLoadGame = false;
    bool DisableSaveGame = false;
    bool ApostropheFlag = false; // read, not used further
    QString Field23;             // field 23 as written; the flag is whether it is "'"
    qint32 InventoryIconSpacingX = 10;
    qint32 InventoryIconSpacingY = 10;
    bool UseInventory = true;
    bool SlideInventoryIn = true;
    bool SlideInventoryOut = true;
    bool HideEmptyInventoryButton = true;
    bool PopUpInventoryOnPickUp = true;
    bool UseCustomInventoryGraphics = false;
    QString InventoryButtonImage = "default";
    QString InventoryBackgroundImage = "default";
    qint16 DisplayResolution = 0;
    QString DefaultPointer = "default";
    bool MenusAlwaysVisible = false;
    bool SkipWelcomeScreen = false;
    bool UnusedFlag44 = false;
    bool HideTransitionsOption = false;
    bool HideEffectsOption = false;
    bool NeverShowMenus = false;
    bool GameStartScriptEnabled = false;
    QString GameStartScript;
    bool FrameScriptEnabled = false;
    QString FrameScript;
    bool DisableEditProcedures = false;

    // The fields the player steps over, in file order (fields 2, 4, 13-15, 17-19, 22, 24, 36-37,
    // 39-40, 42, 45 and 49-51), kept so that a rewrite gives back what the editor wrote.
    static constexpr int kSkippedFields[] = {2,  4,  13, 14, 15, 17, 18, 19, 22, 24,
                                             36, 37, 39, 40, 42, 45, 49, 50, 51};
    static QList<RecordValue> defaultSkipped();
    QList<RecordValue> Skipped = defaultSkipped();

    // Resets, then reads "General" field by field. Stops quietly where the file is allowed to
    // end; any other failure throws VbError with the fields read so far kept.
    void load(const QString& generalFilePath);
    // Writes every field in file order (the editor's side of the format). Field 23 is Field23
    // when it agrees with ApostropheFlag, else what the flag says.
    void save(const QString& generalFilePath) const;
    void reset() { *this = ProjectSettings(); }
};

// The project being played: its folders and settings, shared by every part of the player.
struct Project {
    ProjectFolders folders;
    ProjectSettings settings;
};
Project& project();

// Scripts in "General" are stored with a vertical bar for each double quote.
QString decodeBarQuotes(const QString& stored);
QString encodeBarQuotes(const QString& script);

} // namespace tv
