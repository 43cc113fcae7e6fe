#pragma once
// Delayed and repeated script code. Frame opening stops the events of the old frame and starts
// them again when the new frame is ready.

namespace tv {

class TimedEvents {
public:
    void ResetTimedEvents() {}
    void StartTimedEvents() {}
    void PauseTimedEvents() {}
};

} // namespace tv
