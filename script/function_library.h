#pragma once
// VBScriptActionModule: the function library that author scripts call by name ("Action", with
// its members global). Most functions forward to other parts of the game; a few leave requests
// (go to a frame, stop the game, open a dialog) that are carried out once the script is done.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tv {

class ScriptHost;
class ScriptSite;

class VBScriptActionModule : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sFrameToLoad MEMBER sFrameToLoad)
    Q_PROPERTY(int iHotspotNumber READ hotspotNumber WRITE setHotspotNumber)
    Q_PROPERTY(int iTransitionNumber READ transitionNumber WRITE setTransitionNumber)
    Q_PROPERTY(bool bStopGame MEMBER bStopGame)
    Q_PROPERTY(bool bPopupLoadGame MEMBER bPopupLoadGame)
    Q_PROPERTY(bool bPopupSaveGame MEMBER bPopupSaveGame)
    Q_PROPERTY(double dTransitionDuration MEMBER dTransitionDuration)
public:
    VBScriptActionModule(ScriptSite& site, ScriptHost& host);

    // The requests a script leaves behind.
    QString sFrameToLoad;
    qint16 iHotspotNumber = 0;
    qint16 iTransitionNumber = 1;
    bool bStopGame = false;
    bool bPopupLoadGame = false;
    bool bPopupSaveGame = false;
    double dTransitionDuration = 0;

    int hotspotNumber() const { return iHotspotNumber; }
    void setHotspotNumber(int n) { iHotspotNumber = static_cast<qint16>(n); }
    int transitionNumber() const { return iTransitionNumber; }
    void setTransitionNumber(int n) { iTransitionNumber = static_cast<qint16>(n); }

    Q_INVOKABLE void PopupSaveGame() { bPopupSaveGame = true; }
    Q_INVOKABLE void PopupLoadGame() { bPopupLoadGame = true; }
    Q_INVOKABLE void GoToFrame(const QString& sFrameName, double dTransDuration = 0,
                               int iTransNumber = 0);
    // Clears the requests; the hotspot number stays.
    Q_INVOKABLE void ResetModule();
    Q_INVOKABLE int GetHotspotNumber() const { return iHotspotNumber; }
    Q_INVOKABLE QVariant Quit();
    Q_INVOKABLE QString GetTNVersion() const { return QStringLiteral("Version 4.3.0"); }
    Q_INVOKABLE QString GetCurrentFrameName() const;
    Q_INVOKABLE void SimulateHotspotClick(int iHotspotIndex);
    Q_INVOKABLE void UpdateHotspotsState();
    Q_INVOKABLE QObject* GetVariableReferenceFromName(const QString& sVariableName) const;
    Q_INVOKABLE QString GetEncryptedFileName(const QString& sUnencryptedFileName) const;

    Q_INVOKABLE QString GetPath(int iPath) const;
    Q_INVOKABLE int GetClickPositionX() const;
    Q_INVOKABLE int GetClickPositionY() const;
    Q_INVOKABLE int GetProjectWidth() const;
    Q_INVOKABLE int GetProjectHeight() const;
    Q_INVOKABLE int GetMergedHotspotIndex() const;
    Q_INVOKABLE int GetMergedTextIndex() const;
    Q_INVOKABLE void AllowControlsReferencesNextTime();
    Q_INVOKABLE void DoNotAllowControlsReferencesNextTime();
    Q_INVOKABLE QString NO_FILE_SELECTED() const { return {}; }
    Q_INVOKABLE QString DOUBLEQUOTES() const { return QStringLiteral("\""); }
    Q_INVOKABLE QString NEWLINE() const { return QStringLiteral("\r\n"); }
    Q_INVOKABLE QString ConvertQuotesIntoDoubleQuotes(const QString& sString) const;
    // The number at the start of the value's text; 0 when there is none.
    Q_INVOKABLE double ConvertToNumber(const QVariant& vValue) const;
    Q_INVOKABLE void SaveParameter(const QString& sParameterName, const QVariant& ParameterValue);
    Q_INVOKABLE QString LoadParameter(const QString& sParameterName,
                                      const QVariant& DefaultParameterValue) const;
    Q_INVOKABLE QString ReadINI(const QString& sFileName, const QString& sSection,
                                const QString& sKeyName) const;
    Q_INVOKABLE void WriteINI(const QString& sFileName, const QString& sSection,
                              const QString& sKeyName, const QVariant& vNewString);
    Q_INVOKABLE void CreateObject(const QVariant& vArgument);
    Q_INVOKABLE void InterceptComponentEvents(const QString&) {}
    Q_INVOKABLE void RefreshWindow();
    Q_INVOKABLE int CreateTimedEvent(double Duration, const QString& sCode, bool bRepeatForever);
    Q_INVOKABLE void RemoveTimedEvent(int index);

    // Stops the game at once: nothing plays, no timer ticks, the menus show.
    Q_INVOKABLE void StopEverything();
    Q_INVOKABLE void Message(const QString& sText);
    Q_INVOKABLE void AddItem(const QString& sText, bool bDoNotPopup = false);
    Q_INVOKABLE void RemoveAllItems();
    Q_INVOKABLE void RemoveItem(const QString& sItemName, bool bRemoveDuplicates = false);
    Q_INVOKABLE void HideInventoryButton();
    Q_INVOKABLE void ShowInventoryButton();

    // The desktop's default programs.
    Q_INVOKABLE void SendEmail(const QString& sAddress);
    Q_INVOKABLE void OpenURL(const QString& sURL);
    Q_INVOKABLE void OpenFile(const QString& sFileTitle);
    Q_INVOKABLE void OpenExeFileAndWait(const QString& sFileTitle);

    // Pictures from the Areas folder.
    Q_INVOKABLE void LoadAPicture(QObject* refControl, const QString& sFileName);
    Q_INVOKABLE QVariant LoadGraphicFile(const QString& sFileName);
    Q_INVOKABLE void SaveAPicture(const QVariant& PictureBoxRef, const QString& sFileName);
    Q_INVOKABLE void CaptureFrame(QObject* PictureBoxRef, bool bWithoutScreenCapture);
    Q_INVOKABLE void SetTransitionDestination(QObject* picRef);

    Q_INVOKABLE bool GetTransitionsStatus() const;
    Q_INVOKABLE bool GetEffectsStatus() const;
    Q_INVOKABLE void InvertTransitionsStatus();
    Q_INVOKABLE void InvertEffectsStatus();

    Q_INVOKABLE bool LoadControl(QObject* ObjectRef);
    Q_INVOKABLE bool UnloadControl(QObject* ObjectRef);

    Q_INVOKABLE void ChangeDisplayResolution(int iResolution);
    Q_INVOKABLE void ChangeDisplayResolutionOnLoadGame(int iResolution);
    Q_INVOKABLE int GetDisplayResolutionX() const;
    Q_INVOKABLE int GetDisplayResolutionY() const;
    Q_INVOKABLE void ChangeDefaultCursor(const QString& sFileName);
    // The classic Dir: the first name matching the pattern, then (with an empty pattern) the
    // next one; "" when there is none.
    Q_INVOKABLE QString DDir(const QString& sPathName = {}, int iAttributes = 0);

    // Run-time components.
    Q_INVOKABLE void AddComponent(const QString& sProgID, const QString& sComponentName,
                                  bool bAppearDuringTransitions = false,
                                  bool bDisappearBeforeAlphablending = false);
    Q_INVOKABLE void RemoveComponent(const QString& sComponentName);
    Q_INVOKABLE QObject* Component(const QString& sComponentName) const;
    Q_INVOKABLE bool DoesComponentExist(const QString& sComponentName) const;
    Q_INVOKABLE bool IsComponentInstalled(const QString& sComponentName) const;
    Q_INVOKABLE void DoComponentsEvents();

    Q_INVOKABLE void QuitDialogue();
    Q_INVOKABLE void ShowMenu();
    Q_INVOKABLE void HideMenu();

    // Classic leading-number reading of a text (Val).
    static double leadingNumber(const QString& text);

private:
    ScriptSite& site_;
    ScriptHost& host_;
    // What DDir has still to give from its last pattern.
    QStringList dirMatches_;
    bool dirStarted_ = false;
};

} // namespace tv
