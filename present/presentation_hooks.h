#pragma once
// Presentation pieces that frame opening and clicks call at fixed points. Each is filled by the
// work that brings its feature (texts, video, transitions, water, dialogues, inventory); until
// then a frame simply has none of them.

#include <QString>

namespace tv {

class FrameTexts {
public:
    void ResetFrameTexts() {}
    void LoadTexts(const QString& /*frame*/) {}
    void hideMessage() {}
};

class Video {
public:
    void StopOneTimeVideoPlayer() {}
    void PlayMovieWithStop(const QString& /*file*/, bool /*stretched*/, int /*left*/, int /*top*/,
                           int /*width*/, int /*height*/) {}
    bool IsVideoPlaying() const { return false; }
    void restartLoopingVideos() {}
};

class Transitions {
public:
    void TransitionStep1(int /*number*/) {}
    void TransitionStep2(int /*number*/, double /*seconds*/) {}
    void reset() {}
};

class RipplingWater {
public:
    bool timerRunning() const { return false; }
    void stopForFrameChange() {}
    void LoadWaveEffectIfAny(const QString& /*frame*/) {}
    bool effectActive() const { return false; }
    void start() {}
    void disable() {}
};

class Dialogues {
public:
    bool active() const { return false; }
    void endDialogue() {}
    void loadAndDisplay(const QString& /*dlgPath*/) {}
};

class Inventory {
public:
    void reset() {}
    void layout() {}
    bool moving() const { return false; }
    void bringToFront() {}
};

} // namespace tv
