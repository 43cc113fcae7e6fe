#include "script/function_library.h"

#include "data/file_locator.h"
#include "engine/game.h"

namespace tv {

VBScriptActionModule::VBScriptActionModule(Game& game) : game_(game) {}

void VBScriptActionModule::GoToFrame(const QString& sFrameName, double dTransDuration,
                                     int iTransNumber) {
    sFrameToLoad = sFrameName;
    dTransitionDuration = dTransDuration;
    iTransitionNumber = static_cast<qint16>(iTransNumber);
    iHotspotNumber = 0;
}

void VBScriptActionModule::ResetModule() {
    sFrameToLoad.clear();
    iTransitionNumber = 1;
    bStopGame = false;
    bPopupLoadGame = false;
    bPopupSaveGame = false;
    dTransitionDuration = 0;
}

QVariant VBScriptActionModule::Quit() {
    bStopGame = true;
    return {};
}

QString VBScriptActionModule::GetCurrentFrameName() const {
    return game_.CurrentFrame.FrameName;
}

void VBScriptActionModule::SimulateHotspotClick(int iHotspotIndex) {
    game_.actions.SimulateHotspotClick(iHotspotIndex);
}

void VBScriptActionModule::UpdateHotspotsState() {
    game_.hotspots.ShowOrNotShowAreas();
}

QObject* VBScriptActionModule::GetVariableReferenceFromName(const QString& sVariableName) const {
    return game_.variables.GetVariableReferenceFromName(sVariableName);
}

QString VBScriptActionModule::GetEncryptedFileName(const QString& sUnencryptedFileName) const {
    return tv::GetEncryptedFileName(sUnencryptedFileName);
}

} // namespace tv
