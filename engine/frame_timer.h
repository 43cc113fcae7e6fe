#pragma once
// The frame timer's automatic jump: to a named frame, back to the last visited frame, or out of
// the game.

#include <QString>

namespace tv {

class Game;

class FrameTimer {
public:
    explicit FrameTimer(Game& game);
    // The Timer event of Timer1.
    void onTimer();

private:
    void open(const QString& frame);
    Game& game_;
};

} // namespace tv
