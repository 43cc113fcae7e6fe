#pragma once
// The state of the run that every layer of the player sets and tests: the shutdown, and the
// requests that end a wait early.

namespace tv {

struct RunFlags {
    // Set by the shutdown: scripts stop running, frame opening stops at its next check, most
    // error reports are suppressed.
    bool quitting = false;
    // Asks a waiting one-time video to stop (mouse-downs and keys set it).
    bool stopMovie = false;
    // Asks a running transition to end at its next step.
    bool skipTransition = false;
};

inline RunFlags& runFlags() {
    static RunFlags flags;
    return flags;
}

} // namespace tv
