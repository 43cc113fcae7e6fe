#pragma once
// What a script asks the game to do once it has run: the request fields of the script function
// library, cleared before each script and carried out afterwards.

#include <QString>

namespace tv {

struct ScriptRequests {
    QString sFrameToLoad;
    qint16 iHotspotNumber = 0;
    qint16 iTransitionNumber = 1;
    double dTransitionDuration = 0;
    bool bStopGame = false;
    bool bPopupLoadGame = false;
    bool bPopupSaveGame = false;

    void ResetModule() { *this = ScriptRequests(); }
};

} // namespace tv
