#pragma once
// Saving and loading games. The dialogs come with the saved-game work; until then a script's
// request for them is accepted and nothing opens.

namespace tv {

class SavedGames {
public:
    void ShowLoadGameWindow(bool /*abortIfATimerIsEnabled*/) {}
    void ShowSaveGameWindow() {}
    // The display mode that loading a saved game applies (0: none).
    int resolutionOnLoad = 0;
};

} // namespace tv
