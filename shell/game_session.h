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
    // The load dialog, opened from the welcome window without waiting for it.
    virtual void showLoadGameWindowFromWelcome() = 0;
    // What loading a game needs of the welcome window: whether its offer to switch the display
    // is shown and ticked, and hiding it.
    virtual void setWelcomeLink(std::function<bool()> resolutionTicked,
                                std::function<void()> hide) = 0;
};

using GameFactory = std::function<std::unique_ptr<GameSession>()>;

} // namespace tv
