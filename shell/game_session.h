#pragma once
// A game as the welcome window starts it: the welcome window makes one through a factory, so that
// it needs nothing of how a game is built.

#include <functional>
#include <memory>

namespace tv {

class GameSession {
public:
    virtual ~GameSession() = default;
    // Puts the game into its initial state.
    virtual void ResetAll() = 0;
    // Runs the game-start script and opens the initial frame.
    virtual void StartNewGame() = 0;
    virtual void show() = 0;
    // `handler` runs once the game's window has unloaded.
    virtual void setUnloadedHandler(std::function<void()> handler) = 0;
};

using GameFactory = std::function<std::unique_ptr<GameSession>()>;

} // namespace tv
