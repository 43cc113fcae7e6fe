#pragma once
// What a click does: the hotspot's action record is read and acted on field group by field
// group (variables, disappearance, sounds, script, item, video, message), and last the frame
// changes. Scripts run outside a click end with the same final steps (ExecuteConsequences).

#include "platform/timer_control.h"

#include <QString>
#include <map>
#include <memory>

namespace tv {

class Game;
struct ActionRecord;

class Actions {
public:
    // How an action ended.
    enum Outcome { Normal = 0, EndGame = 1, FrameOpened = 2 };

    explicit Actions(Game& game) : game_(game) {}

    // A mouse click on hotspot k (button: 1 left, 2 right, 4 middle).
    void AreaClick(int k, int button);
    // item: 0 for a plain click, else the inventory item used on the hotspot.
    void MakeActionAndConsequences(int k, int item, bool keepDialogue);
    Outcome MakeAction(int k, int item, bool keepDialogue);
    void ExecuteConsequences();

    // Schedules a left click on hotspot k for when the running script and its requests are done:
    // a new one-shot element of timerSimulateHotspotClick, 1 ms, the hotspot in its Tag.
    void SimulateHotspotClick(int k);
    int pendingSimulatedClicks() const { return static_cast<int>(simulatedClicks_.size()); }

private:
    Outcome act(int k, int item, bool keepDialogue);
    // The script's destination with "last visited frame" turned into the previous frame.
    QString scriptDestination();
    void openFrame(const QString& frame, bool withTransition, int number, double seconds);
    void popUps();
    void waitForVideo();
    void simulatedClickTimer(int element);

    Game& game_;
    // timerSimulateHotspotClick: element 0 is the template and never fires.
    std::map<int, std::unique_ptr<TimerControl>> simulatedClicks_;
};

} // namespace tv
