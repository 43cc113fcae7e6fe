#pragma once
// VBScriptActionModule: the function library that author scripts call by name ("Action", with
// its members global). Most functions forward to other parts of the game; a few leave requests
// (go to a frame, stop the game, open a dialog) that are carried out once the script is done.

#include <QObject>
#include <QString>
#include <QVariant>

namespace tv {

class Game;

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
    explicit VBScriptActionModule(Game& game);

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
    Q_INVOKABLE int GetMergedTextIndex() const { return 1; }
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

    // Classic leading-number reading of a text (Val).
    static double leadingNumber(const QString& text);

protected:
    Game& game_;
};

} // namespace tv
