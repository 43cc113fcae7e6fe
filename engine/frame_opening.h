#pragma once
// Opening a frame: the one operation that replaces the frame on screen. Every route into a new
// frame ends here.

#include "platform/core/errors.h"

#include <QString>

namespace tv {

class Game;

class FrameOpening {
public:
    explicit FrameOpening(Game& game) : game_(game) {}

    void OpenFrame(const QString& frame, bool withTransition, int transitionNumber,
                   double transitionSeconds);

private:
    // The steps after the name checks; throws on a failure that aborts the opening, returns
    // quietly when the game is quitting.
    void build(const QString& frame, bool withTransition, int transitionNumber,
               double transitionSeconds);
    void readHeader(const QString& frame);
    // The hotspot count; a broken count file is reported and counts as none.
    qint16 ReadHotspotCount(const QString& frame);
    void applyControlSwitches();
    void playFrameSound();
    void paintBackground();
    void runStartupScript(bool& stopGame);
    void playMusic();
    // Plays the frame's one-time video in the frame display.
    void startOneTimeVideo();
    void waitForVideo();
    void armFrameTimer();

    Game& game_;
};

} // namespace tv
